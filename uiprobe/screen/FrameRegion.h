#pragma once
// The shape of the selection frame's window, worked out from plain sizes: the
// framed rectangle on the screen and the extent of the caption text. Nothing
// here needs a window, so the shape can be checked pixel by pixel.
//
// The window covers the framed rectangle plus, above it, the height of the
// caption. Its region is a two-pixel frame along the inside of the framed
// rectangle and a caption tab above the rectangle's top-left corner, as wide
// as the caption plus 4 pixels. All coordinates of the region are relative
// to the window's top-left corner.

#include <cstdint>
#include <vector>

#include "Geometry.h"

// A set of whole pixels, held as disjoint rectangles in horizontal bands
// (top to bottom, left to right within a band, touching bands with the same
// spans merged), so that two regions of the same pixels compare equal.
class TPixelRegion {
 public:
  TPixelRegion() = default;

  // The pixels of a rectangle as the window manager's region calls take
  // one: the corners are put in order first, so (2, 5, 1, 9) covers column
  // 1, and a rectangle without width or height covers nothing.
  static TPixelRegion FromRect(const TRect& rect);

  // Adds every pixel of `other`.
  void Unite(const TPixelRegion& other);
  // Removes every pixel of `other`.
  void Subtract(const TPixelRegion& other);

  bool Contains(const TPoint& point) const;
  bool IsEmpty() const { return rects_.empty(); }
  // The number of pixels.
  int64_t Area() const;
  // The smallest rectangle round every pixel; (0, 0, 0, 0) when empty.
  TRect Bounds() const;
  const std::vector<TRect>& Rects() const { return rects_; }

  friend bool operator==(const TPixelRegion&, const TPixelRegion&) = default;

 private:
  template <class Combine>
  void CombineWith(const TPixelRegion& other, Combine combine);

  std::vector<TRect> rects_;
};

// Where the frame window goes and the rectangles its region is made of.
struct TFrameLayout {
  // The caption's height and the tab's width (caption width + 4).
  int32_t CaptionHeight = 0;
  int32_t TabWidth = 0;
  // The window on the screen: at the framed rectangle's Left and its Top
  // minus the caption height; as wide as the larger of the tab and the
  // framed rectangle, as high as the framed rectangle plus the caption.
  TRect Window;
  // In window coordinates: the framed rectangle below the caption...
  TRect Outer;
  // ...the same shrunk by 2 pixels on every side...
  TRect Inner;
  // ...and the box of the caption tab, from the window's corner down to 2
  // rows below the caption, drawn as a rectangle with elliptic corners 2
  // pixels across.
  TRect Tab;
};

// The layout for a framed rectangle and the caption's text extent. A
// rectangle whose corners are swapped is sized by its absolute width and
// height; the window still starts at its Left, and at its Top minus the
// caption height.
TFrameLayout MakeFrameLayout(const TRect& frameRect, int32_t captionWidth,
                             int32_t captionHeight);

// The pixels of the caption tab. The window manager's rounded rectangle
// leaves out the box's right column and bottom row, as all its elliptic
// shapes do, and corner ellipses 2 pixels across round nothing off; so the
// tab covers (Left, Top, Right - 1, Bottom - 1) of its box, and of its two
// lowest rows only the upper one reaches into the frame's top edge.
TPixelRegion TabRegion(const TRect& tabBox);

// The window's region: the tab united with the outer rectangle, minus the
// inner rectangle.
TPixelRegion FrameRegion(const TFrameLayout& layout);

// Removes the one pixel at `point` when the region holds it, so that a hit
// test there falls through to the window below; otherwise nothing changes.
void ExcludePixel(TPixelRegion& region, const TPoint& point);
