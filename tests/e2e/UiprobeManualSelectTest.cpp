// uiprobe --manualselect on the real desktop, driven as a user would drive
// it: the pointer moved with xdotool over the fixture's controls, the red
// frame watched on the screen, Ctrl or Esc pressed with xdotool. The capture
// program runs in the background; hookwatch tells when its selection loop
// runs and when it has handled each move, so that every key comes after the
// move it belongs to (a ring holds only three records, and a key read before
// the move would find no object).
//
// Without a window manager, X sends keys to the window under the pointer, so
// the pointer is over the fixture whenever a key is pressed.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "FixtureLayout.h"
#include "ItemInfo.h"
#include "ScreenCaptureUtils.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

constexpr Colour kRed = 0x0000FF;

std::string PointText(POINT point) {
  return std::to_string(point.x) + "," + std::to_string(point.y);
}

std::string RectText(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

Colour ScreenPixel(POINT point) {
  return CaptureScreenRect({point.x, point.y, point.x + 1, point.y + 1}).Pixel(0, 0);
}

// A pixel on the left edge of the frame round the rectangle, halfway down.
POINT LeftEdge(const RECT& rect) { return POINT{rect.left + 1, (rect.top + rect.bottom) / 2}; }

class UiprobeManualSelect : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.Focus());
    // No selection of an earlier test holds the hook.
    const RunResult idle = Hookwatch({L"active", L"0"});
    ASSERT_EQ(idle.exitCode, 1u) << idle.out << idle.err;
  }

  void TearDown() override {
    if (!run_.valid()) return;
    // A selection that a failed test left running ends with Esc, or with
    // RunProgram's timeout.
    if (!Finished(0s)) Xdotool("key Escape");
    run_.get();
  }

  // Starts uiprobe --manualselect with these further arguments and waits
  // until its selection loop runs.
  void StartSelection(std::vector<std::wstring> arguments) {
    arguments.insert(arguments.begin(), L"--manualselect");
    run_ = std::async(std::launch::async, [arguments] {
      return RunProgram(L"uiprobe", arguments,
                        RunOptions{.environment = {{L"LANG", L"C"}}, .timeout = 60s});
    });
    const RunResult active = Hookwatch({L"active", L"30"});
    ASSERT_EQ(active.exitCode, 0u) << active.err;
  }

  // Moves the pointer with xdotool to the control's centre and waits until
  // the selection has handled the move and framed the object there in red.
  // The frame follows the object's rectangle as the item model reports it:
  // for a button the window's, for the edit its client area within the
  // sunken edge.
  void PointAt(int controlId) {
    const POINT point = fixture_.ControlCentre(controlId);
    framed_ = ToWinRect<RECT>(ItemInfoFromPoint(FromWinPoint(point))->GetScreenRect());
    ASSERT_TRUE(Xdotool("mousemove " + std::to_string(point.x) + " " + std::to_string(point.y)));
    const std::string where = PointText(point);
    const RunResult read = Hookwatch({L"read", std::wstring(where.begin(), where.end())});
    ASSERT_EQ(read.exitCode, 0u) << read.err;
    const POINT edge = LeftEdge(framed_);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(edge) == kRed; }, 10s, 20ms))
        << "no red frame round control " << controlId << " at " << PointText(edge);
  }

  // The screen no longer shows a red frame round the rectangle; what lay
  // below is repainted by its own program, a moment later.
  static bool FrameGoneFrom(const RECT& rect) {
    const POINT edge = LeftEdge(rect);
    return WaitUntil([&] { return ScreenPixel(edge) != kRed; }, 5s, 20ms);
  }

  bool Finished(std::chrono::milliseconds timeout) {
    return WaitUntil(
        [&] { return run_.wait_for(0s) == std::future_status::ready; }, timeout);
  }

  // The end of the selection's run.
  RunResult Result() {
    EXPECT_TRUE(Finished(60s));
    return run_.get();
  }

  static RunResult Hookwatch(const std::vector<std::wstring>& arguments) {
    return RunProgram(L"hookwatch", arguments);
  }

  // The properties that the file gets for --outputflags hncbp in ini
  // format, for the control and the point.
  std::string IniOutput(int controlId, const std::string& name, POINT point) const {
    const auto handle =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(fixture_.Control(controlId)));
    return "\xEF\xBB\xBF"
           "Handle=" + std::to_string(handle) + "\r\n" +
           "Name=" + name + "\r\n" +
           "Class=Button\r\n" +
           "ScreenRect=" + RectText(fixture_.ControlScreenRect(controlId)) + "\r\n" +
           "ScreenPoint=" + PointText(point) + "\r\n";
  }

  FixtureProcess fixture_;
  TempFolder folder_;
  std::future<RunResult> run_;
  // The rectangle that PointAt saw framed last.
  RECT framed_{};
};

