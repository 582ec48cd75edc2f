// The thumbnail's pixel arithmetic: the capture square, the box sizes of
// the reduction, the fixed-point average, the in-place sharpening and the
// rings.

#include "Thumbnail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// A colour from its channels (the picture's order is blue, green, red).
constexpr Colour Bgr(uint8_t blue, uint8_t green, uint8_t red) {
  return (static_cast<Colour>(blue) << 16) | (static_cast<Colour>(green) << 8) | red;
}

TBitmap Uniform(int32_t width, int32_t height, Colour colour) {
  TBitmap picture(width, height);
  picture.Fill(colour);
  return picture;
}

// A grey picture whose columns (or rows) carry the given values.
TBitmap GreyColumns(const std::vector<uint8_t>& columns, int32_t height) {
  TBitmap picture(static_cast<int32_t>(columns.size()), height);
  for (int32_t y = 0; y < height; ++y) {
    for (size_t x = 0; x < columns.size(); ++x) {
      picture.SetPixel(static_cast<int32_t>(x), y, Bgr(columns[x], columns[x], columns[x]));
    }
  }
  return picture;
}

uint8_t Blue(Colour colour) { return static_cast<uint8_t>(colour >> 16); }

// --- the capture square ----------------------------------------------------

TEST(Thumbnail_CaptureRect, InnerPoint_IsTheCentreOfA2SizeSquare) {
  const TRect rect = ThumbnailCaptureRect({100, 200, 300, 260}, {10, 20}, 80);
  EXPECT_EQ((TRect{30, 140, 190, 300}), rect);
}

TEST(Thumbnail_CaptureRect, PointNearTheScreenCorner_ReachesBeyondIt) {
  const TRect rect = ThumbnailCaptureRect({0, 0, 50, 50}, {5, 7}, 80);
  EXPECT_EQ((TRect{-75, -73, 85, 87}), rect);
}

// --- box sizes ---------------------------------------------------------------

TEST(Thumbnail_Boxes, TenToFour_AreTwoThreeTwoThree) {
  EXPECT_EQ((std::vector<int32_t>{2, 3, 2, 3}), ShrinkBoxLengths(ShrinkScale(10, 4), 4));
}

TEST(Thumbnail_Boxes, HundredSixtyToEighty_AreAllTwo) {
  EXPECT_EQ(std::vector<int32_t>(80, 2), ShrinkBoxLengths(ShrinkScale(160, 80), 80));
}

TEST(Thumbnail_Boxes, SevenToThree_LeaveTheLastColumnOut) {
  const float scale = ShrinkScale(7, 3);
  // The float nearest to 7/3 lies just below it.
  EXPECT_EQ(7.0f / 3.0f, scale);
  EXPECT_LT(static_cast<long double>(scale), 7.0L / 3.0L);
  EXPECT_EQ((std::vector<int32_t>{2, 2, 2}), ShrinkBoxLengths(scale, 3));
}

TEST(Thumbnail_Boxes, HundredToThree_AreThirtyThreeEach) {
  EXPECT_EQ((std::vector<int32_t>{33, 33, 33}), ShrinkBoxLengths(ShrinkScale(100, 3), 3));
}

TEST(Thumbnail_Boxes, SameSize_AreOnePixelEach) {
  EXPECT_EQ(1.0f, ShrinkScale(37, 37));
  EXPECT_EQ(std::vector<int32_t>(37, 1), ShrinkBoxLengths(ShrinkScale(37, 37), 37));
}

// --- the fixed-point average -------------------------------------------------

TEST(Thumbnail_Average, FourPixelsOf255_Give254) {
  EXPECT_EQ(254, FixedPointAverage(4 * 255, 4));
}

TEST(Thumbnail_Average, OnePixelOf255_Gives254) { EXPECT_EQ(254, FixedPointAverage(255, 1)); }

TEST(Thumbnail_Average, Zero_GivesZero) {
  EXPECT_EQ(0, FixedPointAverage(0, 1));
  EXPECT_EQ(0, FixedPointAverage(0, 4));
  EXPECT_EQ(0, FixedPointAverage(0, 1089));
}

