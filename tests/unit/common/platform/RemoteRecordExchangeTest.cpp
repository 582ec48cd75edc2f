#include "RemoteRecordExchange.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// A stand-in for the other process: one block of memory at a fixed
// address, a log of every call in order, failures on demand, and a
// control that answers the message by working on the block as a real
// control would on its own memory.
class FakeProcess final : public RemoteControlPort {
 public:
  static constexpr RemoteAddress kBlockAddress = 0x00A40000;

  // The control: gets the message and the block (its memory) and returns
  // the message's result.
  using Control = std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wordParameter,
                                              RemoteAddress longParameter, FakeProcess& process)>;

  bool failReserve = false;
  bool failWrite = false;
  int failReadNumber = 0;  // 1: the first read fails, 2: the second...
  Control control;

  std::vector<std::string> calls;
  std::uint32_t reservedSize = 0;
  int releases = 0;

  RemoteAddress Reserve(std::uint32_t size) override {
    calls.push_back("reserve " + std::to_string(size));
    if (failReserve) return 0;
    reservedSize = size;
    memory_.assign(size, 0);  // a fresh block is zero-filled
    return kBlockAddress;
  }
  void Release(RemoteAddress block) noexcept override {
    calls.push_back("release " + Offset(block));
    ++releases;
  }
  bool Write(RemoteAddress to, const void* bytes, std::uint32_t size) override {
    calls.push_back("write " + Offset(to) + " " + std::to_string(size));
    if (failWrite || !Inside(to, size)) return false;
    std::memcpy(At(to), bytes, size);
    return true;
  }
  bool Read(RemoteAddress from, void* bytes, std::uint32_t size) override {
    calls.push_back("read " + Offset(from) + " " + std::to_string(size));
    if (++reads_ == failReadNumber || !Inside(from, size)) return false;
    std::memcpy(bytes, At(from), size);
    return true;
  }
  std::intptr_t Send(std::uint32_t message, std::uintptr_t wordParameter,
                     RemoteAddress longParameter) override {
    calls.push_back("send " + std::to_string(message) + " " + std::to_string(wordParameter) +
                    " " + Offset(longParameter));
    return control ? control(message, wordParameter, longParameter, *this) : 0;
  }

  // The control's view of its own memory.
  template <class Record>
  Record RecordAt(RemoteAddress address) {
    Record record;
    std::memcpy(&record, At(address), sizeof record);
    return record;
  }
  template <class Record>
  void PutRecord(RemoteAddress address, const Record& record) {
    std::memcpy(At(address), &record, sizeof record);
  }
  void PutText(RemoteAddress address, const std::string& text) {
    std::memcpy(At(address), text.c_str(), text.size() + 1);
  }

 private:
  bool Inside(RemoteAddress address, std::uint32_t size) const {
    return address >= kBlockAddress && address - kBlockAddress + size <= memory_.size();
  }
  unsigned char* At(RemoteAddress address) { return memory_.data() + (address - kBlockAddress); }
  static std::string Offset(RemoteAddress address) {
    return "+" + std::to_string(static_cast<std::int64_t>(address) - kBlockAddress);
  }

  std::vector<unsigned char> memory_;
  int reads_ = 0;
};

RemoteAddress AddressOf(const char* text) {
  return static_cast<RemoteAddress>(reinterpret_cast<std::uintptr_t>(text));
}

// What the control saw when the message came, and a control that answers
// like a list view: it fills the text area the record points at, changes
// some fields and returns TRUE.
template <class Record>
struct SeenByControl {
  bool called = false;
  Record record{};
  RemoteAddress block = 0;
};

template <class Record>
FakeProcess::Control AnsweringControl(SeenByControl<Record>& seen, std::string text,
                                      std::function<void(Record&)> change) {
  return [&seen, text, change](std::uint32_t, std::uintptr_t, RemoteAddress block,
                               FakeProcess& process) -> std::intptr_t {
    seen.called = true;
    seen.block = block;
    seen.record = process.RecordAt<Record>(block);
    Record answer = seen.record;
    change(answer);
    process.PutRecord(block, answer);
    process.PutText(AddressOf(seen.record.Text), text);
    return 1;
  };
}

constexpr std::int32_t kTextSize = 4096;

