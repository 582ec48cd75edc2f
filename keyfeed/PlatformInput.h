#pragma once
// The input port that really sends: keybd_event, SendInput and the cursor.

#include "InputPort.h"

class PlatformInput final : public InputPort {
 public:
  std::uint16_t KeyScan(wchar_t c) override;
  std::uint8_t ScanCode(std::uint8_t vk) override;
  void KeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) override;
  void PumpKeyboardMessages() override;
  bool SendUnicodeChar(wchar_t c) override;
  bool SendMouseButtonEvent(std::uint32_t flags) override;
  ScreenPoint GetCursorPosition() override;
  void SetCursorPosition(ScreenPoint point) override;
  void Sleep(std::uint32_t milliseconds) override;
};
