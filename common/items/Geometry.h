#pragma once
// Screen geometry of the item model: points and rectangles in screen pixels,
// 32-bit signed, with no platform header behind them so that the rules that
// compare and move them stay testable on their own.
//
// The field names follow the item model's vocabulary (Left, Top, Right,
// Bottom; X, Y). The layout matches the platform's RECT and POINT, and
// `FromWinRect` / `ToWinRect` (and the point pair) convert any record with
// the platform's lower-case field names without naming its header here.

#include <cstdint>

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;

  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

// Left and top edges lie inside the rectangle, right and bottom edges just
// outside it, as the window manager counts them.
struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr int32_t RectWidth(const TRect& rect) { return rect.Right - rect.Left; }
constexpr int32_t RectHeight(const TRect& rect) { return rect.Bottom - rect.Top; }

constexpr TPoint TopLeft(const TRect& rect) { return {rect.Left, rect.Top}; }

// The rectangle shifted by (dx, dy).
constexpr TRect MoveRect(const TRect& rect, int32_t dx, int32_t dy) {
  return {rect.Left + dx, rect.Top + dy, rect.Right + dx, rect.Bottom + dy};
}

// The same size with its top-left corner at (0, 0).
constexpr TRect RectAtOrigin(const TRect& rect) {
  return {0, 0, RectWidth(rect), RectHeight(rect)};
}

// True when the point lies in the rectangle: the left and top edges inside,
// the right and bottom edges outside.
constexpr bool RectContainsPoint(const TRect& rect, const TPoint& point) {
  return point.X >= rect.Left && point.X < rect.Right && point.Y >= rect.Top &&
         point.Y < rect.Bottom;
}

// True when `inner` lies within `outer`; edges may coincide.
constexpr bool RectContainsRect(const TRect& outer, const TRect& inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top &&
         inner.Right <= outer.Right && inner.Bottom <= outer.Bottom;
}

// Conversions from and to the platform's records (RECT, POINT, or any record
// with the fields left/top/right/bottom or x/y).
template <class WinRect>
constexpr TRect FromWinRect(const WinRect& rect) {
  return {static_cast<int32_t>(rect.left), static_cast<int32_t>(rect.top),
          static_cast<int32_t>(rect.right), static_cast<int32_t>(rect.bottom)};
}

template <class WinRect>
constexpr WinRect ToWinRect(const TRect& rect) {
  WinRect out{};
  out.left = rect.Left;
  out.top = rect.Top;
  out.right = rect.Right;
  out.bottom = rect.Bottom;
  return out;
}

template <class WinPoint>
constexpr TPoint FromWinPoint(const WinPoint& point) {
  return {static_cast<int32_t>(point.x), static_cast<int32_t>(point.y)};
}

template <class WinPoint>
constexpr WinPoint ToWinPoint(const TPoint& point) {
  WinPoint out{};
  out.x = point.X;
  out.y = point.Y;
  return out;
}
