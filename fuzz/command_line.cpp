// The command line: split into arguments as both programs split it, then
// read by keyfeed's and uiprobe's option parsers, with the messages of every
// fault and the report of a bad --position.
//
// Rules checked: no argument is empty or holds a double quote or a zero;
// the parsers end in one of their outcomes, with only the conversion error
// of --position raised; an offending argument is one of the arguments.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CmdParams.h"
#include "CommandLine.h"
#include "FuzzInput.h"
#include "KeyfeedArgs.h"

namespace {

bool IsArgument(const std::vector<std::wstring>& arguments, const std::wstring& text) {
  return std::find(arguments.begin(), arguments.end(), text) != arguments.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring commandLine = fuzz::TextFromBytes(fuzz::Bytes(data, size));
  const std::vector<std::wstring> all = SplitCommandLine(commandLine);
  for (const std::wstring& argument : all) {
    fuzz::Check(!argument.empty(), "an empty argument");
    fuzz::Check(argument.find(L'"') == std::wstring::npos, "an argument holds a quote");
    fuzz::Check(argument.find(L'\0') == std::wstring::npos, "an argument holds a zero");
  }
  const std::vector<std::wstring> arguments(all.begin() + (all.empty() ? 0 : 1), all.end());

  // A file "exists" when its name has an even length.
  const ParsedArgs keyfeed = ParseKeyfeedArgs(
      arguments, [](const std::wstring& name) { return name.size() % 2 == 0; });
  if (keyfeed.Outcome != ArgsOutcome::Usage && keyfeed.Outcome != ArgsOutcome::Run) {
    fuzz::Check(IsArgument(arguments, keyfeed.Offending), "keyfeed blames no argument");
  }

  try {
    const TCmdParseResult uiprobe = ParseCmdParams(arguments);
    switch (uiprobe.Outcome) {
      case CmdOutcome::Run:
        fuzz::Check(uiprobe.Params.ManualSelect || uiprobe.Params.HasPosition,
                    "a run without a capture mode");
        break;
      case CmdOutcome::Usage:
        break;
      case CmdOutcome::NoCaptureMode:
        fuzz::Check(!CmdFaultMessage(uiprobe).Text.empty(), "a fault without a message");
        break;
      default:
        fuzz::Check(IsArgument(arguments, uiprobe.Offending), "uiprobe blames no argument");
        fuzz::Check(!CmdFaultMessage(uiprobe).Text.empty(), "a fault without a message");
        break;
    }
  } catch (const EConvertError& error) {
    const std::string className = error.ClassName();
    FormatUnhandledErrorReport(std::wstring(className.begin(), className.end()),
                               L"uiprobe.exe", error.Address(), error.Message());
  }
  return 0;
}
