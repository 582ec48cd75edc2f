// The 24-bit picture and its BMP file form.

#include "Bitmap24.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"

namespace {

using testsupport::BytesFromHex;
using testsupport::Int32Bytes;

constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kWhite = 0xFFFFFF;

// Red, green on the top row; blue, white below.
TBitmap TwoByTwo() {
  TBitmap bitmap(2, 2);
  bitmap.SetPixel(0, 0, kRed);
  bitmap.SetPixel(1, 0, kGreen);
  bitmap.SetPixel(0, 1, kBlue);
  bitmap.SetPixel(1, 1, kWhite);
  return bitmap;
}

// The BMP file of TwoByTwo, written out from the file format: rows of 6
// pixel bytes padded to 8, the bottom row first, each pixel blue, green, red.
const std::string kTwoByTwoBmp = BytesFromHex(
    "42 4D 46 00 00 00 00 00 00 00 36 00 00 00"
    "28 00 00 00 02 00 00 00 02 00 00 00 01 00 18 00 00 00 00 00 10 00 00 00"
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
    "FF 00 00 FF FF FF 00 00"
    "00 00 FF 00 FF 00 00 00");

}  // namespace

TEST(Bitmap24_Pixels, NewPicture_IsBlackAndSetPixelsReadBack) {
  TBitmap bitmap(3, 2);
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 2);
  EXPECT_EQ(bitmap.Pixel(2, 1), 0u);
  bitmap.SetPixel(2, 1, 0x123456);
  EXPECT_EQ(bitmap.Pixel(2, 1), 0x123456u);
  // Stored blue, green, red.
  EXPECT_EQ(bitmap.Row(1)[6], 0x12);
  EXPECT_EQ(bitmap.Row(1)[7], 0x34);
  EXPECT_EQ(bitmap.Row(1)[8], 0x56);
}

TEST(Bitmap24_Pixels, OutsideThePicture_ReadsZeroAndWritesNothing) {
  TBitmap bitmap(2, 2);
  bitmap.Fill(kWhite);
  const TBitmap before = bitmap;
  bitmap.SetPixel(2, 0, kRed);
  bitmap.SetPixel(-1, 0, kRed);
  bitmap.SetPixel(0, 2, kRed);
  EXPECT_EQ(bitmap, before);
  EXPECT_EQ(bitmap.Pixel(0, -1), 0u);
}

TEST(Bitmap24_Pixels, SizeBelowOne_GivesTheEmptyPicture) {
  EXPECT_TRUE(TBitmap(0, 5).IsEmpty());
  EXPECT_TRUE(TBitmap(5, -1).IsEmpty());
  TBitmap bitmap(4, 4);
  bitmap.SetSize(0, 0);
  EXPECT_EQ(bitmap, TBitmap());
}

TEST(Bitmap24_Encode, TwoByTwo_GivesTheBmpFileBytes) {
  EXPECT_EQ(EncodeBmp(TwoByTwo()), kTwoByTwoBmp);
}

TEST(Bitmap24_Encode, EveryRow_IsPaddedToFourBytes) {
  TBitmap bitmap(1, 3);
  bitmap.Fill(kWhite);
  const std::string bytes = EncodeBmp(bitmap);
  ASSERT_EQ(bytes.size(), 54u + 3 * 4);
  EXPECT_EQ(bytes.substr(54, 4), BytesFromHex("FF FF FF 00"));
}

TEST(Bitmap24_Encode, EmptyPicture_GivesNoBytes) {
  EXPECT_TRUE(EncodeBmp(TBitmap()).empty());
}

