// The hook block's rings on a block in local memory: the counters, their
// wrap, the slots they name and what a reader gets when the writer has run
// ahead.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "HookRing.h"

namespace {

// A record that tells its origin by every word.
THookEventRecord Record(std::int32_t tag) {
  THookEventRecord record;
  record.Library0 = tag * 100 + 0;
  record.Library4 = tag * 100 + 1;
  record.VirtualKey = tag * 100 + 2;
  record.Library12 = tag * 100 + 3;
  record.X = tag * 100 + 4;
  record.Y = tag * 100 + 5;
  record.Library24 = tag * 100 + 6;
  record.Library28 = tag * 100 + 7;
  record.Library32 = tag * 100 + 8;
  return record;
}

bool SameRecord(const THookEventRecord& a, const THookEventRecord& b) {
  return std::memcmp(&a, &b, sizeof(THookEventRecord)) == 0;
}

// Writes as the hook library does: the slot first, then the counter.
void WriteMouse(THookSharedBlock& block, const THookEventRecord& record) {
  block.MouseRing[HookRingSlot(block.MouseWriteCounter)] = record;
  block.MouseWriteCounter = NextHookCounter(block.MouseWriteCounter);
}

void WriteKey(THookSharedBlock& block, const THookEventRecord& record) {
  block.KeyboardRing[HookRingSlot(block.KeyboardWriteCounter)] = record;
  block.KeyboardWriteCounter = NextHookCounter(block.KeyboardWriteCounter);
}

THookSharedBlock EmptyBlock() {
  THookSharedBlock block;
  std::memset(&block, 0, sizeof block);
  return block;
}

// A block whose every byte is set, counters aside.
THookSharedBlock FilledBlock(std::uint32_t mouseCounters, std::uint32_t keyboardCounters) {
  THookSharedBlock block;
  std::memset(&block, 0x5A, sizeof block);
  block.MouseWriteCounter = block.MouseReadCounter = mouseCounters;
  block.KeyboardWriteCounter = block.KeyboardReadCounter = keyboardCounters;
  return block;
}

std::vector<std::int32_t> ReadAllMouseTags(THookSharedBlock& block) {
  std::vector<std::int32_t> tags;
  for (int guard = 0; MouseEventPending(block) && guard < 10; ++guard) {
    tags.push_back(ReadMouseEvent(block).X / 100);
  }
  return tags;
}

}  // namespace

TEST(HookRing, NextCounter_CountsUpToFFFFFFFE_ThenWrapsToZero) {
  EXPECT_EQ(NextHookCounter(0u), 1u);
  EXPECT_EQ(NextHookCounter(41u), 42u);
  EXPECT_EQ(NextHookCounter(0xFFFFFFFDu), 0xFFFFFFFEu);
  EXPECT_EQ(NextHookCounter(0xFFFFFFFEu), 0u);
}

TEST(HookRing, NextCounter_OfFFFFFFFFNeverWritten_IsZero) {
  // The rule never yields 0xFFFFFFFF; a block that holds it still steps on.
  EXPECT_EQ(NextHookCounter(0xFFFFFFFFu), 0u);
}

TEST(HookRing, Slot_AcrossTheWrap_RunsOnUnbroken) {
  std::uint32_t counter = 0xFFFFFFF0u;
  std::size_t expected = HookRingSlot(counter);
  for (int step = 0; step < 40; ++step) {
    counter = NextHookCounter(counter);
    expected = (expected + 1) % kHookRingSlots;
    ASSERT_EQ(HookRingSlot(counter), expected) << "counter " << counter;
  }
  EXPECT_EQ(HookRingSlot(0xFFFFFFFEu), 2u);
  EXPECT_EQ(HookRingSlot(0u), 0u);
}

TEST(HookRing, Pending_EqualCounters_NothingWhateverTheSlotsHold) {
  for (const std::uint32_t counter : {0u, 1u, 2u, 0x7FFFFFFFu, 0xFFFFFFFEu}) {
    THookSharedBlock block = FilledBlock(counter, counter);
    EXPECT_FALSE(MouseEventPending(block)) << counter;
    EXPECT_FALSE(KeyEventPending(block)) << counter;
  }
}

TEST(HookRing, Pending_CountersDiffer_RecordsWaiting) {
  THookSharedBlock block = EmptyBlock();
  block.MouseWriteCounter = 1;
  EXPECT_TRUE(MouseEventPending(block));
  EXPECT_FALSE(KeyEventPending(block));
  block.KeyboardReadCounter = 0xFFFFFFFEu;  // the writer has wrapped past it
  EXPECT_TRUE(KeyEventPending(block));
}

TEST(HookRing, Read_OneRecord_CopiesItWholeAndAdvancesOnlyTheReadCounter) {
  THookSharedBlock block = EmptyBlock();
  WriteMouse(block, Record(7));
  const THookEventRecord read = ReadMouseEvent(block);
  EXPECT_TRUE(SameRecord(read, Record(7)));
  EXPECT_EQ(block.MouseReadCounter, 1u);
  EXPECT_EQ(block.MouseWriteCounter, 1u);
  EXPECT_TRUE(SameRecord(block.MouseRing[0], Record(7)));
  EXPECT_FALSE(MouseEventPending(block));
}

