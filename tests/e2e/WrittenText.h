#pragma once
// Expected output written out as data, with only what a run alone knows
// filled in: "%NAME%" takes the value given for NAME, and "%X+n%" and
// "%Y+n%" take the screen offset plus n, for what the fixture places at
// fixed client coordinates in a window that the window manager places.
// Any other text between percent signs ("%ERRORLEVEL%") stays as written.

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace written {

using Values = std::map<std::string, std::string>;
using WideValues = std::map<std::wstring, std::wstring>;

std::string Filled(std::string_view text, const Values& values, POINT offset = {0, 0});
std::wstring Filled(std::wstring_view text, const WideValues& values, POINT offset = {0, 0});
std::vector<std::wstring> Filled(const std::vector<std::wstring>& lines,
                                 const WideValues& values, POINT offset = {0, 0});

// A window handle in decimal, read as an unsigned 32-bit number.
std::string HandleText(HWND window);

// The accessibility layer's own text of a role and of one state bit, in
// the ANSI code page; it differs between systems and languages.
std::string PlatformRoleText(DWORD role);
std::string PlatformStateText(DWORD stateBit);

}  // namespace written
