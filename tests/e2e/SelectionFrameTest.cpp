// The selection frame on the real desktop, over the fixture's edit: where
// it lies, what it lets through, what colours it shows, and that it leaves
// the keyboard focus with the fixture.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "FixtureLayout.h"
#include "FrameRegion.h"
#include "ScreenCaptureUtils.h"
#include "SelectionFrameUnit.h"
#include "TestSupport.h"
#include "Utf.h"

namespace {

using namespace testsupport;

constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kLime = 0x00FF00;
constexpr Colour kWhite = 0xFFFFFF;
const std::string kSelectCaption = "[Ctrl] - Select, [Esc] - Cancel";

// Every test starts without a frame and leaves none behind.
class SelectionFrameTest : public testing::Test {
 protected:
  void SetUp() override { FinalizeSelectionFrameUnit(); }
  void TearDown() override {
    FinalizeSelectionFrameUnit();
    ParkCursor();
  }

  // Shows the process's frame round the fixture's edit, red, with the
  // selection caption, and waits until its left edge is on the screen.
  SelectionFramePtr ShowFrameRoundEdit() {
    SelectionFramePtr frame = GetSelectionFrame();
    frame->SetRect(EditRect());
    frame->SetColor(kRed);
    frame->SetCaption(kSelectCaption);
    frame->SetVisible(true);
    EXPECT_TRUE(WaitForPixel(LeftEdgePoint(), kRed));
    return frame;
  }

  TRect EditRect() const { return FromWinRect(fixture_.ControlScreenRect(fixture::kEditId)); }

  // A pixel in the middle of the frame's left edge, and the one below it.
  POINT LeftEdgePoint() const {
    const TRect edit = EditRect();
    return POINT{edit.Left + 1, (edit.Top + edit.Bottom) / 2};
  }

  static Colour ScreenPixel(POINT point) {
    return CaptureScreenRect({point.x, point.y, point.x + 1, point.y + 1}).Pixel(0, 0);
  }

  // Pumps the test's messages (the frame lives on this thread) until the
  // pixel shows the colour.
  static bool WaitForPixel(POINT point, Colour colour) {
    return WaitUntil([&] { return ScreenPixel(point) == colour; }, 5s, 20ms);
  }

  // Types the text as a user would and waits until the edit shows
  // `expected`, handling the messages of the frame meanwhile.
  bool TypedIntoTheEdit(std::wstring_view text, const std::wstring& expected) const {
    return TypeUnicode(text) &&
           WaitUntil([&] { return fixture_.EditText() == expected; }, 5s);
  }

  static bool HitsFrame(const SelectionFramePtr& frame, POINT point) {
    return WindowFromPoint(point) == frame->GetHandle();
  }

  FixtureProcess fixture_;
};

TEST_F(SelectionFrameTest, FirstUse_HiddenRedWithoutCaptionRoundTheInitialRect) {
  const SelectionFramePtr frame = GetSelectionFrame();
  EXPECT_FALSE(frame->GetVisible());
  EXPECT_EQ(kRed, frame->GetColor());
  EXPECT_EQ("", frame->GetCaption());
  EXPECT_EQ((TRect{0, 0, 10, 10}), frame->GetRect());
  EXPECT_TRUE(IsWindow(frame->GetHandle()));
  EXPECT_EQ(frame.Get(), GetSelectionFrame().Get());
}

TEST_F(SelectionFrameTest, Window_IsABorderlessTopMostToolWindowOfItsOwn) {
  const SelectionFramePtr frame = GetSelectionFrame();
  const HWND window = frame->GetHandle();
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_CHILD));
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_EQ(nullptr, GetParent(window));
}

