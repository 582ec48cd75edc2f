#pragma once
// The edge to the accessibility layer (Active Accessibility, oleacc.dll):
// the record of an accessible object with its child id, and thin wrappers
// over the layer's functions that turn its result codes into plain values.
// The layer's declarations come from the platform's <oleacc.h>; the role and
// state name tables, which need no platform, are in AccessibilityNames.h.

#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "AccessibilityNames.h"
#include "Geometry.h"

// An accessible object and the child id that names a part of it: 0
// (CHILDID_SELF) the object itself, a positive value one of its simple
// elements, numbered from 1 as the layer numbers them. The child id is a
// VT_I4 variant, because the layer takes and gives it as a variant.
//
// The record owns one reference to `Accessible` and owns `ChildId`: it
// clears the variant when dropped, and a copy takes its own reference and
// its own copy of the variant. A moved-from record is empty (nil, 0).
struct TAcc {
  Microsoft::WRL::ComPtr<IAccessible> Accessible;
  VARIANT ChildId;

  // Nil with child id 0.
  TAcc() noexcept;
  TAcc(Microsoft::WRL::ComPtr<IAccessible> accessible, LONG childId) noexcept;
  // Takes a copy of `childId`, whatever its type.
  TAcc(Microsoft::WRL::ComPtr<IAccessible> accessible, const VARIANT& childId) noexcept;
  TAcc(const TAcc& other) noexcept;
  TAcc(TAcc&& other) noexcept;
  TAcc& operator=(const TAcc& other) noexcept;
  TAcc& operator=(TAcc&& other) noexcept;
  ~TAcc();

  // Replaces the child id by the VT_I4 value.
  void SetChildId(LONG childId) noexcept;
  // Replaces the child id by a copy of the variant.
  void SetChildId(const VARIANT& childId) noexcept;
  // Clears the child id and hands out the variant for a platform call that
  // fills it.
  VARIANT* ReceiveChildId() noexcept;

  // The child id as an integer. A variant that holds no number reads as -1,
  // which names neither the object itself nor one of its elements.
  LONG ChildIdValue() const noexcept;

  // Back to nil with child id 0.
  void Reset() noexcept;
};

// Asks the layer for the object of a window. The child id becomes the
// VT_I4 value 0 first, whatever happens next. True only when the layer
// answers S_OK with an object; otherwise `acc.Accessible` is nil.
bool AccessibleFromWindow(HWND window, int32_t objectId, TAcc& acc) noexcept;

// Asks the layer for the object and child id at a screen point, writing
// both into `acc`. True when the layer answers S_OK, which means there is an
// object at the point; the object itself is not tested.
bool AccessibleFromPoint(const TPoint& screenPoint, TAcc& acc) noexcept;

// The layer's text of a role in the ANSI code page; empty when the layer
// has none.
std::string GetAccRoleText(uint32_t role);

// The layer's texts of the set state bits 0x2 .. 0x10000000 in the ANSI
// code page, each followed by ";" (see JoinStateTexts).
std::string GetAccStateText(uint32_t stateBits);
