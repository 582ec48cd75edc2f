#include "ItemInfo.h"

#include <oleacc.h>
#include <oleauto.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CodePage.h"
#include "ComObject.h"
#include "ItemInfoNull.h"
#include "ItemNeighbours.h"
#include "ListViewRecords.h"
#include "RemoteListView.h"
#include "WindowUtils.h"

using Microsoft::WRL::ComPtr;

namespace {

// The window manager's object id of a window's own object; every item this
// unit makes from a window uses it.
constexpr int32_t kWindowObjectId = 0;

// The layer's roles run from 0 to this value; a role outside reads as none.
constexpr LONG kHighestRole = 61;
// The layer's window role: an object that stands for a whole window.
constexpr int32_t kWindowRole = 9;

// The list-view texts are read into buffers of this size plus the
// terminating zero.
constexpr int32_t kListViewTextSize = 4096;

// A string the layer hands out; freed when dropped.
class OwnedBstr {
 public:
  OwnedBstr() noexcept = default;
  ~OwnedBstr() { SysFreeString(value_); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;

  // Frees what it held and hands out the slot for a call that fills it.
  BSTR* Receive() noexcept {
    SysFreeString(value_);
    value_ = nullptr;
    return &value_;
  }

  // The whole string, zeros inside included; empty when none was given.
  std::wstring Text() const {
    return value_ != nullptr ? std::wstring(value_, SysStringLen(value_)) : std::wstring();
  }

 private:
  BSTR value_ = nullptr;
};

// A variant the layer fills; cleared when dropped.
class OwnedVariant {
 public:
  OwnedVariant() noexcept { VariantInit(&value_); }
  ~OwnedVariant() { VariantClear(&value_); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;

  VARIANT* Receive() noexcept {
    VariantClear(&value_);
    return &value_;
  }
  const VARIANT& Get() const noexcept { return value_; }

 private:
  VARIANT value_;
};

// The child elements that AccessibleChildren or an enumerator fills; every
// element is cleared when dropped, whatever it holds then.
class VariantArray {
 public:
  explicit VariantArray(size_t size) : elements_(size) {
    for (VARIANT& element : elements_) VariantInit(&element);
  }
  ~VariantArray() { ClearFrom(0); }
  VariantArray(const VariantArray&) = delete;
  VariantArray& operator=(const VariantArray&) = delete;

  // The platform calls take a pointer even for no elements.
  VARIANT* Data() noexcept { return elements_.empty() ? &spare_ : elements_.data(); }
  VARIANT& operator[](size_t index) noexcept { return elements_[index]; }
  size_t Size() const noexcept { return elements_.size(); }

  // Releases what the elements from `first` on hold and leaves them empty.
  void ClearFrom(size_t first) noexcept {
    for (size_t i = first; i < elements_.size(); ++i) VariantClear(&elements_[i]);
  }

 private:
  std::vector<VARIANT> elements_;
  VARIANT spare_{};
};

// Reads an integer variant the way the layer's callers do: numbers of any
// width and texts that spell one convert, anything else does not.
std::optional<int32_t> VariantToInt32(const VARIANT& variant) {
  if (variant.vt == VT_I4) return variant.lVal;
  // State bits above 0x7FFFFFFF arrive unsigned; they are bits, not a
  // magnitude, so they keep their pattern.
  if (variant.vt == VT_UI4) return static_cast<int32_t>(variant.ulVal);
  VARIANT converted;
  VariantInit(&converted);
  std::optional<int32_t> value;
  if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&variant), 0, VT_I4))) {
    value = converted.lVal;
  }
  VariantClear(&converted);
  return value;
}

// The integer a variant holds when its type is an integer type; texts and
// fractions do not count, whatever they spell.
std::optional<LONGLONG> VariantIntegerValue(const VARIANT& variant) {
  switch (variant.vt) {
    case VT_I1:
      return variant.cVal;
    case VT_UI1:
      return variant.bVal;
    case VT_I2:
      return variant.iVal;
    case VT_UI2:
      return variant.uiVal;
    case VT_I4:
      return variant.lVal;
    case VT_UI4:
      return variant.ulVal;
    case VT_INT:
      return variant.intVal;
    case VT_UINT:
      return variant.uintVal;
    case VT_I8:
      return variant.llVal;
    case VT_UI8:
      return variant.ullVal <= static_cast<ULONGLONG>(LLONG_MAX)
                 ? std::optional<LONGLONG>(static_cast<LONGLONG>(variant.ullVal))
                 : std::nullopt;
    default:
      return std::nullopt;
  }
}

