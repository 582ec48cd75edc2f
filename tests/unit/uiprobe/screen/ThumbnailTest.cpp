// The thumbnail's pixel arithmetic: the capture square, the box sizes of
// the reduction, the fixed-point average, the in-place sharpening and the
// rings.

#include "Thumbnail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
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

// A square of twice the size round the inner point, even where it reaches
// beyond the screen's corner.
TEST(Thumbnail_CaptureRect, InnerPoint_IsTheCentreOfA2SizeSquare) {
  EXPECT_EQ((TRect{30, 140, 190, 300}), ThumbnailCaptureRect({100, 200, 300, 260}, {10, 20}, 80));
  EXPECT_EQ((TRect{-75, -73, 85, 87}), ThumbnailCaptureRect({0, 0, 50, 50}, {5, 7}, 80));
}

// --- box sizes ---------------------------------------------------------------

TEST(Thumbnail_Boxes, EachBox_IsTheScaleRoundedUpFromWhereItStarts) {
  const struct {
    int32_t from;
    int32_t to;
    std::vector<int32_t> lengths;
  } cases[] = {
      {10, 4, {2, 3, 2, 3}},
      {160, 80, std::vector<int32_t>(80, 2)},
      {100, 3, {33, 33, 33}},
      {37, 37, std::vector<int32_t>(37, 1)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.lengths, ShrinkBoxLengths(ShrinkScale(c.from, c.to), c.to))
        << c.from << " to " << c.to;
  }
  EXPECT_EQ(1.0f, ShrinkScale(37, 37));
}

TEST(Thumbnail_Boxes, SevenToThree_LeaveTheLastColumnOut) {
  const float scale = ShrinkScale(7, 3);
  // The float nearest to 7/3 lies just below it.
  EXPECT_EQ(7.0f / 3.0f, scale);
  EXPECT_LT(static_cast<long double>(scale), 7.0L / 3.0L);
  EXPECT_EQ((std::vector<int32_t>{2, 2, 2}), ShrinkBoxLengths(scale, 3));
}

// --- the fixed-point average -------------------------------------------------

// The average in fixed point stays below the true one: 255 gives 254, 0
// stays 0; for 10, 20, 30, 40 (25) it gives 24, for 100.25 100.
TEST(Thumbnail_Average, FixedPoint_StaysBelowTheTrueAverage) {
  const struct {
    uint32_t sum;
    uint32_t count;
    uint32_t average;
  } cases[] = {{4 * 255, 4, 254}, {255, 1, 254}, {0, 1, 0},    {0, 4, 0},
               {0, 1089, 0},      {100, 4, 24},  {401, 4, 100}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.average, FixedPointAverage(c.sum, c.count)) << c.sum << " / " << c.count;
  }
}

TEST(Thumbnail_Average, UniformBoxOfFour_GivesOneBelowEveryValue) {
  for (uint32_t value = 1; value <= 255; ++value) {
    SCOPED_TRACE(value);
    EXPECT_EQ(value - 1, FixedPointAverage(4 * value, 4));
  }
}

// --- the reduction -----------------------------------------------------------

TEST(Thumbnail_Shrink, Uniform160To80_EveryNonZeroChannelOneBelow) {
  for (const auto& [colour, shrunk] :
       {std::pair{Bgr(200, 0, 1), Bgr(199, 0, 0)}, {0xFFFFFF, Bgr(254, 254, 254)}}) {
    TBitmap thumbnail(80, 80);
    ShrinkBitmap(Uniform(160, 160, colour), thumbnail);
    ASSERT_EQ(80, thumbnail.Width());
    ASSERT_EQ(80, thumbnail.Height());
    EXPECT_EQ(Uniform(80, 80, shrunk), thumbnail) << std::hex << colour;
  }
}

// Boxes of 2, 3, 2 and 3 columns, and of 2, 2 and 2 with the last column
// left out, each of one value; two rows make one.
TEST(Thumbnail_Shrink, EachBoxIsAveragedOnItsOwn_ColumnsPastTheLastBoxIgnored) {
  const struct {
    std::vector<uint8_t> columns;
    int32_t height;
    std::vector<uint8_t> shrunk;
  } cases[] = {{{10, 10, 50, 50, 50, 90, 90, 130, 130, 130}, 2, {9, 49, 89, 129}},
               {{10, 10, 50, 50, 90, 90, 250}, 1, {9, 49, 89}}};
  for (const auto& c : cases) {
    TBitmap destination(static_cast<int32_t>(c.shrunk.size()), 1);
    ShrinkBitmap(GreyColumns(c.columns, c.height), destination);
    EXPECT_EQ(GreyColumns(c.shrunk, 1), destination) << c.columns.size() << " columns";
  }
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

TEST(Thumbnail_Shrink, EmptySourceOrDestination_GivesAnEmptyDestination) {
  TBitmap destination(4, 4);
  ShrinkBitmap(TBitmap(), destination);
  EXPECT_TRUE(destination.IsEmpty());
  TBitmap empty;
  ShrinkBitmap(Uniform(8, 8, 0x808080), empty);
  EXPECT_TRUE(empty.IsEmpty());
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
