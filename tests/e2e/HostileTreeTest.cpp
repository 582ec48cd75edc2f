// uiprobe against the fixture's tree window while it misbehaves on purpose
// (HostileTreeLayout.h): a window object that lists itself among its
// children while its client object names no parent, texts of a megabyte,
// and child counts of 2^31-1 with few real children. Capture by position
// with the default output and with --createpath: each run must end on its
// own within kRunBound, with exit code 0, nothing on standard error (so no
// Wine fault and no debugger) and exactly what the rules give. The time of
// each run is recorded with its test ("uiprobe_ms").

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "Accessibility.h"
#include "AccessibilityNames.h"
#include "CodePage.h"
#include "FixtureLayout.h"
#include "HostileTreeLayout.h"
#include "KeyFivePath.h"
#include "TestSupport.h"

namespace {

using namespace testsupport;
namespace acctree = fixture::acctree;
using acctree::AccessibleNode;
using acctree::Hostility;
using keypath::Attribute;

// Each run ends within this, several times what the slowest of them
// (--createpath over megabyte texts) takes on a busy machine, and below the
// test's own timeout.
constexpr std::chrono::seconds kRunBound{60};

std::string Decimal(long long value) { return std::to_string(value); }

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

  std::string Served(const wchar_t* AccessibleNode::*field) const {
    return WideToAnsi(acctree::ServedText(GetParam(), acctree::kCentreKeyNode, field));
  }

  // The default output of the key: each property that is not empty, in
  // output order, as its key line, its value line and an empty line; the
  // console ends the text with a line end.
  std::string KeyBlocks() const {
    const AccessibleNode& key = acctree::Node(acctree::kCentreKeyNode);
    const RECT rect = acctree::ScreenRect(acctree::kCentreKeyNode, treeOrigin_);
    const std::pair<std::string, std::string> properties[] = {
        {"Module", "fixture.exe"},
        {"Handle", Decimal(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(tree_)))},
        {"Name", Served(&AccessibleNode::name)},
        {"Role", WideToAnsi(RoleToName(key.role))},
        {"State", WideToAnsi(StateBitsToNames(key.state))},
        {"Text", WideToAnsi(fixture::Control(fixture::kAccessibleTreeId).text)},
        {"Class", WideToAnsi(fixture::kAccessibleTreeClass)},
        {"Shortcut", Served(&AccessibleNode::shortcut)},
        {"ScreenRect", Decimal(rect.left) + "," + Decimal(rect.top) + "," + Decimal(rect.right) +
                           "," + Decimal(rect.bottom)},
        {"ScreenPoint", Decimal(point_.x) + "," + Decimal(point_.y)},
        {"Value", Served(&AccessibleNode::value)},
        {"Action", Served(&AccessibleNode::defaultAction)},
        {"Description", Served(&AccessibleNode::description)},
        {"HelpIndex", Decimal(key.helpTopic)},
        {"RoleFull", GetAccRoleText(key.role)},
        {"StateFull", GetAccStateText(key.state)},
    };
    std::string text;
    for (const auto& [name, value] : properties) {
      if (!value.empty()) text += name + ":\r\n" + value + "\r\n\r\n";
    }
    return text + "\r\n";
  }

  // The path of the key when its tree has a cycle: the client object
  // names no parent and no parent is found for it in the window's tree,
  // so the walk up from the key ends at the keypad, which stands first,
  // its own parent, and measures every rectangle from its own corner.
  std::vector<std::wstring> CyclePath() const {
    const Hostility mode = GetParam();
    const int keypad = acctree::kKeypadNode;
    const int key = acctree::kCentreKeyNode;
    const std::wstring object = L"ObjectSearchInfo/Object";
    const RECT keypadRect = keypath::NodeRect(keypad);
    const auto fromKeypad = [&](int node) {
      RECT rect = keypath::NodeRect(node);
      OffsetRect(&rect, -keypadRect.left, -keypadRect.top);
      return rect;
    };
    const std::wstring keypadId = keypath::Id(mode, keypad, 0);
    std::vector<std::wstring> lines = {
        L"ObjectSearchInfo" + Attribute(L"Name", L"5_PUSHBUTTON_{GUID}") +
            Attribute(L"TargetId", keypath::Id(mode, key, 1)),
        // Against the fresh record, which has no texts and role -1; the
        // keypad's state 0 writes none.
        object + L"[0]" + Attribute(L"Module", L"fixture.exe") +
            Attribute(L"Class", fixture::kAccessibleTreeClass) +
            Attribute(L"Name", acctree::Node(keypad).name) +
            Attribute(L"Role", RoleToName(acctree::Node(keypad).role)) +
            Attribute(L"WindowText", fixture::Control(fixture::kAccessibleTreeId).text) +
            keypath::OwnAttributes(mode, keypad) + Attribute(L"Id", keypadId),
        keypath::RectLine(object + L"[0]", fromKeypad(keypad)),
        object + L"[0]/Childs" + Attribute(L"Count", acctree::ChildCount(keypad)),
        object + L"[1]" + keypath::NodeAttributes(mode, key, keypad) +
            Attribute(L"Id", keypath::Id(mode, key, 1)) + Attribute(L"PrevId", keypadId),
    };
    const RECT keyOnScreen = acctree::ScreenRect(key, treeOrigin_);
    lines.push_back(object + L"[1]/InnerPoint" + Attribute(L"X", point_.x - keyOnScreen.left) +
                    Attribute(L"Y", point_.y - keyOnScreen.top));
    lines.push_back(keypath::RectLine(object + L"[1]", fromKeypad(key)));
    lines.push_back(object + L"[1]/Neigbours");
    const std::pair<const wchar_t*, const wchar_t*> sides[] = {
        {L"Left", L"4"}, {L"Top", L"2"}, {L"Right", L"6"}, {L"Bottom", L"8"}};
    for (const auto& [side, name] : sides) {
      const int neighbour = acctree::FindNode(name);
      const std::wstring path = object + L"[1]/Neigbours/" + side;
      lines.push_back(path + keypath::NodeAttributes(mode, neighbour, keypad));
      lines.push_back(keypath::RectLine(path, fromKeypad(neighbour)));
    }
    return lines;
  }

  // What --createpath must write for the key in this mode: the honest
  // tree's path with the texts this tree serves, but for the cycle.
  std::vector<std::wstring> ExpectedPath() const {
    if (GetParam() == Hostility::kCycle) return CyclePath();
    return keypath::ExpectedKeyPath({fixture_->Window(), treeOrigin_, point_, GetParam()});
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
