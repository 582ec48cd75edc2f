#include "Thumbnail.h"

#include <algorithm>

namespace {

constexpr int kChannels = 3;  // blue, green, red, always treated alike
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;

// Trunc(index * scale): the product is exact in extended precision (a
// 24-bit float times a 32-bit integer), so only the cut toward zero rounds.
int32_t BoxEdge(int64_t index, float scale) {
  return static_cast<int32_t>(static_cast<int64_t>(static_cast<long double>(index) *
                                                   static_cast<long double>(scale)));
}

// The start of each box and, one past the last, the end of the last box,
// never beyond the source (the float scale could in theory round up by
// less than one pixel).
std::vector<int32_t> BoxStarts(const std::vector<int32_t>& lengths, int32_t sourceLength) {
  std::vector<int32_t> starts(lengths.size() + 1, 0);
  for (size_t i = 0; i < lengths.size(); ++i) {
    starts[i + 1] = std::min(starts[i] + lengths[i], sourceLength);
  }
  return starts;
}

// The average for a box whose fixed-point factor is 65535 div count. The sum
// is at most 255 * count, so the product stays below 2^24.
uint8_t AverageWithFactor(uint32_t sum, uint32_t factor) {
  return static_cast<uint8_t>((sum * factor) >> 16);
}

// A one-pixel outline along the inside of the rectangle; pixels outside the
// picture are skipped.
void DrawOutline(TBitmap& picture, const TRect& rect, Colour colour) {
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  for (int32_t x = rect.Left; x < rect.Right; ++x) {
    picture.SetPixel(x, rect.Top, colour);
    picture.SetPixel(x, rect.Bottom - 1, colour);
  }
  for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
    picture.SetPixel(rect.Left, y, colour);
    picture.SetPixel(rect.Right - 1, y, colour);
  }
}

}  // namespace

TRect ThumbnailCaptureRect(const TRect& screenRect, const TPoint& innerPoint, int32_t size) {
  const TPoint centre{screenRect.Left + innerPoint.X, screenRect.Top + innerPoint.Y};
  return {centre.X - size, centre.Y - size, centre.X + size, centre.Y + size};
}

float ShrinkScale(int32_t sourceLength, int32_t destinationLength) {
  // Two divisions in extended precision, then the float. For any picture
  // size below 2^24 this is the float nearest to source / destination, so a
  // run-time library that lowers the x87 precision changes nothing.
  const long double ratio =
      static_cast<long double>(destinationLength) / static_cast<long double>(sourceLength);
  return static_cast<float>(1.0L / ratio);
}

std::vector<int32_t> ShrinkBoxLengths(float scale, int32_t destinationLength) {
  std::vector<int32_t> lengths(static_cast<size_t>(std::max(destinationLength, 0)));
  for (int32_t i = 0; i < destinationLength; ++i) {
    lengths[static_cast<size_t>(i)] = BoxEdge(int64_t{i} + 1, scale) - BoxEdge(i, scale);
  }
  return lengths;
}

uint8_t FixedPointAverage(uint32_t sum, uint32_t count) {
  return AverageWithFactor(sum, 65535 / count);
}

void SharpenInPlace(TBitmap& picture) {
  const int32_t width = picture.Width();
  const int32_t height = picture.Height();
  if (height < 3) return;
  for (int32_t y = 1; y <= height - 2; ++y) {
    const uint8_t* above = picture.Row(y - 1);
    uint8_t* row = picture.Row(y);
    const uint8_t* below = picture.Row(y + 1);
    for (int32_t x = 1; x <= width - 2; ++x) {
      const size_t left = static_cast<size_t>(x - 1) * kChannels;
      const size_t centre = static_cast<size_t>(x) * kChannels;
      const size_t right = static_cast<size_t>(x + 1) * kChannels;
      for (int c = 0; c < kChannels; ++c) {
        const int32_t diagonals = above[left + c] + above[right + c] + below[left + c] +
                                  below[right + c];
        const int32_t value = (12 * row[centre + c] - diagonals) / 8;
        row[centre + c] = static_cast<uint8_t>(std::clamp(value, 0, 255));
      }
    }
  }
}

void ShrinkBitmap(const TBitmap& source, TBitmap& destination) {
  if (destination.IsEmpty()) return;
  if (source.IsEmpty()) {
    destination = TBitmap();
    return;
  }
  const int32_t dw = destination.Width();
  const int32_t dh = destination.Height();
  const int32_t sw = source.Width();
  const int32_t sh = source.Height();
  const float sx = ShrinkScale(sw, dw);
  const float sy = ShrinkScale(sh, dh);
  if (sx < 1.0f || sy < 1.0f) {
    destination = source;
    return;
  }

  const std::vector<int32_t> columnWidths = ShrinkBoxLengths(sx, dw);
  const std::vector<int32_t> rowHeights = ShrinkBoxLengths(sy, dh);
  const std::vector<int32_t> columnStarts = BoxStarts(columnWidths, sw);
  const std::vector<int32_t> rowStarts = BoxStarts(rowHeights, sh);

  for (int32_t j = 0; j < dh; ++j) {
    uint8_t* out = destination.Row(j);
    for (int32_t i = 0; i < dw; ++i) {
      uint32_t sums[kChannels] = {0, 0, 0};
      for (int32_t y = rowStarts[static_cast<size_t>(j)];
           y < rowStarts[static_cast<size_t>(j) + 1]; ++y) {
        const uint8_t* in = source.Row(y);
        for (int32_t x = columnStarts[static_cast<size_t>(i)];
             x < columnStarts[static_cast<size_t>(i) + 1]; ++x) {
          for (int c = 0; c < kChannels; ++c) {
            sums[c] += in[static_cast<size_t>(x) * kChannels + static_cast<size_t>(c)];
          }
        }
      }
      // One division per pixel, shared by its three channels.
      const uint32_t factor =
          65535 / (static_cast<uint32_t>(columnWidths[static_cast<size_t>(i)]) *
                   static_cast<uint32_t>(rowHeights[static_cast<size_t>(j)]));
      for (int c = 0; c < kChannels; ++c) {
        out[static_cast<size_t>(i) * kChannels + static_cast<size_t>(c)] =
            AverageWithFactor(sums[c], factor);
      }
    }
  }
  SharpenInPlace(destination);
}

void DrawThumbnailRings(TBitmap& picture) {
  const int32_t width = picture.Width();
  const int32_t height = picture.Height();
  DrawOutline(picture, {1, 1, width - 1, height - 1}, kBlack);
  DrawOutline(picture, {0, 0, width, height}, kWhite);
}
