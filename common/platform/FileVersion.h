#pragma once

#include <string>

// The "FileVersion" string of the running program's version resource, or an
// empty string when it has none.
std::wstring GetProgramFileVersion();