TEST(Thumbnail_Average, UniformBoxOfFour_GivesOneBelowEveryValue) {
  for (uint32_t value = 1; value <= 255; ++value) {
    SCOPED_TRACE(value);
    EXPECT_EQ(value - 1, FixedPointAverage(4 * value, 4));
  }
}

TEST(Thumbnail_Average, MixedBox_StaysBelowTheTrueAverage) {
  // 10, 20, 30, 40: the true average is 25.
  EXPECT_EQ(24, FixedPointAverage(100, 4));
  // Three pixels of 100 and one of 101: 100.25, cut to 100.
  EXPECT_EQ(100, FixedPointAverage(401, 4));
}

// --- the reduction -----------------------------------------------------------

TEST(Thumbnail_Shrink, Uniform160To80_EveryNonZeroChannelOneBelow) {
  const TBitmap source = Uniform(160, 160, Bgr(200, 0, 1));
  TBitmap thumbnail(80, 80);
  ShrinkBitmap(source, thumbnail);
  ASSERT_EQ(80, thumbnail.Width());
  ASSERT_EQ(80, thumbnail.Height());
  EXPECT_EQ(Uniform(80, 80, Bgr(199, 0, 0)), thumbnail);
}

TEST(Thumbnail_Shrink, UniformWhite_Gives254) {
  TBitmap thumbnail(80, 80);
  ShrinkBitmap(Uniform(160, 160, 0xFFFFFF), thumbnail);
  EXPECT_EQ(Uniform(80, 80, Bgr(254, 254, 254)), thumbnail);
}

TEST(Thumbnail_Shrink, TenColumnsToFour_AveragesEachBoxOnItsOwn) {
  // Boxes of 2, 3, 2 and 3 columns, each of one value; two rows make one.
  const TBitmap source = GreyColumns({10, 10, 50, 50, 50, 90, 90, 130, 130, 130}, 2);
  TBitmap destination(4, 1);
  ShrinkBitmap(source, destination);
  EXPECT_EQ(GreyColumns({9, 49, 89, 129}, 1), destination);
}

TEST(Thumbnail_Shrink, SevenColumnsToThree_IgnoresTheLastColumn) {
  const TBitmap source = GreyColumns({10, 10, 50, 50, 90, 90, 250}, 1);
  TBitmap destination(3, 1);
  ShrinkBitmap(source, destination);
  EXPECT_EQ(GreyColumns({9, 49, 89}, 1), destination);
}

TEST(Thumbnail_Shrink, DestinationLargerInOneDirection_BecomesACopyOfTheSource) {
  TBitmap source(80, 80);
  for (int32_t y = 0; y < 80; ++y) {
    for (int32_t x = 0; x < 80; ++x) {
      source.SetPixel(x, y, Bgr(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7));
    }
  }
  TBitmap destination(100, 50);
  ShrinkBitmap(source, destination);
  EXPECT_EQ(source, destination);
}

TEST(Thumbnail_Shrink, HeightTwo_IsAveragedButNotSharpened) {
  // 2 x 2 boxes of 0 and 200 in a checkerboard of boxes: sharpening would
  // change the middle columns, averaging alone gives 199 and 0.
  TBitmap source(8, 4);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const bool bright = ((x / 2) + (y / 2)) % 2 == 0;
      source.SetPixel(x, y, bright ? Bgr(200, 200, 200) : 0);
    }
  }
  TBitmap destination(4, 2);
  ShrinkBitmap(source, destination);
  TBitmap expected(4, 2);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      if ((x + y) % 2 == 0) expected.SetPixel(x, y, Bgr(199, 199, 199));
    }
  }
  EXPECT_EQ(expected, destination);
}

