#pragma once
// The friendly name of a captured object: a short name made of its best
// text, its program and its role, that scripts can use as a file name.
// The rules work on 8-bit texts in the ANSI code page, and lengths count
// their characters.

#include <cstdint>
#include <string>
#include <string_view>

// Runs of blanks become one "_"; "&", ":", "\", "/", "*", "?", the double
// quote, "<", ">", "|" and the control characters 1 to 31 are removed.
// Blanks are replaced first, so a blank beside a removed character still
// leaves its underscore.
std::string MakeFileNameSafe(std::string_view text);

// At most `length` characters: a longer text is cut to `length`, or before
// the last blank among the positions `length` down to `length` / 2 (from
// 1), and then loses blanks and control characters at both ends.
std::string TruncateAtSpace(std::string_view text, int32_t length);

// The file name of a path without its folder and its extension.
std::string FileTitle(std::string_view path);

// The name part (the name, or the longest of value, text, description and
// class that beats it while it is longer than 5 characters), cut to 30
// characters with "..." when cut; "_" and the module's file title (at most
// 15); "_" and the role's name, else the class (at most 15). Empty module
// and role parts are left out with their "_"; the whole is cut to 60.
std::wstring BuildFriendlyName(std::wstring_view module, std::wstring_view name,
                               std::wstring_view value, std::wstring_view text,
                               std::wstring_view description, std::wstring_view className,
                               int32_t roleId);
