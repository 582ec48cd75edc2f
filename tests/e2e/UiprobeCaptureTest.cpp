// uiprobe --position on the fixture's controls: every output format to the
// console and to a file, nothing at an empty place, and --execute with the
// VEK_* variables. Wine shows a push button as its client object (role
// CLIENT, state FOCUSABLE while the edit has the focus), and these tests
// pin that.

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Accessibility.h"
#include "CodePage.h"
#include "FixtureLayout.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}};

constexpr int kButton = 2;

std::string Decimal(long long value) { return std::to_string(value); }

// One property as the text formats show it.
struct Property {
  std::string key;
  std::string value;
};

// The layouts of the text formats, written out once more.
std::string Formatted(const std::vector<Property>& properties, const std::string& format) {
  std::string text;
  for (const Property& p : properties) {
    if (format == "ini") {
      text += p.key + "=" + p.value + "\r\n";
    } else if (format == "conf") {
      text += p.key + " \"" + p.value + "\"\r\n";
    } else if (format == "vallines") {
      text += p.value + "\r\n";
    } else if (format == "valtabs") {
      text += p.value + "\t";
    } else if (format == "valcsv") {
      text += p.value + ";";
    } else {
      text += p.key + ":\r\n" + p.value + "\r\n\r\n";
    }
  }
  return text;
}

class UiprobeCapture : public testing::Test {
 protected:
  void SetUp() override {
    // The edit holds the focus, so the button is only focusable.
    ASSERT_TRUE(fixture_.Focus());
    const int id = fixture::ButtonId(kButton);
    point_ = fixture_.ControlCentre(id);
    rect_ = fixture_.ControlScreenRect(id);
    handle_ = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(fixture_.Control(id)));
    position_ = std::to_wstring(point_.x) + L"," + std::to_wstring(point_.y);
  }

  RunResult Uiprobe(std::vector<std::wstring> arguments) {
    arguments.insert(arguments.begin(), {L"--position", position_});
    return RunProgram(L"uiprobe", arguments, kEnglish);
  }

  std::string Rect() const {
    return Decimal(rect_.left) + "," + Decimal(rect_.top) + "," + Decimal(rect_.right) + "," +
           Decimal(rect_.bottom);
  }

  // The button's non-empty properties in output order, as the platform and
  // the fixture's layout give them.
  std::vector<Property> ButtonProperties() const {
    const std::string name = WideToAnsi(fixture::kButtonNames[kButton - 1]);
    return {{"Module", "fixture.exe"},
            {"Handle", Decimal(handle_)},
            {"Name", name},
            {"Role", "CLIENT"},
            {"State", "FOCUSABLE"},
            {"Text", name},
            {"Class", WideToAnsi(fixture::Control(fixture::ButtonId(kButton)).className)},
            {"ScreenRect", Rect()},
            {"ScreenPoint", Decimal(point_.x) + "," + Decimal(point_.y)},
            {"RoleFull", GetAccRoleText(ROLE_SYSTEM_CLIENT)},
            {"StateFull", GetAccStateText(STATE_SYSTEM_FOCUSABLE)}};
  }

  // The object XML of the button with every letter, declared in `encoding`.
  std::string ButtonXml(const std::string& encoding) const {
    const std::string name = WideToAnsi(fixture::kButtonNames[kButton - 1]);
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n" +
           "<ObjectInfo Module=\"fixture.exe\" Handle=\"" +
           Decimal(static_cast<int32_t>(handle_)) + "\" Name=\"" + name +
           "\" Role=\"CLIENT\" State=\"FOCUSABLE\" WindowText=\"" + name +
           "\" Class=\"Button\" ShortCut=\"\" Value=\"\" DefaultAction=\"\" Description=\"\" "
           "HelpTopicId=\"-1\" RoleFull=\"" + GetAccRoleText(ROLE_SYSTEM_CLIENT) +
           "\" StateFull=\"" + GetAccStateText(STATE_SYSTEM_FOCUSABLE) + "\">\n" +
           "  <ScreenRect Left=\"" + Decimal(rect_.left) + "\" Top=\"" + Decimal(rect_.top) +
           "\" Right=\"" + Decimal(rect_.right) + "\" Bottom=\"" + Decimal(rect_.bottom) +
           "\"/>\n" + "  <ScreenPoint X=\"" + Decimal(point_.x) + "\" Y=\"" +
           Decimal(point_.y) + "\"/>\n" + "</ObjectInfo>\n";
  }

  FixtureProcess fixture_;
  TempFolder folder_;
  POINT point_{};
  RECT rect_{};
  uint32_t handle_ = 0;
  std::wstring position_;
};

