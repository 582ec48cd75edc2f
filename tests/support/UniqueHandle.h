#pragma once
// Owners of a kernel handle and of a window of this thread, which close or
// destroy them at the end of their scope.

#include <windows.h>

#include <utility>

#include "KernelHandle.h"

namespace testsupport {

// The programs' own owner of a kernel handle.
using UniqueHandle = ::KernelHandle;

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
