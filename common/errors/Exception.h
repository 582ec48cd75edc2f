#pragma once
// The errors that travel through both programs. Each carries the class name
// that the failure report prints, its message, and the call stack recorded
// where it was raised once tracking is switched on.

#include <exception>
#include <string>
#include <vector>

// Code addresses of a call stack, innermost first.
using StackFrames = std::vector<const void*>;
using StackCapture = StackFrames (*)();

// Records a stack for every exception raised from now on, taken with
// `capture`. A null capture switches the recording off.
void StartExceptionTracking(StackCapture capture) noexcept;

class Exception : public std::exception {
 public:
  Exception(const char* className, std::wstring message);

  const char* ClassName() const noexcept { return className_; }
  const std::wstring& Message() const noexcept { return message_; }
  // Empty when no stack was recorded.
  const StackFrames& Trace() const noexcept { return trace_; }
  // The message in UTF-8.
  const char* what() const noexcept override { return narrow_.c_str(); }

 private:
  const char* className_;
  std::wstring message_;
  std::string narrow_;
  StackFrames trace_;
};

// A platform call failed; the message is the system's text for the error.
class EOSError : public Exception {
 public:
  EOSError(unsigned long code, std::wstring message)
      : Exception("EOSError", std::move(message)), code_(code) {}
  unsigned long Code() const noexcept { return code_; }

 private:
  unsigned long code_;
};

// Writing to a standard stream failed.
class EInOutError : public Exception {
 public:
  explicit EInOutError(std::wstring message)
      : Exception("EInOutError", std::move(message)) {}
};
