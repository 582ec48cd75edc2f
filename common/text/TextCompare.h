#pragma once
// Comparisons in the user's locale, ignoring case.

#include <string_view>

bool SameTextIgnoreCase(std::wstring_view a, std::wstring_view b);

// The same for 8-bit texts in the ANSI code page.
bool SameAnsiTextIgnoreCase(std::string_view a, std::string_view b);
