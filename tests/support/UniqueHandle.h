#pragma once
// Owns a kernel handle and closes it at the end of its scope.

#include <windows.h>

#include <utility>

namespace testsupport {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  // Null and INVALID_HANDLE_VALUE both mean no handle.
  explicit UniqueHandle(HANDLE handle) : handle_(Valid(handle) ? handle : nullptr) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  HANDLE Release() { return std::exchange(handle_, nullptr); }
  void Reset(HANDLE handle = nullptr) {
    HANDLE old = std::exchange(handle_, Valid(handle) ? handle : nullptr);
    if (old) CloseHandle(old);
  }

 private:
  static bool Valid(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
  }

  HANDLE handle_ = nullptr;
};

}  // namespace testsupport