// A caller's buffer of TextSize + 1 bytes, filled with a byte that no
// answer holds, so that every change to it shows.
std::vector<char> MarkedBuffer(std::int32_t textSize = kTextSize) {
  return std::vector<char>(static_cast<std::size_t>(textSize) + 1, '#');
}

TListViewColumn ColumnRecord(std::vector<char>& buffer) {
  TListViewColumn column;
  column.Mask = kListViewColumnTextMask;
  column.Format = 7;
  column.Width = 77;
  column.Text = buffer.data();
  column.TextSize = static_cast<std::int32_t>(buffer.size() - 1);
  column.SubItem = 5;
  column.Image = 6;
  column.Order = 8;
  return column;
}

TListViewItem ItemRecord(std::vector<char>& buffer) {
  TListViewItem item;
  item.Mask = kListViewItemTextMask;
  item.Item = 3;
  item.SubItem = 2;
  item.State = 0x11;
  item.StateMask = 0x22;
  item.Text = buffer.data();
  item.TextSize = static_cast<std::int32_t>(buffer.size() - 1);
  item.Image = 4;
  item.Param = 0x1234;
  item.Indent = 1;
  return item;
}

bool Untouched(const std::vector<char>& buffer) {
  for (char byte : buffer) {
    if (byte != '#') return false;
  }
  return true;
}

std::string TextIn(const std::vector<char>& buffer) { return buffer.data(); }

// --- The records' layout ---

// The control reads the records as the platform's LVCOLUMNA and LVITEMA of
// this program's bitness; every field the records hold lies where the
// platform's does, and each record ends where the platform's ends after its
// last field, padded as the platform pads it.
constexpr std::size_t EndAfter(std::size_t offset, std::size_t size, std::size_t alignment) {
  return (offset + size + alignment - 1) / alignment * alignment;
}

TEST(ListViewRecords_Layout, EveryFieldWhereThePlatformsRecordHasIt) {
  const struct {
    const char* field;
    std::size_t ours;
    std::size_t platforms;
  } fields[] = {
      {"column mask", offsetof(TListViewColumn, Mask), offsetof(LVCOLUMNA, mask)},
      {"column format", offsetof(TListViewColumn, Format), offsetof(LVCOLUMNA, fmt)},
      {"column width", offsetof(TListViewColumn, Width), offsetof(LVCOLUMNA, cx)},
      {"column text", offsetof(TListViewColumn, Text), offsetof(LVCOLUMNA, pszText)},
      {"column text size", offsetof(TListViewColumn, TextSize), offsetof(LVCOLUMNA, cchTextMax)},
      {"column sub-item", offsetof(TListViewColumn, SubItem), offsetof(LVCOLUMNA, iSubItem)},
      {"column image", offsetof(TListViewColumn, Image), offsetof(LVCOLUMNA, iImage)},
      {"column order", offsetof(TListViewColumn, Order), offsetof(LVCOLUMNA, iOrder)},
      {"column size", sizeof(TListViewColumn),
       EndAfter(offsetof(LVCOLUMNA, iOrder), sizeof(int), alignof(LVCOLUMNA))},
      {"item mask", offsetof(TListViewItem, Mask), offsetof(LVITEMA, mask)},
      {"item row", offsetof(TListViewItem, Item), offsetof(LVITEMA, iItem)},
      {"item column", offsetof(TListViewItem, SubItem), offsetof(LVITEMA, iSubItem)},
      {"item state", offsetof(TListViewItem, State), offsetof(LVITEMA, state)},
      {"item state mask", offsetof(TListViewItem, StateMask), offsetof(LVITEMA, stateMask)},
      {"item text", offsetof(TListViewItem, Text), offsetof(LVITEMA, pszText)},
      {"item text size", offsetof(TListViewItem, TextSize), offsetof(LVITEMA, cchTextMax)},
      {"item image", offsetof(TListViewItem, Image), offsetof(LVITEMA, iImage)},
      {"item param", offsetof(TListViewItem, Param), offsetof(LVITEMA, lParam)},
      {"item indent", offsetof(TListViewItem, Indent), offsetof(LVITEMA, iIndent)},
      {"item size", sizeof(TListViewItem),
       EndAfter(offsetof(LVITEMA, iIndent), sizeof(int), alignof(LVITEMA))},
  };
  for (const auto& f : fields) EXPECT_EQ(f.ours, f.platforms) << f.field;
  EXPECT_EQ(sizeof(TListViewItem::Param), sizeof(LPARAM));
}

