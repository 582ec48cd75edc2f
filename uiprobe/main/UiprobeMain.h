#pragma once
// The capture program's main run: the options, the capture of one object,
// the --execute command, the search path and the output, in this order,
// and the exit code of every road.
//
// The stages that reach the desktop or other parts of the program are
// functions in TCaptureStages, so that the entry point plugs in the real
// ones and tests plug in their own.

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ItemInfo.h"

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitNothingCaptured = 3;
inline constexpr int kExitCommandFailed = 4;

// ExecuteAndWait with the command line expanded.
int32_t RunExpandedCommand(const std::wstring& commandLine);

struct TCaptureStages {
  // --manualselect: runs the interactive selection; the selected item, or
  // nil or the null item when none was selected (Esc, or the selection
  // ended without one).
  std::function<ItemInfoPtr()> SelectInteractively;
  // --position: the object at the screen point, with the point as its
  // inner point; the null item when there is none (ItemInfoFromPoint).
  std::function<ItemInfoPtr(const TPoint&)> CaptureAtPosition;
  // --createpath: builds the item's search path and saves it as XML to the
  // file, created or replaced.
  std::function<void(IItemInfo*, const std::wstring&)> CreateSearchPath;
  // --execute: starts the command line, expanded against the environment,
  // waits for its end and returns its exit code (2147483647 when it could
  // not be started).
  std::function<int32_t(const std::wstring&)> RunCommand = RunExpandedCommand;
};

// The whole run over the arguments (without the program's name); returns
// the exit code: 0 for the usage or a normal end, 1 for a command-line
// fault or a failure, 3 when nothing was captured, 4 when the --execute
// command failed. An error in a --position part (EConvertError) leaves it,
// for ReportUnhandledError.
int UiprobeMain(const std::vector<std::wstring>& arguments, const TCaptureStages& stages);

// "Can't execute \"%s\". %%ERRORLEVEL%% = %d", translated, with the
// command line and the exit code.
std::wstring ExecuteFailedMessage(std::wstring_view commandLine, int32_t exitCode);

// The outermost handler's report of an error that left the main run,
// written to standard error: "Exception <class> in module <program file> at
// <address>.", the message with a full stop, and an empty line.
void ReportUnhandledError(const std::exception& error);
