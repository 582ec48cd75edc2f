#pragma once
// FakeItem: an item with settable answers that counts every call made to it,
// for tests of whatever works on items (snapshots, paths, the neighbour
// search, identity tests, output of properties).
//
//   const FakeItemPtr button = FakeItem::Make();
//   button->values.name = L"OK";
//   button->values.screenRect = {10, 10, 60, 30};
//   window->AddChild(button);            // also a valid child: state 0
//   ...
//   EXPECT_EQ(button->Calls(ItemOp::GetName), 1);
//
// What it answers:
// - The 17 plain properties (handle, texts, rectangles, inner point, ids,
//   role and state texts, value) come from `values`, a plain record that can
//   be copied from one fake to another to make two items that IsSameItem
//   takes for one. SetInnerPoint writes values.innerPoint.
// - GetAccessible gives `accessible`.
// - GetRootItem, GetParent give `root` and `parent`; GetAccParent gives
//   `accParent` when it is set, else `parent`. GetNeighbours gives `left`,
//   `top`, `right` and `bottom`. All of them start as the null item, never
//   nil, as every real item kind answers.
// - GetChild and GetChildCount answer from `children`, GetValidChild and
//   GetValidChildCount from `validChildren`; an index outside either list
//   gives the null item, as the live item does. The two lists are set
//   independently; AddChild fills both by the valid-child rule, reading the
//   child's state from its values without counting a call.
// - It offers IItemChildLock while `offersChildLock` is true (the default):
//   LockChildren returns the number of `children` and marks the fake locked
//   until UnlockChildren. With `offersChildLock` false, a query for the lock
//   fails, like an item kind without one.
//
// ReadEveryProperty asks an item for the 17 properties once each, in the
// order of kItemPropertyOps. SampleItemValues gives each property a value of
// its own; FakeFamily lays out siblings by their rectangles in a window.
//
// Counting: every operation of both interfaces, SetInnerPoint and the lock
// included, adds one to its own counter (ItemOp), and to a second counter
// while the fake is locked. ResetCalls sets them all back to 0. `onCall`,
// when set, runs at each counted call, for tests that look at the caller's
// state while an operation of theirs is under way.
//
// The fakes hold their links with counted references; a test that makes a
// cycle (a parent that holds its children, children that hold the parent)
// leaks it, as the model's own trees do.

#include <windows.h>
#include <wrl/client.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ComObject.h"
#include "ItemInfo.h"
#include "Geometry.h"
#include "ItemInfoNull.h"

// The operations of IItemInfo in their order, then those of IItemChildLock.
enum class ItemOp : int {
  GetAccessible,
  GetHandle,
  GetRootItem,
  GetModuleName,
  GetText,
  GetClassName,
  GetClientRect,
  GetScreenRect,
  GetInnerPoint,
  SetInnerPoint,
  GetNeighbours,
  GetChild,
  GetChildCount,
  GetValidChild,
  GetValidChildCount,
  GetParent,
  GetAccParent,
  GetDefaultAction,
  GetDescription,
  GetHelpTopicId,
  GetShortcut,
  GetName,
  GetRoleId,
  GetStateId,
  GetRole,
  GetState,
  GetValue,
  LockChildren,
  UnlockChildren,
};
inline constexpr size_t kItemOpCount = static_cast<size_t>(ItemOp::UnlockChildren) + 1;
static_assert(static_cast<size_t>(ItemOp::GetValue) + 1 == 27,
              "the item interface has 27 operations");

// The 17 properties that an item answers by value, which a snapshot keeps
// and saves; the order of the saved entries.
inline constexpr std::array<ItemOp, 17> kItemPropertyOps = {
    ItemOp::GetHandle,        ItemOp::GetModuleName, ItemOp::GetText,
    ItemOp::GetClassName,     ItemOp::GetClientRect, ItemOp::GetScreenRect,
    ItemOp::GetInnerPoint,    ItemOp::GetDefaultAction, ItemOp::GetDescription,
    ItemOp::GetHelpTopicId,   ItemOp::GetShortcut,   ItemOp::GetRoleId,
    ItemOp::GetStateId,       ItemOp::GetRole,       ItemOp::GetState,
    ItemOp::GetValue,         ItemOp::GetName};

