#pragma once
// The program's own environment and the commands it starts: variables that
// every process started afterwards inherits, %NAME% expansion, and starting
// a command line and waiting for its end.

#include <cstdint>
#include <string>
#include <string_view>

// The exit code reported for a command that could not be started.
inline constexpr int32_t kNotStartedExitCode = 2147483647;

// Sets the variable in this process's environment. An empty value leaves
// the variable defined and empty; it is never removed. A refusal of the
// platform leaves the environment as it was and is not reported.
void SetEnvVariable(const std::string& name, const std::string& value);

// The text with every %NAME% of a defined variable replaced by its value;
// anything else between percent signs stays as written. Empty when the
// platform cannot expand the text.
std::wstring ExpandEnvVars(std::wstring_view text);

// Starts the command line (expanded first when `expand` is true, then
// converted to the ANSI code page) in this process's console, environment
// and current folder, with the inheritable handles, waits for its end
// without limit and returns its exit code; kNotStartedExitCode when it
// could not be started.
int32_t ExecuteAndWait(std::wstring_view commandLine, bool expand);
