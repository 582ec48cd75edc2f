// The window and process queries and the list-view readers against real
// windows: the fixture's, in another process, and windows of the test's own
// process.

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "CodePage.h"
#include "FixtureLayout.h"
#include "ListViewRecords.h"
#include "RemoteListView.h"
#include "TestSupport.h"
#include "TextCompare.h"
#include "WindowUtils.h"

using namespace testsupport;

namespace {

constexpr std::int32_t kTextSize = 4096;

// The reads of the leak test, and how much the fixture's memory may grow
// meanwhile: an eighth of a page per read, where a block left behind on
// every read would add a whole page.
constexpr int kLeakTestReads = 5000;
constexpr SIZE_T kPageSize = 4096;
constexpr SIZE_T kFixtureMemorySlack = kLeakTestReads / 8 * kPageSize;

// The text buffer of a list-view record, filled with a byte that no answer
// holds, so that every change to it shows.
std::vector<char> MarkedBuffer() { return testsupport::MarkedBuffer(kTextSize); }

struct CellRead {
  std::int32_t result = kRemoteReadFailed;
  std::vector<char> buffer = MarkedBuffer();
  TListViewItem record;

  std::string Text() const { return buffer.data(); }
};

struct HeaderRead {
  std::int32_t result = kRemoteReadFailed;
  std::vector<char> buffer = MarkedBuffer();
  TListViewColumn record;

  std::string Text() const { return buffer.data(); }
};

// Reads a cell as the item model does: a text-only record and a buffer of
// 4096 + 1 bytes.
CellRead ReadCell(HWND listView, int row, int column) {
  CellRead read;
  read.record.Mask = kListViewItemTextMask;
  read.record.Item = row;
  read.record.SubItem = column;
  read.record.Text = read.buffer.data();
  read.record.TextSize = kTextSize;
  read.result = GetRemoteListViewItem(listView, kListViewGetItemMessage, read.record);
  return read;
}

HeaderRead ReadHeader(HWND listView, int column,
                      std::uint32_t mask = kListViewColumnTextMask) {
  HeaderRead read;
  read.record.Mask = mask;
  read.record.Text = read.buffer.data();
  read.record.TextSize = kTextSize;
  read.result =
      GetRemoteListViewColumn(listView, kListViewGetColumnMessage, column, read.record);
  return read;
}

std::string Ansi(const wchar_t* text) { return WideToAnsi(text); }

// The number of handles this process holds. Wine's GetProcessHandleCount
// succeeds but reports 0; there the handle values are tried one by one, up
// to far beyond what the tests open.
DWORD HandleCount() {
  DWORD count = 0;
  EXPECT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &count));
  if (count != 0) return count;
  constexpr UINT_PTR kHighestTried = 4 * 32768;
  for (UINT_PTR value = 4; value <= kHighestTried; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

// The private memory a process uses, in bytes; 0 when it cannot be had.
// Wine counts only the pages that were written to.
SIZE_T PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return counters.PagefileUsage;
}

// --- Texts, classes, roots, processes and modules of the fixture ---

// Text, class, root window, process and module of each of the fixture's
// windows.
TEST(WindowQueries_Fixture, WindowAndEachControl_AsTheLayoutSays) {
  FixtureProcess fixture;
  const HWND window = fixture.Window();
  EXPECT_EQ(GetWindowTextByMessage(window), Ansi(fixture::kWindowTitle));
  EXPECT_EQ(GetWindowClassName(window), Ansi(fixture::kWindowClass));
  EXPECT_EQ(GetRootWindow(window), window);
  EXPECT_EQ(GetWindowProcessId(window), fixture.ProcessId());
  EXPECT_EQ(GetWindowModuleName(window, false), "fixture.exe");
  for (const fixture::ControlSpec& spec : fixture::kControls) {
    SCOPED_TRACE(spec.id);
    const HWND control = fixture.Control(spec.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetWindowTextByMessage(control), Ansi(spec.text));
    EXPECT_TRUE(SameAnsiTextIgnoreCase(GetWindowClassName(control), Ansi(spec.className)))
        << GetWindowClassName(control);
    EXPECT_EQ(GetRootWindow(control), window);
    EXPECT_EQ(GetWindowProcessId(control), fixture.ProcessId());
    EXPECT_EQ(GetWindowModuleName(control, false), "fixture.exe");
  }
}

TEST(WindowQueries_Fixture, Text_ChangedTextIsReadAgain) {
  FixtureProcess fixture;
  ASSERT_TRUE(TypeUnicode(L"typed \u00e9"));
  ASSERT_TRUE(WaitUntil([&] { return fixture.EditText() == L"typed \u00e9"; }, 5s));
  EXPECT_EQ(GetWindowTextByMessage(fixture.Control(fixture::kEditId)),
            WideToAnsi(L"typed \u00e9"));
}

