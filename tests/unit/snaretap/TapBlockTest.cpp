// The hook library's side of the hook block: the generic key codes it
// reports, and records it writes that the capture program's reader, laid
// over the same bytes, reads back.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "HookRing.h"
#include "TapBlock.h"

namespace {

snaretap::TapBlock ZeroedBlock() {
  snaretap::TapBlock block;
  std::memset(&block, 0, sizeof block);
  return block;
}

// The bytes that the library wrote, as the capture program sees them.
THookSharedBlock AsRead(const snaretap::TapBlock& written) {
  static_assert(sizeof written == sizeof(THookSharedBlock));
  THookSharedBlock block;
  std::memcpy(&block, &written, sizeof block);
  return block;
}

snaretap::TapRecord KeyRecord(std::int32_t virtualKey) {
  snaretap::TapRecord record{};
  record.Message = 0x0100;  // WM_KEYDOWN
  record.VirtualKey = virtualKey;
  record.RawVirtualKey = static_cast<std::uint32_t>(virtualKey);
  return record;
}

snaretap::TapRecord MouseRecord(std::int32_t x, std::int32_t y) {
  snaretap::TapRecord record{};
  record.Message = 0x0200;  // WM_MOUSEMOVE
  record.X = x;
  record.Y = y;
  return record;
}

}  // namespace

TEST(TapBlock, GenericVirtualKey_SidedModifiers_BecomeGeneric) {
  EXPECT_EQ(snaretap::GenericVirtualKey(0xA2), 17u);  // left Ctrl
  EXPECT_EQ(snaretap::GenericVirtualKey(0xA3), 17u);  // right Ctrl
  EXPECT_EQ(snaretap::GenericVirtualKey(0xA0), 16u);  // left Shift
  EXPECT_EQ(snaretap::GenericVirtualKey(0xA1), 16u);  // right Shift
  EXPECT_EQ(snaretap::GenericVirtualKey(0xA4), 18u);  // left Alt
  EXPECT_EQ(snaretap::GenericVirtualKey(0xA5), 18u);  // right Alt
}

TEST(TapBlock, GenericVirtualKey_OtherKeys_StayAsTheyAre) {
  for (const std::uint32_t key : {17u, 27u, 0x41u, 0x5Bu, 0x5Cu, 0xA6u, 0x9Fu}) {
    EXPECT_EQ(snaretap::GenericVirtualKey(key), key) << key;
  }
}

TEST(TapBlock, Append_KeyRecord_ReaderReadsItsVirtualKey) {
  snaretap::TapBlock written = ZeroedBlock();
  snaretap::AppendKeyboardRecord(written, KeyRecord(17));
  EXPECT_EQ(written.KeyboardWriteCounter, 1u);
  THookSharedBlock read = AsRead(written);
  ASSERT_TRUE(KeyEventPending(read));
  EXPECT_FALSE(MouseEventPending(read));
  EXPECT_EQ(ReadKeyEvent(read).VirtualKey, 17);
  EXPECT_FALSE(KeyEventPending(read));
}

TEST(TapBlock, Append_MouseRecord_ReaderReadsItsPosition) {
  snaretap::TapBlock written = ZeroedBlock();
  snaretap::AppendMouseRecord(written, MouseRecord(-20, 1023));
  THookSharedBlock read = AsRead(written);
  ASSERT_TRUE(MouseEventPending(read));
  EXPECT_FALSE(KeyEventPending(read));
  const THookEventRecord record = ReadMouseEvent(read);
  EXPECT_EQ(record.X, -20);
  EXPECT_EQ(record.Y, 1023);
}

TEST(TapBlock, Append_AtFFFFFFFE_UsesSlotTwoThenWrapsToSlotZero) {
  snaretap::TapBlock written = ZeroedBlock();
  written.MouseWriteCounter = written.MouseReadCounter = 0xFFFFFFFEu;
  snaretap::AppendMouseRecord(written, MouseRecord(1, 1));
  EXPECT_EQ(written.MouseWriteCounter, 0u);
  EXPECT_EQ(written.MouseRing[2].X, 1);
  snaretap::AppendMouseRecord(written, MouseRecord(2, 2));
  EXPECT_EQ(written.MouseWriteCounter, 1u);
  EXPECT_EQ(written.MouseRing[0].X, 2);
  THookSharedBlock read = AsRead(written);
  EXPECT_EQ(ReadMouseEvent(read).X, 1);
  EXPECT_EQ(ReadMouseEvent(read).X, 2);
  EXPECT_FALSE(MouseEventPending(read));
}

TEST(TapBlock, Append_Records_LeaveReadCountersFlagAndNotifyWindowAlone) {
  snaretap::TapBlock written = ZeroedBlock();
  written.HookActive = 1;
  written.NotifyWindow = 0xABCDu;
  written.MouseReadCounter = 7;
  written.KeyboardReadCounter = 9;
  snaretap::AppendMouseRecord(written, MouseRecord(3, 4));
  snaretap::AppendKeyboardRecord(written, KeyRecord(27));
  const THookSharedBlock read = AsRead(written);
  EXPECT_EQ(read.HookActive, 1);
  EXPECT_EQ(read.NotifyWindow, 0xABCDu);
  EXPECT_EQ(read.MouseReadCounter, 7u);
  EXPECT_EQ(read.KeyboardReadCounter, 9u);
}
