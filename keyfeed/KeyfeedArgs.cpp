#include "KeyfeedArgs.h"

namespace {

bool IsHelpOption(const std::wstring& argument) {
  return argument == L"--help" || argument == L"-h" || argument == L"-?";
}

}  // namespace

ParsedArgs ParseKeyfeedArgs(const std::vector<std::wstring>& arguments,
                            const std::function<bool(const std::wstring&)>& fileExists) {
  ParsedArgs parsed;
  if (arguments.empty() || (arguments.size() == 1 && IsHelpOption(arguments[0]))) {
    return parsed;
  }
  parsed.Outcome = ArgsOutcome::Run;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    std::wstring* target = nullptr;
    if (argument == L"--run") {
      target = &parsed.Args.InputSequence;
    } else if (argument == L"--file") {
      target = &parsed.Args.CommandFileName;
    } else if (IsHelpOption(argument)) {
      target = &parsed.Args.HelpTopic;
    } else {
      parsed.Outcome = ArgsOutcome::UnknownParameter;
      parsed.Offending = argument;
      return parsed;
    }
    if (i + 1 == arguments.size()) {
      parsed.Outcome = ArgsOutcome::MissingValue;
      parsed.Offending = argument;
      return parsed;
    }
    *target = arguments[++i];
    if (target == &parsed.Args.CommandFileName && !fileExists(*target)) {
      parsed.Outcome = ArgsOutcome::NoSuchFile;
      parsed.Offending = *target;
      return parsed;
    }
  }
  return parsed;
}
