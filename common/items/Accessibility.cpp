#include "Accessibility.h"

#include <oleauto.h>

#include <utility>

namespace {

// The layer writes at most this many characters plus the terminator.
constexpr UINT kTextCharacters = 4096;

void SetInteger(VARIANT& variant, LONG value) noexcept {
  VariantClear(&variant);
  variant.vt = VT_I4;
  variant.lVal = value;
}

// Copies a text that the layer wrote into `buffer` when it reported a
// length above 0; the text ends at its terminator.
std::string TakeText(UINT reported, const char* buffer) {
  return reported > 0 ? std::string(buffer) : std::string();
}

}  // namespace

TAcc::TAcc() noexcept {
  VariantInit(&ChildId);
  SetInteger(ChildId, CHILDID_SELF);
}

TAcc::TAcc(Microsoft::WRL::ComPtr<IAccessible> accessible, LONG childId) noexcept
    : Accessible(std::move(accessible)) {
  VariantInit(&ChildId);
  SetInteger(ChildId, childId);
}

TAcc::TAcc(Microsoft::WRL::ComPtr<IAccessible> accessible, const VARIANT& childId) noexcept
    : Accessible(std::move(accessible)) {
  VariantInit(&ChildId);
  SetChildId(childId);
}

TAcc::TAcc(const TAcc& other) noexcept : Accessible(other.Accessible) {
  VariantInit(&ChildId);
  SetChildId(other.ChildId);
}

TAcc::TAcc(TAcc&& other) noexcept : Accessible(std::move(other.Accessible)) {
  // A variant moves by its bits; the source is left holding a plain 0.
  ChildId = other.ChildId;
  VariantInit(&other.ChildId);
  SetInteger(other.ChildId, CHILDID_SELF);
}

TAcc& TAcc::operator=(const TAcc& other) noexcept {
  if (this != &other) {
    Accessible = other.Accessible;
    SetChildId(other.ChildId);
  }
  return *this;
}

TAcc& TAcc::operator=(TAcc&& other) noexcept {
  if (this != &other) {
    // MinGW's ComPtr copies on move assignment and leaves the source
    // holding its reference, so the source is emptied by hand.
    Accessible.Swap(other.Accessible);
    other.Accessible.Reset();
    VariantClear(&ChildId);
    ChildId = other.ChildId;
    VariantInit(&other.ChildId);
    SetInteger(other.ChildId, CHILDID_SELF);
  }
  return *this;
}

TAcc::~TAcc() { VariantClear(&ChildId); }

void TAcc::SetChildId(LONG childId) noexcept { SetInteger(ChildId, childId); }

void TAcc::SetChildId(const VARIANT& childId) noexcept {
  if (&childId == &ChildId) return;
  // VariantCopy clears the target first; on failure it stays empty. It
  // does not change its source, though its declaration says it may.
  VariantCopy(&ChildId, const_cast<VARIANT*>(&childId));
}

VARIANT* TAcc::ReceiveChildId() noexcept {
  VariantClear(&ChildId);
  return &ChildId;
}

LONG TAcc::ChildIdValue() const noexcept {
  if (ChildId.vt == VT_I4) return ChildId.lVal;
  VARIANT converted;
  VariantInit(&converted);
  LONG value = -1;
  if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&ChildId), 0, VT_I4))) {
    value = converted.lVal;
  }
  VariantClear(&converted);
  return value;
}

void TAcc::Reset() noexcept {
  Accessible.Reset();
  SetInteger(ChildId, CHILDID_SELF);
}

bool AccessibleFromWindow(HWND window, int32_t objectId, TAcc& acc) noexcept {
  acc.SetChildId(CHILDID_SELF);
  const HRESULT result = AccessibleObjectFromWindow(
      window, static_cast<DWORD>(objectId), __uuidof(IAccessible),
      reinterpret_cast<void**>(acc.Accessible.ReleaseAndGetAddressOf()));
  return result == S_OK && acc.Accessible != nullptr;
}

bool AccessibleFromPoint(const TPoint& screenPoint, TAcc& acc) noexcept {
  const POINT point = ToWinPoint<POINT>(screenPoint);
  const HRESULT result = AccessibleObjectFromPoint(
      point, acc.Accessible.ReleaseAndGetAddressOf(), acc.ReceiveChildId());
  return result == S_OK;
}

std::string GetAccRoleText(uint32_t role) {
  char buffer[kTextCharacters + 1] = {};
  return TakeText(GetRoleTextA(role, buffer, kTextCharacters), buffer);
}

std::string GetAccStateText(uint32_t stateBits) {
  char buffer[kTextCharacters + 1] = {};
  return JoinStateTexts(stateBits, [&buffer](uint32_t bit) {
    return TakeText(GetStateTextA(bit, buffer, kTextCharacters), buffer);
  });
}
