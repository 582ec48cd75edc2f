// benchctl: the benchmarks' helper under Wine.
//   benchctl run [--runs N] [--fresh-edit] -- COMMAND LINE
//       runs the command line N times (default 1), one after the other, and
//       prints one line per run: "ms=<wall time> peakws_kb=<peak working
//       set> peakpf_kb=<peak pagefile usage> exit=<exit code>". The memory
//       figures are the process's own peaks (GetProcessMemoryInfo), read
//       every 5 ms while it runs and once more after its exit, before its
//       handle is closed; the highest reading counts. With --fresh-edit the
//       fixture's edit is emptied and given the keyboard focus before each
//       run. The command's output goes to NUL.
//   benchctl point key5          the screen point "X,Y" of push button "5"
//                                of the fixture's accessible tree
//   benchctl point siblings N    the same for the target of the big tree
//                                of N siblings (fixture --siblings N)
//   benchctl roundtrip X,Y       the time of one question to another
//                                process's accessible object: the median,
//                                in ms, of 15 rounds of 20 get_accName
//                                calls on the object at the point
//   benchctl questions           the number of questions the fixture's
//                                accessible objects have answered so far
//   benchctl textlength [N]      the length of the fixture's edit text, once
//                                it is N or has stopped growing
// Exit code 0 on success, 1 for a bad command line or a missing fixture.

#include <windows.h>
#include <objbase.h>
#include <oleacc.h>
#include <oleauto.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "AccessibleTreeLayout.h"
#include "FixtureLayout.h"
#include "SiblingGridLayout.h"

namespace {

void Print(const std::string& text) {
  const std::string line = text + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()),
            &written, nullptr);
}

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

HWND FixtureWindow() { return FindWindowW(fixture::kWindowClass, nullptr); }

// The top-left corner of the tree window's client area on the screen.
bool TreeClientOrigin(POINT& origin) {
  origin = POINT{0, 0};
  const HWND window = FixtureWindow();
  const HWND tree = window ? GetDlgItem(window, fixture::kAccessibleTreeId) : nullptr;
  return tree && ClientToScreen(tree, &origin);
}

int PrintPoint(int argc, char** argv) {
  POINT origin;
  if (argc < 3 || !TreeClientOrigin(origin)) return 1;
  const std::string_view which = argv[2];
  POINT point{};
  if (which == "key5") {
    point = fixture::acctree::ScreenCentre(fixture::acctree::kCentreKeyNode, origin);
  } else if (which == "siblings" && argc > 3) {
    const int count = std::atoi(argv[3]);
    if (count < fixture::siblings::kMinCount || count > fixture::siblings::kMaxCount) return 1;
    const fixture::siblings::Grid grid = fixture::siblings::GridFor(count);
    const POINT centre =
        fixture::siblings::ElementRect(grid, fixture::siblings::TargetIndex(grid)).Centre();
    point = POINT{origin.x + centre.x, origin.y + centre.y};
  } else {
    return 1;
  }
  Print(std::to_string(point.x) + "," + std::to_string(point.y));
  return 0;
}

int PrintRoundTrip(int argc, char** argv) {
  POINT point{};
  if (argc < 3 || std::sscanf(argv[2], "%ld,%ld", &point.x, &point.y) != 2) return 1;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccessible* object = nullptr;
  VARIANT child;
  VariantInit(&child);
  int status = 1;
  if (SUCCEEDED(AccessibleObjectFromPoint(point, &object, &child)) && object) {
    constexpr int kRounds = 15;
    constexpr int kCallsPerRound = 20;
    std::vector<double> perCall;
    for (int round = 0; round <= kRounds; ++round) {
      const double start = NowMs();
      for (int call = 0; call < kCallsPerRound; ++call) {
        BSTR name = nullptr;
        object->get_accName(child, &name);
        SysFreeString(name);
      }
      // The first round only warms up.
      if (round > 0) perCall.push_back((NowMs() - start) / kCallsPerRound);
    }
    std::sort(perCall.begin(), perCall.end());
    char line[32];
    std::snprintf(line, sizeof line, "%.3f", perCall[perCall.size() / 2]);
    Print(line);
    object->Release();
    status = 0;
  }
  VariantClear(&child);
  if (SUCCEEDED(com)) CoUninitialize();
  return status;
}

