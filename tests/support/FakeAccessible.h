#pragma once
// An accessible object for the live item's tests: every answer and every
// result code is set by the test, and every call is counted.
//
// The object answers for itself (child id 0) from `Self` and for its simple
// elements from `Elements[childId]`; any other child id gets
// E_INVALIDARG. Its children are listed in `Children`: simple elements by
// child id, objects as IDispatch, or raw null entries. It can enumerate
// them (IEnumVARIANT, as AccessibleChildren prefers) and name a window
// (IOleWindow, as WindowFromAccessibleObject asks); both can be switched
// off, and then the object does not answer for the interface at all.

#include <windows.h>
#include <oleacc.h>
#include <oleauto.h>
#include <oleidl.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ComObject.h"

namespace fakes {

// A value the object hands out in a variant.
struct FakeVariant {
  VARTYPE Type = VT_EMPTY;
  LONG Number = 0;
  std::wstring Text;

  static FakeVariant Empty() { return {}; }
  static FakeVariant I4(LONG value) { return {VT_I4, value, {}}; }
  static FakeVariant I2(SHORT value) { return {VT_I2, value, {}}; }
  static FakeVariant R8(LONG value) { return {VT_R8, value, {}}; }
  static FakeVariant Bstr(std::wstring text) { return {VT_BSTR, 0, std::move(text)}; }

  void WriteTo(VARIANT* out) const {
    VariantInit(out);
    out->vt = Type;
    switch (Type) {
      case VT_I4:
        out->lVal = Number;
        break;
      case VT_I2:
        out->iVal = static_cast<SHORT>(Number);
        break;
      case VT_R8:
        out->dblVal = Number;
        break;
      case VT_BSTR:
        out->bstrVal = SysAllocStringLen(Text.data(), static_cast<UINT>(Text.size()));
        break;
      default:
        out->vt = VT_EMPTY;
        break;
    }
  }
};

// A text answer: the result code, and the string handed out with it (none
// when `Text` is empty), whatever the code.
struct FakeText {
  HRESULT Result = S_OK;
  std::optional<std::wstring> Text = std::wstring();

  static FakeText Ok(std::wstring text) { return {S_OK, std::move(text)}; }
  static FakeText With(HRESULT result, std::wstring text) { return {result, std::move(text)}; }
  static FakeText Fail(HRESULT result) { return {result, std::nullopt}; }
};

// What the object says about itself or about one of its simple elements.
struct FakeAnswers {
  FakeText Name;
  FakeText Value;
  FakeText Description;
  FakeText Shortcut;
  FakeText DefaultAction;
  HRESULT RoleResult = S_OK;
  FakeVariant Role = FakeVariant::I4(ROLE_SYSTEM_CLIENT);
  HRESULT StateResult = S_OK;
  FakeVariant State = FakeVariant::I4(0);
  HRESULT LocationResult = S_OK;
  LONG Left = 0, Top = 0, Width = 0, Height = 0;
  HRESULT HelpTopicResult = S_OK;
  LONG HelpTopic = 0;
  std::wstring HelpFile = L"help.hlp";

  FakeAnswers& At(LONG left, LONG top, LONG width, LONG height) {
    Left = left;
    Top = top;
    Width = width;
    Height = height;
    return *this;
  }
};

// One entry of the children list, as AccessibleChildren and the enumerator
// report it.
struct FakeChild {
  VARTYPE Type = VT_I4;
  LONG ChildId = 0;
  Microsoft::WRL::ComPtr<IDispatch> Object;

  static FakeChild Element(LONG childId) { return {VT_I4, childId, nullptr}; }
  static FakeChild OfObject(Microsoft::WRL::ComPtr<IDispatch> object) {
    return {VT_DISPATCH, 0, std::move(object)};
  }
  // The end mark some enumerators put after their last child.
  static FakeChild Null() { return {VT_NULL, 0, nullptr}; }

