#pragma once
// Every line that a user or a calling script sees: one call, one line in the
// console's OEM code page, ended with CR LF. Also the failure report that the
// main blocks print for an error that reaches them.

#include <exception>
#include <string_view>

// Writes Text and CR LF to standard error when toErrorStream is true, else to
// standard output. A failed write raises EInOutError.
void WriteConsoleText(std::wstring_view text, bool toErrorStream = false);

// Prints "Execution failed!", the error's class name and message to standard
// output; when a stack was recorded for it, "Stack trace:" follows there and
// the stack's lines go to standard error.
void ReportException(const std::exception& error);
