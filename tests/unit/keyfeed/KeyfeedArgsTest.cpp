#include "KeyfeedMain.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::wstring>;

ParsedArgs Parse(const Args& args, std::vector<std::wstring> existing = {L"a.txt"}) {
  return ParseKeyfeedArgs(args, [existing](const std::wstring& name) {
    return std::find(existing.begin(), existing.end(), name) != existing.end();
  });
}

}  // namespace

TEST(KeyfeedArgs_Parse, NothingOrAHelpOptionAloneAsksForUsage) {
  for (const Args& args : {Args{}, Args{L"--help"}, Args{L"-h"}, Args{L"-?"}}) {
    EXPECT_EQ(Parse(args).Outcome, ArgsOutcome::Usage);
  }
}

TEST(KeyfeedArgs_Parse, OptionsTakeTheNextArgumentWhateverItHolds) {
  const ParsedArgs parsed =
      Parse({L"--run", L"--file", L"-h", L"-x", L"--file", L"a.txt"});
  ASSERT_EQ(parsed.Outcome, ArgsOutcome::Run);
  EXPECT_EQ(parsed.Args.InputSequence, L"--file");
  EXPECT_EQ(parsed.Args.HelpTopic, L"-x");
  EXPECT_EQ(parsed.Args.CommandFileName, L"a.txt");
}

TEST(KeyfeedArgs_Parse, ALaterOptionOverwritesAnEarlierOne) {
  EXPECT_EQ(Parse({L"--run", L"a", L"--run", L"b"}).Args.InputSequence, L"b");
}

TEST(KeyfeedArgs_Parse, OptionsAreMatchedExactly) {
  for (const wchar_t* option : {L"--RUN", L"-run", L"--run=x", L"/?", L"--Help"}) {
    const ParsedArgs parsed = Parse({option, L"x"});
    EXPECT_EQ(parsed.Outcome, ArgsOutcome::UnknownParameter) << option;
    EXPECT_EQ(parsed.Offending, option);
  }
}

TEST(KeyfeedArgs_Parse, OptionAsTheLastArgumentMissesItsValue) {
  for (const wchar_t* option : {L"--run", L"--file", L"--help", L"-h", L"-?"}) {
    const ParsedArgs parsed = Parse({L"--run", L"x", option});
    EXPECT_EQ(parsed.Outcome, ArgsOutcome::MissingValue) << option;
    EXPECT_EQ(parsed.Offending, option);
  }
  EXPECT_EQ(Parse({L"--run"}).Outcome, ArgsOutcome::MissingValue);
}

TEST(KeyfeedArgs_Parse, FirstFaultWins) {
  const ParsedArgs missingFile = Parse({L"--file", L"missing.txt", L"foo"});
  EXPECT_EQ(missingFile.Outcome, ArgsOutcome::NoSuchFile);
  EXPECT_EQ(missingFile.Offending, L"missing.txt");

  const ParsedArgs unknown = Parse({L"foo", L"--file", L"missing.txt"});
  EXPECT_EQ(unknown.Outcome, ArgsOutcome::UnknownParameter);
  EXPECT_EQ(unknown.Offending, L"foo");
}

TEST(KeyfeedArgs_Parse, HelpTopicIsKeptBesideThePlay) {
  const ParsedArgs parsed = Parse({L"--run", L"x", L"--help", L"tags"});
  ASSERT_EQ(parsed.Outcome, ArgsOutcome::Run);
  EXPECT_EQ(parsed.Args.HelpTopic, L"tags");
  EXPECT_EQ(parsed.Args.InputSequence, L"x");
}
