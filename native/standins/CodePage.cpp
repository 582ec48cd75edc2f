// Host-build stand-in for common/CodePage.cpp, which asks the platform for
// its ANSI and OEM code pages. Here the ANSI code page is Windows-1252, the
// one the programs' tests run under, written out as a table:
// - bytes 0x80 to 0x9F map as in 1252; its five unassigned bytes (81, 8D,
//   8F, 90, 9D) map to the C1 control of the same number, as the platform's
//   conversion maps them; every other byte is its Latin-1 character.
// - a character that 1252 lacks becomes "?", the default character. The
//   platform's "best fit" (e.g. U+0100 to "A") is not imitated.
// - the OEM conversion keeps the bytes as they are, up to the first zero.

#include "CodePage.h"

#include <array>

namespace {

constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t AnsiToUnit(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

char UnitToAnsi(wchar_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (static_cast<wchar_t>(kHighControls[i]) == unit) return static_cast<char>(0x80 + i);
  }
  return '?';
}

}  // namespace

std::string WideToAnsi(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (const wchar_t unit : text) out += UnitToAnsi(unit);
  return out;
}

std::wstring AnsiToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (const char byte : text) out += static_cast<wchar_t>(AnsiToUnit(static_cast<unsigned char>(byte)));
  return out;
}

std::string ConvertToOem(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}
