#pragma once
// Pictures as 24-bit pixels in memory, and their BMP file form.
//
// Search-path records each carry a picture, and a path can hold many of
// them; kept as plain memory rather than as handles of the graphics system
// they cannot run the process out of graphics objects. Pixels are drawn here
// and only copied to or from the screen at the platform's edge.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A colour as the system writes colours: 0x00BBGGRR, red in the low byte
// (255 is red, 0xFF0000 blue).
using Colour = uint32_t;

// A picture of 24-bit pixels, the system's one pixel format.
class TBitmap {
 public:
  // The empty picture: no pixels.
  TBitmap() = default;
  // A black picture; a size below 1 in either direction gives the empty one.
  TBitmap(int32_t width, int32_t height);

  int32_t Width() const noexcept { return width_; }
  int32_t Height() const noexcept { return height_; }
  bool IsEmpty() const noexcept { return width_ == 0; }
  // The new size, every pixel black; as the constructor for sizes below 1.
  void SetSize(int32_t width, int32_t height) { *this = TBitmap(width, height); }

  // Row y, counted from the top: Width() pixels of three bytes each, in the
  // order blue, green, red. y must lie in 0 to Height() - 1.
  uint8_t* Row(int32_t y) noexcept;
  const uint8_t* Row(int32_t y) const noexcept;

  // The pixel at (x, y); 0 outside the picture.
  Colour Pixel(int32_t x, int32_t y) const noexcept;
  // Sets the pixel at (x, y); nothing happens outside the picture.
  void SetPixel(int32_t x, int32_t y, Colour colour) noexcept;
  void Fill(Colour colour) noexcept;

  friend bool operator==(const TBitmap&, const TBitmap&) = default;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint8_t> pixels_;  // rows top first, 3 * width_ bytes each
};

// The bytes of one row of 24-bit pixels in a device-independent bitmap or
// a BMP file: three per pixel, padded with zeros to a multiple of 4. In 64
// bits, as a width may be anything up to 2^31 - 1.
uint64_t PaddedRowSize(int32_t width) noexcept;

// The width x height picture from the rows of a 24-bit device-independent
// bitmap, top row first, each PaddedRowSize(width) bytes, of which only the
// first `rowsRead` were filled: a screen copy may deliver fewer rows than it
// was asked for, or none. The rows it did not deliver stay black; so do
// rows beyond the bytes given.
TBitmap PictureFromTopDownRows(std::span<const uint8_t> rows, int32_t width, int32_t height,
                               int32_t rowsRead);

// The BMP file of the picture: the 14-byte file header, the 40-byte info
// header, and the rows from the bottom up, each padded with zero bytes to a
// multiple of 4. The empty picture gives no bytes.
std::string EncodeBmp(const TBitmap& bitmap);

// The picture of a BMP file with 24-bit, uncompressed pixels, rows bottom-up
// or (with a negative height) top-down. No bytes give the empty picture;
// anything else, a cut file included, gives none. Every pixel must be in the
// bytes, so a file cannot claim more memory than it brings.
std::optional<TBitmap> DecodeBmp(std::string_view bytes);
