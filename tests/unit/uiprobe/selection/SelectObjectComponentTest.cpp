// The interactive selection against a desk of fakes: a hook block in local
// memory with the real ring reader and hook control behind a fake hook
// library, a scripted user who acts once per pass of the loop, a desktop of
// rectangles that answers lookups with new items, and a frame that logs
// every call.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ComObject.h"
#include "FakeItem.h"
#include "HookControl.h"
#include "ItemInfoNull.h"
#include "SelectObjectComponent.h"

namespace {

using namespace std::chrono_literals;

HWND Window(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }

const HWND kFixtureWindow = Window(0x1000);
const HWND kOtherWindow = Window(0x2000);
const HWND kFrameWindow = Window(0x3000);

std::string RectText(const TRect& rect) {
  return std::to_string(rect.Left) + "," + std::to_string(rect.Top) + "," +
         std::to_string(rect.Right) + "," + std::to_string(rect.Bottom);
}

// Logs every call that changes the frame, whether the value changes or not.
class FakeFrame final : public ComObject<ISelectionFrame> {
 public:
  std::vector<std::string> log;
  // Called when the cursor pixel is punched out.
  std::function<void()> onExclude;

  TRect STDMETHODCALLTYPE GetRect() override { return rect_; }
  void STDMETHODCALLTYPE SetRect(const TRect& rect) override {
    log.push_back("rect " + RectText(rect));
    rect_ = rect;
  }
  Colour STDMETHODCALLTYPE GetColor() override { return color_; }
  void STDMETHODCALLTYPE SetColor(Colour color) override {
    log.push_back("color " + std::to_string(color));
    color_ = color;
  }
  std::string STDMETHODCALLTYPE GetCaption() override { return caption_; }
  void STDMETHODCALLTYPE SetCaption(const std::string& caption) override {
    log.push_back("caption " + caption);
    caption_ = caption;
  }
  bool STDMETHODCALLTYPE GetVisible() override { return visible_; }
  void STDMETHODCALLTYPE SetVisible(bool visible) override {
    log.push_back(visible ? "show" : "hide");
    visible_ = visible;
  }
  HWND STDMETHODCALLTYPE GetHandle() override { return kFrameWindow; }
  void STDMETHODCALLTYPE ExcludeCursorPoint() override {
    log.push_back("exclude cursor");
    if (onExclude) onExclude();
  }

