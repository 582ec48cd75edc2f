#include "DesktopInput.h"

#include <vector>

#include "WaitUntil.h"

namespace testsupport {

bool MoveCursorTo(POINT point) {
  if (!SetCursorPos(point.x, point.y)) return false;
  return WaitUntil(
      [&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
      },
      2s);
}

bool ParkCursor() {
  return MoveCursorTo(POINT{GetSystemMetrics(SM_CXSCREEN) - 1,
                            GetSystemMetrics(SM_CYSCREEN) - 1});
}

bool ClickAt(POINT point) {
  if (!MoveCursorTo(point)) return false;
  INPUT inputs[2]{};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool TypeUnicode(std::wstring_view text) {
  std::vector<INPUT> inputs;
  for (wchar_t unit : text) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = unit;
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(input);
    input.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  if (inputs.empty()) return true;
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(),
                   sizeof(INPUT)) == inputs.size();
}

bool StartUnixProgram(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return false;
  }
  if (started.hThread != nullptr) CloseHandle(started.hThread);
  if (started.hProcess != nullptr) CloseHandle(started.hProcess);
  return true;
}

bool Xdotool(const std::string& arguments) {
  return StartUnixProgram("/usr/bin/xdotool " + arguments);
}

}  // namespace testsupport
