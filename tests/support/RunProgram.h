#pragma once
// Running a program to its end and taking what it wrote: the exact bytes of
// its standard output and standard error, and its exit code.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// The folder of the running test program, where the programs under test and
// the fixture are built.
std::filesystem::path BinDir();

// A bare name ("keyfeed" or "keyfeed.exe") names a program in BinDir(), and
// ".exe" is added when the name has no extension; a path with a folder is
// kept as it is.
std::filesystem::path ProgramPath(const std::filesystem::path& program);

// Makes sure the desktop process is up, started by the test process itself.
// Wine starts the desktop process (explorer.exe) when a process first uses
// the desktop, handing it that process's standard error stream, and the
// desktop process lives as long as any process uses the desktop. Were a
// program under test first, its error stream would stay open after it ended
// and a reader would wait for its end in vain. RunProgram and
// FixtureProcess call this; it does its work once per process, with the
// test's own error stream pointed at NUL for that moment.
void EnsureDesktop();

// One change to the environment that the program gets: set to `value`, or
// removed when `value` is empty (std::nullopt). An empty string is a value.
struct EnvironmentChange {
  std::wstring name;
  std::optional<std::wstring> value;
};

struct RunOptions {
  // Empty: the test's own current folder.
  std::filesystem::path workingDirectory;
  // Applied, in order, to a copy of the test's own environment.
  std::vector<EnvironmentChange> environment;
  // After this the program (with whatever it started) is killed and the
  // test fails.
  std::chrono::milliseconds timeout = std::chrono::seconds(30);
};

struct RunResult {
  std::string out;  // standard output, byte for byte
  std::string err;  // standard error, byte for byte
  DWORD exitCode = 0;
  bool timedOut = false;
};

// An argument as the programs' own command-line splitter reads it back: in
// double quotes when it is empty or holds a character from 1 to 32. There
// are no escapes, so an argument cannot hold a double quote
// (std::invalid_argument); use RunCommandLine for such command lines.
std::wstring QuoteArgument(std::wstring_view argument);

// The quoted arguments, separated by one space.
std::wstring JoinArguments(const std::vector<std::wstring>& arguments);

// Runs the program with these arguments, the quoted program path first,
// standard input from the NUL device, and the two output streams read
// concurrently into the result. A program that cannot be started raises
// std::runtime_error; one that outruns the timeout is killed, recorded as a
// failure of the current test, and has timedOut set.
RunResult RunProgram(const std::filesystem::path& program,
                     const std::vector<std::wstring>& arguments,
                     const RunOptions& options = {});

// As RunProgram, with the command line made of the quoted program path, one
// space and `argumentsText` exactly as given (no space when it is empty).
RunResult RunCommandLine(const std::filesystem::path& program,
                         std::wstring_view argumentsText,
                         const RunOptions& options = {});

// As RunProgram, with `commandLine` passed verbatim, the program's own name
// included.
RunResult RunExactCommandLine(const std::filesystem::path& program,
                              std::wstring commandLine,
                              const RunOptions& options = {});

}  // namespace testsupport
