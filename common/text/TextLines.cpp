#include "TextLines.h"

#include "Utf.h"

namespace {

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(static_cast<wchar_t>(bigEndian ? (first << 8) | second
                                                  : (second << 8) | first));
  }
  return text;
}

bool IsLineBreak(wchar_t c) {
  return c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x2028 ||
         c == 0x2029;
}

}  // namespace

std::wstring DecodeText(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
  std::wstring text;
  if (bytes.starts_with("\xFF\xFE")) {
    text = DecodeUtf16(bytes.substr(2), false);
  } else if (bytes.starts_with("\xFE\xFF")) {
    text = DecodeUtf16(bytes.substr(2), true);
  } else if (bytes.starts_with("\xEF\xBB\xBF")) {
    text = Utf8ToUtf16(bytes.substr(3));
  } else {
    text = decodeAnsi(bytes.substr(0, bytes.find('\0')));
  }
  const size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return text;
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    if (!IsLineBreak(text[pos])) {
      ++pos;
      continue;
    }
    lines.emplace_back(text.substr(start, pos - start));
    if (text[pos] == L'\r' && pos + 1 < text.size() && text[pos + 1] == L'\n') ++pos;
    start = ++pos;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}
