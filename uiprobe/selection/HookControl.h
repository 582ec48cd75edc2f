#pragma once
// Starting and stopping the hook library's global hook through its switch
// `SetHook` and the active flag of the hook block. The calls out of this
// unit (the switch, the pause, the message queue, the clock) are handed in,
// so that the logic runs against a local block and a fake library as well
// as against the real ones (HookInterprocessComm.h).

#include <chrono>
#include <cstdint>
#include <functional>

#include "HookRing.h"

struct HookControlCalls {
  // The library's SetHook: kSetHookInstall or kSetHookRemove.
  std::function<void(std::int32_t)> SetHook;
  // Handles every message waiting in the calling thread's queue.
  std::function<void()> ProcessMessages;
  std::function<void(std::chrono::milliseconds)> Sleep;
  std::function<std::chrono::steady_clock::time_point()> Now;
};

// How often StopHook looks at the active flag, and how long at most it
// waits for the library to clear it.
inline constexpr std::chrono::milliseconds kStopHookPollInterval{5};
inline constexpr std::chrono::milliseconds kStopHookTimeout{2000};

class HookControl {
 public:
  HookControl(volatile THookSharedBlock& block, HookControlCalls calls,
              std::chrono::milliseconds stopTimeout = kStopHookTimeout);

  // The block's active flag is set.
  bool IsHookActive() const;

  // Unless the hook is active already: writes `notifyWindow` into the block
  // and asks the library to install the hook. The library sets the active
  // flag before it returns when the hook is in place; an active hook is
  // left alone, its notify window included.
  void StartHook(std::uint32_t notifyWindow);

  // If the hook is active: asks the library to remove it and waits until
  // the library clears the active flag, looking first at once and then
  // after each pause of kStopHookPollInterval and the handling of the
  // waiting messages. True when the flag is clear; false when the library
  // left it set for longer than the stop timeout, in which case the hook
  // counts as given up: nothing more is asked of the library.
  bool StopHook();

 private:
  volatile THookSharedBlock& block_;
  HookControlCalls calls_;
  std::chrono::milliseconds stopTimeout_;
};