  void WriteTo(VARIANT* out) const {
    VariantInit(out);
    out->vt = Type;
    if (Type == VT_I4) out->lVal = ChildId;
    if (Type == VT_DISPATCH) {
      out->pdispVal = Object.Get();
      if (Object) Object->AddRef();
    }
  }
};

// How often each method was called.
struct FakeCalls {
  int Name = 0, Value = 0, Description = 0, Shortcut = 0, DefaultAction = 0;
  int Role = 0, State = 0, Location = 0, HelpTopic = 0;
  int Parent = 0, ChildCount = 0, Child = 0;
  int Next = 0, Reset = 0, Skip = 0, GetWindow = 0;
};

// IDispatch, which the layer's helpers never use, answered with E_NOTIMPL.
template <class... Interfaces>
class WithoutDispatch : public ComObject<Interfaces...> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

class FakeAccessible final : public WithoutDispatch<IAccessible, IEnumVARIANT, IOleWindow> {
 public:
  FakeAccessible() = default;
  // Counts its own destruction in `*destroyed`.
  explicit FakeAccessible(int* destroyed) : destroyed_(destroyed) {}
  ~FakeAccessible() override {
    if (destroyed_ != nullptr) ++*destroyed_;
  }

  // --- What the test sets.
  FakeAnswers Self;
  std::map<LONG, FakeAnswers> Elements;
  // get_accParent.
  HRESULT ParentResult = S_OK;
  Microsoft::WRL::ComPtr<IDispatch> Parent;
  // get_accChildCount: the code, and the count (the length of Children
  // unless set).
  HRESULT ChildCountResult = S_OK;
  std::optional<LONG> ChildCount;
  std::vector<FakeChild> Children;
  // Whether the object answers for IEnumVARIANT, and the code that Next
  // gives instead of its own (S_OK for a full batch, else S_FALSE).
  bool Enumerable = true;
  std::optional<HRESULT> NextResult;
  // The window IOleWindow names; nil: no IOleWindow at all.
  HWND Window = nullptr;
  // The child id that accHitTest gives for every point; none: E_NOTIMPL.
  std::optional<LONG> HitChildId;

  // --- What the test reads.
  FakeCalls Calls;
  // The child id of the latest call that took one, as VT_I4; -1000 when
  // the variant was no VT_I4.
  LONG LastChildId = -1000;

  // Appends a simple element to the children, answering from its own
  // FakeAnswers, which are returned for the test to set.
  FakeAnswers& AddElement(LONG childId) {
    Children.push_back(FakeChild::Element(childId));
    return Elements[childId];
  }

  // This object as the IDispatch a parent or a children list hands out.
  Microsoft::WRL::ComPtr<IDispatch> AsDispatch() { return static_cast<IAccessible*>(this); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
    if (object != nullptr) *object = nullptr;
    if (riid == __uuidof(IEnumVARIANT) && !Enumerable) return E_NOINTERFACE;
    if (riid == __uuidof(IOleWindow) && Window == nullptr) return E_NOINTERFACE;
    return ComObject::QueryInterface(riid, object);
  }

