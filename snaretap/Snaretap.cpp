// Snaretap.dll: the global mouse and keyboard hook behind interactive
// selection. SetHook(-1) installs low-level mouse and keyboard hooks on the
// calling thread, which must keep handling its messages for them to run,
// and reports every mouse movement and every key press into the hook block;
// SetHook(0) removes them. Input always goes on to its target unchanged.

#include <windows.h>

#include <cstring>

#include "TapBlock.h"

// Exported by the undecorated name (Snaretap.def).
extern "C" BOOL WINAPI SetHook(BOOL enable);

namespace {

using snaretap::TapBlock;
using snaretap::TapRecord;

constexpr char kBlockName[] = "XU_GlobalHook{BE03CE83-601F-4CF2-82B2-D784527F30E3}";

// What this copy of the library holds in its process. The hook procedures
// run on the thread that installed them, one call at a time, so the block
// has one writer per process.
struct TapState {
  HANDLE mapping = nullptr;
  volatile TapBlock* block = nullptr;
  HHOOK mouseHook = nullptr;
  HHOOK keyboardHook = nullptr;
};

TapState& State() noexcept {
  static TapState state;
  return state;
}

bool Installed() noexcept {
  return State().mouseHook != nullptr || State().keyboardHook != nullptr;
}

// Opens the block that the capture program made at its start; when
// `createIfMissing`, makes it when the library is used on its own. True
// when a view exists.
bool MapBlock(bool createIfMissing) noexcept {
  TapState& state = State();
  if (state.block != nullptr) return true;
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kBlockName);
  bool created = false;
  if (mapping == nullptr && createIfMissing) {
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                 snaretap::kTapBlockSize, kBlockName);
    created = mapping != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
  }
  if (mapping == nullptr) return false;
  void* const view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (view == nullptr) {
    CloseHandle(mapping);
    return false;
  }
  if (created) std::memset(view, 0, snaretap::kTapBlockSize);
  state.mapping = mapping;
  state.block = static_cast<volatile TapBlock*>(view);
  return true;
}

void UnmapBlock() noexcept {
  TapState& state = State();
  if (state.block != nullptr) UnmapViewOfFile(const_cast<TapBlock*>(state.block));
  if (state.mapping != nullptr) CloseHandle(state.mapping);
  state.block = nullptr;
  state.mapping = nullptr;
}

void RemoveHooks() noexcept {
  TapState& state = State();
  if (state.mouseHook != nullptr) UnhookWindowsHookEx(state.mouseHook);
  if (state.keyboardHook != nullptr) UnhookWindowsHookEx(state.keyboardHook);
  state.mouseHook = nullptr;
  state.keyboardHook = nullptr;
}

LRESULT CALLBACK MouseProc(int code, WPARAM message, LPARAM data) noexcept {
  volatile TapBlock* const block = State().block;
  if (code == HC_ACTION && message == WM_MOUSEMOVE && block != nullptr) {
    const auto& event = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    TapRecord record{};
    record.Message = WM_MOUSEMOVE;
    record.Flags = event.flags;
    record.X = event.pt.x;
    record.Y = event.pt.y;
    record.Time = event.time;
    record.ExtraInfo = static_cast<std::uint32_t>(event.dwExtraInfo);
    snaretap::AppendMouseRecord(*block, record);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM message, LPARAM data) noexcept {
  volatile TapBlock* const block = State().block;
  if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) &&
      block != nullptr) {
    const auto& event = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    TapRecord record{};
    record.Message = static_cast<std::uint32_t>(message);
    record.ScanCode = event.scanCode;
    record.VirtualKey = static_cast<std::int32_t>(snaretap::GenericVirtualKey(event.vkCode));
    record.Flags = event.flags;
    record.Time = event.time;
    record.RawVirtualKey = event.vkCode;
    record.ExtraInfo = static_cast<std::uint32_t>(event.dwExtraInfo);
    snaretap::AppendKeyboardRecord(*block, record);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

BOOL Install() noexcept {
  TapState& state = State();
  if (!MapBlock(true)) return FALSE;
  if (!Installed()) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&SetHook), &module)) {
      return FALSE;
    }
    state.mouseHook = SetWindowsHookExW(WH_MOUSE_LL, MouseProc, module, 0);
    state.keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, module, 0);
    if (state.mouseHook == nullptr || state.keyboardHook == nullptr) {
      RemoveHooks();
      return FALSE;
    }
  }
  // The capture program looks at the flag as soon as this call returns.
  state.block->HookActive = 1;
  return TRUE;
}

BOOL Remove() noexcept {
  RemoveHooks();
  // Cleared even when this copy installed nothing, so that a caller waiting
  // for the flag is never kept waiting by a flag that nobody clears. Without
  // a block there is no flag to clear.
  if (!MapBlock(false)) return TRUE;
  State().block->HookActive = 0;
  UnmapBlock();
  return TRUE;
}

}  // namespace

extern "C" BOOL WINAPI SetHook(BOOL enable) { return enable ? Install() : Remove(); }

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // A process that ends with the hook installed takes the hooks with it;
  // the flag in the block, which other processes may hold, must go too.
  if (reason == DLL_PROCESS_DETACH && Installed() && State().block != nullptr) {
    State().block->HookActive = 0;
    if (reserved == nullptr) {
      RemoveHooks();
      UnmapBlock();
    }
  }
  return TRUE;
}
