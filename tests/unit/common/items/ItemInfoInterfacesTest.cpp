// The identifiers and the shape of the item model's interfaces: other
// programs and saved data know the model's objects by these identifiers.

#include "CachedItemInfoQueue.h"
#include "ItemInfo.h"
#include "ItemInfoCache.h"
#include "SearchInfo2.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <type_traits>

namespace {

GUID Parse(const wchar_t* text) {
  GUID id{};
  EXPECT_EQ(IIDFromString(const_cast<LPOLESTR>(text), &id), S_OK) << "bad test GUID";
  return id;
}

}  // namespace

// The snapshot interface continues the item interface's table, so a query
// for either answers the same object.
static_assert(std::is_base_of_v<IItemInfo, ICachedItemInfo>);
static_assert(std::is_same_v<ICachedItemInfo::ComBase, IItemInfo>);

TEST(ItemInfo_Interfaces, Identifiers_AreTheModelsOwn) {
  EXPECT_TRUE(IsEqualGUID(__uuidof(IItemInfo), Parse(L"{8AE0E295-CFC8-4D12-B8EA-E7A44FC5A0DF}")));
  EXPECT_TRUE(
      IsEqualGUID(__uuidof(IItemChildLock), Parse(L"{743727A9-7FDE-49C6-98EF-AC5480743D4B}")));
  EXPECT_TRUE(
      IsEqualGUID(__uuidof(ICachedItemInfo), Parse(L"{B8F38A20-B9F5-42DD-A106-923201202461}")));
  EXPECT_TRUE(
      IsEqualGUID(__uuidof(ICachedInfoQueue), Parse(L"{AEB2DBCB-E2D6-4599-98C5-046989127FC4}")));
  EXPECT_TRUE(IsEqualGUID(__uuidof(ISearchInfo), Parse(L"{5679599B-EBA8-4943-B865-6E49D4C55197}")));
  EXPECT_TRUE(
      IsEqualGUID(__uuidof(ISearchInfoPath), Parse(L"{C016C100-CA60-4C81-94AD-87FEB03E51A2}")));
}

TEST(ItemInfo_Interfaces, AccessibleObject_HasThePlatformsIdentifier) {
  EXPECT_TRUE(IsEqualGUID(__uuidof(IAccessible), Parse(L"{618736E0-3C3D-11CF-810C-00AA00389B71}")));
}