// --- Column record ---

TEST(RemoteRecordExchange_Column, Success_StepsInOrderOverOneBlock) {
  FakeProcess process;
  SeenByControl<TListViewColumn> seen;
  process.control = AnsweringControl<TListViewColumn>(seen, "Size", [](TListViewColumn&) {});
  std::vector<char> buffer = MarkedBuffer();
  TListViewColumn column = ColumnRecord(buffer);

  EXPECT_EQ(ExchangeColumnRecord(process, kListViewGetColumnMessage, 2, column),
            kRemoteReadSucceeded);

  const std::uint32_t recordSize = sizeof(TListViewColumn);
  const std::vector<std::string> expected = {
      "reserve " + std::to_string(kTextSize + recordSize + 1),
      "write +0 " + std::to_string(recordSize),
      "send " + std::to_string(kListViewGetColumnMessage) + " 2 +0",
      "read +0 " + std::to_string(recordSize),
      "read +" + std::to_string(recordSize) + " " + std::to_string(kTextSize + 1),
      "release +0",
  };
  EXPECT_EQ(process.calls, expected);
}

TEST(RemoteRecordExchange_Column, Success_ControlSeesCallersFieldsAndTheTextArea) {
  FakeProcess process;
  SeenByControl<TListViewColumn> seen;
  process.control = AnsweringControl<TListViewColumn>(seen, "Size", [](TListViewColumn&) {});
  std::vector<char> buffer = MarkedBuffer();
  TListViewColumn column = ColumnRecord(buffer);
  const TListViewColumn sent = column;

  ExchangeColumnRecord(process, kListViewGetColumnMessage, 2, column);

  ASSERT_TRUE(seen.called);
  TListViewColumn expected = sent;
  expected.Text = reinterpret_cast<char*>(
      static_cast<std::uintptr_t>(seen.block + sizeof(TListViewColumn)));
  EXPECT_EQ(seen.record, expected);
}

TEST(RemoteRecordExchange_Column, Success_CallerGetsAnswerTextAndKeepsItsBuffer) {
  FakeProcess process;
  SeenByControl<TListViewColumn> seen;
  process.control = AnsweringControl<TListViewColumn>(
      seen, "Size", [](TListViewColumn& answer) { answer.Width = 130; answer.Order = 1; });
  std::vector<char> buffer = MarkedBuffer();
  TListViewColumn column = ColumnRecord(buffer);

  ASSERT_EQ(ExchangeColumnRecord(process, kListViewGetColumnMessage, 0, column),
            kRemoteReadSucceeded);

  EXPECT_EQ(column.Text, buffer.data());
  EXPECT_EQ(column.Width, 130);
  EXPECT_EQ(column.Order, 1);
  EXPECT_EQ(column.Format, 7);
  EXPECT_EQ(TextIn(buffer), "Size");
  // The whole text area came back, the zero-filled rest and the byte after
  // the text size included.
  EXPECT_EQ(buffer.back(), '\0');
}

TEST(RemoteRecordExchange_Column, EmptyText_SucceedsWithLeadingZero) {
  FakeProcess process;
  SeenByControl<TListViewColumn> seen;
  process.control = AnsweringControl<TListViewColumn>(seen, "", [](TListViewColumn&) {});
  std::vector<char> buffer = MarkedBuffer();
  TListViewColumn column = ColumnRecord(buffer);

  EXPECT_EQ(ExchangeColumnRecord(process, kListViewGetColumnMessage, 1, column),
            kRemoteReadSucceeded);
  EXPECT_EQ(buffer[0], '\0');
}

TEST(RemoteRecordExchange_Column, SmallTextSize_BlockAndReadFollowIt) {
  FakeProcess process;
  SeenByControl<TListViewColumn> seen;
  process.control = AnsweringControl<TListViewColumn>(seen, "abc", [](TListViewColumn&) {});
  std::vector<char> buffer = MarkedBuffer(5);
  TListViewColumn column = ColumnRecord(buffer);

  ASSERT_EQ(ExchangeColumnRecord(process, kListViewGetColumnMessage, 0, column),
            kRemoteReadSucceeded);
  EXPECT_EQ(process.reservedSize, 5u + sizeof(TListViewColumn) + 1u);
  EXPECT_EQ(process.calls.at(4), "read +" + std::to_string(sizeof(TListViewColumn)) + " 6");
  EXPECT_EQ(TextIn(buffer), "abc");
}