// How many children to ask the layer for when it reports `reported`: a
// negative count means none, and a count beyond kMaxChildCount is not
// believed, since a server may report 2^31 - 1 and hold a few.
LONG ChildrenToAskFor(LONG reported) { return std::clamp<LONG>(reported, 0, kMaxChildCount); }

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

bool ContainsListView(std::string_view className) {
  constexpr std::string_view kListView = "listview";
  std::string lower(className);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return lower.find(kListView) != std::string::npos;
}

// The cells of one list-view row with their column headers,
// "Header: cell; Header: cell", read from the control's process. Stops at
// the first column that cannot be read or whose header and cell are both
// empty, and after kListViewColumnLimit columns; empty when the row cannot
// be read at all.
std::wstring DescribeListViewRow(HWND listView, int32_t row) {
  std::vector<char> itemText(kListViewTextSize + 1, '\0');
  std::vector<char> columnText(kListViewTextSize + 1, '\0');

  std::wstring joined;
  for (int32_t index = 0; index < kListViewColumnLimit; ++index) {
    // Every read sends records of this program's own making: whatever the
    // control wrote into the last ones is not sent back to it.
    TListViewItem item{};
    item.Mask = kListViewItemTextMask;
    item.Item = row;
    item.SubItem = index;
    item.Text = itemText.data();
    item.TextSize = kListViewTextSize;
    if (GetRemoteListViewItem(listView, kListViewGetItemMessage, item) != kRemoteReadSucceeded) {
      break;
    }
    TListViewColumn column{};
    column.Mask = kListViewColumnTextMask;
    column.Text = columnText.data();
    column.TextSize = kListViewTextSize;
    if (GetRemoteListViewColumn(listView, kListViewGetColumnMessage,
                                static_cast<WPARAM>(index), column) != kRemoteReadSucceeded) {
      break;
    }
    // The reader copies TextSize + 1 bytes back; the last one stays a
    // terminator whatever the control wrote.
    itemText.back() = '\0';
    columnText.back() = '\0';
    const std::string_view cell(itemText.data());
    const std::string_view header(columnText.data());
    if (cell.empty() && header.empty()) break;
    joined += AnsiToWide(header);
    joined += L": ";
    joined += AnsiToWide(cell);
    joined += L"; ";
  }
  if (!joined.empty()) joined.resize(joined.size() - 2);
  return joined;
}

// The layer's text of a role id; none for the failure value.
std::wstring RoleText(int32_t role) {
  if (role < 0) return std::wstring();
  return AnsiToWide(GetAccRoleText(static_cast<uint32_t>(role)));
}

// The layer's texts of the state bits; none when they could not be read.
std::wstring StateText(const std::optional<int32_t>& state) {
  if (!state) return std::wstring();
  return AnsiToWide(GetAccStateText(static_cast<uint32_t>(*state)));
}

// The executable's name for the window's process. Every element of one
// window asks for it, and reading another process's module list takes
// several round trips, so the last answer is kept with its window and
// process and given again while both are the same.
std::string ModuleNameOfWindow(HWND window) {
  DWORD processId = 0;
  if (window == nullptr || GetWindowThreadProcessId(window, &processId) == 0) {
    return GetWindowModuleName(window, false);
  }
  struct Last {
    HWND window = nullptr;
    DWORD processId = 0;
    std::string name;
  };
  static std::mutex guard;
  static Last last;
  {
    const std::lock_guard<std::mutex> hold(guard);
    if (last.window == window && last.processId == processId) return last.name;
  }
  std::string name = GetWindowModuleName(window, false);
  const std::lock_guard<std::mutex> hold(guard);
  last = Last{window, processId, name};
  return name;
}

// The live item. It keeps the accessible object once it has one, the window
// once it has found it, the inner point once set, and the child list; every
// property is asked anew on each call.
class TItemInfo final : public ComObject<IItemInfo, IItemChildLock, IItemPropertyGroups> {
 public:
  // An item over a window's object with the given object id; the
  // accessible object is asked for on first need.
  TItemInfo(HWND window, int32_t objectId) noexcept : objectId_(objectId), handle_(window) {}

