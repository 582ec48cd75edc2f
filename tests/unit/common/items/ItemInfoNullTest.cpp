#include "ItemInfoNull.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

using Microsoft::WRL::ComPtr;

namespace {

const TRect kZeroRect{0, 0, 0, 0};

}  // namespace

TEST(ItemInfoNull_Shared, TwoCalls_GiveTheIdenticalReference) {
  const ItemInfoPtr first = NullItemInfo();
  const ItemInfoPtr second = NullItemInfo();
  ASSERT_NE(first.Get(), nullptr);
  EXPECT_EQ(first.Get(), second.Get());
  EXPECT_TRUE(IsNullItemInfo(first));
  EXPECT_TRUE(IsNullItemInfo(second.Get()));
}

TEST(ItemInfoNull_Shared, Nil_IsNotTheNullItem) {
  EXPECT_FALSE(IsNullItemInfo(nullptr));
  EXPECT_FALSE(IsNullItemInfo(ItemInfoPtr()));
}

TEST(ItemInfoNull_Shared, SeparateInstance_IsNotTheNullItem) {
  const ItemInfoPtr separate = MakeComObject<TNullInfo>();
  EXPECT_FALSE(IsNullItemInfo(separate));
  // It answers like the null item nonetheless.
  EXPECT_EQ(separate->GetStateId(), -1);
}

TEST(ItemInfoNull_Shared, InstanceOutlivesTheCallersReferences) {
  IItemInfo* raw = NullItemInfo().Get();
  // Every reference the test took is gone; the unit still holds its own.
  EXPECT_TRUE(IsNullItemInfo(raw));
  EXPECT_EQ(raw->GetHelpTopicId(), -1);
}

TEST(ItemInfoNull_Interfaces, OnlyTheItemInterface_IsAnswered) {
  const ItemInfoPtr null = NullItemInfo();
  ComPtr<IItemInfo> item;
  EXPECT_EQ(null.As(&item), S_OK);
  EXPECT_EQ(item.Get(), null.Get());
  ComPtr<IItemChildLock> lock;
  EXPECT_EQ(null.As(&lock), E_NOINTERFACE);
  EXPECT_EQ(lock.Get(), nullptr);
}

TEST(ItemInfoNull_Answers, Handle_HasAllBitsSet) {
  const HWND handle = NullItemInfo()->GetHandle();
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(handle), ~UINT_PTR{0});
  EXPECT_EQ(handle, NullItemHandle());
  EXPECT_NE(handle, nullptr);
}

TEST(ItemInfoNull_Answers, Accessible_NilWithChildIdMinusOne) {
  const TAcc acc = NullItemInfo()->GetAccessible();
  EXPECT_EQ(acc.Accessible.Get(), nullptr);
  EXPECT_EQ(acc.ChildId.vt, VT_I4);
  EXPECT_EQ(acc.ChildId.lVal, -1);
}

TEST(ItemInfoNull_Answers, RootAndParents_AreTheNullItem) {
  const ItemInfoPtr null = NullItemInfo();
  EXPECT_TRUE(IsNullItemInfo(null->GetRootItem()));
  EXPECT_TRUE(IsNullItemInfo(null->GetParent()));
  EXPECT_TRUE(IsNullItemInfo(null->GetAccParent()));
}

TEST(ItemInfoNull_Answers, RootAndParentsOfASeparateInstance_AreTheSharedNullItem) {
  // A walk up the parents must stop at the null item, whichever instance it
  // starts from.
  const ItemInfoPtr separate = MakeComObject<TNullInfo>();
  EXPECT_TRUE(IsNullItemInfo(separate->GetRootItem()));
  EXPECT_TRUE(IsNullItemInfo(separate->GetParent()));
  EXPECT_TRUE(IsNullItemInfo(separate->GetAccParent()));
}

TEST(ItemInfoNull_Answers, Neighbours_AllFourSetToTheNullItem) {
  const ItemInfoPtr other = MakeComObject<TNullInfo>();
  ItemInfoPtr left = other;
  ItemInfoPtr top;
  ItemInfoPtr right = other;
  ItemInfoPtr bottom;
  NullItemInfo()->GetNeighbours(left, top, right, bottom);
  EXPECT_TRUE(IsNullItemInfo(left));
  EXPECT_TRUE(IsNullItemInfo(top));
  EXPECT_TRUE(IsNullItemInfo(right));
  EXPECT_TRUE(IsNullItemInfo(bottom));
}

TEST(ItemInfoNull_Answers, Children_NoneAndNil) {
  const ItemInfoPtr null = NullItemInfo();
  EXPECT_EQ(null->GetChildCount(), 0);
  EXPECT_EQ(null->GetValidChildCount(), 0);
  EXPECT_EQ(null->GetChild(0).Get(), nullptr);
  EXPECT_EQ(null->GetValidChild(0).Get(), nullptr);
}

TEST(ItemInfoNull_Answers, WindowTexts_Empty) {
  const ItemInfoPtr null = NullItemInfo();
  EXPECT_EQ(null->GetModuleName(), "");
  EXPECT_EQ(null->GetText(), "");
  EXPECT_EQ(null->GetClassName(), "");
}

TEST(ItemInfoNull_Answers, Rectangles_Zero) {
  const ItemInfoPtr null = NullItemInfo();
  EXPECT_EQ(null->GetClientRect(), kZeroRect);
  EXPECT_EQ(null->GetScreenRect(), kZeroRect);
}

TEST(ItemInfoNull_Answers, InnerPoint_StaysMinusOneAfterSet) {
  const ItemInfoPtr null = NullItemInfo();
  EXPECT_EQ(null->GetInnerPoint(), (TPoint{-1, -1}));
  null->SetInnerPoint({5, 5});
  EXPECT_EQ(null->GetInnerPoint(), (TPoint{-1, -1}));
}

TEST(ItemInfoNull_Answers, AccessibleTexts_Empty) {
  const ItemInfoPtr null = NullItemInfo();
  EXPECT_EQ(null->GetDefaultAction(), L"");
  EXPECT_EQ(null->GetDescription(), L"");
  EXPECT_EQ(null->GetShortcut(), L"");
  EXPECT_EQ(null->GetName(), L"");
  EXPECT_EQ(null->GetRole(), L"");
  EXPECT_EQ(null->GetState(), L"");
  EXPECT_EQ(null->GetValue(), L"");
}

TEST(ItemInfoNull_Answers, Ids_MinusOne) {
  const ItemInfoPtr null = NullItemInfo();
  EXPECT_EQ(null->GetHelpTopicId(), -1);
  EXPECT_EQ(null->GetRoleId(), -1);
  EXPECT_EQ(null->GetStateId(), -1);
}

TEST(ItemInfoNull_ValidChild, OnlyTheInvisibleBitOrAnUnreadableState_MakeAChildInvalid) {
  const struct {
    const char* name;
    int32_t state;
    bool valid;
  } cases[] = {
      {"the invisible bit alone", 0x8000, false},
      {"no state bits", 0, true},
      {"the unreadable state", -1, false},
      {"every bit but the invisible one", static_cast<int32_t>(0xFFFF7FFFu), true},
      {"invisible among offscreen and focusable", 0x8000 | 0x10000 | 0x100000, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidChildState(c.state), c.valid) << c.name;
}

TEST(ItemInfoNull_ValidChild, NullItemAndNil_NotValid) {
  EXPECT_FALSE(IsValidChild(NullItemInfo().Get()));
  EXPECT_FALSE(IsValidChild(nullptr));
}
