#include "KeyTable.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<TSendKey, 52> SendKeyTable{{
    {"BKSP", 0x08, "Backspace key"},
    {"BREAK", 0x03, "Break key"},
    {"CAPSLOCK", 0x14, "CapsLock key"},
    {"CLEAR", 0x0C, ""},
    {"DEL", 0x2E, "Del (Delete) key"},
    {"DOWN", 0x28, "Down arrow"},
    {"END", 0x23, "End key"},
    {"ENTER", 0x0D, "Enter (Return) key"},
    {"ESC", 0x1B, "Esc (Escape) key"},
    {"F1", 0x70, ""},
    {"F2", 0x71, ""},
    {"F3", 0x72, ""},
    {"F4", 0x73, ""},
    {"F5", 0x74, ""},
    {"F6", 0x75, ""},
    {"F7", 0x76, ""},
    {"F8", 0x77, ""},
    {"F9", 0x78, ""},
    {"F10", 0x79, ""},
    {"F11", 0x7A, ""},
    {"F12", 0x7B, ""},
    {"F13", 0x7C, ""},
    {"F14", 0x7D, ""},
    {"F15", 0x7E, ""},
    {"F16", 0x7F, ""},
    {"F17", 0x80, ""},
    {"F18", 0x81, ""},
    {"F19", 0x82, ""},
    {"F20", 0x83, ""},
    {"F21", 0x84, ""},
    {"F22", 0x85, ""},
    {"F23", 0x86, ""},
    {"F24", 0x87, ""},
    {"HELP", 0x2F, "Help key"},
    {"HOME", 0x24, "Home key"},
    {"INS", 0x2D, "Ins (Insert) key"},
    {"LEFT", 0x25, "Left arrow"},
    {"NUMLOCK", 0x90, "NumLock key"},
    {"PGDN", 0x22, "PgDn (Page down) key"},
    {"PGUP", 0x21, "PgUp (Page up) key"},
    {"PRTSC", 0x2C, "PrtSc key"},
    {"RIGHT", 0x27, "Right arrow"},
    {"SCROLLLOCK", 0x91, "ScrollLock key"},
    {"TAB", 0x09, "Tab (tabulate) key"},
    {"UP", 0x26, "Up arrow"},
    {"ALT", 0x12, "Alt (Menu) key"},
    {"SHIFT", 0x10, "Shift key"},
    {"CTRL", 0x11, "Ctrl key"},
    {"APP", 0x5D, "Application key"},
    {"RWIN", 0x5C, "Right Windows key"},
    {"WIN", 0x5B, "Left Windows key"},
    {"PAUSE", 0x13, "Pause key"},
}};

constexpr bool NamesAreUniqueAndUpperCase() {
  for (size_t i = 0; i < SendKeyTable.size(); ++i) {
    const std::string_view name = SendKeyTable[i].Name;
    if (name.empty() || name.size() > 255) return false;
    for (char c : name) {
      if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    for (size_t j = i + 1; j < SendKeyTable.size(); ++j) {
      if (SendKeyTable[j].Name == name) return false;
    }
  }
  return true;
}
static_assert(NamesAreUniqueAndUpperCase());

}  // namespace

KeyCode FindKeyCode(std::wstring_view name) {
  // Key names are plain ASCII, so a name matches only when every unit does.
  const auto row = std::find_if(SendKeyTable.begin(), SendKeyTable.end(),
                                [name](const TSendKey& key) {
                                  return std::equal(key.Name.begin(), key.Name.end(),
                                                    name.begin(), name.end(),
                                                    [](char a, wchar_t b) {
                                                      return static_cast<wchar_t>(a) == b;
                                                    });
                                });
  return row == SendKeyTable.end() ? kNoKey : row->VirtualKey;
}

bool IsExtendedKey(KeyCode vk) {
  // NumLock is on the extended set too: pressing it for real needs the flag.
  return (vk >= 0x21 && vk <= 0x28) || vk == 0x2D || vk == 0x2E || vk == VK_NumLock;
}

bool IsModifierKey(KeyCode vk) {
  return vk == VK_Shift || vk == VK_Control || vk == VK_Menu || vk == VK_LeftWin ||
         vk == VK_RightWin || (vk >= 0xA0 && vk <= 0xA5);
}

std::size_t KeyTableSize() { return SendKeyTable.size(); }

const TSendKey& KeyTableRow(std::size_t index) { return SendKeyTable.at(index); }
