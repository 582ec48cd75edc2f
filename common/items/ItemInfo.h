#pragma once
// The item model's view of one on-screen object: a window, a control, or an
// element that the accessibility layer exposes inside a window. Every kind of
// item (live, snapshot, the null item) implements `IItemInfo`, and callers
// see nothing else.
//
// Conventions of the model's interfaces:
// - Objects are reference-counted (IUnknown) and implemented with
//   ComObject (ComObject.h); nobody frees one explicitly. The interfaces'
//   identifiers are attached with __CRT_UUID_DECL, so __uuidof, ComPtr::As
//   and IID_PPV_ARGS work with them.
// - The whole model lives in one module on one thread, so the methods pass
//   and return C++ values: std::string for 8-bit texts in the ANSI code page
//   (window-manager texts), std::wstring for UTF-16 texts (accessibility
//   texts), TRect/TPoint for geometry, ComPtr for interface results. An
//   interface argument is a plain pointer that the callee AddRefs when it
//   keeps it.
// - No operation of the live or the null item raises: a value that cannot
//   be had reads as its failure value (empty text, -1 for ids, a zero
//   rectangle, the null item).
// - With UNICODE defined, <windows.h> turns the name GetClassName into
//   GetClassNameW; every unit that sees this header sees the same
//   replacement, so declarations, implementations and calls agree.

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "Accessibility.h"
#include "Geometry.h"

struct IItemInfo;
using ItemInfoPtr = Microsoft::WRL::ComPtr<IItemInfo>;

// The operations in this order make up the interface; ICachedItemInfo
// extends it and relies on it.
struct IItemInfo : public IUnknown {
  // The accessible object and child id of the item.
  virtual TAcc STDMETHODCALLTYPE GetAccessible() = 0;
  // The window that holds the item.
  virtual HWND STDMETHODCALLTYPE GetHandle() = 0;
  // The item of the top-level window that holds the item (object id 0).
  virtual ItemInfoPtr STDMETHODCALLTYPE GetRootItem() = 0;
  // File name of the executable that owns the item's window.
  virtual std::string STDMETHODCALLTYPE GetModuleName() = 0;
  // The window text, carriage returns removed.
  virtual std::string STDMETHODCALLTYPE GetText() = 0;
  // The window class name.
  virtual std::string STDMETHODCALLTYPE GetClassName() = 0;
  // (0, 0, width, height) of the screen rectangle.
  virtual TRect STDMETHODCALLTYPE GetClientRect() = 0;
  // The item's bounds on the screen.
  virtual TRect STDMETHODCALLTYPE GetScreenRect() = 0;
  // A point inside the item, relative to its top-left corner.
  virtual TPoint STDMETHODCALLTYPE GetInnerPoint() = 0;
  virtual void STDMETHODCALLTYPE SetInnerPoint(const TPoint& point) = 0;
  // The nearest valid siblings on each side; all four are always set, the
  // null item for a side without a neighbour.
  virtual void STDMETHODCALLTYPE GetNeighbours(ItemInfoPtr& left, ItemInfoPtr& top,
                                               ItemInfoPtr& right, ItemInfoPtr& bottom) = 0;
  // Child at the 0-based index, counting all children.
  virtual ItemInfoPtr STDMETHODCALLTYPE GetChild(int32_t index) = 0;
  virtual int32_t STDMETHODCALLTYPE GetChildCount() = 0;
  // The index-th valid child (IsValidChildState), 0-based.
  virtual ItemInfoPtr STDMETHODCALLTYPE GetValidChild(int32_t index) = 0;
  virtual int32_t STDMETHODCALLTYPE GetValidChildCount() = 0;
  // The accessible parent, else a parent found in the window's tree.
  virtual ItemInfoPtr STDMETHODCALLTYPE GetParent() = 0;
  // The parent as the accessibility layer reports it.
  virtual ItemInfoPtr STDMETHODCALLTYPE GetAccParent() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetDefaultAction() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetDescription() = 0;
  virtual int32_t STDMETHODCALLTYPE GetHelpTopicId() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetShortcut() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetName() = 0;
  // The accessible role, 0..61; -1 when there is none.
  virtual int32_t STDMETHODCALLTYPE GetRoleId() = 0;
  // The accessible state bits; -1 when they cannot be read.
  virtual int32_t STDMETHODCALLTYPE GetStateId() = 0;
  // The layer's localized text of the role.
  virtual std::wstring STDMETHODCALLTYPE GetRole() = 0;
  // The layer's localized texts of the set state bits, each followed by ";".
  virtual std::wstring STDMETHODCALLTYPE GetState() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetValue() = 0;
};
__CRT_UUID_DECL(IItemInfo, 0x8AE0E295, 0xCFC8, 0x4D12, 0xB8, 0xEA, 0xE7, 0xA4, 0x4F, 0xC5, 0xA0, 0xDF)

