// The item snapshot: each property asked of the source once, parent and root
// replaced by snapshots on first use, child lists built once under the
// source's child lock, tree editing, the saved form, and neighbours found
// among snapshots.

#include "ItemInfoCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "FakeItem.h"
#include "ItemInfoNull.h"
#include "ContainerTesting.h"
#include "ObjectContainer.h"

using Microsoft::WRL::ComPtr;
using namespace testsupport;

namespace {

void ExpectProperties(IItemInfo* item, const FakeItemValues& expected) {
  EXPECT_EQ(item->GetHandle(), expected.handle);
  EXPECT_EQ(item->GetModuleName(), expected.moduleName);
  EXPECT_EQ(item->GetText(), expected.text);
  EXPECT_EQ(item->GetClassName(), expected.className);
  EXPECT_EQ(item->GetClientRect(), expected.clientRect);
  EXPECT_EQ(item->GetScreenRect(), expected.screenRect);
  EXPECT_EQ(item->GetInnerPoint(), expected.innerPoint);
  EXPECT_EQ(item->GetDefaultAction(), expected.defaultAction);
  EXPECT_EQ(item->GetDescription(), expected.description);
  EXPECT_EQ(item->GetHelpTopicId(), expected.helpTopicId);
  EXPECT_EQ(item->GetShortcut(), expected.shortcut);
  EXPECT_EQ(item->GetName(), expected.name);
  EXPECT_EQ(item->GetRoleId(), expected.roleId);
  EXPECT_EQ(item->GetStateId(), expected.stateId);
  EXPECT_EQ(item->GetRole(), expected.role);
  EXPECT_EQ(item->GetState(), expected.state);
  EXPECT_EQ(item->GetValue(), expected.value);
}

CachedItemInfoPtr Snapshot(const FakeItemPtr& source, IItemInfo* parent = nullptr,
                           IItemInfo* root = nullptr) {
  return MakeComObject<TCachedItemInfo>(source.Get(), parent, root);
}

bool IsSnapshot(const ItemInfoPtr& item) {
  CachedItemInfoPtr snapshot;
  return item && SUCCEEDED(item.As(&snapshot));
}

ContainerPtr Saved(ICachedItemInfo* snapshot, bool withChildren) {
  const ContainerPtr container = NewPersistContainer();
  EXPECT_TRUE(snapshot->SaveToContainer(container.Get(), withChildren));
  return container;
}

// A parent fake with the given children; the children get it as parent.
FakeItemPtr ParentOf(const std::vector<FakeItemPtr>& children,
                     const FakeItemValues& values = {.name = L"parent"}) {
  const FakeItemPtr parent = FakeItem::Make(values);
  for (const FakeItemPtr& child : children) {
    child->parent = parent;
    parent->AddChild(child);
  }
  return parent;
}

}  // namespace

// --- Once-only properties ---------------------------------------------------

TEST(ItemInfoCache_Properties, EachProperty_IsAskedOfTheSourceOnceAndNoneAtCreation) {
  const FakeItemPtr source = FakeItem::Make(SampleItemValues());
  const CachedItemInfoPtr snapshot = Snapshot(source);
  EXPECT_EQ(source->TotalCalls(), 0);
  ReadEveryProperty(snapshot.Get());
  ReadEveryProperty(snapshot.Get());
  ExpectProperties(snapshot.Get(), SampleItemValues());
  for (ItemOp op : kItemPropertyOps) EXPECT_EQ(source->Calls(op), 1) << ItemOpName(op);
}

TEST(ItemInfoCache_Properties, ChangeOfTheSourceAfterTheFirstRead_IsNotSeen) {
  const FakeItemPtr source = FakeItem::Make(SampleItemValues());
  const CachedItemInfoPtr snapshot = Snapshot(source);
  ReadEveryProperty(snapshot.Get());
  FakeItemValues changed = SampleItemValues();
  changed.name = L"Changed";
  changed.screenRect = {0, 0, 1, 1};
  changed.stateId = -1;
  source->values = changed;
  ExpectProperties(snapshot.Get(), SampleItemValues());
}

TEST(ItemInfoCache_Properties, FailureAnswers_AreKeptLikeOtherValues) {
  FakeItemValues failing;
  failing.stateId = -1;
  failing.roleId = -1;
  const FakeItemPtr source = FakeItem::Make(failing);
  const CachedItemInfoPtr snapshot = Snapshot(source);
  EXPECT_EQ(snapshot->GetStateId(), -1);
  EXPECT_EQ(snapshot->GetRoleId(), -1);
  EXPECT_EQ(snapshot->GetName(), L"");
  source->values = SampleItemValues();
  EXPECT_EQ(snapshot->GetStateId(), -1);
  EXPECT_EQ(snapshot->GetName(), L"");
  EXPECT_EQ(source->Calls(ItemOp::GetName), 1);
}