const char* const kTextFormats[] = {"", "ini", "conf", "vallines", "valtabs", "valcsv", "INI"};

}  // namespace

TEST_F(UiprobeCapture, EachTextFormatToTheConsole) {
  for (const char* format : kTextFormats) {
    SCOPED_TRACE(testing::Message() << "format \"" << format << "\"");
    std::vector<std::wstring> arguments;
    if (*format != '\0') arguments = {L"--outputformat", AnsiToWide(format)};
    const RunResult result = Uiprobe(arguments);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out, Formatted(ButtonProperties(), format) + "\r\n");
    EXPECT_EQ(result.err, "");
  }
}

TEST_F(UiprobeCapture, EachTextFormatToAFile) {
  const std::wstring file = (folder_ / L"out.txt").wstring();
  for (const char* format : kTextFormats) {
    SCOPED_TRACE(testing::Message() << "format \"" << format << "\"");
    std::vector<std::wstring> arguments = {L"--outputfile", file};
    if (*format != '\0') arguments.insert(arguments.end(), {L"--outputformat", AnsiToWide(format)});
    const RunResult result = Uiprobe(arguments);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_EQ(ReadBytesFromFile(file), "\xEF\xBB\xBF" + Formatted(ButtonProperties(), format));
  }
}

TEST_F(UiprobeCapture, FlagsChooseThePropertiesInTableOrder) {
  const RunResult result = Uiprobe({L"--outputflags", L"pnh", L"--outputformat", L"valcsv"});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.out, Decimal(handle_) + ";Two;" + Decimal(point_.x) + "," +
                            Decimal(point_.y) + ";\r\n");
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
  EXPECT_EQ(WithLfLineEnds(ReadBytesFromFile(file)), ButtonXml("utf-8"));
}

TEST_F(UiprobeCapture, ObjectXmlToTheConsole) {
  const RunResult result = Uiprobe({L"--outputformat", L"xml"});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(WithLfLineEnds(result.out), ButtonXml("windows-1252") + "\n");
  // Each line of the console form ends with CR LF.
  EXPECT_EQ(result.out.find("\n"), result.out.find("\r\n") + 1);
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
  std::map<std::string, std::string> variables;
  size_t start = 0;
  std::string rest;
  for (size_t end; (end = result.out.find("\r\n", start)) != std::string::npos;
       start = end + 2) {
    const std::string line = result.out.substr(start, end - start);
    if (!line.starts_with("VEK_")) {
      rest = result.out.substr(start);
      break;
    }
    const size_t equals = line.find('=');
    ASSERT_NE(equals, std::string::npos) << line;
    variables[line.substr(0, equals)] = line.substr(equals + 1);
  }
  std::map<std::string, std::string> expected;
  for (const Property& p : ButtonProperties()) {
    std::string name = "VEK_";
    for (char c : p.key) name += static_cast<char>(toupper(static_cast<unsigned char>(c)));
    expected[name] = p.value;
  }
  for (const char* empty : {"VEK_SHORTCUT", "VEK_VALUE", "VEK_ACTION", "VEK_DESCRIPTION"}) {
    expected[empty] = "";
  }
  expected["VEK_HELPINDEX"] = "-1";
  expected["VEK_FRIENDLYNAME"] = "Two_fixture_CLIENT";
  expected["VEK_SELKEY"] = "ctrl";
  ASSERT_EQ(expected.size(), 18u);
  EXPECT_EQ(variables, expected);
  // The output follows the command.
  EXPECT_EQ(rest, "Name=Two\r\n\r\n");
}

TEST_F(UiprobeCapture, ExecuteExpandsTheVariablesAndTurnsSingleQuotesIntoDoubleOnes) {
  const RunResult result =
      Uiprobe({L"--execute", L"cmd /c echo '%VEK_NAME%' %VEK_NOT_SET%", L"--outputflags", L"h",
               L"--outputformat", L"vallines"});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.out, "\"Two\" %VEK_NOT_SET%\r\n" + Decimal(handle_) + "\r\n\r\n");
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