TEST(WindowQueries_Fixture, OpenWindowProcess_OpensTheFixturesProcess) {
  FixtureProcess fixture;
  const KernelHandle process = OpenWindowProcess(fixture.Control(fixture::kEditId));
  ASSERT_TRUE(process);
  EXPECT_EQ(GetProcessId(process.Get()), fixture.ProcessId());
}

TEST(WindowQueries_Fixture, ModuleName_FullPathIsTheStartedProgram) {
  FixtureProcess fixture;
  const std::string path = GetWindowModuleName(fixture.Window(), true);
  EXPECT_TRUE(SameAnsiTextIgnoreCase(path, WideToAnsi(ProgramPath(L"fixture").wstring())))
      << path;
}

TEST(WindowQueries_Fixture, Wow64State_FixtureMatchesThisProcess) {
  FixtureProcess fixture;
  const Wow64State self = CurrentProcessWow64State();
  EXPECT_NE(self, Wow64State::Unknown);
  EXPECT_EQ(ProcessWow64State(fixture.ProcessId()), self);
  EXPECT_TRUE(RemoteRecordsFit(kOwnBitness, self, ProcessWow64State(fixture.ProcessId())));
}

TEST(WindowQueries_Process, Wow64State_NoSuchProcessIsUnknown) {
  EXPECT_EQ(ProcessWow64State(0), Wow64State::Unknown);
}

// --- The fixture's list view, from another process ---

TEST(WindowQueries_ListView, Cells_EveryCellAsTheLayoutSays) {
  FixtureProcess fixture;
  const HWND listView = fixture.Control(fixture::kListViewId);
  ASSERT_NE(listView, nullptr);
  for (int row = 0; row < static_cast<int>(fixture::kListViewRows.size()); ++row) {
    for (int column = 0; column < static_cast<int>(fixture::kListViewColumns.size());
         ++column) {
      SCOPED_TRACE(testing::Message() << "row " << row << ", column " << column);
      const CellRead read = ReadCell(listView, row, column);
      EXPECT_EQ(read.result, kRemoteReadSucceeded);
      EXPECT_EQ(read.Text(), Ansi(fixture::kListViewRows[row][column]));
      // Text outside ASCII comes in the ANSI code page; the empty cell is a
      // leading zero.
      EXPECT_EQ(AnsiToWide(read.Text()), fixture::kListViewRows[row][column]);
      EXPECT_EQ(read.record.Text, read.buffer.data());
      EXPECT_EQ(read.record.Item, row);
      EXPECT_EQ(read.record.SubItem, column);
    }
  }
}

TEST(WindowQueries_ListView, Headers_EveryColumnAsTheLayoutSays) {
  FixtureProcess fixture;
  const HWND listView = fixture.Control(fixture::kListViewId);
  for (int column = 0; column < static_cast<int>(fixture::kListViewColumns.size()); ++column) {
    SCOPED_TRACE(column);
    const HeaderRead read = ReadHeader(listView, column);
    EXPECT_EQ(read.result, kRemoteReadSucceeded);
    EXPECT_EQ(read.Text(), Ansi(fixture::kListViewColumns[column]));
    EXPECT_EQ(read.record.Text, read.buffer.data());
  }
}

TEST(WindowQueries_ListView, Headers_WidthComesBackWhenAskedFor) {
  FixtureProcess fixture;
  const HeaderRead read =
      ReadHeader(fixture.Control(fixture::kListViewId), 0, kListViewColumnTextMask | LVCF_WIDTH);
  EXPECT_EQ(read.result, kRemoteReadSucceeded);
  EXPECT_EQ(read.record.Width, fixture::kListViewColumnWidth);
  EXPECT_EQ(read.Text(), Ansi(fixture::kListViewColumns[0]));
}

TEST(WindowQueries_ListView, Reads_PastTheEndOrNotAListViewFailAndLeaveTheBuffer) {
  FixtureProcess fixture;
  const HWND listView = fixture.Control(fixture::kListViewId);
  const CellRead rowPast =
      ReadCell(listView, static_cast<int>(fixture::kListViewRows.size()), 0);
  const HeaderRead columnPast =
      ReadHeader(listView, static_cast<int>(fixture::kListViewColumns.size()));
  // A button answers the list-view messages with 0.
  const CellRead button = ReadCell(fixture.Control(fixture::kButtonOneId), 0, 0);
  const struct {
    const char* name;
    std::int32_t result;
    const std::vector<char>& buffer;
  } cases[] = {
      {"cell of the row past the last", rowPast.result, rowPast.buffer},
      {"header of the column past the last", columnPast.result, columnPast.buffer},
      {"cell of a button", button.result, button.buffer},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.result, kRemoteReadFailed);
    EXPECT_TRUE(Untouched(row.buffer));
  }
}

