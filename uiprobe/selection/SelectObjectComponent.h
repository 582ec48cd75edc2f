#pragma once
// Interactive selection (--manualselect): while the user moves the mouse, a
// red frame follows the object under the cursor; Ctrl selects that object,
// Esc cancels. TSelectObjectComponent starts the hook library's global hook,
// polls the hook block's rings on the program's single thread, finds the
// object under each reported mouse position, moves the selection frame to
// it and, on Ctrl, records the selected object and the selected point.
//
// Everything the component reaches outside itself (the hook and its rings,
// the message queue, the cursor, the object lookup, the frame, the search
// path and the translation) goes through TSelectionSeams, so the loop's
// decisions run against fakes as well as against the desktop. The rules it
// decides by are pure functions below.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "Bitmap24.h"
#include "Geometry.h"
#include "HookRing.h"
#include "ItemInfo.h"
#include "SearchInfo2.h"
#include "SelectionFrameUnit.h"

// The frame's colours (blue-green-red) and captions through the selection.
// The captions are English; they pass the translation lookup on their way to
// the frame.
inline constexpr Colour kFollowFrameColor = 0x0000FF;     // red: the object under the cursor
inline constexpr Colour kCapturingFrameColor = 0xFF0000;  // blue: capturing
inline constexpr Colour kDoneFrameColor = 0x00FF00;       // lime: captured
inline constexpr char kFollowFrameCaption[] = "[Ctrl] - Select, [Esc] - Cancel";
inline constexpr char kCapturingFrameCaption[] = "Capturing... ";
inline constexpr char kDoneFrameCaption[] = "Done";

// The keys that end a selection, as the hook library reports them: the
// generic Ctrl code selects (a sided code does not), Esc cancels.
enum class SelectionKey { Select, Cancel, Other };

inline constexpr std::int32_t kSelectVirtualKey = VK_CONTROL;
inline constexpr std::int32_t kCancelVirtualKey = VK_ESCAPE;
static_assert(kSelectVirtualKey == 17 && kCancelVirtualKey == 27);

constexpr SelectionKey SelectionKeyOf(std::int32_t virtualKey) {
  if (virtualKey == kSelectVirtualKey) return SelectionKey::Select;
  if (virtualKey == kCancelVirtualKey) return SelectionKey::Cancel;
  return SelectionKey::Other;
}

// The framed object gives way to a newly found one whenever the two screen
// rectangles differ. Within one object, and between objects that cover
// exactly the same rectangle (a window and its client object), the first
// stays; an object elsewhere always takes over, wherever the cursor lies in
// it, so Ctrl never selects an object that is not under the cursor.
constexpr bool ScreenRectMoved(const TRect& framed, const TRect& found) {
  return !(framed == found);
}

// A screen point relative to a rectangle's top-left corner.
constexpr TPoint PointRelativeTo(const TPoint& screenPoint, const TRect& rect) {
  return {screenPoint.X - rect.Left, screenPoint.Y - rect.Top};
}

// After the loop: an object is captured when Ctrl was read, an object is
// framed and Esc was not read, in whatever order the keys came.
constexpr bool ShouldCapture(bool selected, bool hasObject, bool cancelled) {
  return selected && hasObject && !cancelled;
}

// What the selection uses of the world outside it.
struct TSelectionSeams {
  // The hook library's active flag, and starting and stopping the hook.
  // StopHook is false when the library kept its flag set past the stop
  // timeout: the hook then counts as given up.
  std::function<bool()> IsHookActive;
  std::function<void()> StartHook;
  std::function<bool()> StopHook;
  // The block's two rings; a reader is called only after its pending test
  // said true.
  std::function<bool()> MouseEventPending;
  std::function<THookEventRecord()> ReadMouseEvent;
  std::function<bool()> KeyEventPending;
  std::function<THookEventRecord()> ReadKeyEvent;
  // Handles every message waiting in the thread's queue; the hook's
  // procedures run in it, and the frame stays painted.
  std::function<void()> ProcessMessages;
  // The mouse cursor in screen pixels.
  std::function<TPoint()> CursorPosition;
  // The object at a screen point with the point as its inner point, or the
  // null item (ItemInfoFromPoint).
  std::function<ItemInfoPtr(const TPoint&)> ItemFromPoint;
  // The process's selection frame.
  std::function<SelectionFramePtr()> Frame;
  // The search path of a captured item; used only by Execute(true), which
  // raises std::logic_error without it.
  std::function<SearchInfoPathPtr(IItemInfo*)> BuildSearchPath;
  // The translation lookup of an English message.
  std::function<std::wstring(std::wstring_view)> Translate;
};

