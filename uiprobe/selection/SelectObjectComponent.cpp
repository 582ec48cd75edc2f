#include "SelectObjectComponent.h"

#include <stdexcept>
#include <utility>

#include "CodePage.h"
#include "HookInterprocessComm.h"
#include "ItemInfoNull.h"
#include "SearchPathBuilder.h"
#include "Translation.h"

namespace {

TPoint CurrentCursorPosition() {
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return {-1, -1};
  return FromWinPoint(cursor);
}

}  // namespace

TSelectionSeams PlatformSelectionSeams() {
  TSelectionSeams seams;
  seams.IsHookActive = [] { return ::IsHookActive(); };
  seams.StartHook = [] { ::StartHook(GetSelectionFrame()->GetHandle()); };
  seams.StopHook = [] { return ::StopHook(); };
  seams.MouseEventPending = [] { return ::MouseEventPending(); };
  seams.ReadMouseEvent = [] { return ::ReadMouseEvent(); };
  seams.KeyEventPending = [] { return ::KeyEventPending(); };
  seams.ReadKeyEvent = [] { return ::ReadKeyEvent(); };
  seams.ProcessMessages = PlatformHookControlCalls().ProcessMessages;
  seams.CursorPosition = CurrentCursorPosition;
  seams.ItemFromPoint = ItemInfoFromPoint;
  seams.Frame = GetSelectionFrame;
  seams.BuildSearchPath = [](IItemInfo* item) { return ::BuildSearchPath(item); };
  seams.Translate = [](std::wstring_view english) { return ::Translate(english); };
  return seams;
}

TSelectObjectComponent::TSelectObjectComponent(TSelectionSeams seams)
    : seams_(std::move(seams)),
      currentItem_(NullItemInfo()),
      path_(NewSearchInfoList()),
      ignoredRootWindow_(NullItemHandle()) {}

TSelectObjectComponent::~TSelectObjectComponent() {
  if (hookGivenUp_) return;
  try {
    StopHook();
  } catch (...) {
    // Nothing left to do about a hook that cannot be reached.
  }
}

bool TSelectObjectComponent::Execute(bool buildPath) {
  selected_ = false;
  buildPath_ = buildPath;
  seams_.StartHook();
  // No pause: the hook's procedures run while the queue is handled, and a
  // ring holds only three records.
  while (!hookGivenUp_ && seams_.IsHookActive()) {
    if (seams_.MouseEventPending() || seams_.KeyEventPending()) ProcessHookEvents();
    seams_.ProcessMessages();
  }
  bool captured = false;
  if (ShouldCapture(selected_, !IsNullItemInfo(currentItem_), cancelled_)) {
    Capture();
    captured = true;
  } else if (path_) {
    path_->Clear();
  }
  seams_.Frame()->SetVisible(false);
  return captured;
}

void TSelectObjectComponent::ProcessHookEvents() {
  if (seams_.KeyEventPending()) {
    const THookEventRecord key = seams_.ReadKeyEvent();
    switch (SelectionKeyOf(key.VirtualKey)) {
      case SelectionKey::Select:
        // Without an object under the cursor the selection goes on; the
        // point is the cursor's now, not the one of the last mouse record.
        if (hasItem_) StopHook();
        selected_ = true;
        position_ = seams_.CursorPosition();
        break;
      case SelectionKey::Cancel:
        cancelled_ = true;
        StopHook();
        break;
      case SelectionKey::Other:
        break;
    }
  }
  if (seams_.MouseEventPending()) {
    const THookEventRecord mouse = seams_.ReadMouseEvent();
    position_ = {mouse.X, mouse.Y};
    UpdateItemUnderCursor();
    if (onItem_) onItem_(currentItem_.Get());
  }
}

void TSelectObjectComponent::UpdateItemUnderCursor() {
  ItemInfoPtr item = seams_.ItemFromPoint(position_);
  const HWND root = RootWindowOf(item.Get());
  if (root == ignoredRootWindow_) {
    item = NullItemInfo();
  } else {
    const SelectionFramePtr frame = seams_.Frame();
    const HWND frameWindow = frame->GetHandle();
    if (root == frameWindow) {
      // The frame's own tab or edge lies under the point: punch the cursor
      // pixel out of it and look at what lies below.
      frame->ExcludeCursorPoint();
      item = seams_.ItemFromPoint(position_);
      if (RootWindowOf(item.Get()) == frameWindow) item = NullItemInfo();
    }
  }
  if (!item || IsNullItemInfo(item)) {
    hasItem_ = false;
    return;
  }
  if (ItemMoved(currentItem_.Get(), item.Get())) {
    ShowFrameForItem(item.Get(), kFollowFrameColor, kFollowFrameCaption);
    currentItem_ = item;
  }
  hasItem_ = true;
}

bool TSelectObjectComponent::ItemMoved(IItemInfo* framed, IItemInfo* found) {
  return ScreenRectMoved(framed->GetScreenRect(), found->GetScreenRect());
}

void TSelectObjectComponent::Capture() {
  selected_ = false;
  if (IsNullItemInfo(currentItem_)) return;
  ShowFrameForItem(currentItem_.Get(), kCapturingFrameColor, Translated(kCapturingFrameCaption));
  currentItem_->SetInnerPoint(PointRelativeTo(position_, currentItem_->GetScreenRect()));
  if (buildPath_) {
    if (!seams_.BuildSearchPath) {
      throw std::logic_error("the selection was asked for a search path without a builder");
    }
    path_ = seams_.BuildSearchPath(currentItem_.Get());
  } else {
    path_ = nullptr;
  }
  ShowFrameForItem(currentItem_.Get(), kDoneFrameColor, Translated(kDoneFrameCaption));
}

void TSelectObjectComponent::ShowFrameForItem(IItemInfo* item, Colour color,
                                              const std::string& caption) {
  const SelectionFramePtr frame = seams_.Frame();
  if (item == nullptr || IsNullItemInfo(item)) {
    frame->SetVisible(false);
    return;
  }
  frame->SetRect(item->GetScreenRect());
  frame->SetColor(color);
  frame->SetCaption(Translated(caption));
  frame->SetVisible(true);
}

void TSelectObjectComponent::StopHook() {
  if (!seams_.StopHook()) hookGivenUp_ = true;
}

HWND TSelectObjectComponent::RootWindowOf(IItemInfo* item) const {
  if (item == nullptr) return NullItemHandle();
  const ItemInfoPtr root = item->GetRootItem();
  return root ? root->GetHandle() : NullItemHandle();
}

std::string TSelectObjectComponent::Translated(std::string_view english) const {
  return WideToAnsi(seams_.Translate(AnsiToWide(english)));
}

ItemInfoPtr SelectObjectInteractively() {
  TSelectObjectComponent component;
  if (!component.Execute(false)) return nullptr;
  return component.CurrentItem();
}
