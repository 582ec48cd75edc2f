#pragma once
// The hook block in shared memory, through which the hook library
// Snaretap.dll reports its active state and the mouse and keyboard events to
// the capture program, and the process's own use of it: the block opened at
// start-up, its rings, and the hook's start and stop.

#include <windows.h>

#include <string>
#include <string_view>

#include "Exception.h"
#include "HookControl.h"
#include "HookRing.h"
#include "KernelHandle.h"

// The hook library's one export, bound at load time by its undecorated name:
// -1 installs the global mouse and keyboard hook, 0 removes it. The result
// says nothing that the capture program uses.
extern "C" __declspec(dllimport) BOOL WINAPI SetHook(BOOL enable);

// The name of the block's named file mapping, and of the two registered
// window messages, which add these suffixes to it.
inline constexpr char kHookBlockName[] = "XU_GlobalHook{BE03CE83-601F-4CF2-82B2-D784527F30E3}";
inline constexpr char kKeyboardHookMessageSuffix[] = "Keyboard";
inline constexpr char kMouseHookMessageSuffix[] = "Mouse";

// The block was asked for, but there is no view of it: it could not be
// opened, created or mapped, or it was never opened. Code() is the
// platform's error code from the failed call, 0 when nothing was tried.
class EHookBlockUnavailable : public Exception {
 public:
  EHookBlockUnavailable(std::string_view name, unsigned long code);
  unsigned long Code() const noexcept { return code_; }

 private:
  unsigned long code_;
};

// One view of a named hook block, with the mapping behind it and the ids of
// the two messages named after it. Opening never raises; using a channel
// without a view does.
class HookChannel {
 public:
  // No view: Block() raises.
  HookChannel() noexcept = default;
  ~HookChannel();
  HookChannel(HookChannel&& other) noexcept;
  HookChannel& operator=(HookChannel&& other) noexcept;
  HookChannel(const HookChannel&) = delete;
  HookChannel& operator=(const HookChannel&) = delete;

  // Opens the named mapping, or creates it with 256 bytes on the paging
  // file; maps all of it; fills it with zero only when it was created here,
  // so a block that another process holds keeps its flag and counters.
  // Registers "<name>Keyboard" and "<name>Mouse". Failures are kept, not
  // raised.
  static HookChannel Open(std::string_view name = kHookBlockName);

  bool HasView() const noexcept { return view_ != nullptr; }
  // The mapping did not exist and was made by this channel.
  bool Created() const noexcept { return created_; }
  // Why there is no view: the error code of the call that failed.
  unsigned long Error() const noexcept { return error_; }
  const std::string& Name() const noexcept { return name_; }
  UINT KeyboardHookMessage() const noexcept { return keyboardMessage_; }
  UINT MouseHookMessage() const noexcept { return mouseMessage_; }

  // The mapped block. Raises EHookBlockUnavailable when there is no view.
  volatile THookSharedBlock& Block() const;

 private:
  void Release() noexcept;

  std::string name_;
  KernelHandle mapping_;
  volatile THookSharedBlock* view_ = nullptr;
  bool created_ = false;
  unsigned long error_ = 0;
  UINT keyboardMessage_ = 0;
  UINT mouseMessage_ = 0;
};

// The process's channel to the block named kHookBlockName: opened once at
// start-up, before anything uses the hook, and released at exit. Until it
// is open, and when it could not be opened, every use of the block below
// raises EHookBlockUnavailable, which the run reports as its failure.
void InitHookChannel();
void FinalizeHookChannel() noexcept;
const HookChannel& ProcessHookChannel() noexcept;

// The process's block; raises EHookBlockUnavailable when there is no view.
volatile THookSharedBlock& HookBlock();

// The rings and the flag of the process's block (see HookRing.h).
bool MouseEventPending();
THookEventRecord ReadMouseEvent();
bool KeyEventPending();
THookEventRecord ReadKeyEvent();
bool IsHookActive();

// StartHook and StopHook of HookControl on the process's block, with the
// imported SetHook, Sleep and the calling thread's message queue.
// `notifyWindow` is the window that the library may notify.
void StartHook(HWND notifyWindow);
bool StopHook();

// The calls that the process's hook control makes.
HookControlCalls PlatformHookControlCalls();