TEST(ItemInfoCache_Properties, Accessible_IsAskedOnEveryCall) {
  const FakeItemPtr source = FakeItem::Make();
  source->accessible = TAcc(nullptr, 5);
  const CachedItemInfoPtr snapshot = Snapshot(source);
  EXPECT_EQ(snapshot->GetAccessible().ChildIdValue(), 5);
  source->accessible = TAcc(nullptr, 6);
  EXPECT_EQ(snapshot->GetAccessible().ChildIdValue(), 6);
  EXPECT_EQ(source->Calls(ItemOp::GetAccessible), 2);
}

TEST(ItemInfoCache_Properties, SetNameAndInnerPoint_BeforeAnyRead_AreNeverAskedAndNameIsSaved) {
  const FakeItemPtr source = FakeItem::Make(SampleItemValues());
  const CachedItemInfoPtr snapshot = Snapshot(source);
  snapshot->SetName(L"Renamed");
  // The point is kept unchecked.
  const TPoint outside{5000, -7};
  snapshot->SetInnerPoint(outside);
  EXPECT_EQ(snapshot->GetName(), L"Renamed");
  EXPECT_EQ(snapshot->GetInnerPoint(), outside);
  EXPECT_EQ(source->TotalCalls(), 0);
  EXPECT_EQ(WideStringIn(Sub(Saved(snapshot.Get(), false).Get(), "Properties").Get(), "Name"),
            L"Renamed");
  EXPECT_EQ(source->Calls(ItemOp::GetName), 0);
}

TEST(ItemInfoCache_Properties, SnapshotOfTheNullItem_AnswersLikeItButIsNotIt) {
  const CachedItemInfoPtr snapshot = AsCachedItemInfo(NullItemInfo());
  EXPECT_FALSE(IsNullItemInfo(snapshot.Get()));
  EXPECT_EQ(snapshot->GetHandle(), NullItemHandle());
  EXPECT_EQ(snapshot->GetText(), "");
  EXPECT_EQ(snapshot->GetStateId(), -1);
  EXPECT_EQ(snapshot->GetHelpTopicId(), -1);
  EXPECT_EQ(snapshot->GetScreenRect(), TRect{});
  EXPECT_EQ(snapshot->GetInnerPoint(), (TPoint{-1, -1}));
  EXPECT_EQ(snapshot->GetChildCount(), 0);
  EXPECT_TRUE(IsNullItemInfo(snapshot->GetParent()));
  EXPECT_TRUE(IsNullItemInfo(snapshot->GetRootItem()));
}

// --- Making snapshots -------------------------------------------------------

TEST(ItemInfoCache_AsCachedItemInfo, Snapshot_IsItsOwnSnapshot) {
  const CachedItemInfoPtr snapshot = Snapshot(FakeItem::Make());
  const CachedItemInfoPtr again = AsCachedItemInfo(snapshot.Get());
  EXPECT_EQ(again.Get(), snapshot.Get());
}

TEST(ItemInfoCache_AsCachedItemInfo, OtherItem_IsAskedOnlyForParentAndRoot) {
  const FakeItemPtr source = FakeItem::Make(SampleItemValues());
  const CachedItemInfoPtr snapshot = AsCachedItemInfo(source.Get());
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(source->Calls(ItemOp::GetParent), 1);
  EXPECT_EQ(source->Calls(ItemOp::GetRootItem), 1);
  EXPECT_EQ(source->TotalCalls(), 2);
  EXPECT_EQ(snapshot->GetName(), SampleItemValues().name);
}

TEST(ItemInfoCache_AsCachedItemInfo, Snapshots_HaveTheirOwnIdentities) {
  const FakeItemPtr source = FakeItem::Make();
  const GUID first = AsCachedItemInfo(source.Get())->GetId();
  const GUID second = AsCachedItemInfo(source.Get())->GetId();
  EXPECT_FALSE(IsEqualGUID(first, second));
}

// --- Parent and root ----------------------------------------------------------

TEST(ItemInfoCache_Links, Parent_IsReplacedOnceByASnapshotOfIt) {
  const FakeItemPtr grandparent = FakeItem::Make({.name = L"grandparent"});
  const FakeItemPtr parent = FakeItem::Make({.name = L"parent"});
  parent->parent = grandparent;
  const FakeItemPtr child = FakeItem::Make({.name = L"child"});
  child->parent = parent;
  const CachedItemInfoPtr snapshot = AsCachedItemInfo(child.Get());

  const ItemInfoPtr first = snapshot->GetParent();
  const ItemInfoPtr second = snapshot->GetParent();
  ASSERT_TRUE(IsSnapshot(first));
  EXPECT_EQ(first.Get(), second.Get());
  EXPECT_EQ(snapshot->GetAccParent().Get(), first.Get());
  EXPECT_EQ(first->GetName(), L"parent");
  // The parent snapshot was made asking the parent for its own parent once.
  EXPECT_EQ(parent->Calls(ItemOp::GetParent), 1);
  const ItemInfoPtr up = first->GetParent();
  EXPECT_EQ(up->GetName(), L"grandparent");
  EXPECT_EQ(first->GetParent().Get(), up.Get());
  EXPECT_EQ(parent->Calls(ItemOp::GetParent), 1);
}

