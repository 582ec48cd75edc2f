// uiprobe: captures one object on the screen and prints or stores its
// properties.

#include <windows.h>
#include <objbase.h>

#include "CodePage.h"
#include "CommandLine.h"
#include "Exception.h"
#include "HookInterprocessComm.h"
#include "ItemInfo.h"
#include "Logger.h"
#include "PresenceMapping.h"
#include "SearchPathXml.h"
#include "SelectObjectComponent.h"
#include "SelectionFrameUnit.h"
#include "StackTrace.h"
#include "UiprobeMain.h"

int main() {
  const PresenceMapping presence;
  InitLogger();
  // The hook block is opened (or made) before anything may use the hook.
  InitHookChannel();

  // The arguments come from the ANSI command line: the options' values are
  // texts of the ANSI code page.
  std::vector<std::wstring> arguments = SplitCommandLine(AnsiToWide(GetCommandLineA()));
  if (!arguments.empty()) arguments.erase(arguments.begin());

  // The XML documents need COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  StartExceptionTracking(CaptureStack);

  TCaptureStages stages;
  stages.CaptureAtPosition = ItemInfoFromPoint;
  stages.SelectInteractively = SelectObjectInteractively;
  stages.CreateSearchPath = CreateSearchPathFile;

  int exitCode = kExitFailure;
  try {
    exitCode = UiprobeMain(arguments, stages);
  } catch (const std::exception& error) {
    // An error in the options, or a console that fails.
    try {
      ReportUnhandledError(error);
    } catch (...) {
    }
  } catch (...) {
  }
  FinalizeSelectionFrameUnit();
  FinalizeHookChannel();
  FinalizeLogger();
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
