#pragma once
// Splitting a program's command line into arguments.
//
// Characters 1 to 32 separate arguments. A double quote opens a quoted part
// that runs to the next double quote; the quotes are dropped and blanks
// inside stay. There is no escape, so no argument holds a double quote.
// Empty pairs of quotes at the start of an argument are skipped, so "" on
// its own is no argument; an argument that comes out empty ends the list.

#include <string>
#include <string_view>
#include <vector>

// All arguments, the program's own name first.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);
