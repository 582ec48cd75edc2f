#pragma once
// The key names of the tag language and the sets of keys that need special
// treatment when they are sent.

#include <cstdint>
#include <string_view>

using KeyCode = std::uint16_t;

struct TSendKey {
  std::string_view Name;        // as written between braces, upper case
  KeyCode VirtualKey;           // the Windows virtual-key code
  std::string_view Description; // one line of English; nothing reads it
};

inline constexpr KeyCode kNoKey = 0xFFFF;

inline constexpr KeyCode VK_Shift = 0x10;
inline constexpr KeyCode VK_Control = 0x11;
inline constexpr KeyCode VK_Menu = 0x12;
inline constexpr KeyCode VK_LeftWin = 0x5B;
inline constexpr KeyCode VK_RightWin = 0x5C;
inline constexpr KeyCode VK_NumLock = 0x90;

// The virtual-key code of the key with that name, compared exactly (case
// included), or kNoKey.
KeyCode FindKeyCode(std::wstring_view name);

// Keys whose events carry the extended-key flag.
bool IsExtendedKey(KeyCode vk);

// Keys that an opening tag holds down until its closing tag.
bool IsModifierKey(KeyCode vk);

// Number of rows in the key table, for the tests.
std::size_t KeyTableSize();
const TSendKey& KeyTableRow(std::size_t index);
