// The diagnostic log: its lines and indentation with a fixed clock, its
// file and folder, that it stays off and silent by default, that a failing
// write is no failure, and DescribeItem.

#include "Logger.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CodePage.h"
#include "ComObject.h"
#include "ItemInfo.h"
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

// An item with fixed answers; only what DescribeItem asks matters.
class FixedItem final : public ComObject<IItemInfo> {
 public:
  FixedItem(std::wstring name, std::wstring role, std::string className, std::string module,
            int32_t validChildren, TRect screen, ItemInfoPtr root)
      : name_(std::move(name)),
        role_(std::move(role)),
        className_(std::move(className)),
        module_(std::move(module)),
        validChildren_(validChildren),
        screen_(screen),
        root_(std::move(root)) {}

  TAcc STDMETHODCALLTYPE GetAccessible() override { return TAcc(); }
  HWND STDMETHODCALLTYPE GetHandle() override { return nullptr; }
  ItemInfoPtr STDMETHODCALLTYPE GetRootItem() override {
    return root_ ? root_ : ItemInfoPtr(this);
  }
  std::string STDMETHODCALLTYPE GetModuleName() override { return module_; }
  std::string STDMETHODCALLTYPE GetText() override { return {}; }
  std::string STDMETHODCALLTYPE GetClassName() override { return className_; }
  TRect STDMETHODCALLTYPE GetClientRect() override { return {}; }
  TRect STDMETHODCALLTYPE GetScreenRect() override { return screen_; }
  TPoint STDMETHODCALLTYPE GetInnerPoint() override { return {}; }
  void STDMETHODCALLTYPE SetInnerPoint(const TPoint&) override {}
  void STDMETHODCALLTYPE GetNeighbours(ItemInfoPtr& left, ItemInfoPtr& top, ItemInfoPtr& right,
                                       ItemInfoPtr& bottom) override {
    left = top = right = bottom = NullItemInfo();
  }
  ItemInfoPtr STDMETHODCALLTYPE GetChild(int32_t) override { return nullptr; }
  int32_t STDMETHODCALLTYPE GetChildCount() override { return validChildren_; }
  ItemInfoPtr STDMETHODCALLTYPE GetValidChild(int32_t) override { return nullptr; }
  int32_t STDMETHODCALLTYPE GetValidChildCount() override { return validChildren_; }
  ItemInfoPtr STDMETHODCALLTYPE GetParent() override { return NullItemInfo(); }
  ItemInfoPtr STDMETHODCALLTYPE GetAccParent() override { return NullItemInfo(); }
  std::wstring STDMETHODCALLTYPE GetDefaultAction() override { return {}; }
  std::wstring STDMETHODCALLTYPE GetDescription() override { return {}; }
  int32_t STDMETHODCALLTYPE GetHelpTopicId() override { return -1; }
  std::wstring STDMETHODCALLTYPE GetShortcut() override { return {}; }
  std::wstring STDMETHODCALLTYPE GetName() override { return name_; }
  int32_t STDMETHODCALLTYPE GetRoleId() override { return 43; }
  int32_t STDMETHODCALLTYPE GetStateId() override { return 0; }
  std::wstring STDMETHODCALLTYPE GetRole() override { return role_; }
  std::wstring STDMETHODCALLTYPE GetState() override { return {}; }
  std::wstring STDMETHODCALLTYPE GetValue() override { return {}; }

 private:
  std::wstring name_;
  std::wstring role_;
  std::string className_;
  std::string module_;
  int32_t validChildren_;
  TRect screen_;
  ItemInfoPtr root_;
};

ItemInfoPtr Window(TRect screen) {
  return MakeComObject<FixedItem>(L"Window", L"window", "Main", "app.exe", 1, screen, nullptr);
}

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

TEST(Logger_DescribeItem, NullItem_IsAngleBrackets) {
  EXPECT_EQ(DescribeItem(NullItemInfo().Get()), "<>");
}

TEST(Logger_DescribeItem, Item_ShowsItsPartsAndItsSizeInTheRootWindow) {
  const ItemInfoPtr root = Window({100, 200, 900, 700});
  const ItemInfoPtr item = MakeComObject<FixedItem>(L"OK", L"push button", "Button",
                                                    "notepad.exe", 0, TRect{110, 220, 185, 243},
                                                    root);
  EXPECT_EQ(DescribeItem(item.Get()), "<OK,push button,Button,notepad.exe,0,w:75 h:23>");
}

TEST(Logger_DescribeItem, EmptyNameAndRole_StillCarryTheRest) {
  const ItemInfoPtr item = MakeComObject<FixedItem>(L"", L"", "Static", "app.exe", 2,
                                                    TRect{0, 0, 10, 5}, Window({0, 0, 10, 5}));
  EXPECT_EQ(DescribeItem(item.Get()), "<,,Static,app.exe,2,w:10 h:5>");
}

TEST(Logger_DescribeItem, WideTexts_AreGivenInTheAnsiCodePage) {
  const ItemInfoPtr item = MakeComObject<FixedItem>(L"Gr\u00fc\u00dfe", L"text", "Static", "a.exe",
                                                    0, TRect{0, 0, 1, 1}, Window({0, 0, 1, 1}));
  EXPECT_EQ(DescribeItem(item.Get()), "<Gr\xFC\xDF" "e,text,Static,a.exe,0,w:1 h:1>");
}
