#pragma once
// Owns a kernel handle (a process, a file, an event...) and closes it when
// it goes out of scope.

#include <windows.h>

#include <utility>

class KernelHandle {
 public:
  KernelHandle() noexcept = default;
  // Null and INVALID_HANDLE_VALUE both mean no handle: the platform reports
  // failure with one or the other, depending on the call.
  explicit KernelHandle(HANDLE handle) noexcept : handle_(Valid(handle) ? handle : nullptr) {}
  ~KernelHandle() { Reset(); }
  KernelHandle(KernelHandle&& other) noexcept : handle_(other.Release()) {}
  KernelHandle& operator=(KernelHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;

  HANDLE Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

  HANDLE Release() noexcept { return std::exchange(handle_, nullptr); }
  void Reset(HANDLE handle = nullptr) noexcept {
    HANDLE old = std::exchange(handle_, Valid(handle) ? handle : nullptr);
    if (old) CloseHandle(old);
  }

 private:
  static bool Valid(HANDLE handle) noexcept {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
  }

  HANDLE handle_ = nullptr;
};
