// uiprobe --position on the fixture's controls: every output format to the
// console and to a file, nothing at an empty place, and --execute with the
// VEK_* variables. Wine shows a push button as its client object (role
// CLIENT, state FOCUSABLE while the edit has the focus), and these tests
// pin that.

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CodePage.h"
#include "FixtureLayout.h"
#include "TestSupport.h"
#include "WrittenText.h"

using namespace testsupport;

namespace {

const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}};

// Button "Two" as each text format writes it, its empty properties left
// out. X and Y are the fixture's client origin on the screen; ROLE and
// STATE are the platform's texts for CLIENT and FOCUSABLE.
struct FormatCase {
  const char* format;  // empty: no --outputformat
  const char* text;
};

constexpr char kBlocks[] =
    "Module:\r\nfixture.exe\r\n\r\nHandle:\r\n%HANDLE%\r\n\r\nName:\r\nTwo\r\n\r\n"
    "Role:\r\nCLIENT\r\n\r\nState:\r\nFOCUSABLE\r\n\r\nText:\r\nTwo\r\n\r\n"
    "Class:\r\nButton\r\n\r\nScreenRect:\r\n%X+440%,%Y+90%,%X+540%,%Y+120%\r\n\r\n"
    "ScreenPoint:\r\n%X+490%,%Y+105%\r\n\r\nRoleFull:\r\n%ROLE%\r\n\r\n"
    "StateFull:\r\n%STATE%;\r\n\r\n";

const FormatCase kTextFormats[] = {
    {"", kBlocks},
    {"ini",
     "Module=fixture.exe\r\nHandle=%HANDLE%\r\nName=Two\r\nRole=CLIENT\r\nState=FOCUSABLE\r\n"
     "Text=Two\r\nClass=Button\r\nScreenRect=%X+440%,%Y+90%,%X+540%,%Y+120%\r\n"
     "ScreenPoint=%X+490%,%Y+105%\r\nRoleFull=%ROLE%\r\nStateFull=%STATE%;\r\n"},
    {"conf",
     "Module \"fixture.exe\"\r\nHandle \"%HANDLE%\"\r\nName \"Two\"\r\nRole \"CLIENT\"\r\n"
     "State \"FOCUSABLE\"\r\nText \"Two\"\r\nClass \"Button\"\r\n"
     "ScreenRect \"%X+440%,%Y+90%,%X+540%,%Y+120%\"\r\nScreenPoint \"%X+490%,%Y+105%\"\r\n"
     "RoleFull \"%ROLE%\"\r\nStateFull \"%STATE%;\"\r\n"},
    {"vallines",
     "fixture.exe\r\n%HANDLE%\r\nTwo\r\nCLIENT\r\nFOCUSABLE\r\nTwo\r\nButton\r\n"
     "%X+440%,%Y+90%,%X+540%,%Y+120%\r\n%X+490%,%Y+105%\r\n%ROLE%\r\n%STATE%;\r\n"},
    {"valtabs",
     "fixture.exe\t%HANDLE%\tTwo\tCLIENT\tFOCUSABLE\tTwo\tButton\t"
     "%X+440%,%Y+90%,%X+540%,%Y+120%\t%X+490%,%Y+105%\t%ROLE%\t%STATE%;\t"},
    {"valcsv",
     "fixture.exe;%HANDLE%;Two;CLIENT;FOCUSABLE;Two;Button;"
     "%X+440%,%Y+90%,%X+540%,%Y+120%;%X+490%,%Y+105%;%ROLE%;%STATE%;;"},
    // The names are compared exactly: this is no format name.
    {"INI", kBlocks},
};

// The object XML of the button with every letter; the handle as a signed
// 32-bit number.
constexpr char kButtonXml[] =
    R"(<?xml version="1.0" encoding="%ENCODING%"?>)" "\r\n"
    R"(<ObjectInfo Module="fixture.exe" Handle="%SIGNED_HANDLE%" Name="Two" Role="CLIENT" )"
    R"(State="FOCUSABLE" WindowText="Two" Class="Button" ShortCut="" Value="" DefaultAction="" )"
    R"(Description="" HelpTopicId="-1" RoleFull="%ROLE%" StateFull="%STATE%;">)" "\r\n"
    R"(  <ScreenRect Left="%X+440%" Top="%Y+90%" Right="%X+540%" Bottom="%Y+120%"/>)" "\r\n"
    R"(  <ScreenPoint X="%X+490%" Y="%Y+105%"/>)" "\r\n"
    R"(</ObjectInfo>)" "\r\n";

