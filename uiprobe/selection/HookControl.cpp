#include "HookControl.h"

#include <utility>

HookControl::HookControl(volatile THookSharedBlock& block, HookControlCalls calls,
                         std::chrono::milliseconds stopTimeout)
    : block_(block), calls_(std::move(calls)), stopTimeout_(stopTimeout) {}

bool HookControl::IsHookActive() const { return ::IsHookActive(block_); }

void HookControl::StartHook(std::uint32_t notifyWindow) {
  if (IsHookActive()) return;
  block_.NotifyWindow = notifyWindow;
  calls_.SetHook(kSetHookInstall);
}

bool HookControl::StopHook() {
  if (!IsHookActive()) return true;
  calls_.SetHook(kSetHookRemove);
  // A library that never clears its flag would keep the caller here for
  // ever; after the timeout the caller goes on and decides what follows.
  const auto deadline = calls_.Now() + stopTimeout_;
  while (IsHookActive()) {
    if (calls_.Now() >= deadline) return false;
    calls_.Sleep(kStopHookPollInterval);
    calls_.ProcessMessages();
  }
  return true;
}