int PrintQuestions() {
  const HWND window = FixtureWindow();
  if (!window) return 1;
  Print(std::to_string(SendMessageW(window, fixture::kRequestQuestionsAnswered, 0, 0)));
  return 0;
}

// The fixture takes typed keys from its queue after the typing program has
// ended; the length counts once it has reached `expected` or stopped
// growing for a while.
constexpr DWORD kSettledMs = 2000;
constexpr DWORD kLengthDeadlineMs = 30000;

int PrintTextLength(int argc, char** argv) {
  const HWND window = FixtureWindow();
  if (!window) return 1;
  const HWND edit = GetDlgItem(window, fixture::kEditId);
  const LRESULT expected = argc > 2 ? std::atol(argv[2]) : -1;
  const ULONGLONG start = GetTickCount64();
  ULONGLONG changed = start;
  LRESULT length = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
  while (length != expected && GetTickCount64() - changed < kSettledMs &&
         GetTickCount64() - start < kLengthDeadlineMs) {
    Sleep(20);
    const LRESULT now = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
    if (now != length) changed = GetTickCount64();
    length = now;
  }
  Print(std::to_string(length));
  return 0;
}

bool FreshEdit() {
  const HWND window = FixtureWindow();
  if (!window) return false;
  SendMessageW(window, fixture::kRequestClearEdit, 0, 0);
  return SendMessageW(window, fixture::kRequestFocus, 0, 0) == 1;
}

// The command line after " -- ", as the caller quoted it.
std::wstring CommandAfterSeparator() {
  const std::wstring_view line = GetCommandLineW();
  const size_t separator = line.find(L" -- ");
  if (separator == std::wstring_view::npos) return L"";
  return std::wstring(line.substr(separator + 4));
}

// How often a running process's memory figures are read.
constexpr DWORD kMemoryPollMs = 5;

struct PeakMemory {
  SIZE_T workingSet = 0;
  SIZE_T pagefile = 0;

  void Read(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process, &memory, sizeof memory)) return;
    if (memory.PeakWorkingSetSize > workingSet) workingSet = memory.PeakWorkingSetSize;
    if (memory.PeakPagefileUsage > pagefile) pagefile = memory.PeakPagefileUsage;
  }
};

int RunOnce(const std::wstring& command, HANDLE nul) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul;
  startup.hStdOutput = nul;
  startup.hStdError = nul;
  PROCESS_INFORMATION process{};
  std::wstring mutableCommand = command;
  const double start = NowMs();
  if (!CreateProcessW(nullptr, mutableCommand.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return 1;
  }
  // Wine answers GetProcessMemoryInfo from the host process's status
  // (VmHWM), which goes with the host process: after the exit the figures
  // are often gone. The peaks only grow, so they are also read while the
  // process runs, and the highest reading counts.
  PeakMemory peak;
  while (WaitForSingleObject(process.hProcess, kMemoryPollMs) == WAIT_TIMEOUT) {
    peak.Read(process.hProcess);
  }
  const double ms = NowMs() - start;
  peak.Read(process.hProcess);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  char line[160];
  std::snprintf(line, sizeof line, "ms=%.1f peakws_kb=%lu peakpf_kb=%lu exit=%lu", ms,
                static_cast<unsigned long>(peak.workingSet / 1024),
                static_cast<unsigned long>(peak.pagefile / 1024),
                static_cast<unsigned long>(exitCode));
  Print(line);
  return 0;
}

int Run(int argc, char** argv) {
  int runs = 1;
  bool freshEdit = false;
  for (int i = 2; i < argc && std::string_view(argv[i]) != "--"; ++i) {
    const std::string_view option = argv[i];
    if (option == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else if (option == "--fresh-edit") {
      freshEdit = true;
    } else {
      return 1;
    }
  }
  const std::wstring command = CommandAfterSeparator();
  if (command.empty() || runs < 1) return 1;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                 nullptr);
  if (nul == INVALID_HANDLE_VALUE) return 1;
  int status = 0;
  for (int run = 0; run < runs && status == 0; ++run) {
    if (freshEdit && !FreshEdit()) status = 1;
    if (status == 0) status = RunOnce(command, nul);
  }
  CloseHandle(nul);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "run") return Run(argc, argv);
  if (command == "point") return PrintPoint(argc, argv);
  if (command == "roundtrip") return PrintRoundTrip(argc, argv);
  if (command == "questions") return PrintQuestions();
  if (command == "textlength") return PrintTextLength(argc, argv);
  return 1;
}
