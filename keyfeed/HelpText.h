#pragma once
// The texts that --help prints.

#include <string_view>

// A format: %s is the program's version, "%%" prints as "%".
extern const std::wstring_view kUsageText;

// The list of key names and tags, printed as it stands.
extern const std::wstring_view kKeyListText;
