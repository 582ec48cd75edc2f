#pragma once
// The input player's command line: --run, --file and the help options,
// read into TArgs before anything is played. No platform behind it: whether
// the command file exists is asked of the caller.

#include <functional>
#include <string>
#include <vector>

struct TArgs {
  std::wstring HelpTopic;
  std::wstring CommandFileName;
  std::wstring InputSequence;
};

enum class ArgsOutcome {
  Usage,            // no argument, or a help option alone
  Run,              // play, or help on Args.HelpTopic
  MissingValue,     // Offending is an option given as the last argument
  NoSuchFile,       // Offending is the --file value
  UnknownParameter  // Offending is the argument
};

struct ParsedArgs {
  ArgsOutcome Outcome = ArgsOutcome::Usage;
  TArgs Args;
  std::wstring Offending;
};

// Reads the arguments (without the program's name). The whole command line
// is examined before anything is played; the first fault ends the reading.
ParsedArgs ParseKeyfeedArgs(const std::vector<std::wstring>& arguments,
                            const std::function<bool(const std::wstring&)>& fileExists);