 private:
  TRect rect_ = kInitialFrameRect;
  Colour color_ = kInitialFrameColor;
  std::string caption_;
  bool visible_ = false;
};

using FakeFramePtr = Microsoft::WRL::ComPtr<FakeFrame>;

// The frame's calls for one showing round a rectangle.
std::vector<std::string> Shown(const TRect& rect, Colour color, const std::string& caption) {
  return {"rect " + RectText(rect), "color " + std::to_string(color), "caption " + caption,
          "show"};
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// An object on the fake desktop.
struct Place {
  std::wstring name;
  TRect rect;
  HWND rootWindow;
};

const Place kButtonOne{L"One", {440, 110, 540, 140}, kFixtureWindow};
const Place kButtonTwo{L"Two", {440, 190, 540, 220}, kFixtureWindow};  // the size of One
const Place kEdit{L"Edit", {110, 110, 520, 350}, kFixtureWindow};
const Place kPanel{L"Panel", {600, 110, 700, 400}, kFixtureWindow};
// A window and its client object cover the same rectangle.
const Place kPanelClient{L"PanelClient", {600, 110, 700, 400}, kFixtureWindow};
const Place kForeign{L"Foreign", {800, 110, 900, 200}, kOtherWindow};

TPoint Centre(const Place& place) {
  return {(place.rect.Left + place.rect.Right) / 2, (place.rect.Top + place.rect.Bottom) / 2};
}

class SelectionDesk : public testing::Test {
 protected:
  void SetUp() override {
    std::memset(&block_, 0, sizeof block_);
    frame_ = MakeComObject<FakeFrame>();
    component_.emplace(Seams());
  }

  void TearDown() override {
    // The component goes first, while the block and the library are here.
    component_.reset();
  }

  TSelectionSeams Seams() {
    TSelectionSeams seams;
    seams.IsHookActive = [this] { return control_.IsHookActive(); };
    seams.StartHook = [this] { control_.StartHook(0x77); };
    seams.StopHook = [this] { return control_.StopHook(); };
    seams.MouseEventPending = [this] { return ::MouseEventPending(block_); };
    seams.ReadMouseEvent = [this] { return ::ReadMouseEvent(block_); };
    seams.KeyEventPending = [this] { return ::KeyEventPending(block_); };
    seams.ReadKeyEvent = [this] { return ::ReadKeyEvent(block_); };
    seams.ProcessMessages = [this] { UserActs(); };
    seams.CursorPosition = [this] { return cursor_; };
    seams.ItemFromPoint = [this](const TPoint& point) { return Lookup(point); };
    seams.Frame = [this] { return SelectionFramePtr(frame_); };
    seams.BuildSearchPath = [this](IItemInfo* item) {
      frame_->log.push_back("build path");
      pathTargets_.push_back(item);
      SearchInfoPathPtr path = NewSearchInfoList();
      path->Add();
      return path;
    };
    seams.Translate = [this](std::wstring_view english) { return translate_(english); };
    return seams;
  }

  TSelectObjectComponent& Component() { return *component_; }

  // The fake hook library and the thread's surroundings of the hook control.
  HookControlCalls LibraryCalls() {
    HookControlCalls calls;
    calls.SetHook = [this](std::int32_t enable) {
      hookLog_.push_back("SetHook(" + std::to_string(enable) + ")");
      if (enable != 0) {
        if (setsFlagOnInstall_) block_.HookActive = 1;
      } else if (clearsFlagOnRemove_) {
        block_.HookActive = 0;
      }
    };
    calls.ProcessMessages = [] {};
    calls.Sleep = [this](std::chrono::milliseconds pause) { slept_ += pause; };
    calls.Now = [this] { return std::chrono::steady_clock::time_point(slept_); };
    return calls;
  }

  // What the user does, one action at the end of each pass of the loop.
  void Then(std::function<void()> action) { user_.push_back(std::move(action)); }
  void ThenMoveTo(TPoint point) {
    Then([this, point] { MoveMouse(point); });
  }
  void ThenPress(std::int32_t virtualKey) {
    Then([this, virtualKey] { PressKey(virtualKey); });
  }
  void ThenWait() {
    Then([] {});
  }
  // The user moves over a place and presses a key while the selection runs.
  bool ExecuteWith(const Place& place, std::int32_t virtualKey, bool buildPath) {
    ThenMoveTo(Centre(place));
    ThenPress(virtualKey);
    return Component().Execute(buildPath);
  }

  // The mouse moves the cursor and the library reports it.
  void MoveMouse(TPoint point) {
    cursor_ = point;
    THookEventRecord record{};
    record.X = point.X;
    record.Y = point.Y;
    block_.MouseRing[HookRingSlot(block_.MouseWriteCounter)] = record;
    block_.MouseWriteCounter = NextHookCounter(block_.MouseWriteCounter);
  }

  // The mouse moves and the component handles the record at once.
  void MoveAndHandle(TPoint point) {
    MoveMouse(point);
    Component().ProcessHookEvents();
  }

  void PressKey(std::int32_t virtualKey) {
    THookEventRecord record{};
    record.VirtualKey = virtualKey;
    block_.KeyboardRing[HookRingSlot(block_.KeyboardWriteCounter)] = record;
    block_.KeyboardWriteCounter = NextHookCounter(block_.KeyboardWriteCounter);
  }

  void UserActs() {
    ++passes_;
    if (user_.empty()) {
      // The pass that ended the selection may still handle the queue; a
      // loop that would go on after the user's last action fails the test,
      // and the library drops its hook so that it does not run for ever.
      if (block_.HookActive != 0 && !Component().HookGivenUp()) {
        ADD_FAILURE() << "the selection went on after the user's last action";
        block_.HookActive = 0;
      }
      return;
    }
    const std::function<void()> action = std::move(user_.front());
    user_.pop_front();
    action();
  }

  // The desktop's answer at a point: a new item for the first place that
  // holds the point, with the point as its inner point; the frame's own
  // window while it covers the point; else the null item.
  ItemInfoPtr Lookup(const TPoint& point) {
    lookups_.push_back(point);
    if (frameCovers_ && *frameCovers_ == point) return MakeItem({L"Frame", {}, kFrameWindow}, point);
    for (const Place& place : desktop_) {
      if (RectContainsPoint(place.rect, point)) return MakeItem(place, point);
    }
    return NullItemInfo();
  }

  ItemInfoPtr MakeItem(const Place& place, const TPoint& point) {
    const FakeItemPtr root = FakeItem::Make();
    root->values.handle = place.rootWindow;
    FakeItemValues values;
    values.name = place.name;
    values.screenRect = place.rect;
    values.innerPoint = PointRelativeTo(point, place.rect);
    const FakeItemPtr item = FakeItem::Make(values);
    item->root = root;
    found_.push_back(item);
    return item;
  }

  std::wstring CurrentName() { return Component().CurrentItem()->GetName(); }

  THookSharedBlock block_;
  bool setsFlagOnInstall_ = true;
  bool clearsFlagOnRemove_ = true;
  std::vector<std::string> hookLog_;
  std::chrono::milliseconds slept_{0};
  HookControl control_{block_, LibraryCalls()};

  std::deque<std::function<void()>> user_;
  int passes_ = 0;
  TPoint cursor_{-1, -1};

  std::vector<Place> desktop_{kButtonOne, kButtonTwo, kEdit, kPanel, kPanelClient, kForeign};
  std::optional<TPoint> frameCovers_;
  std::vector<TPoint> lookups_;
  std::vector<FakeItemPtr> found_;

  FakeFramePtr frame_;
  std::vector<IItemInfo*> pathTargets_;
  std::function<std::wstring(std::wstring_view)> translate_ = [](std::wstring_view english) {
    return std::wstring(english);
  };

  std::optional<TSelectObjectComponent> component_;
};

const std::string kFollow = kFollowFrameCaption;

}  // namespace

// The pure rules.

TEST(SelectionRules, SelectionKeyOf_GenericCtrlSelectsEscCancels_SidedCtrlIsNoSelection) {
  EXPECT_EQ(SelectionKeyOf(17), SelectionKey::Select);
  EXPECT_EQ(SelectionKeyOf(27), SelectionKey::Cancel);
  for (const std::int32_t key : {VK_LCONTROL, VK_RCONTROL, int32_t{'X'}})
    EXPECT_EQ(SelectionKeyOf(key), SelectionKey::Other) << key;
}

TEST(SelectionRules, ScreenRectMoved_AnyEdgeDiffers_True) {
  const TRect rect{10, 20, 30, 40};
  EXPECT_FALSE(ScreenRectMoved(rect, rect));
  for (const TRect other : {TRect{11, 20, 30, 40}, TRect{10, 21, 30, 40}, TRect{10, 20, 31, 40},
                            TRect{10, 20, 30, 41}})
    EXPECT_TRUE(ScreenRectMoved(rect, other)) << RectText(other);
}

TEST(SelectionRules, ShouldCapture_OnlySelectedWithObjectAndNotCancelled_True) {
  EXPECT_TRUE(ShouldCapture(true, true, false));
  EXPECT_FALSE(ShouldCapture(false, true, false));
  EXPECT_FALSE(ShouldCapture(true, false, false));
  EXPECT_FALSE(ShouldCapture(true, true, true));
}

TEST(SelectionRules, PointRelativeTo_ScreenPointInRect_OffsetFromTopLeft) {
  EXPECT_EQ(PointRelativeTo({150, 60}, {100, 50, 200, 80}), (TPoint{50, 10}));
  EXPECT_EQ(PointRelativeTo({90, 40}, {100, 50, 200, 80}), (TPoint{-10, -10}));
}

// ItemMoved on items.

// The frame follows to another item when its rectangle differs from the
// current one's, or the current one is the null item; the inner point alone
// does not move it.
TEST(SelectObjectComponentItemMoved, OtherRectOrFromTheNullItem_Moved_SameRectNot) {
  const struct {
    const char* name;
    ItemInfoPtr from;
    FakeItemValues to;
    bool moved;
  } cases[] = {
      // Two buttons of one size, the cursor at the same place in each: the
      // second must take over, or Ctrl would select the first.
      {"another rectangle at the same inner offset",
       FakeItem::Make({.screenRect = {440, 10, 540, 40}, .innerPoint = {50, 15}}),
       {.screenRect = {440, 90, 540, 120}, .innerPoint = {50, 15}}, true},
      {"the same rectangle, another inner point",
       FakeItem::Make({.screenRect = {0, 0, 100, 100}, .innerPoint = {5, 5}}),
       {.screenRect = {0, 0, 100, 100}, .innerPoint = {60, 70}}, false},
      {"another rectangle at the same screen point",
       FakeItem::Make({.screenRect = {0, 0, 100, 100}, .innerPoint = {50, 50}}),
       {.screenRect = {40, 40, 60, 60}, .innerPoint = {10, 10}}, true},
      {"from the null item", NullItemInfo(), {.screenRect = {1, 1, 2, 2}, .innerPoint = {0, 0}},
       true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TSelectObjectComponent::ItemMoved(c.from.Get(), FakeItem::Make(c.to).Get()), c.moved)
        << c.name;
  }
}

// The component's state.

TEST_F(SelectionDesk, Create_FieldsHoldTheirStartValues) {
  EXPECT_EQ(Component().Position(), (TPoint{-1, -1}));
  EXPECT_TRUE(IsNullItemInfo(Component().CurrentItem()));
  ASSERT_TRUE(Component().Path());
  EXPECT_EQ(Component().Path()->GetCount(), 0);
  EXPECT_FALSE(Component().Selected());
  EXPECT_FALSE(Component().HasItem());
  EXPECT_FALSE(Component().Cancelled());
  EXPECT_TRUE(Component().BuildPath());
  EXPECT_EQ(Component().IgnoredRootWindow(), NullItemHandle());
  EXPECT_TRUE(hookLog_.empty());
  EXPECT_TRUE(frame_->log.empty());
}

// Execute.

TEST_F(SelectionDesk, Execute_CtrlOverAnObject_CapturesItAtTheCursorPoint) {
  ThenMoveTo({450, 120});
  ThenMoveTo(Centre(kButtonOne));
  // The cursor moves on without a record reaching the ring before Ctrl.
  Then([this] {
    cursor_ = {530, 135};
    PressKey(kSelectVirtualKey);
  });

  EXPECT_TRUE(Component().Execute(false));

  EXPECT_EQ(hookLog_, (std::vector<std::string>{"SetHook(-1)", "SetHook(0)"}));
  EXPECT_EQ(block_.NotifyWindow, 0x77u);
  EXPECT_FALSE(Component().Selected());  // Capture resets it
  EXPECT_FALSE(Component().Cancelled());
  EXPECT_EQ(CurrentName(), L"One");
  EXPECT_EQ(Component().CurrentItem().Get(), found_.front().Get());  // the first one stays
  EXPECT_EQ(Component().Position(), (TPoint{530, 135}));
  EXPECT_EQ(Component().CurrentItem()->GetInnerPoint(), (TPoint{90, 25}));
  EXPECT_FALSE(Component().Path());
  EXPECT_EQ(frame_->log, Joined({Shown(kButtonOne.rect, 255, kFollow),
                                 Shown(kButtonOne.rect, 0xFF0000, "Capturing... "),
                                 Shown(kButtonOne.rect, 0x00FF00, "Done"), {"hide"}}));
  EXPECT_TRUE(pathTargets_.empty());
}

TEST_F(SelectionDesk, Execute_BuildPath_PathOfTheSelectedItemBuiltBetweenBlueAndLime) {
  EXPECT_TRUE(ExecuteWith(kEdit, kSelectVirtualKey, true));

  EXPECT_TRUE(Component().BuildPath());
  ASSERT_EQ(pathTargets_.size(), 1u);
  EXPECT_EQ(pathTargets_[0], Component().CurrentItem().Get());
  ASSERT_TRUE(Component().Path());
  EXPECT_EQ(Component().Path()->GetCount(), 1);
  EXPECT_EQ(frame_->log, Joined({Shown(kEdit.rect, 255, kFollow),
                                 Shown(kEdit.rect, 0xFF0000, "Capturing... "), {"build path"},
                                 Shown(kEdit.rect, 0x00FF00, "Done"), {"hide"}}));
}

TEST_F(SelectionDesk, Execute_Esc_FalseWithPathEmptiedAndFrameHidden) {
  EXPECT_FALSE(ExecuteWith(kEdit, kCancelVirtualKey, true));

  EXPECT_TRUE(Component().Cancelled());
  EXPECT_EQ(hookLog_, (std::vector<std::string>{"SetHook(-1)", "SetHook(0)"}));
  ASSERT_TRUE(Component().Path());
  EXPECT_EQ(Component().Path()->GetCount(), 0);
  EXPECT_TRUE(pathTargets_.empty());
  EXPECT_EQ(frame_->log, Joined({Shown(kEdit.rect, 255, kFollow), {"hide"}}));
}

TEST_F(SelectionDesk, Execute_EscWaitingBehindCtrlOverAnObject_CtrlEndsTheLoopAndSelects) {
  ThenMoveTo(Centre(kEdit));
  Then([this] {
    PressKey(kSelectVirtualKey);
    PressKey(kCancelVirtualKey);
  });
  EXPECT_TRUE(Component().Execute(false));
  EXPECT_FALSE(Component().Cancelled());
  EXPECT_EQ(block_.KeyboardReadCounter, 1u);
  EXPECT_EQ(CurrentName(), L"Edit");
}

TEST_F(SelectionDesk, Execute_EscAfterAnEarlierCaptureWithPath_ThatPathIsEmptied) {
  ASSERT_TRUE(ExecuteWith(kEdit, kSelectVirtualKey, true));
  const SearchInfoPathPtr built = Component().Path();
  ASSERT_TRUE(built);
  ASSERT_EQ(built->GetCount(), 1);

  ThenPress(kCancelVirtualKey);
  EXPECT_FALSE(Component().Execute(true));
  EXPECT_EQ(Component().Path().Get(), built.Get());
  EXPECT_EQ(built->GetCount(), 0);
}

TEST_F(SelectionDesk, Execute_EscAfterCtrlOverNoObject_False) {
  ThenMoveTo({5, 5});  // bare desktop
  ThenPress(kSelectVirtualKey);
  ThenPress(kCancelVirtualKey);

  EXPECT_FALSE(Component().Execute(false));

  EXPECT_TRUE(Component().Selected());
  EXPECT_TRUE(Component().Cancelled());
  EXPECT_TRUE(IsNullItemInfo(Component().CurrentItem()));
  EXPECT_EQ(frame_->log, (std::vector<std::string>{"hide"}));
}

TEST_F(SelectionDesk, Execute_CtrlOverNoObject_SelectionGoesOnUntilCtrlOverAnObject) {
  ThenMoveTo({5, 5});
  ThenPress(kSelectVirtualKey);
  Then([this] {
    // Nothing visible has happened and the hook still runs.
    EXPECT_EQ(block_.HookActive, 1);
    EXPECT_EQ(hookLog_, (std::vector<std::string>{"SetHook(-1)"}));
    EXPECT_TRUE(frame_->log.empty());
    MoveMouse(Centre(kButtonTwo));
  });
  ThenPress(kSelectVirtualKey);

  EXPECT_TRUE(Component().Execute(false));

  EXPECT_EQ(CurrentName(), L"Two");
  EXPECT_EQ(Component().CurrentItem()->GetInnerPoint(), (TPoint{50, 15}));
}

TEST_F(SelectionDesk, Execute_CtrlWhileTheCursorLeftTheFramedObject_NotStoppedUntilOverOneAgain) {
  ThenMoveTo(Centre(kEdit));
  ThenMoveTo({5, 5});
  ThenPress(kSelectVirtualKey);
  Then([this] {
    EXPECT_EQ(block_.HookActive, 1);
    MoveMouse(Centre(kButtonOne));
  });
  ThenPress(kSelectVirtualKey);

  EXPECT_TRUE(Component().Execute(false));
  EXPECT_EQ(CurrentName(), L"One");
}

TEST_F(SelectionDesk, Execute_OtherObjectAtTheSameInnerOffset_CtrlSelectsTheOneUnderTheCursor) {
  ThenMoveTo(Centre(kButtonOne));
  ThenMoveTo(Centre(kButtonTwo));
  ThenPress(kSelectVirtualKey);

  EXPECT_TRUE(Component().Execute(false));

  EXPECT_EQ(CurrentName(), L"Two");
  EXPECT_EQ(Component().CurrentItem()->GetScreenRect(), kButtonTwo.rect);
  EXPECT_EQ(frame_->log,
            Joined({Shown(kButtonOne.rect, 255, kFollow), Shown(kButtonTwo.rect, 255, kFollow),
                    Shown(kButtonTwo.rect, 0xFF0000, "Capturing... "),
                    Shown(kButtonTwo.rect, 0x00FF00, "Done"), {"hide"}}));
}

TEST_F(SelectionDesk, Execute_OtherObjectWithTheSameRect_FirstOneSelected) {
  desktop_ = {kPanel};
  ThenMoveTo({610, 120});
  Then([this] {
    desktop_ = {kPanelClient};
    MoveMouse({650, 300});
  });
  ThenPress(kSelectVirtualKey);

  EXPECT_TRUE(Component().Execute(false));

  EXPECT_EQ(CurrentName(), L"Panel");
  EXPECT_EQ(found_.size(), 2u);
  EXPECT_EQ(Component().CurrentItem()->GetInnerPoint(), (TPoint{50, 190}));
}

TEST_F(SelectionDesk, Execute_HookNeverBecomesActive_NoPassAndFalse) {
  setsFlagOnInstall_ = false;
  EXPECT_FALSE(Component().Execute(true));
  EXPECT_EQ(passes_, 0);
  EXPECT_EQ(hookLog_, (std::vector<std::string>{"SetHook(-1)"}));
  EXPECT_EQ(Component().Path()->GetCount(), 0);
  EXPECT_EQ(frame_->log, (std::vector<std::string>{"hide"}));
}

TEST_F(SelectionDesk, Execute_LibraryEndsTheHookBeforeAnySelection_False) {
  ThenMoveTo(Centre(kEdit));
  Then([this] { block_.HookActive = 0; });
  EXPECT_FALSE(Component().Execute(false));
  EXPECT_EQ(CurrentName(), L"Edit");
  EXPECT_FALSE(Component().Selected());
  EXPECT_EQ(frame_->log.back(), "hide");
}

TEST_F(SelectionDesk, Execute_HookAlreadyActive_NotStartedAgainAndSelectionRuns) {
  block_.HookActive = 1;
  EXPECT_TRUE(ExecuteWith(kEdit, kSelectVirtualKey, false));
  EXPECT_EQ(hookLog_, (std::vector<std::string>{"SetHook(0)"}));
  EXPECT_EQ(block_.NotifyWindow, 0u);
}

TEST_F(SelectionDesk, Execute_LibraryNeverClearsItsFlagAfterCtrl_LoopEndsCapturesAndGivesUp) {
  clearsFlagOnRemove_ = false;
  EXPECT_TRUE(ExecuteWith(kEdit, kSelectVirtualKey, false));

  EXPECT_TRUE(Component().HookGivenUp());
  EXPECT_EQ(CurrentName(), L"Edit");
  EXPECT_GE(slept_, kStopHookTimeout);
  EXPECT_EQ(passes_, 3);
  component_.reset();
  // Nothing more is asked of the library.
  EXPECT_EQ(hookLog_, (std::vector<std::string>{"SetHook(-1)", "SetHook(0)"}));
}

TEST_F(SelectionDesk, Execute_LibraryNeverClearsItsFlagAfterEsc_LoopEndsWithFalse) {
  clearsFlagOnRemove_ = false;
  EXPECT_FALSE(ExecuteWith(kEdit, kCancelVirtualKey, false));
  EXPECT_TRUE(Component().HookGivenUp());
  EXPECT_EQ(passes_, 3);
}

TEST_F(SelectionDesk, Execute_NoRecordPending_NoRingIsRead) {
  ThenWait();
  ThenWait();
  Then([this] { block_.HookActive = 0; });
  EXPECT_FALSE(Component().Execute(false));
  EXPECT_EQ(passes_, 3);
  EXPECT_EQ(block_.MouseReadCounter, 0u);
  EXPECT_EQ(block_.KeyboardReadCounter, 0u);
  EXPECT_TRUE(lookups_.empty());
}

TEST_F(SelectionDesk, Execute_ErrorFromTheLookup_LeavesExecuteAndDestructionStopsTheHook) {
  ThenMoveTo(Centre(kEdit));
  Then([] {});
  TSelectionSeams seams = Seams();
  seams.ItemFromPoint = [](const TPoint&) -> ItemInfoPtr { throw std::runtime_error("lookup"); };
  component_.emplace(seams);

  EXPECT_THROW(Component().Execute(false), std::runtime_error);
  EXPECT_EQ(block_.HookActive, 1);
  EXPECT_TRUE(frame_->log.empty());  // not hidden on the way out
  component_.reset();
  EXPECT_EQ(hookLog_, (std::vector<std::string>{"SetHook(-1)", "SetHook(0)"}));
  EXPECT_EQ(block_.HookActive, 0);
}

TEST_F(SelectionDesk, Destroy_HookInactive_NothingAskedOfTheLibrary) {
  component_.reset();
  EXPECT_TRUE(hookLog_.empty());
}

TEST_F(SelectionDesk, Destroy_StopHookRaises_SwallowedByTheDestructor) {
  TSelectionSeams seams = Seams();
  seams.StopHook = []() -> bool { throw std::runtime_error("no block"); };
  component_.emplace(seams);
  EXPECT_NO_THROW(component_.reset());
}

// ProcessHookEvents.

TEST_F(SelectionDesk, ProcessHookEvents_CtrlAndMouseInOnePass_HookStoppedThenTheMouseRecordWins) {
  block_.HookActive = 1;
  MoveAndHandle(Centre(kEdit));
  ASSERT_TRUE(Component().HasItem());

  cursor_ = {200, 200};
  PressKey(kSelectVirtualKey);
  MoveMouse(Centre(kButtonOne));
  cursor_ = {200, 200};  // the mouse record is newer than the cursor reading
  Component().ProcessHookEvents();

  EXPECT_EQ(hookLog_, (std::vector<std::string>{"SetHook(0)"}));
  EXPECT_EQ(block_.HookActive, 0);
  EXPECT_TRUE(Component().Selected());
  EXPECT_EQ(Component().Position(), Centre(kButtonOne));
  EXPECT_EQ(CurrentName(), L"One");
}

TEST_F(SelectionDesk, ProcessHookEvents_CtrlWithoutObject_SelectedAtTheCursorAndHookKept) {
  block_.HookActive = 1;
  cursor_ = {7, 8};
  PressKey(kSelectVirtualKey);
  Component().ProcessHookEvents();
  EXPECT_TRUE(Component().Selected());
  EXPECT_EQ(Component().Position(), (TPoint{7, 8}));
  EXPECT_TRUE(hookLog_.empty());
  EXPECT_EQ(block_.HookActive, 1);
}

TEST_F(SelectionDesk, ProcessHookEvents_OtherKeys_ChangeNothing) {
  block_.HookActive = 1;
  MoveAndHandle(Centre(kEdit));
  for (const std::int32_t key : {int32_t{'A'}, int32_t{VK_LCONTROL}, int32_t{VK_SHIFT}}) {
    PressKey(key);
    Component().ProcessHookEvents();
  }
  EXPECT_FALSE(Component().Selected());
  EXPECT_FALSE(Component().Cancelled());
  EXPECT_TRUE(hookLog_.empty());
  EXPECT_EQ(block_.KeyboardReadCounter, 3u);
}

TEST_F(SelectionDesk, ProcessHookEvents_SeveralRecordsWaiting_OneOfEachRingPerPass) {
  block_.HookActive = 1;
  PressKey('A');
  PressKey('B');
  MoveMouse({5, 5});
  MoveMouse(Centre(kEdit));
  for (const auto& [reads, position] : {std::pair{1u, TPoint{5, 5}}, std::pair{2u, Centre(kEdit)}}) {
    Component().ProcessHookEvents();
    EXPECT_EQ(block_.KeyboardReadCounter, reads);
    EXPECT_EQ(block_.MouseReadCounter, reads);
    EXPECT_EQ(Component().Position(), position);
  }
}

TEST_F(SelectionDesk, ProcessHookEvents_MouseRecord_OnItemGetsTheCurrentItemEachTime) {
  std::vector<IItemInfo*> seen;
  Component().SetOnItem([&](IItemInfo* item) { seen.push_back(item); });
  MoveAndHandle(Centre(kEdit));
  MoveAndHandle({5, 5});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], found_[0].Get());
  EXPECT_EQ(seen[1], found_[0].Get());  // no object there: the framed one stays
}

