#include "CommandLine.h"

#include <gtest/gtest.h>

using Args = std::vector<std::wstring>;

TEST(CommandLine_Split, BlanksAndControlCharactersSeparate) {
  EXPECT_EQ(SplitCommandLine(L"prog a  b\tc\r\nd"), (Args{L"prog", L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(SplitCommandLine(L"   prog   "), (Args{L"prog"}));
  EXPECT_EQ(SplitCommandLine(L""), Args{});
}

TEST(CommandLine_Split, QuotedPartsKeepBlanksAndLoseTheirQuotes) {
  EXPECT_EQ(SplitCommandLine(L"\"C:\\Program Files\\k.exe\" --run \"a b\""),
            (Args{L"C:\\Program Files\\k.exe", L"--run", L"a b"}));
  EXPECT_EQ(SplitCommandLine(L"p ab\"c d\"ef"), (Args{L"p", L"abc def"}));
  // An unclosed quote runs to the end of the line.
  EXPECT_EQ(SplitCommandLine(L"p \"a b"), (Args{L"p", L"a b"}));
}

TEST(CommandLine_Split, BackslashIsNoEscape) {
  EXPECT_EQ(SplitCommandLine(L"p \"a\\\" b\""), (Args{L"p", L"a\\", L"b"}));
}

TEST(CommandLine_Split, EmptyQuotesAtTheStartAreNoArgument) {
  EXPECT_EQ(SplitCommandLine(L"p --run \"\""), (Args{L"p", L"--run"}));
  EXPECT_EQ(SplitCommandLine(L"p \"\"\"\" x"), (Args{L"p", L"x"}));
  EXPECT_EQ(SplitCommandLine(L"p \"\"x"), (Args{L"p", L"x"}));
  // In the middle of an argument they are an empty quoted part.
  EXPECT_EQ(SplitCommandLine(L"p x\"\"y"), (Args{L"p", L"xy"}));
}

TEST(CommandLine_Split, CharactersOutsideAsciiSurvive) {
  EXPECT_EQ(SplitCommandLine(L"p \u0416\u00e9 \U0001F600"),
            (Args{L"p", L"\u0416\u00e9", L"\U0001F600"}));
}
