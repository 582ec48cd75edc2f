#include "ItemInfoNull.h"

namespace {

// The process's one null item. Empty until the first NullItemInfo call; the
// reference is released when the program's statics are destroyed at exit.
ItemInfoPtr& SharedNullItem() {
  static ItemInfoPtr instance;
  return instance;
}

}  // namespace

ItemInfoPtr NullItemInfo() {
  ItemInfoPtr& instance = SharedNullItem();
  if (!instance) instance = MakeComObject<TNullInfo>();
  return instance;
}

bool IsNullItemInfo(IItemInfo* item) noexcept {
  return item != nullptr && item == SharedNullItem().Get();
}

TAcc TNullInfo::GetAccessible() { return TAcc(nullptr, -1); }

HWND TNullInfo::GetHandle() { return NullItemHandle(); }

ItemInfoPtr TNullInfo::GetRootItem() { return NullItemInfo(); }

std::string TNullInfo::GetModuleName() { return {}; }

std::string TNullInfo::GetText() { return {}; }

std::string TNullInfo::GetClassName() { return {}; }

TRect TNullInfo::GetClientRect() { return {}; }

TRect TNullInfo::GetScreenRect() { return {}; }

TPoint TNullInfo::GetInnerPoint() { return {-1, -1}; }

void TNullInfo::SetInnerPoint(const TPoint&) {}

void TNullInfo::GetNeighbours(ItemInfoPtr& left, ItemInfoPtr& top, ItemInfoPtr& right,
                              ItemInfoPtr& bottom) {
  const ItemInfoPtr null = NullItemInfo();
  left = null;
  top = null;
  right = null;
  bottom = null;
}

ItemInfoPtr TNullInfo::GetChild(int32_t) { return nullptr; }

int32_t TNullInfo::GetChildCount() { return 0; }

ItemInfoPtr TNullInfo::GetValidChild(int32_t) { return nullptr; }

int32_t TNullInfo::GetValidChildCount() { return 0; }

ItemInfoPtr TNullInfo::GetParent() { return NullItemInfo(); }

ItemInfoPtr TNullInfo::GetAccParent() { return NullItemInfo(); }

std::wstring TNullInfo::GetDefaultAction() { return {}; }

std::wstring TNullInfo::GetDescription() { return {}; }

int32_t TNullInfo::GetHelpTopicId() { return -1; }

std::wstring TNullInfo::GetShortcut() { return {}; }

std::wstring TNullInfo::GetName() { return {}; }

int32_t TNullInfo::GetRoleId() { return -1; }

int32_t TNullInfo::GetStateId() { return -1; }

std::wstring TNullInfo::GetRole() { return {}; }

std::wstring TNullInfo::GetState() { return {}; }

std::wstring TNullInfo::GetValue() { return {}; }
