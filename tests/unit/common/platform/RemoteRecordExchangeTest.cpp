#include "RemoteRecordExchange.h"

#include <gtest/gtest.h>

#include <cstdint>
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
  // The caller's text buffer, when the test names it: a read into it that
  // would run past its end is logged as "overrun" and refused, so that the
  // test sees it and the memory behind the buffer stays whole.
  const std::vector<char>* callerBuffer = nullptr;

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
    if (RunsPastCallersBuffer(bytes, size)) {
      calls.push_back("overrun");
      return false;
    }
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
  bool RunsPastCallersBuffer(const void* bytes, std::uint32_t size) const {
    if (callerBuffer == nullptr) return false;
    const auto begin = reinterpret_cast<std::uintptr_t>(callerBuffer->data());
    const auto end = begin + callerBuffer->size();
    const auto to = reinterpret_cast<std::uintptr_t>(bytes);
    return to >= begin && to < end && size > end - to;
  }
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

// --- A control that writes a text size of its own into the record ---

// The control answers with a text size and a text pointer of its own, and
// the caller sends the same record again, as a reader of one cell after
// another may: each exchange reserves a text area of the caller's size and
// reads no more than the caller's buffer holds.
template <class Record, class Exchange>
void ExpectTwoExchangesInTheCallersBuffer(std::int32_t answeredSize,
                                          Record (*makeRecord)(std::vector<char>&),
                                          Exchange exchange) {
  FakeProcess process;
  SeenByControl<Record> seen;
  process.control = AnsweringControl<Record>(seen, "Size", [answeredSize](Record& answer) {
    answer.TextSize = answeredSize;
    answer.Text = reinterpret_cast<char*>(std::uintptr_t{0x1000});
  });
  std::vector<char> buffer = MarkedBuffer();
  process.callerBuffer = &buffer;
  Record record = makeRecord(buffer);

  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    EXPECT_EQ(exchange(process, record), kRemoteReadSucceeded);
    EXPECT_EQ(record.Text, buffer.data());
    EXPECT_EQ(record.TextSize, kTextSize);
    EXPECT_EQ(TextIn(buffer), "Size");
  }
  const std::string recordSize = std::to_string(sizeof(Record));
  const std::string reserve = "reserve " + std::to_string(kTextSize + sizeof(Record) + 1);
  const std::string readText = "read +" + recordSize + " " + std::to_string(kTextSize + 1);
  std::vector<std::string> sized;
  for (const std::string& call : process.calls) {
    if (call.starts_with("reserve") || call.starts_with("read +" + recordSize) ||
        call == "overrun") {
      sized.push_back(call);
    }
  }
  EXPECT_EQ(sized, (std::vector<std::string>{reserve, readText, reserve, readText}));
}

TEST(RemoteRecordExchange_AnsweredTextSize, EveryExchangeStaysInTheCallersBuffer) {
  for (const std::int32_t answered : {8000, 1000000}) {
    SCOPED_TRACE(answered);
    ExpectTwoExchangesInTheCallersBuffer<TListViewColumn>(
        answered, ColumnRecord, [](FakeProcess& process, TListViewColumn& column) {
          return ExchangeColumnRecord(process, kListViewGetColumnMessage, 0, column);
        });
    ExpectTwoExchangesInTheCallersBuffer<TListViewItem>(
        answered, ItemRecord, [](FakeProcess& process, TListViewItem& item) {
          return ExchangeItemRecord(process, kListViewGetItemMessage, item);
        });
  }
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
