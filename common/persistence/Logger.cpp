#include "Logger.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "CodePage.h"
#include "ItemInfo.h"
#include "ItemInfoNull.h"
#include "ProgramFile.h"

namespace {

struct LoggerState {
  std::atomic<bool> enabled{false};
  std::mutex lock;  // guards everything below
  std::vector<std::string> sections;  // innermost last
  std::wstring fileNameOverride;
  std::wstring programFolder;
  std::atomic<LogClock> clock{nullptr};
};

LoggerState& State() {
  static LoggerState state;
  return state;
}

LogTime LocalTimeNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wMinute, now.wSecond, now.wMilliseconds};
}

LogTime Now(const LoggerState& state) {
  const LogClock clock = state.clock.load();
  return clock != nullptr ? clock() : LocalTimeNow();
}

// Creates the folder and every missing parent; failures show when the file
// is opened.
void CreateFolders(const std::wstring& folder) {
  for (size_t at = folder.find_first_of(L"\\/", 1); at != std::wstring::npos;
       at = folder.find_first_of(L"\\/", at + 1)) {
    CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(folder.c_str(), nullptr);
}

bool FolderExists(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The path while the lock is held.
std::string LogFileNameLocked(const LoggerState& state) {
  if (!state.enabled) return {};
  std::string path;
  if (!state.fileNameOverride.empty()) {
    path = WideToAnsi(state.fileNameOverride);
  } else {
    const std::wstring folder =
        state.programFolder.empty() ? ProgramFolder() : state.programFolder;
    path = LogFilePathIn(WideToAnsi(folder), GetCurrentProcessId());
  }
  const size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos && slash != 0) {
    const std::wstring folder = AnsiToWide(path.substr(0, slash));
    if (!FolderExists(folder)) CreateFolders(folder);
  }
  return path;
}

// Appends the line and CR LF, opening and closing the file for it.
void AppendLine(const std::string& path, std::string line) {
  const HANDLE file = CreateFileW(AnsiToWide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  line += "\r\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

enum class LineKind { Message, SectionStart, SectionEnd };

void WriteLogLine(LineKind kind, std::string_view text) noexcept {
  LoggerState& state = State();
  if (!state.enabled) return;
  try {
    const std::lock_guard<std::mutex> guard(state.lock);
    if (kind == LineKind::SectionStart) state.sections.emplace_back(text);
    const std::string prefix = FormatLogLinePrefix(Now(state), state.sections.size());
    const std::string current = state.sections.empty() ? std::string() : state.sections.back();
    std::string line;
    switch (kind) {
      case LineKind::Message:
        line = FormatLogMessageLine(prefix, text);
        break;
      case LineKind::SectionStart:
        line = FormatLogSectionStartLine(prefix, current);
        break;
      case LineKind::SectionEnd:
        line = FormatLogSectionEndLine(prefix, current);
        if (!state.sections.empty()) state.sections.pop_back();
        break;
    }
    AppendLine(LogFileNameLocked(state), std::move(line));
  } catch (...) {
    // Out of memory while building a line: the line is lost, the run goes on.
  }
}

}  // namespace

void InitLogger() noexcept { State().enabled = false; }

void FinalizeLogger() noexcept {
  LoggerState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  state.sections.clear();
  state.fileNameOverride.clear();
  state.programFolder.clear();
  state.clock = nullptr;
}

void LogMessage(std::string_view text) noexcept { WriteLogLine(LineKind::Message, text); }

void LogEnterSection(std::string_view name) noexcept {
  WriteLogLine(LineKind::SectionStart, name);
}

void LogLeaveSection() noexcept { WriteLogLine(LineKind::SectionEnd, {}); }

std::string DescribeItem(IItemInfo* item) {
  if (item == nullptr || IsNullItemInfo(item)) return std::string(kNullItemDescription);
  ItemDescription description;
  // The rectangle in the coordinates of the item's top-level window.
  const TRect screen = item->GetScreenRect();
  const ItemInfoPtr root = item->GetRootItem();
  const TPoint origin = root ? TopLeft(root->GetScreenRect()) : TPoint{};
  description.rectInRoot = MoveRect(screen, -origin.X, -origin.Y);
  description.name = item->GetName();
  description.role = item->GetRole();
  description.className = AnsiToWide(item->GetClassName());
  description.moduleName = AnsiToWide(item->GetModuleName());
  description.validChildCount = item->GetValidChildCount();
  return WideToAnsi(FormatItemDescription(description));
}

std::string GetLogFileName() {
  LoggerState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  return LogFileNameLocked(state);
}

std::string LogLinePrefix() {
  LoggerState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  return FormatLogLinePrefix(Now(state), state.sections.size());
}

std::string CurrentLogSection() {
  LoggerState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  return state.sections.empty() ? std::string() : state.sections.back();
}

void SetLoggingEnabled(bool enabled) noexcept { State().enabled = enabled; }

bool LoggingEnabled() noexcept { return State().enabled; }

void SetLogFileNameOverride(std::wstring path) {
  LoggerState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  state.fileNameOverride = std::move(path);
}

void SetLogProgramFolder(std::wstring folder) {
  LoggerState& state = State();
  const std::lock_guard<std::mutex> guard(state.lock);
  state.programFolder = std::move(folder);
}

void SetLogClock(LogClock clock) noexcept { State().clock = clock; }