TEST_F(SelectionFrameTest, ShownOverTheFixture_TopMostAndTheEditKeepsTheFocus) {
  ASSERT_TRUE(fixture_.ClearEdit());
  ASSERT_TRUE(fixture_.EditHasFocus());
  const SelectionFramePtr frame = ShowFrameRoundEdit();
  EXPECT_TRUE(frame->GetVisible());
  EXPECT_TRUE(GetWindowLongW(frame->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(HitsFrame(frame, LeftEdgePoint()));
  // Keys typed after the show go where the focus is then: they reach the
  // edit only when showing took nothing from it.
  EXPECT_TRUE(TypedIntoTheEdit(L"x", L"x")) << Utf16ToUtf8(fixture_.EditText());
  EXPECT_TRUE(fixture_.EditHasFocus());
  EXPECT_EQ(fixture_.Window(), GetForegroundWindow());

  // Showing again, as every change of object does, keeps it so.
  frame->SetVisible(true);
  EXPECT_TRUE(TypedIntoTheEdit(L"y", L"xy")) << Utf16ToUtf8(fixture_.EditText());
  EXPECT_TRUE(fixture_.EditHasFocus());
}

TEST_F(SelectionFrameTest, ShownRoundTheEdit_WindowCoversTheEditAndTheCaptionAboveIt) {
  const SelectionFramePtr frame = ShowFrameRoundEdit();
  RECT window{};
  ASSERT_TRUE(GetWindowRect(frame->GetHandle(), &window));
  const TRect edit = EditRect();
  EXPECT_EQ(edit.Left, window.left);
  EXPECT_EQ(edit.Right, window.right);
  EXPECT_EQ(edit.Bottom, window.bottom);
  const int32_t captionHeight = edit.Top - window.top;
  EXPECT_GT(captionHeight, 5);
  EXPECT_LT(captionHeight, 40);
  EXPECT_EQ(edit, frame->GetRect());
}

TEST_F(SelectionFrameTest, Region_IsTheTwoPixelFrameAndTheTab) {
  const SelectionFramePtr frame = ShowFrameRoundEdit();
  const TRect edit = EditRect();
  const int middleY = (edit.Top + edit.Bottom) / 2;
  const int middleX = (edit.Left + edit.Right) / 2;
  EXPECT_TRUE(HitsFrame(frame, {edit.Left, middleY}));
  EXPECT_TRUE(HitsFrame(frame, {edit.Left + 1, middleY}));
  EXPECT_FALSE(HitsFrame(frame, {edit.Left + 2, middleY}));
  EXPECT_TRUE(HitsFrame(frame, {edit.Right - 1, middleY}));
  EXPECT_FALSE(HitsFrame(frame, {edit.Right, middleY}));
  EXPECT_TRUE(HitsFrame(frame, {middleX, edit.Bottom - 2}));
  EXPECT_FALSE(HitsFrame(frame, {middleX, edit.Bottom - 3}));
  EXPECT_FALSE(HitsFrame(frame, {middleX, middleY}));
  // The tab: above the top-left corner, not above the middle.
  EXPECT_TRUE(HitsFrame(frame, {edit.Left + 3, edit.Top - 3}));
  EXPECT_FALSE(HitsFrame(frame, {edit.Right - 3, edit.Top - 3}));
}

TEST_F(SelectionFrameTest, CursorOnTheEdge_HitTestFallsThroughThePunchedPixel) {
  const SelectionFramePtr frame = ShowFrameRoundEdit();
  const POINT edge = LeftEdgePoint();
  ASSERT_TRUE(HitsFrame(frame, edge));
  ASSERT_TRUE(MoveCursorTo(edge));
  frame->ExcludeCursorPoint();
  const HWND below = WindowFromPoint(edge);
  EXPECT_NE(frame->GetHandle(), below);
  EXPECT_EQ(fixture_.Window(), GetAncestor(below, GA_ROOT));
  // Only that pixel.
  EXPECT_TRUE(HitsFrame(frame, {edge.x, edge.y + 1}));
  EXPECT_TRUE(HitsFrame(frame, {edge.x, edge.y - 1}));
  EXPECT_TRUE(HitsFrame(frame, {edge.x - 1, edge.y}));
}

TEST_F(SelectionFrameTest, NewRectUnderTheCursor_LeavesTheCursorPixelOut) {
  const SelectionFramePtr frame = ShowFrameRoundEdit();
  const TRect edit = EditRect();
  const TRect smaller{edit.Left + 20, edit.Top + 20, edit.Right - 20, edit.Bottom - 20};
  const POINT newEdge{smaller.Left, (smaller.Top + smaller.Bottom) / 2};
  ASSERT_TRUE(MoveCursorTo(newEdge));
  frame->SetRect(smaller);
  EXPECT_FALSE(HitsFrame(frame, newEdge));
  EXPECT_TRUE(HitsFrame(frame, {newEdge.x, newEdge.y + 1}));
  EXPECT_TRUE(HitsFrame(frame, {newEdge.x + 1, newEdge.y}));
}

TEST_F(SelectionFrameTest, SameRectColourAndCaption_DoNotReshapeTheWindow) {
  // A reshape would punch the cursor's pixel out; without one, the frame
  // still covers it.
  const SelectionFramePtr frame = ShowFrameRoundEdit();
  const POINT edge = LeftEdgePoint();
  ASSERT_TRUE(MoveCursorTo(edge));
  frame->SetRect(EditRect());
  frame->SetColor(kRed);
  frame->SetCaption(kSelectCaption);
  EXPECT_TRUE(HitsFrame(frame, edge));

  frame->SetCaption("[ctrl] - Select, [Esc] - Cancel");
  EXPECT_FALSE(HitsFrame(frame, edge));
}

TEST_F(SelectionFrameTest, NewColour_ReshapesTheWindow) {
  const SelectionFramePtr frame = ShowFrameRoundEdit();
  const POINT edge = LeftEdgePoint();
  ASSERT_TRUE(MoveCursorTo(edge));
  frame->SetColor(kBlue);
  EXPECT_EQ(kBlue, frame->GetColor());
  EXPECT_FALSE(HitsFrame(frame, edge));
}

TEST_F(SelectionFrameTest, Colours_ReadBackFromTheScreen) {
  const SelectionFramePtr frame = ShowFrameRoundEdit();
  const TRect edit = EditRect();
  const POINT edge = LeftEdgePoint();
  const POINT bottomEdge{(edit.Left + edit.Right) / 2, edit.Bottom - 1};
  EXPECT_TRUE(WaitForPixel(edge, kRed)) << ScreenPixel(edge);
  EXPECT_TRUE(WaitForPixel(bottomEdge, kRed)) << ScreenPixel(bottomEdge);
  // Inside the frame the edit shows through, once it has painted itself.
  const POINT inside{edge.x + 10, edge.y};
  EXPECT_TRUE(WaitForPixel(inside, GetSysColor(COLOR_WINDOW))) << ScreenPixel(inside);

  // The tab holds the caption in white on the frame's colour (smoothed
  // glyphs give shades between the two as well).
  RECT window{};
  ASSERT_TRUE(GetWindowRect(frame->GetHandle(), &window));
  const TRect tab{window.left, window.top, window.left + 40, edit.Top};
  int white = 0;
  int red = 0;
  const bool captionShown = WaitUntil(
      [&] {
        const TBitmap tabPixels = CaptureScreenRect(tab);
        white = 0;
        red = 0;
        for (int32_t y = 0; y < tabPixels.Height(); ++y) {
          for (int32_t x = 0; x < tabPixels.Width(); ++x) {
            white += tabPixels.Pixel(x, y) == kWhite;
            red += tabPixels.Pixel(x, y) == kRed;
          }
        }
        return white > 10 && red > 10;
      },
      5s, 20ms);
  EXPECT_TRUE(captionShown) << white << " white and " << red << " red pixels";
  // Left of the text, in the tab's first column, the frame's colour.
  EXPECT_EQ(kRed, ScreenPixel({window.left, window.top + 2}));

  frame->SetColor(kBlue);
  frame->SetCaption("Capturing... ");
  frame->SetVisible(true);
  EXPECT_TRUE(WaitForPixel(edge, kBlue));
  EXPECT_TRUE(WaitForPixel(bottomEdge, kBlue));

  frame->SetColor(kLime);
  frame->SetCaption("Done");
  frame->SetVisible(true);
  EXPECT_TRUE(WaitForPixel(edge, kLime));
  EXPECT_TRUE(WaitForPixel({window.left, window.top + 2}, kLime));
}

TEST_F(SelectionFrameTest, Hidden_LetsEveryPointThroughAndReportsInvisible) {
  const SelectionFramePtr frame = ShowFrameRoundEdit();
  const POINT edge = LeftEdgePoint();
  frame->SetVisible(false);
  EXPECT_FALSE(frame->GetVisible());
  EXPECT_FALSE(HitsFrame(frame, edge));
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(edge) != kRed; }, 5s, 20ms));
  EXPECT_TRUE(fixture_.EditHasFocus());
}

