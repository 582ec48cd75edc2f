#pragma once
// What the window manager and the kernel tell about a window: its text,
// class, top-level window, owning process and that process's executable.
// None of these raises; a handle that is no window (or no longer one) reads
// as an empty text, window 0 or process 0.

#include <windows.h>

#include <optional>
#include <string>

#include "KernelHandle.h"
#include "ProcessBitness.h"

// How long this program waits for another window to answer a message. The
// system calls a window hung once its thread has taken no message for five
// seconds, and from then on a send that gives up on hung windows gives up
// at once. Waiting those same five seconds lets a busy window that answers
// within them be read, while a window that has stopped answering costs one
// such wait at the most: when it ends, the window is hung for every later
// send.
inline constexpr UINT kWindowAnswerTimeoutMs = 5000;

// Sends the message and gives the window's answer; nothing when the window
// is hung, does not answer within kWindowAnswerTimeoutMs or is no window.
std::optional<LRESULT> SendMessageWithinTimeout(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam);

// The top-level window that holds the window (the window itself when it is
// one); 0 when the handle is no window.
HWND GetRootWindow(HWND window);

// The window text in the ANSI code page, asked for with WM_GETTEXT, which
// reaches windows of other processes too. At most 4095 characters; empty
// when the window does not answer (SendMessageWithinTimeout).
std::string GetWindowTextByMessage(HWND window);

// The class name as RealGetWindowClass reports it: for a control built on a
// standard control, the standard class. At most 4095 characters.
std::string GetWindowClassName(HWND window);

// The process that owns the window; 0 when the handle is no window.
DWORD GetWindowProcessId(HWND window);

// The window's process opened for querying and reading its memory; empty
// when it cannot be opened.
KernelHandle OpenWindowProcess(HWND window);

// The executable of the window's process: its whole path, or with
// `fullPath` false only its file name ("app.exe"). Empty on failure.
std::string GetWindowModuleName(HWND window, bool fullPath);

// Whether this process, or the process with the id, runs under WOW64.
Wow64State CurrentProcessWow64State();
Wow64State ProcessWow64State(DWORD processId);
