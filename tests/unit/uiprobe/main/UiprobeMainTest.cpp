#include "UiprobeMain.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "CmdParams.h"
#include "ComApartment.h"
#include "EnvironmentVariable.h"
#include "Exception.h"
#include "FakeItem.h"
#include "StdStreamCapture.h"
#include "TempFolder.h"

namespace {

using Args = std::vector<std::wstring>;

struct RunOutcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

using testsupport::EnvironmentVariable;

// A main run whose stages record what reaches them.
class UiprobeMainTest : public testsupport::ComApartmentTest {
 protected:
  void SetUp() override {
    item_ = FakeItem::Make({.handle = reinterpret_cast<HWND>(uintptr_t{658}), .name = L"OK"});
    stages_.CaptureAtPosition = [this](const TPoint& point) {
      events_.push_back("position " + std::to_string(point.X) + "," + std::to_string(point.Y));
      return captured_;
    };
    stages_.SelectInteractively = [this] {
      events_.push_back("select");
      return captured_;
    };
    stages_.CreateSearchPath = [this](IItemInfo* item, const std::wstring& file) {
      EXPECT_EQ(item, item_.Get());
      events_.push_back("path " + std::string(file.begin(), file.end()));
    };
    stages_.RunCommand = [this](const std::wstring& command) {
      events_.push_back("run " + std::string(command.begin(), command.end()) + " name=" +
                        EnvironmentVariable("VEK_NAME") +
                        " key=" + EnvironmentVariable("VEK_SELKEY"));
      return commandExitCode_;
    };
    captured_ = item_;
  }

  RunOutcome Run(const Args& args) {
    StdStreamCapture out(STD_OUTPUT_HANDLE);
    StdStreamCapture err(STD_ERROR_HANDLE);
    RunOutcome outcome;
    outcome.exitCode = UiprobeMain(args, stages_);
    outcome.out = out.Take();
    outcome.err = err.Take();
    return outcome;
  }

  FakeItemPtr item_;
  ItemInfoPtr captured_;
  TCaptureStages stages_;
  int32_t commandExitCode_ = 0;
  std::vector<std::string> events_;
};

using UiprobeMain_CommandLine = UiprobeMainTest;
using UiprobeMain_Capture = UiprobeMainTest;
using UiprobeMain_Execute = UiprobeMainTest;
using UiprobeMain_Failure = UiprobeMainTest;

}  // namespace

TEST_F(UiprobeMain_CommandLine, NoArgumentOrHelpPrintsTheUsage) {
  for (const Args& args : {Args{}, Args{L"--help"}, Args{L"--help", L"-x"}}) {
    const RunOutcome outcome = Run(args);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.out.starts_with("Tarrowind user interface capture utility. Version "));
    EXPECT_TRUE(outcome.out.ends_with(
        "  uiprobe --manualselect --outputflags n --outputformat ini\r\n"));
    EXPECT_EQ(outcome.err, "");
  }
  EXPECT_TRUE(events_.empty());
}

TEST_F(UiprobeMain_CommandLine, FaultsGoToTheirStreamsWithExitOne) {
  struct Case {
    Args args;
    std::string out;
    std::string err;
  };
  const Case cases[] = {
      {{L"-x", L"--help"}, "", "Invalid parameter -x\r\n"},
      {{L"--outputfile"}, "Invalid usage of --outputfile\r\n", ""},
      {{L"--position", L"1,2,3"}, "", "Invalid position 1,2,3\r\n"},
      {{L"--outputfile", L"--manualselect"}, "", "Invalid usage - please specify capture mode.\r\n"},
  };
  for (const Case& c : cases) {
    const RunOutcome outcome = Run(c.args);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.out, c.out);
    EXPECT_EQ(outcome.err, c.err);
  }
  EXPECT_TRUE(events_.empty());
}

TEST_F(UiprobeMain_CommandLine, ConversionErrorLeavesTheRun) {
  EXPECT_THROW(UiprobeMain({L"--position", L"500,abc"}, stages_), EConvertError);
  EXPECT_TRUE(events_.empty());
}

TEST_F(UiprobeMain_Capture, PositionIsCapturedAndPrinted) {
  const RunOutcome outcome =
      Run({L"--position", L"$1F4,0x1F4", L"--outputflags", L"nh", L"--outputformat", L"ini"});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, "Handle=658\r\nName=OK\r\n\r\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(events_, std::vector<std::string>{"position 500,500"});
}

TEST_F(UiprobeMain_Capture, InteractiveSelectionWinsOverThePosition) {
  const RunOutcome outcome = Run({L"--position", L"1,2", L"--manualselect", L"--outputflags",
                                  L"n", L"--outputformat", L"valcsv"});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, "OK;\r\n");
  EXPECT_EQ(events_, std::vector<std::string>{"select"});
}

