#pragma once
// Whether two items stand for the same on-screen object.
//
// Two item objects never share identity across a walk: a live item's parent,
// child or root is a new object on each call, and a snapshot is another
// object again. Paths and searches therefore recognise an object by what it
// shows: thirteen properties that do not change while the object is left
// alone. The state, the role and state texts, the client rectangle, the
// inner point and the accessible objects are not compared, so an item whose
// focus or selection moved is still the same item.

#include "ItemInfo.h"

// Compares, in this order and each time a's value before b's, the handle,
// module name, text, class name (8-bit, byte for byte), screen rectangle,
// valid child count, default action, description (UTF-16, unit for unit),
// help topic id, shortcut, name, role id and value; false at the first
// difference, without asking further. Nil on either side is false.
bool IsSameItem(IItemInfo* a, IItemInfo* b);

inline bool IsSameItem(const ItemInfoPtr& a, const ItemInfoPtr& b) {
  return IsSameItem(a.Get(), b.Get());
}
