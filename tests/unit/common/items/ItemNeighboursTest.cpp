// The neighbour search over items with known rectangles, and the rectangle
// in root-window coordinates that it compares.

#include "ItemNeighbours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "FakeItem.h"
#include "ItemInfoNull.h"

namespace {

// A parent with a root window at (100, 100) and the children it lists as
// valid, each with its screen rectangle; the item under test is one of them.
struct Family {
  FakeItemPtr root = FakeItem::Make();
  FakeItemPtr parent = FakeItem::Make();

  Family() {
    root->values.screenRect = {100, 100, 900, 700};
    parent->root = root;
  }

  // A child at the rectangle given in root-window coordinates.
  FakeItemPtr Add(const std::wstring& name, TRect inRoot) {
    FakeItemPtr child = FakeItem::Make();
    child->values.name = name;
    child->values.screenRect = MoveRect(inRoot, 100, 100);
    child->root = root;
    child->parent = parent;
    parent->AddChild(child);
    return child;
  }
};

struct Neighbours {
  ItemInfoPtr left, top, right, bottom;
};

Neighbours Find(IItemInfo* item) {
  Neighbours found;
  FindNeighbours(item, found.left, found.top, found.right, found.bottom);
  return found;
}

ULONG ReferenceCount(IItemInfo* object) {
  object->AddRef();
  return object->Release();
}

// The name of a neighbour, "null" for the null item, "nil" for none.
std::wstring NameOf(const ItemInfoPtr& item) {
  if (!item) return L"nil";
  if (IsNullItemInfo(item)) return L"null";
  return item->GetName();
}

}  // namespace

TEST(ItemNeighbours_RangesOverlap, TouchingRanges_Overlap) {
  EXPECT_TRUE(RangesOverlap(0, 10, 10, 20));
  EXPECT_TRUE(RangesOverlap(10, 20, 0, 10));
}

TEST(ItemNeighbours_RangesOverlap, BoundsInEitherOrder_AreSortedFirst) {
  EXPECT_TRUE(RangesOverlap(10, 0, 20, 5));
  EXPECT_FALSE(RangesOverlap(9, 0, 20, 10));
}

TEST(ItemNeighbours_RangesOverlap, RangeInsideTheOther_Overlaps) {
  EXPECT_TRUE(RangesOverlap(2, 3, 0, 10));
  EXPECT_TRUE(RangesOverlap(0, 10, 2, 3));
}

TEST(ItemNeighbours_RangesOverlap, SeparateRanges_DoNotOverlap) {
  EXPECT_FALSE(RangesOverlap(0, 9, 10, 20));
  EXPECT_FALSE(RangesOverlap(21, 30, 10, 20));
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
  const Neighbours found = Find(item.Get());
  EXPECT_TRUE(IsNullItemInfo(found.left));
  EXPECT_TRUE(IsNullItemInfo(found.top));
  EXPECT_TRUE(IsNullItemInfo(found.right));
  EXPECT_TRUE(IsNullItemInfo(found.bottom));
  EXPECT_EQ(item->Calls(ItemOp::GetScreenRect), 0);
}

TEST(ItemNeighbours_Find, ParentWithOneValidChild_StopsWithoutLookingAtIt) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {10, 10, 20, 20});
  const Neighbours found = Find(item.Get());
  EXPECT_TRUE(IsNullItemInfo(found.left));
  EXPECT_TRUE(IsNullItemInfo(found.top));
  EXPECT_TRUE(IsNullItemInfo(found.right));
  EXPECT_TRUE(IsNullItemInfo(found.bottom));
  EXPECT_EQ(family.parent->Calls(ItemOp::GetValidChild), 0);
}

TEST(ItemNeighbours_Find, ParentWithoutValidChildren_GivesTheNullItemOnAllSides) {
  Family family;
  const FakeItemPtr item = FakeItem::Make();
  item->parent = family.parent;
  item->values.screenRect = {110, 110, 120, 120};
  const Neighbours found = Find(item.Get());
  EXPECT_EQ(NameOf(found.left), L"null");
  EXPECT_EQ(NameOf(found.top), L"null");
  EXPECT_EQ(NameOf(found.right), L"null");
  EXPECT_EQ(NameOf(found.bottom), L"null");
}

TEST(ItemNeighbours_Find, SiblingsOnEachSide_AreFoundOnTheirSides) {
  Family family;
  family.Add(L"above", {100, 0, 200, 50});
  family.Add(L"left", {0, 100, 50, 200});
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"right", {250, 100, 300, 200});
  family.Add(L"below", {100, 250, 200, 300});
  const Neighbours found = Find(item.Get());
  EXPECT_EQ(NameOf(found.left), L"left");
  EXPECT_EQ(NameOf(found.top), L"above");
  EXPECT_EQ(NameOf(found.right), L"right");
  EXPECT_EQ(NameOf(found.bottom), L"below");
}

TEST(ItemNeighbours_Find, NearerSiblingLaterInOrder_Wins) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"far", {0, 100, 20, 200});
  family.Add(L"near", {50, 100, 90, 200});
  EXPECT_EQ(NameOf(Find(item.Get()).left), L"near");
}

