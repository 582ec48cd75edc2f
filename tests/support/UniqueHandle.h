#pragma once
// Owners of a kernel handle and of a window of this thread, which close or
// destroy them at the end of their scope.

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

class UniqueWindow {
 public:
  explicit UniqueWindow(HWND window = nullptr) : window_(window) {}
  ~UniqueWindow() { Reset(); }
  UniqueWindow(UniqueWindow&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
  UniqueWindow& operator=(UniqueWindow&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.window_, nullptr));
    return *this;
  }
  UniqueWindow(const UniqueWindow&) = delete;
  UniqueWindow& operator=(const UniqueWindow&) = delete;

  HWND Get() const { return window_; }

  // Destroys the window held, if any, and takes the new one.
  void Reset(HWND window = nullptr) {
    const HWND old = std::exchange(window_, window);
    if (old != nullptr) DestroyWindow(old);
  }

 private:
  HWND window_ = nullptr;
};

}  // namespace testsupport
