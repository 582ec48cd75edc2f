#include "ScreenCaptureUtils.h"

#include <stdexcept>
#include <vector>

#include "StackTrace.h"
#include "Thumbnail.h"

namespace {

constexpr WORD kPaletteVersion = 0x300;

// Converts the display-format bitmap to top-down 24-bit rows, through the
// system palette on displays that have one. Rows the conversion does not
// deliver stay black: a thumbnail is no reason to fail a whole search path.
TBitmap ToBitmap24(HDC dc, HBITMAP displayBitmap, int32_t width, int32_t height) {
  const uint64_t size = PaddedRowSize(width) * static_cast<uint64_t>(height);
  if (size > SIZE_MAX / 2) throw std::length_error("screen capture too large");
  std::vector<uint8_t> pixels(static_cast<size_t>(size));

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;

  const UniqueGdiObject<HPALETTE> palette = MakeSystemPalette();
  HPALETTE previous = palette ? SelectPalette(dc, palette.get(), FALSE) : nullptr;
  if (previous) RealizePalette(dc);
  const int rows = GetDIBits(dc, displayBitmap, 0, static_cast<UINT>(height), pixels.data(),
                             &info, DIB_RGB_COLORS);
  if (previous) SelectPalette(dc, previous, FALSE);
  return PictureFromTopDownRows(pixels, width, height, rows);
}

}  // namespace

UniqueGdiObject<HPALETTE> MakeSystemPalette() {
  const WindowDc dc(GetFocus());
  int entries = dc ? GetDeviceCaps(dc.Get(), SIZEPALETTE) : 0;
  if (entries < 0) entries = 0;
  // LOGPALETTE declares one entry; the block holds `entries` of them.
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(entries));
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
  logical->palVersion = kPaletteVersion;
  logical->palNumEntries = static_cast<WORD>(entries);
  if (entries > 0) {
    GetSystemPaletteEntries(dc.Get(), 0, static_cast<UINT>(entries), logical->palPalEntry);
  }
  return UniqueGdiObject<HPALETTE>(CreatePalette(logical));
}

TBitmap CaptureScreenRect(const TRect& rect) {
  const int32_t width = RectWidth(rect);
  const int32_t height = RectHeight(rect);
  if (width < 1 || height < 1) return TBitmap();

  UniqueGdiObject<HBITMAP> displayBitmap;
  MemoryDc memory(nullptr);
  {
    const WindowDc screen(nullptr);
    if (!screen || !memory) RaiseLastOSError();
    // In the display's own format, as the screen delivers its pixels.
    displayBitmap.reset(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!displayBitmap) RaiseLastOSError();
    const SelectedObject selected(memory.Get(), displayBitmap.get());
    // A copy the screen refuses (a locked desktop, say) leaves the picture
    // black, as do parts outside the screen: a thumbnail is no reason to
    // fail a whole search path.
    BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.Left, rect.Top, SRCCOPY);
  }
  return ToBitmap24(memory.Get(), displayBitmap.get(), width, height);
}

void CaptureThumbnail(const TRect& screenRect, const TPoint& innerPoint, TBitmap& bitmap,
                      int32_t size) {
  bitmap.SetSize(size, size);
  const TBitmap capture = CaptureScreenRect(ThumbnailCaptureRect(screenRect, innerPoint, size));
  ShrinkBitmap(capture, bitmap);
  DrawThumbnailRings(bitmap);
}

void CaptureItemThumbnail(IItemInfo* item, TBitmap& bitmap, int32_t size) {
  CaptureThumbnail(item->GetScreenRect(), item->GetInnerPoint(), bitmap, size);
}
