#pragma once
// Where the running program's own file is: catalogs, logs and the version
// resource are found beside it.

#include <string>

// The full path of the program's file; empty when the platform cannot say.
std::wstring ProgramFilePath();

// The program's folder with its final backslash; empty when unknown.
std::wstring ProgramFolder();

// The program's file name without its folder.
std::wstring ProgramFileName();