TEST(HookRing, Read_AtFFFFFFFE_ReadsSlotTwoWrapsToZeroThenReadsSlotZero) {
  THookSharedBlock block = EmptyBlock();
  block.MouseReadCounter = block.MouseWriteCounter = 0xFFFFFFFEu;
  WriteMouse(block, Record(1));
  WriteMouse(block, Record(2));
  ASSERT_EQ(block.MouseWriteCounter, 1u);
  EXPECT_TRUE(SameRecord(block.MouseRing[2], Record(1)));
  EXPECT_TRUE(SameRecord(block.MouseRing[0], Record(2)));

  EXPECT_TRUE(SameRecord(ReadMouseEvent(block), Record(1)));
  EXPECT_EQ(block.MouseReadCounter, 0u);
  EXPECT_TRUE(SameRecord(ReadMouseEvent(block), Record(2)));
  EXPECT_EQ(block.MouseReadCounter, 1u);
  EXPECT_FALSE(MouseEventPending(block));
}

TEST(HookRing, Read_FourWrittenBeforeOneRead_YieldsFourthSecondThirdFourth) {
  THookSharedBlock block = EmptyBlock();
  for (std::int32_t tag = 1; tag <= 4; ++tag) WriteMouse(block, Record(tag));
  EXPECT_EQ(ReadAllMouseTags(block), (std::vector<std::int32_t>{4, 2, 3, 4}));
  EXPECT_EQ(block.MouseReadCounter, 4u);
}

TEST(HookRing, Read_OverrunAcrossTheWrap_CatchesUpWithTheWriter) {
  THookSharedBlock block = EmptyBlock();
  block.MouseReadCounter = block.MouseWriteCounter = 0xFFFFFFFDu;
  for (std::int32_t tag = 1; tag <= 5; ++tag) WriteMouse(block, Record(tag));
  // Slots 1, 2, 0, 1, 2 hold 1, 2, 3, 4, 5 in turn: 4 and 5 overwrote 1 and 2.
  EXPECT_EQ(ReadAllMouseTags(block), (std::vector<std::int32_t>{4, 5, 3, 4, 5}));
  EXPECT_EQ(block.MouseReadCounter, 3u);
}

TEST(HookRing, Read_KeyboardRing_IsApartFromTheMouseRing) {
  THookSharedBlock block = EmptyBlock();
  WriteKey(block, Record(3));
  EXPECT_FALSE(MouseEventPending(block));
  ASSERT_TRUE(KeyEventPending(block));
  EXPECT_TRUE(SameRecord(ReadKeyEvent(block), Record(3)));
  EXPECT_EQ(block.KeyboardReadCounter, 1u);
  EXPECT_EQ(block.MouseReadCounter, 0u);
  EXPECT_FALSE(KeyEventPending(block));
}

TEST(HookRing, Read_LeavesFlagNotifyWindowAndReservedBytesAlone) {
  THookSharedBlock block = FilledBlock(0, 0);
  block.MouseWriteCounter = 1;
  block.KeyboardWriteCounter = 1;
  THookSharedBlock before = block;
  ReadMouseEvent(block);
  ReadKeyEvent(block);
  before.MouseReadCounter = 1;
  before.KeyboardReadCounter = 1;
  EXPECT_EQ(std::memcmp(&block, &before, sizeof block), 0);
}

TEST(HookRing, Layout_BytesAtTheBlocksOffsets_ReadAsTheirFields) {
  // The block as another process leaves it: little-endian words at fixed
  // offsets.
  alignas(THookSharedBlock) unsigned char bytes[kHookBlockSize] = {};
  auto put = [&](std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
  };
  put(0, 1);                   // active
  put(24 + 36 * 1 + 16, 640);  // mouse slot 1: X
  put(24 + 36 * 1 + 20, 480);  //               Y
  put(132, 2);                 // mouse written
  put(136, 1);                 // mouse read
  put(140 + 36 * 2 + 8, 17);   // keyboard slot 2: virtual key
  put(248, 0);                 // keyboard written, after the wrap
  put(252, 0xFFFFFFFEu);       // keyboard read
  THookSharedBlock block;
  std::memcpy(&block, bytes, sizeof block);

  EXPECT_TRUE(IsHookActive(block));
  ASSERT_TRUE(MouseEventPending(block));
  const THookEventRecord mouse = ReadMouseEvent(block);
  EXPECT_EQ(mouse.X, 640);
  EXPECT_EQ(mouse.Y, 480);
  ASSERT_TRUE(KeyEventPending(block));
  EXPECT_EQ(ReadKeyEvent(block).VirtualKey, 17);
  EXPECT_FALSE(MouseEventPending(block));
  EXPECT_FALSE(KeyEventPending(block));
}

TEST(HookRing, Active_AnyNonZeroFlag_CountsAsActive) {
  THookSharedBlock block = EmptyBlock();
  EXPECT_FALSE(IsHookActive(block));
  for (const std::int32_t flag : {1, -1, 0x100}) {
    block.HookActive = flag;
    EXPECT_TRUE(IsHookActive(block)) << flag;
  }
}
