#pragma once
// The layout of the hook block that the hook library and the capture
// program share, and the reading of its two event rings. No platform call
// here: the functions work on any block, mapped or local.
//
// The block is shared memory that another process writes while this one
// reads, so every access goes through a volatile lvalue: each field is
// loaded or stored exactly when the code says, never kept in a register
// across a loop. Every field is an aligned 32-bit word, which the x86 loads
// and stores in one piece and keeps in program order; that, and one writer
// per counter, is all the rings need.

#include <cstddef>
#include <cstdint>

// One mouse or keyboard event as the hook library writes it. The capture
// program reads VirtualKey from keyboard records and X and Y from mouse
// records; the other words belong to the library.
struct THookEventRecord {
  std::int32_t Library0;
  std::int32_t Library4;
  std::int32_t VirtualKey;  // Windows virtual-key code, the generic one for modifiers
  std::int32_t Library12;
  std::int32_t X;  // cursor position in screen pixels
  std::int32_t Y;
  std::int32_t Library24;
  std::int32_t Library28;
  std::int32_t Library32;
};

inline constexpr std::size_t kHookRingSlots = 3;

// The shared block: 256 bytes, every field little-endian.
struct THookSharedBlock {
  std::int32_t HookActive;     // non-zero while the library's hook is installed
  std::uint32_t NotifyWindow;  // the capture program's window, written before each install
  std::uint32_t Reserved[4];   // neither read nor written by the capture program
  THookEventRecord MouseRing[kHookRingSlots];
  std::uint32_t MouseWriteCounter;  // advanced by the library only
  std::uint32_t MouseReadCounter;   // advanced by the capture program only
  THookEventRecord KeyboardRing[kHookRingSlots];
  std::uint32_t KeyboardWriteCounter;
  std::uint32_t KeyboardReadCounter;
};

static_assert(sizeof(THookEventRecord) == 36);
static_assert(offsetof(THookEventRecord, VirtualKey) == 8);
static_assert(offsetof(THookEventRecord, X) == 16);
static_assert(offsetof(THookEventRecord, Y) == 20);

inline constexpr std::size_t kHookBlockSize = 256;
static_assert(sizeof(THookSharedBlock) == kHookBlockSize);
static_assert(offsetof(THookSharedBlock, HookActive) == 0);
static_assert(offsetof(THookSharedBlock, NotifyWindow) == 4);
static_assert(offsetof(THookSharedBlock, Reserved) == 8);
static_assert(offsetof(THookSharedBlock, MouseRing) == 24);
static_assert(offsetof(THookSharedBlock, MouseWriteCounter) == 132);
static_assert(offsetof(THookSharedBlock, MouseReadCounter) == 136);
static_assert(offsetof(THookSharedBlock, KeyboardRing) == 140);
static_assert(offsetof(THookSharedBlock, KeyboardWriteCounter) == 248);
static_assert(offsetof(THookSharedBlock, KeyboardReadCounter) == 252);

// Counters run 0, 1, ..., 0xFFFFFFFE and back to 0: one step is (c + 1) mod
// 0xFFFFFFFF in 32-bit arithmetic. 0xFFFFFFFF is a multiple of three, so the
// slots run 0, 1, 2, 0, ... unbroken across the wrap.
inline constexpr std::uint32_t kHookCounterModulus = 0xFFFFFFFFu;
static_assert(kHookCounterModulus % kHookRingSlots == 0);

constexpr std::uint32_t NextHookCounter(std::uint32_t counter) {
  return static_cast<std::uint32_t>(counter + 1u) % kHookCounterModulus;
}

// The slot that holds the record counted by `counter`.
constexpr std::size_t HookRingSlot(std::uint32_t counter) {
  return counter % kHookRingSlots;
}

// The two values of the library's switch.
inline constexpr std::int32_t kSetHookInstall = -1;
inline constexpr std::int32_t kSetHookRemove = 0;

// HookActive is non-zero.
bool IsHookActive(const volatile THookSharedBlock& block);

// The write counter differs from the read counter: the ring holds records
// that have not been read.
bool MouseEventPending(const volatile THookSharedBlock& block);
bool KeyEventPending(const volatile THookSharedBlock& block);

// Copies the record in the slot of the read counter, then advances the
// read counter. Call only when the matching test says a record is pending.
// There is no overrun test: when the library has written more than three
// records ahead, the older ones are overwritten, and the reads yield what
// the slots hold until the read counter has caught up.
THookEventRecord ReadMouseEvent(volatile THookSharedBlock& block);
THookEventRecord ReadKeyEvent(volatile THookSharedBlock& block);

// A copy of a record in shared memory, word by word.
THookEventRecord CopyHookEventRecord(const volatile THookEventRecord& record);
