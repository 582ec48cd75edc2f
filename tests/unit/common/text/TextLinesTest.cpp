#include "TextLines.h"

#include <gtest/gtest.h>

#include "Bytes.h"
#include "CodePage.h"

namespace {

using Lines = std::vector<std::wstring>;

Lines LinesOf(std::string_view bytes) { return SplitLines(DecodeText(bytes, AnsiToWide)); }

using testsupport::Utf16Bytes;

}  // namespace

TEST(TextLines_Decode, EveryEncodingGivesTheSameText) {
  const std::wstring text = L"x\u00e9\u0416{ENTER}";
  EXPECT_EQ(DecodeText(Utf16Bytes(text, false), AnsiToWide), text);
  EXPECT_EQ(DecodeText(Utf16Bytes(text, true), AnsiToWide), text);
  EXPECT_EQ(DecodeText("\xEF\xBB\xBFx\xC3\xA9\xD0\x96{ENTER}", AnsiToWide), text);
  // ANSI code page 1252: no Cyrillic there.
  EXPECT_EQ(DecodeText("x\xE9{ENTER}", AnsiToWide), L"x\u00e9{ENTER}");
}

TEST(TextLines_Decode, MarkAloneOrNothingIsNoText) {
  EXPECT_EQ(DecodeText("", AnsiToWide), L"");
  EXPECT_EQ(DecodeText("\xFF\xFE", AnsiToWide), L"");
  EXPECT_EQ(DecodeText("\xFE\xFF", AnsiToWide), L"");
  EXPECT_EQ(DecodeText("\xEF\xBB\xBF", AnsiToWide), L"");
  EXPECT_TRUE(LinesOf("\xEF\xBB\xBF").empty());
}

TEST(TextLines_Decode, ZeroCharacterEndsTheText) {
  EXPECT_EQ(DecodeText(std::string_view("ab\0cd", 5), AnsiToWide), L"ab");
  EXPECT_EQ(DecodeText(Utf16Bytes(std::wstring(L"ab\0cd", 5), false), AnsiToWide), L"ab");
}

TEST(TextLines_Decode, OddTrailingByteOfUtf16IsDropped) {
  EXPECT_EQ(DecodeText(Utf16Bytes(L"ab", false) + "c", AnsiToWide), L"ab");
}

TEST(TextLines_Split, EveryBreakEndsALineAndCrLfIsOne) {
  EXPECT_EQ(SplitLines(L"a\r\nb\rc\nd\ve\ff\u2028g\u2029h"),
            (Lines{L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h"}));
  EXPECT_EQ(SplitLines(L"a\n\rb"), (Lines{L"a", L"", L"b"}));
}

TEST(TextLines_Split, EmptyLinesInTheMiddleStayButNoneIsAddedAtTheEnd) {
  EXPECT_EQ(SplitLines(L"a\r\n\r\nb\r\n"), (Lines{L"a", L"", L"b"}));
  EXPECT_EQ(SplitLines(L"\n"), (Lines{L""}));
  EXPECT_EQ(SplitLines(L"a\n\n"), (Lines{L"a", L""}));
  EXPECT_TRUE(SplitLines(L"").empty());
}