TEST(ItemNeighbours_Find, EquallyNearSiblings_FirstInValidOrderWins) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"first", {50, 100, 90, 140});
  family.Add(L"second", {50, 150, 90, 200});
  EXPECT_EQ(NameOf(Find(item.Get()).left), L"first");
}

TEST(ItemNeighbours_Find, InvisibleSibling_IsNoNeighbour) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"visible", {0, 100, 50, 200});
  const FakeItemPtr hidden = FakeItem::Make();
  hidden->values.name = L"hidden";
  hidden->values.stateId = kInvisibleStateBit;
  hidden->values.screenRect = MoveRect(TRect{60, 100, 90, 200}, 100, 100);
  hidden->root = family.root;
  family.parent->AddChild(hidden);
  EXPECT_EQ(NameOf(Find(item.Get()).left), L"visible");
}

TEST(ItemNeighbours_Find, SiblingTouchingTheLeftEdge_IsTheLeftNeighbourAtDistanceZero) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"gap", {0, 100, 99, 200});
  family.Add(L"touching", {50, 150, 100, 160});
  EXPECT_EQ(NameOf(Find(item.Get()).left), L"touching");
}

TEST(ItemNeighbours_Find, SiblingTouchingOnlyAtACorner_IsLeftAndTopNeighbour) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"corner", {50, 50, 100, 100});
  const Neighbours found = Find(item.Get());
  EXPECT_EQ(NameOf(found.left), L"corner");
  EXPECT_EQ(NameOf(found.top), L"corner");
  EXPECT_EQ(NameOf(found.right), L"null");
  EXPECT_EQ(NameOf(found.bottom), L"null");
}

TEST(ItemNeighbours_Find, SiblingWithTheItemsRectangle_IsNeverANeighbour) {
  Family family;
  family.Add(L"twin", {100, 100, 200, 200});
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"right", {300, 100, 400, 200});
  const Neighbours found = Find(item.Get());
  EXPECT_EQ(NameOf(found.left), L"null");
  EXPECT_EQ(NameOf(found.top), L"null");
  EXPECT_EQ(NameOf(found.right), L"right");
  EXPECT_EQ(NameOf(found.bottom), L"null");
}

TEST(ItemNeighbours_Find, SiblingAboveButBesideTheItem_IsNotTheTopNeighbour) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"aboveLeft", {0, 0, 99, 50});
  family.Add(L"aboveRight", {201, 0, 300, 50});
  EXPECT_EQ(NameOf(Find(item.Get()).top), L"null");
}

TEST(ItemNeighbours_Find, OverlappingSibling_IsNoNeighbourOnAnySide) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"overlapping", {150, 150, 250, 250});
  const Neighbours found = Find(item.Get());
  EXPECT_EQ(NameOf(found.left), L"null");
  EXPECT_EQ(NameOf(found.top), L"null");
  EXPECT_EQ(NameOf(found.right), L"null");
  EXPECT_EQ(NameOf(found.bottom), L"null");
}

TEST(ItemNeighbours_Find, SiblingsUnderAnotherRoot_AreComparedInTheirOwnRootsCoordinates) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  // The same place in its own window, which lies elsewhere on the screen.
  const FakeItemPtr otherRoot = FakeItem::Make();
  otherRoot->values.screenRect = {1000, 0, 1800, 600};
  const FakeItemPtr moved = FakeItem::Make();
  moved->values.name = L"moved";
  moved->values.screenRect = {1000 + 20, 0 + 100, 1000 + 80, 0 + 200};
  moved->root = otherRoot;
  family.parent->AddChild(moved);
  EXPECT_EQ(NameOf(Find(item.Get()).left), L"moved");
}

TEST(ItemNeighbours_Get, Item_IsHeldThroughoutTheSearchAndLetGoAfter) {
  Family family;
  const FakeItemPtr item = family.Add(L"item", {100, 100, 200, 200});
  family.Add(L"right", {250, 100, 300, 200});
  const ULONG before = ReferenceCount(item.Get());
  // The fewest references the item had whenever the search asked it.
  ULONG fewest = ULONG_MAX;
  item->onCall = [&](ItemOp) { fewest = std::min(fewest, ReferenceCount(item.Get())); };
  Neighbours found;
  GetItemNeighbours(item.Get(), found.left, found.top, found.right, found.bottom);
  item->onCall = nullptr;
  EXPECT_EQ(fewest, before + 1);
  EXPECT_EQ(ReferenceCount(item.Get()), before);
  EXPECT_EQ(NameOf(found.right), L"right");
  EXPECT_EQ(NameOf(found.left), L"null");
}

TEST(ItemNeighbours_Get, NilItem_GivesTheNullItemOnAllSides) {
  Neighbours found;
  GetItemNeighbours(nullptr, found.left, found.top, found.right, found.bottom);
  EXPECT_TRUE(IsNullItemInfo(found.left));
  EXPECT_TRUE(IsNullItemInfo(found.top));
  EXPECT_TRUE(IsNullItemInfo(found.right));
  EXPECT_TRUE(IsNullItemInfo(found.bottom));
}
