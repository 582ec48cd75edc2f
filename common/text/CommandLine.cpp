#include "CommandLine.h"

namespace {

bool IsSeparator(wchar_t c) { return c != L'\0' && c <= L' '; }

}  // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
  // A zero character ends the command line, as it would a C string.
  const size_t end = commandLine.find(L'\0');
  if (end != std::wstring_view::npos) commandLine = commandLine.substr(0, end);

  std::vector<std::wstring> arguments;
  size_t pos = 0;
  const size_t size = commandLine.size();
  for (;;) {
    for (;;) {
      while (pos < size && IsSeparator(commandLine[pos])) ++pos;
      if (pos + 1 < size && commandLine[pos] == L'"' && commandLine[pos + 1] == L'"') {
        pos += 2;
      } else {
        break;
      }
    }
    std::wstring argument;
    while (pos < size && !IsSeparator(commandLine[pos])) {
      if (commandLine[pos] == L'"') {
        ++pos;
        while (pos < size && commandLine[pos] != L'"') argument += commandLine[pos++];
        if (pos < size) ++pos;
      } else {
        argument += commandLine[pos++];
      }
    }
    if (argument.empty()) break;
    arguments.push_back(std::move(argument));
  }
  return arguments;
}
