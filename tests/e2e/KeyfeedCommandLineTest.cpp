// keyfeed's help texts, command-line faults and failure report: exact bytes
// on each stream and the exit code.

#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testsupport;

namespace {

const std::string kUsage =
    "Tarrowind mouse and keyboard emulation utility. Version " BUILD_FILE_VERSION "\r\n"
    "Usage:\r\n"
    " keyfeed --run \"sequence\" | --file \"commandfile\" | --help [\"topic\"]\r\n"
    "\n"
    "Where:\r\n"
    " --run    - emulate input sequence from \"sequence\" string\r\n"
    " --file   - use text file with input tags instead (can be unicode)\r\n"
    " --help   - if \"topic\" specified, diplay help on this topic, else\r\n"
    "            display this help screen. Use --help tags to display\r\n"
    "            full list of supported keys\r\n"
    "\r\n"
    "Return codes (%ERRORLEVEL%):\r\n"
    " return zero if success\r\n";

const std::string kKeyList =
    "[Printable keys]\r\n"
    " Any printable chars accepted in natural form. One exception is \"{\"\r\n"
    " bracket, because it used in tags. Simply use \"{{\" instead it.\r\n"
    "[Formatting keys]                  [Arrow keys]\r\n"
    " {ENTER}       Enter (Return) key   {LEFT}        Left arrow\r\n"
    " {INS}         Ins (Insert) key     {RIGHT}       Right arrow\r\n"
    " {DEL}         Del (Delete) key     {UP}          Up arrow\r\n"
    " {BKSP}        Backspace key        {DOWN}        Down arrow\r\n"
    " {TAB}         Tab (tabulate) key\r\n"
    "[Other keys]                       [Mode keys]\r\n"
    " {ESC}         Esc (Escape) key     {CAPSLOCK}    CapsLock key\r\n"
    " {F1}...{F24}  Keys F1 - F24        {SCROLLLOCK}  ScrollLock key\r\n"
    " {PGDN}        PgDn (Page down) key {NUMLOCK}     NumLock key\r\n"
    " {PGUP}        PgUp (Page up) key\r\n"
    " {PAUSE}       Pause key           [Shift keys]\r\n"
    " {BREAK}       Break key           (can be used as modifiers: {KEY}...{/KEY})\r\n"
    " {HOME}        Home key             {ALT}         Alt (\"Menu\") key\r\n"
    " {END}         End key              {SHIFT}       Shift key\r\n"
    " {HELP}        Typically = F1 key   {CTRL}        Ctrl key\r\n"
    " {PRTSC}       PrtSc key\r\n"
    "[\"Microsoft\" keys]\r\n"
    " {WIN}         Left Win (Windows) key - open \"Start\" menu\r\n"
    " {RWIN}        Right Win (Windows) key - open \"Start\" menu\r\n"
    " {APP}         Application key - display context menu for active control\r\n"
    "[Mouse control tags]\r\n"
    " {MPOS X,Y}    Move mouse cursor to X,Y position on screen. To specify\r\n"
    "               relative position, use +/- before coordinate: {MPOS +10,-5}\r\n"
    " {MKEY K,A}    Emulate mouse input:  K(Key) = Left, Middle, Right;\r\n"
    "               A(Action) = Press, Release, Click or DblClick\r\n"
    "[Special tags]\r\n"
    " {WAIT X}      Pause execution on X seconds\r\n";

// English messages whatever the machine's language.
const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}};

RunResult Keyfeed(const std::vector<std::wstring>& arguments,
                  const RunOptions& options = kEnglish) {
  return RunProgram(L"keyfeed", arguments, options);
}

void ExpectOutcome(const RunResult& result, const std::string& out,
                   const std::string& err, DWORD exitCode) {
  EXPECT_EQ(result.out, out);
  EXPECT_EQ(result.err, err);
  EXPECT_EQ(result.exitCode, exitCode);
}

}  // namespace

TEST(KeyfeedHelp, UsageForNoArgumentOrAHelpOptionAlone) {
  ExpectOutcome(Keyfeed({}), kUsage, "", 0);
  for (const wchar_t* option : {L"--help", L"-h", L"-?"}) {
    SCOPED_TRACE(testing::Message() << option);
    ExpectOutcome(Keyfeed({option}), kUsage, "", 0);
  }
}

