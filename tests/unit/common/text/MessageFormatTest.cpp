#include "MessageFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

// Each "%s" takes the next argument (empty text once they run out), "%%" is
// one "%", every other directive and every argument stays as written.
TEST(MessageFormat, Format_PlaceholdersFilledInOrder_EverythingElseAsWritten) {
  const std::wstring withNul(L"a\0b", 3);
  const struct {
    const char* name;
    const wchar_t* format;
    std::vector<std::wstring_view> args;
    std::wstring expected;
  } cases[] = {
      {"two placeholders", L"Execution failed!\r\nException info: %s\r\n%s",
       {L"EConvertError", L"'x' is not a valid integer value"},
       L"Execution failed!\r\nException info: EConvertError\r\n"
       L"'x' is not a valid integer value"},
      {"placeholders at either end", L"%s and %s", {L"a", L"b"}, L"a and b"},
      {"placeholders side by side", L"%s%s", {L"a", L"b"}, L"ab"},
      {"double percent", L"100%% of %s", {L"x"}, L"100% of x"},
      {"double percent before s", L"%%s", {L"x"}, L"%s"},
      {"double percents around a placeholder", L"%%%s%%", {L"x"}, L"%x%"},
      {"other directives", L"%d %x %S %1 50% done %", {L"unused"}, L"%d %x %S %1 50% done %"},
      {"an argument with directives", L"Invalid file %s", {L"%s%d%%%n"},
       L"Invalid file %s%d%%%n"},
      {"an argument that is a placeholder", L"%s|%s", {L"%s", L"b"}, L"%s|b"},
      {"too few arguments", L"[%s][%s]", {L"a"}, L"[a][]"},
      {"no arguments", L"Invalid file %s", {}, L"Invalid file "},
      {"too many arguments, no placeholder", L"Stack trace:", {L"a", L"b"}, L"Stack trace:"},
      {"too many arguments", L"<%s>", {L"a", L"b"}, L"<a>"},
      {"non-ASCII and a zero", L"Ungültige Datei %s", {withNul},
       std::wstring(L"Ungültige Datei a\0b", 19)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatMessageText(c.format, c.args), c.expected) << c.name;
  }
}

TEST(MessageFormat, Format_ListOfArguments_SameAsSpan) {
  const std::vector<std::wstring_view> args = {L"one", L"two"};
  EXPECT_EQ(FormatMessageText(L"%s-%s", args), L"one-two");
  EXPECT_EQ(FormatMessageText(L"%s-%s", {L"one", L"two"}), L"one-two");
}

// A translation must have the English text's "%s" directives and no others;
// "%%" is plain text.
TEST(MessageFormat, Placeholders_OnlyTheSameSequenceOfPlaceholders_IsAccepted) {
  const struct {
    const wchar_t* english;
    const wchar_t* translation;
    bool accepted;
  } cases[] = {
      {L"Invalid file %s", L"Ungültige Datei %s", true},
      {L"Invalid file %s", L"%s: ungültige Datei", true},
      {L"Stack trace:", L"Aufrufliste:", true},
      {L"Execution failed!\r\nException info: %s\r\n%s", L"Fehler!\r\n%s\r\n%s", true},
      {L"Invalid file %s", L"Datei %s zu 100%% ungültig", true},
      {L"100%% of %s", L"%s", true},
      {L"Invalid file %s", L"Ungültige Datei %s %s", false},
      {L"Invalid file %s", L"Ungültige Datei", false},
      {L"Stack trace:", L"Aufrufliste %s", false},
      {L"Execution failed!\r\nException info: %s\r\n%s", L"Fehler: %s", false},
      {L"Invalid file %s", L"Ungültige Datei %d", false},
      {L"Invalid file %s", L"Ungültige Datei %s %n", false},
      {L"Invalid file %s", L"Ungültige Datei %S", false},
      {L"Invalid file %s", L"Ungültige Datei %s 50%", false},
      {L"Stack trace:", L"Aufrufliste %x", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HasSamePlaceholders(c.english, c.translation), c.accepted) << c.translation;
  }
}
