// The neighbour search over items with known rectangles, and the rectangle
// in root-window coordinates that it compares.

#include "ItemNeighbours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "FakeItem.h"
#include "ItemInfoNull.h"

namespace {

// The names of the neighbours found on the left, top, right and bottom.
using Sides = std::array<std::wstring, 4>;

Sides Find(IItemInfo* item) {
  ItemInfoPtr left, top, right, bottom;
  FindNeighbours(item, left, top, right, bottom);
  return {NameOf(left), NameOf(top), NameOf(right), NameOf(bottom)};
}

const Sides kNoNeighbours = {L"null", L"null", L"null", L"null"};

ULONG ReferenceCount(IItemInfo* object) {
  object->AddRef();
  return object->Release();
}

// A sibling of the item under test, placed by its rectangle in its root
// window, which is the family's unless `otherRoot` names another one's
// rectangle.
struct Sibling {
  std::wstring name;
  TRect inRoot;
  int32_t stateId = 0;
  std::optional<TRect> otherRoot = std::nullopt;
};

}  // namespace

TEST(ItemNeighbours_RangesOverlap, ClosedRangesInEitherOrder_OverlapWhenTheyShareAValue) {
  const struct {
    const char* name;
    int32_t a1, a2, b1, b2;
    bool overlap;
  } cases[] = {
      {"touching", 0, 10, 10, 20, true},
      {"touching, the other first", 10, 20, 0, 10, true},
      {"bounds in either order", 10, 0, 20, 5, true},
      {"bounds in either order, apart", 9, 0, 20, 10, false},
      {"inside the other", 2, 3, 0, 10, true},
      {"around the other", 0, 10, 2, 3, true},
      {"apart, before", 0, 9, 10, 20, false},
      {"apart, after", 21, 30, 10, 20, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RangesOverlap(c.a1, c.a2, c.b1, c.b2), c.overlap) << c.name;
  }
}

TEST(ItemNeighbours_RectInRootWindow, ScreenRect_IsMovedByTheRootsTopLeft) {
  const FakeItemPtr root = FakeItem::Make();
  root->values.screenRect = {100, 50, 900, 650};
  const FakeItemPtr item = FakeItem::Make();
  item->values.screenRect = {110, 70, 160, 90};
  item->root = root;
  EXPECT_EQ(GetRectInRootWindow(item.Get()), (TRect{10, 20, 60, 40}));
}

TEST(ItemNeighbours_RectInRootWindow, NullRoot_LeavesTheScreenRect) {
  const FakeItemPtr item = FakeItem::Make();
  item->values.screenRect = {110, 70, 160, 90};
  EXPECT_EQ(GetRectInRootWindow(item.Get()), (TRect{110, 70, 160, 90}));
}

TEST(ItemNeighbours_Find, NullParent_GivesTheNullItemOnAllSides) {
  const FakeItemPtr item = FakeItem::Make();
  EXPECT_EQ(Find(item.Get()), kNoNeighbours);
  EXPECT_EQ(item->Calls(ItemOp::GetScreenRect), 0);
}

TEST(ItemNeighbours_Find, ParentWithOneValidChild_StopsWithoutLookingAtIt) {
  FakeFamily family({100, 100, 900, 700});
  const FakeItemPtr item = family.Add(L"item", {10, 10, 20, 20});
  EXPECT_EQ(Find(item.Get()), kNoNeighbours);
  EXPECT_EQ(family.parent->Calls(ItemOp::GetValidChild), 0);
}

TEST(ItemNeighbours_Find, ParentWithoutValidChildren_GivesTheNullItemOnAllSides) {
  FakeFamily family({100, 100, 900, 700});
  const FakeItemPtr item = FakeItem::Make();
  item->parent = family.parent;
  item->values.screenRect = {110, 110, 120, 120};
  EXPECT_EQ(Find(item.Get()), kNoNeighbours);
}

