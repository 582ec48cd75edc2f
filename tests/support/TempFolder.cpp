#include "TempFolder.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <system_error>

#include "UniqueHandle.h"
#include "Utf.h"

namespace testsupport {

namespace {

std::runtime_error FileError(const std::string& what,
                             const std::filesystem::path& file) {
  return std::runtime_error(what + " " + Utf16ToUtf8(file.wstring()) +
                            " (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0 || length > MAX_PATH) {
    throw std::runtime_error("no temporary folder");
  }
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate =
        std::filesystem::path(std::wstring(temp, length)) /
        (L"dtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter));
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = std::move(candidate);
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      throw FileError("cannot create the folder", candidate);
    }
  }
  throw std::runtime_error("cannot find a free temporary folder name");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteBytesToFile(const std::filesystem::path& file, std::string_view bytes) {
  UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) throw FileError("cannot create", file);
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                   &written, nullptr) ||
        written == 0) {
      throw FileError("cannot write", file);
    }
    bytes.remove_prefix(written);
  }
}

std::string ReadBytesFromFile(const std::filesystem::path& file) {
  UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) throw FileError("cannot open", file);
  std::string bytes;
  char buffer[64 * 1024];
  for (;;) {
    DWORD count = 0;
    if (!ReadFile(handle.Get(), buffer, sizeof buffer, &count, nullptr)) {
      throw FileError("cannot read", file);
    }
    if (count == 0) return bytes;
    bytes.append(buffer, count);
  }
}

std::filesystem::path TestDataFile(const std::wstring& name) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path() / L"testdata" / name;
}

}  // namespace testsupport
