#pragma once
// Waiting for a condition with a deadline instead of sleeping a fixed time.

#include <chrono>
#include <functional>

namespace testsupport {

using namespace std::chrono_literals;

// Asks `condition` every `interval` until it is true or `timeout` has
// passed, and once more at the deadline. Meanwhile the calling thread's
// messages are dispatched, so windows and hooks that the test owns keep
// working. True when the condition was met.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = 10ms);

// Dispatches the messages waiting in the calling thread's queue.
void PumpMessages();

}  // namespace testsupport
