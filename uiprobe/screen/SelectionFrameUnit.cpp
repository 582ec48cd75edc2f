#include "SelectionFrameUnit.h"

#include <utility>

#include "FrameRegion.h"
#include "StackTrace.h"

namespace {

constexpr wchar_t kFrameWindowClass[] = L"UiprobeSelectionFrame";

void RegisterFrameClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, kFrameWindowClass, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // No class brush: the window paints its own background in the frame's
  // colour.
  windowClass.lpszClassName = kFrameWindowClass;
  if (!RegisterClassExW(&windowClass)) RaiseLastOSError();
}

UniqueGdiObject<HFONT> MakeCaptionFont() {
  int pixelsPerInch = 96;
  if (const WindowDc screen(nullptr); screen) {
    pixelsPerInch = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  }
  LOGFONTW font{};
  // A negative height asks for the character height, as a point size does.
  font.lfHeight = -MulDiv(kFrameCaptionPoints, pixelsPerInch, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(font.lfFaceName, kFrameCaptionFace, LF_FACESIZE);
  return UniqueGdiObject<HFONT>(CreateFontIndirectW(&font));
}

// The region as the window manager holds one.
UniqueGdiObject<HRGN> ToPlatformRegion(const TPixelRegion& region) {
  UniqueGdiObject<HRGN> result(CreateRectRgn(0, 0, 0, 0));
  if (!result) return result;
  for (const TRect& rect : region.Rects()) {
    const UniqueGdiObject<HRGN> piece(CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom));
    if (piece) CombineRgn(result.get(), result.get(), piece.get(), RGN_OR);
  }
  return result;
}

// The cursor position in the window's client coordinates, which for this
// borderless window are its window coordinates, those of its region.
bool CursorInWindow(HWND window, POINT& point) {
  return GetCursorPos(&point) && ScreenToClient(window, &point);
}

// Removes the cursor pixel from a region of the window when the region
// holds it.
void ExcludePointFromRegion(HWND window, HRGN region) {
  POINT cursor{};
  if (!CursorInWindow(window, cursor) || !PtInRegion(region, cursor.x, cursor.y)) return;
  const UniqueGdiObject<HRGN> pixel(CreateRectRgn(cursor.x, cursor.y, cursor.x + 1, cursor.y + 1));
  if (pixel) CombineRgn(region, region, pixel.get(), RGN_DIFF);
}

// Gives the window the region; the window owns it afterwards.
void SetRegion(HWND window, UniqueGdiObject<HRGN> region) {
  if (region && SetWindowRgn(window, region.get(), TRUE)) region.release();
}

SelectionFramePtr& ProcessFrame() {
  static SelectionFramePtr frame;
  return frame;
}

}  // namespace

TSelectionFrame::TSelectionFrame() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterFrameClass(instance, &TSelectionFrame::WindowProc);
  // Top-level, without border or title bar, above every window that is not
  // top-most itself. WM_NCCREATE links the window to this object.
  window_ = CreateWindowExW(WS_EX_TOPMOST, kFrameWindowClass, L"", WS_POPUP,
                            frameRect_.Left, frameRect_.Top, RectWidth(frameRect_),
                            RectHeight(frameRect_), nullptr, nullptr, instance, this);
  if (!window_) RaiseLastOSError();
  // A tool window gets no taskbar button. The top-most state is kept by
  // the window manager apart from the style bits, so replacing them keeps
  // the window top-most.
  SetWindowLongA(window_, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  font_ = MakeCaptionFont();
  Redraw();
}

TSelectionFrame::~TSelectionFrame() {
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

TRect TSelectionFrame::GetRect() { return frameRect_; }

void TSelectionFrame::SetRect(const TRect& rect) {
  if (rect == frameRect_) return;
  frameRect_ = rect;
  Redraw();
}

Colour TSelectionFrame::GetColor() { return color_; }

void TSelectionFrame::SetColor(Colour color) {
  if (color == color_) return;
  color_ = color;
  Redraw();
}

std::string TSelectionFrame::GetCaption() { return caption_; }

void TSelectionFrame::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Redraw();
}

bool TSelectionFrame::GetVisible() { return IsWindowVisible(window_) != FALSE; }

void TSelectionFrame::SetVisible(bool visible) {
  if (!visible) {
    ShowWindow(window_, SW_HIDE);
    return;
  }
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  // The repaint that showing asks for comes first, so that it cannot wipe
  // the caption written next.
  UpdateWindow(window_);
  PaintCaption();
}

HWND TSelectionFrame::GetHandle() { return window_; }

void TSelectionFrame::ExcludeCursorPoint() {
  UniqueGdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
  if (!region || GetWindowRgn(window_, region.get()) == ERROR) return;
  ExcludePointFromRegion(window_, region.get());
  SetRegion(window_, std::move(region));
}

void TSelectionFrame::Redraw() {
  const WindowDc dc(window_);
  EraseBackground(dc.Get());

  // The caption's extent in its font decides the height and width of the tab.
  SIZE extent{};
  {
    const SelectedObject font(dc.Get(), font_.get());
    GetTextExtentPoint32A(dc.Get(), caption_.data(), static_cast<int>(caption_.size()), &extent);
  }
  const TFrameLayout layout = MakeFrameLayout(frameRect_, extent.cx, extent.cy);
  SetWindowPos(window_, nullptr, layout.Window.Left, layout.Window.Top, RectWidth(layout.Window),
               RectHeight(layout.Window), SWP_NOZORDER | SWP_NOACTIVATE);
  background_ = color_;

  TPixelRegion region = FrameRegion(layout);
  if (POINT cursor{}; CursorInWindow(window_, cursor)) ExcludePixel(region, {cursor.x, cursor.y});
  SetRegion(window_, ToPlatformRegion(region));
}

void TSelectionFrame::EraseBackground(HDC dc) {
  if (!dc) return;
  RECT client{};
  GetClientRect(window_, &client);
  const UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(color_));
  if (brush) FillRect(dc, &client, brush.get());
}

void TSelectionFrame::PaintCaption() {
  const WindowDc dc(window_);
  if (!dc) return;
  const SelectedObject font(dc.Get(), font_.get());
  SetTextColor(dc.Get(), kFrameCaptionColor);
  SetBkMode(dc.Get(), OPAQUE);
  SetBkColor(dc.Get(), color_);
  TextOutA(dc.Get(), kFrameCaptionLeft, 0, caption_.data(), static_cast<int>(caption_.size()));
}

LRESULT CALLBACK TSelectionFrame::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TSelectionFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_ERASEBKGND: {
      // The frame's own colour alone: the caption is written only when
      // the frame is shown.
      RECT client{};
      GetClientRect(window, &client);
      const UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(self->background_));
      if (brush) FillRect(reinterpret_cast<HDC>(wParam), &client, brush.get());
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      // A click on the frame leaves the focus where it is.
      return MA_NOACTIVATE;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

SelectionFramePtr GetSelectionFrame() {
  SelectionFramePtr& frame = ProcessFrame();
  if (!frame) frame = MakeComObject<TSelectionFrame>();
  return frame;
}

void FinalizeSelectionFrameUnit() { ProcessFrame().Reset(); }
