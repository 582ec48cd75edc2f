#include "ItemNeighbours.h"

#include <cstdlib>
#include <limits>
#include <utility>

#include "ItemInfoNull.h"

namespace {

// The distance between two edges; computed wide, so that no rectangle a
// program reports can overflow it.
int64_t EdgeDistance(int32_t a, int32_t b) {
  return std::llabs(static_cast<int64_t>(a) - static_cast<int64_t>(b));
}

// The best candidate on one side so far.
struct Side {
  ItemInfoPtr& item;
  int64_t best = std::numeric_limits<int32_t>::max();

  void Offer(const ItemInfoPtr& candidate, int64_t distance) {
    // Strictly nearer only: of equal distances the earlier sibling stays.
    if (distance < best) {
      item = candidate;
      best = distance;
    }
  }
};

}  // namespace

bool RangesOverlap(int32_t a1, int32_t a2, int32_t b1, int32_t b2) {
  if (a2 < a1) std::swap(a1, a2);
  if (b2 < b1) std::swap(b1, b2);
  return (a1 <= b1 && b1 <= a2) || (a1 <= b2 && b2 <= a2) || (b1 <= a1 && a2 <= b2);
}

TRect GetRectInRootWindow(IItemInfo* item) {
  if (item == nullptr) return {};
  const TRect rect = item->GetScreenRect();
  const ItemInfoPtr root = item->GetRootItem();
  const TRect rootRect = root ? root->GetScreenRect() : TRect{};
  return MoveRect(rect, -rootRect.Left, -rootRect.Top);
}

void FindNeighbours(IItemInfo* item, ItemInfoPtr& left, ItemInfoPtr& top,
                    ItemInfoPtr& right, ItemInfoPtr& bottom) {
  const ItemInfoPtr null = NullItemInfo();
  left = null;
  top = null;
  right = null;
  bottom = null;
  if (item == nullptr) return;

  const ItemInfoPtr parent = item->GetParent();
  if (!parent || IsNullItemInfo(parent)) return;
  if (parent->GetValidChildCount() == 1) return;

  const TRect rect = GetRectInRootWindow(item);
  Side leftSide{left};
  Side topSide{top};
  Side rightSide{right};
  Side bottomSide{bottom};

  const int32_t count = parent->GetValidChildCount();
  for (int32_t i = 0; i < count; ++i) {
    const ItemInfoPtr sibling = parent->GetValidChild(i);
    if (!sibling) continue;
    const TRect other = GetRectInRootWindow(sibling.Get());
    if (other == rect) continue;

    if (RangesOverlap(other.Top, other.Bottom, rect.Top, rect.Bottom)) {
      if (other.Right <= rect.Left) leftSide.Offer(sibling, EdgeDistance(other.Right, rect.Left));
      if (other.Left >= rect.Right) rightSide.Offer(sibling, EdgeDistance(other.Left, rect.Right));
    }
    if (RangesOverlap(other.Left, other.Right, rect.Left, rect.Right)) {
      if (other.Bottom <= rect.Top) topSide.Offer(sibling, EdgeDistance(other.Bottom, rect.Top));
      if (other.Top >= rect.Bottom) {
        bottomSide.Offer(sibling, EdgeDistance(other.Top, rect.Bottom));
      }
    }
  }
}

void GetItemNeighbours(IItemInfo* item, ItemInfoPtr& left, ItemInfoPtr& top,
                       ItemInfoPtr& right, ItemInfoPtr& bottom) {
  const ItemInfoPtr hold(item);
  FindNeighbours(hold.Get(), left, top, right, bottom);
}
