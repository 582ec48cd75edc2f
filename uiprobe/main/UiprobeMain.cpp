#include "UiprobeMain.h"

#include <windows.h>

#include "CmdParams.h"
#include "ConsoleOutput.h"
#include "EnvExport.h"
#include "Environment.h"
#include "Exception.h"
#include "FileVersion.h"
#include "ItemInfoNull.h"
#include "MessageFormat.h"
#include "ObjectVariables.h"
#include "ProgramFile.h"
#include "PropertyOutput.h"
#include "Translation.h"
#include "Utf.h"

namespace {

constexpr std::wstring_view kExecuteFailed = L"Can't execute \"%s\". %%ERRORLEVEL%% = %d";

// The format with each "%<directive>" turned into "%s", "%%" kept, so that
// the message formatter, which knows only "%s", fills it.
std::wstring DirectiveAsString(std::wstring_view format, wchar_t directive) {
  std::wstring out;
  for (size_t i = 0; i < format.size(); ++i) {
    out += format[i];
    if (format[i] != L'%' || i + 1 == format.size()) continue;
    const wchar_t next = format[++i];
    out += next == directive ? L's' : next;
  }
  return out;
}

// The captured item, or nil / the null item when nothing was captured.
ItemInfoPtr Capture(const TCmdParams& params, const TCaptureStages& stages) {
  // The interactive selection wins when both modes are given.
  if (params.ManualSelect) return stages.SelectInteractively();
  return stages.CaptureAtPosition(params.Position);
}

// Steps from the capture to the output; errors leave to the caller's guard.
int RunCapture(const TCmdParams& params, const TCaptureStages& stages) {
  const ItemInfoPtr item = Capture(params, stages);
  if (!item || IsNullItemInfo(item)) return kExitNothingCaptured;

  if (!params.Execute.empty()) {
    ExportObjectToEnvironment(item.Get());
    SetEnvVariable(kSelectionKeyVariable, kSelectionKeyValue);
    const int32_t code = stages.RunCommand(params.Execute);
    if (code != 0) {
      WriteConsoleText(ExecuteFailedMessage(params.Execute, code));
      return kExitCommandFailed;
    }
  }
  if (!params.CreatePath.empty()) stages.CreateSearchPath(item.Get(), params.CreatePath);
  WriteObjectOutput(item.Get(), params.OutputFormat, params.OutputFlags, params.OutputFile,
                    params.AppendOutput);
  return kExitSuccess;
}

}  // namespace

int32_t RunExpandedCommand(const std::wstring& commandLine) {
  return ExecuteAndWait(commandLine, true);
}

int UiprobeMain(const std::vector<std::wstring>& arguments, const TCaptureStages& stages) {
  const TCmdParseResult parsed = ParseCmdParams(arguments);
  switch (parsed.Outcome) {
    case CmdOutcome::Usage:
      WriteConsoleText(UsageText(GetProgramFileVersion()));
      return kExitSuccess;
    case CmdOutcome::Run:
      break;
    default: {
      const TCmdMessage message = CmdFaultMessage(parsed);
      WriteConsoleText(message.Text, message.ToErrorStream);
      return message.ExitCode;
    }
  }
  try {
    return RunCapture(parsed.Params, stages);
  } catch (const std::exception& error) {
    ReportException(error);
    return kExitFailure;
  }
}

std::wstring ExecuteFailedMessage(std::wstring_view commandLine, int32_t exitCode) {
  std::wstring format = Translate(kExecuteFailed);
  if (!HasSamePlaceholders(kExecuteFailed, format)) format = std::wstring(kExecuteFailed);
  return FormatMessageText(DirectiveAsString(format, L'd'),
                           {commandLine, std::to_wstring(exitCode)});
}

void ReportUnhandledError(const std::exception& error) {
  const auto* own = dynamic_cast<const Exception*>(&error);
  const void* address = nullptr;
  if (const auto* conversion = dynamic_cast<const EConvertError*>(&error)) {
    address = conversion->Address();
  } else if (own != nullptr && !own->Trace().empty()) {
    address = own->Trace().front();
  }
  const std::wstring className = Utf8ToUtf16(own != nullptr ? own->ClassName() : "Exception");
  const std::wstring message = own != nullptr ? own->Message() : Utf8ToUtf16(error.what());
  WriteConsoleText(FormatUnhandledErrorReport(className, ProgramFileName(), address, message),
                   true);
}
