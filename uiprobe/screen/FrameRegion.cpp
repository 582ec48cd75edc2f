#include "FrameRegion.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

// Width of the frame's edges, in pixels.
constexpr int32_t kEdge = 2;
// The tab is this much wider than the caption text.
constexpr int32_t kTabPadding = 4;

struct TSpan {
  int32_t Left;
  int32_t Right;

  friend bool operator==(const TSpan&, const TSpan&) = default;
};

// The spans of the rectangles that cover the whole band [top, bottom).
std::vector<TSpan> SpansInBand(const std::vector<TRect>& rects, int32_t top, int32_t bottom) {
  std::vector<TSpan> spans;
  for (const TRect& rect : rects) {
    if (rect.Top <= top && rect.Bottom >= bottom) spans.push_back({rect.Left, rect.Right});
  }
  return spans;
}

bool SpansContain(const std::vector<TSpan>& spans, int32_t x) {
  return std::any_of(spans.begin(), spans.end(),
                     [x](const TSpan& span) { return x >= span.Left && x < span.Right; });
}

// The spans where `combine(in a, in b)` holds, merged where they touch.
template <class Combine>
std::vector<TSpan> CombineSpans(const std::vector<TSpan>& a, const std::vector<TSpan>& b,
                                Combine combine) {
  std::vector<int32_t> edges;
  for (const std::vector<TSpan>* spans : {&a, &b}) {
    for (const TSpan& span : *spans) {
      edges.push_back(span.Left);
      edges.push_back(span.Right);
    }
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  std::vector<TSpan> result;
  for (size_t i = 0; i + 1 < edges.size(); ++i) {
    const int32_t x = edges[i];
    if (!combine(SpansContain(a, x), SpansContain(b, x))) continue;
    if (!result.empty() && result.back().Right == x) {
      result.back().Right = edges[i + 1];
    } else {
      result.push_back({x, edges[i + 1]});
    }
  }
  return result;
}

}  // namespace

TPixelRegion TPixelRegion::FromRect(const TRect& rect) {
  TPixelRegion region;
  const TRect ordered{std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
                      std::max(rect.Left, rect.Right), std::max(rect.Top, rect.Bottom)};
  if (RectWidth(ordered) > 0 && RectHeight(ordered) > 0) region.rects_.push_back(ordered);
  return region;
}

template <class Combine>
void TPixelRegion::CombineWith(const TPixelRegion& other, Combine combine) {
  std::vector<int32_t> rows;
  for (const std::vector<TRect>* rects : {&std::as_const(rects_), &other.rects_}) {
    for (const TRect& rect : *rects) {
      rows.push_back(rect.Top);
      rows.push_back(rect.Bottom);
    }
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

  std::vector<TRect> result;
  // The rectangles of the band above, for merging bands with equal spans.
  size_t previousBandStart = 0;
  for (size_t i = 0; i + 1 < rows.size(); ++i) {
    const int32_t top = rows[i];
    const int32_t bottom = rows[i + 1];
    const std::vector<TSpan> spans = CombineSpans(SpansInBand(rects_, top, bottom),
                                                  SpansInBand(other.rects_, top, bottom), combine);
    if (spans.empty()) continue;

    const size_t previousCount = result.size() - previousBandStart;
    bool merge = previousCount == spans.size() && previousCount > 0 &&
                 result[previousBandStart].Bottom == top;
    for (size_t s = 0; merge && s < spans.size(); ++s) {
      const TRect& above = result[previousBandStart + s];
      merge = above.Left == spans[s].Left && above.Right == spans[s].Right;
    }
    if (merge) {
      for (size_t s = 0; s < spans.size(); ++s) result[previousBandStart + s].Bottom = bottom;
      continue;
    }
    previousBandStart = result.size();
    for (const TSpan& span : spans) result.push_back({span.Left, top, span.Right, bottom});
  }
  rects_ = std::move(result);
}

void TPixelRegion::Unite(const TPixelRegion& other) {
  CombineWith(other, [](bool inThis, bool inOther) { return inThis || inOther; });
}

void TPixelRegion::Subtract(const TPixelRegion& other) {
  CombineWith(other, [](bool inThis, bool inOther) { return inThis && !inOther; });
}

bool TPixelRegion::Contains(const TPoint& point) const {
  return std::any_of(rects_.begin(), rects_.end(),
                     [&point](const TRect& rect) { return RectContainsPoint(rect, point); });
}

int64_t TPixelRegion::Area() const {
  int64_t area = 0;
  for (const TRect& rect : rects_) {
    area += static_cast<int64_t>(RectWidth(rect)) * RectHeight(rect);
  }
  return area;
}

TRect TPixelRegion::Bounds() const {
  if (rects_.empty()) return {};
  TRect bounds = rects_.front();
  for (const TRect& rect : rects_) {
    bounds.Left = std::min(bounds.Left, rect.Left);
    bounds.Top = std::min(bounds.Top, rect.Top);
    bounds.Right = std::max(bounds.Right, rect.Right);
    bounds.Bottom = std::max(bounds.Bottom, rect.Bottom);
  }
  return bounds;
}

TFrameLayout MakeFrameLayout(const TRect& frameRect, int32_t captionWidth,
                             int32_t captionHeight) {
  TFrameLayout layout;
  layout.CaptionHeight = captionHeight;
  layout.TabWidth = captionWidth + kTabPadding;
  const int32_t rw = std::abs(frameRect.Right - frameRect.Left);
  const int32_t rh = std::abs(frameRect.Bottom - frameRect.Top);
  const int32_t width = std::max(layout.TabWidth, rw);
  const int32_t height = rh + captionHeight;
  const int32_t left = frameRect.Left;
  const int32_t top = frameRect.Top - captionHeight;
  layout.Window = {left, top, left + width, top + height};
  layout.Outer = {0, captionHeight, rw, height};
  layout.Inner = {kEdge, captionHeight + kEdge, rw - kEdge, height - kEdge};
  layout.Tab = {0, 0, layout.TabWidth, captionHeight + kEdge};
  return layout;
}

TPixelRegion TabRegion(const TRect& tabBox) {
  const TRect ordered{std::min(tabBox.Left, tabBox.Right), std::min(tabBox.Top, tabBox.Bottom),
                      std::max(tabBox.Left, tabBox.Right), std::max(tabBox.Top, tabBox.Bottom)};
  return TPixelRegion::FromRect(
      {ordered.Left, ordered.Top, ordered.Right - 1, ordered.Bottom - 1});
}

TPixelRegion FrameRegion(const TFrameLayout& layout) {
  TPixelRegion region = TabRegion(layout.Tab);
  region.Unite(TPixelRegion::FromRect(layout.Outer));
  region.Subtract(TPixelRegion::FromRect(layout.Inner));
  return region;
}

void ExcludePixel(TPixelRegion& region, const TPoint& point) {
  if (!region.Contains(point)) return;
  region.Subtract(TPixelRegion::FromRect({point.X, point.Y, point.X + 1, point.Y + 1}));
}
