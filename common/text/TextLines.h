#pragma once
// Text files as lists of lines: the encoding is told by the byte-order mark
// (FF FE, FE FF, EF BB BF), else the text is in the ANSI code page.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

using AnsiDecoder = std::function<std::wstring(std::string_view)>;

// Decodes a file's bytes; the mark is not part of the text, and the text
// ends at its first zero character.
std::wstring DecodeText(std::string_view bytes, const AnsiDecoder& decodeAnsi);

// Splits at CR LF (one break), CR, LF, VT, FF, U+2028 and U+2029. An empty
// line between two breaks is kept; a break at the very end adds no line.
std::vector<std::wstring> SplitLines(std::wstring_view text);
