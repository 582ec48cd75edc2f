#pragma once
// The capture program's command line: its options, read into TCmdParams,
// the "X,Y" of --position, the usage text and every message that the
// reading can end with.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Exception.h"
#include "Geometry.h"
#include "OutputFlags.h"

struct TCmdParams {
  bool HasPosition = false;
  TPoint Position;
  bool ManualSelect = false;
  std::wstring CreatePath;
  // Filter letters, in the ANSI code page.
  std::string OutputFlags{kAllOutputFlags};
  std::wstring OutputFile;
  std::wstring OutputFormat;
  // With every single quote turned into a double quote.
  std::wstring Execute;
  bool AppendOutput = false;
};

// How the reading of the arguments ended.
enum class CmdOutcome {
  Run,              // capture with Params
  Usage,            // no argument, or a help option reached
  MissingValue,     // Offending is an option given as the last argument
  InvalidPosition,  // Offending is a --position value without two parts
  InvalidParameter, // Offending is the argument
  NoCaptureMode     // neither --manualselect nor --position
};

struct TCmdParseResult {
  CmdOutcome Outcome = CmdOutcome::Usage;
  TCmdParams Params;
  std::wstring Offending;
};

// A part of --position that is no integer. Raised while the options are
// read, so it reaches the program's outermost handler.
class EConvertError : public Exception {
 public:
  // `address`: the code address where the error was raised.
  EConvertError(std::wstring message, const void* address)
      : Exception("EConvertError", std::move(message)), address_(address) {}
  const void* Address() const noexcept { return address_; }

 private:
  const void* address_;
};

// Reads "X,Y": the text is split at commas (blanks and control characters
// around a part are skipped and also end it; a part that starts with a
// double quote runs to the closing quote, two quotes inside standing for
// one; a comma at the very end adds an empty part). With other than two
// parts the result is false and `position` stays as it was. Otherwise each
// part must be a 32-bit integer: an optional sign, then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X"; a part that is not
// raises EConvertError "'%s' is not a valid integer value" (translated).
bool ParsePosition(std::wstring_view text, TPoint& position);

// Reads the arguments (without the program's name) from the first to the
// last; the first fault ends the reading. Options are matched whole and
// case-sensitively, and an option that takes a value takes the next
// argument whatever it holds. Raises EConvertError from ParsePosition.
TCmdParseResult ParseCmdParams(const std::vector<std::wstring>& arguments);

// What the run prints for an outcome other than Run: the line, its stream
// and the exit code.
struct TCmdMessage {
  std::wstring Text;
  bool ToErrorStream = false;
  int ExitCode = 0;
};

// The message of a fault (everything but Run and Usage), translated except
// "Invalid usage of %s".
TCmdMessage CmdFaultMessage(const TCmdParseResult& result);

// The usage text, translated and formatted with the program's version and
// the default filter letters.
std::wstring UsageText(std::wstring_view fileVersion);

// The untranslated usage text: a format whose first "%s" is the version and
// second the filter letters.
extern const std::wstring_view kUsageFormat;

// The report of an error that reached the program's outermost handler:
// "Exception <class> in module <module> at <address>." (the address in
// upper-case hex, zero-padded to the pointer's width) and the message on
// the next line, with a full stop added when it has none, then CR LF.
std::wstring FormatUnhandledErrorReport(std::wstring_view className,
                                        std::wstring_view moduleName, const void* address,
                                        std::wstring_view message);