TEST(ItemInfoCache_Links, Root_IsReplacedOnceAndSharedWithTheParent) {
  const FakeItemPtr root = FakeItem::Make({.name = L"root"});
  const FakeItemPtr parent = FakeItem::Make({.name = L"parent"});
  const FakeItemPtr child = FakeItem::Make({.name = L"child"});
  child->parent = parent;
  child->root = root;
  parent->root = root;
  const CachedItemInfoPtr snapshot = AsCachedItemInfo(child.Get());

  const ItemInfoPtr first = snapshot->GetRootItem();
  ASSERT_TRUE(IsSnapshot(first));
  EXPECT_EQ(snapshot->GetRootItem().Get(), first.Get());
  EXPECT_EQ(first->GetName(), L"root");
  EXPECT_EQ(snapshot->GetParent()->GetRootItem().Get(), first.Get());
  EXPECT_EQ(root->Calls(ItemOp::GetName), 1);
  EXPECT_EQ(parent->Calls(ItemOp::GetRootItem), 0);
}

TEST(ItemInfoCache_Links, NoParentOrRoot_IsTheNullItemAndSoIsNilSetInTheirPlace) {
  const CachedItemInfoPtr none = AsCachedItemInfo(FakeItem::Make().Get());
  const CachedItemInfoPtr nil = Snapshot(FakeItem::Make(), FakeItem::Make().Get());
  nil->SetParent(nullptr);
  nil->SetRootItem(nullptr, false);
  for (const auto& [name, snapshot] : {std::pair{"none", none}, std::pair{"nil", nil}}) {
    EXPECT_TRUE(IsNullItemInfo(snapshot->GetParent())) << name;
    EXPECT_TRUE(IsNullItemInfo(snapshot->GetAccParent())) << name;
    EXPECT_TRUE(IsNullItemInfo(snapshot->GetRootItem())) << name;
  }
}

TEST(ItemInfoCache_Links, ParentSetToItself_IsItself) {
  const CachedItemInfoPtr snapshot = Snapshot(FakeItem::Make());
  snapshot->SetParent(snapshot.Get());
  EXPECT_EQ(snapshot->GetParent().Get(), static_cast<IItemInfo*>(snapshot.Get()));
}

TEST(ItemInfoCache_Links, ParentSetToALiveItem_IsReplacedAgain) {
  const CachedItemInfoPtr snapshot = Snapshot(FakeItem::Make());
  const FakeItemPtr other = FakeItem::Make({.name = L"other"});
  snapshot->SetParent(other.Get());
  const ItemInfoPtr parent = snapshot->GetParent();
  EXPECT_TRUE(IsSnapshot(parent));
  EXPECT_NE(parent.Get(), static_cast<IItemInfo*>(other.Get()));
  EXPECT_EQ(parent->GetName(), L"other");
}

// --- Child lists --------------------------------------------------------------

TEST(ItemInfoCache_Children, Lists_AreBuiltOnceUnderTheSourcesLock) {
  const FakeItemPtr a = FakeItem::Make({.name = L"a"});
  const FakeItemPtr b = FakeItem::Make({.name = L"b"});
  const FakeItemPtr source = ParentOf({a, b});
  const CachedItemInfoPtr snapshot = Snapshot(source);

  EXPECT_EQ(snapshot->GetChildCount(), 2);
  EXPECT_EQ(snapshot->GetValidChildCount(), 2);
  EXPECT_EQ(snapshot->GetChild(1)->GetName(), L"b");
  EXPECT_EQ(snapshot->GetValidChild(0)->GetName(), L"a");
  EXPECT_EQ(source->Calls(ItemOp::LockChildren), 1);
  EXPECT_EQ(source->Calls(ItemOp::UnlockChildren), 1);
  EXPECT_FALSE(source->Locked());
  EXPECT_EQ(source->Calls(ItemOp::GetChild), 2);
  EXPECT_EQ(source->CallsWhileLocked(ItemOp::GetChild), 2);
  EXPECT_EQ(source->Calls(ItemOp::GetChildCount), 0);
  // Each child's state was read once, to sort it into the valid list.
  EXPECT_EQ(a->Calls(ItemOp::GetStateId), 1);
  EXPECT_EQ(a->CallsWhileLocked(ItemOp::GetStateId), 0);
}

