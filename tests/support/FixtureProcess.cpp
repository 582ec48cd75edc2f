#include "FixtureProcess.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "../fixture/FixtureLayout.h"
#include "DesktopInput.h"
#include "RunProgram.h"
#include "WaitUntil.h"
#include "Utf.h"

namespace testsupport {

namespace {

constexpr UINT kMessageTimeoutMs = 5000;
constexpr DWORD kCloseTimeoutMs = 5000;

// Ends the process and waits until it has gone.
void KillAndWait(HANDLE process) {
  TerminateProcess(process, 1);
  WaitForSingleObject(process, kCloseTimeoutMs);
}

// A fixture from a run that ended without closing it would cover the new
// one, so it goes first.
void EndStrayFixtures() {
  for (int attempt = 0; attempt < 10; ++attempt) {
    HWND stray = FindWindowW(fixture::kWindowClass, nullptr);
    if (!stray) return;
    DWORD processId = 0;
    GetWindowThreadProcessId(stray, &processId);
    UniqueHandle process(
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
    if (process) {
      KillAndWait(process.Get());
    } else {
      PostMessageW(stray, WM_CLOSE, 0, 0);
    }
    WaitUntil([&] { return !IsWindow(stray); },
              std::chrono::milliseconds(kCloseTimeoutMs));
  }
}

HWND FindFixtureWindow(DWORD processId) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, fixture::kWindowClass,
                                 nullptr))) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

}  // namespace

std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG,
                           kMessageTimeoutMs, &length)) {
    return {};
  }
  // The text can grow between the two messages; a larger buffer shows it.
  std::vector<wchar_t> buffer(length + 256);
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(),
                           reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
    return {};
  }
  return std::wstring(buffer.data(), std::min<size_t>(copied, buffer.size()));
}

FixtureProcess::FixtureProcess(std::chrono::milliseconds startTimeout)
    : FixtureProcess({}, startTimeout) {}

FixtureProcess::FixtureProcess(const std::vector<std::wstring>& arguments,
                               std::chrono::milliseconds startTimeout) {
  EnsureDesktop();
  EndStrayFixtures();
  // A window that appears under the pointer gets the pointer's old place
  // reported to it late, after the moves that the test makes, and a click
  // can then land on whatever lay there.
  if (!ParkCursor()) throw std::runtime_error("cannot move the mouse pointer");

  const std::filesystem::path path = ProgramPath(L"fixture.exe");
  std::vector<std::wstring> words{path.wstring()};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::wstring commandLine = JoinArguments(words);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      0, nullptr, nullptr, &startup, &started)) {
    throw std::runtime_error("cannot start " + Utf16ToUtf8(path.wstring()) +
                             " (error " + std::to_string(GetLastError()) + ")");
  }
  process_.Reset(started.hProcess);
  UniqueHandle thread(started.hThread);
  processId_ = started.dwProcessId;

  bool ended = false;
  const bool shown = WaitUntil(
      [&] {
        ended = WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0;
        window_ = FindFixtureWindow(processId_);
        return ended || (window_ && IsWindowVisible(window_) &&
                         Control(fixture::kEditId) != nullptr);
      },
      startTimeout);
  if (ended || !shown) {
    DWORD exitCode = 0;
    GetExitCodeProcess(process_.Get(), &exitCode);
    Kill();
    throw std::runtime_error(
        ended ? "the fixture ended at start with exit code " +
                    std::to_string(exitCode)
              : "the fixture's window did not appear within " +
                    std::to_string(startTimeout.count()) + " ms");
  }
  threadId_ = GetWindowThreadProcessId(window_, nullptr);
  if (!WaitUntil([&] { return EditHasFocus(); }, startTimeout)) {
    Kill();
    throw std::runtime_error("the fixture's edit did not get the focus within " +
                             std::to_string(startTimeout.count()) + " ms");
  }
}

FixtureProcess::~FixtureProcess() { Kill(); }

void FixtureProcess::Kill() {
  if (!process_) return;
  KillAndWait(process_.Get());
  process_.Reset();
  window_ = nullptr;
}

bool FixtureProcess::Close(std::chrono::milliseconds timeout) {
  if (!process_) return false;
  PostMessageW(window_, WM_CLOSE, 0, 0);
  const bool ended =
      WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) ==
      WAIT_OBJECT_0;
  Kill();
  return ended;
}

HWND FixtureProcess::Control(int id) const {
  return window_ ? GetDlgItem(window_, id) : nullptr;
}

std::wstring FixtureProcess::ControlText(int id) const {
  HWND control = Control(id);
  return control ? WindowText(control) : std::wstring();
}

std::wstring FixtureProcess::EditText() const {
  return ControlText(fixture::kEditId);
}

bool FixtureProcess::EditHasFocus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return window_ && GetForegroundWindow() == window_ &&
         GetGUIThreadInfo(threadId_, &info) &&
         info.hwndFocus == Control(fixture::kEditId);
}

bool FixtureProcess::Request(UINT message) const {
  DWORD_PTR result = 0;
  return window_ &&
         SendMessageTimeoutW(window_, message, 0, 0, SMTO_ABORTIFHUNG,
                             kMessageTimeoutMs, &result) &&
         result != 0;
}

bool FixtureProcess::Focus() const {
  // Windows lets a process take the foreground only with leave from the
  // one that has it.
  AllowSetForegroundWindow(processId_);
  Request(fixture::kRequestFocus);
  return WaitUntil([&] { return EditHasFocus(); }, 5s);
}

bool FixtureProcess::ClearEdit() const {
  return Request(fixture::kRequestClearEdit) && EditText().empty();
}

int FixtureProcess::ButtonCount(int button) const {
  if (button < 1 || button > fixture::kButtonCount) return -1;
  const std::wstring text = ControlText(fixture::LabelId(button));
  const std::wstring prefix =
      std::wstring(fixture::kButtonNames[button - 1]) + fixture::kCountSeparator;
  if (!text.starts_with(prefix) || text.size() == prefix.size()) return -1;
  int count = 0;
  for (wchar_t c : text.substr(prefix.size())) {
    if (c < L'0' || c > L'9' || count > 100000000) return -1;
    count = count * 10 + (c - L'0');
  }
  return count;
}

bool FixtureProcess::ResetCounters() const {
  return Request(fixture::kRequestResetCounters) && ButtonCount(1) == 0 &&
         ButtonCount(2) == 0;
}

RECT FixtureProcess::ControlScreenRect(int id) const {
  RECT rect{};
  if (HWND control = Control(id)) GetWindowRect(control, &rect);
  return rect;
}

POINT FixtureProcess::ControlCentre(int id) const {
  const RECT rect = ControlScreenRect(id);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT FixtureProcess::ClientToScreenPoint(POINT client) const {
  ClientToScreen(window_, &client);
  return client;
}

}  // namespace testsupport
