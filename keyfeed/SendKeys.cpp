#include "SendKeys.h"

#include <cstdint>

#include "KeyTable.h"

namespace {

constexpr std::uint16_t kNoLayoutKey = 0xFFFF;
constexpr std::uint32_t kExtendedKey = 0x0001;  // KEYEVENTF_EXTENDEDKEY
constexpr std::uint32_t kKeyUp = 0x0002;        // KEYEVENTF_KEYUP
constexpr std::uint32_t kPauseAfterKeyMs = 10;

// Bits of a shift-state code's high byte.
constexpr std::uint8_t kAsksShift = 1;
constexpr std::uint8_t kAsksCtrl = 2;
constexpr std::uint8_t kAsksAlt = 4;

bool HasShiftFlag(std::uint16_t code, std::uint8_t flag) {
  return ((code >> 8) & flag) != 0;
}

std::wstring FormatWith(std::wstring_view format, std::wstring_view value) {
  std::wstring text(format);
  text.replace(text.find(L"%s"), 2, value);
  return text;
}

// One call of SendKeys: the port, its options and the modifiers that an
// opening tag holds down.
class KeyPlayer {
 public:
  KeyPlayer(InputPort& input, const TExtTagHandler& handler, TSendKeysOptions options)
      : input_(input), handler_(handler), options_(options) {}

  bool Play(std::wstring_view text) {
    struct ReleaseOnExit {
      KeyPlayer& player;
      ~ReleaseOnExit() {
        if (!player.options_.ReleaseModifiers) return;
        try {
          player.ReleaseAllModifiers();
        } catch (...) {
          // The play's own error, if any, is the one worth reporting.
        }
      }
    } releaseOnExit{*this};

    if (text.empty()) return false;
    ReleaseAllModifiers();
    bool result = false;
    size_t pos = 0;
    while (pos < text.size()) {
      try {
        if (PlayItem(text, pos)) result = true;
      } catch (...) {
        result = false;
        if (options_.RaiseErrors) throw;
        ++pos;
      }
    }
    return result;
  }

 private:
  // Plays the item at pos and moves pos past it. Returns false only for an
  // item that leaves the result as it was.
  bool PlayItem(std::wstring_view text, size_t& pos) {
    const wchar_t c = text[pos];
    if (c != L'{') {
      TypeCharacter(c);
      ++pos;
      return true;
    }
    if (pos + 1 < text.size() && text[pos + 1] == L'{') {
      TypeCharacter(L'{');
      pos += 2;
      return false;
    }
    PlayTag(text, pos);
    return true;
  }

  void PlayTag(std::wstring_view text, size_t& pos) {
    const size_t open = pos;
    const size_t close = text.find(L'}', open + 1);
    if (close == std::wstring_view::npos) {
      pos = text.size();
      throw EInvalidTag(
          FormatWith(L"Tag %s not closed or invalid", text.substr(open + 1)));
    }
    std::wstring_view tag = text.substr(open + 1, close - open - 1);
    pos = close + 1;
    const bool closing = tag.starts_with(L'/');
    if (closing) tag.remove_prefix(1);

    const size_t blank = tag.find(L' ');
    const std::wstring name(tag.substr(0, blank));
    const std::wstring param(blank == std::wstring_view::npos ? std::wstring_view()
                                                              : tag.substr(blank + 1));
    const KeyCode vk = FindKeyCode(name);
    if (vk == kNoKey) {
      if (handler_ && handler_(name, param)) return;
      // Not taken: the tag is ordinary text, its brace included.
      TypeCharacter(L'{');
      pos = open + 1;
      return;
    }
    const auto key = static_cast<std::uint8_t>(vk);
    if (IsModifierKey(vk)) {
      if (vk == VK_Shift) heldShift_ = !closing;
      if (vk == VK_Control) heldCtrl_ = !closing;
      if (vk == VK_Menu) heldAlt_ = !closing;
      if (closing) {
        ReleaseKey(key);
      } else {
        PressKey(key, 1, false);
      }
      return;
    }
    PressKeyWithShiftState(key, 1, true);
  }

  // Types one character through the keyboard layout, or as a Unicode
  // character event when the layout has no key for it.
  void TypeCharacter(wchar_t c) {
    const std::uint16_t code = input_.KeyScan(c);
    if (code != kNoLayoutKey) {
      PressKeyWithShiftState(code, 1, true);
      return;
    }
    if (!input_.SendUnicodeChar(c)) {
      throw EInvalidKey(FormatWith(L"Invalid key \"%s\"", std::wstring_view(&c, 1)));
    }
  }

  void SendKeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
    input_.KeyEvent(vk, scan, flags);
    if (options_.ProcessMessages) {
      input_.PumpKeyboardMessages();
      input_.Sleep(kPauseAfterKeyMs);
    }
  }

  void PressKey(std::uint8_t vk, std::uint16_t count, bool alsoRelease) {
    const std::uint8_t scan = input_.ScanCode(vk);
    const std::uint32_t flags = IsExtendedKey(vk) ? kExtendedKey : 0;
    for (std::uint16_t i = 0; i < count; ++i) {
      SendKeyEvent(vk, scan, flags);
      if (alsoRelease) SendKeyEvent(vk, scan, flags | kKeyUp);
    }
  }

  void ReleaseKey(std::uint8_t vk) { SendKeyEvent(vk, input_.ScanCode(vk), kKeyUp); }

  void PressKeyWithShiftState(std::uint16_t code, std::uint16_t count, bool alsoRelease) {
    struct Modifier {
      std::uint8_t flag;
      std::uint8_t vk;
      bool held;
      bool pressedHere;
    };
    Modifier modifiers[] = {{kAsksShift, VK_Shift, heldShift_, false},
                            {kAsksCtrl, VK_Control, heldCtrl_, false},
                            {kAsksAlt, VK_Menu, heldAlt_, false}};
    for (Modifier& modifier : modifiers) {
      if (HasShiftFlag(code, modifier.flag) && !modifier.held) {
        PressKey(modifier.vk, 1, false);
        modifier.pressedHere = true;
      }
    }
    PressKey(static_cast<std::uint8_t>(code & 0xFF), count, alsoRelease);
    for (const Modifier& modifier : modifiers) {
      if (modifier.pressedHere) ReleaseKey(modifier.vk);
    }
  }

  void ReleaseAllModifiers() {
    for (KeyCode vk : {VK_LeftWin, VK_Shift, VK_Control, VK_Menu, VK_RightWin}) {
      ReleaseKey(static_cast<std::uint8_t>(vk));
    }
    heldShift_ = heldCtrl_ = heldAlt_ = false;
  }

  InputPort& input_;
  const TExtTagHandler& handler_;
  TSendKeysOptions options_;
  bool heldShift_ = false;
  bool heldCtrl_ = false;
  bool heldAlt_ = false;
};

}  // namespace

bool SendKeys(InputPort& input, std::wstring_view text, const TExtTagHandler& handler,
              TSendKeysOptions options) {
  return KeyPlayer(input, handler, options).Play(text);
}
