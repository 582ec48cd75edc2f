// uiprobe against the fixture's tree window while it misbehaves on purpose
// (HostileTreeLayout.h): a window object that lists itself among its
// children while its client object names no parent, texts of a megabyte,
// and child counts of 2^31-1 with few real children. Capture by position
// with the default output and with --createpath: each run must end on its
// own within kRunBound, with exit code 0, nothing on standard error (so no
// Wine fault and no debugger) and exactly what the rules give. The time of
// each run is recorded with its test ("uiprobe_ms").

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "CodePage.h"
#include "HostileTreeLayout.h"
#include "KeyFivePath.h"
#include "TestSupport.h"
#include "WrittenText.h"

namespace {

using namespace testsupport;
namespace acctree = fixture::acctree;
using acctree::Hostility;

// Each run ends within this, several times what the slowest of them
// (--createpath over megabyte texts) takes on a busy machine, and below the
// test's own timeout.
constexpr std::chrono::seconds kRunBound{60};

// The default output of the key, each property that is not empty as its
// key line, its value line and an empty line, and the line end that the
// console adds. X and Y are the tree window's client origin on the screen.
constexpr char kKeyBlocks[] =
    "Module:\r\nfixture.exe\r\n\r\nHandle:\r\n%HANDLE%\r\n\r\nName:\r\n5\r\n\r\n"
    "Role:\r\nPUSHBUTTON\r\n\r\nState:\r\nDEFAULT;FOCUSABLE\r\n\r\n"
    "Text:\r\nAccessible tree\r\n\r\nClass:\r\nFixtureAccTree\r\n\r\n"
    "Shortcut:\r\nAlt+5\r\n\r\nScreenRect:\r\n%X+70%,%Y+60%,%X+120%,%Y+90%\r\n\r\n"
    "ScreenPoint:\r\n%X+98%,%Y+77%\r\n\r\nAction:\r\nPress\r\n\r\n"
    "Description:\r\nTypes the digit 5\r\n\r\nHelpIndex:\r\n105\r\n\r\n"
    "RoleFull:\r\n%PUSHBUTTON%\r\n\r\nStateFull:\r\n%DEFAULT%;%FOCUSABLE%;\r\n\r\n\r\n";

// The same where the key serves texts of a megabyte: its name, its value
// (empty, so left out, in the honest tree) and its description.
constexpr char kLongTextKeyBlocks[] =
    "Module:\r\nfixture.exe\r\n\r\nHandle:\r\n%HANDLE%\r\n\r\nName:\r\n%NAME%\r\n\r\n"
    "Role:\r\nPUSHBUTTON\r\n\r\nState:\r\nDEFAULT;FOCUSABLE\r\n\r\n"
    "Text:\r\nAccessible tree\r\n\r\nClass:\r\nFixtureAccTree\r\n\r\n"
    "Shortcut:\r\nAlt+5\r\n\r\nScreenRect:\r\n%X+70%,%Y+60%,%X+120%,%Y+90%\r\n\r\n"
    "ScreenPoint:\r\n%X+98%,%Y+77%\r\n\r\nValue:\r\n%VALUE%\r\n\r\nAction:\r\nPress\r\n\r\n"
    "Description:\r\n%DESCRIPTION%\r\n\r\nHelpIndex:\r\n105\r\n\r\n"
    "RoleFull:\r\n%PUSHBUTTON%\r\n\r\nStateFull:\r\n%DEFAULT%;%FOCUSABLE%;\r\n\r\n\r\n";

// The lines of the honest path that name the key where it serves texts of
// a megabyte.
const std::vector<std::wstring> kLongTextKeyLines = {
    LR"(ObjectSearchInfo Name="%NAME%_PUSHBUTTON_{GUID}" TargetId="%NAME%_PUSHBUTTON_4")",
    LR"(ObjectSearchInfo/Object[4] Name="%NAME%" Role="PUSHBUTTON" State="DEFAULT;FOCUSABLE" )"
    LR"(Value="%VALUE%" DefaultAction="Press" HelpTopicId="105" ShortCut="Alt+5" )"
    LR"(Description="%DESCRIPTION%" ParentId="5" Id="%NAME%_PUSHBUTTON_4" )"
    LR"(PrevId="Keypad_GROUPING_3")",
};

// The path of the key when its tree has a cycle: the client object names
// no parent and no parent is found for it in the window's tree, so the
// walk up from the key ends at the keypad, which stands first, its own
// parent, against the fresh record, and measures every rectangle from its
// own corner (5, 5 in the tree window). Its state 0 writes none.
const std::vector<std::wstring> kCyclePath = {
    LR"(ObjectSearchInfo Name="5_PUSHBUTTON_{GUID}" TargetId="5_PUSHBUTTON_1")",
    LR"(ObjectSearchInfo/Object[0] Module="fixture.exe" Class="FixtureAccTree" Name="Keypad" )"
    LR"(Role="GROUPING" WindowText="Accessible tree" HelpTopicId="100" ShortCut="Alt+K" )"
    LR"(Description="Digits in three rows" Id="Keypad_GROUPING_0")",
    LR"(ObjectSearchInfo/Object[0]/RootRect Left="0" Top="0" Right="180" Bottom="130")",
    LR"(ObjectSearchInfo/Object[0]/Childs Count="9")",
    LR"(ObjectSearchInfo/Object[1] Name="5" Role="PUSHBUTTON" State="DEFAULT;FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="105" ShortCut="Alt+5" Description="Types the digit 5" )"
    LR"(ParentId="5" Id="5_PUSHBUTTON_1" PrevId="Keypad_GROUPING_0")",
    LR"(ObjectSearchInfo/Object[1]/InnerPoint X="28" Y="17")",
    LR"(ObjectSearchInfo/Object[1]/RootRect Left="65" Top="55" Right="115" Bottom="85")",
    LR"(ObjectSearchInfo/Object[1]/Neigbours)",
    LR"(ObjectSearchInfo/Object[1]/Neigbours/Left Name="4" Role="PUSHBUTTON" State="FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="104" ShortCut="Alt+4" Description="Types the digit 4" )"
    LR"(ParentId="4")",
    LR"(ObjectSearchInfo/Object[1]/Neigbours/Left/RootRect Left="10" Top="55" Right="60" )"
    LR"(Bottom="85")",
    LR"(ObjectSearchInfo/Object[1]/Neigbours/Top Name="2" Role="PUSHBUTTON" State="FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="102" ShortCut="Alt+2" Description="Types the digit 2" )"
    LR"(ParentId="2")",
    LR"(ObjectSearchInfo/Object[1]/Neigbours/Top/RootRect Left="65" Top="20" Right="115" )"
    LR"(Bottom="50")",
    LR"(ObjectSearchInfo/Object[1]/Neigbours/Right Name="6" Role="PUSHBUTTON" State="FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="106" ShortCut="Alt+6" Description="Types the digit 6" )"
    LR"(ParentId="6")",
    LR"(ObjectSearchInfo/Object[1]/Neigbours/Right/RootRect Left="120" Top="55" Right="170" )"
    LR"(Bottom="85")",
    LR"(ObjectSearchInfo/Object[1]/Neigbours/Bottom Name="8" Role="PUSHBUTTON" State="FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="108" ShortCut="Alt+8" Description="Types the digit 8" )"
    LR"(ParentId="8")",
    LR"(ObjectSearchInfo/Object[1]/Neigbours/Bottom/RootRect Left="65" Top="90" Right="115" )"
    LR"(Bottom="120")",
};

