// Starting and stopping the hook against a fake hook library on a block in
// local memory, with a clock that moves only when the control sleeps.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "HookControl.h"

namespace {

using namespace std::chrono_literals;

// Stands in for Snaretap.dll and for the thread's surroundings, and keeps a
// log of every call in order.
class FakeLibrary {
 public:
  FakeLibrary() { std::memset(&block_, 0, sizeof block_); }

  // How the library answers SetHook(0): it clears the flag during the call,
  // after this many pauses of the caller, or never.
  enum class Clears { DuringCall, AfterPauses, Never };
  Clears clears = Clears::DuringCall;
  int pausesBeforeClear = 0;
  // SetHook(-1) sets the flag; a broken library may not.
  bool setsFlagOnInstall = true;

  THookSharedBlock& Block() { return block_; }
  const std::vector<std::string>& Log() const { return log_; }
  const std::vector<std::uint32_t>& NotifyWindowAtInstall() const { return notifyAtInstall_; }
  std::chrono::milliseconds Slept() const { return slept_; }

  HookControlCalls Calls() {
    HookControlCalls calls;
    calls.SetHook = [this](std::int32_t enable) {
      log_.push_back("SetHook(" + std::to_string(enable) + ")");
      if (enable != 0) {
        notifyAtInstall_.push_back(block_.NotifyWindow);
        if (setsFlagOnInstall) block_.HookActive = 1;
      } else if (clears == Clears::DuringCall) {
        block_.HookActive = 0;
      }
    };
    calls.Sleep = [this](std::chrono::milliseconds pause) {
      log_.push_back("Sleep(" + std::to_string(pause.count()) + ")");
      slept_ += pause;
      if (clears == Clears::AfterPauses && --pausesBeforeClear == 0) block_.HookActive = 0;
    };
    calls.ProcessMessages = [this] { log_.push_back("ProcessMessages"); };
    calls.Now = [this] { return std::chrono::steady_clock::time_point(slept_); };
    return calls;
  }

 private:
  THookSharedBlock block_;
  std::vector<std::string> log_;
  std::vector<std::uint32_t> notifyAtInstall_;
  std::chrono::milliseconds slept_{0};
};

std::vector<std::string> Repeat(const std::vector<std::string>& pass, int times) {
  std::vector<std::string> all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), pass.begin(), pass.end());
  return all;
}

}  // namespace

TEST(HookControl, Start_WhileInactive_WritesNotifyWindowThenInstalls) {
  FakeLibrary library;
  HookControl control(library.Block(), library.Calls());
  control.StartHook(0x00010ABCu);
  EXPECT_EQ(library.Log(), (std::vector<std::string>{"SetHook(-1)"}));
  EXPECT_EQ(library.NotifyWindowAtInstall(), (std::vector<std::uint32_t>{0x00010ABCu}));
  EXPECT_TRUE(control.IsHookActive());
}

TEST(HookControl, Start_WhileActive_CallsNothingAndKeepsNotifyWindow) {
  FakeLibrary library;
  library.Block().HookActive = 1;
  library.Block().NotifyWindow = 0x1234u;
  HookControl control(library.Block(), library.Calls());
  control.StartHook(0x5678u);
  EXPECT_TRUE(library.Log().empty());
  EXPECT_EQ(library.Block().NotifyWindow, 0x1234u);
}

TEST(HookControl, Start_LibraryLeavesFlagClear_ReportsInactive) {
  FakeLibrary library;
  library.setsFlagOnInstall = false;
  HookControl control(library.Block(), library.Calls());
  control.StartHook(1);
  EXPECT_EQ(library.Log(), (std::vector<std::string>{"SetHook(-1)"}));
  EXPECT_FALSE(control.IsHookActive());
}

TEST(HookControl, Stop_WhileInactive_CallsNothing) {
  FakeLibrary library;
  HookControl control(library.Block(), library.Calls());
  EXPECT_TRUE(control.StopHook());
  EXPECT_TRUE(library.Log().empty());
}

TEST(HookControl, Stop_LibraryClearsDuringCall_ReturnsWithoutSleeping) {
  FakeLibrary library;
  library.Block().HookActive = 1;
  HookControl control(library.Block(), library.Calls());
  EXPECT_TRUE(control.StopHook());
  EXPECT_EQ(library.Log(), (std::vector<std::string>{"SetHook(0)"}));
  EXPECT_FALSE(control.IsHookActive());
}

TEST(HookControl, Stop_LibraryClearsLater_PausesFiveMsAndHandlesMessagesUntilClear) {
  FakeLibrary library;
  library.Block().HookActive = 1;
  library.clears = FakeLibrary::Clears::AfterPauses;
  library.pausesBeforeClear = 3;
  HookControl control(library.Block(), library.Calls());
  EXPECT_TRUE(control.StopHook());
  std::vector<std::string> expected{"SetHook(0)"};
  const std::vector<std::string> passes = Repeat({"Sleep(5)", "ProcessMessages"}, 3);
  expected.insert(expected.end(), passes.begin(), passes.end());
  EXPECT_EQ(library.Log(), expected);
}

TEST(HookControl, Stop_LibraryNeverClears_GivesUpAtTheTimeoutAndAsksOnce) {
  FakeLibrary library;
  library.Block().HookActive = 1;
  library.clears = FakeLibrary::Clears::Never;
  HookControl control(library.Block(), library.Calls(), 100ms);
  EXPECT_FALSE(control.StopHook());
  std::vector<std::string> expected{"SetHook(0)"};
  const std::vector<std::string> passes = Repeat({"Sleep(5)", "ProcessMessages"}, 20);
  expected.insert(expected.end(), passes.begin(), passes.end());
  EXPECT_EQ(library.Log(), expected);
  EXPECT_EQ(library.Slept(), 100ms);
  EXPECT_TRUE(control.IsHookActive());
}

TEST(HookControl, Stop_DefaultTimeout_IsTwoSeconds) {
  FakeLibrary library;
  library.Block().HookActive = 1;
  library.clears = FakeLibrary::Clears::Never;
  HookControl control(library.Block(), library.Calls());
  EXPECT_FALSE(control.StopHook());
  EXPECT_EQ(library.Slept(), kStopHookTimeout);
  EXPECT_EQ(kStopHookTimeout, 2000ms);
}

TEST(HookControl, Stop_LibraryClearsAtTheDeadline_Succeeds) {
  FakeLibrary library;
  library.Block().HookActive = 1;
  library.clears = FakeLibrary::Clears::AfterPauses;
  library.pausesBeforeClear = 20;  // clear at 100 ms, the deadline itself
  HookControl control(library.Block(), library.Calls(), 100ms);
  EXPECT_TRUE(control.StopHook());
  EXPECT_EQ(library.Slept(), 100ms);
}

TEST(HookControl, StartThenStop_RoundTrip_CallsMinusOneThenZero) {
  FakeLibrary library;
  HookControl control(library.Block(), library.Calls());
  control.StartHook(9);
  EXPECT_TRUE(control.IsHookActive());
  EXPECT_TRUE(control.StopHook());
  EXPECT_FALSE(control.IsHookActive());
  EXPECT_EQ(library.Log(), (std::vector<std::string>{"SetHook(-1)", "SetHook(0)"}));
}
