#include "StackTrace.h"

#include <windows.h>
#include <dbghelp.h>

#include <cstdio>

#include "CodePage.h"
#include "SystemError.h"

namespace {

constexpr ULONG kMaxFrames = 62;

// dbghelp wants to be set up once per process before the first lookup.
bool InitializeSymbols() {
  static const bool ready = [] {
    SymSetOptions(SYMOPT_DEFERRED_LOADS | SYMOPT_LOAD_LINES | SYMOPT_UNDNAME);
    return SymInitialize(GetCurrentProcess(), nullptr, TRUE) != FALSE;
  }();
  return ready;
}

std::wstring BaseName(const char* path) {
  std::string text(path);
  const size_t slash = text.find_last_of("\\/");
  if (slash != std::string::npos) text.erase(0, slash + 1);
  return AnsiToWide(text);
}

}  // namespace

StackFrames CaptureStack() {
  void* frames[kMaxFrames];
  const USHORT count = CaptureStackBackTrace(1, kMaxFrames, frames, nullptr);
  return StackFrames(frames, frames + count);
}

std::vector<std::wstring> DescribeStack(const StackFrames& frames) {
  std::vector<std::wstring> lines;
  const bool symbols = InitializeSymbols();
  HANDLE process = GetCurrentProcess();
  for (const void* frame : frames) {
    const auto address = reinterpret_cast<DWORD64>(frame);
    wchar_t head[32];
    swprintf(head, 32, L"[%08llX]", static_cast<unsigned long long>(address));
    std::wstring line = head;
    if (symbols) {
      alignas(SYMBOL_INFO) char buffer[sizeof(SYMBOL_INFO) + MAX_SYM_NAME];
      auto* symbol = reinterpret_cast<SYMBOL_INFO*>(buffer);
      symbol->SizeOfStruct = sizeof(SYMBOL_INFO);
      symbol->MaxNameLen = MAX_SYM_NAME;
      DWORD64 displacement = 0;
      if (SymFromAddr(process, address, &displacement, symbol)) {
        line += L" ";
        line += AnsiToWide(symbol->Name);
      }
      IMAGEHLP_LINE64 source{};
      source.SizeOfStruct = sizeof(source);
      DWORD column = 0;
      if (SymGetLineFromAddr64(process, address, &column, &source)) {
        line += L" (" + BaseName(source.FileName) + L":" +
                std::to_wstring(source.LineNumber) + L")";
      }
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

void RaiseOSError(unsigned long code) {
  std::wstring message = L"System error " + std::to_wstring(code) + L".";
  const std::wstring text = SystemErrorText(code);
  if (!text.empty()) message += L" " + text;
  throw EOSError(code, message);
}

void RaiseLastOSError() { RaiseOSError(GetLastError()); }