class HostileTree : public keypath::KeyFiveTest, public testing::WithParamInterface<Hostility> {
 protected:
  std::vector<std::wstring> FixtureArguments() const override {
    return {acctree::kHostileOption, acctree::HostilityText(GetParam())};
  }

  // uiprobe at the key with these arguments; the run has ended on its own
  // with nothing on standard error.
  RunResult Uiprobe(std::vector<std::wstring> arguments) {
    arguments.insert(arguments.begin(), {L"--position", Position()});
    RunOptions options{.environment = {{L"LANG", L"C"}}};
    options.timeout = kRunBound;
    const auto start = std::chrono::steady_clock::now();
    RunResult run = RunProgram(L"uiprobe", arguments, options);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    RecordProperty("uiprobe_ms", static_cast<int>(took.count()));
    std::cout << "uiprobe took " << took.count() << " ms\n";
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.err, "");
    return run;
  }

  // The texts of a megabyte that the key serves in the long-texts mode.
  static written::WideValues LongTexts() {
    const auto text = [](const wchar_t* acctree::AccessibleNode::*field) {
      return acctree::ServedText(Hostility::kLongTexts, acctree::kCentreKeyNode, field);
    };
    return {{L"NAME", text(&acctree::AccessibleNode::name)},
            {L"VALUE", text(&acctree::AccessibleNode::value)},
            {L"DESCRIPTION", text(&acctree::AccessibleNode::description)}};
  }

  std::string KeyBlocks() const {
    written::Values values = {{"HANDLE", written::HandleText(tree_)},
                              {"PUSHBUTTON", written::PlatformRoleText(ROLE_SYSTEM_PUSHBUTTON)},
                              {"DEFAULT", written::PlatformStateText(STATE_SYSTEM_DEFAULT)},
                              {"FOCUSABLE", written::PlatformStateText(STATE_SYSTEM_FOCUSABLE)}};
    if (GetParam() != Hostility::kLongTexts) {
      return written::Filled(kKeyBlocks, values, treeOrigin_);
    }
    for (const auto& [name, text] : LongTexts()) values[WideToAnsi(name)] = WideToAnsi(text);
    return written::Filled(kLongTextKeyBlocks, values, treeOrigin_);
  }

  // What --createpath must write for the key in this mode: the honest
  // tree's path but for the texts of a megabyte and for the cycle; the
  // reported child counts that are too large change nothing.
  std::vector<std::wstring> ExpectedPath() const {
    switch (GetParam()) {
      case Hostility::kCycle:
        return kCyclePath;
      case Hostility::kLongTexts:
        return keypath::WithLines(keypath::ExpectedKeyPath(fixture_->Window()),
                                  written::Filled(kLongTextKeyLines, LongTexts()));
      default:
        return keypath::ExpectedKeyPath(fixture_->Window());
    }
  }
};

