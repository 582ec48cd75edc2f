#pragma once
// The pixel work behind a search path's thumbnail: the square of the screen
// that is captured round the object's inner point, the box-filter reduction
// with its fixed-point average, the in-place sharpening and the two rings
// that frame the result. Pure arithmetic on 24-bit pictures; the screen copy
// itself lives in ScreenCaptureUtils.
//
// The arithmetic is exact rather than "near enough": every division,
// truncation and clamp below is the documented one, so the same screen
// always gives the same thumbnail, byte for byte.

#include <cstdint>
#include <vector>

#include "Bitmap24.h"
#include "Geometry.h"

// The screen square of 2 * size pixels on each side whose pixel (size, size)
// is the inner point: the centre is the object's top-left corner plus the
// inner point.
TRect ThumbnailCaptureRect(const TRect& screenRect, const TPoint& innerPoint, int32_t size);

// Source pixels per destination pixel along one direction:
// 1 / (destination / source), worked out in extended precision and kept as
// a 32-bit float, as the reduction uses it.
float ShrinkScale(int32_t sourceLength, int32_t destinationLength);

// The lengths of the boxes along one direction: box i covers the source
// pixels Trunc(i * scale) .. Trunc((i + 1) * scale) - 1. The boxes follow
// each other without gaps from the source's start; when the last product
// falls just short of the source length, the last source pixel lies in no
// box (7 reduced to 3 gives 2, 2, 2).
std::vector<int32_t> ShrinkBoxLengths(float scale, int32_t destinationLength);

// The fixed-point average of `count` channel values adding up to `sum`:
// (sum * (65535 div count)) shr 16. Never above the true average, and 255
// comes out as 254. `count` must be at least 1.
uint8_t FixedPointAverage(uint32_t sum, uint32_t count);

// Sharpens the picture in place with the kernel 12 at the centre and -1 on
// each diagonal, divided by 8 (truncating toward zero) and clamped to
// 0 .. 255. Rows go top to bottom and columns left to right, every value
// written at once, so a pixel's upper diagonals are already sharpened when
// it is worked out and its lower ones are not. The outermost rows and
// columns keep their values; a picture less than 3 rows high is left alone.
void SharpenInPlace(TBitmap& picture);

// Reduces `source` into the size that `destination` has now: each
// destination pixel is the fixed-point average of its source box, and the
// result is sharpened. When the destination is larger than the source in
// either direction it becomes a copy of the source instead, size included,
// neither averaged nor sharpened. An empty source empties the destination;
// an empty destination stays empty.
void ShrinkBitmap(const TBitmap& source, TBitmap& destination);

// Frames a thumbnail: a white ring along the outermost pixels and a black
// ring just inside it, drawn as one-pixel outlines of (0, 0, W, H) and
// (1, 1, W - 1, H - 1). The inside keeps its pixels.
void DrawThumbnailRings(TBitmap& picture);