TEST(ItemInfoCache_Children, SourceWithoutLock_IsCountedOnce) {
  const FakeItemPtr source = ParentOf({FakeItem::Make(), FakeItem::Make(), FakeItem::Make()});
  source->offersChildLock = false;
  const CachedItemInfoPtr snapshot = Snapshot(source);
  EXPECT_EQ(snapshot->GetValidChildCount(), 3);
  EXPECT_EQ(snapshot->GetChildCount(), 3);
  EXPECT_EQ(source->Calls(ItemOp::GetChildCount), 1);
  EXPECT_EQ(source->Calls(ItemOp::GetChild), 3);
  EXPECT_EQ(source->Calls(ItemOp::LockChildren), 0);
}

TEST(ItemInfoCache_Children, Children_AreSnapshotsWithThisParentAndTheRootFieldAsItIs) {
  const FakeItemPtr root = FakeItem::Make({.name = L"root"});
  const FakeItemPtr source = ParentOf({FakeItem::Make({.name = L"child"})});

  // Root not yet replaced: the child gets the item itself, and each of the
  // two makes a snapshot of it of its own.
  const CachedItemInfoPtr snapshot = Snapshot(source, nullptr, root.Get());
  const ItemInfoPtr childSnapshot = snapshot->GetChild(0);
  ASSERT_TRUE(IsSnapshot(childSnapshot));
  EXPECT_EQ(childSnapshot->GetParent().Get(), static_cast<IItemInfo*>(snapshot.Get()));
  const ItemInfoPtr childsRoot = childSnapshot->GetRootItem();
  const ItemInfoPtr parentsRoot = snapshot->GetRootItem();
  EXPECT_TRUE(IsSnapshot(childsRoot));
  EXPECT_TRUE(IsSnapshot(parentsRoot));
  EXPECT_NE(childsRoot.Get(), parentsRoot.Get());
  EXPECT_EQ(childsRoot->GetName(), L"root");
  EXPECT_EQ(parentsRoot->GetName(), L"root");

  // Root replaced before the children are built: they share that snapshot.
  const CachedItemInfoPtr replaced = Snapshot(source, nullptr, root.Get());
  const ItemInfoPtr replacedRoot = replaced->GetRootItem();
  EXPECT_EQ(replaced->GetChild(0)->GetRootItem().Get(), replacedRoot.Get());
}

TEST(ItemInfoCache_Children, InvisibleAndUnreadableStates_AreNotValidNorSaved) {
  const FakeItemPtr shown = FakeItem::Make({.name = L"shown", .stateId = 0x4});
  const FakeItemPtr hidden = FakeItem::Make({.name = L"hidden", .stateId = 0x8000});
  const FakeItemPtr unknown = FakeItem::Make({.name = L"unknown", .stateId = -1});
  const FakeItemPtr source = FakeItem::Make();
  // All three in the list of all children, whatever the fake's valid list.
  source->children = {hidden, shown, unknown};
  const CachedItemInfoPtr snapshot = Snapshot(source);
  EXPECT_EQ(snapshot->GetChildCount(), 3);
  ASSERT_EQ(snapshot->GetValidChildCount(), 1);
  EXPECT_EQ(snapshot->GetValidChild(0)->GetName(), L"shown");
  const ContainerPtr items = Sub(Saved(snapshot.Get(), true).Get(), "Items");
  EXPECT_EQ(IntegerIn(items.Get(), "Count"), 1);
  EXPECT_EQ(items->Count(), 2);
}

TEST(ItemInfoCache_Children, IndexOutsideTheLists_GivesTheNullItem) {
  const CachedItemInfoPtr snapshot = Snapshot(ParentOf({FakeItem::Make(), FakeItem::Make()}));
  const int32_t count = snapshot->GetChildCount();
  const int32_t validCount = snapshot->GetValidChildCount();
  EXPECT_TRUE(IsNullItemInfo(snapshot->GetChild(-1)));
  EXPECT_TRUE(IsNullItemInfo(snapshot->GetChild(count)));
  EXPECT_TRUE(IsNullItemInfo(snapshot->GetValidChild(-1)));
  EXPECT_TRUE(IsNullItemInfo(snapshot->GetValidChild(validCount)));
  EXPECT_FALSE(IsNullItemInfo(snapshot->GetChild(count - 1)));
}

TEST(ItemInfoCache_Editing, ReplaceValidChild_SwapsTheValidEntryOnlyAndAdopts) {
  const FakeItemPtr root = FakeItem::Make({.name = L"root"});
  const CachedItemInfoPtr snapshot =
      Snapshot(ParentOf({FakeItem::Make({.name = L"a"}), FakeItem::Make({.name = L"b"})}), nullptr,
               root.Get());
  const CachedItemInfoPtr replacement = Snapshot(FakeItem::Make({.name = L"x"}));
  snapshot->ReplaceValidChild(1, replacement.Get());
  EXPECT_EQ(snapshot->GetValidChild(1).Get(), static_cast<IItemInfo*>(replacement.Get()));
  EXPECT_EQ(snapshot->GetChild(1)->GetName(), L"b");
  EXPECT_EQ(replacement->GetParent().Get(), static_cast<IItemInfo*>(snapshot.Get()));
  EXPECT_EQ(replacement->GetRootItem().Get(), snapshot->GetRootItem().Get());
}

