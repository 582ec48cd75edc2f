#include "AccessibilityNames.h"

namespace {

// The names are ASCII, so widening is a copy of each character.
void AppendWidened(std::wstring& out, std::string_view name) {
  out.append(name.begin(), name.end());
}

}  // namespace

std::wstring RoleToName(int32_t roleId) {
  for (const TListRec& row : RoleNames) {
    if (row.Value == roleId) {
      std::wstring name;
      AppendWidened(name, row.Name);
      return name;
    }
  }
  return {};
}

std::wstring StateBitsToNames(int32_t stateId) {
  const uint32_t bits = static_cast<uint32_t>(stateId);
  std::wstring names;
  for (const TListRec& row : StateNames) {
    if ((static_cast<uint32_t>(row.Value) & bits) != 0) {
      if (!names.empty()) names += L';';
      AppendWidened(names, row.Name);
    }
  }
  return names;
}
