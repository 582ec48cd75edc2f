#pragma once
// What the fuzz targets share: turning the fuzzer's bytes into the UTF-16
// text that the programs receive, and an input port that sends nothing but
// keeps track of which keys are down.
//
// Bytes that start with FF FE are UTF-16 code units, little-endian, so that
// any unit (a lone surrogate included) can reach the parsers; other bytes are
// UTF-8, which keeps the seeds readable and lets the fuzzer's text mutations
// work. On the host a wchar_t holds one UTF-16 unit, as in the programs.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "FakeLayoutInput.h"
#include "Utf.h"

namespace fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline std::wstring TextFromBytes(std::string_view bytes) {
  if (!bytes.starts_with("\xFF\xFE")) return Utf8ToUtf16(bytes);
  std::wstring text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<wchar_t>(static_cast<uint8_t>(bytes[i]) |
                                        (static_cast<uint8_t>(bytes[i + 1]) << 8)));
  }
  return text;
}

// A broken rule of a parser: the fuzzer records the input and stops.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

inline void Check(bool holds, const char* what) {
  if (!holds) Fail(what);
}

// Sends nothing, with the tests' fixed layout (FakeLayoutInput); every
// other character goes as a Unicode event, which is refused for U+FFFF and
// for surrogates so that the play meets that failure too. The cursor sits
// near the corners of the coordinate range, so that relative moves reach the
// clamp.
class SilentInput final : public FakeLayoutInput {
 public:
  void KeyEvent(std::uint8_t vk, std::uint8_t, std::uint32_t flags) override {
    if ((flags & 2) != 0) {
      down_.erase(vk);
    } else {
      down_.insert(vk);
    }
  }

  void PumpKeyboardMessages() override {}

  bool SendUnicodeChar(wchar_t c) override {
    return c != 0xFFFF && !(c >= 0xD800 && c <= 0xDFFF);
  }

  bool SendMouseButtonEvent(std::uint32_t) override { return ++mouseEvents_ % 7 != 0; }

  ScreenPoint GetCursorPosition() override { return cursor_; }
  void SetCursorPosition(ScreenPoint point) override { cursor_ = point; }
  void Sleep(std::uint32_t) override {}

  // The virtual keys pressed and not yet released.
  const std::set<std::uint8_t>& Down() const { return down_; }

 private:
  std::set<std::uint8_t> down_;
  unsigned mouseEvents_ = 0;
  ScreenPoint cursor_{2147483000, -2147483000};
};

}  // namespace fuzz
