// Host-build stand-in for the program-wide lookups of common/Translation.cpp,
// which find the running program's catalog through the platform. Here the
// program has no catalog, as a program without a "locale" folder beside it:
// every message stays English and is formatted as written. The catalog
// class itself is not part of the host build.

#include "Translation.h"

#include "MessageFormat.h"

std::wstring Translate(std::wstring_view english) { return std::wstring(english); }

std::wstring TranslateFormat(std::wstring_view english,
                             std::span<const std::wstring_view> args) {
  return FormatMessageText(english, args);
}

std::wstring TranslateFormat(std::wstring_view english,
                             std::initializer_list<std::wstring_view> args) {
  return FormatMessageText(english, args);
}
