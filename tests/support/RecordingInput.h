#pragma once
// An input port that sends nothing: it records every event as a short text,
// with the fixed layout of FakeLayoutInput, so that plays can be checked as
// exact logs.
//   "+A" / "-A"        key-down / key-up of a virtual key (letters, digits and
//                      the modifier keys by name, others as hex "0x0D")
//   "+0x25e"           an event with the extended-key flag
//   "U+00E9"           a Unicode character (down and up)
//   "pump", "sleep 10" the message pump and a pause
//   "mouse 0x0002"     a mouse button event
//   "cursor X,Y"       the cursor set

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "FakeLayoutInput.h"

class RecordingInput : public FakeLayoutInput {
 public:
  std::vector<std::string> log;
  std::set<wchar_t> refusedUnicode;   // SendUnicodeChar fails for these
  int mouseEventsAccepted = 1000;     // later mouse events are refused
  ScreenPoint cursor{0, 0};

  void KeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) override {
    std::string entry = (flags & 2) ? "-" : "+";
    entry += KeyName(vk);
    if (flags & 1) entry += "e";
    if (scan != ScanCode(vk)) entry += " (wrong scan code)";
    if ((flags & ~3u) != 0) entry += " (unexpected flags)";
    log.push_back(entry);
  }

  void PumpKeyboardMessages() override { log.push_back("pump"); }

  bool SendUnicodeChar(wchar_t c) override {
    if (refusedUnicode.count(c) != 0) return false;
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    log.push_back(text);
    return true;
  }

  bool SendMouseButtonEvent(std::uint32_t flags) override {
    if (mouseEventsAccepted <= 0) return false;
    --mouseEventsAccepted;
    char text[32];
    std::snprintf(text, sizeof text, "mouse 0x%04X", static_cast<unsigned>(flags));
    log.push_back(text);
    return true;
  }

  ScreenPoint GetCursorPosition() override { return cursor; }

  void SetCursorPosition(ScreenPoint point) override {
    cursor = point;
    log.push_back("cursor " + std::to_string(point.X) + "," + std::to_string(point.Y));
  }

  void Sleep(std::uint32_t milliseconds) override {
    log.push_back("sleep " + std::to_string(milliseconds));
  }

  // The log without the pump and the 10 ms pauses after key events.
  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (const std::string& entry : log) {
      if (entry != "pump" && entry != "sleep 10") keys.push_back(entry);
    }
    return keys;
  }

  static std::string KeyName(std::uint8_t vk) {
    switch (vk) {
      case 0x10: return "SHIFT";
      case 0x11: return "CTRL";
      case 0x12: return "ALT";
      case 0x5B: return "WIN";
      case 0x5C: return "RWIN";
      default: break;
    }
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, char(vk));
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", vk);
    return text;
  }
};
