#pragma once
// The keyboard of the input ports that send nothing (the tests' recording
// one and the fuzzers' silent one): a fixed US-like layout of letters,
// digits, the blank and a few characters that ask for Shift, Ctrl or Alt,
// and scan codes made from the virtual keys. No platform header.

#include <cstdint>

#include "InputPort.h"

class FakeLayoutInput : public InputPort {
 public:
  std::uint16_t KeyScan(wchar_t c) override {
    if (c >= L'a' && c <= L'z') return static_cast<std::uint16_t>(c - L'a' + 'A');
    if (c >= L'A' && c <= L'Z') return static_cast<std::uint16_t>(0x100 | c);
    if (c >= L'0' && c <= L'9') return static_cast<std::uint16_t>(c);
    switch (c) {
      case L' ': return 0x20;
      case L'{': return 0x1DB;
      case L'[': return 0xDB;
      case L'}': return 0x1DD;
      case L'!': return 0x131;
      case L'@': return 0x632;  // Ctrl+Alt, as on layouts with AltGr
      case L'~': return 0x7C0;  // Shift+Ctrl+Alt
      default: return 0xFFFF;
    }
  }

  std::uint8_t ScanCode(std::uint8_t vk) override {
    return static_cast<std::uint8_t>(vk * 3 + 1);
  }
};
