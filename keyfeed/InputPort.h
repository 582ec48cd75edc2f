#pragma once
// The narrow seam between the tag language and the platform's synthesized
// input. The program plays through the real port; the tests through a
// recording one, so that a sequence can be checked as an exact event log.

#include <cstdint>

struct ScreenPoint {
  int X;
  int Y;
  bool operator==(const ScreenPoint&) const = default;
};

class InputPort {
 public:
  virtual ~InputPort() = default;

  // The layout's key for a character, in the form of VkKeyScanW: the low
  // byte is the virtual key, the high byte's bits 1, 2 and 4 ask for Shift,
  // Ctrl and Alt; 0xFFFF when the layout has no key for it.
  virtual std::uint16_t KeyScan(wchar_t c) = 0;
  // The scan code of a virtual key (low byte of its virtual-key mapping).
  virtual std::uint8_t ScanCode(std::uint8_t vk) = 0;
  // One virtual-key event, as keybd_event sends it.
  virtual void KeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) = 0;
  // Dispatches the calling thread's pending keyboard messages.
  virtual void PumpKeyboardMessages() = 0;
  // Sends a character as a Unicode key-down and key-up in one batch; true
  // when both events went in.
  virtual bool SendUnicodeChar(wchar_t c) = 0;

  // One mouse button event at the cursor; true when it went in.
  virtual bool SendMouseButtonEvent(std::uint32_t flags) = 0;
  // The cursor position; a failure raises the platform's error.
  virtual ScreenPoint GetCursorPosition() = 0;
  virtual void SetCursorPosition(ScreenPoint point) = 0;

  virtual void Sleep(std::uint32_t milliseconds) = 0;
};