const std::vector<std::wstring> kIniFlags = {L"--outputformat", L"ini", L"--outputflags",
                                             L"hncbp"};

}  // namespace

TEST_F(UiprobeManualSelect, CtrlOverAButton_CapturesItWithThePointerAsScreenPoint) {
  const std::wstring file = (folder_ / L"pick.txt").wstring();
  std::vector<std::wstring> arguments = kIniFlags;
  arguments.insert(arguments.end(), {L"--outputfile", file});
  ASSERT_NO_FATAL_FAILURE(StartSelection(arguments));
  ASSERT_NO_FATAL_FAILURE(PointAt(fixture::kButtonTwoId));

  ASSERT_TRUE(Xdotool("key ctrl"));
  const RunResult result = Result();

  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_EQ(ReadBytesFromFile(file),
            IniOutput(fixture::kButtonTwoId, "Two", fixture_.ControlCentre(fixture::kButtonTwoId)));
  // The frame went with the selection.
  EXPECT_TRUE(FrameGoneFrom(framed_));
}

TEST_F(UiprobeManualSelect, OtherButtonAtTheSameInnerOffset_FrameFollowsAndCtrlSelectsIt) {
  // The two buttons have one size, and the pointer goes from the centre of
  // one to the centre of the other.
  const RECT one = fixture_.ControlScreenRect(fixture::kButtonOneId);
  const RECT two = fixture_.ControlScreenRect(fixture::kButtonTwoId);
  ASSERT_EQ(one.right - one.left, two.right - two.left);
  ASSERT_EQ(one.bottom - one.top, two.bottom - two.top);

  const std::wstring file = (folder_ / L"pick.txt").wstring();
  std::vector<std::wstring> arguments = kIniFlags;
  arguments.insert(arguments.end(), {L"--outputfile", file});
  ASSERT_NO_FATAL_FAILURE(StartSelection(arguments));
  ASSERT_NO_FATAL_FAILURE(PointAt(fixture::kButtonOneId));
  ASSERT_NO_FATAL_FAILURE(PointAt(fixture::kButtonTwoId));
  EXPECT_TRUE(FrameGoneFrom(one));

  ASSERT_TRUE(Xdotool("key ctrl"));
  const RunResult result = Result();

  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_EQ(ReadBytesFromFile(file),
            IniOutput(fixture::kButtonTwoId, "Two", fixture_.ControlCentre(fixture::kButtonTwoId)));
}

TEST_F(UiprobeManualSelect, EscOverTheEdit_ExitsThreeWithNoOutput) {
  const std::filesystem::path file = folder_ / L"none.txt";
  ASSERT_NO_FATAL_FAILURE(StartSelection({L"--outputfile", file.wstring(), L"--execute",
                                          L"cmd /c echo should not run"}));
  ASSERT_NO_FATAL_FAILURE(PointAt(fixture::kEditId));

  ASSERT_TRUE(Xdotool("key Escape"));
  const RunResult result = Result();

  EXPECT_EQ(result.exitCode, 3u);
  EXPECT_EQ(result.out + result.err, "");
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_TRUE(FrameGoneFrom(framed_));
}

TEST_F(UiprobeManualSelect, CtrlToTheConsole_PrintsTheSelectedButton) {
  ASSERT_NO_FATAL_FAILURE(StartSelection({L"--outputflags", L"nr", L"--outputformat", L"valcsv"}));
  ASSERT_NO_FATAL_FAILURE(PointAt(fixture::kButtonOneId));

  ASSERT_TRUE(Xdotool("key ctrl"));
  const RunResult result = Result();

  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(result.out, "One;CLIENT;\r\n");
  EXPECT_EQ(result.err, "");
}