std::string ModeName(const testing::TestParamInfo<Hostility>& info) {
  std::string name;
  for (const wchar_t* c = acctree::HostilityText(info.param); *c != L'\0'; ++c) {
    if (*c != L'-') name += static_cast<char>(*c);
  }
  return name;
}

}  // namespace

TEST_P(HostileTree, PositionOnKeyFive_DefaultOutputIsTheKeysProperties) {
  const RunResult run = Uiprobe({});

  EXPECT_EQ(run.exitCode, 0u);
  const std::string expected = KeyBlocks();
  // Megabytes of text are not printed whole; only where they part.
  const size_t from = static_cast<size_t>(
      std::mismatch(expected.begin(), expected.end(), run.out.begin(), run.out.end()).first -
      expected.begin());
  const size_t shown = from > 100 ? from - 100 : 0;
  EXPECT_TRUE(run.out == expected)
      << run.out.size() << " bytes for " << expected.size() << ", the first difference at "
      << from << ":\n" << run.out.substr(shown, 300) << "\nfor\n" << expected.substr(shown, 300);
}

TEST_P(HostileTree, PositionOnKeyFive_CreatePathWritesTheKeysPath) {
  const TempFolder folder;
  const std::filesystem::path file = folder / L"p.xml";

  const RunResult run = Uiprobe({L"--createpath", file.wstring()});

  ASSERT_EQ(run.exitCode, 0u) << run.out.substr(0, 2000);
  ExpectLines(FlattenFile(file), ExpectedPath());
}

INSTANTIATE_TEST_SUITE_P(Modes, HostileTree,
                         testing::Values(Hostility::kCycle, Hostility::kLongTexts,
                                         Hostility::kHugeChildCounts),
                         ModeName);