TEST(ItemInfoCache_Editing, ReplaceValidChild_OutsideTheRange_ChangesNothing) {
  const CachedItemInfoPtr snapshot =
      Snapshot(ParentOf({FakeItem::Make({.name = L"a"}), FakeItem::Make({.name = L"b"})}));
  const CachedItemInfoPtr replacement = Snapshot(FakeItem::Make({.name = L"x"}));
  const int32_t count = snapshot->GetValidChildCount();
  snapshot->ReplaceValidChild(-1, replacement.Get());
  snapshot->ReplaceValidChild(count, replacement.Get());
  EXPECT_EQ(snapshot->GetValidChild(0)->GetName(), L"a");
  EXPECT_EQ(snapshot->GetValidChild(1)->GetName(), L"b");
  EXPECT_EQ(snapshot->GetValidChildCount(), count);
  EXPECT_TRUE(IsNullItemInfo(replacement->GetParent()));
}

TEST(ItemInfoCache_Editing, AddChild_GoesInFrontOfChildrenBuiltLater) {
  const CachedItemInfoPtr snapshot = Snapshot(ParentOf({FakeItem::Make({.name = L"built"})}));
  FakeItemValues hiddenValues = {.name = L"added"};
  hiddenValues.stateId = 0x8000;
  const CachedItemInfoPtr added = Snapshot(FakeItem::Make(hiddenValues));
  snapshot->AddChild(added.Get(), false);
  ASSERT_EQ(snapshot->GetChildCount(), 2);
  // Valid whatever its state.
  ASSERT_EQ(snapshot->GetValidChildCount(), 2);
  EXPECT_EQ(snapshot->GetChild(0).Get(), static_cast<IItemInfo*>(added.Get()));
  EXPECT_EQ(snapshot->GetValidChild(1)->GetName(), L"built");
  EXPECT_TRUE(IsNullItemInfo(added->GetParent()));
}

TEST(ItemInfoCache_Editing, AddChildWithAdopt_SetsParentAndRoot) {
  const FakeItemPtr root = FakeItem::Make({.name = L"root"});
  const CachedItemInfoPtr snapshot = Snapshot(FakeItem::Make(), nullptr, root.Get());
  const CachedItemInfoPtr added = Snapshot(FakeItem::Make({.name = L"added"}));
  snapshot->AddChild(added.Get(), true);
  EXPECT_EQ(added->GetParent().Get(), static_cast<IItemInfo*>(snapshot.Get()));
  EXPECT_EQ(added->GetRootItem().Get(), snapshot->GetRootItem().Get());
}

TEST(ItemInfoCache_Editing, SetRootItemRecursive_ReachesValidChildrenOneLevelDeep) {
  const FakeItemPtr grandchild = FakeItem::Make({.name = L"grandchild"});
  const FakeItemPtr shown = ParentOf({grandchild}, {.name = L"shown"});
  const FakeItemPtr hidden = FakeItem::Make({.name = L"hidden", .stateId = 0x8000});
  const FakeItemPtr source = FakeItem::Make();
  source->children = {shown, hidden};
  const CachedItemInfoPtr snapshot = Snapshot(source);
  // Both levels built before, with no root.
  ASSERT_EQ(snapshot->GetChildCount(), 2);
  ASSERT_EQ(snapshot->GetValidChild(0)->GetChildCount(), 1);
  const CachedItemInfoPtr root = Snapshot(FakeItem::Make({.name = L"root"}));
  snapshot->SetRootItem(root.Get(), true);
  const ItemInfoPtr root0 = root;
  EXPECT_EQ(snapshot->GetRootItem().Get(), root0.Get());
  EXPECT_EQ(snapshot->GetValidChild(0)->GetRootItem().Get(), root0.Get());
  EXPECT_TRUE(IsNullItemInfo(snapshot->GetChild(1)->GetRootItem()));
  EXPECT_TRUE(IsNullItemInfo(snapshot->GetValidChild(0)->GetValidChild(0)->GetRootItem()));
}

// --- Saved form -----------------------------------------------------------------

