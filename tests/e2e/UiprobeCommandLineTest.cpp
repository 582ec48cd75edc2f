// uiprobe's usage text and command-line faults: exact bytes on each stream
// and the exit code. None of them reaches the desktop.

#include <gtest/gtest.h>

#include <regex>

#include "TestSupport.h"

using namespace testsupport;

namespace {

const std::string kUsage =
    "Tarrowind user interface capture utility. Version " BUILD_FILE_VERSION "\r\n"
    "Usage:\r\n"
    " uiprobe --manualselect | --position X,Y --execute \"command line\"\r\n"
    "            --outputflags mhnrstcSbpvadHRT --outputfile \"textfile\"\r\n"
    "            --outputformat \"format\" --execute \"command 'option' ...\"\r\n"
    "            --createpath \"path.xml\" --appendoutput --help\r\n"
    "\n"
    "Where:\r\n"
    " --manualselect  select object by mouse\r\n"
    " --position      capture object at specified position\r\n"
    " --execute       executes program or command. Called program can \r\n"
    "                 retrieve information about selected object by using\r\n"
    "                 VEK_* environment variables\r\n"
    " --outputflags   results filter\r\n"
    " --outputfile    write results to file (utf-8) instead of stdout\r\n"
    " --outputformat  specify formatting of results\r\n"
    " --createpath    write detailed search information to xmlfile (utf-8)\r\n"
    " --appendoutput  indicate that --outputfile must be appended, not overwritten\r\n"
    " --help          display this help\r\n"
    "\r\n"
    "Output filter flags:\r\n"
    " m = Module, h = Handle, n = Name, r = Role, s = State, t=Text,\r\n"
    " c = Class, S = Shortcut, b = ScreenRect, p = ScreenPoint, v = Value,\r\n"
    " a = Action, d = Description, H = HelpIndex, R = RoleFull, T = StateFull\r\n"
    "\n"
    "Environment variables:\r\n"
    " VEK_MODULE - module name, VEK_HANDLE - handle value, VEK_NAME - object name,\r\n"
    " VEK_ROLE - object role, VEK_STATE - object state, VEK_TEXT - object text,\r\n"
    " VEK_CLASS - window class, VEK_SHORTCUT - object shortcut,\r\n"
    " VEK_SCREENRECT - object screen rect X1,Y1,X2,Y2, VEK_VALUE - object value,\r\n"
    " VEK_SCREENPOINT - object screen inner point X,Y,\r\n"
    " VEK_ACTION - object default action, VEK_DESCRIPTION - object description\r\n"
    " VEK_HELPINDEX - object context help index, VEK_ROLEFULL - object role full,\r\n"
    " VEK_SELKEY - key used to finish capture in --manualselect mode,\r\n"
    " VEK_STATEFULL - object state full,\r\n"
    " VEK_FRIENDLYNAME - informative, filesystem-compatible name of object; \r\n"
    "\r\n"
    "Avaiable output formats:\r\n"
    " \"ini\" - INI format (\"Key=Value\"), \"conf\" - CONF format (key \"value\"),\r\n"
    " \"xml\" - structured xml file, \"vallines\" - only values, one line per value,\r\n"
    " \"valtabs\" - only values (TAB-separated), \"valcsv\" - comma-separated values\r\n"
    "\n"
    "Examples:\r\n"
    " Capture window/control interactively:\r\n"
    "  uiprobe --manualselect\r\n"
    " Capture window/control and write only name and handle to file 1.txt\r\n"
    "  uiprobe --manualselect --outputflags nh --outputfile 1.txt\r\n"
    " Capture control at position 500,500 (on screen) and create search path:\r\n"
    "  uiprobe --position 500,500 --createpath path.xml\r\n"
    " Capture object and display information in INI-file format:\r\n"
    "  uiprobe --manualselect --outputflags n --outputformat ini\r\n";

// English messages whatever the machine's language.
const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}};

RunResult Uiprobe(const std::vector<std::wstring>& arguments) {
  return RunProgram(L"uiprobe", arguments, kEnglish);
}

void ExpectOutcome(const RunResult& result, const std::string& out, const std::string& err,
                   DWORD exitCode) {
  EXPECT_EQ(result.out, out);
  EXPECT_EQ(result.err, err);
  EXPECT_EQ(result.exitCode, exitCode);
}

}  // namespace

TEST(UiprobeUsage, NoArgumentOrHelpPrintsTheUsage) {
  ExpectOutcome(Uiprobe({}), kUsage, "", 0);
  for (const wchar_t* option : {L"--help", L"-h", L"-?"}) {
    SCOPED_TRACE(testing::Message() << option);
    ExpectOutcome(Uiprobe({option}), kUsage, "", 0);
  }
  ExpectOutcome(Uiprobe({L"--help", L"-x"}), kUsage, "", 0);
  ExpectOutcome(Uiprobe({L"--position", L"1,2", L"-?", L"--position", L"1"}), kUsage, "", 0);
}

TEST(UiprobeCommandLine, UnknownArgumentOnErrorStream) {
  ExpectOutcome(Uiprobe({L"-x", L"--help"}), "", "Invalid parameter -x\r\n", 1);
  ExpectOutcome(Uiprobe({L"--POSITION", L"1,2"}), "", "Invalid parameter --POSITION\r\n", 1);
}

TEST(UiprobeCommandLine, OptionWithoutValueIsInvalidUsageOnOutputStream) {
  ExpectOutcome(Uiprobe({L"--outputfile"}), "Invalid usage of --outputfile\r\n", "", 1);
  ExpectOutcome(Uiprobe({L"--manualselect", L"--execute"}), "Invalid usage of --execute\r\n",
                "", 1);
  // Empty quotes are no argument at all.
  ExpectOutcome(RunCommandLine(L"uiprobe", L"--position \"\"", kEnglish),
                "Invalid usage of --position\r\n", "", 1);
}

TEST(UiprobeCommandLine, OptionTakesTheNextArgumentAsItsValue) {
  ExpectOutcome(Uiprobe({L"--outputfile", L"--manualselect"}), "",
                "Invalid usage - please specify capture mode.\r\n", 1);
}

TEST(UiprobeCommandLine, PositionWithoutTwoPartsOnErrorStream) {
  ExpectOutcome(Uiprobe({L"--position", L"1,2,3"}), "", "Invalid position 1,2,3\r\n", 1);
  ExpectOutcome(Uiprobe({L"--position", L"500"}), "", "Invalid position 500\r\n", 1);
  ExpectOutcome(Uiprobe({L"--manualselect", L"--position", L"1,2,3"}), "",
                "Invalid position 1,2,3\r\n", 1);
}

TEST(UiprobeCommandLine, PositionPartThatIsNoIntegerReachesTheOutermostHandler) {
  for (const auto& [value, part] : {std::pair{L"500,abc", "abc"}, std::pair{L"500,", ""}}) {
    const RunResult result = Uiprobe({L"--position", value});
    EXPECT_EQ(result.exitCode, 1u);
    EXPECT_EQ(result.out, "");
    // The address has as many hex digits as the program's pointers.
    const std::string digits = std::to_string(2 * sizeof(void*));
    const std::regex report("Exception EConvertError in module uiprobe\\.exe at [0-9A-F]{" +
                            digits + "}\\.\r\n'" + std::string(part) +
                            "' is not a valid integer value\\.\r\n\r\n");
    EXPECT_TRUE(std::regex_match(result.err, report)) << result.err;
  }
}
