// The item path: compaction, linking into one tree, Finish, and the saved
// form.

#include "CachedItemInfoQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "FakeItem.h"
#include "ItemInfoCache.h"
#include "ItemInfoNull.h"
#include "ContainerTesting.h"
#include "ObjectContainer.h"
#include "Raised.h"

using Microsoft::WRL::ComPtr;

namespace {

using testsupport::ContainerPtr;
using testsupport::IntegerIn;
using testsupport::Sub;

FakeItemPtr Node(const wchar_t* name, const std::vector<const wchar_t*>& childNames = {}) {
  const FakeItemPtr node = FakeItem::Make({.name = name});
  for (const wchar_t* childName : childNames) node->AddChild(Node(childName));
  return node;
}

// Another object that is the same item: equal values, and twins of its
// children, so that it has as many valid children.
FakeItemPtr Twin(const FakeItemPtr& original) {
  const FakeItemPtr twin = FakeItem::Make(original->values);
  for (size_t i = 0; i < original->children.size(); ++i) {
    twin->AddChild(Twin(original->ChildFake(i)));
  }
  return twin;
}

// The fakes and all the fakes below them.
void Collect(const FakeItemPtr& item, std::set<FakeItem*>& found) {
  if (!item || !found.insert(item.Get()).second) return;
  for (size_t i = 0; i < item->children.size(); ++i) Collect(item->ChildFake(i), found);
}

CachedItemInfoPtr Snap(const FakeItemPtr& source) {
  return MakeComObject<TCachedItemInfo>(source.Get(), nullptr, nullptr);
}

ComPtr<TCachedInfoQueue> PathOf(const std::vector<CachedItemInfoPtr>& elements) {
  const ComPtr<TCachedInfoQueue> path = MakeComObject<TCachedInfoQueue>();
  for (const CachedItemInfoPtr& element : elements) path->Insert(path->Count(), element.Get());
  return path;
}

std::vector<std::wstring> Names(ICachedInfoQueue* path) {
  std::vector<std::wstring> names;
  for (int32_t i = 0; i < path->Count(); ++i) names.push_back(path->Items(i)->GetName());
  return names;
}

IItemInfo* Raw(const CachedItemInfoPtr& snapshot) { return snapshot.Get(); }

}  // namespace

// --- Insert and Items -------------------------------------------------------

TEST(CachedItemInfoQueue_Insert, AtIndex_MovesLaterElementsUp) {
  const CachedItemInfoPtr a = Snap(Node(L"a"));
  const CachedItemInfoPtr b = Snap(Node(L"b"));
  const CachedItemInfoPtr c = Snap(Node(L"c"));
  const CachedInfoQueuePtr path = NewCachedInfoQueue();
  path->Insert(0, c.Get());
  path->Insert(0, a.Get());
  path->Insert(1, b.Get());
  EXPECT_EQ(Names(path.Get()), (std::vector<std::wstring>{L"a", L"b", L"c"}));
  EXPECT_EQ(path->Items(1).Get(), Raw(b));
}

TEST(CachedItemInfoQueue_Insert, ItemThatIsNoSnapshot_RaisesAndInsertsNothing) {
  const CachedInfoQueuePtr path = NewCachedInfoQueue();
  const FakeItemPtr live = Node(L"live");
  EXPECT_THROW(path->Insert(0, live.Get()), EIntfCastError);
  EXPECT_THROW(path->Insert(0, nullptr), EIntfCastError);
  EXPECT_EQ(path->Count(), 0);
}