// The item at (100, 100, 200, 200) among its siblings, in valid-child
// order: on each side the nearest sibling whose extent across that side
// overlaps the item's, touching allowed; the earlier of equally near ones;
// none that overlaps the item, is invisible or has the item's rectangle.
TEST(ItemNeighbours_Find, NearestSiblingOnEachSide_InRootWindowCoordinates) {
  const struct {
    const char* name;
    std::vector<Sibling> siblings;  // "item" is the item under test
    Sides expected;                 // left, top, right, bottom
  } cases[] = {
      {"siblings on each side",
       {{L"above", {100, 0, 200, 50}}, {L"left", {0, 100, 50, 200}}, {L"item", {100, 100, 200, 200}},
        {L"right", {250, 100, 300, 200}}, {L"below", {100, 250, 200, 300}}},
       {L"left", L"above", L"right", L"below"}},
      {"nearer sibling later in order wins",
       {{L"item", {100, 100, 200, 200}}, {L"far", {0, 100, 20, 200}}, {L"near", {50, 100, 90, 200}}},
       {L"near", L"null", L"null", L"null"}},
      {"of equally near siblings the first in valid order wins",
       {{L"item", {100, 100, 200, 200}}, {L"first", {50, 100, 90, 140}},
        {L"second", {50, 150, 90, 200}}},
       {L"first", L"null", L"null", L"null"}},
      {"an invisible sibling is no neighbour",
       {{L"item", {100, 100, 200, 200}}, {L"visible", {0, 100, 50, 200}},
        {L"hidden", {60, 100, 90, 200}, kInvisibleStateBit}},
       {L"visible", L"null", L"null", L"null"}},
      {"a sibling touching the left edge is at distance zero",
       {{L"item", {100, 100, 200, 200}}, {L"gap", {0, 100, 99, 200}},
        {L"touching", {50, 150, 100, 160}}},
       {L"touching", L"null", L"null", L"null"}},
      {"a sibling touching only at a corner is left and top neighbour",
       {{L"item", {100, 100, 200, 200}}, {L"corner", {50, 50, 100, 100}}},
       {L"corner", L"corner", L"null", L"null"}},
      {"a sibling with the item's rectangle is never a neighbour",
       {{L"twin", {100, 100, 200, 200}}, {L"item", {100, 100, 200, 200}},
        {L"right", {300, 100, 400, 200}}},
       {L"null", L"null", L"right", L"null"}},
      {"siblings above but beside the item are not its top neighbour",
       {{L"item", {100, 100, 200, 200}}, {L"aboveLeft", {0, 0, 99, 50}},
        {L"aboveRight", {201, 0, 300, 50}}},
       kNoNeighbours},
      {"an overlapping sibling is no neighbour on any side",
       {{L"item", {100, 100, 200, 200}}, {L"overlapping", {150, 150, 250, 250}}},
       kNoNeighbours},
      // The same place in its own window, which lies elsewhere on the screen.
      {"siblings under another root are compared in their own root's coordinates",
       {{L"item", {100, 100, 200, 200}},
        {L"moved", {20, 100, 80, 200}, 0, TRect{1000, 0, 1800, 600}}},
       {L"moved", L"null", L"null", L"null"}},
  };
  for (const auto& c : cases) {
    FakeFamily family({100, 100, 900, 700});
    FakeItemPtr item;
    for (const Sibling& sibling : c.siblings) {
      const FakeItemPtr added = family.Add(sibling.name, sibling.inRoot, sibling.stateId);
      if (sibling.otherRoot) {
        added->root = FakeItem::Make({.screenRect = *sibling.otherRoot});
        added->values.screenRect =
            MoveRect(sibling.inRoot, sibling.otherRoot->Left, sibling.otherRoot->Top);
      }
      if (sibling.name == L"item") item = added;
    }
    EXPECT_EQ(Find(item.Get()), c.expected) << c.name;
  }
}

TEST(ItemNeighbours_Get, Item_IsHeldThroughoutTheSearchAndLetGoAfter) {
  FakeFamily family({100, 100, 900, 700});
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"right", {250, 100, 300, 200});
  const ULONG before = ReferenceCount(item.Get());
  // The fewest references the item had whenever the search asked it.
  ULONG fewest = ULONG_MAX;
  item->onCall = [&](ItemOp) { fewest = std::min(fewest, ReferenceCount(item.Get())); };
  ItemInfoPtr left, top, right, bottom;
  GetItemNeighbours(item.Get(), left, top, right, bottom);
  item->onCall = nullptr;
  EXPECT_EQ(fewest, before + 1);
  EXPECT_EQ(ReferenceCount(item.Get()), before);
  EXPECT_EQ(NameOf(right), L"right");
  EXPECT_EQ(NameOf(left), L"null");
}

TEST(ItemNeighbours_Get, NilItem_GivesTheNullItemOnAllSides) {
  ItemInfoPtr left, top, right, bottom;
  GetItemNeighbours(nullptr, left, top, right, bottom);
  EXPECT_EQ((Sides{NameOf(left), NameOf(top), NameOf(right), NameOf(bottom)}), kNoNeighbours);
}
