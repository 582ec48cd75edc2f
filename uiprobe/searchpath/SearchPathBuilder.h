#pragma once
// Building the search path of a captured object: the object and its parents
// from the top-level window down, each level snapshotted into the path's
// item chain and copied into one record together with its four nearest
// neighbours, and a thumbnail of the object in the last record.

#include <cstdint>
#include <functional>

#include "Bitmap24.h"
#include "ItemInfo.h"
#include "SearchInfo2.h"

// How many levels the walk from the object up to its top-level window
// inserts at most. The walk ends where the parents end or at the top-level
// window's own window object; a parent chain that never ends (an object
// that names a descendant of its own as its parent) ends here instead.
inline constexpr int32_t kMaxSearchPathDepth = kMaxTreeWalkDepth;

// The accessibility layer's role of a window object.
inline constexpr int32_t kWindowRoleId = 9;

// How long the selection frame has been hidden before the thumbnail is
// taken, so that the screen no longer shows it.
inline constexpr uint32_t kFrameHiddenBeforeThumbnailMs = 50;

// Draws the thumbnail of the path's target into its record's bitmap.
using ThumbnailCapture = std::function<void(IItemInfo* target, TBitmap& bitmap)>;

// The thumbnail from the screen: kThumbnailSize square, centred on the
// target's inner point.
void CaptureTargetThumbnail(IItemInfo* target, TBitmap& bitmap);

// The search path of `item`, a new path with new snapshots on every call;
// never nil (the path is made before anything else, and a failure to make
// it raises):
// 1. The item and its parents are snapshotted, from the item upwards, until
//    the null item or the top-level window's own window object (role 9 with
//    the root window's handle) is reached, or kMaxSearchPathDepth levels
//    have been taken. The level where the walk stops is left out; the root
//    window's item stands at the top instead. The item itself is always
//    taken, also when it has no parent; an item that is the same as its
//    root window's item is taken alone.
// 2. The chain is finished (compacted, linked, every property read once);
//    the compaction may drop upper levels but never the item. Every element
//    and the children it lists then measure their rectangles from the
//    chain's first element, also when the compaction dropped the root
//    window's item.
// 3. Each chain element fills one record, in chain order, with its four
//    neighbours (FillSearchInfoWithNeighbours).
// 4. With the selection frame hidden (it is made, hidden, when the process
//    has none yet) for at least kFrameHiddenBeforeThumbnailMs, `capture`
//    draws the thumbnail of the last chain element into the last record's
//    bitmap; then the frame is shown again if it was visible before.
// Errors from below leave unchanged, and the frame is then not restored.
SearchInfoPathPtr BuildSearchPath(IItemInfo* item,
                                  const ThumbnailCapture& capture = CaptureTargetThumbnail);

// Copies the item's properties into the record: IsNull, the module, class
// and window texts (widened from the ANSI code page), default action,
// description, help topic id, shortcut, name, state and role ids, value,
// inner point, valid child count, rectangle in the root window, and the
// child id of its accessible reference as ParentId (-1 for the null item).
// The neighbours and the bitmap stay as they are. Nil stands for the null
// item.
void FillSearchInfo(IItemInfo* item, ISearchInfo* record);

// FillSearchInfo for the item into the record, and for each of the item's
// neighbours into the record's neighbour record of the same side (top,
// left, right, bottom in this order); a side without a neighbour gets the
// null item's values.
void FillSearchInfoWithNeighbours(ISearchInfo* record, IItemInfo* item);
