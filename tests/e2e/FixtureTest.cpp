// The fixture, the desktop under test and the support library, end to end:
// if these fail, no other end-to-end test can be trusted.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "FixtureLayout.h"
#include "TestSupport.h"
#include "Utf.h"

namespace {

using namespace testsupport;

TEST(FixtureTest, WindowAndControlsAreWhereTheLayoutSays) {
  FixtureProcess fixture;
  RECT window{};
  ASSERT_TRUE(GetWindowRect(fixture.Window(), &window));
  const RECT expected = fixture::WindowScreenRect();
  EXPECT_EQ(expected.left, window.left);
  EXPECT_EQ(expected.top, window.top);
  EXPECT_EQ(expected.right, window.right);
  EXPECT_EQ(expected.bottom, window.bottom);
  EXPECT_EQ(L"Fixture", WindowText(fixture.Window()));

  for (const fixture::ControlSpec& spec : fixture::kControls) {
    SCOPED_TRACE(spec.id);
    const POINT topLeft = fixture.ClientToScreenPoint({spec.rect.left, spec.rect.top});
    const RECT rect = fixture.ControlScreenRect(spec.id);
    EXPECT_EQ(topLeft.x, rect.left);
    EXPECT_EQ(topLeft.y, rect.top);
    EXPECT_EQ(spec.rect.Width(), rect.right - rect.left);
    EXPECT_EQ(spec.rect.Height(), rect.bottom - rect.top);
    EXPECT_EQ(spec.text, fixture.ControlText(spec.id));
  }
  EXPECT_EQ(0, fixture.ButtonCount(1));
  EXPECT_EQ(0, fixture.ButtonCount(2));
}

TEST(FixtureTest, EditHasTheFocusAtStart) {
  FixtureProcess fixture;
  EXPECT_TRUE(fixture.EditHasFocus());
  EXPECT_EQ(L"", fixture.EditText());
}

TEST(FixtureTest, UnicodeKeysTypedByTheTestReachTheEdit) {
  FixtureProcess fixture;
  ASSERT_TRUE(TypeUnicode(L"abc"));
  EXPECT_TRUE(WaitUntil([&] { return fixture.EditText() == L"abc"; }, 5s))
      << "edit holds \"" << testing::PrintToString(fixture.EditText()) << "\"";

  ASSERT_TRUE(fixture.ClearEdit());
  ASSERT_TRUE(TypeUnicode(L"\u00e9\u20ac"));
  EXPECT_TRUE(WaitUntil([&] { return fixture.EditText() == L"\u00e9\u20ac"; }, 5s));
}

TEST(FixtureTest, ClickOnButtonOneCountsOnce) {
  FixtureProcess fixture;
  ASSERT_TRUE(ClickAt(fixture.ControlCentre(fixture::kButtonOneId)));
  EXPECT_TRUE(WaitUntil([&] { return fixture.ButtonCount(1) == 1; }, 5s))
      << "count is " << fixture.ButtonCount(1);
  EXPECT_EQ(0, fixture.ButtonCount(2));

  ASSERT_TRUE(ClickAt(fixture.ControlCentre(fixture::kButtonTwoId)));
  EXPECT_TRUE(WaitUntil([&] { return fixture.ButtonCount(2) == 1; }, 5s));
  EXPECT_EQ(1, fixture.ButtonCount(1));

  ASSERT_TRUE(fixture.ResetCounters());
}

TEST(FixtureTest, ClosesOnRequest) {
  FixtureProcess fixture;
  const HWND window = fixture.Window();
  EXPECT_TRUE(fixture.Close());
  EXPECT_FALSE(IsWindow(window));
}

TEST(FixtureTest, FocusReturnsToTheEditAfterAClick) {
  FixtureProcess fixture;
  ASSERT_TRUE(TypeUnicode(L"ab"));
  ASSERT_TRUE(WaitUntil([&] { return fixture.EditText() == L"ab"; }, 5s));
  ASSERT_TRUE(ClickAt(fixture.ControlCentre(fixture::kButtonOneId)));
  ASSERT_TRUE(WaitUntil([&] { return fixture.ButtonCount(1) == 1; }, 5s));

  ASSERT_TRUE(fixture.Focus());
  ASSERT_TRUE(TypeUnicode(L"c"));
  EXPECT_TRUE(WaitUntil([&] { return fixture.EditText() == L"abc"; }, 5s))
      << testing::PrintToString(fixture.EditText());
}

// The support library's program runner, against Wine's own command
// interpreter.
std::filesystem::path CommandInterpreter() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return std::filesystem::path(std::wstring(folder, length)) / L"cmd.exe";
}

