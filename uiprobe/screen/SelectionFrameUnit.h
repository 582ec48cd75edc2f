#pragma once
// The selection frame: while the user picks an object, a coloured frame
// along the inside edge of the object's screen rectangle, with a small
// caption tab above its top-left corner. It is one borderless, top-most tool
// window (no taskbar button) whose region holds only the frame and the tab,
// minus the pixel under the mouse cursor, so that a hit test at the cursor
// still finds the object below it.
//
// Showing the frame never activates it: the keyboard focus stays with the
// window that had it, which is usually the very object being picked.
//
// There is one frame per process, made hidden on the first GetSelectionFrame
// call; only the program's single thread drives it.

#include <windows.h>
#include <wrl/client.h>

#include <string>

#include "Bitmap24.h"
#include "ComObject.h"
#include "GdiHandles.h"
#include "Geometry.h"

struct ISelectionFrame : public IUnknown {
  // The framed screen rectangle.
  virtual TRect STDMETHODCALLTYPE GetRect() = 0;
  // Reshapes the window round a new rectangle; the same rectangle changes
  // nothing.
  virtual void STDMETHODCALLTYPE SetRect(const TRect& rect) = 0;
  virtual Colour STDMETHODCALLTYPE GetColor() = 0;
  // Recolours the frame; the same colour changes nothing.
  virtual void STDMETHODCALLTYPE SetColor(Colour color) = 0;
  // The caption, 8-bit text in the ANSI code page.
  virtual std::string STDMETHODCALLTYPE GetCaption() = 0;
  // Resizes the tab for a new caption (compared exactly, case included);
  // the same text changes nothing. The text itself appears with the next
  // SetVisible(true).
  virtual void STDMETHODCALLTYPE SetCaption(const std::string& caption) = 0;
  virtual bool STDMETHODCALLTYPE GetVisible() = 0;
  // False hides the window. True shows it without activating it, brings it
  // to the front and writes the caption into the tab, on every call.
  virtual void STDMETHODCALLTYPE SetVisible(bool visible) = 0;
  virtual HWND STDMETHODCALLTYPE GetHandle() = 0;
  // Punches the pixel under the mouse cursor out of the window's current
  // region, so a hit test there falls through to the window below.
  virtual void STDMETHODCALLTYPE ExcludeCursorPoint() = 0;
};
__CRT_UUID_DECL(ISelectionFrame, 0x60178C65, 0x039C, 0x4A5E, 0x80, 0x59, 0xD2, 0xA7, 0x8E, 0x1E,
                0xB3, 0x3C)

using SelectionFramePtr = Microsoft::WRL::ComPtr<ISelectionFrame>;

// The frame as it is made: hidden, red, no caption, round (0, 0, 10, 10).
inline constexpr Colour kInitialFrameColor = 255;
inline constexpr TRect kInitialFrameRect{0, 0, 10, 10};

// The caption's font: white Tahoma of 8 points, written 2 pixels in from
// the tab's left edge on the frame's colour.
inline constexpr wchar_t kFrameCaptionFace[] = L"Tahoma";
inline constexpr int kFrameCaptionPoints = 8;
inline constexpr Colour kFrameCaptionColor = 0xFFFFFF;
inline constexpr int kFrameCaptionLeft = 2;

class TSelectionFrame final : public ComObject<ISelectionFrame> {
 public:
  // Makes the window, hidden and shaped for the initial rectangle. Raises
  // EOSError when the window cannot be made.
  TSelectionFrame();
  ~TSelectionFrame() override;

  TRect STDMETHODCALLTYPE GetRect() override;
  void STDMETHODCALLTYPE SetRect(const TRect& rect) override;
  Colour STDMETHODCALLTYPE GetColor() override;
  void STDMETHODCALLTYPE SetColor(Colour color) override;
  std::string STDMETHODCALLTYPE GetCaption() override;
  void STDMETHODCALLTYPE SetCaption(const std::string& caption) override;
  bool STDMETHODCALLTYPE GetVisible() override;
  void STDMETHODCALLTYPE SetVisible(bool visible) override;
  HWND STDMETHODCALLTYPE GetHandle() override;
  void STDMETHODCALLTYPE ExcludeCursorPoint() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

  // Fills the window with the colour, sizes and places it for the rectangle
  // and the caption, and gives it its region without the cursor pixel.
  void Redraw();
  void PaintCaption();
  void EraseBackground(HDC dc);

  HWND window_ = nullptr;
  UniqueGdiObject<HFONT> font_;
  std::string caption_;
  TRect frameRect_ = kInitialFrameRect;
  Colour color_ = kInitialFrameColor;
  // What the system paints the window with when it repaints it.
  Colour background_ = kInitialFrameColor;
};

// The process's frame: made on the first call, the same object afterwards.
SelectionFramePtr GetSelectionFrame();

// Drops the process's reference to the frame; the frame and its window go
// when no other reference remains. A later GetSelectionFrame makes a new one.
void FinalizeSelectionFrameUnit();
