#pragma once
// The name under which a program is reported: its executable's whole path,
// or only the file name.

#include <string>
#include <string_view>

// With `fullPath` the path as it is; otherwise the part after the last
// backslash or colon ("C:\Tools\app.exe" and "C:app.exe" give "app.exe").
// The path is 8-bit text in the ANSI code page.
std::string ModuleNameFromPath(std::string_view path, bool fullPath);
