#pragma once
// The process-wide diagnostic log, with nested sections.
//
// Logging is switched off, and nothing in either program switches it on:
// every entry point then returns at once, without a lock, a file or a change
// to the sections. Switched on (tests do so), each line is appended to
// <program folder>Logs\<process id>\worklog.txt, opened and closed for that
// line under a process-wide lock, in the ANSI code page and ended with CR
// LF, so that every line is on disk when the call returns. A line is
// "nn.ss.zzz|" (minute, second, millisecond of the local time), two spaces
// for each open section beyond the first, then " " and the text of a
// message, or "[" name "]" and "[/" name "]" where a section starts and ends.
//
// A log is a help, never a reason to fail: a line that cannot be written is
// dropped, and the sections still follow the calls.

#include <string>
#include <string_view>

#include "LogFormat.h"

struct IItemInfo;

// Start-up and shut-down of the log: off, no section open, no override.
void InitLogger() noexcept;
void FinalizeLogger() noexcept;

// A message line.
void LogMessage(std::string_view text) noexcept;
// Opens a section and writes its start line, which counts the section.
void LogEnterSection(std::string_view name) noexcept;
// Writes the end line of the innermost open section, then closes it; with
// none open the line shows the empty name.
void LogLeaveSection() noexcept;

// The one-line text of an item for log messages:
// "<name,role text,class,module,valid child count,w:width h:height>", the
// size being that of its rectangle in its root window; "<>" for the null
// item. Works whether logging is on or off.
std::string DescribeItem(IItemInfo* item);

// The log file's path (ANSI), after creating its folder when missing; empty
// while logging is off.
std::string GetLogFileName();

// The time stamp and the indentation for the sections open now.
std::string LogLinePrefix();

// The innermost open section's name; empty when none is open.
std::string CurrentLogSection();

// Switches for tests; the programs never call them.
void SetLoggingEnabled(bool enabled) noexcept;
bool LoggingEnabled() noexcept;
// A file path that replaces the whole computed path; empty for none.
void SetLogFileNameOverride(std::wstring path);
// A folder (ending with its delimiter) that takes the program's folder's
// place in the computed path; empty for the program's folder.
void SetLogProgramFolder(std::wstring folder);
// Where the time of each line comes from; null for the local time.
using LogClock = LogTime (*)();
void SetLogClock(LogClock clock) noexcept;