// The operation's name, for test messages.
inline const char* ItemOpName(ItemOp op) {
  static constexpr std::array<const char*, kItemOpCount> kNames = {
      "GetAccessible",  "GetHandle",        "GetRootItem",        "GetModuleName",
      "GetText",        "GetClassName",     "GetClientRect",      "GetScreenRect",
      "GetInnerPoint",  "SetInnerPoint",    "GetNeighbours",      "GetChild",
      "GetChildCount",  "GetValidChild",    "GetValidChildCount", "GetParent",
      "GetAccParent",   "GetDefaultAction", "GetDescription",     "GetHelpTopicId",
      "GetShortcut",    "GetName",          "GetRoleId",          "GetStateId",
      "GetRole",        "GetState",         "GetValue",           "LockChildren",
      "UnlockChildren"};
  return kNames[static_cast<size_t>(op)];
}

// The answers of the 17 properties. The defaults make a valid child (state
// 0) with the failure values elsewhere: no handle, empty texts, zero
// rectangles and -1 for the help topic and role ids.
struct FakeItemValues {
  HWND handle = nullptr;
  std::string moduleName;
  std::string text;
  std::string className;
  TRect clientRect{};
  TRect screenRect{};
  TPoint innerPoint{};
  std::wstring defaultAction;
  std::wstring description;
  int32_t helpTopicId = -1;
  std::wstring shortcut;
  std::wstring name;
  int32_t roleId = -1;
  int32_t stateId = 0;
  std::wstring role;
  std::wstring state;
  std::wstring value;
};

class FakeItem;
using FakeItemPtr = Microsoft::WRL::ComPtr<FakeItem>;

class FakeItem final : public ComObject<IItemInfo, IItemChildLock> {
 public:
  FakeItemValues values;
  TAcc accessible;
  ItemInfoPtr root = NullItemInfo();
  ItemInfoPtr parent = NullItemInfo();
  ItemInfoPtr accParent;  // nil: GetAccParent answers `parent`
  ItemInfoPtr left = NullItemInfo();
  ItemInfoPtr top = NullItemInfo();
  ItemInfoPtr right = NullItemInfo();
  ItemInfoPtr bottom = NullItemInfo();
  std::vector<ItemInfoPtr> children;
  std::vector<ItemInfoPtr> validChildren;
  bool offersChildLock = true;
  std::function<void(ItemOp)> onCall;

  static FakeItemPtr Make(const FakeItemValues& values = {}) {
    FakeItemPtr item = MakeComObject<FakeItem>();
    item->values = values;
    return item;
  }

  // Appends the child to `children`, and to `validChildren` when its state
  // makes it valid.
  void AddChild(const FakeItemPtr& child) {
    children.push_back(child);
    if (IsValidChildState(child->values.stateId)) validChildren.push_back(child);
  }

  // The fake at children[index]; nil when there is none or it is no fake.
  FakeItemPtr ChildFake(size_t index) const {
    if (index >= children.size()) return nullptr;
    return FakeItemPtr(dynamic_cast<FakeItem*>(children[index].Get()));
  }

  int Calls(ItemOp op) const { return calls_[static_cast<size_t>(op)]; }
  int CallsWhileLocked(ItemOp op) const { return lockedCalls_[static_cast<size_t>(op)]; }
  int TotalCalls() const {
    int total = 0;
    for (int count : calls_) total += count;
    return total;
  }
  void ResetCalls() {
    calls_.fill(0);
    lockedCalls_.fill(0);
  }
  bool Locked() const { return locked_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
    if (!offersChildLock && riid == __uuidof(IItemChildLock)) {
      if (object != nullptr) *object = nullptr;
      return E_NOINTERFACE;
    }
    return ComObject::QueryInterface(riid, object);
  }