TEST(Thumbnail_Shrink, WidthTwoHeightFive_IsAveragedAndLeftUnsharpened) {
  // Rows of 2 x 2 boxes with values 40 and 160, alternating: the inner rows
  // would change if any column were sharpened.
  TBitmap source(4, 10);
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      const uint8_t value = ((x / 2) + (y / 2)) % 2 == 0 ? 40 : 160;
      source.SetPixel(x, y, Bgr(value, value, value));
    }
  }
  TBitmap destination(2, 5);
  ShrinkBitmap(source, destination);
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 2; ++x) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      const uint8_t value = (x + y) % 2 == 0 ? 39 : 159;
      EXPECT_EQ(Bgr(value, value, value), destination.Pixel(x, y));
    }
  }
}

TEST(Thumbnail_Shrink, AveragesThenSharpens) {
  // One bright 2 x 2 box in the middle of a 4 x 4 source of 2 x 2 boxes
  // reduces to one bright pixel, which sharpening raises by half.
  TBitmap source = Uniform(6, 6, 0);
  for (int32_t y = 2; y < 4; ++y) {
    for (int32_t x = 2; x < 4; ++x) source.SetPixel(x, y, Bgr(0, 101, 0));
  }
  TBitmap destination(3, 3);
  ShrinkBitmap(source, destination);
  // Average 100, then 12 * 100 / 8.
  EXPECT_EQ(Bgr(0, 150, 0), destination.Pixel(1, 1));
  EXPECT_EQ(0u, destination.Pixel(0, 0));
  EXPECT_EQ(0u, destination.Pixel(2, 2));
}

TEST(Thumbnail_Shrink, EmptySource_EmptiesTheDestination) {
  TBitmap destination(4, 4);
  ShrinkBitmap(TBitmap(), destination);
  EXPECT_TRUE(destination.IsEmpty());
}

TEST(Thumbnail_Shrink, EmptyDestination_StaysEmpty) {
  TBitmap destination;
  ShrinkBitmap(Uniform(8, 8, 0x808080), destination);
  EXPECT_TRUE(destination.IsEmpty());
}

// --- sharpening ----------------------------------------------------------------

TEST(Thumbnail_Sharpen, UniformArea_StaysUnchanged) {
  TBitmap picture = Uniform(6, 5, Bgr(1, 128, 255));
  SharpenInPlace(picture);
  EXPECT_EQ(Uniform(6, 5, Bgr(1, 128, 255)), picture);
}

TEST(Thumbnail_Sharpen, OneRaisedPixel_GivesTheWorkedValuesInPlace) {
  TBitmap picture = Uniform(4, 4, Bgr(100, 100, 100));
  picture.SetPixel(1, 1, Bgr(180, 100, 100));
  SharpenInPlace(picture);
  // (12 * 180 - 4 * 100) / 8.
  EXPECT_EQ(Bgr(220, 100, 100), picture.Pixel(1, 1));
  // Reads its upper-left diagonal after it was sharpened: (1200 - 520) / 8.
  // From the unsharpened picture it would be (1200 - 480) / 8 = 90.
  EXPECT_EQ(Bgr(85, 100, 100), picture.Pixel(2, 2));
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x) {
      if ((x == 1 && y == 1) || (x == 2 && y == 2)) continue;
      SCOPED_TRACE(testing::Message() << x << "," << y);
      EXPECT_EQ(Bgr(100, 100, 100), picture.Pixel(x, y));
    }
  }
}

TEST(Thumbnail_Sharpen, SinglePixelInBlack_RaisedByHalfAndDiagonalsClampedToZero) {
  TBitmap picture(5, 5);
  picture.SetPixel(2, 2, Bgr(100, 200, 21));
  SharpenInPlace(picture);
  // 12 * p div 8, at most 255: 150; 300 clamped; 252 / 8 = 31 (cut).
  EXPECT_EQ(Bgr(150, 255, 31), picture.Pixel(2, 2));
  TBitmap expected(5, 5);
  expected.SetPixel(2, 2, Bgr(150, 255, 31));
  EXPECT_EQ(expected, picture);
}

