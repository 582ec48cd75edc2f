// The selection frame's placement and region, worked out without a window;
// and, for the same sizes, the same pixels as the window manager's own
// region calls give.

#include "FrameRegion.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

namespace {

// A caption 40 pixels wide and 13 high over a 200 x 60 rectangle.
constexpr TRect kFramed{100, 200, 300, 260};
constexpr int32_t kCaptionWidth = 40;
constexpr int32_t kCaptionHeight = 13;

// --- pixel regions -------------------------------------------------------------

TEST(FrameRegion_Pixels, RectWithSwappedCorners_CoversTheOrderedRect) {
  const TPixelRegion region = TPixelRegion::FromRect({2, 5, 1, 9});
  EXPECT_EQ((std::vector<TRect>{{1, 5, 2, 9}}), region.Rects());
}

TEST(FrameRegion_Pixels, RectWithoutWidthOrHeight_IsEmpty) {
  EXPECT_TRUE(TPixelRegion::FromRect({2, 5, 2, 9}).IsEmpty());
  EXPECT_TRUE(TPixelRegion::FromRect({2, 5, 8, 5}).IsEmpty());
}

TEST(FrameRegion_Pixels, TwoHalvesUnited_AreTheWholeRect) {
  TPixelRegion region = TPixelRegion::FromRect({0, 0, 10, 4});
  region.Unite(TPixelRegion::FromRect({0, 4, 10, 9}));
  EXPECT_EQ(TPixelRegion::FromRect({0, 0, 10, 9}), region);
  EXPECT_EQ(90, region.Area());
}

TEST(FrameRegion_Pixels, HoleSubtracted_LeavesARing) {
  TPixelRegion region = TPixelRegion::FromRect({0, 0, 5, 5});
  region.Subtract(TPixelRegion::FromRect({1, 1, 4, 4}));
  EXPECT_EQ(16, region.Area());
  EXPECT_TRUE(region.Contains({0, 0}));
  EXPECT_TRUE(region.Contains({4, 2}));
  EXPECT_FALSE(region.Contains({2, 2}));
  EXPECT_FALSE(region.Contains({5, 2}));
  EXPECT_EQ((TRect{0, 0, 5, 5}), region.Bounds());
}

// --- placement -------------------------------------------------------------------

TEST(FrameRegion_Layout, CaptionAbove_WindowStartsCaptionHeightHigher) {
  const TFrameLayout layout = MakeFrameLayout(kFramed, kCaptionWidth, kCaptionHeight);
  EXPECT_EQ(13, layout.CaptionHeight);
  EXPECT_EQ(44, layout.TabWidth);
  EXPECT_EQ((TRect{100, 187, 300, 260}), layout.Window);
  EXPECT_EQ((TRect{0, 13, 200, 73}), layout.Outer);
  EXPECT_EQ((TRect{2, 15, 198, 71}), layout.Inner);
  EXPECT_EQ((TRect{0, 0, 44, 15}), layout.Tab);
}

TEST(FrameRegion_Layout, SwappedCorners_SizedByAbsoluteValuesFromLeftAndTop) {
  const TFrameLayout layout = MakeFrameLayout({300, 260, 100, 200}, kCaptionWidth, kCaptionHeight);
  EXPECT_EQ((TRect{300, 247, 500, 320}), layout.Window);
  EXPECT_EQ((TRect{0, 13, 200, 73}), layout.Outer);
}

TEST(FrameRegion_Layout, CaptionWiderThanTheRect_WidensTheWindowToTheTab) {
  const TFrameLayout layout = MakeFrameLayout(kFramed, 250, kCaptionHeight);
  EXPECT_EQ(254, RectWidth(layout.Window));
  EXPECT_EQ(200, layout.Outer.Right);
}

TEST(FrameRegion_Layout, EmptyCaption_GivesATabFourPixelsWide) {
  const TFrameLayout layout = MakeFrameLayout(kFramed, 0, 0);
  EXPECT_EQ(4, layout.TabWidth);
  EXPECT_EQ((TRect{100, 200, 300, 260}), layout.Window);
}

// --- the region ----------------------------------------------------------------

TEST(FrameRegion_Shape, TwoPixelFrameAndTab_AreTheOnlyPixels) {
  const TPixelRegion region =
      FrameRegion(MakeFrameLayout(kFramed, kCaptionWidth, kCaptionHeight));
  // The frame: two pixels along each inside edge of the 200 x 60 rectangle.
  for (const TPoint inside : {TPoint{0, 13}, TPoint{1, 40}, TPoint{199, 72}, TPoint{198, 14},
                              TPoint{100, 71}, TPoint{100, 14}}) {
    EXPECT_TRUE(region.Contains(inside)) << inside.X << "," << inside.Y;
  }
  for (const TPoint outside : {TPoint{2, 15}, TPoint{197, 70}, TPoint{100, 40}, TPoint{200, 13},
                               TPoint{0, 73}}) {
    EXPECT_FALSE(region.Contains(outside)) << outside.X << "," << outside.Y;
  }
  // The tab: 43 columns, rows 0 to 12 above the frame.
  EXPECT_TRUE(region.Contains({0, 0}));
  EXPECT_TRUE(region.Contains({42, 12}));
  EXPECT_FALSE(region.Contains({43, 0}));
  EXPECT_FALSE(region.Contains({100, 5}));
  EXPECT_EQ(200 * 60 - 196 * 56 + 43 * 13, region.Area());
}

TEST(FrameRegion_Shape, TabWiderThanTheFrame_ReachesOneRowIntoTheTopEdge) {
  const TPixelRegion region = FrameRegion(MakeFrameLayout(kFramed, 250, kCaptionHeight));
  // The tab box is 254 x 15; the tab covers 253 columns and rows 0 to 13.
  EXPECT_TRUE(region.Contains({252, 0}));
  EXPECT_FALSE(region.Contains({253, 0}));
  EXPECT_TRUE(region.Contains({220, 13}));
  EXPECT_FALSE(region.Contains({220, 14}));
  // The frame's right edge stays at the rectangle's width.
  EXPECT_TRUE(region.Contains({199, 40}));
  EXPECT_FALSE(region.Contains({200, 40}));
}

TEST(FrameRegion_Shape, RectThreePixelsWide_LosesOnlyItsMiddleColumn) {
  // The inner rectangle (2, 2, 1, 8) is taken with its corners in order.
  const TPixelRegion region = FrameRegion(MakeFrameLayout({0, 0, 3, 10}, 0, 0));
  EXPECT_TRUE(region.Contains({0, 5}));
  EXPECT_FALSE(region.Contains({1, 5}));
  EXPECT_TRUE(region.Contains({2, 5}));
  EXPECT_TRUE(region.Contains({1, 1}));
  EXPECT_TRUE(region.Contains({1, 8}));
  EXPECT_EQ(30 - 6, region.Area());
}

TEST(FrameRegion_Shape, ZeroRect_TabLosesTheCornerThatTheInnerRectFlipsOnto) {
  // No outer rectangle; the inner one, (2, 15, -2, 11), is taken with its
  // corners in order and cuts (0, 11)-(1, 13) out of the tab.
  const TPixelRegion region = FrameRegion(MakeFrameLayout({50, 50, 50, 50}, 20, 13));
  EXPECT_EQ(23 * 14 - 2 * 3, region.Area());
  EXPECT_TRUE(region.Contains({0, 10}));
  EXPECT_FALSE(region.Contains({0, 11}));
  EXPECT_FALSE(region.Contains({1, 13}));
  EXPECT_TRUE(region.Contains({2, 13}));
  EXPECT_TRUE(region.Contains({22, 13}));
}

TEST(FrameRegion_Cursor, OnTheEdge_RemovesExactlyThatPixel) {
  TPixelRegion region = FrameRegion(MakeFrameLayout(kFramed, kCaptionWidth, kCaptionHeight));
  const int64_t area = region.Area();
  ExcludePixel(region, {1, 40});
  EXPECT_EQ(area - 1, region.Area());
  EXPECT_FALSE(region.Contains({1, 40}));
  EXPECT_TRUE(region.Contains({0, 40}));
  EXPECT_TRUE(region.Contains({1, 39}));
  EXPECT_TRUE(region.Contains({1, 41}));
}

TEST(FrameRegion_Cursor, OutsideTheRegion_ChangesNothing) {
  const TPixelRegion before =
      FrameRegion(MakeFrameLayout(kFramed, kCaptionWidth, kCaptionHeight));
  for (const TPoint point : {TPoint{100, 40}, TPoint{-1, 20}, TPoint{300, 300}, TPoint{43, 2}}) {
    TPixelRegion region = before;
    ExcludePixel(region, point);
    EXPECT_EQ(before, region) << point.X << "," << point.Y;
  }
}

// --- the same pixels as the window manager's regions ---------------------------

struct RegionDeleter {
  void operator()(HRGN region) const { DeleteObject(region); }
};
using UniqueRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, RegionDeleter>;

// The region built from the layout the way the frame is described: the tab
// as a rounded rectangle with 2 x 2 corners, united with the outer
// rectangle, minus the inner one.
UniqueRegion PlatformFrameRegion(const TFrameLayout& layout) {
  UniqueRegion tab(CreateRoundRectRgn(layout.Tab.Left, layout.Tab.Top, layout.Tab.Right,
                                      layout.Tab.Bottom, 2, 2));
  UniqueRegion outer(CreateRectRgn(layout.Outer.Left, layout.Outer.Top, layout.Outer.Right,
                                   layout.Outer.Bottom));
  UniqueRegion inner(CreateRectRgn(layout.Inner.Left, layout.Inner.Top, layout.Inner.Right,
                                   layout.Inner.Bottom));
  UniqueRegion result(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(result.get(), tab.get(), outer.get(), RGN_OR);
  CombineRgn(result.get(), result.get(), inner.get(), RGN_DIFF);
  return result;
}

// Compares every pixel of `area` (and a margin round it).
void ExpectSamePixels(const TPixelRegion& expected, HRGN actual, const TRect& area) {
  int differences = 0;
  for (int32_t y = area.Top - 3; y < area.Bottom + 3; ++y) {
    for (int32_t x = area.Left - 3; x < area.Right + 3; ++x) {
      const bool platform = PtInRegion(actual, x, y) != FALSE;
      if (platform != expected.Contains({x, y}) && ++differences <= 5) {
        ADD_FAILURE() << "pixel " << x << "," << y << ": platform " << platform;
      }
    }
  }
  EXPECT_EQ(0, differences);
}

TEST(FrameRegion_Platform, RoundRectWithTwoPixelCorners_MatchesTheTab) {
  for (const TRect box : {TRect{0, 0, 4, 2}, TRect{0, 0, 4, 15}, TRect{0, 0, 44, 15},
                          TRect{0, 0, 163, 16}, TRect{0, 0, 5, 5}}) {
    SCOPED_TRACE(testing::Message() << box.Right << "x" << box.Bottom);
    UniqueRegion platform(CreateRoundRectRgn(box.Left, box.Top, box.Right, box.Bottom, 2, 2));
    ExpectSamePixels(TabRegion(box), platform.get(), box);
  }
}

TEST(FrameRegion_Platform, RectWithSwappedCorners_MatchesTheRegionCall) {
  UniqueRegion platform(CreateRectRgn(2, 5, 1, 9));
  ExpectSamePixels(TPixelRegion::FromRect({2, 5, 1, 9}), platform.get(), {0, 0, 4, 10});
}

TEST(FrameRegion_Platform, FrameRegions_MatchTheRegionCalls) {
  struct Case {
    TRect framed;
    int32_t captionWidth;
    int32_t captionHeight;
  };
  for (const Case& c : {Case{kFramed, kCaptionWidth, kCaptionHeight},
                        Case{kFramed, 250, kCaptionHeight}, Case{kFramed, 0, 0},
                        Case{{300, 260, 100, 200}, 30, 16}, Case{{0, 0, 3, 10}, 0, 0},
                        Case{{0, 0, 4, 4}, 10, 13}, Case{{10, 10, 11, 11}, 10, 13},
                        Case{{50, 50, 50, 50}, 20, 13}}) {
    SCOPED_TRACE(testing::Message() << c.framed.Left << "," << c.framed.Top << ","
                                    << c.framed.Right << "," << c.framed.Bottom << " caption "
                                    << c.captionWidth << "x" << c.captionHeight);
    const TFrameLayout layout = MakeFrameLayout(c.framed, c.captionWidth, c.captionHeight);
    UniqueRegion platform = PlatformFrameRegion(layout);
    ExpectSamePixels(FrameRegion(layout), platform.get(), RectAtOrigin(layout.Window));
  }
}

}  // namespace
