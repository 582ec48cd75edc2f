#pragma once
// Copies of the screen: a rectangle of it as a 24-bit picture, and the
// thumbnail that a search path keeps of its target, centred on the point
// where the target was picked. The pixel work itself is in Thumbnail.h.

#include <windows.h>

#include <cstdint>

#include "Bitmap24.h"
#include "GdiHandles.h"
#include "Geometry.h"
#include "ItemInfo.h"

// The side of the thumbnail that a search path keeps of its target.
inline constexpr int32_t kThumbnailSize = 80;

// A logical palette with the display's current system palette entries, read
// through the device context of the window with the keyboard focus (the
// screen's when none has it). Displays without a palette give a palette
// with no entries. Nil when the palette cannot be made.
UniqueGdiObject<HPALETTE> MakeSystemPalette();

// The pixels of the screen inside `rect` (its width and height; Right and
// Bottom lie outside), converted to 24 bits through the system palette.
// Parts outside the screen hold whatever the screen copy delivers (black
// under Wine), and so does a copy that the screen refuses; rows that the
// conversion to 24 bits does not deliver are black. A rectangle without
// width or height gives the empty picture. Raises EOSError when the system
// has no memory for the picture.
TBitmap CaptureScreenRect(const TRect& rect);

// Makes `bitmap` a size x size thumbnail of the screen round a point: the
// 2 * size square centred on the inner point (relative to the top-left
// corner of `screenRect`) is captured, reduced into the bitmap and framed
// with a white outer and a black inner ring.
void CaptureThumbnail(const TRect& screenRect, const TPoint& innerPoint, TBitmap& bitmap,
                      int32_t size);

// The thumbnail of an item, centred on its inner point.
void CaptureItemThumbnail(IItemInfo* item, TBitmap& bitmap, int32_t size);
