#pragma once
// The lines of the diagnostic log and the one-line text of an item, with no
// platform behind them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Geometry.h"

// The part of the local time that a log line shows.
struct LogTime {
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// "nn.ss.zzz|" (minute, second, millisecond), then two spaces for each open
// section beyond the first.
std::string FormatLogLinePrefix(const LogTime& time, size_t openSections);

// The prefix, a space and the text.
std::string FormatLogMessageLine(std::string_view prefix, std::string_view text);
// The prefix and "[" name "]".
std::string FormatLogSectionStartLine(std::string_view prefix, std::string_view name);
// The prefix and "[/" name "]".
std::string FormatLogSectionEndLine(std::string_view prefix, std::string_view name);

// <folder>Logs\<process id>\worklog.txt, where `programFolder` ends with its
// path delimiter.
std::string LogFilePathIn(std::string_view programFolder, uint32_t processId);

// What DescribeItem shows of an item.
struct ItemDescription {
  std::wstring name;
  std::wstring role;
  std::wstring className;
  std::wstring moduleName;
  int32_t validChildCount = 0;
  TRect rectInRoot;
};

// "<" name "," role "," class "," module "," count "," "w:" width " h:"
// height ">"; commas inside the parts stay as they are.
std::wstring FormatItemDescription(const ItemDescription& item);

// The text of the null item.
inline constexpr std::string_view kNullItemDescription = "<>";
