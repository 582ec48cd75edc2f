#pragma once
// Call stacks of raised exceptions, and their lines for the failure report.

#include <string>
#include <vector>

#include "Exception.h"

// The stack of the calling thread, without this function's own frame.
StackFrames CaptureStack();

// One line per frame: the code address, and the function, source file and
// line where the program's debug information names them.
std::vector<std::wstring> DescribeStack(const StackFrames& frames);

// Raises the calling thread's last platform error as an EOSError.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseOSError(unsigned long code);