TEST(WindowQueries_ListView, Reads_ManyReadsLeaveTheHandleCountFlat) {
  FixtureProcess fixture;
  const HWND listView = fixture.Control(fixture::kListViewId);
  const KernelHandle fixtureProcess(
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, fixture.ProcessId()));
  ASSERT_TRUE(fixtureProcess);
  // Warm up: the first calls may load libraries and keep their handles.
  ASSERT_EQ(ReadCell(listView, 0, 0).result, kRemoteReadSucceeded);
  ASSERT_EQ(ReadHeader(listView, 0).result, kRemoteReadSucceeded);
  const DWORD handlesBefore = HandleCount();
  const SIZE_T fixtureMemoryBefore = PrivateBytes(fixtureProcess.Get());
  ASSERT_NE(fixtureMemoryBefore, 0u);

  constexpr int kReads = kLeakTestReads;
  const int rows = static_cast<int>(fixture::kListViewRows.size());
  const int columns = static_cast<int>(fixture::kListViewColumns.size());
  int succeeded = 0;
  for (int i = 0; i < kReads; ++i) {
    const std::int32_t result = i % 2 == 0
                                    ? ReadCell(listView, (i / 2) % rows, (i / 2) % columns).result
                                    : ReadHeader(listView, (i / 2) % columns).result;
    if (result == kRemoteReadSucceeded) ++succeeded;
  }

  EXPECT_EQ(succeeded, kReads);
  const DWORD handlesAfter = HandleCount();
  EXPECT_LE(handlesAfter, handlesBefore + 3)
      << "before " << handlesBefore << ", after " << handlesAfter;
  const SIZE_T fixtureMemoryAfter = PrivateBytes(fixtureProcess.Get());
  EXPECT_LT(fixtureMemoryAfter, fixtureMemoryBefore + kFixtureMemorySlack)
      << "before " << fixtureMemoryBefore << ", after " << fixtureMemoryAfter;
}

TEST(WindowQueries_ListView, Reads_HandleCountSeesProcessHandlesKept) {
  // The measure of the test above: process handles that are kept show in
  // the count.
  FixtureProcess fixture;
  const DWORD before = HandleCount();
  std::vector<KernelHandle> kept;
  for (int i = 0; i < 50; ++i) kept.push_back(OpenWindowProcess(fixture.Window()));
  EXPECT_GE(HandleCount(), before + 50);
}

TEST(WindowQueries_ListView, Reads_FixtureMemorySeesWrittenBlocksKept) {
  // The other measure of the leak test: blocks written and kept in the
  // fixture, as many as the slack allows, show in its memory.
  constexpr int kBlocks = static_cast<int>(kFixtureMemorySlack / kPageSize);
  FixtureProcess fixture;
  const KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ |
                                             PROCESS_VM_OPERATION | PROCESS_VM_WRITE,
                                         FALSE, fixture.ProcessId()));
  ASSERT_TRUE(process);
  const SIZE_T before = PrivateBytes(process.Get());
  std::vector<LPVOID> blocks;
  // Like the readers' blocks: a record and a text area, the record written.
  const std::array<char, 40> record{};
  for (int i = 0; i < kBlocks; ++i) {
    LPVOID block = VirtualAllocEx(process.Get(), nullptr, 4137, MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    ASSERT_NE(block, nullptr);
    blocks.push_back(block);
    ASSERT_TRUE(WriteProcessMemory(process.Get(), block, record.data(), record.size(), nullptr));
  }
  const SIZE_T after = PrivateBytes(process.Get());
  for (LPVOID block : blocks) VirtualFreeEx(process.Get(), block, 0, MEM_RELEASE);
  EXPECT_NE(before, 0u);
  EXPECT_GE(after, before + kFixtureMemorySlack) << "before " << before << ", after " << after;
}

// --- A list view of the test's own process ---

// Registers the common controls' window classes; comctl32 is loaded rather
// than linked so that the test program needs no import of its own.
bool RegisterListViewClass() {
  static const bool registered = [] {
    HMODULE library = LoadLibraryW(L"comctl32.dll");
    if (!library) return false;
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    if (!init) return false;
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_LISTVIEW_CLASSES;
    // The library stays loaded for the windows of its classes.
    return init(&classes) != FALSE;
  }();
  return registered;
}

