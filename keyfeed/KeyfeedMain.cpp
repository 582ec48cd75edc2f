#include "KeyfeedMain.h"

#include "ConsoleOutput.h"
#include "FileSystem.h"
#include "FileVersion.h"
#include "HelpText.h"
#include "MessageFormat.h"
#include "ProgramTags.h"
#include "SendKeys.h"
#include "TextCompare.h"
#include "Translation.h"

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;

void ShowHelp(const std::wstring& topic) {
  const std::wstring version = GetProgramFileVersion();
  if (topic.empty()) {
    WriteConsoleText(TranslateFormat(kUsageText, {version}));
  } else if (SameTextIgnoreCase(topic, L"tags")) {
    WriteConsoleText(kKeyListText);
  } else {
    WriteConsoleText(TranslateFormat(L"Invalid topic \"%s\"", {topic}));
  }
}

// Reports what stopped the reading of the options; the exit code is 1.
int ReportArgsFault(const ParsedArgs& parsed) {
  switch (parsed.Outcome) {
    case ArgsOutcome::MissingValue:
      WriteConsoleText(FormatMessageText(L"Invalid usage of %s", {parsed.Offending}));
      break;
    case ArgsOutcome::NoSuchFile:
      WriteConsoleText(TranslateFormat(L"Invalid file %s", {parsed.Offending}), true);
      break;
    default:
      WriteConsoleText(TranslateFormat(L"Invalid parameter %s", {parsed.Offending}), true);
      break;
  }
  return kExitFailure;
}

void Play(const TArgs& args, InputPort& input) {
  const TSendKeysOptions options{.ProcessMessages = true,
                                 .RaiseErrors = true,
                                 .ReleaseModifiers = true};
  const TExtTagHandler handler = [&input](const std::wstring& name,
                                          const std::wstring& param) {
    return HandleExtendedTag(input, name, param);
  };
  if (!args.InputSequence.empty()) SendKeys(input, args.InputSequence, handler, options);
  if (!args.CommandFileName.empty()) {
    for (const std::wstring& line : ReadTextFileLines(args.CommandFileName)) {
      SendKeys(input, line, handler, options);
    }
  }
}

}  // namespace

int KeyfeedMain(const std::vector<std::wstring>& arguments, InputPort& input) {
  const ParsedArgs parsed = ParseKeyfeedArgs(arguments, FileExists);
  switch (parsed.Outcome) {
    case ArgsOutcome::Usage:
      ShowHelp(L"");
      return kExitSuccess;
    case ArgsOutcome::Run:
      break;
    default:
      return ReportArgsFault(parsed);
  }
  const TArgs& args = parsed.Args;
  if (!args.HelpTopic.empty()) {
    ShowHelp(args.HelpTopic);
    // An unknown topic is a fault of the command line.
    return SameTextIgnoreCase(args.HelpTopic, L"tags") ? kExitSuccess : kExitFailure;
  }
  try {
    Play(args, input);
  } catch (const std::exception& error) {
    ReportException(error);
    return kExitFailure;
  }
  return kExitSuccess;
}
