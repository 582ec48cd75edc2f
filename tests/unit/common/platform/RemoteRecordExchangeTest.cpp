#include "RemoteRecordExchange.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "Bytes.h"

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

std::vector<char> MarkedBuffer(std::int32_t textSize = kTextSize) {
  return testsupport::MarkedBuffer(textSize);
}

// The two records the exchange carries, as the caller fills them, with the
// answer a list view gives and what the caller must find of it afterwards.
struct ColumnExchange {
  using Record = TListViewColumn;
  static constexpr const char* kName = "Column";
  static constexpr std::uint32_t kMessage = kListViewGetColumnMessage;
  static constexpr std::uintptr_t kWordParameter = 2;
  static constexpr const char* kText = "Size";

  static Record Make(std::vector<char>& buffer) {
    Record column;
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
  static std::int32_t Exchange(FakeProcess& process, Record& column) {
    return ExchangeColumnRecord(process, kMessage, kWordParameter, column);
  }
  static void Answer(Record& answer) {
    answer.Width = 130;
    answer.Order = 1;
  }
  static void ExpectAnswered(const Record& column) {
    EXPECT_EQ(column.Width, 130);
    EXPECT_EQ(column.Order, 1);
    EXPECT_EQ(column.Format, 7);
  }
};

struct ItemExchange {
  using Record = TListViewItem;
  static constexpr const char* kName = "Item";
  static constexpr std::uint32_t kMessage = kListViewGetItemMessage;
  static constexpr std::uintptr_t kWordParameter = 0;
  static constexpr const char* kText = "alpha.txt";

  static Record Make(std::vector<char>& buffer) {
    Record item;
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
  static std::int32_t Exchange(FakeProcess& process, Record& item) {
    return ExchangeItemRecord(process, kMessage, item);
  }
  static void Answer(Record& answer) {
    answer.State = 0x2;
    answer.Param = 99;
  }
  static void ExpectAnswered(const Record& item) {
    EXPECT_EQ(item.State, 0x2u);
    EXPECT_EQ(item.Param, 99);
    EXPECT_EQ(item.Item, 3);
  }
};

using testsupport::Untouched;

std::string TextIn(const std::vector<char>& buffer) { return buffer.data(); }

// Each rule of the exchange holds for both records alike.
template <class Exchange>
class RemoteRecordExchange_Record : public testing::Test {
 protected:
  using Record = typename Exchange::Record;

  // A process whose control answers with the text and, unless told to keep
  // the record, with the record's answer.
  void Answering(const std::string& text, bool changeRecord = true) {
    process_.control = AnsweringControl<Record>(seen_, text, [changeRecord](Record& answer) {
      if (changeRecord) Exchange::Answer(answer);
    });
  }