// What `cmd /c set VEK_` prints for the button, in its order by name.
constexpr char kButtonVariables[] =
    "VEK_ACTION=\r\nVEK_CLASS=Button\r\nVEK_DESCRIPTION=\r\n"
    "VEK_FRIENDLYNAME=Two_fixture_CLIENT\r\nVEK_HANDLE=%HANDLE%\r\nVEK_HELPINDEX=-1\r\n"
    "VEK_MODULE=fixture.exe\r\nVEK_NAME=Two\r\nVEK_ROLE=CLIENT\r\nVEK_ROLEFULL=%ROLE%\r\n"
    "VEK_SCREENPOINT=%X+490%,%Y+105%\r\nVEK_SCREENRECT=%X+440%,%Y+90%,%X+540%,%Y+120%\r\n"
    "VEK_SELKEY=ctrl\r\nVEK_SHORTCUT=\r\nVEK_STATE=FOCUSABLE\r\nVEK_STATEFULL=%STATE%;\r\n"
    "VEK_TEXT=Two\r\nVEK_VALUE=\r\n";

class UiprobeCapture : public testing::Test {
 protected:
  void SetUp() override {
    // The edit holds the focus, so the button is only focusable.
    ASSERT_TRUE(fixture_.Focus());
    const POINT point = fixture_.ControlCentre(fixture::kButtonTwoId);
    position_ = std::to_wstring(point.x) + L"," + std::to_wstring(point.y);
    const HWND button = fixture_.Control(fixture::kButtonTwoId);
    values_ = {{"HANDLE", written::HandleText(button)},
               {"SIGNED_HANDLE",
                std::to_string(static_cast<int32_t>(reinterpret_cast<uintptr_t>(button)))},
               {"ROLE", written::PlatformRoleText(ROLE_SYSTEM_CLIENT)},
               {"STATE", written::PlatformStateText(STATE_SYSTEM_FOCUSABLE)}};
  }

  RunResult Uiprobe(std::vector<std::wstring> arguments) {
    arguments.insert(arguments.begin(), {L"--position", position_});
    return RunProgram(L"uiprobe", arguments, kEnglish);
  }

  // A written expectation with this run's values.
  std::string Expected(std::string_view text, written::Values extra = {}) const {
    extra.insert(values_.begin(), values_.end());
    return written::Filled(text, extra, fixture_.ClientToScreenPoint({0, 0}));
  }

  FixtureProcess fixture_;
  TempFolder folder_;
  std::wstring position_;
  written::Values values_;
};

}  // namespace

TEST_F(UiprobeCapture, EachTextFormatToTheConsole) {
  for (const auto& [format, text] : kTextFormats) {
    SCOPED_TRACE(testing::Message() << "format \"" << format << "\"");
    std::vector<std::wstring> arguments;
    if (*format != '\0') arguments = {L"--outputformat", AnsiToWide(format)};
    const RunResult result = Uiprobe(arguments);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out, Expected(text) + "\r\n");
    EXPECT_EQ(result.err, "");
  }
}

TEST_F(UiprobeCapture, EachTextFormatToAFile) {
  const std::wstring file = (folder_ / L"out.txt").wstring();
  for (const auto& [format, text] : kTextFormats) {
    SCOPED_TRACE(testing::Message() << "format \"" << format << "\"");
    std::vector<std::wstring> arguments = {L"--outputfile", file};
    if (*format != '\0') arguments.insert(arguments.end(), {L"--outputformat", AnsiToWide(format)});
    const RunResult result = Uiprobe(arguments);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(ReadBytesFromFile(file), "\xEF\xBB\xBF" + Expected(text));
  }
}

TEST_F(UiprobeCapture, FlagsChooseThePropertiesInTableOrder) {
  const RunResult result = Uiprobe({L"--outputflags", L"pnh", L"--outputformat", L"valcsv"});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.out, Expected("%HANDLE%;Two;%X+490%,%Y+105%;\r\n"));
}

