#pragma once
// Bytes as tests write and compare them: hexadecimal dumps, little-endian
// integers, UTF-16 text files, line ends and marked buffers. No platform
// header, so that the tests of the pure units use it on the host as well.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// Bytes written as hexadecimal pairs, in either case; blanks and anything
// else between the digits are skipped.
inline std::string BytesFromHex(std::string_view text) {
  std::string bytes;
  int high = -1;
  for (const char c : text) {
    int value;
    if (c >= '0' && c <= '9') {
      value = c - '0';
    } else if (c >= 'A' && c <= 'F') {
      value = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
      value = c - 'a' + 10;
    } else {
      continue;
    }
    if (high < 0) {
      high = value;
    } else {
      bytes += static_cast<char>(high * 16 + value);
      high = -1;
    }
  }
  return bytes;
}

// Each byte as two upper-case hexadecimal digits, without blanks.
inline std::string HexOf(std::string_view bytes) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : bytes) {
    text += kDigits[static_cast<unsigned char>(c) >> 4];
    text += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return text;
}

// The four bytes of the value, little-endian.
inline std::string Int32Bytes(int32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) {
    bytes += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
  }
  return bytes;
}

// The text's UTF-16 units behind the byte-order mark, as a file holds them.
inline std::string Utf16Bytes(std::wstring_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const wchar_t c : text) {
    const char high = static_cast<char>((c >> 8) & 0xFF);
    const char low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}
inline std::string Utf16Le(std::wstring_view text) { return Utf16Bytes(text, false); }
inline std::string Utf16Be(std::wstring_view text) { return Utf16Bytes(text, true); }

// MSXML under Wine ends its lines with LF where Windows writes CR LF.
inline std::string WithLfLineEnds(std::string text) {
  for (size_t pos = text.find("\r\n"); pos != std::string::npos; pos = text.find("\r\n", pos)) {
    text.erase(pos, 1);
  }
  return text;
}

// A caller's text buffer of `textSize` + 1 bytes, filled with a byte that
// no answer holds, so that every change to it shows.
inline std::vector<char> MarkedBuffer(int32_t textSize) {
  return std::vector<char>(static_cast<size_t>(textSize) + 1, '#');
}
inline bool Untouched(const std::vector<char>& buffer) {
  for (const char byte : buffer) {
    if (byte != '#') return false;
  }
  return true;
}

}  // namespace testsupport
