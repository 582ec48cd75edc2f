// uiprobe against list views that misbehave on purpose
// (HostileListViewLayout.h): one that writes a text size of its own into
// every record it answers and answers for every column, or for the columns
// it knows, whatever its header counts or when it has none, and one whose
// thread has stopped taking messages. Every run must end on its own within
// the deadline, with exit code 0, nothing on standard error and the exact
// output. A run that dies (Wine prints "Unhandled page fault" on standard
// error and its debugger then holds the process) or that never ends is
// killed at the deadline, and shows as a failure.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "CodePage.h"
#include "HostileListViewLayout.h"
#include "ListViewRecords.h"
#include "RemoteListView.h"
#include "TestSupport.h"
#include "WindowUtils.h"

using namespace testsupport;
namespace hostile = fixture::hostile;

namespace {

// Far beyond what a run may wait on a hung window (one wait of
// kWindowAnswerTimeoutMs), so that only a run that hangs meets it.
constexpr std::chrono::milliseconds kDeadline = 60s;
const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}, .timeout = kDeadline};

constexpr std::int32_t kTextSize = 4096;

// One property as uiprobe prints it without a format.
std::string Block(const std::string& key, const std::string& value) {
  return key + ":\r\n" + value + "\r\n\r\n";
}

// The row's description once its first `columns` columns are read; the
// row's own when none is.
std::string RowDescription(int columns) {
  if (columns == 0) return WideToAnsi(hostile::kRowDescription);
  std::string text;
  for (int column = 0; column < columns; ++column) {
    if (column > 0) text += "; ";
    text += hostile::ColumnHeader(column) + ": " + hostile::CellText(0, column);
  }
  return text;
}

// uiprobe at the row with these output flags.
RunResult CaptureRow(const std::wstring& flags) {
  const RECT& r = hostile::kRowScreenRect;
  const std::wstring position =
      std::to_wstring((r.left + r.right) / 2) + L"," + std::to_wstring((r.top + r.bottom) / 2);
  return RunProgram(L"uiprobe", {L"--position", position, L"--outputflags", flags}, kEnglish);
}

// The run ended by itself with exit code 0 and printed these blocks, which
// the console writer ends with one more line end.
void ExpectPrinted(const RunResult& run, const std::string& blocks) {
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, blocks + "\r\n");
}

// The row as uiprobe prints it for the flags "ntd".
std::string RowOutput(int columns) {
  return Block("Name", WideToAnsi(hostile::kRowName)) +
         Block("Text", WideToAnsi(hostile::kListViewTitle)) +
         Block("Description", RowDescription(columns));
}

// Each read of a header or a cell goes into a buffer of the reader's own
// size, whatever size the control writes back into the record.
TEST(HostileListView_TextSize, EveryReadStaysInTheReadersBuffer) {
  for (const wchar_t* size : {L"8000", L"1000000"}) {
    SCOPED_TRACE(WideToAnsi(size));
    FixtureProcess fixture({hostile::kColumnsOption, L"3", hostile::kTextSizeOption, size});
    ExpectPrinted(CaptureRow(L"ntd"), RowOutput(kListViewColumnLimit));
  }
}

// The row is read up to the first column the control refuses, and never
// beyond kListViewColumnLimit, whatever its header counts.
TEST(HostileListView_Columns, TheFirstRefusedColumnAndTheLimitBoundTheRow) {
  const struct {
    std::vector<std::wstring> switches;
    int read;
  } cases[] = {
      {{hostile::kColumnsOption, L"3"}, kListViewColumnLimit},
      {{hostile::kColumnsOption, L"1000000"}, kListViewColumnLimit},
      {{hostile::kColumnsOption, L"0"}, kListViewColumnLimit},
      {{hostile::kTextSizeOption, L"4096"}, kListViewColumnLimit},
      // A list view without a header lists its cells all the same.
      {{hostile::kKnownColumnsOption, L"3"}, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToAnsi(JoinArguments(c.switches)));
    FixtureProcess fixture(c.switches);
    ExpectPrinted(CaptureRow(L"ntd"), RowOutput(c.read));
  }
}

// The row's object answers from the fixture's main thread, but names a
// window whose thread takes no messages: the window's text and the row's
// cells read as failed, and the row keeps its own description.
TEST(HungWindow_Uiprobe, TextAndCellsReadAsFailed) {
  FixtureProcess fixture({hostile::kHungWindowOption});
  const HWND hung = FindWindowW(hostile::kHungClass, nullptr);
  ASSERT_NE(hung, nullptr);
  const std::string handle =
      std::to_string(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(hung)));
  ExpectPrinted(CaptureRow(L"nhtcd"), Block("Handle", handle) +
                                          Block("Name", WideToAnsi(hostile::kRowName)) +
                                          Block("Class", WideToAnsi(hostile::kHungClass)) +
                                          Block("Description", RowDescription(0)));
}

// Runs `read` on a thread of its own and gives its result, or nothing when
// it has not ended by the deadline. Such a thread is left to wait; it ends
// when the fixture's end takes the window away.
std::optional<bool> ReadWithinDeadline(const std::function<bool()>& read) {
  auto result = std::make_shared<std::promise<bool>>();
  std::future<bool> answer = result->get_future();
  std::thread([result, read] { result->set_value(read()); }).detach();
  if (!WaitUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }, kDeadline)) {
    return std::nullopt;
  }
  return answer.get();
}

// A read of a record of the reader's own over a marked buffer: true when
// it failed and left the buffer as it was.
template <class Record, class Read>
bool FailsAndLeavesTheBuffer(std::uint32_t mask, Read read) {
  const std::vector<char> marked(kTextSize + 1, '#');
  std::vector<char> buffer = marked;
  Record record;
  record.Mask = mask;
  record.Text = buffer.data();
  record.TextSize = kTextSize;
  return read(record) == kRemoteReadFailed && buffer == marked;
}

// Each read of the hung window gives up and gives its failure value.
TEST(HungWindow_Reads, EachGivesItsFailureValue) {
  FixtureProcess fixture({hostile::kHungWindowOption});
  const HWND hung = FindWindowW(hostile::kHungClass, nullptr);
  ASSERT_NE(hung, nullptr);
  // Read on threads that may outlive the test: everything by value.
  const struct {
    const char* read;
    std::function<bool()> failed;
  } reads[] = {
      {"window text", [=] { return GetWindowTextByMessage(hung).empty(); }},
      {"cell",
       [=] {
         return FailsAndLeavesTheBuffer<TListViewItem>(
             kListViewItemTextMask, [=](TListViewItem& item) {
               return GetRemoteListViewItem(hung, kListViewGetItemMessage, item);
             });
       }},
      {"header",
       [=] {
         return FailsAndLeavesTheBuffer<TListViewColumn>(
             kListViewColumnTextMask, [=](TListViewColumn& column) {
               return GetRemoteListViewColumn(hung, kListViewGetColumnMessage, 0, column);
             });
       }},
  };
  for (const auto& r : reads) {
    SCOPED_TRACE(r.read);
    const std::optional<bool> failed = ReadWithinDeadline(r.failed);
    ASSERT_TRUE(failed.has_value()) << "still waiting after " << kDeadline.count() << " ms";
    EXPECT_TRUE(*failed);
  }
}

}  // namespace