TEST(CachedItemInfoQueue_Insert, IndexOutsideTheList_RaisesTheListError) {
  const CachedInfoQueuePtr path = NewCachedInfoQueue();
  const CachedItemInfoPtr a = Snap(Node(L"a"));
  const auto error = testsupport::RaisedBy<EListError>([&] { path->Insert(1, a.Get()); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->Message(), L"List index out of bounds (1)");
  EXPECT_STREQ(error->ClassName(), "EListError");
  EXPECT_THROW(path->Insert(-1, a.Get()), EListError);
  EXPECT_EQ(path->Count(), 0);
  path->Insert(0, a.Get());
  EXPECT_THROW(path->Items(1), EListError);
  EXPECT_THROW(path->Items(-1), EListError);
}

// --- Compact ------------------------------------------------------------------

TEST(CachedItemInfoQueue_Compact, EmptyAndSingleElementPaths_StayAsTheyAre) {
  const ComPtr<TCachedInfoQueue> empty = PathOf({});
  empty->Compact();
  empty->Link();
  EXPECT_EQ(empty->Count(), 0);
  const ComPtr<TCachedInfoQueue> single = PathOf({Snap(Node(L"alone"))});
  single->Compact();
  EXPECT_EQ(Names(single.Get()), std::vector<std::wstring>{L"alone"});
}

// An element stays when its valid children hold the next one; the target
// stays at the end whether or not it was found.
TEST(CachedItemInfoQueue_Compact, ElementsThatDoNotLeadToTheNext_AreDropped) {
  const struct {
    const char* name;
    std::function<std::vector<CachedItemInfoPtr>()> path;
    std::vector<std::wstring> kept;
  } cases[] = {
      {"an element without valid children; the target is no child of root",
       [] { return std::vector{Snap(Node(L"root", {L"other"})), Snap(Node(L"a")),
                               Snap(Node(L"target"))}; },
       {L"root", L"target"}},
      {"the first element without valid children",
       [] {
         const FakeItemPtr target = Node(L"target");
         const FakeItemPtr root = Node(L"root");
         root->AddChild(Twin(target));
         return std::vector{Snap(Node(L"empty")), Snap(root), Snap(target)};
       },
       {L"root", L"target"}},
      {"an element that is none of the valid children before it",
       [] {
         const FakeItemPtr target = Node(L"target");
         const FakeItemPtr a = Node(L"a");
         a->AddChild(Twin(target));
         const FakeItemPtr root = Node(L"root");
         root->AddChild(Twin(a));
         return std::vector{Snap(root), Snap(Node(L"x", {L"x1"})), Snap(a), Snap(target)};
       },
       {L"root", L"a", L"target"}},
      {"an unmatched target stays at the end",
       [] {
         const FakeItemPtr a = Node(L"a", {L"not the target"});
         const FakeItemPtr root = Node(L"root");
         root->AddChild(Twin(a));
         return std::vector{Snap(root), Snap(a), Snap(Node(L"target"))};
       },
       {L"root", L"a", L"target"}},
  };
  for (const auto& c : cases) {
    const ComPtr<TCachedInfoQueue> path = PathOf(c.path());
    path->Compact();
    EXPECT_EQ(Names(path.Get()), c.kept) << c.name;
  }
}

TEST(CachedItemInfoQueue_Compact, OtherStateOfTheSameItem_StillMatches) {
  const FakeItemPtr target = Node(L"target");
  const FakeItemPtr root = Node(L"root");
  const FakeItemPtr twin = Twin(target);
  twin->values.stateId = 0x4;
  root->AddChild(twin);
  target->values.stateId = 0x2;
  const ComPtr<TCachedInfoQueue> path = PathOf({Snap(root), Snap(target)});
  path->Compact();
  path->Link();
  EXPECT_EQ(root->Calls(ItemOp::LockChildren), 1);
  EXPECT_EQ(path->Items(0)->GetValidChild(0).Get(), path->Items(1).Get());
}

// --- Link ---------------------------------------------------------------------

TEST(CachedItemInfoQueue_Link, ElementZero_IsItsOwnParentAndRoot) {
  const ComPtr<TCachedInfoQueue> path = PathOf({Snap(Node(L"root", {L"a"})), Snap(Node(L"a"))});
  path->Link();
  const ItemInfoPtr first = path->Items(0);
  EXPECT_EQ(first->GetParent().Get(), first.Get());
  EXPECT_EQ(first->GetRootItem().Get(), first.Get());
}

TEST(CachedItemInfoQueue_Link, EveryElement_HasTheOneBeforeAsParentAndElementZeroAsRoot) {
  const FakeItemPtr target = Node(L"target");
  const FakeItemPtr a = Node(L"a");
  a->AddChild(Twin(target));
  const FakeItemPtr root = Node(L"root");
  root->AddChild(Twin(a));
  const ComPtr<TCachedInfoQueue> path = PathOf({Snap(root), Snap(a), Snap(target)});
  path->Link();
  for (int32_t i = 1; i < path->Count(); ++i) {
    EXPECT_EQ(path->Items(i)->GetParent().Get(), path->Items(i - 1).Get()) << i;
    EXPECT_EQ(path->Items(i)->GetRootItem().Get(), path->Items(0).Get()) << i;
  }
  // Walking up from the target ends at element 0, which is its own parent.
  ItemInfoPtr item = path->Items(path->Count() - 1);
  int steps = 0;
  while (item->GetParent().Get() != item.Get() && steps < 10) {
    item = item->GetParent();
    ++steps;
  }
  EXPECT_EQ(item.Get(), path->Items(0).Get());
  EXPECT_EQ(steps, 2);
}

TEST(CachedItemInfoQueue_Link, Element_TakesThePlaceOfTheMatchingValidChildOnly) {
  const FakeItemPtr a = Node(L"a");
  const FakeItemPtr root = Node(L"root", {L"first"});
  root->AddChild(Twin(a));
  const ComPtr<TCachedInfoQueue> path = PathOf({Snap(root), Snap(a)});
  const ItemInfoPtr builtChild = path->Items(0)->GetChild(1);
  path->Link();
  const ItemInfoPtr first = path->Items(0);
  EXPECT_EQ(first->GetValidChild(1).Get(), path->Items(1).Get());
  EXPECT_EQ(first->GetValidChild(0)->GetName(), L"first");
  EXPECT_EQ(first->GetChild(1).Get(), builtChild.Get());
  EXPECT_EQ(first->GetChildCount(), 2);
}

TEST(CachedItemInfoQueue_Link, TwoMatchingChildren_TheFirstIsReplaced) {
  const FakeItemPtr a = Node(L"a");
  const FakeItemPtr root = Node(L"root");
  root->AddChild(Twin(a));
  root->AddChild(Twin(a));
  const ComPtr<TCachedInfoQueue> path = PathOf({Snap(root), Snap(a)});
  path->Link();
  EXPECT_EQ(path->Items(0)->GetValidChild(0).Get(), path->Items(1).Get());
  EXPECT_NE(path->Items(0)->GetValidChild(1).Get(), path->Items(1).Get());
}

TEST(CachedItemInfoQueue_Link, NoMatchingChild_ReplacesTheFirstValidChild) {
  const ComPtr<TCachedInfoQueue> path =
      PathOf({Snap(Node(L"root", {L"b", L"c"})), Snap(Node(L"a"))});
  path->Link();
  EXPECT_EQ(path->Items(0)->GetValidChild(0).Get(), path->Items(1).Get());
  EXPECT_EQ(path->Items(0)->GetValidChild(1)->GetName(), L"c");
}

TEST(CachedItemInfoQueue_Link, PreviousWithoutValidChildren_ReplacesNothing) {
  const ComPtr<TCachedInfoQueue> path = PathOf({Snap(Node(L"root")), Snap(Node(L"a"))});
  path->Link();
  EXPECT_EQ(path->Items(0)->GetValidChildCount(), 0);
  EXPECT_EQ(path->Items(1)->GetParent().Get(), path->Items(0).Get());
}

// --- Finish -------------------------------------------------------------------

namespace {

// A window with a panel that holds the target, as the capture walks it: the
// path's elements come from the target's snapshot and its parents, while
// each parent's children are other objects with the same values.
struct Window {
  FakeItemPtr root = Node(L"window");
  FakeItemPtr panel = Node(L"panel");
  FakeItemPtr target = Node(L"target", {L"leaf"});
  FakeItemPtr panelTwin;
  FakeItemPtr targetTwin;
  FakeItemPtr other = Node(L"other", {L"other's child"});
  FakeItemPtr sibling = Node(L"sibling");
  FakeItemPtr hidden = Node(L"hidden");

  Window() {
    hidden->values.stateId = 0x8000;
    targetTwin = Twin(target);
    panel->AddChild(sibling);
    panel->AddChild(targetTwin);
    panel->AddChild(hidden);
    panelTwin = Twin(panel);
    root->AddChild(panelTwin);
    root->AddChild(other);
    for (const FakeItemPtr& item : {panel, target, panelTwin, targetTwin, other, sibling, hidden}) {
      item->root = root;
    }
    target->parent = panel;
    panel->parent = root;
  }

  // Every fake of the window.
  std::vector<FakeItemPtr> All() const {
    std::set<FakeItem*> found;
    for (const FakeItemPtr& item : {root, panel, target}) Collect(item, found);
    return {found.begin(), found.end()};
  }

  // The capture's walk: the target's snapshot and its parents, each
  // inserted in front.
  CachedInfoQueuePtr Path() const {
    const CachedInfoQueuePtr path = NewCachedInfoQueue();
    ItemInfoPtr item = AsCachedItemInfo(target.Get());
    while (!IsNullItemInfo(item)) {
      path->Insert(0, item.Get());
      item = item->GetParent();
    }
    return path;
  }
};

int TotalCalls(const std::vector<FakeItemPtr>& items) {
  int total = 0;
  for (const FakeItemPtr& item : items) total += item->TotalCalls();
  return total;
}

}  // namespace

TEST(CachedItemInfoQueue_Finish, ReadsEveryPropertyOfElementsAndValidChildrenOnce) {
  const Window window;
  const CachedInfoQueuePtr path = window.Path();
  ASSERT_EQ(path->Count(), 3);
  path->Finish();
  ASSERT_EQ(Names(path.Get()), (std::vector<std::wstring>{L"window", L"panel", L"target"}));
  // The elements, and the valid children that stayed in their lists.
  const FakeItemPtr leaf = window.target->ChildFake(0);
  for (const FakeItemPtr& item : {window.root, window.panel, window.target, window.other,
                                  window.sibling, leaf}) {
    for (ItemOp op : kItemPropertyOps) {
      EXPECT_EQ(item->Calls(op), 1) << ItemOpName(op) << " of " << item->values.name;
    }
  }
  // The children that the elements replaced were only compared.
  for (const FakeItemPtr& item : {window.panelTwin, window.targetTwin}) {
    for (ItemOp op : kItemPropertyOps) EXPECT_LE(item->Calls(op), 1) << ItemOpName(op);
  }
  // Of the invisible child and of the children of valid children, the state.
  const FakeItemPtr grandchild = window.other->ChildFake(0);
  EXPECT_EQ(grandchild->Calls(ItemOp::GetStateId), 1);
  EXPECT_EQ(grandchild->TotalCalls(), 1);
  EXPECT_EQ(window.hidden->Calls(ItemOp::GetStateId), 1);
  EXPECT_EQ(window.hidden->Calls(ItemOp::GetName), 0);
}

TEST(CachedItemInfoQueue_Finish, AfterwardsThePathAsksNothing) {
  const Window window;
  const CachedInfoQueuePtr path = window.Path();
  path->Finish();
  const std::vector<FakeItemPtr> all = window.All();
  for (const FakeItemPtr& item : all) item->ResetCalls();

  for (int32_t i = 0; i < path->Count(); ++i) {
    const ItemInfoPtr element = path->Items(i);
    ReadEveryProperty(element.Get());
    element->GetChildCount();
    for (int32_t k = 0; k < element->GetValidChildCount(); ++k) {
      const ItemInfoPtr child = element->GetValidChild(k);
      ReadEveryProperty(child.Get());
      child->GetValidChildCount();
      child->GetChildCount();
    }
    element->GetParent();
    element->GetRootItem();
  }
  const ContainerPtr saved = NewPersistContainer();
  path->SaveToContainer(saved.Get());
  EXPECT_EQ(TotalCalls(all), 0);
}

TEST(CachedItemInfoQueue_Finish, LinksTheTargetIntoThePanel) {
  const Window window;
  const CachedInfoQueuePtr path = window.Path();
  path->Finish();
  const ItemInfoPtr panel = path->Items(1);
  EXPECT_EQ(panel->GetValidChild(1).Get(), path->Items(2).Get());
  EXPECT_EQ(panel->GetValidChildCount(), 2);
  EXPECT_EQ(panel->GetChildCount(), 3);
  EXPECT_EQ(path->Items(0)->GetValidChild(0).Get(), panel.Get());
}

// --- Saved form -------------------------------------------------------------------

TEST(CachedItemInfoQueue_Save, EmptyPath_WritesTheCountAlone) {
  const CachedInfoQueuePtr path = NewCachedInfoQueue();
  const ContainerPtr saved = NewPersistContainer();
  EXPECT_TRUE(path->SaveToContainer(saved.Get()));
  ASSERT_EQ(saved->Count(), 1);
  EXPECT_EQ(saved->EntryName(0), "Count");
  EXPECT_EQ(saved->EntryKind(0), 0);
  EXPECT_EQ(IntegerIn(saved.Get(), "Count"), 0);
}

TEST(CachedItemInfoQueue_Save, Path_WritesCountAndOneSavedSnapshotPerElement) {
  const Window window;
  const CachedInfoQueuePtr path = window.Path();
  path->Finish();
  const ContainerPtr saved = NewPersistContainer();
  EXPECT_TRUE(path->SaveToContainer(saved.Get()));
  ASSERT_EQ(saved->Count(), 1 + path->Count());
  for (int32_t i = 0; i < path->Count(); ++i) {
    EXPECT_EQ(saved->EntryName(i + 1), std::to_string(i));
    EXPECT_EQ(saved->EntryKind(i + 1), 9);
  }
  // Each element with its valid children, each of those with its count only.
  const ContainerPtr items = Sub(Sub(saved.Get(), "1").Get(), "Items");
  EXPECT_EQ(items->Count(), 1 + path->Items(1)->GetValidChildCount());
  EXPECT_EQ(Sub(Sub(items.Get(), "0").Get(), "Items")->Count(), 1);
}

TEST(CachedItemInfoQueue_Load, RoundTrip_RestoresElementsChildrenAndLinks) {
  const Window window;
  const CachedInfoQueuePtr path = window.Path();
  path->Finish();
  const ContainerPtr saved = NewPersistContainer();
  path->SaveToContainer(saved.Get());

  const CachedInfoQueuePtr loaded = NewCachedInfoQueue();
  EXPECT_TRUE(loaded->LoadFromContainer(saved.Get()));
  ASSERT_EQ(Names(loaded.Get()), Names(path.Get()));
  for (int32_t i = 0; i < loaded->Count(); ++i) {
    const ItemInfoPtr before = path->Items(i);
    const ItemInfoPtr after = loaded->Items(i);
    EXPECT_EQ(after->GetValidChildCount(), before->GetValidChildCount()) << i;
    for (int32_t k = 0; k < after->GetValidChildCount(); ++k) {
      EXPECT_EQ(after->GetValidChild(k)->GetName(), before->GetValidChild(k)->GetName());
    }
    EXPECT_EQ(after->GetRootItem().Get(), loaded->Items(0).Get());
    EXPECT_EQ(after->GetParent().Get(), loaded->Items(i > 0 ? i - 1 : 0).Get());
  }
  EXPECT_EQ(loaded->Items(1)->GetValidChild(1).Get(), loaded->Items(2).Get());
  EXPECT_EQ(loaded->Items(0)->GetValidChild(0).Get(), loaded->Items(1).Get());
  EXPECT_EQ(loaded->Items(2)->GetValidChild(0)->GetName(), L"leaf");
  EXPECT_EQ(loaded->Items(2)->GetScreenRect(), path->Items(2)->GetScreenRect());
}

TEST(CachedItemInfoQueue_Load, NoCount_GivesOneUnloadedElementLinkedToItself) {
  for (const bool withCount : {false, true}) {
    const ContainerPtr source = NewPersistContainer();
    if (withCount) source->WriteInteger("Count", 0);
    const CachedInfoQueuePtr loaded = NewCachedInfoQueue();
    loaded->Insert(0, Snap(Node(L"dropped")).Get());
    EXPECT_TRUE(loaded->LoadFromContainer(source.Get()));
    ASSERT_EQ(loaded->Count(), 1);
    const ItemInfoPtr element = loaded->Items(0);
    EXPECT_EQ(element->GetParent().Get(), element.Get());
    EXPECT_EQ(element->GetRootItem().Get(), element.Get());
    // Nothing was loaded into it: it answers what the null item answers.
    EXPECT_EQ(element->GetHandle(), NullItemHandle());
    EXPECT_EQ(element->GetStateId(), -1);
  }
}

TEST(CachedItemInfoQueue_Load, MissingElement_GetsConstructionValues) {
  const ContainerPtr source = NewPersistContainer();
  source->WriteInteger("Count", 2);
  const ContainerPtr first = NewPersistContainer();
  const CachedItemInfoPtr named = Snap(Node(L"first"));
  named->SaveToContainer(first.Get(), true);
  source->WriteContainer("0", first.Get());
  const CachedInfoQueuePtr loaded = NewCachedInfoQueue();
  loaded->LoadFromContainer(source.Get());
  ASSERT_EQ(loaded->Count(), 2);
  EXPECT_EQ(loaded->Items(0)->GetName(), L"first");
  EXPECT_EQ(loaded->Items(1)->GetName(), L"");
  EXPECT_EQ(loaded->Items(1)->GetRoleId(), 0);
}

TEST(CachedItemInfoQueue_Load, HugeCount_IsLimitedToWhatTheContainerHolds) {
  const ContainerPtr source = NewPersistContainer();
  source->WriteInteger("Count", INT32_MAX);
  const CachedInfoQueuePtr loaded = NewCachedInfoQueue();
  EXPECT_TRUE(loaded->LoadFromContainer(source.Get()));
  EXPECT_GE(loaded->Count(), 1);
  EXPECT_LE(loaded->Count(), std::max(source->Count(), kMaxChildCount));
}