TEST(FixtureSupportTest, RunProgramReturnsExactOutputAndExitCode) {
  const RunResult result = RunProgram(
      CommandInterpreter(), {L"/c", L"echo out& echo err 1>&2& exit 7"});
  EXPECT_EQ("out\r\n", result.out);
  EXPECT_EQ("err \r\n", result.err);
  EXPECT_EQ(7u, result.exitCode);
  EXPECT_FALSE(result.timedOut);
}

TEST(FixtureSupportTest, RunProgramReadsBothStreamsTogether) {
  // Far more than a pipe holds, on both streams at once.
  const std::string word(300, 'x');
  const std::wstring wideWord(300, L'x');
  const RunResult result = RunCommandLine(
      CommandInterpreter(), L"/c for /L %i in (1,1,250) do (echo " + wideWord +
                                L" %i& echo " + wideWord + L" %i 1>&2)");
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(0u, result.exitCode);
  EXPECT_GT(result.out.size(), 64u * 1024);
  EXPECT_GT(result.err.size(), 64u * 1024);
  EXPECT_TRUE(result.out.ends_with(word + " 250\r\n"));
  // The interpreter keeps the blank before the redirection.
  EXPECT_TRUE(result.err.ends_with(word + " 250 \r\n"));
}

TEST(FixtureSupportTest, RunProgramSetsEnvironmentAndWorkingFolder) {
  TempFolder folder;
  SetEnvironmentVariableW(L"FIXTURE_SUPPORT_GONE", L"here");
  RunOptions options;
  options.workingDirectory = folder.Path();
  options.environment = {{L"FIXTURE_SUPPORT_VALUE", L"a b"},
                         {L"FIXTURE_SUPPORT_GONE", std::nullopt}};
  const RunResult result = RunCommandLine(
      CommandInterpreter(),
      L"/c echo [%FIXTURE_SUPPORT_VALUE%][%FIXTURE_SUPPORT_GONE%]& cd",
      options);
  SetEnvironmentVariableW(L"FIXTURE_SUPPORT_GONE", nullptr);
  EXPECT_EQ("[a b][%FIXTURE_SUPPORT_GONE%]\r\n" +
                Utf16ToUtf8(folder.Path().wstring()) + "\r\n",
            result.out);
}

TEST(FixtureSupportTest, RunProgramKillsAProgramThatOutrunsItsTime) {
  RunResult result;
  RunOptions options;
  options.timeout = 1s;
  EXPECT_NONFATAL_FAILURE(result = RunProgram(L"fixture", {}, options),
                          "did not end within 1000 ms");
  EXPECT_TRUE(result.timedOut);
}

TEST(FixtureSupportTest, ArgumentsAreQuotedOnlyWhenNeeded) {
  EXPECT_EQ(L"plain", QuoteArgument(L"plain"));
  EXPECT_EQ(L"\"\"", QuoteArgument(L""));
  EXPECT_EQ(L"\"a b\"", QuoteArgument(L"a b"));
  EXPECT_EQ(L"\"C:\\a b\\\"", QuoteArgument(L"C:\\a b\\"));
  EXPECT_EQ(L"--run \"x\ty\" \"\"", JoinArguments({L"--run", L"x\ty", L""}));
  EXPECT_THROW(QuoteArgument(L"a\"b"), std::invalid_argument);
}

TEST(FixtureSupportTest, TempFolderKeepsExactBytesAndGoesAway) {
  std::filesystem::path kept;
  {
    TempFolder folder;
    kept = folder.Path();
    const std::string bytes("\xEF\xBB\xBFline\r\nnext\n\0end", 18);
    WriteBytesToFile(folder / L"data.txt", bytes);
    EXPECT_EQ(bytes, ReadBytesFromFile(folder / L"data.txt"));
    ASSERT_TRUE(std::filesystem::is_directory(kept));
  }
  EXPECT_FALSE(std::filesystem::exists(kept));
}

}  // namespace