TEST_F(UiprobeCapture, AppendedFileCollectsTheRuns) {
  const std::wstring file = (folder_ / L"runs.txt").wstring();
  WriteBytesToFile(file, "earlier line\n");
  for (int run = 0; run < 2; ++run) {
    const RunResult result = Uiprobe({L"--outputflags", L"n", L"--outputformat", L"valcsv",
                                      L"--outputfile", file, L"--appendoutput"});
    EXPECT_EQ(result.exitCode, 0u);
  }
  EXPECT_EQ(ReadBytesFromFile(file), "\xEF\xBB\xBF" "earlier line\r\nTwo;\r\nTwo;");
}

TEST_F(UiprobeCapture, ObjectXmlToAFile) {
  const std::wstring file = (folder_ / L"out.xml").wstring();
  WriteBytesToFile(file, "replaced, also with --appendoutput");
  const RunResult result =
      Uiprobe({L"--outputformat", L"xml", L"--outputfile", file, L"--appendoutput"});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_EQ(ReadBytesFromFile(file), Expected(kButtonXml, {{"ENCODING", "utf-8"}}));
}

TEST_F(UiprobeCapture, ObjectXmlToTheConsole) {
  const RunResult result = Uiprobe({L"--outputformat", L"xml"});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, Expected(kButtonXml, {{"ENCODING", "windows-1252"}}) + "\r\n");
}

TEST_F(UiprobeCapture, EditTextOutsideAsciiIsWindows1252InTheConsoleXml) {
  ASSERT_TRUE(fixture_.ClearEdit());
  ASSERT_TRUE(fixture_.Focus());
  ASSERT_TRUE(TypeUnicode(L"r\u00e9sum\u00e9"));
  ASSERT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"r\u00e9sum\u00e9"; }, 5s));
  const POINT edit = fixture_.ControlCentre(fixture::kEditId);
  const RunResult result =
      RunProgram(L"uiprobe",
                 {L"--position", std::to_wstring(edit.x) + L"," + std::to_wstring(edit.y),
                  L"--outputflags", L"tv", L"--outputformat", L"xml"},
                 kEnglish);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.out,
            "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n"
            "<ObjectInfo WindowText=\"r\xe9sum\xe9\" Value=\"r\xe9sum\xe9\"/>\r\n\r\n");
}

TEST_F(UiprobeCapture, NothingAtAnEmptyPlaceExitsThree) {
  // Far below and right of the fixture's window, on the bare desktop.
  const RunResult result = RunProgram(
      L"uiprobe",
      {L"--position", L"1200,950", L"--execute", L"cmd /c exit 0", L"--outputfile",
       (folder_ / L"none.txt").wstring()},
      kEnglish);
  EXPECT_EQ(result.exitCode, 3u);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_FALSE(std::filesystem::exists(folder_ / L"none.txt"));
}

TEST_F(UiprobeCapture, ExecuteSeesAllEighteenVariables) {
  const RunResult result =
      Uiprobe({L"--execute", L"cmd /c set VEK_", L"--outputflags", L"n", L"--outputformat",
               L"ini"});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.err, "");
  // The output follows the command.
  EXPECT_EQ(result.out, Expected(kButtonVariables) + "Name=Two\r\n\r\n");
}

TEST_F(UiprobeCapture, ExecuteExpandsTheVariablesAndTurnsSingleQuotesIntoDoubleOnes) {
  const RunResult result =
      Uiprobe({L"--execute", L"cmd /c echo '%VEK_NAME%' %VEK_NOT_SET%", L"--outputflags", L"h",
               L"--outputformat", L"vallines"});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.out, Expected("\"Two\" %VEK_NOT_SET%\r\n%HANDLE%\r\n\r\n"));
}

TEST_F(UiprobeCapture, FailingCommandExitsFourWithItsCodeAndNoOutput) {
  const std::wstring file = (folder_ / L"out.txt").wstring();
  const RunResult result = Uiprobe({L"--execute", L"cmd /c exit 5", L"--outputfile", file});
  EXPECT_EQ(result.exitCode, 4u);
  EXPECT_EQ(result.out, "Can't execute \"cmd /c exit 5\". %ERRORLEVEL% = 5\r\n");
  EXPECT_EQ(result.err, "");
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(UiprobeCapture, MissingProgramExitsFourWithTheLargestInteger) {
  const RunResult result = Uiprobe({L"--execute", L"no_such_program_here.exe 'x'"});
  EXPECT_EQ(result.exitCode, 4u);
  EXPECT_EQ(result.out,
            "Can't execute \"no_such_program_here.exe \"x\"\". %ERRORLEVEL% = 2147483647\r\n");
  EXPECT_EQ(result.err, "");
}