TEST_F(SelectionFrameTest, CaptionWiderThanTheRect_WidensTheWindow) {
  const SelectionFramePtr frame = GetSelectionFrame();
  const TRect edit = EditRect();
  const TRect narrow{edit.Left + 10, edit.Top + 30, edit.Left + 40, edit.Top + 60};
  frame->SetCaption(kSelectCaption);
  frame->SetRect(narrow);
  frame->SetVisible(true);
  RECT window{};
  ASSERT_TRUE(GetWindowRect(frame->GetHandle(), &window));
  EXPECT_GT(window.right - window.left, 40);
  EXPECT_EQ(narrow.Bottom, window.bottom);
  // The frame's right edge stays at the rectangle's width.
  const int middleY = (narrow.Top + narrow.Bottom) / 2;
  EXPECT_TRUE(HitsFrame(frame, {narrow.Right - 1, middleY}));
  EXPECT_FALSE(HitsFrame(frame, {narrow.Right, middleY}));
}

TEST_F(SelectionFrameTest, Finalized_NextUseMakesANewFrame) {
  const HWND first = GetSelectionFrame()->GetHandle();
  FinalizeSelectionFrameUnit();
  EXPECT_FALSE(IsWindow(first));
  const SelectionFramePtr frame = GetSelectionFrame();
  EXPECT_TRUE(IsWindow(frame->GetHandle()));
  EXPECT_FALSE(frame->GetVisible());
}

}  // namespace