// Freezes an item's child list while a caller walks it, so that one walk
// sees one list although the live object may change meanwhile.
struct IItemChildLock : public IUnknown {
  // Refreshes the child list once, freezes it and returns its length.
  virtual int32_t STDMETHODCALLTYPE LockChildren() = 0;
  virtual void STDMETHODCALLTYPE UnlockChildren() = 0;
};
__CRT_UUID_DECL(IItemChildLock, 0x743727A9, 0x7FDE, 0x49C6, 0x98, 0xEF, 0xAC, 0x54, 0x80, 0x74, 0x3D, 0x4B)

// Properties that the live item derives from one answer of the layer, handed
// out together, so that a snapshot keeps a whole group from one question to
// the target's process instead of one question per property. Each value is
// what the single getter would give at that moment.
struct IItemPropertyGroups : public IUnknown {
  // GetScreenRect, GetClientRect and GetInnerPoint from one location.
  virtual void STDMETHODCALLTYPE GetGeometry(TRect& screen, TRect& client, TPoint& inner) = 0;
  // GetRoleId and GetRole from one role.
  virtual void STDMETHODCALLTYPE GetRoleWithText(int32_t& roleId, std::wstring& role) = 0;
  // GetStateId and GetState from one state.
  virtual void STDMETHODCALLTYPE GetStateWithText(int32_t& stateId, std::wstring& state) = 0;
};
__CRT_UUID_DECL(IItemPropertyGroups, 0x5C0E7D1A, 0x3B94, 0x4F6E, 0x9A, 0x2D, 0x71, 0xC8, 0x0B, 0x4E, 0x65, 0xF3)

// A child counts as valid while the layer's invisible state (0x8000) is
// clear. The failure value -1 has every bit set, so a child whose state
// cannot be read is never valid. Every item kind counts and indexes valid
// children by this rule, in child order.
inline constexpr int32_t kInvisibleStateBit = 0x8000;

constexpr bool IsValidChildState(int32_t stateId) {
  return (stateId & kInvisibleStateBit) == 0;
}

static_assert(IsValidChildState(0) && !IsValidChildState(kInvisibleStateBit) &&
              !IsValidChildState(-1));

// The rule applied to an item; nil is not valid.
inline bool IsValidChild(IItemInfo* item) {
  return item != nullptr && IsValidChildState(item->GetStateId());
}

// Live items, which ask the window manager and the accessibility layer on
// every call (ItemInfo.cpp).
//
// The object at a screen point (ItemInfoFromAccessible of what the layer
// finds there); the point becomes the item's inner point. The null item
// when there is no object there.
ItemInfoPtr ItemInfoFromPoint(const TPoint& point);
// The item of a window (object id 0).
ItemInfoPtr ItemInfoFromWindow(HWND window);

// The live item over an accessible object and a child id: 0 for the object
// itself, a positive value for one of its simple elements. The null item
// when the object is nil.
ItemInfoPtr ItemInfoFromAccessible(const TAcc& acc);

// How many levels a walk through an accessible tree takes at most, down a
// window's tree in FindParentInWindowTree or up an item's parents in a
// search path. A server may list an object among its own descendants or
// name one of them as its parent, and such a walk would otherwise never
// end; real user interfaces stay far below it.
inline constexpr int32_t kMaxTreeWalkDepth = 128;

// The most children the model lists for one item. A server may report any
// count up to 2^31 - 1 whatever it really holds; a live item asks it for no
// more children than this, and a saved snapshot names no more. Real user
// interfaces stay below it, and walking this many children of another
// process already takes minutes.
inline constexpr int32_t kMaxChildCount = 65536;

// The search behind the live item's GetParent when the accessibility layer
// names no parent: walks the valid children of the item's window, from the
// window's own item down, into every child whose screen rectangle lies
// within the item's, until it meets one that looks like the item itself (the
// same rectangle, name and role, and no accessible parent of its own); the
// level that holds it becomes `parent`. `parent` becomes the null item when
// nothing matches or when the look-alike would lie more than
// kMaxTreeWalkDepth levels below the window's item, and stays as it is for
// an item with the window role (9), which is a window's own object.
void FindParentInWindowTree(IItemInfo* item, ItemInfoPtr& parent);
