#pragma once
// Points a standard handle of the test process at a pipe for the life of
// the object, to take what the code under test writes to it byte for byte.

#include <windows.h>

#include <string>

class StdStreamCapture {
 public:
  explicit StdStreamCapture(DWORD which) : which_(which), saved_(GetStdHandle(which)) {
    if (CreatePipe(&read_, &write_, nullptr, 1 << 20)) SetStdHandle(which_, write_);
  }
  StdStreamCapture(const StdStreamCapture&) = delete;
  StdStreamCapture& operator=(const StdStreamCapture&) = delete;
  ~StdStreamCapture() {
    Restore();
    if (read_ != nullptr) CloseHandle(read_);
  }

  // Restores the handle and returns everything written meanwhile.
  std::string Take() {
    Restore();
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (read_ != nullptr && ReadFile(read_, buffer, sizeof buffer, &read, nullptr) &&
           read > 0) {
      bytes.append(buffer, read);
    }
    return bytes;
  }

  // Makes every further write to the stream fail.
  void BreakPipe() {
    if (read_ != nullptr) CloseHandle(read_);
    read_ = nullptr;
  }

 private:
  void Restore() {
    if (write_ == nullptr) return;
    SetStdHandle(which_, saved_);
    CloseHandle(write_);
    write_ = nullptr;
  }

  DWORD which_;
  HANDLE saved_;
  HANDLE read_ = nullptr;
  HANDLE write_ = nullptr;
};
