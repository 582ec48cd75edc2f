#pragma once
// The input player's main run: options, help, and the play of the --run
// sequence and the command file.

#include <functional>
#include <string>
#include <vector>

#include "InputPort.h"

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

// The whole run; returns the exit code.
int KeyfeedMain(const std::vector<std::wstring>& arguments, InputPort& input);
