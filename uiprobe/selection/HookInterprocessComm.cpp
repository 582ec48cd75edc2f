#include "HookInterprocessComm.h"

#include <cstring>
#include <utility>

#include "SystemError.h"
#include "Translation.h"

namespace {

std::wstring Widen(std::string_view text) {
  // The block's name is ASCII.
  return std::wstring(text.begin(), text.end());
}

std::wstring ErrorText(unsigned long code) {
  std::wstring message = SystemErrorText(code);
  if (message.empty()) message = L"System error " + std::to_wstring(code) + L".";
  return message;
}

std::wstring UnavailableMessage(std::string_view name, unsigned long code) {
  if (code == 0) return TranslateFormat(L"The hook block %s is not open.", {Widen(name)});
  return TranslateFormat(L"The hook block %s cannot be used. %s",
                         {Widen(name), ErrorText(code)});
}

HookChannel& Channel() noexcept {
  static HookChannel channel;
  return channel;
}

}  // namespace

EHookBlockUnavailable::EHookBlockUnavailable(std::string_view name, unsigned long code)
    : Exception("EHookBlockUnavailable", UnavailableMessage(name, code)), code_(code) {}

HookChannel::~HookChannel() { Release(); }

HookChannel::HookChannel(HookChannel&& other) noexcept
    : name_(std::move(other.name_)),
      mapping_(std::move(other.mapping_)),
      view_(std::exchange(other.view_, nullptr)),
      created_(other.created_),
      error_(other.error_),
      keyboardMessage_(other.keyboardMessage_),
      mouseMessage_(other.mouseMessage_) {}

HookChannel& HookChannel::operator=(HookChannel&& other) noexcept {
  if (this != &other) {
    Release();
    name_ = std::move(other.name_);
    mapping_ = std::move(other.mapping_);
    view_ = std::exchange(other.view_, nullptr);
    created_ = other.created_;
    error_ = other.error_;
    keyboardMessage_ = other.keyboardMessage_;
    mouseMessage_ = other.mouseMessage_;
  }
  return *this;
}

void HookChannel::Release() noexcept {
  if (view_ != nullptr) {
    UnmapViewOfFile(const_cast<THookSharedBlock*>(view_));
    view_ = nullptr;
  }
  mapping_.Reset();
}

HookChannel HookChannel::Open(std::string_view name) {
  HookChannel channel;
  channel.name_ = std::string(name);
  const char* const mappingName = channel.name_.c_str();

  channel.mapping_.Reset(OpenFileMappingA(FILE_MAP_ALL_ACCESS, TRUE, mappingName));
  if (!channel.mapping_) {
    channel.mapping_.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                              0, kHookBlockSize, mappingName));
    const DWORD error = GetLastError();
    if (!channel.mapping_) {
      channel.error_ = error;
    } else {
      // Another process may have made it between the two calls; then it is
      // that process's block, with its contents.
      channel.created_ = error != ERROR_ALREADY_EXISTS;
    }
  }
  if (channel.mapping_) {
    void* const view = MapViewOfFile(channel.mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (view == nullptr) {
      channel.error_ = GetLastError();
    } else {
      if (channel.created_) std::memset(view, 0, kHookBlockSize);
      channel.view_ = static_cast<volatile THookSharedBlock*>(view);
    }
  }

  channel.keyboardMessage_ =
      RegisterWindowMessageA((channel.name_ + kKeyboardHookMessageSuffix).c_str());
  channel.mouseMessage_ =
      RegisterWindowMessageA((channel.name_ + kMouseHookMessageSuffix).c_str());
  return channel;
}

volatile THookSharedBlock& HookChannel::Block() const {
  if (view_ == nullptr) {
    throw EHookBlockUnavailable(name_.empty() ? std::string_view(kHookBlockName) : name_,
                                error_);
  }
  return *view_;
}

void InitHookChannel() { Channel() = HookChannel::Open(kHookBlockName); }

void FinalizeHookChannel() noexcept { Channel() = HookChannel(); }

const HookChannel& ProcessHookChannel() noexcept { return Channel(); }

volatile THookSharedBlock& HookBlock() { return Channel().Block(); }

bool MouseEventPending() { return MouseEventPending(HookBlock()); }

THookEventRecord ReadMouseEvent() { return ReadMouseEvent(HookBlock()); }

bool KeyEventPending() { return KeyEventPending(HookBlock()); }

THookEventRecord ReadKeyEvent() { return ReadKeyEvent(HookBlock()); }

bool IsHookActive() { return IsHookActive(HookBlock()); }

HookControlCalls PlatformHookControlCalls() {
  HookControlCalls calls;
  calls.SetHook = [](std::int32_t enable) { ::SetHook(enable); };
  calls.ProcessMessages = [] {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  };
  calls.Sleep = [](std::chrono::milliseconds pause) {
    ::Sleep(static_cast<DWORD>(pause.count()));
  };
  calls.Now = [] { return std::chrono::steady_clock::now(); };
  return calls;
}

void StartHook(HWND notifyWindow) {
  // The block's field is 32 bits wide in both bitnesses: a window handle has
  // 32 significant bits on every Windows, so a 64-bit program loses nothing.
  const auto field = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(notifyWindow));
  HookControl(HookBlock(), PlatformHookControlCalls()).StartHook(field);
}

bool StopHook() { return HookControl(HookBlock(), PlatformHookControlCalls()).StopHook(); }
