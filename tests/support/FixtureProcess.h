#pragma once
// The fixture program, started for one test and closed at its end. The
// controls and their ids are those of FixtureLayout.h.

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "UniqueHandle.h"

namespace testsupport {

class FixtureProcess {
 public:
  // Ends any fixture left over from an earlier run, parks the mouse pointer
  // away from the fixture's window, starts fixture.exe from BinDir() and
  // waits until its window is shown and the edit has the keyboard focus.
  // Raises std::runtime_error when that does not happen within
  // `startTimeout`.
  explicit FixtureProcess(
      std::chrono::milliseconds startTimeout = std::chrono::seconds(20));
  // The same with these arguments on the fixture's command line.
  explicit FixtureProcess(
      const std::vector<std::wstring>& arguments,
      std::chrono::milliseconds startTimeout = std::chrono::seconds(20));
  // Ends the process if it still runs (see Close).
  ~FixtureProcess();
  FixtureProcess(const FixtureProcess&) = delete;
  FixtureProcess& operator=(const FixtureProcess&) = delete;

  HWND Window() const { return window_; }
  HWND Control(int id) const;
  DWORD ProcessId() const { return processId_; }
  DWORD ThreadId() const { return threadId_; }

  // The window's current text, read with WM_GETTEXT; empty on failure.
  std::wstring ControlText(int id) const;
  std::wstring EditText() const;

  // True when the fixture is the foreground window and its edit has the
  // keyboard focus.
  bool EditHasFocus() const;
  // Asks the fixture to take the focus into its edit, with the caret at the
  // end, and waits (up to 5 s) until it has. True when it has.
  bool Focus() const;
  // Empties the edit. True when it is empty afterwards.
  bool ClearEdit() const;
  // The count that button 1 ("One") or 2 ("Two") shows; -1 when the label
  // cannot be read.
  int ButtonCount(int button) const;
  // Sets both counts back to 0. True when both labels show 0 afterwards.
  bool ResetCounters() const;

  // Asks the window to close with WM_CLOSE and waits for the process to
  // end; kills it when it has not ended within `timeout`. True when it
  // ended by itself. Under Wine without a window manager this takes about
  // 2 s (the driver waits in vain for a manager to confirm that the window
  // is hidden), so the destructor just ends the process instead.
  bool Close(std::chrono::milliseconds timeout = std::chrono::seconds(10));

  // The control's rectangle and its centre, in screen coordinates, as the
  // window manager reports them now.
  RECT ControlScreenRect(int id) const;
  POINT ControlCentre(int id) const;
  // The screen point of a point in the top-level window's client area.
  POINT ClientToScreenPoint(POINT client) const;

 private:
  bool Request(UINT message) const;
  void Kill();

  UniqueHandle process_;
  DWORD processId_ = 0;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
};

// The text of any window, read with WM_GETTEXT (which works across
// processes, unlike GetWindowText); empty on failure.
std::wstring WindowText(HWND window);

}  // namespace testsupport