  // An item over an accessible object and a child id.
  TItemInfo(ComPtr<IAccessible> accessible, const VARIANT& childId) noexcept
      : acc_(std::move(accessible), childId) {}

  // The same with the window that the object is known to report.
  TItemInfo(ComPtr<IAccessible> accessible, const VARIANT& childId, HWND window) noexcept
      : handle_(window), acc_(std::move(accessible), childId) {}

  TAcc STDMETHODCALLTYPE GetAccessible() override;
  HWND STDMETHODCALLTYPE GetHandle() override;
  ItemInfoPtr STDMETHODCALLTYPE GetRootItem() override;
  std::string STDMETHODCALLTYPE GetModuleName() override;
  std::string STDMETHODCALLTYPE GetText() override;
  std::string STDMETHODCALLTYPE GetClassName() override;
  TRect STDMETHODCALLTYPE GetClientRect() override;
  TRect STDMETHODCALLTYPE GetScreenRect() override;
  TPoint STDMETHODCALLTYPE GetInnerPoint() override;
  void STDMETHODCALLTYPE SetInnerPoint(const TPoint& point) override;
  void STDMETHODCALLTYPE GetNeighbours(ItemInfoPtr& left, ItemInfoPtr& top, ItemInfoPtr& right,
                                       ItemInfoPtr& bottom) override;
  ItemInfoPtr STDMETHODCALLTYPE GetChild(int32_t index) override;
  int32_t STDMETHODCALLTYPE GetChildCount() override;
  ItemInfoPtr STDMETHODCALLTYPE GetValidChild(int32_t index) override;
  int32_t STDMETHODCALLTYPE GetValidChildCount() override;
  ItemInfoPtr STDMETHODCALLTYPE GetParent() override;
  ItemInfoPtr STDMETHODCALLTYPE GetAccParent() override;
  std::wstring STDMETHODCALLTYPE GetDefaultAction() override;
  std::wstring STDMETHODCALLTYPE GetDescription() override;
  int32_t STDMETHODCALLTYPE GetHelpTopicId() override;
  std::wstring STDMETHODCALLTYPE GetShortcut() override;
  std::wstring STDMETHODCALLTYPE GetName() override;
  int32_t STDMETHODCALLTYPE GetRoleId() override;
  int32_t STDMETHODCALLTYPE GetStateId() override;
  std::wstring STDMETHODCALLTYPE GetRole() override;
  std::wstring STDMETHODCALLTYPE GetState() override;
  std::wstring STDMETHODCALLTYPE GetValue() override;

  int32_t STDMETHODCALLTYPE LockChildren() override;
  void STDMETHODCALLTYPE UnlockChildren() override;

  void STDMETHODCALLTYPE GetGeometry(TRect& screen, TRect& client, TPoint& inner) override;
  void STDMETHODCALLTYPE GetRoleWithText(int32_t& roleId, std::wstring& role) override;
  void STDMETHODCALLTYPE GetStateWithText(int32_t& stateId, std::wstring& state) override;

 private:
  // The accessible object and child id, asking the layer for the window's
  // object first when there is none yet. A failure is tried again on the
  // next call.
  TAcc EnsureAccessible();
  // True for an item that stands for a whole object (child id 0); only
  // such an item has children.
  bool HasOwnObject();
  HWND ResolveHandle();
  // The inner point within the given client rectangle.
  TPoint InnerPointIn(const TRect& client) const;
  // Rebuilds the child list for `expected` children unless it is locked;
  // returns the list's length.
  int32_t RefreshChildren(int32_t expected);
  void FillChildren(VariantArray& elements, size_t count);

  // Asks the layer for one text of the item with `get(object, childId,
  // slot)`; nothing unless it answers S_OK.
  template <class Get>
  std::optional<std::wstring> AskText(Get&& get);
  // The state bits on S_OK, readable as an integer.
  std::optional<int32_t> AskState();

  int32_t objectId_ = kWindowObjectId;
  HWND handle_ = nullptr;
  TAcc acc_;
  // One entry per child, in the layer's order; an empty entry is a child
  // the layer reported but that gave no object.
  std::vector<ItemInfoPtr> children_;
  bool innerPointSet_ = false;
  TPoint innerPoint_;
  bool childrenLocked_ = false;
};

ItemInfoPtr NewWindowItem(HWND window, int32_t objectId) {
  return MakeComObject<TItemInfo>(window, objectId);
}

