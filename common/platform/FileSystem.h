#pragma once
// Files by their wide names.

#include <string>
#include <vector>

// True when the name is an existing file, not a folder.
bool FileExists(const std::wstring& name);

// The whole file, opened for reading while others may read and write it.
// A failure raises the platform's error as EOSError.
std::string ReadFileBytes(const std::wstring& name);

// The lines of a text file, as told by its byte-order mark.
std::vector<std::wstring> ReadTextFileLines(const std::wstring& name);