  FakeProcess process_;
  SeenByControl<Record> seen_;
};

struct ExchangeNames {
  template <class Exchange>
  static std::string GetName(int) {
    return Exchange::kName;
  }
};

using Exchanges = testing::Types<ColumnExchange, ItemExchange>;
TYPED_TEST_SUITE(RemoteRecordExchange_Record, Exchanges, ExchangeNames);

TYPED_TEST(RemoteRecordExchange_Record, Success_StepsInOrderOverOneBlock) {
  this->Answering(TypeParam::kText, false);
  std::vector<char> buffer = MarkedBuffer();
  typename TypeParam::Record record = TypeParam::Make(buffer);

  EXPECT_EQ(TypeParam::Exchange(this->process_, record), kRemoteReadSucceeded);

  const std::uint32_t recordSize = sizeof(record);
  const std::vector<std::string> expected = {
      "reserve " + std::to_string(kTextSize + recordSize + 1),
      "write +0 " + std::to_string(recordSize),
      "send " + std::to_string(TypeParam::kMessage) + " " +
          std::to_string(TypeParam::kWordParameter) + " +0",
      "read +0 " + std::to_string(recordSize),
      "read +" + std::to_string(recordSize) + " " + std::to_string(kTextSize + 1),
      "release +0",
  };
  EXPECT_EQ(this->process_.calls, expected);
}

TYPED_TEST(RemoteRecordExchange_Record, Success_ControlSeesCallersFieldsAndTheTextArea) {
  this->Answering(TypeParam::kText, false);
  std::vector<char> buffer = MarkedBuffer();
  typename TypeParam::Record record = TypeParam::Make(buffer);
  const typename TypeParam::Record sent = record;

  TypeParam::Exchange(this->process_, record);

  ASSERT_TRUE(this->seen_.called);
  typename TypeParam::Record expected = sent;
  expected.Text =
      reinterpret_cast<char*>(static_cast<std::uintptr_t>(this->seen_.block + sizeof(record)));
  EXPECT_EQ(this->seen_.record, expected);
}

TYPED_TEST(RemoteRecordExchange_Record, Success_CallerGetsAnswerTextAndKeepsItsBuffer) {
  this->Answering(TypeParam::kText);
  std::vector<char> buffer = MarkedBuffer();
  typename TypeParam::Record record = TypeParam::Make(buffer);

  ASSERT_EQ(TypeParam::Exchange(this->process_, record), kRemoteReadSucceeded);

  EXPECT_EQ(record.Text, buffer.data());
  TypeParam::ExpectAnswered(record);
  EXPECT_EQ(TextIn(buffer), TypeParam::kText);
  // The whole text area came back, the zero-filled rest and the byte after
  // the text size included.
  EXPECT_EQ(buffer.back(), '\0');
}

TYPED_TEST(RemoteRecordExchange_Record, EmptyText_SucceedsWithLeadingZero) {
  this->Answering("", false);
  std::vector<char> buffer = MarkedBuffer();
  typename TypeParam::Record record = TypeParam::Make(buffer);

  EXPECT_EQ(TypeParam::Exchange(this->process_, record), kRemoteReadSucceeded);
  EXPECT_EQ(buffer[0], '\0');
}

TYPED_TEST(RemoteRecordExchange_Record, SmallTextSize_BlockAndReadFollowIt) {
  this->Answering("abc", false);
  std::vector<char> buffer = MarkedBuffer(5);
  typename TypeParam::Record record = TypeParam::Make(buffer);

  ASSERT_EQ(TypeParam::Exchange(this->process_, record), kRemoteReadSucceeded);
  EXPECT_EQ(this->process_.reservedSize, 5u + sizeof(record) + 1u);
  EXPECT_EQ(this->process_.calls.at(4), "read +" + std::to_string(sizeof(record)) + " 6");
  EXPECT_EQ(TextIn(buffer), "abc");
}

// The control answers with a text size and a text pointer of its own, and
// the caller sends the same record again, as a reader of one cell after
// another may: each exchange reserves a text area of the caller's size and
// reads no more than the caller's buffer holds.
TYPED_TEST(RemoteRecordExchange_Record, AnsweredTextSize_EveryExchangeStaysInTheCallersBuffer) {
  using Record = typename TypeParam::Record;
  for (const std::int32_t answered : {8000, 1000000}) {
    SCOPED_TRACE(answered);
    FakeProcess process;
    SeenByControl<Record> seen;
    process.control = AnsweringControl<Record>(seen, "Size", [answered](Record& answer) {
      answer.TextSize = answered;
      answer.Text = reinterpret_cast<char*>(std::uintptr_t{0x1000});
    });
    std::vector<char> buffer = MarkedBuffer();
    process.callerBuffer = &buffer;
    Record record = TypeParam::Make(buffer);

    for (int round = 1; round <= 2; ++round) {
      SCOPED_TRACE(round);
      EXPECT_EQ(TypeParam::Exchange(process, record), kRemoteReadSucceeded);
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
}

// A record whose text size is negative or whose text buffer is missing.
TYPED_TEST(RemoteRecordExchange_Record, UnusableTextBuffer_FailsBeforeTouchingTheProcess) {
  using Record = typename TypeParam::Record;
  const std::pair<const char*, void (*)(Record&)> faults[] = {
      {"negative text size", [](Record& record) { record.TextSize = -1; }},
      {"no text buffer", [](Record& record) { record.Text = nullptr; }}};
  for (const auto& [name, spoil] : faults) {
    FakeProcess process;
    std::vector<char> buffer = MarkedBuffer();
    Record record = TypeParam::Make(buffer);
    spoil(record);
    const Record before = record;

    EXPECT_EQ(TypeParam::Exchange(process, record), kRemoteReadFailed) << name;
    EXPECT_TRUE(process.calls.empty()) << name;
    EXPECT_EQ(record, before) << name;
    EXPECT_TRUE(Untouched(buffer)) << name;
  }
}

// --- Failures on the way ---

// Runs one item exchange against a prepared process and checks the result
// and what the caller's record and buffer hold afterwards.
struct FailedExchange {
  std::int32_t result;
  bool recordUnchanged;
  bool bufferUnchanged;
  TListViewItem record;
  bool keptBuffer;
};

FailedExchange RunItemExchange(FakeProcess& process) {
  std::vector<char> buffer = MarkedBuffer();
  TListViewItem item = ItemExchange::Make(buffer);
  const TListViewItem before = item;
  const std::int32_t result = ExchangeItemRecord(process, kListViewGetItemMessage, item);
  return {result, item == before, Untouched(buffer), item, item.Text == buffer.data()};
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

TEST(RemoteRecordExchange_Failure, TextReadFails_RecordReturnedWithCallersBufferUnchanged) {
  FakeProcess process;
  SeenByControl<TListViewItem> seen;
  AnswerWithState(process, seen);
  process.failReadNumber = 2;

  const FailedExchange run = RunItemExchange(process);

  EXPECT_EQ(run.result, kRemoteReadFailed);
  EXPECT_EQ(run.record.State, 0x2u);
  EXPECT_TRUE(run.keptBuffer);
  EXPECT_TRUE(run.bufferUnchanged);
  EXPECT_EQ(process.releases, 1);
}

}  // namespace