ItemInfoPtr NewAccessibleItem(ComPtr<IAccessible> accessible, const VARIANT& childId) {
  return MakeComObject<TItemInfo>(std::move(accessible), childId);
}

ItemInfoPtr NewAccessibleItem(ComPtr<IAccessible> accessible, LONG childId) {
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = childId;
  return NewAccessibleItem(std::move(accessible), id);
}

// Gives `failure` instead of letting an exception (an allocation that
// failed) leave an operation of the model.
template <class T, class Body>
T Guarded(T failure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

ItemInfoPtr NullOrNil() noexcept {
  try {
    return NullItemInfo();
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

TAcc TItemInfo::EnsureAccessible() {
  if (!acc_.Accessible && IsWindow(handle_)) {
    if (!AccessibleFromWindow(handle_, objectId_, acc_)) acc_.Reset();
  }
  return acc_;
}

bool TItemInfo::HasOwnObject() {
  const TAcc acc = EnsureAccessible();
  return acc.Accessible && acc.ChildIdValue() == CHILDID_SELF;
}

HWND TItemInfo::ResolveHandle() {
  if (handle_ != nullptr && IsWindow(handle_)) return handle_;
  if (!acc_.Accessible) return nullptr;
  HWND found = nullptr;
  if (WindowFromAccessibleObject(acc_.Accessible.Get(), &found) != S_OK) return nullptr;
  handle_ = found;
  return handle_;
}

template <class Get>
std::optional<std::wstring> TItemInfo::AskText(Get&& get) {
  const TAcc acc = EnsureAccessible();
  if (!acc.Accessible) return std::nullopt;
  OwnedBstr text;
  if (get(acc.Accessible.Get(), acc.ChildId, text.Receive()) != S_OK) return std::nullopt;
  return text.Text();
}

std::optional<int32_t> TItemInfo::AskState() {
  const TAcc acc = EnsureAccessible();
  if (!acc.Accessible) return std::nullopt;
  OwnedVariant state;
  if (acc.Accessible->get_accState(acc.ChildId, state.Receive()) != S_OK) return std::nullopt;
  return VariantToInt32(state.Get());
}

TAcc TItemInfo::GetAccessible() { return Guarded(TAcc(), [&] { return EnsureAccessible(); }); }

HWND TItemInfo::GetHandle() {
  return Guarded<HWND>(nullptr, [&] { return ResolveHandle(); });
}

ItemInfoPtr TItemInfo::GetRootItem() {
  return Guarded<ItemInfoPtr>(nullptr, [&] {
    const HWND window = ResolveHandle();
    const HWND root = GetRootWindow(window);
    return NewWindowItem(IsWindow(root) ? root : window, kWindowObjectId);
  });
}

std::string TItemInfo::GetModuleName() {
  return Guarded(std::string(), [&] { return ModuleNameOfWindow(ResolveHandle()); });
}

std::string TItemInfo::GetText() {
  return Guarded(std::string(),
                 [&] { return WithoutCarriageReturns(GetWindowTextByMessage(ResolveHandle())); });
}

std::string TItemInfo::GetClassName() {
  return Guarded(std::string(), [&] { return GetWindowClassName(ResolveHandle()); });
}

TRect TItemInfo::GetClientRect() { return RectAtOrigin(GetScreenRect()); }

TRect TItemInfo::GetScreenRect() {
  return Guarded(TRect(), [&] {
    const TAcc acc = EnsureAccessible();
    if (!acc.Accessible) return TRect();
    LONG left = 0, top = 0, width = 0, height = 0;
    if (acc.Accessible->accLocation(&left, &top, &width, &height, acc.ChildId) != S_OK) {
      return TRect();
    }
    return TRect{left, top, left + width, top + height};
  });
}

TPoint TItemInfo::GetInnerPoint() { return InnerPointIn(GetClientRect()); }

TPoint TItemInfo::InnerPointIn(const TRect& client) const {
  if (innerPointSet_ && RectContainsPoint(client, innerPoint_)) return innerPoint_;
  return TPoint{(client.Left + client.Right) / 2, (client.Top + client.Bottom) / 2};
}

void TItemInfo::GetGeometry(TRect& screen, TRect& client, TPoint& inner) {
  screen = GetScreenRect();
  client = RectAtOrigin(screen);
  inner = InnerPointIn(client);
}

void TItemInfo::GetRoleWithText(int32_t& roleId, std::wstring& role) {
  roleId = GetRoleId();
  role = Guarded(std::wstring(), [&] { return RoleText(roleId); });
}

void TItemInfo::GetStateWithText(int32_t& stateId, std::wstring& state) {
  const std::optional<int32_t> asked = Guarded<std::optional<int32_t>>(std::nullopt, [&] {
    return AskState();
  });
  stateId = asked.value_or(-1);
  state = Guarded(std::wstring(), [&] { return StateText(asked); });
}

void TItemInfo::SetInnerPoint(const TPoint& point) {
  innerPoint_ = point;
  innerPointSet_ = true;
}

void TItemInfo::GetNeighbours(ItemInfoPtr& left, ItemInfoPtr& top, ItemInfoPtr& right,
                              ItemInfoPtr& bottom) {
  try {
    GetItemNeighbours(this, left, top, right, bottom);
  } catch (...) {
    const ItemInfoPtr null = NullOrNil();
    left = null;
    top = null;
    right = null;
    bottom = null;
  }
}

int32_t TItemInfo::RefreshChildren(int32_t expected) {
  if (childrenLocked_) return static_cast<int32_t>(children_.size());
  const LONG wanted = ChildrenToAskFor(expected);
  try {
    VariantArray elements(static_cast<size_t>(wanted));
    LONG obtained = 0;
    const HRESULT result =
        AccessibleChildren(acc_.Accessible.Get(), 0, wanted, elements.Data(), &obtained);
    if (result != S_OK) {
      // Some objects list their children only through their enumerator.
      ComPtr<IEnumVARIANT> enumerator;
      if (SUCCEEDED(acc_.Accessible.As(&enumerator)) && enumerator) {
        // What the failed call left in the elements is released before the
        // enumerator writes over it.
        elements.ClearFrom(0);
        enumerator->Reset();
        obtained = 0;
        while (obtained < wanted) {
          const ULONG asked = static_cast<ULONG>(wanted - obtained);
          ULONG fetched = 0;
          const HRESULT next = enumerator->Next(asked, &elements[obtained], &fetched);
          if (fetched == 0) break;
          LONG batch = static_cast<LONG>(std::min(fetched, asked));
          if (next != S_OK) {
            // A short batch may end in a null element that marks its end.
            for (LONG i = 0; i < batch; ++i) {
              if (elements[obtained + i].vt == VT_NULL) {
                batch = i;
                break;
              }
            }
          }
          // Whatever lies beyond the batch is not a child; it must not be
          // overwritten while it still holds a reference.
          elements.ClearFrom(static_cast<size_t>(obtained + batch));
          // A batch that yields nothing would ask the same forever.
          if (batch == 0) break;
          obtained += batch;
        }
      }
    }
    FillChildren(elements, static_cast<size_t>(std::clamp<LONG>(obtained, 0, wanted)));
  } catch (...) {
    // The list keeps what it holds now.
  }
  return static_cast<int32_t>(children_.size());
}

void TItemInfo::FillChildren(VariantArray& elements, size_t count) {
  children_.resize(count);
  // Each simple element would ask the layer for the window of this same
  // object; asking once spares a round trip to the target per element.
  std::optional<HWND> window;
  for (size_t i = 0; i < count; ++i) {
    const VARIANT& element = elements[i];
    if (element.vt == VT_DISPATCH) {
      ComPtr<IAccessible> child;
      if (element.pdispVal != nullptr &&
          SUCCEEDED(element.pdispVal->QueryInterface(__uuidof(IAccessible),
                                                      reinterpret_cast<void**>(
                                                          child.ReleaseAndGetAddressOf()))) &&
          child) {
        children_[i] = NewAccessibleItem(std::move(child), CHILDID_SELF);
      } else {
        // A child without an object reads as the null item, never as what
        // this entry held before.
        children_[i].Reset();
      }
    } else {
      if (!window) {
        HWND found = nullptr;
        if (WindowFromAccessibleObject(acc_.Accessible.Get(), &found) != S_OK) found = nullptr;
        window = found;
      }
      children_[i] = MakeComObject<TItemInfo>(acc_.Accessible, element, *window);
    }
  }
}

int32_t TItemInfo::GetChildCount() {
  return Guarded<int32_t>(0, [&] {
    if (!HasOwnObject()) return int32_t{0};
    // A locked list is not rebuilt, whatever the layer reports now.
    if (childrenLocked_) return static_cast<int32_t>(children_.size());
    LONG reported = 0;
    if (acc_.Accessible->get_accChildCount(&reported) != S_OK) reported = 0;
    reported = ChildrenToAskFor(reported);
    if (static_cast<size_t>(reported) != children_.size()) RefreshChildren(reported);
    return static_cast<int32_t>(children_.size());
  });
}

ItemInfoPtr TItemInfo::GetChild(int32_t index) {
  return Guarded<ItemInfoPtr>(NullOrNil(), [&] {
    if (index < 0 || index >= GetChildCount()) return NullItemInfo();
    const ItemInfoPtr& child = children_[static_cast<size_t>(index)];
    return child ? child : NullItemInfo();
  });
}

int32_t TItemInfo::GetValidChildCount() {
  const bool wasLocked = childrenLocked_;
  int32_t valid = 0;
  try {
    const int32_t count = wasLocked ? GetChildCount() : LockChildren();
    for (int32_t i = 0; i < count; ++i) {
      if (IsValidChild(GetChild(i).Get())) ++valid;
    }
  } catch (...) {
    valid = 0;
  }
  if (!wasLocked) UnlockChildren();
  return valid;
}

ItemInfoPtr TItemInfo::GetValidChild(int32_t index) {
  return Guarded<ItemInfoPtr>(NullOrNil(), [&] {
    if (index < 0) return NullItemInfo();
    const int32_t count = GetChildCount();
    int32_t number = 0;
    for (int32_t i = 0; i < count; ++i) {
      ItemInfoPtr child = GetChild(i);
      if (!IsValidChild(child.Get())) continue;
      if (number == index) return child;
      ++number;
    }
    return NullItemInfo();
  });
}

ItemInfoPtr TItemInfo::GetParent() {
  return Guarded<ItemInfoPtr>(NullOrNil(), [&] {
    ItemInfoPtr parent = GetAccParent();
    if (IsNullItemInfo(parent)) FindParentInWindowTree(this, parent);
    return parent;
  });
}

ItemInfoPtr TItemInfo::GetAccParent() {
  return Guarded<ItemInfoPtr>(NullOrNil(), [&] {
    const TAcc acc = EnsureAccessible();
    if (!acc.Accessible) return NullItemInfo();
    // A simple element lives inside the object that answers for it.
    if (acc.ChildIdValue() != CHILDID_SELF) return NewAccessibleItem(acc.Accessible, CHILDID_SELF);
    ComPtr<IDispatch> parent;
    // Objects that report their parent with S_FALSE still name it.
    if (FAILED(acc.Accessible->get_accParent(parent.ReleaseAndGetAddressOf())) || !parent) {
      return NullItemInfo();
    }
    ComPtr<IAccessible> object;
    if (FAILED(parent.As(&object)) || !object) return NullItemInfo();
    return NewAccessibleItem(std::move(object), CHILDID_SELF);
  });
}

std::wstring TItemInfo::GetDefaultAction() {
  return Guarded(std::wstring(), [&] {
    return AskText([](IAccessible* object, const VARIANT& id, BSTR* text) {
             return object->get_accDefaultAction(id, text);
           }).value_or(std::wstring());
  });
}

std::wstring TItemInfo::GetDescription() {
  return Guarded(std::wstring(), [&] {
    std::optional<std::wstring> description =
        AskText([](IAccessible* object, const VARIANT& id, BSTR* text) {
          return object->get_accDescription(id, text);
        });
    if (!description) return std::wstring();
    // A list-view row tells nothing useful of itself; its cells with their
    // column headers do, when they say more.
    const HWND window = ResolveHandle();
    if (!ContainsListView(GetWindowClassName(window))) return *description;
    const int32_t row = static_cast<int32_t>(acc_.ChildIdValue()) - 1;
    std::wstring cells = DescribeListViewRow(window, row);
    return cells.size() > description->size() ? cells : *description;
  });
}

int32_t TItemInfo::GetHelpTopicId() {
  return Guarded<int32_t>(-1, [&] {
    const TAcc acc = EnsureAccessible();
    if (!acc.Accessible) return int32_t{-1};
    OwnedBstr helpFile;
    LONG topic = -1;
    if (acc.Accessible->get_accHelpTopic(helpFile.Receive(), acc.ChildId, &topic) != S_OK) {
      return int32_t{-1};
    }
    return static_cast<int32_t>(topic);
  });
}

std::wstring TItemInfo::GetShortcut() {
  return Guarded(std::wstring(), [&] {
    return AskText([](IAccessible* object, const VARIANT& id, BSTR* text) {
             return object->get_accKeyboardShortcut(id, text);
           }).value_or(std::wstring());
  });
}

std::wstring TItemInfo::GetName() {
  return Guarded(std::wstring(), [&] {
    return AskText([](IAccessible* object, const VARIANT& id, BSTR* text) {
             return object->get_accName(id, text);
           }).value_or(std::wstring());
  });
}

int32_t TItemInfo::GetRoleId() {
  return Guarded<int32_t>(-1, [&] {
    const TAcc acc = EnsureAccessible();
    if (!acc.Accessible) return int32_t{-1};
    OwnedVariant role;
    // Only what the variant holds counts; an object that reports its role
    // as a text has no role id.
    acc.Accessible->get_accRole(acc.ChildId, role.Receive());
    const std::optional<LONGLONG> value = VariantIntegerValue(role.Get());
    if (!value || *value < 0 || *value > kHighestRole) return int32_t{-1};
    return static_cast<int32_t>(*value);
  });
}

int32_t TItemInfo::GetStateId() {
  return Guarded<int32_t>(-1, [&] { return AskState().value_or(-1); });
}

std::wstring TItemInfo::GetRole() {
  return Guarded(std::wstring(), [&] { return RoleText(GetRoleId()); });
}

std::wstring TItemInfo::GetState() {
  return Guarded(std::wstring(), [&] { return StateText(AskState()); });
}

std::wstring TItemInfo::GetValue() {
  return Guarded(std::wstring(), [&] {
    return AskText([](IAccessible* object, const VARIANT& id, BSTR* text) {
             return object->get_accValue(id, text);
           }).value_or(std::wstring());
  });
}

int32_t TItemInfo::LockChildren() {
  childrenLocked_ = false;
  const int32_t count = GetChildCount();
  childrenLocked_ = true;
  return count;
}

void TItemInfo::UnlockChildren() { childrenLocked_ = false; }

ItemInfoPtr ItemInfoFromAccessible(const TAcc& acc) {
  return Guarded<ItemInfoPtr>(NullOrNil(), [&] {
    if (!acc.Accessible) return NullItemInfo();
    return NewAccessibleItem(acc.Accessible, acc.ChildId);
  });
}

ItemInfoPtr ItemInfoFromPoint(const TPoint& point) {
  return Guarded<ItemInfoPtr>(NullOrNil(), [&] {
    TAcc acc;
    if (!AccessibleFromPoint(point, acc)) return NullItemInfo();
    const ItemInfoPtr item = ItemInfoFromAccessible(acc);
    if (!item || IsNullItemInfo(item)) return item;
    const TRect rect = item->GetScreenRect();
    item->SetInnerPoint(TPoint{point.X - rect.Left, point.Y - rect.Top});
    return item;
  });
}

ItemInfoPtr ItemInfoFromWindow(HWND window) {
  return Guarded<ItemInfoPtr>(NullOrNil(), [&] {
    if (!IsWindow(window)) return NullItemInfo();
    return NewWindowItem(window, kWindowObjectId);
  });
}

void FindParentInWindowTree(IItemInfo* item, ItemInfoPtr& parent) {
  if (item == nullptr) return;
  const int32_t role = item->GetRoleId();
  if (role == kWindowRole) return;

  ItemInfoPtr level = ItemInfoFromWindow(item->GetHandle());
  parent = NullItemInfo();
  if (!level) return;
  const TRect rect = item->GetScreenRect();
  int32_t index = 0;
  int32_t depth = 0;
  while (index < level->GetValidChildCount()) {
    const ItemInfoPtr child = level->GetValidChild(index);
    const TRect childRect = child ? child->GetScreenRect() : TRect();
    if (!child || !RectContainsRect(rect, childRect)) {
      ++index;
      continue;
    }
    if (childRect == rect && IsNullItemInfo(child->GetAccParent()) &&
        child->GetName() == item->GetName() && child->GetRoleId() == role) {
      parent = level;
      return;
    }
    // A server that lists an object among its own descendants would keep
    // the walk going down for ever.
    if (++depth > kMaxTreeWalkDepth) return;
    level = child;
    index = 0;
  }
}