TEST(ItemInfoCache_Save, Properties_AreTheSeventeenKeysWithTheirKinds) {
  const CachedItemInfoPtr snapshot = Snapshot(FakeItem::Make(SampleItemValues()));
  const ContainerPtr saved = Saved(snapshot.Get(), false);
  EXPECT_EQ(Entries(saved.Get()),
            (std::vector<ContainerEntry>{{"Properties", kKindContainer}, {"Items", kKindContainer}}));
  const std::vector<ContainerEntry> expected = {
      {"Handle", kKindHandle},          {"ModuleName", kKindString},
      {"Text", kKindString},            {"Class", kKindString},
      {"ClientRect", kKindRect},        {"ScreenRect", kKindRect},
      {"InnerPoint", kKindPoint},       {"DefaultAction", kKindWideString},
      {"Description", kKindWideString}, {"HelpTopicId", kKindInteger},
      {"Shortcut", kKindWideString},    {"RoleId", kKindInteger},
      {"StateId", kKindInteger},        {"Role", kKindWideString},
      {"State", kKindWideString},       {"Value", kKindWideString},
      {"Name", kKindWideString}};
  EXPECT_EQ(Entries(Sub(saved.Get(), "Properties").Get()), expected);
  uint32_t handle = 0;
  EXPECT_TRUE(Sub(saved.Get(), "Properties")->ReadHandle("Handle", handle));
  EXPECT_EQ(handle, static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(SampleItemValues().handle)));
}

TEST(ItemInfoCache_Save, SaveReadsEachPropertyOnce) {
  const FakeItemPtr source = FakeItem::Make(SampleItemValues());
  const CachedItemInfoPtr snapshot = Snapshot(source);
  Saved(snapshot.Get(), true);
  Saved(snapshot.Get(), true);
  for (ItemOp op : kItemPropertyOps) EXPECT_EQ(source->Calls(op), 1) << ItemOpName(op);
}

TEST(ItemInfoCache_Save, Items_AreTheCountAndWithChildrenEachValidChildWithItsCountOnly) {
  const FakeItemPtr inner = FakeItem::Make({.name = L"inner"});
  const FakeItemPtr a = ParentOf({inner, FakeItem::Make()}, {.name = L"a"});
  const FakeItemPtr b = FakeItem::Make({.name = L"b"});
  const CachedItemInfoPtr snapshot = Snapshot(ParentOf({a, b}));
  const std::vector<ContainerEntry> countAlone = {{"Count", kKindInteger}};
  const ContainerPtr withoutChildren = Sub(Saved(snapshot.Get(), false).Get(), "Items");
  EXPECT_EQ(Entries(withoutChildren.Get()), countAlone);
  EXPECT_EQ(IntegerIn(withoutChildren.Get(), "Count"), 2);

  const ContainerPtr items = Sub(Saved(snapshot.Get(), true).Get(), "Items");
  EXPECT_EQ(Entries(items.Get()), (std::vector<ContainerEntry>{{"Count", kKindInteger},
                                                               {"0", kKindContainer},
                                                               {"1", kKindContainer}}));
  const ContainerPtr first = Sub(items.Get(), "0");
  EXPECT_EQ(WideStringIn(Sub(first.Get(), "Properties").Get(), "Name"), L"a");
  const ContainerPtr firstItems = Sub(first.Get(), "Items");
  EXPECT_EQ(Entries(firstItems.Get()), countAlone);
  EXPECT_EQ(IntegerIn(firstItems.Get(), "Count"), 2);
}

TEST(ItemInfoCache_Load, RoundTrip_RestoresPropertiesAndValidChildrenInOrder) {
  const FakeItemPtr a = ParentOf({FakeItem::Make(), FakeItem::Make(), FakeItem::Make()},
                                 {.name = L"a"});
  const FakeItemPtr hidden = FakeItem::Make({.name = L"hidden", .stateId = 0x8000});
  const FakeItemPtr b = FakeItem::Make({.name = L"b"});
  const FakeItemPtr source = FakeItem::Make(SampleItemValues());
  source->children = {a, hidden, b};
  const ContainerPtr saved = Saved(Snapshot(source).Get(), true);

  const FakeItemPtr unused = FakeItem::Make({.name = L"must not be asked"});
  const CachedItemInfoPtr loaded = Snapshot(unused);
  EXPECT_TRUE(loaded->LoadFromContainer(saved.Get()));
  ExpectProperties(loaded.Get(), SampleItemValues());
  ASSERT_EQ(loaded->GetChildCount(), 2);
  ASSERT_EQ(loaded->GetValidChildCount(), 2);
  EXPECT_EQ(loaded->GetChild(0)->GetName(), L"a");
  EXPECT_EQ(loaded->GetValidChild(1)->GetName(), L"b");
  EXPECT_EQ(loaded->GetValidChild(0)->GetParent().Get(), static_cast<IItemInfo*>(loaded.Get()));
  // A child's own children come back as many as it had, with nothing in them.
  const ItemInfoPtr loadedA = loaded->GetValidChild(0);
  ASSERT_EQ(loadedA->GetChildCount(), 3);
  EXPECT_EQ(loadedA->GetChild(2)->GetName(), L"");
  EXPECT_EQ(loadedA->GetChild(2)->GetRoleId(), 0);
  EXPECT_EQ(loadedA->GetChild(2)->GetChildCount(), 0);
  EXPECT_EQ(unused->TotalCalls() - unused->Calls(ItemOp::GetAccessible), 0);
}