// UpdateItemUnderCursor.

TEST_F(SelectionDesk, UpdateItemUnderCursor_ObjectWithoutRootWindow_CountsAsNone) {
  // The null item's handle is the one ignored at creation.
  desktop_ = {{L"Rootless", {0, 0, 50, 50}, NullItemHandle()}};
  MoveAndHandle({10, 10});
  EXPECT_FALSE(Component().HasItem());
  EXPECT_TRUE(IsNullItemInfo(Component().CurrentItem()));
}

TEST_F(SelectionDesk, UpdateItemUnderCursor_FrameUnderThePoint_PunchesThroughToTheObjectBelow) {
  const TPoint tab{kEdit.rect.Left + 3, kEdit.rect.Top + 1};
  frameCovers_ = tab;
  frame_->onExclude = [this] { frameCovers_.reset(); };
  MoveAndHandle(tab);

  EXPECT_TRUE(Component().HasItem());
  EXPECT_EQ(CurrentName(), L"Edit");
  EXPECT_EQ(lookups_, (std::vector<TPoint>{tab, tab}));
  EXPECT_EQ(frame_->log, Joined({{"exclude cursor"}, Shown(kEdit.rect, 255, kFollow)}));
}

TEST_F(SelectionDesk, UpdateItemUnderCursor_ObjectOfTheIgnoredRootBehindTheFrame_StillCountsAsObject) {
  // Only the first answer is held against the ignored window.
  Component().SetIgnoredRootWindow(kOtherWindow);
  const TPoint point = Centre(kForeign);
  frameCovers_ = point;
  frame_->onExclude = [this] { frameCovers_.reset(); };
  MoveAndHandle(point);
  EXPECT_TRUE(Component().HasItem());
  EXPECT_EQ(CurrentName(), L"Foreign");
}

