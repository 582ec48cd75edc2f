// Host-build stand-in for common/TextCompare.cpp, which compares in the
// user's locale through the platform. Here case is folded for the ASCII and
// Latin-1 letters only (A-Z, and U+00C0 to U+00DE without U+00D7); the 8-bit
// form compares the Windows-1252 texts of CodePage's stand-in the same way.
// Enough for the tag names and button names that the pure units compare.

#include "TextCompare.h"

#include <algorithm>

#include "CodePage.h"

namespace {

wchar_t FoldCase(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c - L'A' + L'a');
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 0x20);
  return c;
}

}  // namespace

bool SameTextIgnoreCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

bool SameAnsiTextIgnoreCase(std::string_view a, std::string_view b) {
  return SameTextIgnoreCase(AnsiToWide(a), AnsiToWide(b));
}