TEST_F(UiprobeMain_Capture, NothingCapturedExitsThreeAndDoesNothingElse) {
  testsupport::TempFolder folder;
  const std::wstring file = (folder / L"out.txt").wstring();
  for (const ItemInfoPtr& nothing : {NullItemInfo(), ItemInfoPtr()}) {
    captured_ = nothing;
    events_.clear();
    for (const Args& mode : {Args{L"--manualselect"}, Args{L"--position", L"5,5"}}) {
      Args args = mode;
      args.insert(args.end(), {L"--execute", L"cmd", L"--createpath", L"p.xml",
                               L"--outputfile", file});
      const RunOutcome outcome = Run(args);
      EXPECT_EQ(outcome.exitCode, 3);
      EXPECT_EQ(outcome.out, "");
      EXPECT_EQ(outcome.err, "");
    }
    EXPECT_EQ(events_, (std::vector<std::string>{"select", "position 5,5"}));
  }
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(UiprobeMain_Execute, CommandRunsWithTheVariablesBeforePathAndOutput) {
  const RunOutcome outcome =
      Run({L"--position", L"1,2", L"--execute", L"cmd /c echo 'x' %VEK_NAME%", L"--createpath",
           L"path.xml", L"--outputflags", L"n", L"--outputformat", L"ini"});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, "Name=OK\r\n\r\n");
  EXPECT_EQ(events_, (std::vector<std::string>{
                         "position 1,2", "run cmd /c echo \"x\" %VEK_NAME% name=OK key=ctrl",
                         "path path.xml"}));
}

TEST_F(UiprobeMain_Execute, FailingCommandExitsFourBeforePathAndOutput) {
  testsupport::TempFolder folder;
  const std::wstring file = (folder / L"out.txt").wstring();
  for (int32_t code : {5, -1, 2147483647}) {
    commandExitCode_ = code;
    events_.clear();
    const RunOutcome outcome = Run({L"--position", L"1,2", L"--execute", L"cmd /c exit 5",
                                    L"--createpath", L"path.xml", L"--outputfile", file});
    EXPECT_EQ(outcome.exitCode, 4);
    EXPECT_EQ(outcome.out, "Can't execute \"cmd /c exit 5\". %ERRORLEVEL% = " +
                               std::to_string(code) + "\r\n");
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(events_.size(), 2u);
  }
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(UiprobeMain_Execute, MessageKeepsPercentSignsOfTheCommand) {
  EXPECT_EQ(ExecuteFailedMessage(L"cmd /c echo %date% %d 100%%", 7),
            L"Can't execute \"cmd /c echo %date% %d 100%%\". %ERRORLEVEL% = 7");
}

TEST_F(UiprobeMain_Execute, RealCommandSeesTheVariables) {
  stages_.RunCommand = RunExpandedCommand;
  const RunOutcome outcome = Run({L"--position", L"1,2", L"--execute",
                                  L"cmd /c if '%VEK_NAME%'=='OK' (exit 0) else (exit 9)",
                                  L"--outputflags", L"n", L"--outputformat", L"valcsv"});
  EXPECT_EQ(outcome.exitCode, 0);
  EXPECT_EQ(outcome.out, "OK;\r\n");
}

TEST_F(UiprobeMain_Failure, SearchPathErrorFailsAfterTheCommand) {
  stages_.CreateSearchPath = [this](IItemInfo*, const std::wstring&) {
    events_.push_back("path");
    throw Exception("EPathError", L"The path could not be made.");
  };
  const RunOutcome outcome =
      Run({L"--position", L"1,2", L"--execute", L"cmd", L"--createpath", L"path.xml"});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_TRUE(outcome.out.starts_with(
      "Execution failed!\r\nException info: EPathError\r\nThe path could not be made.\r\n"))
      << outcome.out;
  ASSERT_EQ(events_.size(), 3u);
  EXPECT_TRUE(events_[1].starts_with("run cmd")) << events_[1];
  EXPECT_EQ(events_[2], "path");
}

TEST_F(UiprobeMain_Failure, UnwritableOutputFileIsAFailure) {
  testsupport::TempFolder folder;
  const RunOutcome outcome =
      Run({L"--position", L"1,2", L"--outputfile", (folder / L"no" / L"out.txt").wstring()});
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_TRUE(outcome.out.starts_with("Execution failed!\r\nException info: EFCreateError\r\n"))
      << outcome.out;
}

TEST_F(UiprobeMain_Failure, UnhandledErrorReportNamesClassModuleAndMessage) {
  StdStreamCapture err(STD_ERROR_HANDLE);
  try {
    UiprobeMain({L"--position", L"1,zz"}, stages_);
  } catch (const std::exception& error) {
    ReportUnhandledError(error);
  }
  const std::string report = err.Take();
  const std::string head = "Exception EConvertError in module unit_tests.exe at ";
  ASSERT_TRUE(report.starts_with(head)) << report;
  // As many hex digits as the program's pointers have.
  const std::size_t digits = 2 * sizeof(void*);
  const std::string address = report.substr(head.size(), digits);
  EXPECT_EQ(address.find_first_not_of("0123456789ABCDEF"), std::string::npos) << address;
  EXPECT_NE(address, std::string(digits, '0'));
  EXPECT_EQ(report.substr(head.size() + digits),
            ".\r\n'zz' is not a valid integer value.\r\n\r\n");
}