// Where no object counts, the framed one and the frame stay.
TEST_F(SelectionDesk, UpdateItemUnderCursor_NoObject_CurrentItemAndFrameStay) {
  const TPoint edge{kEdit.rect.Left, kEdit.rect.Top + 40};
  const struct {
    const char* name;
    TPoint point;
    HWND ignoredRoot;
    std::optional<TPoint> frameCovers;
    std::vector<std::string> frameLog;
  } cases[] = {
      {"bare desktop", {5, 5}, NullItemHandle(), std::nullopt, {}},
      {"an object of the ignored root window", Centre(kForeign), kOtherWindow, std::nullopt, {}},
      {"the frame still hit after the punch", edge, NullItemHandle(), edge, {"exclude cursor"}},
  };
  for (const auto& c : cases) {
    Component().SetIgnoredRootWindow(c.ignoredRoot);
    frameCovers_ = c.frameCovers;
    MoveAndHandle(Centre(kEdit));
    frame_->log.clear();

    MoveAndHandle(c.point);

    EXPECT_FALSE(Component().HasItem()) << c.name;
    EXPECT_EQ(CurrentName(), L"Edit") << c.name;
    EXPECT_EQ(Component().Position(), c.point) << c.name;
    EXPECT_EQ(frame_->log, c.frameLog) << c.name;
  }
}