// --- Item record ---

TEST(RemoteRecordExchange_Item, Success_StepsInOrderWithWordParameterZero) {
  FakeProcess process;
  SeenByControl<TListViewItem> seen;
  process.control = AnsweringControl<TListViewItem>(seen, "alpha.txt", [](TListViewItem&) {});
  std::vector<char> buffer = MarkedBuffer();
  TListViewItem item = ItemRecord(buffer);

  EXPECT_EQ(ExchangeItemRecord(process, kListViewGetItemMessage, item), kRemoteReadSucceeded);

  const std::uint32_t recordSize = sizeof(TListViewItem);
  const std::vector<std::string> expected = {
      "reserve " + std::to_string(kTextSize + recordSize + 1),
      "write +0 " + std::to_string(recordSize),
      "send " + std::to_string(kListViewGetItemMessage) + " 0 +0",
      "read +0 " + std::to_string(recordSize),
      "read +" + std::to_string(recordSize) + " " + std::to_string(kTextSize + 1),
      "release +0",
  };
  EXPECT_EQ(process.calls, expected);
}

TEST(RemoteRecordExchange_Item, Success_ControlSeesCallersFieldsAndTheTextArea) {
  FakeProcess process;
  SeenByControl<TListViewItem> seen;
  process.control = AnsweringControl<TListViewItem>(seen, "alpha.txt", [](TListViewItem&) {});
  std::vector<char> buffer = MarkedBuffer();
  TListViewItem item = ItemRecord(buffer);
  const TListViewItem sent = item;

  ExchangeItemRecord(process, kListViewGetItemMessage, item);

  ASSERT_TRUE(seen.called);
  TListViewItem expected = sent;
  expected.Text = reinterpret_cast<char*>(
      static_cast<std::uintptr_t>(seen.block + sizeof(TListViewItem)));
  EXPECT_EQ(seen.record, expected);
}

TEST(RemoteRecordExchange_Item, Success_CallerGetsAnswerTextAndKeepsItsBuffer) {
  FakeProcess process;
  SeenByControl<TListViewItem> seen;
  process.control = AnsweringControl<TListViewItem>(
      seen, "alpha.txt", [](TListViewItem& answer) { answer.State = 0x2; answer.Param = 99; });
  std::vector<char> buffer = MarkedBuffer();
  TListViewItem item = ItemRecord(buffer);

  ASSERT_EQ(ExchangeItemRecord(process, kListViewGetItemMessage, item), kRemoteReadSucceeded);

  EXPECT_EQ(item.Text, buffer.data());
  EXPECT_EQ(item.State, 0x2u);
  EXPECT_EQ(item.Param, 99);
  EXPECT_EQ(item.Item, 3);
  EXPECT_EQ(TextIn(buffer), "alpha.txt");
}

// --- Failures ---

// Runs one item exchange against a prepared process and checks the result
// and what the caller's record and buffer hold afterwards.
struct FailedExchange {
  std::int32_t result;
  bool recordUnchanged;
  bool bufferUnchanged;
  TListViewItem record;
};

FailedExchange RunItemExchange(FakeProcess& process) {
  std::vector<char> buffer = MarkedBuffer();
  TListViewItem item = ItemRecord(buffer);
  const TListViewItem before = item;
  const std::int32_t result = ExchangeItemRecord(process, kListViewGetItemMessage, item);
  return {result, item == before, Untouched(buffer), item};
}

void AnswerWithState(FakeProcess& process, SeenByControl<TListViewItem>& seen) {
  process.control = AnsweringControl<TListViewItem>(
      seen, "alpha.txt", [](TListViewItem& answer) { answer.State = 0x2; });
}

TEST(RemoteRecordExchange_Failure, NoBlock_FailsWithoutWritingOrSending) {
  FakeProcess process;
  SeenByControl<TListViewItem> seen;
  AnswerWithState(process, seen);
  process.failReserve = true;

  const FailedExchange run = RunItemExchange(process);

  EXPECT_EQ(run.result, kRemoteReadFailed);
  EXPECT_TRUE(run.recordUnchanged);
  EXPECT_TRUE(run.bufferUnchanged);
  EXPECT_EQ(process.calls.size(), 1u);
  EXPECT_EQ(process.releases, 0);
}

