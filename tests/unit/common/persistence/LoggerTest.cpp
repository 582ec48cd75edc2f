// The diagnostic log: its lines and indentation with a fixed clock, its
// file and folder, that it stays off and silent by default, that a failing
// write is no failure, and DescribeItem.

#include "Logger.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "CodePage.h"
#include "FakeItem.h"
#include "ItemInfoNull.h"
#include "LogFormat.h"
#include "TempFolder.h"

namespace {

LogTime FixedTime() { return {12, 34, 567}; }

// Switches the log on, into a folder of the test's own, with the fixed
// clock; everything back to the start-up state afterwards.
class LoggerOn : public testing::Test {
 protected:
  void SetUp() override {
    InitLogger();
    SetLogClock(FixedTime);
    SetLogProgramFolder(folder_.Path().wstring() + L"\\");
    SetLoggingEnabled(true);
  }
  void TearDown() override {
    SetLoggingEnabled(false);
    FinalizeLogger();
  }

  std::filesystem::path LogFile() const {
    return folder_ / L"Logs" / std::to_wstring(GetCurrentProcessId()) / L"worklog.txt";
  }
  std::string LogText() const { return testsupport::ReadBytesFromFile(LogFile()); }

  testsupport::TempFolder folder_;
};

// An item with what DescribeItem reads: the texts, the number of valid
// children, the screen rectangle and the root item.
ItemInfoPtr Described(std::wstring name, std::wstring role, std::string className,
                      std::string module, int validChildren, TRect screen, ItemInfoPtr root) {
  const FakeItemPtr item = FakeItem::Make({.moduleName = std::move(module),
                                           .className = std::move(className),
                                           .screenRect = screen,
                                           .name = std::move(name),
                                           .role = std::move(role)});
  for (int i = 0; i < validChildren; ++i) item->AddChild(FakeItem::Make());
  item->root = std::move(root);
  return item;
}

ItemInfoPtr Window(TRect screen) { return FakeItem::Make({.screenRect = screen}); }

}  // namespace

// ---------------------------------------------------------------- line format

TEST(Logger_Format, Prefix_IsMinuteSecondMillisecondAndABar) {
  EXPECT_EQ(FormatLogLinePrefix({3, 7, 9}, 0), "03.07.009|");
  EXPECT_EQ(FormatLogLinePrefix({59, 59, 999}, 1), "59.59.999|");
}

TEST(Logger_Format, Prefix_IndentsTwoSpacesPerSectionBeyondTheFirst) {
  EXPECT_EQ(FormatLogLinePrefix({0, 0, 0}, 2), "00.00.000|  ");
  EXPECT_EQ(FormatLogLinePrefix({0, 0, 0}, 4), "00.00.000|      ");
}

TEST(Logger_Format, Lines_JoinThePrefixWithTheirMarks) {
  EXPECT_EQ(FormatLogMessageLine("p|", "text"), "p| text");
  EXPECT_EQ(FormatLogSectionStartLine("p|", "S"), "p|[S]");
  EXPECT_EQ(FormatLogSectionEndLine("p|", "S"), "p|[/S]");
}

TEST(Logger_Format, FilePath_IsLogsProcessIdWorklog) {
  EXPECT_EQ(LogFilePathIn("C:\\Tools\\", 1234), "C:\\Tools\\Logs\\1234\\worklog.txt");
}

TEST(Logger_Format, ItemDescription_JoinsThePartsWithCommas) {
  ItemDescription item;
  item.name = L"OK";
  item.role = L"push button";
  item.className = L"Button";
  item.moduleName = L"notepad.exe";
  item.validChildCount = 0;
  item.rectInRoot = {10, 20, 85, 43};
  EXPECT_EQ(FormatItemDescription(item), L"<OK,push button,Button,notepad.exe,0,w:75 h:23>");
}

// ---------------------------------------------------------------- switched off

TEST(Logger_Off, ByDefault_NothingIsWrittenAndNoSectionOpens) {
  InitLogger();
  EXPECT_FALSE(LoggingEnabled());
  const testsupport::TempFolder folder;
  SetLogProgramFolder(folder.Path().wstring() + L"\\");
  LogEnterSection("Section");
  LogMessage("message");
  EXPECT_EQ(CurrentLogSection(), "");
  EXPECT_EQ(GetLogFileName(), "");
  EXPECT_FALSE(std::filesystem::exists(folder / L"Logs"));
  LogLeaveSection();
  FinalizeLogger();
}

// ---------------------------------------------------------------- switched on

