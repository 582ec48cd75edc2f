// Copies of the real screen: areas of the fixture and of a window of a
// known colour, and the thumbnail made from them.

#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "FixtureLayout.h"
#include "ItemInfo.h"
#include "ScreenCaptureUtils.h"
#include "TestSupport.h"

namespace {

using namespace testsupport;

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;

// A colour with three different channels, so that a swap shows: red 20,
// green 130, blue 60.
constexpr Colour kDistinct = RGB(20, 130, 60);
// The same, one below in every channel.
constexpr Colour kDistinctLessOne = RGB(19, 129, 59);

TRect ToTRect(const RECT& rect) { return FromWinRect(rect); }

// The first pixel of the picture that is not `colour`, described; empty
// when every pixel is `colour`.
std::string FirstOtherPixel(const TBitmap& picture, Colour colour) {
  for (int32_t y = 0; y < picture.Height(); ++y) {
    for (int32_t x = 0; x < picture.Width(); ++x) {
      if (picture.Pixel(x, y) != colour) {
        std::ostringstream text;
        text << "pixel " << x << "," << y << " is " << std::hex << picture.Pixel(x, y)
             << ", expected " << colour;
        return text.str();
      }
    }
  }
  return {};
}

// Captures `rect` until every pixel is `colour` (windows paint a moment
// after they appear); the last difference otherwise.
std::string WaitForUniformCapture(const TRect& rect, Colour colour) {
  std::string difference;
  WaitUntil(
      [&] {
        const TBitmap picture = CaptureScreenRect(rect);
        difference = picture.Width() == RectWidth(rect) && picture.Height() == RectHeight(rect)
                         ? FirstOtherPixel(picture, colour)
                         : "wrong size";
        return difference.empty();
      },
      5s, 50ms);
  return difference;
}

// A borderless top-most window of one colour that the test owns; it never
// takes the focus.
class ColourWindow {
 public:
  ColourWindow(const RECT& rect, Colour colour) : brush_(CreateSolidBrush(colour)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = brush_;
    windowClass.lpszClassName = kClass;
    UnregisterClassW(kClass, windowClass.hInstance);
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP, rect.left,
                              rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
    if (window_) {
      ShowWindow(window_, SW_SHOWNOACTIVATE);
      UpdateWindow(window_);
    }
  }
  ~ColourWindow() {
    if (window_) DestroyWindow(window_);
    UnregisterClassW(kClass, GetModuleHandleW(nullptr));
    DeleteObject(brush_);
  }
  ColourWindow(const ColourWindow&) = delete;
  ColourWindow& operator=(const ColourWindow&) = delete;

  HWND Get() const { return window_; }

