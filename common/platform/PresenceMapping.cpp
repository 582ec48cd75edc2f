#include "PresenceMapping.h"

#include <windows.h>

namespace {

constexpr DWORD kAllAccess = 0xF001F;  // FILE_MAP_ALL_ACCESS

}  // namespace

PresenceMapping::PresenceMapping(const char* name) noexcept {
  HANDLE handle = OpenFileMappingA(kAllAccess, TRUE, name);
  if (handle == nullptr) {
    handle = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1, name);
    if (handle == nullptr) return;
    // Another program may have created it since the open failed.
    created_ = GetLastError() != ERROR_ALREADY_EXISTS;
  }
  handle_ = handle;
  view_ = static_cast<volatile unsigned char*>(MapViewOfFile(handle, kAllAccess, 0, 0, 0));
  if (view_ != nullptr && created_) *view_ = 0;
}

PresenceMapping::~PresenceMapping() {
  if (view_ != nullptr) UnmapViewOfFile(const_cast<unsigned char*>(view_));
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
}