TEST(ItemInfoCache_Load, EmptyContainer_GivesConstructionValuesAndNoChildren) {
  const CachedItemInfoPtr loaded = NewEmptyCachedItemInfo();
  const ContainerPtr empty = NewPersistContainer();
  EXPECT_TRUE(loaded->LoadFromContainer(empty.Get()));
  EXPECT_EQ(loaded->GetHandle(), nullptr);
  EXPECT_EQ(loaded->GetModuleName(), "");
  EXPECT_EQ(loaded->GetScreenRect(), TRect{});
  EXPECT_EQ(loaded->GetInnerPoint(), TPoint{});
  EXPECT_EQ(loaded->GetHelpTopicId(), 0);
  EXPECT_EQ(loaded->GetRoleId(), 0);
  EXPECT_EQ(loaded->GetStateId(), 0);
  EXPECT_EQ(loaded->GetChildCount(), 0);
  // The accessible object still comes from the source, the null item.
  EXPECT_EQ(loaded->GetAccessible().ChildIdValue(), -1);
}

TEST(ItemInfoCache_Load, LoadedSnapshot_KeepsItsOwnIdentity) {
  const CachedItemInfoPtr original = Snapshot(FakeItem::Make(SampleItemValues()));
  const CachedItemInfoPtr loaded = NewEmptyCachedItemInfo();
  const GUID before = loaded->GetId();
  loaded->LoadFromContainer(Saved(original.Get(), true).Get());
  EXPECT_TRUE(IsEqualGUID(loaded->GetId(), before));
  EXPECT_FALSE(IsEqualGUID(loaded->GetId(), original->GetId()));
}

TEST(ItemInfoCache_Load, MissingKeysAndEntriesOfAnotherKind_KeepTheValuesSetBefore) {
  const CachedItemInfoPtr loaded = NewEmptyCachedItemInfo();
  loaded->SetName(L"kept");
  const ContainerPtr properties = NewPersistContainer();
  properties->WriteString("Text", "from the container");
  EXPECT_TRUE(loaded->LoadProperties(properties.Get()));
  EXPECT_EQ(loaded->GetName(), L"kept");
  EXPECT_EQ(loaded->GetText(), "from the container");

  const ContainerPtr mistyped = NewPersistContainer();
  mistyped->WriteString("Text", "readable");
  // Read as a wide string, this claims far more characters than follow.
  mistyped->WriteInteger("Name", 1000000);
  const ContainerPtr saved = NewPersistContainer();
  saved->WriteContainer("Properties", mistyped.Get());
  const CachedItemInfoPtr reloaded = NewEmptyCachedItemInfo();
  reloaded->SetName(L"before");
  EXPECT_TRUE(reloaded->LoadFromContainer(saved.Get()));
  EXPECT_EQ(reloaded->GetName(), L"before");
  EXPECT_EQ(reloaded->GetText(), "readable");
}

TEST(ItemInfoCache_Load, ForeignEntriesInTheSavedContainers_KeepEveryProperty) {
  ContainerContent properties;
  properties.WriteWideString("Name", L"kept");
  properties.WriteInteger("RoleId", 9);
  ContainerContent items;
  items.WriteInteger("Count", 1);
  ContainerContent saved;
  saved.WriteContainerStream("Properties", WithForeignEntries(properties));
  saved.WriteContainerStream("Items", WithForeignEntries(items));
  const CachedItemInfoPtr loaded = NewEmptyCachedItemInfo();
  EXPECT_TRUE(loaded->LoadFromContainer(LoadedFrom(WithForeignEntries(saved)).Get()));
  EXPECT_EQ(loaded->GetName(), L"kept");
  EXPECT_EQ(loaded->GetRoleId(), 9);
  EXPECT_EQ(loaded->GetValidChildCount(), 1);
}

TEST(ItemInfoCache_Load, SavedChildren_AsManyAsCountedFromZeroUpToTheLimitWithTheGapsEmpty) {
  // With no child held, as a child saved without children writes it: the
  // count alone.
  const struct {
    int32_t count;
    std::vector<std::string> held;
    int32_t children;
  } cases[] = {{INT32_MAX, {"0"}, kMaxChildCount}, {5, {"0", "2"}, 5}, {2, {"0", "2"}, 2},
               {300, {}, 300}, {5000, {}, 5000}, {kMaxChildCount, {}, kMaxChildCount},
               {INT32_MAX, {}, kMaxChildCount}, {-3, {}, 0}};
  for (const auto& c : cases) {
    const ContainerPtr items = NewPersistContainer();
    items->WriteInteger("Count", c.count);
    const ContainerPtr held = Saved(Snapshot(FakeItem::Make({.name = L"held"})).Get(), false);
    for (const std::string& name : c.held) items->WriteContainer(name, held.Get());
    const CachedItemInfoPtr loaded = NewEmptyCachedItemInfo();
    EXPECT_TRUE(loaded->LoadItems(items.Get()));
    EXPECT_EQ(loaded->GetChildCount(), c.children) << c.count;
    EXPECT_EQ(loaded->GetValidChildCount(), c.children) << c.count;
    if (!c.held.empty()) {
      EXPECT_EQ(loaded->GetChild(0)->GetName(), L"held") << c.count;
    }
    if (c.children > 0) {
      const ItemInfoPtr last = loaded->GetValidChild(c.children - 1);
      EXPECT_TRUE(IsSnapshot(last) && last->GetRoleId() == 0) << c.count;
      EXPECT_EQ(last->GetParent().Get(), static_cast<IItemInfo*>(loaded.Get())) << c.count;
      // A child the container does not hold has construction values.
      for (const int32_t gap : {1, c.children - 1}) {
        EXPECT_EQ(loaded->GetChild(gap)->GetName(), L"") << c.count << " child " << gap;
        EXPECT_EQ(loaded->GetChild(gap)->GetRoleId(), 0) << c.count << " child " << gap;
      }
    }
    EXPECT_TRUE(IsNullItemInfo(loaded->GetValidChild(c.children))) << c.count;
  }
}

