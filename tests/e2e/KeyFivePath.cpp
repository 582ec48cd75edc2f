#include "KeyFivePath.h"

#include <objbase.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <gtest/gtest.h>


#include "AccessibilityNames.h"
#include "FixtureLayout.h"

namespace keypath {

namespace acctree = fixture::acctree;
using acctree::AccessibleNode;
using acctree::Hostility;

namespace {

std::wstring Text(Hostility mode, int node, const wchar_t* AccessibleNode::*field) {
  return acctree::ServedText(mode, node, field);
}

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

std::wstring OwnAttributes(Hostility mode, int node) {
  const AccessibleNode& spec = acctree::Node(node);
  std::wstring text;
  const auto addText = [&](const wchar_t* name, const wchar_t* AccessibleNode::*field) {
    const std::wstring value = Text(mode, node, field);
    if (!value.empty()) text += Attribute(name, value);
  };
  addText(L"Value", &AccessibleNode::value);
  addText(L"DefaultAction", &AccessibleNode::defaultAction);
  if (spec.helpTopic != acctree::kNoHelpTopic) text += Attribute(L"HelpTopicId", spec.helpTopic);
  addText(L"ShortCut", &AccessibleNode::shortcut);
  addText(L"Description", &AccessibleNode::description);
  if (acctree::ChildIdOf(node) != 0) text += Attribute(L"ParentId", acctree::ChildIdOf(node));
  return text;
}

std::wstring Attribute(const wchar_t* name, const std::wstring& value) {
  return std::wstring(L" ") + name + L"=\"" + value + L"\"";
}

std::wstring Attribute(const wchar_t* name, long value) {
  return Attribute(name, std::to_wstring(value));
}

std::wstring RectLine(const std::wstring& path, const RECT& rect) {
  return path + L"/RootRect" + Attribute(L"Left", rect.left) + Attribute(L"Top", rect.top) +
         Attribute(L"Right", rect.right) + Attribute(L"Bottom", rect.bottom);
}

RECT NodeRect(int node) {
  const fixture::ClientRect& tree = fixture::Control(fixture::kAccessibleTreeId).rect;
  return acctree::ScreenRect(node, POINT{tree.left, tree.top});
}

std::wstring NodeAttributes(Hostility mode, int node, int reference) {
  const AccessibleNode& spec = acctree::Node(node);
  const AccessibleNode& above = acctree::Node(reference);
  std::wstring text;
  const std::wstring name = Text(mode, node, &AccessibleNode::name);
  if (name != Text(mode, reference, &AccessibleNode::name)) text += Attribute(L"Name", name);
  if (spec.role != above.role) text += Attribute(L"Role", RoleToName(spec.role));
  if (spec.state != above.state && spec.state != 0) {
    text += Attribute(L"State", StateBitsToNames(spec.state));
  }
  return text + OwnAttributes(mode, node);
}

std::wstring Id(Hostility mode, int node, int index) {
  return Text(mode, node, &AccessibleNode::name) + L"_" +
         RoleToName(acctree::Node(node).role) + L"_" + std::to_wstring(index);
}

LONG FixtureClientState(HWND fixtureWindow) {
  Microsoft::WRL::ComPtr<IAccessible> client;
  if (AccessibleObjectFromWindow(fixtureWindow, static_cast<DWORD>(OBJID_CLIENT),
                                 __uuidof(IAccessible),
                                 reinterpret_cast<void**>(client.GetAddressOf())) != S_OK) {
    return -1;
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT state;
  VariantInit(&state);
  const HRESULT result = client->get_accState(self, &state);
  const LONG value = result == S_OK && state.vt == VT_I4 ? state.lVal : -1;
  VariantClear(&state);
  return value;
}

std::vector<std::wstring> ExpectedKeyPath(const KeyScene& scene) {
  const Hostility mode = scene.mode;
  const int window = acctree::kWindowNode;
  const int client = acctree::kClientNode;
  const int keypad = acctree::kKeypadNode;
  const int key = acctree::kCentreKeyNode;
  const std::wstring title = fixture::kWindowTitle;
  const std::wstring treeClass = fixture::kAccessibleTreeClass;
  const std::wstring treeText = fixture::Control(fixture::kAccessibleTreeId).text;
  RECT clientArea{};
  GetClientRect(scene.fixtureWindow, &clientArea);
  const std::wstring fixtureId = title + L"_CLIENT_0";
  const std::wstring object = L"ObjectSearchInfo/Object";
  const auto level = [&](int i) { return object + L"[" + std::to_wstring(i) + L"]"; };

  // The tree's own objects keep the fixture's client state, so the first
  // of them writes none.
  const LONG fixtureState = FixtureClientState(scene.fixtureWindow);
  EXPECT_EQ(fixtureState, acctree::Node(window).state);

  std::vector<std::wstring> lines = {
      L"ObjectSearchInfo" +
          Attribute(L"Name", Text(mode, key, &AccessibleNode::name) + L"_PUSHBUTTON_{GUID}") +
          Attribute(L"TargetId", Id(mode, key, 4)),
      // Wine's client object of the fixture's window: no value, action,
      // help topic, shortcut or description.
      level(0) + Attribute(L"Module", L"fixture.exe") +
          Attribute(L"Class", fixture::kWindowClass) + Attribute(L"Name", title) +
          Attribute(L"Role", L"CLIENT") + Attribute(L"State", StateBitsToNames(fixtureState)) +
          Attribute(L"WindowText", title) + Attribute(L"Id", fixtureId),
      RectLine(level(0), clientArea),
      level(0) + L"/Childs" + Attribute(L"Count", 1),
      level(1) + Attribute(L"Class", treeClass) +
          Attribute(L"Name", Text(mode, window, &AccessibleNode::name)) +
          Attribute(L"Role", RoleToName(acctree::Node(window).role)) +
          Attribute(L"WindowText", treeText) + OwnAttributes(mode, window) +
          Attribute(L"Id", Id(mode, window, 1)) + Attribute(L"PrevId", fixtureId),
      RectLine(level(1), NodeRect(window)),
      level(1) + L"/Childs" + Attribute(L"Count", acctree::ChildCount(window)),
      level(2) + NodeAttributes(mode, client, window) + Attribute(L"Id", Id(mode, client, 2)) +
          Attribute(L"PrevId", Id(mode, window, 1)),
      RectLine(level(2), NodeRect(client)),
      level(2) + L"/Childs" + Attribute(L"Count", acctree::ChildCount(client)),
      level(3) + NodeAttributes(mode, keypad, client) + Attribute(L"Id", Id(mode, keypad, 3)) +
          Attribute(L"PrevId", Id(mode, client, 2)),
      RectLine(level(3), NodeRect(keypad)),
      level(3) + L"/Childs" + Attribute(L"Count", acctree::ChildCount(keypad)),
      // Colours and Letters lie equally near below the keypad; the first
      // of them counts.
      level(3) + L"/Neigbours",
      level(3) + L"/Neigbours/Bottom" + NodeAttributes(mode, acctree::kColoursNode, client),
      RectLine(level(3) + L"/Neigbours/Bottom", NodeRect(acctree::kColoursNode)),
  };
  const RECT keyOnScreen = acctree::ScreenRect(key, scene.treeOrigin);
  lines.push_back(level(4) + NodeAttributes(mode, key, keypad) + Attribute(L"Id", Id(mode, key, 4)) +
                  Attribute(L"PrevId", Id(mode, keypad, 3)));
  lines.push_back(level(4) + L"/InnerPoint" + Attribute(L"X", scene.point.x - keyOnScreen.left) +
                  Attribute(L"Y", scene.point.y - keyOnScreen.top));
  lines.push_back(RectLine(level(4), NodeRect(key)));
  lines.push_back(level(4) + L"/Neigbours");
  const std::pair<const wchar_t*, const wchar_t*> sides[] = {
      {L"Left", L"4"}, {L"Top", L"2"}, {L"Right", L"6"}, {L"Bottom", L"8"}};
  for (const auto& [side, name] : sides) {
    const int neighbour = acctree::FindNode(name);
    const std::wstring path = level(4) + L"/Neigbours/" + side;
    lines.push_back(path + NodeAttributes(mode, neighbour, keypad));
    lines.push_back(RectLine(path, NodeRect(neighbour)));
  }
  return lines;
}

}  // namespace keypath
