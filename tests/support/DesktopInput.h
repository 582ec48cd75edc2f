#pragma once
// Input that a test sends to the desktop as a user would: it goes to the
// foreground window, wherever that is.

#include <windows.h>

#include <string>
#include <string_view>

namespace testsupport {

// Moves the mouse pointer and waits (up to 2 s) until the system reports it
// there. SendInput's absolute moves do not move the pointer under Wine, so
// this uses SetCursorPos. True when the pointer arrived.
bool MoveCursorTo(POINT point);

// Moves the pointer to the bottom-right corner of the screen, away from the
// windows that the tests use. Park it before a window appears: Wine reports
// the pointer's place to a window that appears under it only later, after
// the moves that the test makes in the meantime. True when it arrived.
bool ParkCursor();

// Moves the pointer to the point and presses and releases the left button.
// True when the pointer arrived and both events were sent.
bool ClickAt(POINT point);

// Sends each UTF-16 unit as a Unicode key press and release. Keep control
// characters out: they do not arrive as the matching keys. True when every
// event was sent.
bool TypeUnicode(std::wstring_view text);

// Starts a Unix program such as xdotool. Wine runs a program given by its
// Unix path as a Unix process and hands back no handle to wait on, so the
// caller waits for the program's effect. True when it was started.
bool StartUnixProgram(std::string commandLine);

// Starts xdotool with the arguments, input as the X server sees it from
// outside Wine. True when it was started.
bool Xdotool(const std::string& arguments);

}  // namespace testsupport
