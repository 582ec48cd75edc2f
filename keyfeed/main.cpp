// keyfeed: plays keystrokes and mouse actions written in the tag language.

#include <windows.h>
#include <objbase.h>

#include "CommandLine.h"
#include "ConsoleOutput.h"
#include "Exception.h"
#include "KeyfeedMain.h"
#include "PlatformInput.h"
#include "PresenceMapping.h"
#include "StackTrace.h"

int main() {
  const PresenceMapping presence;
  // The arguments come from the wide command line, so that a sequence keeps
  // characters outside the ANSI code page.
  std::vector<std::wstring> arguments = SplitCommandLine(GetCommandLineW());
  if (!arguments.empty()) arguments.erase(arguments.begin());

  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  StartExceptionTracking(CaptureStack);
  int exitCode = 1;
  try {
    PlatformInput input;
    exitCode = KeyfeedMain(arguments, input);
  } catch (const std::exception& error) {
    // Only a failing console gets here; the report may fail the same way.
    try {
      ReportException(error);
    } catch (...) {
    }
  } catch (...) {
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