 private:
  static constexpr wchar_t kClass[] = L"ScreenCaptureTestColour";
  HBRUSH brush_;
  HWND window_ = nullptr;
};

// A window of the distinct colour, away from the fixture's window.
RECT ColourWindowRect() {
  const RECT fixtureWindow = fixture::WindowScreenRect();
  const LONG left = fixtureWindow.right + 40;
  return RECT{left, 100, left + 200, 300};
}

// The strip of the fixture's client area between the edit and the first
// button; nothing is drawn there but the window's background.
RECT FixtureBackgroundStrip(const FixtureProcess& fixture) {
  const auto& edit = fixture::Control(fixture::kEditId).rect;
  const auto& button = fixture::Control(fixture::kButtonOneId).rect;
  const POINT topLeft = fixture.ClientToScreenPoint({edit.right + 2, edit.top});
  const POINT bottomRight = fixture.ClientToScreenPoint({button.left - 2, edit.bottom});
  return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

TEST(ScreenCapture_Fixture, BackgroundBetweenControls_IsTheButtonFaceColour) {
  // The strip must be free of controls, or the layout has changed under
  // this test.
  const auto& edit = fixture::Control(fixture::kEditId).rect;
  const auto& button = fixture::Control(fixture::kButtonOneId).rect;
  for (const fixture::ControlSpec& control : fixture::kControls) {
    const bool overlaps = control.rect.left < button.left - 2 && control.rect.right > edit.right + 2 &&
                          control.rect.top < edit.bottom && control.rect.bottom > edit.top;
    ASSERT_FALSE(overlaps) << "control " << control.id << " lies in the strip";
  }
  FixtureProcess fixture;
  const RECT strip = FixtureBackgroundStrip(fixture);
  ASSERT_GT(strip.right - strip.left, 0);
  EXPECT_EQ("", WaitForUniformCapture(ToTRect(strip), GetSysColor(COLOR_BTNFACE)));
}

TEST(ScreenCapture_Window, ThreeDifferentChannels_ReadInTheirOrder) {
  const RECT rect = ColourWindowRect();
  ColourWindow window(rect, kDistinct);
  ASSERT_NE(nullptr, window.Get());
  EXPECT_EQ("", WaitForUniformCapture(ToTRect(rect), kDistinct));
}

TEST(ScreenCapture_Window, RectReachingPastItsEdge_HoldsTheNeighbourToo) {
  const RECT rect = ColourWindowRect();
  ColourWindow window(rect, kDistinct);
  ASSERT_NE(nullptr, window.Get());
  ASSERT_EQ("", WaitForUniformCapture(ToTRect(rect), kDistinct));
  // One column left of the window and the window's first column.
  const TBitmap picture = CaptureScreenRect({rect.left - 1, rect.top, rect.left + 1, rect.top + 1});
  ASSERT_EQ(2, picture.Width());
  ASSERT_EQ(1, picture.Height());
  EXPECT_NE(kDistinct, picture.Pixel(0, 0));
  EXPECT_EQ(kDistinct, picture.Pixel(1, 0));
}

TEST(ScreenCapture_Screen, PartsOffTheScreen_AreBlack) {
  const TBitmap picture = CaptureScreenRect({-10, -10, 10, 10});
  ASSERT_EQ(20, picture.Width());
  ASSERT_EQ(20, picture.Height());
  for (int32_t y = 0; y < 20; ++y) {
    for (int32_t x = 0; x < 20; ++x) {
      if (x < 10 || y < 10) {
        ASSERT_EQ(kBlack, picture.Pixel(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(ScreenCapture_Screen, RectWithoutWidth_GivesTheEmptyPicture) {
  EXPECT_TRUE(CaptureScreenRect({100, 100, 100, 200}).IsEmpty());
  EXPECT_TRUE(CaptureScreenRect({100, 100, 50, 200}).IsEmpty());
}

TEST(ScreenCapture_Palette, TrueColourDisplay_GivesAPaletteWithoutEntries) {
  const UniqueGdiObject<HPALETTE> palette = MakeSystemPalette();
  ASSERT_TRUE(palette);
  EXPECT_EQ(0u, GetPaletteEntries(palette.get(), 0, 0, nullptr));
}

// Every pixel of an 80 x 80 thumbnail of a uniform area: white outside,
// black inside that, `inside` within.
void ExpectThumbnailOfUniformArea(const TBitmap& thumbnail, Colour inside) {
  ASSERT_EQ(kThumbnailSize, thumbnail.Width());
  ASSERT_EQ(kThumbnailSize, thumbnail.Height());
  const int32_t last = kThumbnailSize - 1;
  for (int32_t y = 0; y < kThumbnailSize; ++y) {
    for (int32_t x = 0; x < kThumbnailSize; ++x) {
      const int32_t ring = std::min(std::min(x, y), std::min(last - x, last - y));
      const Colour expected = ring == 0 ? kWhite : ring == 1 ? kBlack : inside;
      ASSERT_EQ(expected, thumbnail.Pixel(x, y)) << "pixel " << x << "," << y;
    }
  }
}

TEST(ScreenCapture_Thumbnail, WindowOfOneColour_OneBelowInsideTheRings) {
  const RECT rect = ColourWindowRect();
  ColourWindow window(rect, kDistinct);
  ASSERT_NE(nullptr, window.Get());
  ASSERT_EQ("", WaitForUniformCapture(ToTRect(rect), kDistinct));
  // Centred on the middle of the 200 x 200 window: the 160 x 160 square
  // lies inside it.
  TBitmap thumbnail(3, 3);
  CaptureThumbnail(ToTRect(rect), {100, 100}, thumbnail, kThumbnailSize);
  ExpectThumbnailOfUniformArea(thumbnail, kDistinctLessOne);
}

TEST(ScreenCapture_Thumbnail, FixtureEditPickedAtItsMiddle_WindowColourOneBelow) {
  ComApartment com;
  FixtureProcess fixture;
  const HWND edit = fixture.Control(fixture::kEditId);
  RECT client{};
  ASSERT_TRUE(GetClientRect(edit, &client));
  MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const POINT middle{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
  // The captured square must lie inside the edit's client area, away from
  // its border and from the caret at the start of its first line.
  const TRect square = {middle.x - kThumbnailSize, middle.y - kThumbnailSize,
                        middle.x + kThumbnailSize, middle.y + kThumbnailSize};
  ASSERT_TRUE(RectContainsRect({client.left + 20, client.top + 20, client.right, client.bottom},
                               square));
  const Colour window = GetSysColor(COLOR_WINDOW);
  ASSERT_EQ("", WaitForUniformCapture(square, window));

  const ItemInfoPtr item = ItemInfoFromPoint({middle.x, middle.y});
  ASSERT_TRUE(item);
  const TRect itemRect = item->GetScreenRect();
  const TPoint inner = item->GetInnerPoint();
  ASSERT_EQ(middle.x, itemRect.Left + inner.X);
  ASSERT_EQ(middle.y, itemRect.Top + inner.Y);

  TBitmap thumbnail;
  CaptureItemThumbnail(item.Get(), thumbnail, kThumbnailSize);
  const auto lessOne = [](Colour colour, int shift) {
    const Colour channel = (colour >> shift) & 0xFF;
    return (channel == 0 ? 0 : channel - 1) << shift;
  };
  ExpectThumbnailOfUniformArea(thumbnail,
                               lessOne(window, 0) | lessOne(window, 8) | lessOne(window, 16));
}

}  // namespace