// The seams over the desktop: the process's hook block (InitHookChannel
// must have run), Snaretap.dll, the thread's queue, the live item, the
// process's frame and the search-path builder. The hook library may notify
// the frame's window, the only window the program has.
TSelectionSeams PlatformSelectionSeams();

class TSelectObjectComponent {
 public:
  // Hook off, frame untouched, nothing selected: Position (-1, -1), the null
  // item as CurrentItem, a new empty Path, BuildPath true, no root window
  // ignored that a live item can have.
  explicit TSelectObjectComponent(TSelectionSeams seams = PlatformSelectionSeams());
  // Stops the hook if it is still active (an error may have left the loop),
  // unless it was given up. Never raises.
  ~TSelectObjectComponent();
  TSelectObjectComponent(const TSelectObjectComponent&) = delete;
  TSelectObjectComponent& operator=(const TSelectObjectComponent&) = delete;

  // Runs the selection: starts the hook and, while the library reports it
  // active, handles the pending records and then the waiting messages, with
  // no pause. True when Ctrl selected an object, which is then captured;
  // false (with Path emptied) after Esc, when the hook never became active,
  // or when the library ended the hook before any selection. The frame is
  // hidden afterwards. Errors leave it as they come, frame shown.
  bool Execute(bool buildPath);

  // One pass over the rings: at most one keyboard record, then at most one
  // mouse record. Ctrl over an object stops the hook; Ctrl in any case sets
  // Selected and takes the cursor position. Esc sets Cancelled and stops the
  // hook. A mouse record then moves Position, looks for the object there
  // and calls OnItem, also in the pass in which Ctrl stopped the hook.
  void ProcessHookEvents();

  // Finds the object at Position, looking through the frame when the frame
  // itself lies there; an object of the ignored root window, and the frame
  // that is still hit, count as none. No object: HasItem false and nothing
  // else changes. An object: HasItem true, and when it has moved (ItemMoved)
  // the red frame goes round it and it becomes CurrentItem.
  void UpdateItemUnderCursor();

  // Whether `found` replaces `framed`: their screen rectangles differ
  // (ScreenRectMoved).
  static bool ItemMoved(IItemInfo* framed, IItemInfo* found);

  // Marks and records the selected object: blue frame, the selected point
  // (Position relative to the object) as its inner point, the search path
  // when BuildPath, lime frame. Resets Selected; nothing else happens
  // without an object.
  void Capture();

  // Puts the frame round the item's screen rectangle in the colour, with the
  // caption after the translation lookup, and shows it; nil or the null
  // item hides the frame instead.
  void ShowFrameForItem(IItemInfo* item, Colour color, const std::string& caption);

  // The last mouse position from the hook; after Ctrl, the cursor position.
  TPoint Position() const { return position_; }
  // The framed object; after a selection, the selected one.
  const ItemInfoPtr& CurrentItem() const { return currentItem_; }
  // The search path that Capture built; nil after a capture without one.
  const SearchInfoPathPtr& Path() const { return path_; }
  bool Selected() const { return selected_; }
  bool HasItem() const { return hasItem_; }
  bool Cancelled() const { return cancelled_; }
  bool BuildPath() const { return buildPath_; }
  // The library never cleared its flag when asked to: the loop is over and
  // nothing more is asked of the library.
  bool HookGivenUp() const { return hookGivenUp_; }

  // Objects whose root window has this handle count as no object.
  HWND IgnoredRootWindow() const { return ignoredRootWindow_; }
  void SetIgnoredRootWindow(HWND window) { ignoredRootWindow_ = window; }

  // Called with CurrentItem after each mouse record.
  void SetOnItem(std::function<void(IItemInfo*)> onItem) { onItem_ = std::move(onItem); }

 private:
  void StopHook();
  HWND RootWindowOf(IItemInfo* item) const;
  std::string Translated(std::string_view english) const;

  TSelectionSeams seams_;
  TPoint position_{-1, -1};
  ItemInfoPtr currentItem_;
  SearchInfoPathPtr path_;
  bool selected_ = false;
  std::function<void(IItemInfo*)> onItem_;
  HWND ignoredRootWindow_;
  bool hasItem_ = false;
  bool cancelled_ = false;
  bool buildPath_ = true;
  bool hookGivenUp_ = false;
};

// The main run's interactive capture: a component over the desktop, Execute
// without search path; the selected item, or nil when none was selected.
ItemInfoPtr SelectObjectInteractively();
