// Live items over the fixture, in another process: its standard controls as
// Wine's accessibility layer shows them, its list view read row by row, and
// its tree window with objects of its own, walked through parents,
// children, valid children and neighbours, with all 27 properties. Where
// Wine's own objects take part, the tests pin what Wine does.

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "FakeAccessible.h"
#include "AccessibleTreeLayout.h"
#include "CodePage.h"
#include "FixtureLayout.h"
#include "ItemCompare.h"
#include "ItemInfo.h"
#include "ItemInfoNull.h"
#include "ItemNeighbours.h"
#include "TestSupport.h"
#include "TreeWindowTest.h"
#include "Utf.h"

namespace {

using Microsoft::WRL::ComPtr;
using namespace testsupport;
namespace acctree = fixture::acctree;

TPoint ToPoint(POINT point) { return FromWinPoint(point); }
TRect ToRect(const RECT& rect) { return FromWinRect(rect); }

std::string Ansi(const wchar_t* text) { return WideToAnsi(text); }

std::wstring RoleText(int32_t role) { return AnsiToWide(GetAccRoleText(role)); }
std::wstring StateText(int32_t state) { return AnsiToWide(GetAccStateText(state)); }

// A short label of an item for messages: its name and role id, or "null".
std::string Label(const ItemInfoPtr& item) {
  if (!item) return "nil";
  if (IsNullItemInfo(item)) return "null";
  return "\"" + Utf16ToUtf8(item->GetName()) + "\" role " + std::to_string(item->GetRoleId());
}

// The names of an item's neighbours left, top, right and bottom, kNone for
// the null item.
using NeighbourNames = std::array<std::wstring, 4>;
constexpr const wchar_t* kNone = L"(none)";

NeighbourNames NamesOfNeighbours(const ItemInfoPtr& item) {
  std::array<ItemInfoPtr, 4> sides;
  item->GetNeighbours(sides[0], sides[1], sides[2], sides[3]);
  NeighbourNames names;
  for (size_t side = 0; side < sides.size(); ++side) {
    names[side] = IsNullItemInfo(sides[side]) ? kNone : sides[side]->GetName();
  }
  return names;
}

// Finds items at the tree's nodes and the fixture's controls.
class LiveItemTest : public TreeWindowTest {
 protected:
  ItemInfoPtr ItemAt(POINT point) const { return ItemInfoFromPoint(ToPoint(point)); }
  ItemInfoPtr ItemAtNode(int node) const {
    return ItemAt(acctree::ScreenCentre(node, treeOrigin_));
  }
  TRect NodeRect(int node) const { return ToRect(acctree::ScreenRect(node, treeOrigin_)); }
  TRect ControlRect(int id) const { return ToRect(fixture_->ControlScreenRect(id)); }
};

using LiveItem_StandardControls = LiveItemTest;
using LiveItem_ListView = LiveItemTest;
using LiveItem_TreeProperties = LiveItemTest;
using LiveItem_TreeParents = LiveItemTest;
using LiveItem_TreeChildren = LiveItemTest;
using LiveItem_TreeNeighbours = LiveItemTest;

// --- Standard controls

TEST_F(LiveItem_StandardControls, EditAtAPoint_IsItsTextObjectWithTheWindowsProperties) {
  ASSERT_TRUE(TypeUnicode(L"abc"));
  ASSERT_TRUE(WaitUntil([&] { return fixture_->EditText() == L"abc"; }, 5s));
  const HWND edit = fixture_->Control(fixture::kEditId);
  const POINT point = fixture_->ControlCentre(fixture::kEditId);
  const ItemInfoPtr item = ItemAt(point);
  ASSERT_FALSE(IsNullItemInfo(item));

  EXPECT_EQ(item->GetRoleId(), ROLE_SYSTEM_TEXT);
  EXPECT_EQ(item->GetRole(), RoleText(ROLE_SYSTEM_TEXT));
  EXPECT_EQ(item->GetValue(), L"abc");
  EXPECT_EQ(item->GetHandle(), edit);
  EXPECT_EQ(item->GetText(), "abc");
  EXPECT_EQ(item->GetClassName(), "Edit");
  EXPECT_EQ(item->GetModuleName(), "fixture.exe");
  EXPECT_EQ(item->GetAccessible().ChildIdValue(), 0);
  // Wine reports the control's client area: without its border and its
  // scroll bar.
  RECT client{};
  ASSERT_TRUE(GetClientRect(edit, &client));
  POINT topLeft{client.left, client.top};
  POINT bottomRight{client.right, client.bottom};
  ASSERT_TRUE(ClientToScreen(edit, &topLeft) && ClientToScreen(edit, &bottomRight));
  const TRect rect = item->GetScreenRect();
  EXPECT_EQ(rect, (TRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}));
  EXPECT_EQ(item->GetInnerPoint(), (TPoint{point.x - rect.Left, point.y - rect.Top}));
  EXPECT_EQ(item->GetRootItem()->GetHandle(), fixture_->Window());
  EXPECT_EQ(item->GetChildCount(), 0);
  EXPECT_EQ(item->GetValidChildCount(), 0);
}

