#include "MessageFormat.h"

#include <vector>

namespace {

// The directives of a format in order: the character after each "%" that is
// not part of "%%", or L'\0' for a "%" that ends the text.
std::vector<wchar_t> Directives(std::wstring_view format) {
  std::vector<wchar_t> directives;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != L'%') continue;
    if (i + 1 == format.size()) {
      directives.push_back(L'\0');
    } else if (format[i + 1] == L'%') {
      ++i;
    } else {
      directives.push_back(format[i + 1]);
      ++i;
    }
  }
  return directives;
}

}  // namespace

std::wstring FormatMessageText(std::wstring_view format,
                               std::span<const std::wstring_view> args) {
  std::wstring out;
  out.reserve(format.size());
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    const wchar_t c = format[i];
    if (c == L'%' && i + 1 < format.size()) {
      if (format[i + 1] == L's') {
        if (next < args.size()) out += args[next];
        ++next;
        ++i;
        continue;
      }
      if (format[i + 1] == L'%') {
        out += L'%';
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::wstring FormatMessageText(std::wstring_view format,
                               std::initializer_list<std::wstring_view> args) {
  return FormatMessageText(format, std::span<const std::wstring_view>(args.begin(), args.size()));
}

bool HasSamePlaceholders(std::wstring_view english, std::wstring_view translation) {
  return Directives(english) == Directives(translation);
}