TEST(KeyfeedHelp, KeyListForTheTagsTopicInAnyCase) {
  for (const auto& args : std::vector<std::vector<std::wstring>>{
           {L"-h", L"tags"}, {L"-?", L"tags"}, {L"--help", L"TAGS"}, {L"--help", L"Tags"}}) {
    SCOPED_TRACE(testing::Message() << args[0] << " " << args[1]);
    ExpectOutcome(Keyfeed(args), kKeyList, "", 0);
  }
}

TEST(KeyfeedHelp, HelpTopicWinsOverThePlay) {
  ExpectOutcome(Keyfeed({L"--run", L"{ENTER", L"--help", L"tags"}), kKeyList, "", 0);
}

TEST(KeyfeedHelp, UnknownTopicIsAFault) {
  ExpectOutcome(Keyfeed({L"--help", L"foo"}), "Invalid topic \"foo\"\r\n", "", 1);
}

TEST(KeyfeedCommandLine, OptionWithoutValueIsInvalidUsage) {
  ExpectOutcome(Keyfeed({L"--run"}), "Invalid usage of --run\r\n", "", 1);
  ExpectOutcome(Keyfeed({L"--run", L"x", L"--file"}), "Invalid usage of --file\r\n", "", 1);
  ExpectOutcome(Keyfeed({L"--help", L"tags", L"-h"}), "Invalid usage of -h\r\n", "", 1);
  // Empty quotes are no argument at all.
  ExpectOutcome(RunCommandLine(L"keyfeed", L"--run \"\"", kEnglish),
                "Invalid usage of --run\r\n", "", 1);
}

TEST(KeyfeedCommandLine, MissingCommandFileIsReportedOnErrorStream) {
  TempFolder folder;
  const std::wstring missing = (folder / L"no such file.txt").wstring();
  ExpectOutcome(Keyfeed({L"--file", missing}), "",
                "Invalid file " + std::string(missing.begin(), missing.end()) + "\r\n", 1);
  // A folder is no command file either.
  const std::wstring directory = folder.Path().wstring();
  ExpectOutcome(Keyfeed({L"--file", directory}), "",
                "Invalid file " + std::string(directory.begin(), directory.end()) + "\r\n",
                1);
}

TEST(KeyfeedCommandLine, UnknownArgumentIsReportedOnErrorStream) {
  ExpectOutcome(Keyfeed({L"foo"}), "", "Invalid parameter foo\r\n", 1);
  ExpectOutcome(Keyfeed({L"--run", L"x", L"--Run", L"y"}), "", "Invalid parameter --Run\r\n",
                1);
}

TEST(KeyfeedCommandLine, MessagesAreTranslatedWhereACatalogIsFound) {
  // A copy of the program with a German catalog beside it.
  TempFolder folder;
  std::filesystem::copy_file(ProgramPath(L"keyfeed"), folder / L"keyfeed.exe");
  const std::filesystem::path messages = folder / L"locale" / L"de" / L"LC_MESSAGES";
  std::filesystem::create_directories(messages);
  std::filesystem::copy_file(BinDir() / L"testdata" / L"translation_de.mo",
                             messages / L"keyfeed.mo");
  const RunOptions german{.environment = {{L"LANG", L"de_DE.UTF-8"}}};

  // "Ungültiger Parameter", the u with diaeresis in the console's code page.
  ExpectOutcome(RunProgram(folder / L"keyfeed.exe", {L"foo"}, german), "",
                "Ung\x81ltiger Parameter foo\r\n", 1);
  // Not translated, by design.
  ExpectOutcome(RunProgram(folder / L"keyfeed.exe", {L"--run"}, german),
                "Invalid usage of --run\r\n", "", 1);
  // LANG=C keeps English even with the catalog there.
  ExpectOutcome(RunProgram(folder / L"keyfeed.exe", {L"foo"}, kEnglish), "",
                "Invalid parameter foo\r\n", 1);
}