TEST(ItemInfoCache_Load, ChildWithFiveThousandValidChildren_ComesBackWithAllOfThem) {
  std::vector<FakeItemPtr> rows;
  for (int i = 0; i < 5000; ++i) rows.push_back(FakeItem::Make());
  const FakeItemPtr list = ParentOf(rows, {.name = L"list"});
  const CachedItemInfoPtr window = Snapshot(ParentOf({list}, {.name = L"window"}));
  const ContainerPtr saved = Saved(window.Get(), true);

  const CachedItemInfoPtr loaded = NewEmptyCachedItemInfo();
  EXPECT_TRUE(loaded->LoadFromContainer(saved.Get()));
  ASSERT_EQ(loaded->GetValidChildCount(), 1);
  const ItemInfoPtr loadedList = loaded->GetValidChild(0);
  EXPECT_EQ(loadedList->GetName(), L"list");
  EXPECT_EQ(loadedList->GetValidChildCount(), 5000);
  EXPECT_EQ(loadedList->GetChildCount(), 5000);
  // Saved again, it names as many.
  const ContainerPtr again = Saved(AsCachedItemInfo(loaded.Get()).Get(), true);
  EXPECT_EQ(IntegerIn(Sub(Sub(Sub(again.Get(), "Items").Get(), "0").Get(), "Items").Get(), "Count"),
            5000);
}

TEST(ItemInfoCache_Load, DeeplyNestedChildren_StopAtTheDepthLimit) {
  // A chain of snapshots, each the only child of the one before, deeper than
  // any save makes.
  const int levels = kMaxLoadedChildDepth + 10;
  ContainerPtr chain = NewPersistContainer();
  for (int level = levels; level >= 0; --level) {
    const ContainerPtr properties = NewPersistContainer();
    properties->WriteWideString("Name", std::to_wstring(level));
    const ContainerPtr items = NewPersistContainer();
    if (level < levels) {
      items->WriteInteger("Count", 1);
      items->WriteContainer("0", chain.Get());
    }
    const ContainerPtr item = NewPersistContainer();
    item->WriteContainer("Properties", properties.Get());
    item->WriteContainer("Items", items.Get());
    chain = item;
  }
  const CachedItemInfoPtr loaded = NewEmptyCachedItemInfo();
  EXPECT_TRUE(loaded->LoadFromContainer(chain.Get()));
  int depth = 0;
  ItemInfoPtr item = loaded;
  while (item->GetChildCount() > 0) {
    item = item->GetChild(0);
    ++depth;
    EXPECT_EQ(item->GetName(), std::to_wstring(depth));
  }
  EXPECT_EQ(depth, kMaxLoadedChildDepth);
}

// --- Neighbours -----------------------------------------------------------

TEST(ItemInfoCache_Neighbours, Snapshot_SearchesAmongItsParentsSnapshots) {
  FakeFamily family({100, 50, 700, 550});
  const FakeItemPtr item = family.Add(L"item", {200, 200, 300, 250});
  family.Add(L"right", {320, 200, 400, 250});
  const CachedItemInfoPtr snapshot = AsCachedItemInfo(item.Get());
  ItemInfoPtr left, top, right, bottom;
  snapshot->GetNeighbours(left, top, right, bottom);
  EXPECT_EQ(NameOf(right), L"right");
  EXPECT_TRUE(IsSnapshot(right));
  EXPECT_TRUE(IsNullItemInfo(left));
  // A second search asks the window's objects nothing new.
  const int before = item->TotalCalls() + family.parent->TotalCalls() + family.root->TotalCalls();
  snapshot->GetNeighbours(left, top, right, bottom);
  EXPECT_EQ(item->TotalCalls() + family.parent->TotalCalls() + family.root->TotalCalls(), before);
  EXPECT_EQ(NameOf(right), L"right");
}
