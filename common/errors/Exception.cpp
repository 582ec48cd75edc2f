#include "Exception.h"

#include "Utf.h"

namespace {

// Process-wide switch, set once by the main block before anything can raise.
StackCapture g_capture = nullptr;

}  // namespace

void StartExceptionTracking(StackCapture capture) noexcept { g_capture = capture; }

Exception::Exception(const char* className, std::wstring message)
    : className_(className),
      message_(std::move(message)),
      narrow_(Utf16ToUtf8(message_)) {
  if (g_capture != nullptr) trace_ = g_capture();
}