TEST_F(SelectionDesk, UpdateItemUnderCursor_WithinTheFramedObject_FrameNotTouched) {
  MoveAndHandle({120, 120});
  frame_->log.clear();
  for (const TPoint point : {TPoint{121, 120}, TPoint{400, 300}, TPoint{519, 349}})
    MoveAndHandle(point);
  EXPECT_TRUE(frame_->log.empty());
  EXPECT_EQ(Component().CurrentItem().Get(), found_.front().Get());
  EXPECT_EQ(Component().CurrentItem()->GetInnerPoint(), (TPoint{10, 10}));
}

TEST_F(SelectionDesk, UpdateItemUnderCursor_BackToTheNullItemAndOnToAnObject_FrameFollows) {
  MoveAndHandle(Centre(kEdit));
  MoveAndHandle({5, 5});
  MoveAndHandle(Centre(kButtonOne));
  EXPECT_EQ(frame_->log, Joined({Shown(kEdit.rect, 255, kFollow),
                                 Shown(kButtonOne.rect, 255, kFollow)}));
  EXPECT_EQ(CurrentName(), L"One");
}

// Capture and ShowFrameForItem.

TEST_F(SelectionDesk, Capture_NullCurrentItem_OnlyResetsSelected) {
  cursor_ = {5, 5};
  PressKey(kSelectVirtualKey);
  Component().ProcessHookEvents();
  ASSERT_TRUE(Component().Selected());
  Component().Capture();
  EXPECT_FALSE(Component().Selected());
  EXPECT_TRUE(frame_->log.empty());
  EXPECT_TRUE(pathTargets_.empty());
  ASSERT_TRUE(Component().Path());
}

