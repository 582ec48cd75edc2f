#pragma once
// The input player's main run: options, help, and the play of the --run
// sequence and the command file.

#include <string>
#include <vector>

#include "InputPort.h"
#include "KeyfeedArgs.h"

// The whole run; returns the exit code.
int KeyfeedMain(const std::vector<std::wstring>& arguments, InputPort& input);