TEST(Thumbnail_Sharpen, EdgeRowsAndColumns_KeepTheirValues) {
  // A bright edge would pull its inner neighbours' diagonals up; the edge
  // pixels themselves must stay as they are.
  TBitmap picture = Uniform(5, 4, Bgr(10, 10, 10));
  for (int32_t x = 0; x < 5; ++x) picture.SetPixel(x, 0, Bgr(250, 250, 250));
  for (int32_t y = 0; y < 4; ++y) picture.SetPixel(4, y, Bgr(250, 250, 250));
  const TBitmap before = picture;
  SharpenInPlace(picture);
  for (int32_t x = 0; x < 5; ++x) {
    EXPECT_EQ(before.Pixel(x, 0), picture.Pixel(x, 0));
    EXPECT_EQ(before.Pixel(x, 3), picture.Pixel(x, 3));
  }
  for (int32_t y = 0; y < 4; ++y) {
    EXPECT_EQ(before.Pixel(0, y), picture.Pixel(0, y));
    EXPECT_EQ(before.Pixel(4, y), picture.Pixel(4, y));
  }
  // (1, 1) sees two bright diagonals above: (120 - 500 - 20) / 8 < 0.
  EXPECT_EQ(0u, picture.Pixel(1, 1));
}

TEST(Thumbnail_Sharpen, HeightTwo_LeavesThePictureAlone) {
  TBitmap picture = Uniform(4, 2, 0);
  picture.SetPixel(1, 1, Bgr(90, 90, 90));
  const TBitmap before = picture;
  SharpenInPlace(picture);
  EXPECT_EQ(before, picture);
}

// --- the rings -----------------------------------------------------------------

TEST(Thumbnail_Rings, OuterRingWhiteNextRingBlackInsideKept) {
  const Colour inside = Bgr(18, 52, 86);
  TBitmap picture = Uniform(80, 80, inside);
  DrawThumbnailRings(picture);
  for (int32_t y = 0; y < 80; ++y) {
    for (int32_t x = 0; x < 80; ++x) {
      const int32_t ring = std::min(std::min(x, y), std::min(79 - x, 79 - y));
      const Colour expected = ring == 0 ? 0xFFFFFF : ring == 1 ? 0x000000 : inside;
      if (picture.Pixel(x, y) != expected) {
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << picture.Pixel(x, y);
        return;
      }
    }
  }
}

TEST(Thumbnail_Rings, NonSquarePicture_FollowsItsEdges) {
  const Colour grey = Bgr(7, 7, 7);
  TBitmap picture = Uniform(6, 5, grey);
  DrawThumbnailRings(picture);
  const char* const rows[] = {
      "WWWWWW",
      "WBBBBW",
      "WB..BW",
      "WBBBBW",
      "WWWWWW",
  };
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 6; ++x) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      const char kind = rows[y][x];
      const Colour expected = kind == 'W' ? 0xFFFFFF : kind == 'B' ? 0x000000 : grey;
      EXPECT_EQ(expected, picture.Pixel(x, y));
    }
  }
}

TEST(Thumbnail_Whole, UniformCapture_RingsAndOneBelowInside) {
  const TBitmap capture = Uniform(160, 160, Bgr(0, 129, 255));
  TBitmap thumbnail(80, 80);
  ShrinkBitmap(capture, thumbnail);
  DrawThumbnailRings(thumbnail);
  EXPECT_EQ(0xFFFFFFu, thumbnail.Pixel(0, 0));
  EXPECT_EQ(0xFFFFFFu, thumbnail.Pixel(79, 40));
  EXPECT_EQ(0u, thumbnail.Pixel(1, 1));
  EXPECT_EQ(0u, thumbnail.Pixel(40, 78));
  EXPECT_EQ(Bgr(0, 128, 254), thumbnail.Pixel(2, 2));
  EXPECT_EQ(Bgr(0, 128, 254), thumbnail.Pixel(40, 40));
  EXPECT_EQ(Bgr(0, 128, 254), thumbnail.Pixel(77, 77));
  EXPECT_EQ(0, Blue(thumbnail.Pixel(60, 20)));
}

}  // namespace
