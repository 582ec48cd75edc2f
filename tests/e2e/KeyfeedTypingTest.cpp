// keyfeed typing into the fixture's edit: the text that arrives there.

#include <gtest/gtest.h>

#include <regex>

#include "TestSupport.h"
#include "Utf.h"

using namespace testsupport;

namespace {

const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}};

class KeyfeedTyping : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.ClearEdit());
    ASSERT_TRUE(fixture_.Focus());
  }

  RunResult Keyfeed(const std::vector<std::wstring>& arguments) {
    return RunProgram(L"keyfeed", arguments, kEnglish);
  }

  // Plays the sequence and expects a clean run and exactly this text.
  void ExpectTyped(const std::wstring& sequence, const std::wstring& expected) {
    SCOPED_TRACE(testing::Message() << "sequence " << Utf16ToUtf8(sequence));
    ASSERT_TRUE(fixture_.ClearEdit());
    ASSERT_TRUE(fixture_.Focus());
    const RunResult result = Keyfeed({L"--run", sequence});
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == expected; }, 5s))
        << "edit holds \"" << Utf16ToUtf8(fixture_.EditText()) << "\"";
  }

  FixtureProcess fixture_;
  TempFolder folder_;
};

}  // namespace

TEST_F(KeyfeedTyping, PlainTextBracesAndKeys) {
  ExpectTyped(L"Hello, World 42!", L"Hello, World 42!");
  ExpectTyped(L"a{{b}c", L"a{b}c");
  ExpectTyped(L"ab{BKSP}c", L"ac");
  ExpectTyped(L"x{ENTER}y", L"x\r\ny");
  ExpectTyped(L"abc{LEFT}{LEFT}{DEL}", L"ac");
  ExpectTyped(L"{foo}", L"{foo}");
}

TEST_F(KeyfeedTyping, HeldShiftCapitalises) {
  ExpectTyped(L"{SHIFT}abc{/SHIFT}d", L"ABCd");
}

TEST_F(KeyfeedTyping, CharactersOutsideTheAnsiCodePageArriveFromTheCommandLine) {
  ExpectTyped(L"\u0416\u00e9\u20ac", L"\u0416\u00e9\u20ac");
}

TEST_F(KeyfeedTyping, CommandFilePlaysTheSameInEveryEncoding) {
  const std::wstring lines = L"x\u00e9{ENTER}\r\ny";
  const std::vector<std::pair<const char*, std::string>> files = {
      {"ansi", "x\xE9{ENTER}\r\ny"},
      {"utf8", "\xEF\xBB\xBF" + Utf16ToUtf8(lines)},
      {"utf16le", Utf16Le(lines)},
      {"utf16be", Utf16Be(lines)},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    const std::filesystem::path file = folder_ / (std::string(name) + ".txt");
    WriteBytesToFile(file, bytes);
    ASSERT_TRUE(fixture_.ClearEdit());
    ASSERT_TRUE(fixture_.Focus());
    const RunResult result = Keyfeed({L"--file", file.wstring()});
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"x\u00e9\r\ny"; }, 5s))
        << Utf16ToUtf8(fixture_.EditText());
  }
}

TEST_F(KeyfeedTyping, CommandFileKeepsCharactersOutsideTheAnsiCodePage) {
  const std::filesystem::path file = folder_ / L"cyrillic.txt";
  WriteBytesToFile(file, "\xEF\xBB\xBF\xD0\x96\xD0\xB4");
  const RunResult result = Keyfeed({L"--file", file.wstring()});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"\u0416\u0434"; }, 5s));
}

TEST_F(KeyfeedTyping, RunIsPlayedBeforeTheFileAndLineBreaksAreNotTyped) {
  const std::filesystem::path file = folder_ / L"lines.txt";
  WriteBytesToFile(file, "b\r\n\r\nc\n");
  const RunResult result = Keyfeed({L"--file", file.wstring(), L"--run", L"a"});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"abc"; }, 5s))
      << Utf16ToUtf8(fixture_.EditText());
}

TEST_F(KeyfeedTyping, ModifierOpenedOnOneLineIsNotHeldOnTheNext) {
  const std::filesystem::path file = folder_ / L"shift.txt";
  WriteBytesToFile(file, "{SHIFT}a\nb");
  const RunResult result = Keyfeed({L"--file", file.wstring()});
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"Ab"; }, 5s))
      << Utf16ToUtf8(fixture_.EditText());
}

TEST_F(KeyfeedTyping, EmptyFileOrMarkAlonePlaysNothingAndSucceeds) {
  for (const std::string& bytes : {std::string(), std::string("\xEF\xBB\xBF"),
                                   std::string("\xFF\xFE")}) {
    const std::filesystem::path file = folder_ / L"empty.txt";
    WriteBytesToFile(file, bytes);
    const RunResult result = Keyfeed({L"--file", file.wstring()});
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.out + result.err, "");
  }
  EXPECT_EQ(fixture_.EditText(), L"");
}

TEST_F(KeyfeedTyping, UnclosedTagOnLineThreeStopsThePlayWithTheReport) {
  const std::filesystem::path file = folder_ / L"broken.txt";
  WriteBytesToFile(file, "a\nb\nc{ENTER\nd\n");
  const RunResult result = Keyfeed({L"--file", file.wstring()});
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_EQ(result.out,
            "Execution failed!\r\nException info: EInvalidTag\r\n"
            "Tag ENTER not closed or invalid\r\nStack trace:\r\n");
  // The program carries no debug sections of its own: the names come from
  // keyfeed.debug beside it, through the program's debug link.
  EXPECT_TRUE(std::regex_search(
      result.err, std::regex(R"(\[[0-9A-F]+\] KeyfeedMain \(KeyfeedMain\.cpp:[0-9]+\)\r\n)")))
      << result.err;
  EXPECT_EQ(result.err.substr(result.err.size() - 2), "\r\n");
  // Line three's own text before the tag went out; line four never did.
  EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"abc"; }, 5s))
      << Utf16ToUtf8(fixture_.EditText());
}

TEST_F(KeyfeedTyping, UnreadableCommandFileEndsWithTheReport) {
  const std::filesystem::path file = folder_ / L"locked.txt";
  WriteBytesToFile(file, "never typed");
  // Held open with no sharing: the file exists but cannot be read.
  UniqueHandle lock(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(lock.Get(), nullptr);
  const RunResult result = Keyfeed({L"--run", L"z", L"--file", file.wstring()});
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_EQ(result.out.rfind("Execution failed!\r\nException info: EOSError\r\n", 0), 0u)
      << result.out;
  EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"z"; }, 5s));
}