TEST_F(LiveItem_StandardControls, ButtonAtAPoint_IsItsClientObject) {
  for (int button = 1; button <= fixture::kButtonCount; ++button) {
    SCOPED_TRACE(button);
    const int id = fixture::ButtonId(button);
    const ItemInfoPtr item = ItemAt(fixture_->ControlCentre(id));
    ASSERT_FALSE(IsNullItemInfo(item));
    EXPECT_EQ(item->GetRoleId(), ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(item->GetHandle(), fixture_->Control(id));
    EXPECT_EQ(item->GetText(), Ansi(fixture::kButtonNames[button - 1]));
    EXPECT_EQ(item->GetClassName(), "Button");
    EXPECT_EQ(item->GetScreenRect(), ControlRect(id));
  }
  // Asking changes nothing on the screen.
  EXPECT_EQ(fixture_->ButtonCount(1), 0);
  EXPECT_EQ(fixture_->ButtonCount(2), 0);
}

// Wine's window object of a standard control is a stub that answers
// E_NOTIMPL to every getter: the control's parent chain ends one step
// above its client object, and the window's tree offers no children to
// search.
TEST_F(LiveItem_StandardControls, ParentChain_EndsAtTheControlsStubWindowObject) {
  const ItemInfoPtr button = ItemAt(fixture_->ControlCentre(fixture::kButtonOneId));
  ASSERT_FALSE(IsNullItemInfo(button));
  const ItemInfoPtr stub = button->GetParent();
  ASSERT_FALSE(IsNullItemInfo(stub));
  EXPECT_EQ(stub->GetHandle(), fixture_->Control(fixture::kButtonOneId));
  EXPECT_EQ(stub->GetRoleId(), -1);
  EXPECT_EQ(stub->GetName(), L"");
  EXPECT_EQ(stub->GetScreenRect(), TRect{});
  EXPECT_EQ(stub->GetChildCount(), 0);
  EXPECT_TRUE(IsNullItemInfo(stub->GetAccParent()));
  EXPECT_TRUE(IsNullItemInfo(stub->GetParent()));

  EXPECT_EQ(NamesOfNeighbours(button), (NeighbourNames{kNone, kNone, kNone, kNone}));
}

TEST_F(LiveItem_StandardControls, WindowItemOfAControl_HasWindowPropertiesOnly) {
  const HWND edit = fixture_->Control(fixture::kEditId);
  ASSERT_TRUE(fixture_->ClearEdit());
  const ItemInfoPtr item = ItemInfoFromWindow(edit);
  ASSERT_FALSE(IsNullItemInfo(item));
  EXPECT_EQ(item->GetHandle(), edit);
  EXPECT_EQ(item->GetClassName(), "Edit");
  EXPECT_EQ(item->GetModuleName(), "fixture.exe");
  EXPECT_NE(item->GetAccessible().Accessible.Get(), nullptr);
  EXPECT_EQ(item->GetRoleId(), -1);
  EXPECT_EQ(item->GetStateId(), -1);
  EXPECT_EQ(item->GetName(), L"");
  EXPECT_EQ(item->GetScreenRect(), TRect{});
  EXPECT_EQ(item->GetValidChildCount(), 0);
}

TEST_F(LiveItem_StandardControls, RootItem_IsTheFixturesWindowWithAStubObject) {
  const ItemInfoPtr root = ItemAt(fixture_->ControlCentre(fixture::kEditId))->GetRootItem();
  ASSERT_FALSE(IsNullItemInfo(root));
  EXPECT_EQ(root->GetHandle(), fixture_->Window());
  EXPECT_EQ(root->GetText(), Ansi(fixture::kWindowTitle));
  EXPECT_EQ(root->GetClassName(), Ansi(fixture::kWindowClass));
  // The stub knows no location, so root-window coordinates are screen
  // coordinates under Wine.
  EXPECT_EQ(root->GetScreenRect(), TRect{});
}

TEST_F(LiveItem_StandardControls, FixturesClient_OnlyTheTreesWindowObjectIsAValidChild) {
  const POINT margin = fixture_->ClientToScreenPoint({2, fixture::kWindowHeight - 40});
  const ItemInfoPtr client = ItemAt(margin);
  ASSERT_FALSE(IsNullItemInfo(client));
  EXPECT_EQ(client->GetRoleId(), ROLE_SYSTEM_CLIENT);
  EXPECT_EQ(client->GetName(), fixture::kWindowTitle);
  EXPECT_EQ(client->GetHandle(), fixture_->Window());
  // One window object per control; those of the standard controls are
  // stubs whose state cannot be read, so they are never valid.
  EXPECT_EQ(client->GetChildCount(), static_cast<int32_t>(std::size(fixture::kControls)));
  ASSERT_EQ(client->GetValidChildCount(), 1);
  const ItemInfoPtr tree = client->GetValidChild(0);
  EXPECT_EQ(tree->GetRoleId(), ROLE_SYSTEM_WINDOW);
  EXPECT_EQ(tree->GetHandle(), tree_);
  EXPECT_EQ(client->GetChild(0)->GetStateId(), -1);
  EXPECT_EQ(client->GetChild(0)->GetHandle(), fixture_->Control(fixture::kEditId));
}

TEST_F(LiveItem_StandardControls, Caption_HasNoObject) {
  const POINT clientOrigin = fixture_->ClientToScreenPoint({0, 0});
  const POINT caption{clientOrigin.x + 100, clientOrigin.y - 8};
  ASSERT_GT(caption.y, fixture::kWindowTop);
  EXPECT_TRUE(IsNullItemInfo(ItemAt(caption)));
}

TEST_F(LiveItem_StandardControls, NoWindowAtAll_GivesTheNullItem) {
  EXPECT_TRUE(IsNullItemInfo(ItemInfoFromWindow(nullptr)));
  const HWND window = fixture_->Window();
  ASSERT_TRUE(fixture_->Close());
  EXPECT_TRUE(IsNullItemInfo(ItemInfoFromWindow(window)));
}

// --- The list view

TEST_F(LiveItem_ListView, OwnObject_IsTheListViewsClientAndKeepsItsDescription) {
  const HWND listView = fixture_->Control(fixture::kListViewId);
  const ItemInfoPtr item = ItemAt(fixture_->ControlCentre(fixture::kListViewId));
  ASSERT_FALSE(IsNullItemInfo(item));
  EXPECT_EQ(item->GetHandle(), listView);
  EXPECT_EQ(item->GetClassName(), "SysListView32");
  EXPECT_EQ(item->GetAccessible().ChildIdValue(), 0);
  // Item index -1 reads nothing, so no row text replaces it.
  EXPECT_EQ(item->GetDescription(), L"");
  // Wine lists the header control's stub window object as its only child,
  // and no rows.
  EXPECT_EQ(item->GetChildCount(), 1);
  EXPECT_EQ(item->GetChild(0)->GetClassName(), "SysHeader32");
  EXPECT_EQ(item->GetValidChildCount(), 0);
}

// Wine does not expose list-view rows; an object that names the fixture's
// list view as its window stands in for a row's object, so that the rows
// are read from the fixture's process as for a real row.
TEST_F(LiveItem_ListView, Row_DescriptionIsHeadersAndCellsFromTheOtherProcess) {
  const auto rowObject = MakeComObject<fakes::FakeAccessible>();
  rowObject->Window = fixture_->Control(fixture::kListViewId);
  for (size_t row = 0; row < fixture::kListViewRows.size(); ++row) {
    rowObject->Elements[static_cast<LONG>(row + 1)].Description = fakes::FakeText::Ok(L"");
  }
  for (size_t row = 0; row < fixture::kListViewRows.size(); ++row) {
    SCOPED_TRACE(row);
    std::wstring expected;
    for (size_t column = 0; column < fixture::kListViewColumns.size(); ++column) {
      if (column > 0) expected += L"; ";
      expected += fixture::kListViewColumns[column];
      expected += L": ";
      expected += fixture::kListViewRows[row][column];
    }
    const ItemInfoPtr item = ItemInfoFromAccessible(TAcc(rowObject, static_cast<LONG>(row + 1)));
    EXPECT_EQ(item->GetDescription(), expected);
  }
}

// --- The tree window: properties

TEST_F(LiveItem_TreeProperties, CentreKey_AnswersAll27Operations) {
  const int node = acctree::kCentreKeyNode;
  const acctree::AccessibleNode& spec = acctree::Node(node);
  const POINT point = acctree::ScreenCentre(node, treeOrigin_);
  const ItemInfoPtr item = ItemAt(point);
  ASSERT_FALSE(IsNullItemInfo(item));

  const TAcc acc = item->GetAccessible();
  ASSERT_NE(acc.Accessible.Get(), nullptr);
  EXPECT_EQ(acc.ChildIdValue(), acctree::ChildIdOf(node));
  EXPECT_EQ(item->GetHandle(), tree_);
  EXPECT_EQ(item->GetRootItem()->GetHandle(), fixture_->Window());
  EXPECT_EQ(item->GetModuleName(), "fixture.exe");
  EXPECT_EQ(item->GetText(), Ansi(fixture::Control(fixture::kAccessibleTreeId).text));
  EXPECT_EQ(item->GetClassName(), Ansi(fixture::kAccessibleTreeClass));
  const TRect rect = NodeRect(node);
  EXPECT_EQ(item->GetScreenRect(), rect);
  EXPECT_EQ(item->GetClientRect(), RectAtOrigin(rect));
  EXPECT_EQ(item->GetInnerPoint(), (TPoint{point.x - rect.Left, point.y - rect.Top}));
  item->SetInnerPoint({1, 2});
  EXPECT_EQ(item->GetInnerPoint(), (TPoint{1, 2}));

  EXPECT_EQ(NamesOfNeighbours(item), (NeighbourNames{L"4", L"2", L"6", L"8"}));

  // A simple element has no children.
  EXPECT_TRUE(IsNullItemInfo(item->GetChild(0)));
  EXPECT_EQ(item->GetChildCount(), 0);
  EXPECT_TRUE(IsNullItemInfo(item->GetValidChild(0)));
  EXPECT_EQ(item->GetValidChildCount(), 0);

  // Its parent is the object that answers for it.
  const ItemInfoPtr parent = item->GetParent();
  EXPECT_EQ(parent->GetName(), L"Keypad");
  EXPECT_EQ(parent->GetAccessible().ChildIdValue(), 0);
  EXPECT_EQ(item->GetAccParent()->GetName(), L"Keypad");

  EXPECT_EQ(item->GetDefaultAction(), spec.defaultAction);
  EXPECT_EQ(item->GetDescription(), spec.description);
  EXPECT_EQ(item->GetHelpTopicId(), spec.helpTopic);
  EXPECT_EQ(item->GetShortcut(), spec.shortcut);
  EXPECT_EQ(item->GetName(), spec.name);
  EXPECT_EQ(item->GetRoleId(), spec.role);
  EXPECT_EQ(item->GetStateId(), spec.state);
  EXPECT_EQ(item->GetRole(), RoleText(spec.role));
  EXPECT_EQ(item->GetState(), StateText(spec.state));
  EXPECT_FALSE(item->GetState().empty());
  EXPECT_EQ(item->GetValue(), L"");
}

TEST_F(LiveItem_TreeProperties, EveryVisibleElement_ReportsTheLayoutsValues) {
  for (int node = 0; node < acctree::kNodeCount; ++node) {
    if (acctree::IsObject(node) || acctree::IsInvisible(node)) continue;
    const acctree::AccessibleNode& spec = acctree::Node(node);
    SCOPED_TRACE(Utf16ToUtf8(spec.name));
    const ItemInfoPtr item = ItemAtNode(node);
    ASSERT_FALSE(IsNullItemInfo(item));
    EXPECT_EQ(item->GetAccessible().ChildIdValue(), acctree::ChildIdOf(node));
    EXPECT_EQ(item->GetName(), spec.name);
    EXPECT_EQ(item->GetValue(), spec.value);
    EXPECT_EQ(item->GetDescription(), spec.description);
    EXPECT_EQ(item->GetShortcut(), spec.shortcut);
    EXPECT_EQ(item->GetDefaultAction(), spec.defaultAction);
    EXPECT_EQ(item->GetHelpTopicId(), spec.helpTopic);
    EXPECT_EQ(item->GetRoleId(), spec.role);
    EXPECT_EQ(item->GetStateId(), spec.state);
    EXPECT_EQ(item->GetScreenRect(), NodeRect(node));
  }
}

TEST_F(LiveItem_TreeProperties, InvisibleElementsPlace_GivesItsGroupWithThePointInside) {
  const POINT point = acctree::ScreenCentre(acctree::kInvisibleNode, treeOrigin_);
  const ItemInfoPtr item = ItemAt(point);
  ASSERT_FALSE(IsNullItemInfo(item));
  EXPECT_EQ(item->GetName(), L"Letters");
  EXPECT_EQ(item->GetAccessible().ChildIdValue(), 0);
  const TRect rect = NodeRect(acctree::kLettersNode);
  EXPECT_EQ(item->GetInnerPoint(), (TPoint{point.x - rect.Left, point.y - rect.Top}));
}

TEST_F(LiveItem_TreeProperties, TwoItemsAtOnePoint_AreTheSameItem) {
  const ItemInfoPtr first = ItemAtNode(acctree::kCentreKeyNode);
  const ItemInfoPtr second = ItemAtNode(acctree::kCentreKeyNode);
  ASSERT_NE(first.Get(), second.Get());
  EXPECT_TRUE(IsSameItem(first, second));
  EXPECT_FALSE(IsSameItem(first, ItemAtNode(acctree::FindNode(L"4"))));
}

TEST_F(LiveItem_TreeProperties, RectInRootWindow_IsTheScreenRectUnderWine) {
  const ItemInfoPtr item = ItemAtNode(acctree::kCentreKeyNode);
  EXPECT_EQ(GetRectInRootWindow(item.Get()), NodeRect(acctree::kCentreKeyNode));
}

TEST_F(LiveItem_TreeProperties, WindowItemOfTheTree_IsItsWindowObject) {
  const ItemInfoPtr item = ItemInfoFromWindow(tree_);
  ASSERT_FALSE(IsNullItemInfo(item));
  EXPECT_EQ(item->GetRoleId(), ROLE_SYSTEM_WINDOW);
  EXPECT_EQ(item->GetName(), acctree::Node(acctree::kWindowNode).name);
  EXPECT_EQ(item->GetScreenRect(), NodeRect(acctree::kWindowNode));
  EXPECT_EQ(item->GetHandle(), tree_);
  ASSERT_EQ(item->GetChildCount(), 1);
  EXPECT_EQ(item->GetValidChildCount(), 1);
  EXPECT_EQ(item->GetChild(0)->GetRoleId(), ROLE_SYSTEM_CLIENT);
}

// --- The tree window: parents

TEST_F(LiveItem_TreeParents, FromAKey_UpToTheFixturesStubWindowObject) {
  ItemInfoPtr item = ItemAtNode(acctree::kCentreKeyNode);
  std::vector<std::string> chain;
  for (int step = 0; step < 10 && !IsNullItemInfo(item); ++step) {
    chain.push_back(Label(item));
    item = item->GetParent();
  }
  const std::vector<std::string> expected = {
      "\"5\" role 43",
      "\"Keypad\" role 20",
      "\"Accessible tree\" role 10",
      "\"Accessible tree\" role 9",
      // Wine's client object of the fixture's window, then its stub.
      "\"" + Utf16ToUtf8(fixture::kWindowTitle) + "\" role 10",
      "\"\" role -1",
  };
  EXPECT_EQ(chain, expected);
}

TEST_F(LiveItem_TreeParents, EveryObject_LeadsToTheTreeWindowAndTheFixture) {
  ItemInfoPtr item = ItemAtNode(acctree::kStatusNode);
  for (int step = 0; step < 3; ++step) {
    SCOPED_TRACE(Label(item));
    EXPECT_EQ(item->GetHandle(), tree_);
    EXPECT_EQ(item->GetRootItem()->GetHandle(), fixture_->Window());
    item = item->GetParent();
  }
  // The object above the tree's window object is the fixture window's.
  EXPECT_EQ(item->GetHandle(), fixture_->Window());
}

// --- The tree window: children

TEST_F(LiveItem_TreeChildren, Client_HasThreeGroupObjectsAndOneElement) {
  const ItemInfoPtr client = ItemAtNode(acctree::kStatusNode)->GetParent();
  ASSERT_EQ(client->GetRoleId(), ROLE_SYSTEM_CLIENT);
  ASSERT_EQ(client->GetChildCount(), acctree::ChildCount(acctree::kClientNode));
  for (LONG position = 1; position <= acctree::ChildCount(acctree::kClientNode); ++position) {
    const int node = acctree::ChildAt(acctree::kClientNode, position);
    SCOPED_TRACE(Utf16ToUtf8(acctree::Node(node).name));
    const ItemInfoPtr child = client->GetChild(position - 1);
    EXPECT_EQ(child->GetName(), acctree::Node(node).name);
    EXPECT_EQ(child->GetAccessible().ChildIdValue(), acctree::ChildIdOf(node));
    EXPECT_EQ(child->GetScreenRect(), NodeRect(node));
  }
  EXPECT_EQ(client->GetValidChildCount(), 4);
}

TEST_F(LiveItem_TreeChildren, Keypad_HasNineValidKeysInOrder) {
  const ItemInfoPtr keypad = ItemAtNode(acctree::kCentreKeyNode)->GetParent();
  ASSERT_EQ(keypad->GetChildCount(), 9);
  EXPECT_EQ(keypad->GetValidChildCount(), 9);
  for (int32_t index = 0; index < 9; ++index) {
    const std::wstring digit = std::to_wstring(index + 1);
    EXPECT_EQ(keypad->GetChild(index)->GetName(), digit);
    EXPECT_EQ(keypad->GetValidChild(index)->GetName(), digit);
    EXPECT_EQ(keypad->GetChild(index)->GetAccessible().ChildIdValue(), index + 1);
  }
  EXPECT_TRUE(IsNullItemInfo(keypad->GetChild(9)));
  EXPECT_TRUE(IsNullItemInfo(keypad->GetValidChild(9)));
}

TEST_F(LiveItem_TreeChildren, Letters_InvisibleGammaIsAChildButNotAValidOne) {
  const ItemInfoPtr letters = ItemAtNode(acctree::FindNode(L"Alpha"))->GetParent();
  ASSERT_EQ(letters->GetName(), L"Letters");
  ComPtr<IItemChildLock> lock;
  ASSERT_EQ(letters.As(&lock), S_OK);
  EXPECT_EQ(lock->LockChildren(), 4);
  EXPECT_EQ(letters->GetChild(2)->GetName(), L"Gamma");
  EXPECT_FALSE(IsValidChild(letters->GetChild(2).Get()));
  EXPECT_EQ(letters->GetValidChildCount(), 3);
  EXPECT_EQ(letters->GetValidChild(0)->GetName(), L"Alpha");
  EXPECT_EQ(letters->GetValidChild(1)->GetName(), L"Beta");
  EXPECT_EQ(letters->GetValidChild(2)->GetName(), L"Delta");
  lock->UnlockChildren();
}

// --- The tree window: neighbours

TEST_F(LiveItem_TreeNeighbours, EachNode_HasTheNearestValidSiblingOnEachSide) {
  const struct {
    const wchar_t* node;
    NeighbourNames neighbours;
  } cases[] = {
      {L"1", {kNone, kNone, L"2", L"4"}},
      {L"5", {L"4", L"2", L"6", L"8"}},
      {L"9", {L"8", L"6", kNone, kNone}},
      {L"Red", {kNone, kNone, L"Green", L"Blue"}},
      // Gamma below Alpha is invisible: no neighbour there.
      {L"Alpha", {kNone, kNone, L"Beta", kNone}},
      {L"Delta", {kNone, L"Beta", kNone, kNone}},
      // The first of the two groups just above wins.
      {L"Status", {kNone, L"Colours", kNone, kNone}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(Utf16ToUtf8(row.node));
    EXPECT_EQ(NamesOfNeighbours(ItemAtNode(acctree::FindNode(row.node))), row.neighbours);
  }
}

TEST_F(LiveItem_TreeNeighbours, Group_HasTheGroupsBelowIt) {
  const ItemInfoPtr keypad = ItemAtNode(acctree::kCentreKeyNode)->GetParent();
  ASSERT_EQ(keypad->GetName(), L"Keypad");
  EXPECT_EQ(NamesOfNeighbours(keypad), (NeighbourNames{kNone, kNone, kNone, L"Colours"}));
}

}  // namespace
