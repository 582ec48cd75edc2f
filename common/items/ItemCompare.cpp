#include "ItemCompare.h"

namespace {

// One property of both items, a's asked first.
template <class Ask>
bool SameValue(IItemInfo* a, IItemInfo* b, Ask ask) {
  const auto first = ask(a);
  return first == ask(b);
}

}  // namespace

bool IsSameItem(IItemInfo* a, IItemInfo* b) {
  if (a == nullptr || b == nullptr) return false;
  // The order is part of the rule: && stops asking at the first difference.
  return SameValue(a, b, [](IItemInfo* item) { return item->GetHandle(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetModuleName(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetText(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetClassName(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetScreenRect(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetValidChildCount(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetDefaultAction(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetDescription(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetHelpTopicId(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetShortcut(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetName(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetRoleId(); }) &&
         SameValue(a, b, [](IItemInfo* item) { return item->GetValue(); });
}
