#pragma once
// UTF-8 and UTF-16 conversions that need no platform: catalogs, command files
// and test data are read with them.

#include <string>
#include <string_view>

// Decodes UTF-8; a malformed sequence becomes U+FFFD, one per bad byte.
std::wstring Utf8ToUtf16(std::string_view text);

// Encodes UTF-16; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::wstring_view text);
