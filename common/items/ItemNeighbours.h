#pragma once
// The neighbours of an item: among the valid children of its parent, the
// nearest one on each side. Every item kind answers GetNeighbours with
// GetItemNeighbours; the search needs nothing but IItemInfo, so it serves
// the live item and the snapshot alike.
//
// All rectangles are compared in root-window coordinates, so that siblings
// reported by different kinds of item (or after the window moved) still
// line up.

#include <cstdint>

#include "Geometry.h"
#include "ItemInfo.h"

// Whether the closed ranges [a1, a2] and [b1, b2] share at least one value;
// each pair may come in either order. Ranges that only touch overlap.
bool RangesOverlap(int32_t a1, int32_t a2, int32_t b1, int32_t b2);

// The item's screen rectangle in the coordinates of its top-level window:
// moved by minus the top-left corner of the screen rectangle of the item's
// root item.
TRect GetRectInRootWindow(IItemInfo* item);

// The nearest valid sibling of `item` on each side, the null item on a side
// without one (all four when the item has no parent or its parent has a
// single valid child). A sibling counts on the left or the right when the
// vertical extents overlap, on the top or the bottom when the horizontal
// ones do; it may touch the item but not share inner points with it, and a
// sibling with exactly the item's rectangle (the item itself) never counts.
// Of equally near siblings, the first in valid-child order wins.
void FindNeighbours(IItemInfo* item, ItemInfoPtr& left, ItemInfoPtr& top,
                    ItemInfoPtr& right, ItemInfoPtr& bottom);

// FindNeighbours with a reference to `item` held for the whole search, so
// that an item whose last reference lies elsewhere in the tree survives it.
void GetItemNeighbours(IItemInfo* item, ItemInfoPtr& left, ItemInfoPtr& top,
                       ItemInfoPtr& right, ItemInfoPtr& bottom);
