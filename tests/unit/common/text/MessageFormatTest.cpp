#include "MessageFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

TEST(MessageFormat, Format_TwoPlaceholders_FilledInOrder) {
  EXPECT_EQ(FormatMessageText(L"Execution failed!\r\nException info: %s\r\n%s",
                              {L"EConvertError", L"'x' is not a valid integer value"}),
            L"Execution failed!\r\nException info: EConvertError\r\n"
            L"'x' is not a valid integer value");
}

TEST(MessageFormat, Format_PlaceholderAtEitherEnd_Filled) {
  EXPECT_EQ(FormatMessageText(L"%s and %s", {L"a", L"b"}), L"a and b");
  EXPECT_EQ(FormatMessageText(L"%s%s", {L"a", L"b"}), L"ab");
}

TEST(MessageFormat, Format_DoublePercent_BecomesOnePercent) {
  EXPECT_EQ(FormatMessageText(L"100%% of %s", {L"x"}), L"100% of x");
  EXPECT_EQ(FormatMessageText(L"%%s", {L"x"}), L"%s");
  EXPECT_EQ(FormatMessageText(L"%%%s%%", {L"x"}), L"%x%");
}

TEST(MessageFormat, Format_OtherDirectives_StayAsWritten) {
  EXPECT_EQ(FormatMessageText(L"%d %x %S %1 50% done %", {L"unused"}),
            L"%d %x %S %1 50% done %");
}

TEST(MessageFormat, Format_ArgumentWithDirectives_IsNotExpanded) {
  EXPECT_EQ(FormatMessageText(L"Invalid file %s", {L"%s%d%%%n"}), L"Invalid file %s%d%%%n");
  EXPECT_EQ(FormatMessageText(L"%s|%s", {L"%s", L"b"}), L"%s|b");
}

TEST(MessageFormat, Format_TooFewArguments_FillsEmptyText) {
  EXPECT_EQ(FormatMessageText(L"[%s][%s]", {L"a"}), L"[a][]");
  EXPECT_EQ(FormatMessageText(L"Invalid file %s", {}), L"Invalid file ");
}

TEST(MessageFormat, Format_TooManyArguments_IgnoresTheRest) {
  EXPECT_EQ(FormatMessageText(L"Stack trace:", {L"a", L"b"}), L"Stack trace:");
  EXPECT_EQ(FormatMessageText(L"<%s>", {L"a", L"b"}), L"<a>");
}

TEST(MessageFormat, Format_SpanOfArguments_SameAsList) {
  const std::vector<std::wstring_view> args = {L"one", L"two"};
  EXPECT_EQ(FormatMessageText(L"%s-%s", args), L"one-two");
}

TEST(MessageFormat, Format_NonAsciiAndNul_CopiedUnchanged) {
  const std::wstring withNul(L"a\0b", 3);
  EXPECT_EQ(FormatMessageText(L"Ungültige Datei %s", {withNul}),
            std::wstring(L"Ungültige Datei a\0b", 19));
}

TEST(MessageFormat, Placeholders_SameSequence_Accepted) {
  EXPECT_TRUE(HasSamePlaceholders(L"Invalid file %s", L"Ungültige Datei %s"));
  EXPECT_TRUE(HasSamePlaceholders(L"Invalid file %s", L"%s: ungültige Datei"));
  EXPECT_TRUE(HasSamePlaceholders(L"Stack trace:", L"Aufrufliste:"));
  EXPECT_TRUE(HasSamePlaceholders(L"Execution failed!\r\nException info: %s\r\n%s",
                                  L"Fehler!\r\n%s\r\n%s"));
}

TEST(MessageFormat, Placeholders_DoublePercent_IsPlainText) {
  EXPECT_TRUE(HasSamePlaceholders(L"Invalid file %s", L"Datei %s zu 100%% ungültig"));
  EXPECT_TRUE(HasSamePlaceholders(L"100%% of %s", L"%s"));
}

TEST(MessageFormat, Placeholders_ExtraOrMissingPlaceholder_Rejected) {
  EXPECT_FALSE(HasSamePlaceholders(L"Invalid file %s", L"Ungültige Datei %s %s"));
  EXPECT_FALSE(HasSamePlaceholders(L"Invalid file %s", L"Ungültige Datei"));
  EXPECT_FALSE(HasSamePlaceholders(L"Stack trace:", L"Aufrufliste %s"));
  EXPECT_FALSE(HasSamePlaceholders(L"Execution failed!\r\nException info: %s\r\n%s",
                                   L"Fehler: %s"));
}

TEST(MessageFormat, Placeholders_OtherDirective_Rejected) {
  EXPECT_FALSE(HasSamePlaceholders(L"Invalid file %s", L"Ungültige Datei %d"));
  EXPECT_FALSE(HasSamePlaceholders(L"Invalid file %s", L"Ungültige Datei %s %n"));
  EXPECT_FALSE(HasSamePlaceholders(L"Invalid file %s", L"Ungültige Datei %S"));
  EXPECT_FALSE(HasSamePlaceholders(L"Invalid file %s", L"Ungültige Datei %s 50%"));
  EXPECT_FALSE(HasSamePlaceholders(L"Stack trace:", L"Aufrufliste %x"));
}
