#pragma once
// What Snaretap writes into the hook block that it shares with the capture
// program: the layout, the records of the two rings and the way a record is
// added. No platform call here.
//
// The block is shared memory that the capture program reads while the hook
// writes, so every access goes through a volatile lvalue, and each field is
// an aligned 32-bit word that the x86 stores in one piece and in program
// order. A record is complete before its ring's write counter moves.

#include <cstddef>
#include <cstdint>

namespace snaretap {

// One event. The capture program reads VirtualKey from keyboard records and
// X and Y from mouse records; the other words are this library's own.
struct TapRecord {
  std::uint32_t Message;     // WM_KEYDOWN, WM_SYSKEYDOWN or WM_MOUSEMOVE
  std::uint32_t ScanCode;    // keyboard: the scan code; mouse: 0
  std::int32_t VirtualKey;   // keyboard: the generic virtual-key code; mouse: 0
  std::uint32_t Flags;       // the low-level hook's flags
  std::int32_t X;            // mouse: the cursor in screen pixels; keyboard: 0
  std::int32_t Y;
  std::uint32_t Time;        // the event's time stamp
  std::uint32_t RawVirtualKey;  // keyboard: the code as the hook saw it; mouse: 0
  std::uint32_t ExtraInfo;   // the event's extra information
};

inline constexpr std::size_t kRingSlots = 3;

struct TapBlock {
  std::int32_t HookActive;      // set while this library's hooks are installed
  std::uint32_t NotifyWindow;   // the capture program's; not used here
  std::uint32_t Reserved[4];
  TapRecord MouseRing[kRingSlots];
  std::uint32_t MouseWriteCounter;  // written here only
  std::uint32_t MouseReadCounter;   // the capture program's; never written here
  TapRecord KeyboardRing[kRingSlots];
  std::uint32_t KeyboardWriteCounter;
  std::uint32_t KeyboardReadCounter;
};

inline constexpr std::size_t kTapBlockSize = 256;
static_assert(sizeof(TapRecord) == 36);
static_assert(offsetof(TapRecord, VirtualKey) == 8);
static_assert(offsetof(TapRecord, X) == 16);
static_assert(offsetof(TapRecord, Y) == 20);
static_assert(sizeof(TapBlock) == kTapBlockSize);
static_assert(offsetof(TapBlock, HookActive) == 0);
static_assert(offsetof(TapBlock, NotifyWindow) == 4);
static_assert(offsetof(TapBlock, MouseRing) == 24);
static_assert(offsetof(TapBlock, MouseWriteCounter) == 132);
static_assert(offsetof(TapBlock, MouseReadCounter) == 136);
static_assert(offsetof(TapBlock, KeyboardRing) == 140);
static_assert(offsetof(TapBlock, KeyboardWriteCounter) == 248);
static_assert(offsetof(TapBlock, KeyboardReadCounter) == 252);

// Counters run 0, 1, ..., 0xFFFFFFFE and back to 0.
constexpr std::uint32_t NextCounter(std::uint32_t counter) {
  return static_cast<std::uint32_t>(counter + 1u) % 0xFFFFFFFFu;
}

// The generic code of a key that has left and right variants (Ctrl as 17,
// Shift as 16, Alt as 18); any other code as it is.
std::uint32_t GenericVirtualKey(std::uint32_t virtualKey);

// Writes the record into the slot of the write counter, then advances the
// counter.
void AppendMouseRecord(volatile TapBlock& block, const TapRecord& record);
void AppendKeyboardRecord(volatile TapBlock& block, const TapRecord& record);

}  // namespace snaretap
