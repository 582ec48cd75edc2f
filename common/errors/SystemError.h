#pragma once

#include <string>

// The system's text for an error code, without the line break and blanks
// that end it; empty when the system has none.
std::wstring SystemErrorText(unsigned long code);