TEST(RemoteRecordExchange_Failure, WriteFails_NoMessageAndBlockReleased) {
  FakeProcess process;
  SeenByControl<TListViewItem> seen;
  AnswerWithState(process, seen);
  process.failWrite = true;

  const FailedExchange run = RunItemExchange(process);

  EXPECT_EQ(run.result, kRemoteReadFailed);
  EXPECT_FALSE(seen.called);
  EXPECT_TRUE(run.recordUnchanged);
  EXPECT_TRUE(run.bufferUnchanged);
  EXPECT_EQ(process.releases, 1);
  EXPECT_EQ(process.calls.back(), "release +0");
}

TEST(RemoteRecordExchange_Failure, MessageReturnsZero_NothingReadBackAndBlockReleased) {
  FakeProcess process;
  process.control = [](std::uint32_t, std::uintptr_t, RemoteAddress, FakeProcess&) {
    return std::intptr_t{0};
  };

  const FailedExchange run = RunItemExchange(process);

  EXPECT_EQ(run.result, kRemoteReadFailed);
  EXPECT_TRUE(run.recordUnchanged);
  EXPECT_TRUE(run.bufferUnchanged);
  for (const std::string& call : process.calls) EXPECT_NE(call.rfind("read", 0), 0u) << call;
  EXPECT_EQ(process.releases, 1);
}

TEST(RemoteRecordExchange_Failure, RecordReadFails_CallerUnchangedAndBlockReleased) {
  FakeProcess process;
  SeenByControl<TListViewItem> seen;
  AnswerWithState(process, seen);
  process.failReadNumber = 1;

  const FailedExchange run = RunItemExchange(process);

  EXPECT_EQ(run.result, kRemoteReadFailed);
  EXPECT_TRUE(seen.called);
  EXPECT_TRUE(run.recordUnchanged);
  EXPECT_TRUE(run.bufferUnchanged);
  EXPECT_EQ(process.releases, 1);
}

TEST(RemoteRecordExchange_Failure, TextReadFails_RecordReturnedBufferUnchanged) {
  FakeProcess process;
  SeenByControl<TListViewItem> seen;
  AnswerWithState(process, seen);
  process.failReadNumber = 2;

  const FailedExchange run = RunItemExchange(process);

  EXPECT_EQ(run.result, kRemoteReadFailed);
  EXPECT_EQ(run.record.State, 0x2u);
  EXPECT_TRUE(run.bufferUnchanged);
  EXPECT_EQ(process.releases, 1);
}

TEST(RemoteRecordExchange_Failure, TextReadFails_RecordKeepsCallersBuffer) {
  FakeProcess process;
  SeenByControl<TListViewItem> seen;
  AnswerWithState(process, seen);
  process.failReadNumber = 2;
  std::vector<char> buffer = MarkedBuffer();
  TListViewItem item = ItemRecord(buffer);

  EXPECT_EQ(ExchangeItemRecord(process, kListViewGetItemMessage, item), kRemoteReadFailed);
  EXPECT_EQ(item.Text, buffer.data());
}

TEST(RemoteRecordExchange_Failure, NegativeTextSize_FailsBeforeTouchingTheProcess) {
  FakeProcess process;
  std::vector<char> buffer = MarkedBuffer();
  TListViewColumn column = ColumnRecord(buffer);
  column.TextSize = -1;
  const TListViewColumn before = column;

  EXPECT_EQ(ExchangeColumnRecord(process, kListViewGetColumnMessage, 0, column),
            kRemoteReadFailed);
  EXPECT_TRUE(process.calls.empty());
  EXPECT_EQ(column, before);
  EXPECT_TRUE(Untouched(buffer));
}

TEST(RemoteRecordExchange_Failure, NoTextBuffer_FailsBeforeTouchingTheProcess) {
  FakeProcess process;
  std::vector<char> buffer = MarkedBuffer();
  TListViewItem item = ItemRecord(buffer);
  item.Text = nullptr;

  EXPECT_EQ(ExchangeItemRecord(process, kListViewGetItemMessage, item), kRemoteReadFailed);
  EXPECT_TRUE(process.calls.empty());
}

}  // namespace