TEST(Bitmap24_ScreenRows, RowsNotDelivered_StayBlack) {
  // Two pixels a row, padded to 8 bytes, the top row first: red, green;
  // blue, white; white, red.
  const std::string rows = BytesFromHex(
      "00 00 FF 00 FF 00 00 00"
      "FF 00 00 FF FF FF 00 00"
      "FF FF FF 00 00 FF 00 00");
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(rows.data()),
                                       rows.size());
  const Colour none = 0;
  const struct {
    int32_t rowsRead;
    size_t bytesGiven;
    std::vector<Colour> pixels;  // row by row
  } cases[] = {
      {3, 24, {kRed, kGreen, kBlue, kWhite, kWhite, kRed}},
      {2, 24, {kRed, kGreen, kBlue, kWhite, none, none}},
      {0, 24, {none, none, none, none, none, none}},
      {-1, 24, {none, none, none, none, none, none}},
      {7, 24, {kRed, kGreen, kBlue, kWhite, kWhite, kRed}},
      {3, 20, {kRed, kGreen, kBlue, kWhite, none, none}},
  };
  for (const auto& c : cases) {
    const TBitmap picture = PictureFromTopDownRows(bytes.first(c.bytesGiven), 2, 3, c.rowsRead);
    ASSERT_EQ(picture.Width(), 2);
    ASSERT_EQ(picture.Height(), 3);
    std::vector<Colour> pixels;
    for (int32_t y = 0; y < 3; ++y) {
      for (int32_t x = 0; x < 2; ++x) pixels.push_back(picture.Pixel(x, y));
    }
    EXPECT_EQ(pixels, c.pixels) << c.rowsRead << " rows read of " << c.bytesGiven << " bytes";
  }
}

TEST(Bitmap24_Decode, BmpFile_GivesThePicture) {
  const std::optional<TBitmap> decoded = DecodeBmp(kTwoByTwoBmp);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, TwoByTwo());
}

TEST(Bitmap24_Decode, TopDownRows_GiveTheSamePicture) {
  std::string bytes = kTwoByTwoBmp;
  bytes.replace(22, 4, Int32Bytes(-2));
  bytes.replace(54, 16, BytesFromHex("00 00 FF 00 FF 00 00 00 FF 00 00 FF FF FF 00 00"));
  const std::optional<TBitmap> decoded = DecodeBmp(bytes);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, TwoByTwo());
}

TEST(Bitmap24_Decode, NoBytes_GiveTheEmptyPicture) {
  const std::optional<TBitmap> decoded = DecodeBmp("");
  ASSERT_TRUE(decoded.has_value());
  EXPECT_TRUE(decoded->IsEmpty());
}

TEST(Bitmap24_Decode, CutAtEveryByte_GivesNone) {
  for (size_t length = 1; length < kTwoByTwoBmp.size(); ++length) {
    EXPECT_FALSE(DecodeBmp(std::string_view(kTwoByTwoBmp).substr(0, length)).has_value())
        << "length " << length;
  }
}

TEST(Bitmap24_Decode, OtherFormats_GiveNone) {
  std::string notBmp = kTwoByTwoBmp;
  notBmp[0] = 'X';
  EXPECT_FALSE(DecodeBmp(notBmp).has_value());

  std::string bits32 = kTwoByTwoBmp;
  bits32[28] = 32;
  EXPECT_FALSE(DecodeBmp(bits32).has_value());

  std::string compressed = kTwoByTwoBmp;
  compressed[30] = 1;
  EXPECT_FALSE(DecodeBmp(compressed).has_value());
}

TEST(Bitmap24_Decode, SizesThatThePixelsDoNotBack_GiveNone) {
  for (const auto& [width, height] : {std::pair{INT32_MAX, 1}, std::pair{1, INT32_MAX},
                                      std::pair{65536, 65536}, std::pair{0, 2},
                                      std::pair{-2, 2}, std::pair{2, 0}, std::pair{2, INT32_MIN}}) {
    std::string bytes = kTwoByTwoBmp;
    bytes.replace(18, 4, Int32Bytes(width));
    bytes.replace(22, 4, Int32Bytes(height));
    EXPECT_FALSE(DecodeBmp(bytes).has_value()) << width << " x " << height;
  }
}

TEST(Bitmap24_Decode, PixelOffsetPastTheEnd_GivesNone) {
  std::string bytes = kTwoByTwoBmp;
  bytes.replace(10, 4, Int32Bytes(0x7FFFFFFF));
  EXPECT_FALSE(DecodeBmp(bytes).has_value());
  bytes.replace(10, 4, Int32Bytes(20));  // inside the headers
  EXPECT_FALSE(DecodeBmp(bytes).has_value());
}
