// The accessible-object record and the wrappers over the accessibility
// layer, run against the platform's own layer and windows this test makes.

#include "Accessibility.h"

#include <windows.h>
#include <oleacc.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include "CodePage.h"
#include "ComObject.h"
#include "FakeAccessible.h"
#include "WaitUntil.h"

using Microsoft::WRL::ComPtr;

namespace {

using fakes::FakeAccessible;

// A record that holds no object and child id 0.
void ExpectEmpty(const TAcc& acc) {
  EXPECT_EQ(acc.Accessible.Get(), nullptr);
  EXPECT_EQ(acc.ChildId.vt, VT_I4);
  EXPECT_EQ(acc.ChildId.lVal, 0);
}

// A VARIANT owned by the test.
struct TestVariant {
  VARIANT value;
  TestVariant() { VariantInit(&value); }
  ~TestVariant() { VariantClear(&value); }
  TestVariant(const TestVariant&) = delete;
  TestVariant& operator=(const TestVariant&) = delete;

  // A text variant.
  explicit TestVariant(const wchar_t* text) : TestVariant() {
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(text);
  }
};

std::wstring TextOf(const VARIANT& variant) {
  return variant.vt == VT_BSTR && variant.bstrVal != nullptr ? std::wstring(variant.bstrVal)
                                                             : std::wstring();
}

}  // namespace

TEST(Accessibility_Acc, Default_NilWithChildIdZero) {
  ExpectEmpty(TAcc());
}

