#include "Bitmap24.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint16_t kBitsPerPixel = 24;
constexpr uint32_t kUncompressed = 0;

void AppendLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t LittleEndianAt(std::string_view bytes, size_t offset, int size) noexcept {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<uint8_t>(bytes[offset + static_cast<size_t>(i)]);
  }
  return value;
}

}  // namespace

TBitmap::TBitmap(int32_t width, int32_t height) {
  if (width < 1 || height < 1) return;
  const uint64_t size = static_cast<uint64_t>(width) * 3 * static_cast<uint64_t>(height);
  if (size > pixels_.max_size()) throw std::length_error("picture too large");
  pixels_.assign(static_cast<size_t>(size), 0);
  width_ = width;
  height_ = height;
}

uint8_t* TBitmap::Row(int32_t y) noexcept {
  return pixels_.data() + static_cast<size_t>(y) * 3 * static_cast<size_t>(width_);
}

const uint8_t* TBitmap::Row(int32_t y) const noexcept {
  return pixels_.data() + static_cast<size_t>(y) * 3 * static_cast<size_t>(width_);
}

Colour TBitmap::Pixel(int32_t x, int32_t y) const noexcept {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* pixel = Row(y) + 3 * static_cast<size_t>(x);
  return static_cast<Colour>(pixel[2]) | (static_cast<Colour>(pixel[1]) << 8) |
         (static_cast<Colour>(pixel[0]) << 16);
}

void TBitmap::SetPixel(int32_t x, int32_t y, Colour colour) noexcept {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* pixel = Row(y) + 3 * static_cast<size_t>(x);
  pixel[0] = static_cast<uint8_t>((colour >> 16) & 0xFF);
  pixel[1] = static_cast<uint8_t>((colour >> 8) & 0xFF);
  pixel[2] = static_cast<uint8_t>(colour & 0xFF);
}

void TBitmap::Fill(Colour colour) noexcept {
  for (int32_t y = 0; y < height_; ++y) {
    for (int32_t x = 0; x < width_; ++x) SetPixel(x, y, colour);
  }
}

uint64_t PaddedRowSize(int32_t width) noexcept {
  return (static_cast<uint64_t>(width) * 3 + 3) & ~static_cast<uint64_t>(3);
}

TBitmap PictureFromTopDownRows(std::span<const uint8_t> rows, int32_t width, int32_t height,
                               int32_t rowsRead) {
  TBitmap picture(width, height);
  if (picture.IsEmpty()) return picture;
  const uint64_t rowSize = PaddedRowSize(width);
  const int32_t filled = std::clamp(rowsRead, 0, height);
  for (int32_t y = 0; y < filled; ++y) {
    const uint64_t start = static_cast<uint64_t>(y) * rowSize;
    if (start + rowSize > rows.size()) break;
    std::memcpy(picture.Row(y), rows.data() + static_cast<size_t>(start),
                3 * static_cast<size_t>(width));
  }
  return picture;
}

std::string EncodeBmp(const TBitmap& bitmap) {
  if (bitmap.IsEmpty()) return {};
  const auto rowSize = static_cast<size_t>(PaddedRowSize(bitmap.Width()));
  const size_t imageSize = rowSize * static_cast<size_t>(bitmap.Height());
  const size_t pixelOffset = kFileHeaderSize + kInfoHeaderSize;
  std::string out;
  out.reserve(pixelOffset + imageSize);
  // File header.
  out += "BM";
  AppendLittleEndian(out, static_cast<uint32_t>(pixelOffset + imageSize), 4);
  AppendLittleEndian(out, 0, 4);  // two reserved words
  AppendLittleEndian(out, static_cast<uint32_t>(pixelOffset), 4);
  // Info header.
  AppendLittleEndian(out, kInfoHeaderSize, 4);
  AppendLittleEndian(out, static_cast<uint32_t>(bitmap.Width()), 4);
  AppendLittleEndian(out, static_cast<uint32_t>(bitmap.Height()), 4);
  AppendLittleEndian(out, 1, 2);  // planes
  AppendLittleEndian(out, kBitsPerPixel, 2);
  AppendLittleEndian(out, kUncompressed, 4);
  AppendLittleEndian(out, static_cast<uint32_t>(imageSize), 4);
  AppendLittleEndian(out, 0, 4);  // horizontal resolution: not given
  AppendLittleEndian(out, 0, 4);  // vertical resolution: not given
  AppendLittleEndian(out, 0, 4);  // colours used: no palette
  AppendLittleEndian(out, 0, 4);  // important colours: all
  const size_t padding = rowSize - 3 * static_cast<size_t>(bitmap.Width());
  for (int32_t y = bitmap.Height() - 1; y >= 0; --y) {
    out.append(reinterpret_cast<const char*>(bitmap.Row(y)),
               3 * static_cast<size_t>(bitmap.Width()));
    out.append(padding, '\0');
  }
  return out;
}

std::optional<TBitmap> DecodeBmp(std::string_view bytes) {
  if (bytes.empty()) return TBitmap();
  if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
    return std::nullopt;
  }
  const uint32_t pixelOffset = LittleEndianAt(bytes, 10, 4);
  const uint32_t infoSize = LittleEndianAt(bytes, 14, 4);
  const auto width = static_cast<int32_t>(LittleEndianAt(bytes, 18, 4));
  const auto rawHeight = static_cast<int32_t>(LittleEndianAt(bytes, 22, 4));
  const uint32_t planes = LittleEndianAt(bytes, 26, 2);
  const uint32_t bitsPerPixel = LittleEndianAt(bytes, 28, 2);
  const uint32_t compression = LittleEndianAt(bytes, 30, 4);
  if (infoSize < kInfoHeaderSize || planes != 1 || bitsPerPixel != kBitsPerPixel ||
      compression != kUncompressed || width < 1 || rawHeight == 0 ||
      rawHeight == std::numeric_limits<int32_t>::min()) {
    return std::nullopt;
  }
  const bool topDown = rawHeight < 0;
  const int32_t height = topDown ? -rawHeight : rawHeight;
  // The pixels must follow the headers and lie wholly inside the bytes.
  const uint64_t rowSize = PaddedRowSize(width);
  const uint64_t imageSize = rowSize * static_cast<uint64_t>(height);
  if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > bytes.size() ||
      imageSize > bytes.size() - pixelOffset) {
    return std::nullopt;
  }
  TBitmap bitmap(width, height);
  for (int32_t row = 0; row < height; ++row) {
    const int32_t y = topDown ? row : height - 1 - row;
    const char* source =
        bytes.data() + pixelOffset + static_cast<size_t>(static_cast<uint64_t>(row) * rowSize);
    std::memcpy(bitmap.Row(y), source, 3 * static_cast<size_t>(width));
  }
  return bitmap;
}
