#include "RunProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <stdexcept>

#include "UniqueHandle.h"
#include "Utf.h"

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;

std::string Narrow(std::wstring_view text) { return Utf16ToUtf8(text); }

std::runtime_error PlatformError(const std::string& what) {
  return std::runtime_error(what + " (error " + std::to_string(GetLastError()) +
                            ")");
}

// Handles that a child may inherit exist only while this lock is held, so
// that a program started from another thread does not inherit them too.
std::mutex& InheritanceLock() {
  static std::mutex lock;
  return lock;
}

// The reading end of one output stream: an overlapped named pipe, whose
// writing end the child gets.
class PipeReader {
 public:
  // Creates the pipe and returns the child's end, inheritable.
  UniqueHandle Create() {
    static std::atomic<unsigned> counter{0};
    const std::wstring name = L"\\\\.\\pipe\\testsupport-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
    pipe_.Reset(CreateNamedPipeW(
        name.c_str(),
        PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0,
        static_cast<DWORD>(buffer_.size()), 0, nullptr));
    if (!pipe_) throw PlatformError("cannot create a pipe");
    event_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event_) throw PlatformError("cannot create an event");
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle writer(CreateFileW(name.c_str(), GENERIC_WRITE, 0,
                                    &inheritable, OPEN_EXISTING, 0, nullptr));
    if (!writer) throw PlatformError("cannot open a pipe");
    return writer;
  }

  // Reads what is there and leaves one read pending, until the pipe ends.
  void Start() {
    while (open_ && !pending_) {
      overlapped_ = OVERLAPPED{};
      overlapped_.hEvent = event_.Get();
      if (ReadFile(pipe_.Get(), buffer_.data(), static_cast<DWORD>(buffer_.size()),
                   nullptr, &overlapped_)) {
        Collect(false);
      } else if (GetLastError() == ERROR_IO_PENDING) {
        pending_ = true;
      } else {
        open_ = false;  // ERROR_BROKEN_PIPE: every writer is gone
      }
    }
  }

  // The pending read has finished; starts the next.
  void Complete() {
    pending_ = false;
    if (Collect(false)) Start();
  }

  // Gives up the pending read and keeps what it had received.
  void Cancel() {
    if (pending_) {
      CancelIo(pipe_.Get());
      Collect(true);
      pending_ = false;
    }
    open_ = false;
  }

  bool Pending() const { return pending_; }
  bool Open() const { return open_; }
  HANDLE Event() const { return event_.Get(); }
  std::string& Data() { return data_; }

 private:
  bool Collect(bool wait) {
    DWORD count = 0;
    const BOOL ok = GetOverlappedResult(pipe_.Get(), &overlapped_, &count, wait);
    data_.append(buffer_.data(), count);
    if (!ok) open_ = false;
    return ok;
  }

  UniqueHandle pipe_;
  UniqueHandle event_;
  OVERLAPPED overlapped_{};
  std::array<char, 64 * 1024> buffer_{};
  std::string data_;
  bool pending_ = false;
  bool open_ = true;
};

std::wstring UpperName(std::wstring_view entry) {
  // Skip the first character: the hidden per-drive variables begin with "=".
  const size_t equals = entry.find(L'=', 1);
  std::wstring name(entry.substr(0, equals));
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

// The test's environment with the changes applied, as a sorted block; empty
// when there are no changes and the child just inherits.
std::wstring EnvironmentBlock(const std::vector<EnvironmentChange>& changes) {
  if (changes.empty()) return {};
  std::vector<std::wstring> entries;
  if (wchar_t* block = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
      entries.emplace_back(entry);
    }
    FreeEnvironmentStringsW(block);
  }
  for (const EnvironmentChange& change : changes) {
    if (change.name.empty() || change.name.find(L'=') != std::wstring::npos) {
      throw std::invalid_argument("bad environment variable name: " +
                                  Narrow(change.name));
    }
    std::wstring name = change.name;
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    std::erase_if(entries, [&](const std::wstring& entry) {
      return UpperName(entry) == name;
    });
    if (change.value) entries.push_back(change.name + L"=" + *change.value);
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const std::wstring& a, const std::wstring& b) {
                     return UpperName(a) < UpperName(b);
                   });
  std::wstring block;
  for (const std::wstring& entry : entries) {
    block += entry;
    block += L'\0';
  }
  block += L'\0';
  if (entries.empty()) block += L'\0';
  return block;
}

std::string Excerpt(const std::string& bytes) {
  constexpr size_t kLimit = 2000;
  if (bytes.size() <= kLimit) return bytes;
  return bytes.substr(0, kLimit) + "...";
}

}  // namespace

void EnsureDesktop() {
  static std::once_flag once;
  std::call_once(once, [] {
    UniqueHandle discard(CreateFileW(L"NUL", GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (discard) SetStdHandle(STD_ERROR_HANDLE, discard.Get());
    GetDesktopWindow();
    SetStdHandle(STD_ERROR_HANDLE, error);
  });
}

std::filesystem::path BinDir() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) throw PlatformError("cannot get the test program's name");
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
}

