// Item identity: thirteen properties decide whether two items stand for the
// same object.

#include "ItemCompare.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeItem.h"

namespace {

struct Change {
  const char* what;
  std::function<void(FakeItem&)> apply;
};

// One change per compared property.
std::vector<Change> ComparedChanges() {
  return {
      {"handle", [](FakeItem& item) { item.values.handle = nullptr; }},
      {"module name", [](FakeItem& item) { item.values.moduleName += "x"; }},
      {"text", [](FakeItem& item) { item.values.text += "x"; }},
      {"class name", [](FakeItem& item) { item.values.className = "edit"; }},
      {"screen rectangle", [](FakeItem& item) { item.values.screenRect.Bottom += 1; }},
      {"valid child count", [](FakeItem& item) { item.AddChild(FakeItem::Make()); }},
      {"default action", [](FakeItem& item) { item.values.defaultAction += L"x"; }},
      {"description", [](FakeItem& item) { item.values.description += L"x"; }},
      {"help topic id", [](FakeItem& item) { item.values.helpTopicId += 1; }},
      {"shortcut", [](FakeItem& item) { item.values.shortcut += L"x"; }},
      {"name", [](FakeItem& item) { item.values.name = L"editor"; }},
      {"role id", [](FakeItem& item) { item.values.roleId += 1; }},
      {"value", [](FakeItem& item) { item.values.value += L"x"; }},
  };
}

}  // namespace

TEST(ItemCompare_IsSameItem, EqualValuesInTwoObjects_AreTheSameItem) {
  const FakeItemPtr a = FakeItem::Make(SampleItemValues());
  const FakeItemPtr b = FakeItem::Make(SampleItemValues());
  EXPECT_TRUE(IsSameItem(a.Get(), b.Get()));
  EXPECT_TRUE(IsSameItem(b.Get(), a.Get()));
}

TEST(ItemCompare_IsSameItem, EachComparedPropertyThatDiffers_MakesAnotherItem) {
  const std::vector<Change> changes = ComparedChanges();
  ASSERT_EQ(changes.size(), 13u);
  for (const Change& change : changes) {
    const FakeItemPtr a = FakeItem::Make(SampleItemValues());
    const FakeItemPtr b = FakeItem::Make(SampleItemValues());
    change.apply(*b.Get());
    EXPECT_FALSE(IsSameItem(a.Get(), b.Get())) << change.what;
  }
}

TEST(ItemCompare_IsSameItem, StateRoleTextsClientRectAndInnerPoint_AreNotCompared) {
  const FakeItemPtr a = FakeItem::Make(SampleItemValues());
  const FakeItemPtr b = FakeItem::Make(SampleItemValues());
  b->values.stateId = 0x8000;
  b->values.state = L"invisible;";
  b->values.role = L"other";
  b->values.clientRect = {0, 0, 1, 1};
  b->values.innerPoint = {99, 99};
  b->AddChild([] {
    FakeItemValues hidden;
    hidden.stateId = 0x8000;
    return FakeItem::Make(hidden);
  }());
  EXPECT_TRUE(IsSameItem(a.Get(), b.Get()));
  for (ItemOp op : {ItemOp::GetStateId, ItemOp::GetState, ItemOp::GetRole, ItemOp::GetClientRect,
                    ItemOp::GetInnerPoint, ItemOp::GetAccessible, ItemOp::GetChildCount}) {
    EXPECT_EQ(a->Calls(op) + b->Calls(op), 0) << ItemOpName(op);
  }
}

TEST(ItemCompare_IsSameItem, EqualItems_AskEachComparedPropertyOnceOfEach) {
  const FakeItemPtr a = FakeItem::Make(SampleItemValues());
  const FakeItemPtr b = FakeItem::Make(SampleItemValues());
  ASSERT_TRUE(IsSameItem(a.Get(), b.Get()));
  for (ItemOp op : {ItemOp::GetHandle, ItemOp::GetModuleName, ItemOp::GetText,
                    ItemOp::GetClassName, ItemOp::GetScreenRect, ItemOp::GetValidChildCount,
                    ItemOp::GetDefaultAction, ItemOp::GetDescription, ItemOp::GetHelpTopicId,
                    ItemOp::GetShortcut, ItemOp::GetName, ItemOp::GetRoleId, ItemOp::GetValue}) {
    EXPECT_EQ(a->Calls(op), 1) << ItemOpName(op);
    EXPECT_EQ(b->Calls(op), 1) << ItemOpName(op);
  }
  EXPECT_EQ(a->TotalCalls(), 13);
  EXPECT_EQ(b->TotalCalls(), 13);
}

TEST(ItemCompare_IsSameItem, FirstDifference_StopsTheComparison) {
  const FakeItemPtr a = FakeItem::Make(SampleItemValues());
  const FakeItemPtr b = FakeItem::Make(SampleItemValues());
  b->values.text = "Other";
  EXPECT_FALSE(IsSameItem(a.Get(), b.Get()));
  EXPECT_EQ(a->Calls(ItemOp::GetText), 1);
  EXPECT_EQ(b->Calls(ItemOp::GetText), 1);
  EXPECT_EQ(a->Calls(ItemOp::GetClassName) + b->Calls(ItemOp::GetClassName), 0);
  EXPECT_EQ(a->TotalCalls(), 3);
  EXPECT_EQ(b->TotalCalls(), 3);
}

TEST(ItemCompare_IsSameItem, Nil_IsNeverTheSameItem) {
  const FakeItemPtr a = FakeItem::Make(SampleItemValues());
  EXPECT_FALSE(IsSameItem(a.Get(), nullptr));
  EXPECT_FALSE(IsSameItem(nullptr, a.Get()));
  EXPECT_FALSE(IsSameItem(nullptr, nullptr));
  EXPECT_EQ(a->TotalCalls(), 0);
}
