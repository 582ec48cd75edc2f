#pragma once
// The captured item's properties as values, asked of the item now: what the
// text formats, the object XML and the VEK_* variables are made from.

#include <string_view>

#include "ItemInfo.h"
#include "ObjectProperties.h"

// The values of the properties whose letters occur in `flags` (all of them
// for kAllOutputFlags), asked of the item now; the others keep their
// defaults. The screen rectangle and the inner point are asked once and
// serve both "b" and "p".
TObjectProperties ReadObjectProperties(IItemInfo* item, std::string_view flags);
