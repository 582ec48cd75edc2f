#pragma once
// The names of a search path's records in path order, as tests compare them.

#include <cstdint>
#include <string>
#include <vector>

#include "SearchInfo2.h"

inline std::vector<std::wstring> RecordNames(ISearchInfoPath* path) {
  std::vector<std::wstring> names;
  for (int32_t i = 0; i < path->GetCount(); ++i) names.push_back(path->GetItem(i)->GetName());
  return names;
}
