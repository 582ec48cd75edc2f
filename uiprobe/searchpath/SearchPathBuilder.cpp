#include "SearchPathBuilder.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "CodePage.h"
#include "ItemCompare.h"
#include "ItemInfoCache.h"
#include "ItemInfoNull.h"
#include "ItemNeighbours.h"
#include "Logger.h"
#include "ScreenCaptureUtils.h"
#include "SelectionFrameUnit.h"

namespace {

// Describing an item asks it for half a dozen properties; a log that is off
// needs none of them.
template <class MakeText>
void LogLazily(MakeText makeText) {
  if (LoggingEnabled()) LogMessage(makeText());
}

ItemInfoPtr OrNullItem(IItemInfo* item) {
  return item != nullptr ? ItemInfoPtr(item) : NullItemInfo();
}

// Leaves `chain` running from the top-level window's item down to the
// target, each element a snapshot.
void FillChain(ICachedInfoQueue* chain, const CachedItemInfoPtr& target) {
  // The root item of a snapshot is a snapshot already, unless it is the null
  // item, which the chain cannot hold as it is.
  const ItemInfoPtr rootItem = target->GetRootItem();
  ItemInfoPtr root = AsCachedItemInfo(rootItem.Get());
  const HWND rootWindow = root->GetHandle();
  LogLazily([&] {
    return "Item : " + DescribeItem(target.Get()) + ", root : " + DescribeItem(root.Get()) +
           ", Root HWND: " +
           std::to_string(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(rootWindow)));
  });

  if (IsSameItem(target.Get(), root.Get())) {
    root = target;
  } else {
    ItemInfoPtr current = target;
    for (int32_t depth = 0; depth < kMaxSearchPathDepth; ++depth) {
      const ItemInfoPtr parent = current->GetParent();
      if (!parent || IsNullItemInfo(parent)) {
        // The target belongs in its own path even when nothing lies above
        // it; any other level without a parent is the root window's, which
        // the root item stands for.
        if (chain->Count() == 0) chain->Insert(0, current.Get());
        break;
      }
      LogLazily([&] {
        return "item : " + DescribeItem(current.Get()) + ", parent : " + DescribeItem(parent.Get());
      });
      chain->Insert(0, current.Get());
      current = parent;
      // The top-level window's own window object: the root item takes its
      // place.
      if (current->GetRoleId() == kWindowRoleId && current->GetHandle() == rootWindow) break;
    }
  }
  chain->Insert(0, root.Get());
}

// After finishing, every element of the chain measures its rectangle from
// the chain's first element, but the children that each element had listed
// before still measure theirs from the root item they were made with. The
// two differ when the compaction dropped the root window's item (a window
// object without valid children, as Wine gives); the neighbours, sought
// among those children, would then be compared in another frame than the
// element itself. So the children, too, are measured from the first element.
void MeasureChildrenFromTheFirstElement(ICachedInfoQueue* chain) {
  if (chain->Count() == 0) return;
  CachedItemInfoPtr first;
  if (FAILED(chain->Items(0).As(&first))) return;
  for (int32_t k = 0; k < chain->Count(); ++k) {
    CachedItemInfoPtr element;
    if (SUCCEEDED(chain->Items(k).As(&element))) element->SetRootItem(first.Get(), true);
  }
}

}  // namespace

void CaptureTargetThumbnail(IItemInfo* target, TBitmap& bitmap) {
  CaptureItemThumbnail(target, bitmap, kThumbnailSize);
}

SearchInfoPathPtr BuildSearchPath(IItemInfo* item, const ThumbnailCapture& capture) {
  LogEnterSection("CP");
  const SearchInfoPathPtr path = NewSearchInfoList();
  const CachedInfoQueuePtr chain = path->GetItemInfoList();
  FillChain(chain.Get(), AsCachedItemInfo(item));
  chain->Finish();
  MeasureChildrenFromTheFirstElement(chain.Get());

  for (int32_t k = chain->Count() - 1; k >= 0; --k) {
    const SearchInfoPtr record = path->Insert(0);
    FillSearchInfoWithNeighbours(record.Get(), chain->Items(k).Get());
  }

  // The chain holds at least the root window's item and finishing never
  // drops its last element, so there is always a target record.
  const ItemInfoPtr last = chain->Items(chain->Count() - 1);
  const SelectionFramePtr frame = GetSelectionFrame();
  const bool wasVisible = frame->GetVisible();
  frame->SetVisible(false);
  Sleep(kFrameHiddenBeforeThumbnailMs);
  capture(last.Get(), *path->GetItem(path->GetCount() - 1)->GetBitmap());
  frame->SetVisible(wasVisible);
  LogLeaveSection();
  return path;
}

void FillSearchInfo(IItemInfo* item, ISearchInfo* record) {
  if (record == nullptr) return;
  const ItemInfoPtr source = OrNullItem(item);
  IItemInfo* const it = source.Get();
  record->SetIsNull(IsNullItemInfo(it));
  record->SetModuleName(AnsiToWide(it->GetModuleName()));
  record->SetWndClass(AnsiToWide(it->GetClassName()));
  record->SetDefaultAction(it->GetDefaultAction());
  record->SetDescription(it->GetDescription());
  record->SetHelpTopicId(it->GetHelpTopicId());
  record->SetShortCut(it->GetShortcut());
  record->SetName(it->GetName());
  record->SetStateId(it->GetStateId());
  record->SetRoleId(it->GetRoleId());
  record->SetValue(it->GetValue());
  record->SetClientInnerPoint(it->GetInnerPoint());
  record->SetChildCount(it->GetValidChildCount());
  record->SetRootRect(GetRectInRootWindow(it));
  record->SetParentId(static_cast<int32_t>(it->GetAccessible().ChildIdValue()));
  record->SetWndText(AnsiToWide(it->GetText()));
}

void FillSearchInfoWithNeighbours(ISearchInfo* record, IItemInfo* item) {
  LogEnterSection("SI");
  FillSearchInfo(item, record);
  ItemInfoPtr left, top, right, bottom;
  OrNullItem(item)->GetNeighbours(left, top, right, bottom);
  if (record != nullptr) {
    FillSearchInfo(top.Get(), record->GetTop().Get());
    FillSearchInfo(left.Get(), record->GetLeft().Get());
    FillSearchInfo(right.Get(), record->GetRight().Get());
    FillSearchInfo(bottom.Get(), record->GetBottom().Get());
  }
  LogLazily([&] {
    return "Neighbourhs(left,top,right,down): " + DescribeItem(left.Get()) + ", " +
           DescribeItem(top.Get()) + ", " + DescribeItem(right.Get()) + ", " +
           DescribeItem(bottom.Get());
  });
  LogLeaveSection();
}
