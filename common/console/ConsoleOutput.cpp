#include "ConsoleOutput.h"

#include <windows.h>

#include <new>
#include <string>

#include "CodePage.h"
#include "Exception.h"
#include "StackTrace.h"
#include "Translation.h"
#include "Utf.h"

namespace {

void WriteAll(HANDLE stream, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    if (!WriteFile(stream, bytes.data() + done,
                   static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
        written == 0) {
      throw EInOutError(L"I/O error " + std::to_wstring(GetLastError()) +
                        L" writing to the console");
    }
    done += written;
  }
}

// Errors from the run-time library have no class name of their own.
const char* ClassNameOf(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Exception*>(&error)) return own->ClassName();
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return "EOutOfMemory";
  return "Exception";
}

std::wstring MessageOf(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Exception*>(&error)) return own->Message();
  return Utf8ToUtf16(error.what());
}

}  // namespace

void WriteConsoleText(std::wstring_view text, bool toErrorStream) {
  std::string bytes = ConvertToOem(WideToAnsi(text));
  bytes += "\r\n";
  WriteAll(GetStdHandle(toErrorStream ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), bytes);
}

void ReportException(const std::exception& error) {
  const std::wstring className = AnsiToWide(ClassNameOf(error));
  const std::wstring message = MessageOf(error);
  WriteConsoleText(TranslateFormat(L"Execution failed!\r\nException info: %s\r\n%s",
                                   {className, message}));
  const auto* own = dynamic_cast<const Exception*>(&error);
  if (own == nullptr || own->Trace().empty()) return;
  WriteConsoleText(Translate(L"Stack trace:"));
  for (const std::wstring& line : DescribeStack(own->Trace())) {
    WriteConsoleText(line, true);
  }
}
