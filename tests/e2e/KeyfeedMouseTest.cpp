// keyfeed's program tags on the real desktop: the cursor and the buttons of
// the mouse. The pause is measured where the key events' time stamps are
// seen, in the hook library's tests.

#include <gtest/gtest.h>

#include "FixtureLayout.h"
#include "TestSupport.h"
#include "Utf.h"

using namespace testsupport;

namespace {

const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}};

class KeyfeedMouse : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ClearEdit());
    ASSERT_TRUE(fixture_.ResetCounters());
    ASSERT_TRUE(fixture_.Focus());
  }

  void Play(const std::wstring& sequence) {
    const RunResult result = RunProgram(L"keyfeed", {L"--run", sequence}, kEnglish);
    EXPECT_EQ(result.exitCode, 0u) << result.out << result.err;
    EXPECT_EQ(result.out + result.err, "");
  }

  static std::wstring At(POINT point) {
    return std::to_wstring(point.x) + L"," + std::to_wstring(point.y);
  }

  static POINT Cursor() {
    POINT point{};
    GetCursorPos(&point);
    return point;
  }

  FixtureProcess fixture_;
};

}  // namespace

TEST_F(KeyfeedMouse, MposSetsTheCursorAbsolutelyOrRelatively) {
  Play(L"{MPOS 300,310}");
  EXPECT_TRUE(WaitUntil([] { return Cursor().x == 300 && Cursor().y == 310; }, 2s))
      << Cursor().x << "," << Cursor().y;
  Play(L"{mpos +10,-5}");
  EXPECT_TRUE(WaitUntil([] { return Cursor().x == 310 && Cursor().y == 305; }, 2s))
      << Cursor().x << "," << Cursor().y;
  Play(L"{MPOS $100, +0}");
  EXPECT_TRUE(WaitUntil([] { return Cursor().x == 256 && Cursor().y == 305; }, 2s))
      << Cursor().x << "," << Cursor().y;
}

TEST_F(KeyfeedMouse, MposWithUnusableParameterIsTyped) {
  Play(L"{MPOS 100}{MPOS x,5}");
  EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"{MPOS 100}{MPOS x,5}"; }, 5s))
      << Utf16ToUtf8(fixture_.EditText());
}

TEST_F(KeyfeedMouse, MkeyClickPressesAFixtureButton) {
  const POINT one = fixture_.ControlCentre(fixture::kButtonOneId);
  Play(L"{MPOS " + At(one) + L"}{MKEY Left,Click}");
  EXPECT_TRUE(WaitUntil([&] { return fixture_.ButtonCount(1) == 1; }, 5s))
      << fixture_.ButtonCount(1);
  EXPECT_EQ(fixture_.ButtonCount(2), 0);
  // Press and release as two tags make one click as well.
  Play(L"{MKEY Left,Press}{MKEY Left,Release}");
  EXPECT_TRUE(WaitUntil([&] { return fixture_.ButtonCount(1) == 2; }, 5s))
      << fixture_.ButtonCount(1);
}

TEST_F(KeyfeedMouse, DoubleClickSelectsAWordOfTheEdit) {
  Play(L"hello world");
  ASSERT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"hello world"; }, 5s));
  // The middle of "world", from the edit's own layout of its characters.
  const HWND edit = fixture_.Control(fixture::kEditId);
  const LRESULT position = SendMessageW(edit, EM_POSFROMCHAR, 8, 0);
  POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position)) + 4};
  ClientToScreen(edit, &point);
  // Lower case: Wine refreshes its modifier state from the X server when the
  // click moves the focus, and may drop a Shift sent in that moment.
  Play(L"{MPOS " + At(point) + L"}{MKEY Left,DblClick}x");
  EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"hello x"; }, 5s))
      << Utf16ToUtf8(fixture_.EditText());
}
