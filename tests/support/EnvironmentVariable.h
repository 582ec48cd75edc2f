#pragma once
// Reads a variable of this process's environment as a child would get it.

#include <windows.h>

#include <string>

namespace testsupport {

// The variable's value in the ANSI code page; "<missing>" when it is not
// defined, so that an empty value and no variable tell apart.
inline std::string EnvironmentVariable(const char* name) {
  SetLastError(ERROR_SUCCESS);
  const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
  if (size == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return "<missing>";
  std::string value(size, '\0');
  const DWORD length = GetEnvironmentVariableA(name, value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

}  // namespace testsupport
