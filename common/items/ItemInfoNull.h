#pragma once
// The null item: the one item that stands for no object at all. It answers
// every question with an empty value, so callers can walk parents, children
// and neighbours without testing for errors; they stop where they meet it.
//
// There is one shared instance per process, made by the first NullItemInfo
// call and released at exit. IsNullItemInfo tests identity with it: another
// TNullInfo answers the same values but is not the null item, and neither
// is nil.

#include <windows.h>

#include "ComObject.h"
#include "ItemInfo.h"

// The handle the null item reports: all bits set, unlike the live item's
// failure value 0.
inline HWND NullItemHandle() noexcept {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(-1));
}

class TNullInfo final : public ComObject<IItemInfo> {
 public:
  TNullInfo() = default;

  // Nil object with child id -1.
  TAcc STDMETHODCALLTYPE GetAccessible() override;
  HWND STDMETHODCALLTYPE GetHandle() override;
  // The parents and the root of the null item are the null item.
  ItemInfoPtr STDMETHODCALLTYPE GetRootItem() override;
  std::string STDMETHODCALLTYPE GetModuleName() override;
  std::string STDMETHODCALLTYPE GetText() override;
  std::string STDMETHODCALLTYPE GetClassName() override;
  TRect STDMETHODCALLTYPE GetClientRect() override;
  TRect STDMETHODCALLTYPE GetScreenRect() override;
  // (-1, -1), whatever was set.
  TPoint STDMETHODCALLTYPE GetInnerPoint() override;
  void STDMETHODCALLTYPE SetInnerPoint(const TPoint& point) override;
  void STDMETHODCALLTYPE GetNeighbours(ItemInfoPtr& left, ItemInfoPtr& top,
                                       ItemInfoPtr& right, ItemInfoPtr& bottom) override;
  // Nil: the null item has no children, and callers that keep to the
  // counts never ask it.
  ItemInfoPtr STDMETHODCALLTYPE GetChild(int32_t index) override;
  int32_t STDMETHODCALLTYPE GetChildCount() override;
  ItemInfoPtr STDMETHODCALLTYPE GetValidChild(int32_t index) override;
  int32_t STDMETHODCALLTYPE GetValidChildCount() override;
  ItemInfoPtr STDMETHODCALLTYPE GetParent() override;
  ItemInfoPtr STDMETHODCALLTYPE GetAccParent() override;
  std::wstring STDMETHODCALLTYPE GetDefaultAction() override;
  std::wstring STDMETHODCALLTYPE GetDescription() override;
  int32_t STDMETHODCALLTYPE GetHelpTopicId() override;
  std::wstring STDMETHODCALLTYPE GetShortcut() override;
  std::wstring STDMETHODCALLTYPE GetName() override;
  int32_t STDMETHODCALLTYPE GetRoleId() override;
  // -1, so the null item is never a valid child.
  int32_t STDMETHODCALLTYPE GetStateId() override;
  std::wstring STDMETHODCALLTYPE GetRole() override;
  std::wstring STDMETHODCALLTYPE GetState() override;
  std::wstring STDMETHODCALLTYPE GetValue() override;
};

// The shared null item; created on the first call, the same reference on
// every later one.
ItemInfoPtr NullItemInfo();

// True when `item` is the very reference NullItemInfo returns; nil is false.
bool IsNullItemInfo(IItemInfo* item) noexcept;

inline bool IsNullItemInfo(const ItemInfoPtr& item) noexcept {
  return IsNullItemInfo(item.Get());
}