  // IAccessible.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    ++Calls.Parent;
    *parent = Parent.Get();
    if (Parent) Parent->AddRef();
    return ParentResult;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    ++Calls.ChildCount;
    *count = ChildCount.value_or(static_cast<LONG>(Children.size()));
    return ChildCountResult;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT childId, IDispatch** child) override {
    ++Calls.Child;
    *child = nullptr;
    if (childId.vt != VT_I4 || childId.lVal < 1 ||
        childId.lVal > static_cast<LONG>(Children.size())) {
      return E_INVALIDARG;
    }
    const FakeChild& entry = Children[static_cast<size_t>(childId.lVal - 1)];
    if (entry.Type != VT_DISPATCH || !entry.Object) return S_FALSE;
    *child = entry.Object.Get();
    entry.Object->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT childId, BSTR* out) override {
    return GiveText(&FakeAnswers::Name, Calls.Name, childId, out);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT childId, BSTR* out) override {
    return GiveText(&FakeAnswers::Value, Calls.Value, childId, out);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT childId, BSTR* out) override {
    return GiveText(&FakeAnswers::Description, Calls.Description, childId, out);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT childId, BSTR* out) override {
    return GiveText(&FakeAnswers::Shortcut, Calls.Shortcut, childId, out);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT childId, BSTR* out) override {
    return GiveText(&FakeAnswers::DefaultAction, Calls.DefaultAction, childId, out);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT childId, VARIANT* role) override {
    ++Calls.Role;
    const FakeAnswers* answers = AnswersFor(childId);
    if (answers == nullptr) return E_INVALIDARG;
    answers->Role.WriteTo(role);
    return answers->RoleResult;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT childId, VARIANT* state) override {
    ++Calls.State;
    const FakeAnswers* answers = AnswersFor(childId);
    if (answers == nullptr) return E_INVALIDARG;
    answers->State.WriteTo(state);
    return answers->StateResult;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* helpFile, VARIANT childId,
                                             LONG* topic) override {
    ++Calls.HelpTopic;
    const FakeAnswers* answers = AnswersFor(childId);
    if (answers == nullptr) return E_INVALIDARG;
    *helpFile = SysAllocString(answers->HelpFile.c_str());
    *topic = answers->HelpTopic;
    return answers->HelpTopicResult;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT childId) override {
    ++Calls.Location;
    const FakeAnswers* answers = AnswersFor(childId);
    if (answers == nullptr) return E_INVALIDARG;
    *left = answers->Left;
    *top = answers->Top;
    *width = answers->Width;
    *height = answers->Height;
    return answers->LocationResult;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG, LONG, VARIANT* hit) override {
    if (!HitChildId) return E_NOTIMPL;
    FakeVariant::I4(*HitChildId).WriteTo(hit);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  // IEnumVARIANT over Children. Like real enumerators, Next writes its
  // elements without clearing what the caller's array held.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* elements, ULONG* fetched) override {
    ++Calls.Next;
    ULONG given = 0;
    while (given < count && cursor_ < Children.size()) {
      Children[cursor_++].WriteTo(&elements[given++]);
    }
    if (fetched != nullptr) *fetched = given;
    return NextResult.value_or(given == count ? S_OK : S_FALSE);
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    ++Calls.Skip;
    cursor_ = std::min<size_t>(cursor_ + count, Children.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    ++Calls.Reset;
    cursor_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT**) override { return E_NOTIMPL; }

  // IOleWindow.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    ++Calls.GetWindow;
    *window = Window;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  const FakeAnswers* AnswersFor(const VARIANT& childId) {
    LastChildId = childId.vt == VT_I4 ? childId.lVal : -1000;
    if (childId.vt != VT_I4) return nullptr;
    if (childId.lVal == CHILDID_SELF) return &Self;
    const auto found = Elements.find(childId.lVal);
    return found != Elements.end() ? &found->second : nullptr;
  }

  HRESULT GiveText(FakeText FakeAnswers::*field, int& calls, const VARIANT& childId, BSTR* out) {
    ++calls;
    *out = nullptr;
    const FakeAnswers* answers = AnswersFor(childId);
    if (answers == nullptr) return E_INVALIDARG;
    const FakeText& text = answers->*field;
    if (text.Text) *out = SysAllocStringLen(text.Text->data(), static_cast<UINT>(text.Text->size()));
    return text.Result;
  }

  int* destroyed_ = nullptr;
  size_t cursor_ = 0;
};

// An automation object that is no accessible object.
class FakeDispatch final : public WithoutDispatch<IDispatch> {
 public:
  FakeDispatch() = default;
  explicit FakeDispatch(int* destroyed) : destroyed_(destroyed) {}
  ~FakeDispatch() override {
    if (destroyed_ != nullptr) ++*destroyed_;
  }

 private:
  int* destroyed_ = nullptr;
};

}  // namespace fakes
