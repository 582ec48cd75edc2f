#include "WaitUntil.h"

#include <windows.h>

#include <algorithm>

namespace testsupport {

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    const auto pause = std::clamp(std::min(interval, left), 1ms, 1000ms);
    // Wakes early for messages, which are dispatched before the next look.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(pause.count()),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    PumpMessages();
  }
}

}  // namespace testsupport
