// uiprobe: captures one object on the screen and prints or stores its
// properties.

#include <windows.h>
#include <objbase.h>

#include "CodePage.h"
#include "CommandLine.h"
#include "Exception.h"
#include "ItemInfo.h"
#include "Logger.h"
#include "PresenceMapping.h"
#include "StackTrace.h"
#include "UiprobeMain.h"

int main() {
  const PresenceMapping presence;
  InitLogger();

  // The arguments come from the ANSI command line: the options' values are
  // texts of the ANSI code page.
  std::vector<std::wstring> arguments = SplitCommandLine(AnsiToWide(GetCommandLineA()));
  if (!arguments.empty()) arguments.erase(arguments.begin());

  // The XML documents need COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  StartExceptionTracking(CaptureStack);

  TCaptureStages stages;
  stages.CaptureAtPosition = ItemInfoFromPoint;

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
  FinalizeLogger();
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