  TAcc STDMETHODCALLTYPE GetAccessible() override {
    return Counted(ItemOp::GetAccessible, accessible);
  }
  HWND STDMETHODCALLTYPE GetHandle() override { return Counted(ItemOp::GetHandle, values.handle); }
  ItemInfoPtr STDMETHODCALLTYPE GetRootItem() override {
    return Counted(ItemOp::GetRootItem, root);
  }
  std::string STDMETHODCALLTYPE GetModuleName() override {
    return Counted(ItemOp::GetModuleName, values.moduleName);
  }
  std::string STDMETHODCALLTYPE GetText() override { return Counted(ItemOp::GetText, values.text); }
  std::string STDMETHODCALLTYPE GetClassName() override {
    return Counted(ItemOp::GetClassName, values.className);
  }
  TRect STDMETHODCALLTYPE GetClientRect() override {
    return Counted(ItemOp::GetClientRect, values.clientRect);
  }
  TRect STDMETHODCALLTYPE GetScreenRect() override {
    return Counted(ItemOp::GetScreenRect, values.screenRect);
  }
  TPoint STDMETHODCALLTYPE GetInnerPoint() override {
    return Counted(ItemOp::GetInnerPoint, values.innerPoint);
  }
  void STDMETHODCALLTYPE SetInnerPoint(const TPoint& point) override {
    Count(ItemOp::SetInnerPoint);
    values.innerPoint = point;
  }
  void STDMETHODCALLTYPE GetNeighbours(ItemInfoPtr& leftOut, ItemInfoPtr& topOut,
                                       ItemInfoPtr& rightOut, ItemInfoPtr& bottomOut) override {
    Count(ItemOp::GetNeighbours);
    leftOut = left;
    topOut = top;
    rightOut = right;
    bottomOut = bottom;
  }
  ItemInfoPtr STDMETHODCALLTYPE GetChild(int32_t index) override {
    Count(ItemOp::GetChild);
    return At(children, index);
  }
  int32_t STDMETHODCALLTYPE GetChildCount() override {
    return Counted(ItemOp::GetChildCount, static_cast<int32_t>(children.size()));
  }
  ItemInfoPtr STDMETHODCALLTYPE GetValidChild(int32_t index) override {
    Count(ItemOp::GetValidChild);
    return At(validChildren, index);
  }
  int32_t STDMETHODCALLTYPE GetValidChildCount() override {
    return Counted(ItemOp::GetValidChildCount, static_cast<int32_t>(validChildren.size()));
  }
  ItemInfoPtr STDMETHODCALLTYPE GetParent() override { return Counted(ItemOp::GetParent, parent); }
  ItemInfoPtr STDMETHODCALLTYPE GetAccParent() override {
    return Counted(ItemOp::GetAccParent, accParent ? accParent : parent);
  }
  std::wstring STDMETHODCALLTYPE GetDefaultAction() override {
    return Counted(ItemOp::GetDefaultAction, values.defaultAction);
  }
  std::wstring STDMETHODCALLTYPE GetDescription() override {
    return Counted(ItemOp::GetDescription, values.description);
  }
  int32_t STDMETHODCALLTYPE GetHelpTopicId() override {
    return Counted(ItemOp::GetHelpTopicId, values.helpTopicId);
  }
  std::wstring STDMETHODCALLTYPE GetShortcut() override {
    return Counted(ItemOp::GetShortcut, values.shortcut);
  }
  std::wstring STDMETHODCALLTYPE GetName() override {
    return Counted(ItemOp::GetName, values.name);
  }
  int32_t STDMETHODCALLTYPE GetRoleId() override {
    return Counted(ItemOp::GetRoleId, values.roleId);
  }
  int32_t STDMETHODCALLTYPE GetStateId() override {
    return Counted(ItemOp::GetStateId, values.stateId);
  }
  std::wstring STDMETHODCALLTYPE GetRole() override {
    return Counted(ItemOp::GetRole, values.role);
  }
  std::wstring STDMETHODCALLTYPE GetState() override {
    return Counted(ItemOp::GetState, values.state);
  }
  std::wstring STDMETHODCALLTYPE GetValue() override {
    return Counted(ItemOp::GetValue, values.value);
  }