std::filesystem::path ProgramPath(const std::filesystem::path& program) {
  if (program.has_parent_path()) return program;
  std::filesystem::path path = BinDir() / program;
  if (!program.has_extension()) path += L".exe";
  return path;
}

std::wstring QuoteArgument(std::wstring_view argument) {
  bool blank = argument.empty();
  for (wchar_t c : argument) {
    if (c == L'"' || c == L'\0') {
      throw std::invalid_argument(
          "an argument with a double quote or a zero cannot be quoted: " +
          Narrow(argument));
    }
    if (c <= L' ') blank = true;
  }
  if (!blank) return std::wstring(argument);
  return L"\"" + std::wstring(argument) + L"\"";
}

std::wstring JoinArguments(const std::vector<std::wstring>& arguments) {
  std::wstring line;
  for (const std::wstring& argument : arguments) {
    if (!line.empty()) line += L' ';
    line += QuoteArgument(argument);
  }
  return line;
}

RunResult RunProgram(const std::filesystem::path& program,
                     const std::vector<std::wstring>& arguments,
                     const RunOptions& options) {
  return RunCommandLine(program, JoinArguments(arguments), options);
}

RunResult RunCommandLine(const std::filesystem::path& program,
                         std::wstring_view argumentsText,
                         const RunOptions& options) {
  const std::filesystem::path path = ProgramPath(program);
  std::wstring commandLine = QuoteArgument(path.wstring());
  if (!argumentsText.empty()) {
    commandLine += L' ';
    commandLine += argumentsText;
  }
  return RunExactCommandLine(path, std::move(commandLine), options);
}

RunResult RunExactCommandLine(const std::filesystem::path& program,
                              std::wstring commandLine,
                              const RunOptions& options) {
  const std::filesystem::path path = ProgramPath(program);
  const std::string described = Narrow(commandLine);
  if (!std::filesystem::is_regular_file(path)) {
    throw std::runtime_error("no program " + Narrow(path.wstring()));
  }
  std::wstring environment = EnvironmentBlock(options.environment);
  EnsureDesktop();

  // Whatever the program starts belongs to the job as well, and dies with
  // it when the run ends.
  UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
  if (job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation,
                                 &limits, sizeof limits)) {
      job.Reset();
    }
  }

  PipeReader out;
  PipeReader err;
  PROCESS_INFORMATION started{};
  {
    std::lock_guard lock(InheritanceLock());
    UniqueHandle outWriter = out.Create();
    UniqueHandle errWriter = err.Create();
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle input(CreateFileW(L"NUL", GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr));
    if (!input) throw PlatformError("cannot open NUL");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = outWriter.Get();
    startup.hStdError = errWriter.Get();
    const std::wstring directory = options.workingDirectory.wstring();
    // Wine on a heavily loaded machine now and then fails a process start
    // with an internal error (1359) before the program runs at all; a
    // later try starts it. Any other failure is the test's answer.
    for (int attempt = 1;; ++attempt) {
      if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                         CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED,
                         environment.empty() ? nullptr : environment.data(),
                         directory.empty() ? nullptr : directory.c_str(),
                         &startup, &started)) {
        break;
      }
      if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 3) {
        throw PlatformError("cannot start " + described);
      }
    }
  }
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  if (job && !AssignProcessToJobObject(job.Get(), process.Get())) job.Reset();
  ResumeThread(thread.Get());

  RunResult result;
  out.Start();
  err.Start();
  const Clock::time_point deadline = Clock::now() + options.timeout;
  bool exited = false;
  for (;;) {
    std::vector<HANDLE> handles;
    if (!exited) handles.push_back(process.Get());
    if (out.Pending()) handles.push_back(out.Event());
    if (err.Pending()) handles.push_back(err.Event());
    if (handles.empty()) break;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(
        deadline - Clock::now());
    const DWORD waited = WaitForMultipleObjects(
        static_cast<DWORD>(handles.size()), handles.data(), FALSE,
        static_cast<DWORD>(std::max<long long>(left.count(), 0)));
    if (waited == WAIT_TIMEOUT) {
      result.timedOut = true;
      break;
    }
    if (waited >= WAIT_OBJECT_0 + handles.size()) {
      throw PlatformError("waiting for " + described + " failed");
    }
    const HANDLE signalled = handles[waited - WAIT_OBJECT_0];
    if (signalled == process.Get()) {
      exited = true;
    } else if (signalled == out.Event()) {
      out.Complete();
    } else {
      err.Complete();
    }
  }

  if (result.timedOut) {
    if (!job || !TerminateJobObject(job.Get(), 1)) {
      TerminateProcess(process.Get(), 1);
    }
    WaitForSingleObject(process.Get(), 10000);
  }
  out.Cancel();
  err.Cancel();
  result.out = std::move(out.Data());
  result.err = std::move(err.Data());
  GetExitCodeProcess(process.Get(), &result.exitCode);
  if (result.timedOut) {
    ADD_FAILURE() << (exited ? "Something that " + described +
                                   " started still held its output after "
                             : described + " did not end within ")
                  << options.timeout.count() << " ms and was killed.\n"
                  << "stdout so far: " << Excerpt(result.out) << "\n"
                  << "stderr so far: " << Excerpt(result.err);
  }
  return result;
}

}  // namespace testsupport
