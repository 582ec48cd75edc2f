#pragma once
// Conversions between UTF-16 and the system's 8-bit code pages.

#include <string>
#include <string_view>

// UTF-16 to the ANSI code page; a character the code page lacks becomes its
// default character.
std::string WideToAnsi(std::wstring_view text);

// The ANSI code page to UTF-16.
std::wstring AnsiToWide(std::string_view text);

// The ANSI code page to the OEM code page of the console. The text ends at
// its first zero byte.
std::string ConvertToOem(std::string_view text);