TEST(WindowQueries_OwnProcess, ListView_ReadsLikeAnotherProcesssOne) {
  ASSERT_TRUE(RegisterListViewClass());
  UniqueWindow listView(CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 200,
                                        100, nullptr, nullptr, GetModuleHandleW(nullptr),
                                        nullptr));
  ASSERT_NE(listView.Get(), nullptr);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 80;
  column.pszText = const_cast<wchar_t*>(L"Own");
  ASSERT_EQ(SendMessageW(listView.Get(), LVM_INSERTCOLUMNW, 0,
                         reinterpret_cast<LPARAM>(&column)),
            0);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"local cell");
  ASSERT_EQ(SendMessageW(listView.Get(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)),
            0);

  const CellRead cell = ReadCell(listView.Get(), 0, 0);
  EXPECT_EQ(cell.result, kRemoteReadSucceeded);
  EXPECT_EQ(cell.Text(), "local cell");
  const HeaderRead header = ReadHeader(listView.Get(), 0);
  EXPECT_EQ(header.result, kRemoteReadSucceeded);
  EXPECT_EQ(header.Text(), "Own");
}

TEST(WindowQueries_OwnProcess, Text_LongTextIsCutTo4095Characters) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += static_cast<char>('0' + i % 10);
  UniqueWindow window(CreateWindowExA(0, "STATIC", text.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_NE(window.Get(), nullptr);
  EXPECT_EQ(GetWindowTextByMessage(window.Get()), text.substr(0, 4095));
}

TEST(WindowQueries_OwnProcess, ModuleName_IsTheTestProgram) {
  UniqueWindow window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
  ASSERT_NE(window.Get(), nullptr);
  std::array<char, MAX_PATH> own{};
  ASSERT_NE(GetModuleFileNameA(nullptr, own.data(), own.size()), 0u);
  const std::string ownPath = own.data();
  EXPECT_TRUE(SameAnsiTextIgnoreCase(GetWindowModuleName(window.Get(), true), ownPath));
  EXPECT_EQ(GetWindowModuleName(window.Get(), false), ownPath.substr(ownPath.rfind('\\') + 1));
}

// --- Handles that are no windows ---

// Every query reads as its empty value, and the list-view readers leave the
// caller's record and buffer as they were.
void ExpectNoWindow(HWND handle) {
  EXPECT_EQ(GetWindowTextByMessage(handle), "");
  EXPECT_EQ(GetWindowClassName(handle), "");
  EXPECT_EQ(GetRootWindow(handle), nullptr);
  EXPECT_EQ(GetWindowProcessId(handle), 0u);
  EXPECT_FALSE(OpenWindowProcess(handle));
  EXPECT_EQ(GetWindowModuleName(handle, false), "");
  EXPECT_EQ(GetWindowModuleName(handle, true), "");

  const CellRead cell = ReadCell(handle, 0, 0);
  EXPECT_EQ(cell.result, kRemoteReadFailed);
  EXPECT_TRUE(Untouched(cell.buffer));
  EXPECT_EQ(cell.record.Item, 0);
  EXPECT_EQ(cell.record.Text, cell.buffer.data());
  const HeaderRead header = ReadHeader(handle, 0);
  EXPECT_EQ(header.result, kRemoteReadFailed);
  EXPECT_TRUE(Untouched(header.buffer));
}

TEST(WindowQueries_NoWindow, MadeUpAndNullHandle_EmptyValues) {
  const std::pair<const char*, HWND> cases[] = {{"made up", reinterpret_cast<HWND>(0x1234)},
                                                 {"null", nullptr}};
  for (const auto& [name, handle] : cases) {
    SCOPED_TRACE(name);
    ASSERT_FALSE(IsWindow(handle));
    ExpectNoWindow(handle);
  }
}

TEST(WindowQueries_NoWindow, DestroyedWindow_EmptyValues) {
  UniqueWindow window(CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
  const HWND handle = window.Get();
  ASSERT_NE(handle, nullptr);
  ASSERT_EQ(GetWindowTextByMessage(handle), "gone");
  window.Reset();
  ASSERT_FALSE(IsWindow(handle));
  ExpectNoWindow(handle);
}

TEST(WindowQueries_NoWindow, ClosedFixture_EmptyValues) {
  HWND window = nullptr;
  HWND listView = nullptr;
  {
    FixtureProcess fixture;
    window = fixture.Window();
    listView = fixture.Control(fixture::kListViewId);
    ASSERT_EQ(ReadCell(listView, 0, 0).result, kRemoteReadSucceeded);
    ASSERT_TRUE(fixture.Close());
  }
  ExpectNoWindow(window);
  ExpectNoWindow(listView);
}

}  // namespace
