#include "WindowUtils.h"

// The module functions come from psapi.dll, which every supported system
// has, rather than from their newer kernel32 aliases.
#define PSAPI_VERSION 1
#include <psapi.h>

#include <array>

#include "ModuleName.h"

namespace {

constexpr int kTextBufferSize = 4096;
constexpr DWORD kModuleQueryAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
static_assert(kModuleQueryAccess == 0x410);

Wow64State Wow64StateOf(HANDLE process) {
  BOOL wow64 = FALSE;
  if (!IsWow64Process(process, &wow64)) return Wow64State::Unknown;
  return wow64 ? Wow64State::Yes : Wow64State::No;
}

}  // namespace

std::optional<LRESULT> SendMessageWithinTimeout(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG,
                           kWindowAnswerTimeoutMs, &answer)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(answer);
}

HWND GetRootWindow(HWND window) {
  if (!IsWindow(window)) return nullptr;
  return GetAncestor(window, GA_ROOT);
}

std::string GetWindowTextByMessage(HWND window) {
  if (!IsWindow(window)) return {};
  std::array<char, kTextBufferSize> buffer{};
  if (!SendMessageWithinTimeout(window, WM_GETTEXT, buffer.size(),
                                reinterpret_cast<LPARAM>(buffer.data()))) {
    return {};
  }
  // A window that fills the whole buffer without a terminating zero still
  // gives a text that ends inside it.
  buffer.back() = '\0';
  return buffer.data();
}

std::string GetWindowClassName(HWND window) {
  if (!IsWindow(window)) return {};
  std::array<char, kTextBufferSize> buffer{};
  const UINT length = RealGetWindowClassA(window, buffer.data(), buffer.size());
  if (length == 0) return {};
  buffer.back() = '\0';
  return buffer.data();
}

DWORD GetWindowProcessId(HWND window) {
  DWORD processId = 0;
  if (GetWindowThreadProcessId(window, &processId) == 0) return 0;
  return processId;
}

KernelHandle OpenWindowProcess(HWND window) {
  return KernelHandle(OpenProcess(kModuleQueryAccess, FALSE, GetWindowProcessId(window)));
}

std::string GetWindowModuleName(HWND window, bool fullPath) {
  const KernelHandle process = OpenWindowProcess(window);
  if (!process) return {};
  // Room for one module: the first one listed is the executable.
  HMODULE module = nullptr;
  DWORD needed = 0;
  if (!EnumProcessModules(process.Get(), &module, sizeof module, &needed)) return {};
  std::array<char, kTextBufferSize> path{};
  if (GetModuleFileNameExA(process.Get(), module, path.data(), path.size()) == 0) return {};
  path.back() = '\0';
  return ModuleNameFromPath(path.data(), fullPath);
}

Wow64State CurrentProcessWow64State() {
  return Wow64StateOf(GetCurrentProcess());
}

Wow64State ProcessWow64State(DWORD processId) {
  const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return Wow64State::Unknown;
  return Wow64StateOf(process.Get());
}
