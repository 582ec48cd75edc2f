#include "Environment.h"

#include <windows.h>

#include <vector>

#include "CodePage.h"
#include "KernelHandle.h"

void SetEnvVariable(const std::string& name, const std::string& value) {
  // value.c_str() is never null: an empty value sets an empty variable.
  SetEnvironmentVariableA(name.c_str(), value.c_str());
}

std::wstring ExpandEnvVars(std::wstring_view text) {
  const std::wstring source(text);
  const DWORD size = ExpandEnvironmentStringsW(source.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::vector<wchar_t> buffer(size, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(source.c_str(), buffer.data(), size);
  // A variable that grew in between leaves the buffer unfilled.
  if (written == 0 || written > size) return {};
  return std::wstring(buffer.data());
}

int32_t ExecuteAndWait(std::wstring_view commandLine, bool expand) {
  const std::wstring command = expand ? ExpandEnvVars(commandLine) : std::wstring(commandLine);
  std::string ansi = WideToAnsi(command);
  // CreateProcessA may write into the command line it is given.
  std::vector<char> writable(ansi.begin(), ansi.end());
  writable.push_back('\0');

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return kNotStartedExitCode;
  }
  const KernelHandle process(started.hProcess);
  const KernelHandle thread(started.hThread);
  WaitForSingleObject(process.Get(), INFINITE);
  DWORD exitCode = static_cast<DWORD>(kNotStartedExitCode);
  if (!GetExitCodeProcess(process.Get(), &exitCode)) {
    exitCode = static_cast<DWORD>(kNotStartedExitCode);
  }
  return static_cast<int32_t>(exitCode);
}