  int32_t STDMETHODCALLTYPE LockChildren() override {
    Count(ItemOp::LockChildren);
    locked_ = true;
    return static_cast<int32_t>(children.size());
  }
  void STDMETHODCALLTYPE UnlockChildren() override {
    Count(ItemOp::UnlockChildren);
    locked_ = false;
  }

 private:
  void Count(ItemOp op) {
    ++calls_[static_cast<size_t>(op)];
    if (locked_) ++lockedCalls_[static_cast<size_t>(op)];
    if (onCall) onCall(op);
  }
  // The answer, after counting the call.
  template <class Answer>
  Answer Counted(ItemOp op, const Answer& answer) {
    Count(op);
    return answer;
  }

  static ItemInfoPtr At(const std::vector<ItemInfoPtr>& list, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return NullItemInfo();
    return list[static_cast<size_t>(index)];
  }

  std::array<int, kItemOpCount> calls_{};
  std::array<int, kItemOpCount> lockedCalls_{};
  bool locked_ = false;
};

// Asks the item each of the 17 properties once.
inline void ReadEveryProperty(IItemInfo* item) {
  item->GetHandle();
  item->GetModuleName();
  item->GetText();
  item->GetClassName();
  item->GetClientRect();
  item->GetScreenRect();
  item->GetInnerPoint();
  item->GetDefaultAction();
  item->GetDescription();
  item->GetHelpTopicId();
  item->GetShortcut();
  item->GetRoleId();
  item->GetStateId();
  item->GetRole();
  item->GetState();
  item->GetValue();
  item->GetName();
}

// Every property set, none to its failure value, no two alike.
inline FakeItemValues SampleItemValues() {
  return {.handle = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x00010086)),
          .moduleName = "calc.exe",
          .text = "Result",
          .className = "Static",
          .clientRect = {0, 0, 80, 20},
          .screenRect = {300, 200, 380, 220},
          .innerPoint = {40, 10},
          .defaultAction = L"Click",
          .description = L"Shows the result",
          .helpTopicId = 12,
          .shortcut = L"Ctrl+R",
          .name = L"Display",
          .roleId = 41,
          .stateId = 0x40,
          .role = L"static text",
          .state = L"read only;",
          .value = L"42"};
}

// The name of an item for messages and comparisons: "null" for the null
// item, "nil" for none.
inline std::wstring NameOf(const ItemInfoPtr& item) {
  if (!item) return L"nil";
  if (IsNullItemInfo(item)) return L"null";
  return item->GetName();
}

// A window `root` and a `parent` whose children lie in it, each placed by
// its rectangle in the window's coordinates and listed as valid when its
// state makes it so.
struct FakeFamily {
  FakeItemPtr root = FakeItem::Make({.name = L"root"});
  FakeItemPtr parent = FakeItem::Make({.name = L"parent"});

  explicit FakeFamily(const TRect& rootRect) {
    root->values.screenRect = rootRect;
    parent->root = root;
  }

  FakeItemPtr Add(const std::wstring& name, const TRect& inRoot, int32_t stateId = 0) {
    const FakeItemPtr child = FakeItem::Make({.name = name, .stateId = stateId});
    child->values.screenRect = MoveRect(inRoot, root->values.screenRect.Left,
                                        root->values.screenRect.Top);
    child->root = root;
    child->parent = parent;
    parent->AddChild(child);
    return child;
  }
};