TEST_F(SelectionDesk, Capture_CaptionsPassTheLookupTwice) {
  translate_ = [](std::wstring_view english) { return L"<" + std::wstring(english) + L">"; };
  MoveAndHandle(Centre(kEdit));
  Component().Capture();
  EXPECT_EQ(frame_->log,
            Joined({Shown(kEdit.rect, 255, "<" + kFollow + ">"),
                    Shown(kEdit.rect, 0xFF0000, "<<Capturing... >>"), {"build path"},
                    Shown(kEdit.rect, 0x00FF00, "<<Done>>")}));
}

TEST_F(SelectionDesk, Capture_BuildPathWithoutBuilder_Raises) {
  TSelectionSeams seams = Seams();
  seams.BuildSearchPath = nullptr;
  component_.emplace(seams);
  MoveAndHandle(Centre(kEdit));
  EXPECT_THROW(Component().Capture(), std::logic_error);
}

TEST_F(SelectionDesk, ShowFrameForItem_NilOrNullItem_HidesTheFrame) {
  Component().ShowFrameForItem(nullptr, 255, "x");
  Component().ShowFrameForItem(NullItemInfo().Get(), 255, "x");
  EXPECT_EQ(frame_->log, (std::vector<std::string>{"hide", "hide"}));
}

TEST_F(SelectionDesk, ShowFrameForItem_Item_RectColourTranslatedCaptionThenShown) {
  translate_ = [](std::wstring_view english) {
    return english == L"Done" ? std::wstring(L"Fertig") : std::wstring(english);
  };
  const FakeItemPtr item = FakeItem::Make({.screenRect = {1, 2, 3, 4}});
  Component().ShowFrameForItem(item.Get(), 0x00FF00, "Done");
  EXPECT_EQ(frame_->log, Shown({1, 2, 3, 4}, 0x00FF00, "Fertig"));
}
