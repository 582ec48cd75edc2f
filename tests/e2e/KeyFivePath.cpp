#include "KeyFivePath.h"

#include <objbase.h>

#include "AccessibleTreeLayout.h"
#include "FixtureLayout.h"
#include "WrittenText.h"

namespace keypath {

namespace acctree = fixture::acctree;

namespace {

// The tree window lies at (440, 170) in the fixture's client area, and the
// key was captured 3 pixels right of and 2 below its centre. Each level
// carries the texts that changed from the level above; the keypad's
// neighbour below is Colours, which lies as near as Letters but comes
// first.
const std::vector<std::wstring> kKeyPath = {
    LR"(ObjectSearchInfo Name="5_PUSHBUTTON_{GUID}" TargetId="5_PUSHBUTTON_4")",
    LR"(ObjectSearchInfo/Object[0] Module="fixture.exe" Class="DesktopToolsFixture" )"
    LR"(Name="Fixture" Role="CLIENT" State="FOCUSABLE" WindowText="Fixture" )"
    LR"(Id="Fixture_CLIENT_0")",
    LR"(ObjectSearchInfo/Object[0]/RootRect Left="0" Top="0" Right="%RIGHT%" Bottom="%BOTTOM%")",
    LR"(ObjectSearchInfo/Object[0]/Childs Count="1")",
    LR"(ObjectSearchInfo/Object[1] Class="FixtureAccTree" Name="Accessible tree" Role="WINDOW" )"
    LR"(WindowText="Accessible tree" Id="Accessible tree_WINDOW_1" PrevId="Fixture_CLIENT_0")",
    LR"(ObjectSearchInfo/Object[1]/RootRect Left="440" Top="170" Right="630" Bottom="440")",
    LR"(ObjectSearchInfo/Object[1]/Childs Count="1")",
    LR"(ObjectSearchInfo/Object[2] Role="CLIENT" Id="Accessible tree_CLIENT_2" )"
    LR"(PrevId="Accessible tree_WINDOW_1")",
    LR"(ObjectSearchInfo/Object[2]/RootRect Left="440" Top="170" Right="630" Bottom="440")",
    LR"(ObjectSearchInfo/Object[2]/Childs Count="4")",
    LR"(ObjectSearchInfo/Object[3] Name="Keypad" Role="GROUPING" HelpTopicId="100" )"
    LR"(ShortCut="Alt+K" Description="Digits in three rows" Id="Keypad_GROUPING_3" )"
    LR"(PrevId="Accessible tree_CLIENT_2")",
    LR"(ObjectSearchInfo/Object[3]/RootRect Left="445" Top="175" Right="625" Bottom="305")",
    LR"(ObjectSearchInfo/Object[3]/Childs Count="9")",
    LR"(ObjectSearchInfo/Object[3]/Neigbours)",
    LR"(ObjectSearchInfo/Object[3]/Neigbours/Bottom Name="Colours" Role="GROUPING" )"
    LR"(HelpTopicId="300" Description="Four swatches")",
    LR"(ObjectSearchInfo/Object[3]/Neigbours/Bottom/RootRect Left="445" Top="310" Right="533" )"
    LR"(Bottom="410")",
    LR"(ObjectSearchInfo/Object[4] Name="5" Role="PUSHBUTTON" State="DEFAULT;FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="105" ShortCut="Alt+5" Description="Types the digit 5" )"
    LR"(ParentId="5" Id="5_PUSHBUTTON_4" PrevId="Keypad_GROUPING_3")",
    LR"(ObjectSearchInfo/Object[4]/InnerPoint X="28" Y="17")",
    LR"(ObjectSearchInfo/Object[4]/RootRect Left="510" Top="230" Right="560" Bottom="260")",
    LR"(ObjectSearchInfo/Object[4]/Neigbours)",
    LR"(ObjectSearchInfo/Object[4]/Neigbours/Left Name="4" Role="PUSHBUTTON" State="FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="104" ShortCut="Alt+4" Description="Types the digit 4" )"
    LR"(ParentId="4")",
    LR"(ObjectSearchInfo/Object[4]/Neigbours/Left/RootRect Left="455" Top="230" Right="505" )"
    LR"(Bottom="260")",
    LR"(ObjectSearchInfo/Object[4]/Neigbours/Top Name="2" Role="PUSHBUTTON" State="FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="102" ShortCut="Alt+2" Description="Types the digit 2" )"
    LR"(ParentId="2")",
    LR"(ObjectSearchInfo/Object[4]/Neigbours/Top/RootRect Left="510" Top="195" Right="560" )"
    LR"(Bottom="225")",
    LR"(ObjectSearchInfo/Object[4]/Neigbours/Right Name="6" Role="PUSHBUTTON" State="FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="106" ShortCut="Alt+6" Description="Types the digit 6" )"
    LR"(ParentId="6")",
    LR"(ObjectSearchInfo/Object[4]/Neigbours/Right/RootRect Left="565" Top="230" Right="615" )"
    LR"(Bottom="260")",
    LR"(ObjectSearchInfo/Object[4]/Neigbours/Bottom Name="8" Role="PUSHBUTTON" State="FOCUSABLE" )"
    LR"(DefaultAction="Press" HelpTopicId="108" ShortCut="Alt+8" Description="Types the digit 8" )"
    LR"(ParentId="8")",
    LR"(ObjectSearchInfo/Object[4]/Neigbours/Bottom/RootRect Left="510" Top="265" Right="560" )"
    LR"(Bottom="295")",
};

std::wstring ElementOf(const std::wstring& line) { return line.substr(0, line.find(L' ')); }

}  // namespace

void KeyFiveTest::SetUp() {
  ASSERT_TRUE(apartment_.Joined());
  fixture_ = std::make_unique<testsupport::FixtureProcess>(FixtureArguments());
  tree_ = fixture_->Control(fixture::kAccessibleTreeId);
  ASSERT_NE(tree_, nullptr);
  ASSERT_TRUE(ClientToScreen(tree_, &treeOrigin_));
  const POINT centre = acctree::ScreenCentre(acctree::kCentreKeyNode, treeOrigin_);
  point_ = {centre.x + 3, centre.y + 2};
}

void KeyFiveTest::TearDown() {
  fixture_.reset();
}

std::wstring KeyFiveTest::Position() const {
  return std::to_wstring(point_.x) + L"," + std::to_wstring(point_.y);
}

std::vector<std::wstring> ExpectedKeyPath(HWND fixtureWindow) {
  RECT client{};
  GetClientRect(fixtureWindow, &client);
  return written::Filled(kKeyPath, {{L"RIGHT", std::to_wstring(client.right)},
                                    {L"BOTTOM", std::to_wstring(client.bottom)}});
}

std::vector<std::wstring> WithLines(std::vector<std::wstring> lines,
                                    const std::vector<std::wstring>& changes) {
  for (const std::wstring& change : changes) {
    for (std::wstring& line : lines) {
      if (ElementOf(line) == ElementOf(change)) line = change;
    }
  }
  return lines;
}

}  // namespace keypath