TEST_F(LoggerOn, NestedSections_IndentMarksByTwoAndMessagesByThree) {
  LogEnterSection("A");
  LogMessage("x");
  LogEnterSection("B");
  LogMessage("y");
  LogLeaveSection();
  LogLeaveSection();
  EXPECT_EQ(LogText(),
            "12.34.567|[A]\r\n"
            "12.34.567| x\r\n"
            "12.34.567|  [B]\r\n"
            "12.34.567|   y\r\n"
            "12.34.567|  [/B]\r\n"
            "12.34.567|[/A]\r\n");
}

TEST_F(LoggerOn, OneSectionWithOneMessage_GivesThreeLines) {
  LogEnterSection("Search");
  EXPECT_EQ(CurrentLogSection(), "Search");
  LogMessage("found");
  LogLeaveSection();
  EXPECT_EQ(CurrentLogSection(), "");
  EXPECT_EQ(LogText(), "12.34.567|[Search]\r\n12.34.567| found\r\n12.34.567|[/Search]\r\n");
}

TEST_F(LoggerOn, LeaveWithNoSectionOpen_WritesAnEmptyName) {
  LogLeaveSection();
  EXPECT_EQ(CurrentLogSection(), "");
  EXPECT_EQ(LogText(), "12.34.567|[/]\r\n");
}

TEST_F(LoggerOn, Lines_AreAppendedToAnExistingFile) {
  LogMessage("first");
  LogMessage("second");
  EXPECT_EQ(LogText(), "12.34.567| first\r\n12.34.567| second\r\n");
}

TEST_F(LoggerOn, FileName_IsInLogsUnderTheProcessIdAndItsFolderIsMade) {
  EXPECT_EQ(GetLogFileName(), WideToAnsi(LogFile().wstring()));
  EXPECT_TRUE(std::filesystem::is_directory(LogFile().parent_path()));
}

TEST_F(LoggerOn, Override_IsThePathAndItsFoldersAreMade) {
  const std::filesystem::path file = folder_ / L"a" / L"b" / L"my.log";
  SetLogFileNameOverride(file.wstring());
  EXPECT_EQ(GetLogFileName(), WideToAnsi(file.wstring()));
  LogMessage("here");
  EXPECT_EQ(testsupport::ReadBytesFromFile(file), "12.34.567| here\r\n");
}

TEST_F(LoggerOn, Prefix_CountsTheOpenSections) {
  EXPECT_EQ(LogLinePrefix(), "12.34.567|");
  LogEnterSection("A");
  LogEnterSection("B");
  LogEnterSection("C");
  EXPECT_EQ(LogLinePrefix(), "12.34.567|    ");
}

TEST_F(LoggerOn, FailingWrite_IsSwallowedAndSectionsFollowTheCalls) {
  // A file stands where the log's folder would be: no line can be written.
  testsupport::WriteBytesToFile(folder_ / L"blocker", "");
  SetLogFileNameOverride((folder_ / L"blocker" / L"worklog.txt").wstring());
  LogEnterSection("A");
  LogMessage("lost");
  EXPECT_EQ(CurrentLogSection(), "A");
  LogLeaveSection();
  EXPECT_EQ(CurrentLogSection(), "");
  EXPECT_EQ(testsupport::ReadBytesFromFile(folder_ / L"blocker"), "");
}

TEST_F(LoggerOn, Finalize_ClosesSectionsAndDropsTheOverride) {
  SetLogFileNameOverride((folder_ / L"x.log").wstring());
  LogEnterSection("A");
  FinalizeLogger();
  EXPECT_EQ(CurrentLogSection(), "");
  SetLogProgramFolder(folder_.Path().wstring() + L"\\");
  EXPECT_EQ(GetLogFileName(), WideToAnsi(LogFile().wstring()));
}

// ---------------------------------------------------------------- DescribeItem

// The parts between angle brackets, the size that of the rectangle in the
// root window, wide texts in the ANSI code page.
TEST(Logger_DescribeItem, Item_ShowsItsPartsAndItsSizeInTheRootWindow) {
  const struct {
    const char* name;
    ItemInfoPtr item;
    std::string expected;
  } cases[] = {
      {"the null item", NullItemInfo(), "<>"},
      {"an item", Described(L"OK", L"push button", "Button", "notepad.exe", 0,
                            TRect{110, 220, 185, 243}, Window({100, 200, 900, 700})),
       "<OK,push button,Button,notepad.exe,0,w:75 h:23>"},
      {"empty name and role", Described(L"", L"", "Static", "app.exe", 2, TRect{0, 0, 10, 5},
                                        Window({0, 0, 10, 5})),
       "<,,Static,app.exe,2,w:10 h:5>"},
      {"wide texts", Described(L"Gr\u00fc\u00dfe", L"text", "Static", "a.exe", 0,
                               TRect{0, 0, 1, 1}, Window({0, 0, 1, 1})),
       "<Gr\xFC\xDF" "e,text,Static,a.exe,0,w:1 h:1>"},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeItem(c.item.Get()), c.expected) << c.name;
}