TEST(Accessibility_Acc, Drop_ReleasesItsReference) {
  int destroyed = 0;
  {
    const TAcc acc(MakeComObject<FakeAccessible>(&destroyed), 3);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(acc.ChildIdValue(), 3);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(Accessibility_Acc, Copy_HoldsItsOwnReferenceAndChildId) {
  int destroyed = 0;
  auto original = std::make_unique<TAcc>(MakeComObject<FakeAccessible>(&destroyed), 5);
  const TAcc copy(*original);
  original.reset();
  EXPECT_EQ(destroyed, 0);
  ASSERT_NE(copy.Accessible.Get(), nullptr);
  EXPECT_EQ(copy.ChildId.vt, VT_I4);
  EXPECT_EQ(copy.ChildId.lVal, 5);
}

TEST(Accessibility_Acc, CopyOfTextChildId_OutlivesTheOriginal) {
  TestVariant text(L"element");
  auto original = std::make_unique<TAcc>(nullptr, text.value);
  TAcc assigned;
  assigned = *original;
  const TAcc copy(*original);
  original.reset();
  EXPECT_EQ(TextOf(copy.ChildId), L"element");
  EXPECT_EQ(TextOf(assigned.ChildId), L"element");
  // The record took a copy: the caller's variant is untouched.
  EXPECT_EQ(TextOf(text.value), L"element");
}

TEST(Accessibility_Acc, Move_TakesTheReferenceAndLeavesTheSourceEmpty) {
  int destroyed = 0;
  TAcc source(MakeComObject<FakeAccessible>(&destroyed), 9);
  IAccessible* object = source.Accessible.Get();
  TAcc target(std::move(source));
  EXPECT_EQ(target.Accessible.Get(), object);
  EXPECT_EQ(target.ChildId.lVal, 9);
  ExpectEmpty(source);

  TAcc assigned;
  assigned = std::move(target);
  EXPECT_EQ(assigned.Accessible.Get(), object);
  EXPECT_EQ(target.Accessible.Get(), nullptr);
  EXPECT_EQ(destroyed, 0);
}

TEST(Accessibility_Acc, Reset_DropsTheObjectAndTheChildId) {
  int destroyed = 0;
  TAcc acc(MakeComObject<FakeAccessible>(&destroyed), 4);
  acc.Reset();
  EXPECT_EQ(destroyed, 1);
  ExpectEmpty(acc);
}

TEST(Accessibility_Acc, ReceiveChildId_ClearsTheOldValue) {
  TestVariant text(L"old");
  TAcc acc(nullptr, text.value);
  VARIANT* target = acc.ReceiveChildId();
  EXPECT_EQ(target, &acc.ChildId);
  EXPECT_EQ(target->vt, VT_EMPTY);
}

TEST(Accessibility_Acc, ChildIdValue_NumbersReadAsIntegers) {
  TAcc acc;
  acc.SetChildId(12);
  EXPECT_EQ(acc.ChildIdValue(), 12);
  VARIANT small;
  VariantInit(&small);
  small.vt = VT_I2;
  small.iVal = 6;
  acc.SetChildId(small);
  EXPECT_EQ(acc.ChildId.vt, VT_I2);
  EXPECT_EQ(acc.ChildIdValue(), 6);
}

TEST(Accessibility_Acc, ChildIdValue_NoNumber_ReadsMinusOne) {
  TestVariant text(L"not a number");
  TAcc acc;
  acc.SetChildId(text.value);
  EXPECT_EQ(acc.ChildIdValue(), -1);
}

namespace {

constexpr wchar_t kWindowClass[] = L"AccessibilityTestWindow";

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

using testsupport::PumpMessages;

// A window with one push button inside, made and destroyed by the test's
// own thread. Tests that look at the screen show it top-most in the lower
// right, away from the fixture, each test at its own place since tests run
// side by side; the others keep it hidden so that it covers nothing. Shown,
// it is never activated: these tests run beside those that type into the
// fixture, which must keep the focus.
class ButtonWindow {
 public:
  static constexpr SIZE kFrameSize{200, 100};
  static constexpr RECT kButtonInFrame{20, 30, 140, 70};

  // Hidden.
  ButtonWindow() : ButtonWindow(POINT{0, 0}, false) {}
  // Shown top-most with its top-left corner at `origin`.
  explicit ButtonWindow(POINT origin) : ButtonWindow(origin, true) {}

 private:
  ButtonWindow(POINT origin, bool shown) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);  // a second registration fails harmlessly
    const DWORD exStyle =
        shown ? WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE : WS_EX_TOOLWINDOW;
    frame_ = CreateWindowExW(exStyle, kWindowClass, L"Frame", WS_POPUP, origin.x, origin.y,
                             kFrameSize.cx, kFrameSize.cy, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    button_ = CreateWindowExW(0, L"BUTTON", L"Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                              kButtonInFrame.left, kButtonInFrame.top,
                              kButtonInFrame.right - kButtonInFrame.left,
                              kButtonInFrame.bottom - kButtonInFrame.top, frame_, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (shown) {
      SetWindowPos(frame_, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
      UpdateWindow(frame_);
    }
    PumpMessages();
  }

 public:
  ~ButtonWindow() {
    if (frame_ != nullptr) DestroyWindow(frame_);
    PumpMessages();
  }
  ButtonWindow(const ButtonWindow&) = delete;
  ButtonWindow& operator=(const ButtonWindow&) = delete;

  HWND Frame() const { return frame_; }
  HWND Button() const { return button_; }

  // The middle of the button on the screen.
  POINT ButtonCentre() const {
    RECT rect{};
    GetWindowRect(button_, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }

 private:
  HWND frame_ = nullptr;
  HWND button_ = nullptr;
};

// The window behind an accessible object, as the layer tells it.
HWND WindowOf(IAccessible* accessible) {
  HWND window = nullptr;
  if (WindowFromAccessibleObject(accessible, &window) != S_OK) return nullptr;
  return window;
}

RECT LocationOf(IAccessible* accessible, const VARIANT& childId) {
  LONG left = 0, top = 0, width = 0, height = 0;
  if (accessible->accLocation(&left, &top, &width, &height, childId) != S_OK) return RECT{};
  return RECT{left, top, left + width, top + height};
}

// The platform's text through its UTF-16 entry, in the ANSI code page: the
// oracle for the 8-bit wrappers.
std::string PlatformRoleText(DWORD role) {
  wchar_t buffer[512] = {};
  const UINT length = GetRoleTextW(role, buffer, 512);
  return length > 0 ? WideToAnsi(std::wstring(buffer, length)) : std::string();
}

std::string PlatformStateText(DWORD bit) {
  wchar_t buffer[512] = {};
  const UINT length = GetStateTextW(bit, buffer, 512);
  return length > 0 ? WideToAnsi(std::wstring(buffer, length)) : std::string();
}

}  // namespace

TEST(Accessibility_FromWindow, WindowObject_FoundWithChildIdZero) {
  const ButtonWindow window;
  ASSERT_NE(window.Button(), nullptr);
  TAcc acc;
  acc.SetChildId(7);
  EXPECT_TRUE(AccessibleFromWindow(window.Button(), OBJID_WINDOW, acc));
  EXPECT_NE(acc.Accessible.Get(), nullptr);
  EXPECT_EQ(acc.ChildId.vt, VT_I4);
  EXPECT_EQ(acc.ChildId.lVal, 0);
}

TEST(Accessibility_FromWindow, ClientObject_CoversTheButtonAndLeadsBackToIt) {
  const ButtonWindow window;
  TAcc acc;
  ASSERT_TRUE(AccessibleFromWindow(window.Button(), OBJID_CLIENT, acc));
  EXPECT_EQ(WindowOf(acc.Accessible.Get()), window.Button());
  RECT expected{};
  GetWindowRect(window.Button(), &expected);
  const RECT location = LocationOf(acc.Accessible.Get(), acc.ChildId);
  EXPECT_EQ(FromWinRect(location), FromWinRect(expected));
}

TEST(Accessibility_FromWindow, NoWindow_FalseNilAndChildIdZero) {
  HWND gone = nullptr;
  {
    const ButtonWindow window;
    gone = window.Frame();
  }
  ASSERT_FALSE(IsWindow(gone));
  int destroyed = 0;
  TAcc acc(MakeComObject<FakeAccessible>(&destroyed), 5);
  EXPECT_FALSE(AccessibleFromWindow(gone, OBJID_WINDOW, acc));
  ExpectEmpty(acc);
  // The object the record held before was let go.
  EXPECT_EQ(destroyed, 1);
}

TEST(Accessibility_FromPoint, OverTheButton_ObjectOfTheButtonAtThePoint) {
  const ButtonWindow window(POINT{1040, 820});
  const POINT centre = window.ButtonCentre();
  ASSERT_EQ(WindowFromPoint(centre), window.Button()) << "another window covers the test's";
  TAcc acc;
  ASSERT_TRUE(AccessibleFromPoint(FromWinPoint(centre), acc));
  ASSERT_NE(acc.Accessible.Get(), nullptr);
  EXPECT_EQ(WindowOf(acc.Accessible.Get()), window.Button());
  const TRect location = FromWinRect(LocationOf(acc.Accessible.Get(), acc.ChildId));
  EXPECT_TRUE(RectContainsPoint(location, FromWinPoint(centre)));
  EXPECT_EQ(acc.ChildIdValue(), 0);
}

TEST(Accessibility_FromPoint, ReplacesWhatTheRecordHeld) {
  const ButtonWindow window(POINT{1040, 680});
  const POINT centre = window.ButtonCentre();
  ASSERT_EQ(WindowFromPoint(centre), window.Button()) << "another window covers the test's";
  int destroyed = 0;
  TAcc acc(MakeComObject<FakeAccessible>(&destroyed), 5);
  ASSERT_TRUE(AccessibleFromPoint(FromWinPoint(centre), acc));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(acc.ChildId.vt, VT_I4);
  EXPECT_EQ(acc.ChildId.lVal, 0);
}

TEST(Accessibility_RoleText, EveryRole_MatchesThePlatformsText) {
  for (DWORD role = 0; role <= 0x3E; ++role) {
    SCOPED_TRACE(role);
    EXPECT_EQ(GetAccRoleText(role), PlatformRoleText(role));
  }
  // The layer knows the roles that the name table names.
  EXPECT_FALSE(GetAccRoleText(ROLE_SYSTEM_CLIENT).empty());
  EXPECT_FALSE(GetAccRoleText(ROLE_SYSTEM_PUSHBUTTON).empty());
  EXPECT_NE(GetAccRoleText(ROLE_SYSTEM_CLIENT), GetAccRoleText(ROLE_SYSTEM_PUSHBUTTON));
}

TEST(Accessibility_RoleText, UnknownRole_Empty) {
  ASSERT_EQ(PlatformRoleText(0xFFFFFF), "");
  EXPECT_EQ(GetAccRoleText(0xFFFFFF), "");
}

TEST(Accessibility_StateText, NoBitsAndLowestBit_Empty) {
  EXPECT_EQ(GetAccStateText(0), "");
  EXPECT_EQ(GetAccStateText(STATE_SYSTEM_UNAVAILABLE), "");
}

TEST(Accessibility_StateText, TwoBits_PlatformTextsEachFollowedBySemicolon) {
  const std::string selected = PlatformStateText(STATE_SYSTEM_SELECTED);
  const std::string focused = PlatformStateText(STATE_SYSTEM_FOCUSED);
  ASSERT_FALSE(selected.empty());
  ASSERT_FALSE(focused.empty());
  EXPECT_EQ(GetAccStateText(STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
            selected + ";" + focused + ";");
}

TEST(Accessibility_StateText, AllBits_28PlatformTextsInBitOrder) {
  std::string expected;
  for (DWORD bit = 0x2; bit <= 0x10000000; bit <<= 1) {
    expected += PlatformStateText(bit) + ";";
  }
  const std::string text = GetAccStateText(0xFFFFFFFF);
  EXPECT_EQ(text, expected);
  EXPECT_EQ(std::count(text.begin(), text.end(), ';'), 28);
}
