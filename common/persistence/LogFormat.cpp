#include "LogFormat.h"

#include <cstdio>

std::string FormatLogLinePrefix(const LogTime& time, size_t openSections) {
  char stamp[16];
  std::snprintf(stamp, sizeof(stamp), "%02d.%02d.%03d|", time.minute % 100, time.second % 100,
                time.millisecond % 1000);
  std::string prefix = stamp;
  if (openSections > 1) prefix.append(2 * (openSections - 1), ' ');
  return prefix;
}

std::string FormatLogMessageLine(std::string_view prefix, std::string_view text) {
  std::string line(prefix);
  line += ' ';
  line += text;
  return line;
}

std::string FormatLogSectionStartLine(std::string_view prefix, std::string_view name) {
  std::string line(prefix);
  line += '[';
  line += name;
  line += ']';
  return line;
}

std::string FormatLogSectionEndLine(std::string_view prefix, std::string_view name) {
  std::string line(prefix);
  line += "[/";
  line += name;
  line += ']';
  return line;
}

std::string LogFilePathIn(std::string_view programFolder, uint32_t processId) {
  std::string path(programFolder);
  path += "Logs\\";
  path += std::to_string(processId);
  path += "\\worklog.txt";
  return path;
}

namespace {

// Right - Left in 32 bits, wrapping as the platform's arithmetic does rather
// than overflowing.
int32_t Extent(int32_t from, int32_t to) {
  return static_cast<int32_t>(static_cast<uint32_t>(to) - static_cast<uint32_t>(from));
}

}  // namespace

std::wstring FormatItemDescription(const ItemDescription& item) {
  const TRect& rect = item.rectInRoot;
  return L"<" + item.name + L"," + item.role + L"," + item.className + L"," + item.moduleName +
         L"," + std::to_wstring(item.validChildCount) + L",w:" +
         std::to_wstring(Extent(rect.Left, rect.Right)) + L" h:" +
         std::to_wstring(Extent(rect.Top, rect.Bottom)) + L">";
}
