#include "PlatformInput.h"

#include <windows.h>

#include "StackTrace.h"

std::uint16_t PlatformInput::KeyScan(wchar_t c) {
  return static_cast<std::uint16_t>(VkKeyScanW(c));
}

std::uint8_t PlatformInput::ScanCode(std::uint8_t vk) {
  return static_cast<std::uint8_t>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) & 0xFF);
}

void PlatformInput::KeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
  keybd_event(vk, scan, flags, 0);
}

void PlatformInput::PumpKeyboardMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool PlatformInput::SendUnicodeChar(wchar_t c) {
  // Down and up together: a key-down alone would leave the packet key held.
  INPUT events[2] = {};
  for (INPUT& event : events) {
    event.type = INPUT_KEYBOARD;
    event.ki.wScan = static_cast<WORD>(c);
    event.ki.dwFlags = KEYEVENTF_UNICODE;
  }
  events[1].ki.dwFlags |= KEYEVENTF_KEYUP;
  return SendInput(2, events, sizeof(INPUT)) == 2;
}

bool PlatformInput::SendMouseButtonEvent(std::uint32_t flags) {
  INPUT event = {};
  event.type = INPUT_MOUSE;
  event.mi.dwFlags = flags;
  return SendInput(1, &event, sizeof(INPUT)) == 1;
}

ScreenPoint PlatformInput::GetCursorPosition() {
  POINT point;
  if (!GetCursorPos(&point)) RaiseLastOSError();
  return {point.x, point.y};
}

void PlatformInput::SetCursorPosition(ScreenPoint point) {
  if (!SetCursorPos(point.X, point.Y)) RaiseLastOSError();
}

void PlatformInput::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }
