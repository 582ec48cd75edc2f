// Hostile input for both programs on the real desktop:
// - generated argument vectors (options, values, long and odd texts) from a
//   fixed seed: every run ends on its own, with an exit code the programs
//   document and, where it exits with 1, the message for its fault;
// - a hook block that a second process (this test) fills with garbage
//   counters and records while a selection runs: the capture program reads
//   nothing outside its rings and still ends on Esc;
// - output files that cannot be written: a message, exit code 1, and the
//   old file as it was.
//
// The generated vectors must never type or click anywhere but into the
// fixture: whatever keyfeed may play is built from harmless keys and runs
// with the fixture's edit focused, uiprobe never gets --manualselect, and
// the only commands that --execute may run are "cmd /c exit N".

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "CodePage.h"
#include "FixtureLayout.h"
#include "HookInterprocessComm.h"
#include "HookRing.h"
#include "TestSupport.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

using Random = std::mt19937;

constexpr std::uint32_t kSeed = 0x5EED1E55u;
// 240 uiprobe and 180 keyfeed runs in all, in batches small enough to end
// well within the test's time limit on a loaded machine.
constexpr int kBatches = 12;
constexpr int kUiprobeRunsPerBatch = 20;
constexpr int kKeyfeedRunsPerBatch = 15;
// Room for a run that ends in the unhandled-error report: reading the
// symbols for its stack trace takes many seconds on a loaded machine.
constexpr std::chrono::seconds kRunTimeout{60};
constexpr DWORD kExitSuccess = 0;
constexpr DWORD kExitFailure = 1;
constexpr DWORD kExitNothingCaptured = 3;
constexpr DWORD kExitCommandFailed = 4;

const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}};

// ---------------------------------------------------------------------------
// What every run must show.

// What Wine and the run-time print when a program dies instead of ending.
constexpr std::array<std::string_view, 5> kCrashMarks = {
    "Unhandled exception", "Unhandled page fault", "wine: ", "terminate called",
    "abnormal program termination"};

// The run ended by itself with one of the documented exit codes, said
// something when it failed, and did not crash.
void ExpectEndedOnItsOwn(const RunResult& result, std::vector<DWORD> documented) {
  EXPECT_FALSE(result.timedOut) << "killed at its timeout";
  EXPECT_TRUE(std::find(documented.begin(), documented.end(), result.exitCode) !=
              documented.end())
      << "undocumented exit code " << result.exitCode;
  if (result.exitCode == kExitFailure) {
    EXPECT_FALSE(result.out.empty() && result.err.empty()) << "exit code 1 without a message";
  }
  for (std::string_view mark : kCrashMarks) {
    EXPECT_EQ(result.out.find(mark), std::string::npos) << result.out;
    EXPECT_EQ(result.err.find(mark), std::string::npos) << result.err;
  }
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A text as the programs print it: in the ANSI code page, converted to the
// console's OEM code page.
std::string Console(std::wstring_view text) { return ConvertToOem(WideToAnsi(text)); }

// An argument as uiprobe reads it: from the ANSI command line.
std::wstring ThroughAnsi(std::wstring_view text) { return AnsiToWide(WideToAnsi(text)); }

// The argument vector for a failure message: each argument in brackets,
// control characters and units outside ASCII as escapes, long ones cut.
std::string Describe(const std::vector<std::wstring>& arguments) {
  std::ostringstream text;
  for (const std::wstring& argument : arguments) {
    text << '[';
    const size_t shown = std::min<size_t>(argument.size(), 120);
    for (size_t i = 0; i < shown; ++i) {
      const wchar_t c = argument[i];
      if (c >= 0x20 && c < 0x7F) {
        text << static_cast<char>(c);
      } else {
        text << "\\u" << std::hex << static_cast<unsigned>(c) << std::dec;
      }
    }
    if (shown < argument.size()) text << "...(" << argument.size() << " units)";
    text << "] ";
  }
  return text.str();
}

bool FolderIsEmpty(const fs::path& folder) {
  std::error_code error;
  return fs::is_empty(folder, error) && !error;
}

std::wstring FullPath(const fs::path& file) {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD length = GetFullPathNameW(file.c_str(), MAX_PATH * 2, buffer, nullptr);
  if (length == 0 || length >= MAX_PATH * 2) return file.wstring();
  return std::wstring(buffer, length);
}

// ---------------------------------------------------------------------------
// Generated texts.

size_t Below(Random& random, size_t bound) {
  return std::uniform_int_distribution<size_t>(0, bound - 1)(random);
}

bool Chance(Random& random, int percent) { return Below(random, 100) < size_t(percent); }

template <class T>
const T& PickFrom(Random& random, const std::vector<T>& items) {
  return items[Below(random, items.size())];
}

// Characters of the odd texts: printable ASCII but the double quote (no
// argument can hold one) and the path separators and the colon (an odd text
// may become a file name, which must stay in the run's folder); blanks and
// control characters; letters of the ANSI code page and from outside it.
const std::wstring& OddCharacters() {
  static const std::wstring characters = [] {
    std::wstring text;
    for (wchar_t c = 0x21; c < 0x7F; ++c) {
      if (c != L'"' && c != L'\\' && c != L'/' && c != L':') text += c;
    }
    text += L"  \t\x01\x07\x1b\n";
    text += L"\u00e9\u00df\u00fc\u20ac\u0436\u03a9\u4e2d";
    return text;
  }();
  return characters;
}

// The names that Windows keeps for devices, with any extension: reading one
// may wait for ever (a serial port), so no generated text may be one.
bool IsDeviceName(std::wstring_view text) {
  std::wstring stem(text.substr(0, text.find(L'.')));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  for (wchar_t& c : stem) c = static_cast<wchar_t>(towlower(c));
  static const std::vector<std::wstring> kDevices = [] {
    std::vector<std::wstring> names = {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$",
                                       L"clock$"};
    for (int n = 1; n <= 9; ++n) {
      names.push_back(L"com" + std::to_wstring(n));
      names.push_back(L"lpt" + std::to_wstring(n));
    }
    return names;
  }();
  return std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end();
}

// The odd characters that neither split a value at a comma nor end it.
const std::wstring& OnePartCharacters() {
  static const std::wstring characters = [] {
    std::wstring text;
    for (wchar_t c : OddCharacters()) {
      if (c > L' ' && c != L',') text += c;
    }
    return text;
  }();
  return characters;
}

// An odd text: mostly short, sometimes some hundred units, rarely thousands.
std::wstring OddText(Random& random, const std::wstring& characters = OddCharacters()) {
  for (;;) {
    size_t length = 1 + Below(random, 12);
    const size_t kind = Below(random, 100);
    if (kind >= 98) {
      length = 3000 + Below(random, 3000);
    } else if (kind >= 90) {
      length = 200 + Below(random, 400);
    } else if (kind >= 70) {
      length = 13 + Below(random, 68);
    }
    std::wstring text;
    while (text.size() < length) {
      if (Chance(random, 2)) {
        text += L"\U0001F600";  // a pair of surrogates
      } else {
        text += characters[Below(random, characters.size())];
      }
    }
    // Blanks alone make an argument that reads as none or as something else.
    const bool onlyBlanks = text.find_first_not_of(L" \t\n") == std::wstring::npos;
    if (!onlyBlanks && !IsDeviceName(text)) return text;
  }
}

// ---------------------------------------------------------------------------
// Generated vectors made of written pieces.
//
// A vector is a row of pieces, each of one or more arguments written here
// together with what the command-line rules make of it, and the generator
// notes the outcome as it puts the pieces together, so that no expectation
// comes from reading a vector back:
// - a setting (an option with its value) changes what the run does at its
//   end, and the reading goes on after it;
// - an ending piece (a fault, or uiprobe's help) decides the outcome, and
//   nothing after it is ever read;
// - a closing piece (an option without its value) stands last and decides
//   the outcome.
// Without an ending or closing piece the last of each setting decides.

// How a run must end.
struct Outcome {
  enum class Kind { Usage, KeyList, Message, NotAnInteger, Capture, Play, AnyEnd };
  Kind kind = Kind::AnyEnd;
  std::string out;  // Message
  std::string err;  // Message; NotAnInteger: the part that is no integer, as shown
};

Outcome Message(std::string out, std::string err) {
  return {Outcome::Kind::Message, std::move(out), std::move(err)};
}

// An argument in a message: read from the ANSI command line, shown in the
// console's code page.
std::string Shown(std::wstring_view argument) { return Console(ThroughAnsi(argument)); }

Outcome InvalidParameter(std::wstring_view argument) {
  return Message("", "Invalid parameter " + Shown(argument) + "\r\n");
}

Outcome InvalidUsageOf(std::wstring_view option) {
  return Message("Invalid usage of " + Shown(option) + "\r\n", "");
}

// The rows of pieces that a sweep puts together: the arguments, the
// outcome of the first ending or closing piece, and the settings.
template <class Settings>
struct Vector {
  std::vector<std::wstring> arguments;
  std::optional<Outcome> ended;
  Settings settings;

  // A setting: `change` applies it unless the reading has already ended.
  template <class Change>
  void Set(std::vector<std::wstring> piece, Change change) {
    if (!ended) change(settings);
    Append(std::move(piece));
  }
  void Set(std::vector<std::wstring> piece) {
    Set(std::move(piece), [](Settings&) {});
  }
  void End(std::vector<std::wstring> piece, Outcome outcome) {
    if (!ended) ended = std::move(outcome);
    Append(std::move(piece));
  }

 private:
  void Append(std::vector<std::wstring> piece) {
    arguments.insert(arguments.end(), piece.begin(), piece.end());
  }
};

// An argument that is no option: a near miss of one, or an odd text that
// does not begin with "-" as every option does.
template <class Settings>
void AddNoOption(Random& random, const std::vector<std::wstring>& nearMisses, bool nearMiss,
                 Vector<Settings>& vector) {
  std::wstring text = nearMiss ? PickFrom(random, nearMisses) : OddText(random);
  while (text.front() == L'-' && !nearMiss) text = OddText(random);
  vector.End({text}, InvalidParameter(text));
}

// ---------------------------------------------------------------------------
// uiprobe's pieces.

enum class FileKind { Writable, Unwritable, Unknown };

struct NamedFile {
  std::wstring name;
  FileKind kind = FileKind::Unknown;
};

// A command that --execute may run, and the message of its failure; none
// for a command that ends with 0.
struct Command {
  const wchar_t* line;
  const char* failure;
};

struct UiprobeSettings {
  std::optional<bool> objectThere;  // --position: an object at the point, or nothing
  std::optional<NamedFile> createPath;
  std::optional<NamedFile> outputFile;
  const Command* command = nullptr;
};

using UiprobeVector = Vector<UiprobeSettings>;

const std::vector<std::wstring> kValueOptions = {L"--position", L"--createpath", L"--outputflags",
                                                 L"--outputformat", L"--outputfile"};
const std::vector<std::wstring> kHelpOptions = {L"--help", L"-h", L"-?"};
const std::vector<std::wstring> kUiprobeNearMisses = {
    L"--POSITION", L"--Position", L"--position=10,10", L"-position", L"--positio", L"---help",
    L"--", L"-", L"/?", L"/h", L"-H", L"--outputFile", L"--append", L"--execute=1",
    L"\u2014help", L"--manual-select", L"position"};

// Points far off the screen: there is no object there.
const std::vector<std::wstring> kNothingPositions = {
    L"-20000,-20000", L"2147483647,2147483647", L"-2147483648,-2147483648",
    L"$7FFFFFFF,$7FFFFFFF", L"-$4E20,-0x4E20"};
// Values that do not split into two parts.
const std::vector<std::wstring> kWrongPartsPositions = {
    L"500", L"1,2,3", L"1 2 3", L"1,,2", L"   ", L"a,b,c", L"1,2,3,4,5"};
// Values of two parts, and the part that is no integer.
const std::vector<std::pair<std::wstring, std::wstring>> kNotAnIntegerPositions = {
    {L"500,abc", L"abc"},
    {L"abc,500", L"abc"},
    {L"500,", L""},
    {L",5", L""},
    {L"   ,", L""},
    {L"2147483648,0", L"2147483648"},
    {L"0,-2147483649", L"-2147483649"},
    {L"0x,1", L"0x"},
    {L"$,1", L"$"},
    {L"1.5,2", L"1.5"},
    {L"12e3,4", L"12e3"},
    {L"+-1,2", L"+-1"},
    {L"\u00e9,1", L"\u00e9"},
    {L"1,0x1G", L"0x1G"}};

const Command kCommands[] = {
    {L"cmd /c exit 0", nullptr},
    {L"cmd /c exit 0", nullptr},
    {L"cmd /c exit 0", nullptr},
    {L"cmd /c exit 5", "Can't execute \"cmd /c exit 5\". %ERRORLEVEL% = 5\r\n"},
    {L"cmd /c exit 1", "Can't execute \"cmd /c exit 1\". %ERRORLEVEL% = 1\r\n"},
    {L"cmd /c 'exit 7'", "Can't execute \"cmd /c \"exit 7\"\". %ERRORLEVEL% = 7\r\n"},
    {L"cmd /c exit -1", "Can't execute \"cmd /c exit -1\". %ERRORLEVEL% = -1\r\n"},
    {L"cmd /c exit 255", "Can't execute \"cmd /c exit 255\". %ERRORLEVEL% = 255\r\n"}};

const std::vector<std::wstring> kWritableNames = {
    L"out.txt", L"Ausgabe \u00fc.txt", L"two  blanks.txt", L"x", L"semi;colon,comma.txt",
    L"percent%PATH%.txt", L"-dash", L"abc.", L"trailing blank ",
    std::wstring(100, L'l') + L".txt"};
const std::vector<std::wstring> kUnwritableNames = {
    L"a?b.txt", L"a*b", L"a<b", L"a>b", L"a|b", L"..", L".", L"missing folder\\out.txt",
    std::wstring(300, L'a'), L"ctl\x01x"};

const std::vector<std::wstring> kFormats = {L"ini", L"conf", L"xml", L"vallines", L"valtabs",
                                            L"valcsv", L"INI", L"Xml", L""};

// The point written in one of the forms that the position reader accepts.
std::wstring PointText(Random& random, POINT point) {
  const auto hex = [](long value, bool upper) {
    std::wostringstream text;
    if (upper) text << std::uppercase;
    text << std::hex << value;
    return text.str();
  };
  const std::wstring x = std::to_wstring(point.x);
  const std::wstring y = std::to_wstring(point.y);
  switch (Below(random, 9)) {
    case 0: return x + L"," + y;
    case 1: return L" " + x + L" , " + y + L" ";
    case 2: return x + L" " + y;
    case 3: return x + L",\t" + y;
    case 4: return L"$" + hex(point.x, true) + L",$" + hex(point.y, false);
    case 5: return L"0x" + hex(point.x, true) + L",0X" + hex(point.y, false);
    case 6: return L"x" + hex(point.x, false) + L",X" + hex(point.y, true);
    case 7: return L"+" + x + L",+" + y;
    default: return L"000" + x + L",00" + y;
  }
}

// --position and a value; a well-formed vector mostly names a place. An
// odd value without a comma, blank or control character is one part.
void AddPosition(Random& random, const std::vector<POINT>& objects, bool wellFormed,
                 UiprobeVector& vector) {
  const size_t kind = Below(random, 100);
  const auto place = [&](std::wstring value, bool objectThere) {
    vector.Set({L"--position", value}, [&](UiprobeSettings& s) { s.objectThere = objectThere; });
  };
  if (kind < (wellFormed ? 75u : 55u)) {
    place(PointText(random, PickFrom(random, objects)), true);
  } else if (kind < (wellFormed ? 88u : 67u)) {
    place(PickFrom(random, kNothingPositions), false);
  } else if (kind < (wellFormed ? 92u : 77u)) {
    const std::wstring& value = PickFrom(random, kWrongPartsPositions);
    vector.End({L"--position", value}, Message("", "Invalid position " + Shown(value) + "\r\n"));
  } else if (kind < (wellFormed ? 96u : 90u)) {
    const auto& [value, part] = PickFrom(random, kNotAnIntegerPositions);
    vector.End({L"--position", value}, {Outcome::Kind::NotAnInteger, "", Shown(part)});
  } else if (Chance(random, 50)) {
    const std::wstring value = OddText(random, OnePartCharacters());
    vector.End({L"--position", value}, Message("", "Invalid position " + Shown(value) + "\r\n"));
  } else {
    vector.End({L"--position", OddText(random)}, {});
  }
}

NamedFile FileValue(Random& random) {
  const size_t kind = Below(random, 100);
  if (kind < 60) return {PickFrom(random, kWritableNames), FileKind::Writable};
  if (kind < 85) return {PickFrom(random, kUnwritableNames), FileKind::Unwritable};
  return {OddText(random), FileKind::Unknown};
}

std::wstring FlagsText(Random& random) {
  if (Chance(random, 20)) return OddText(random);
  static const std::wstring kLetters = L"mhnrstcSbpvadHRTxyz%";
  std::wstring flags;
  const size_t length = 1 + Below(random, 20);
  while (flags.size() < length) flags += kLetters[Below(random, kLetters.size())];
  return flags;
}

void AddCommand(Random& random, UiprobeVector& vector) {
  const Command& command = kCommands[Below(random, std::size(kCommands))];
  vector.Set({L"--execute", command.line}, [&](UiprobeSettings& s) { s.command = &command; });
}

void AddFile(const std::wstring& option, NamedFile file, UiprobeVector& vector) {
  vector.Set({option, file.name}, [&](UiprobeSettings& s) {
    (option == L"--createpath" ? s.createPath : s.outputFile) = file;
  });
}

// An option that takes a value with another option's name as its value: a
// position of one part, a file of that name, or flags and formats. After
// "--execute" as a value comes a command, which is then no option's value.
void AddOptionAsValue(Random& random, const std::wstring& option, UiprobeVector& vector) {
  std::vector<std::wstring> names = kValueOptions;
  names.insert(names.end(), {L"--execute", L"--help", L"--appendoutput"});
  const std::wstring& value = PickFrom(random, names);
  if (option == L"--position") {
    vector.End({option, value}, Message("", "Invalid position " + Shown(value) + "\r\n"));
  } else if (option == L"--createpath" || option == L"--outputfile") {
    AddFile(option, {value, FileKind::Writable}, vector);
  } else {
    vector.Set({option, value});
  }
  if (value == L"--execute") {
    const wchar_t* command = kCommands[Below(random, std::size(kCommands))].line;
    vector.End({command}, InvalidParameter(command));
  }
}

// An option that takes a value, with a fitting one, another option's name
// or an odd text; last, sometimes without its value.
void AddValueOption(Random& random, const std::vector<POINT>& objects, bool wellFormed,
                    bool last, UiprobeVector& vector) {
  const std::wstring& option = PickFrom(random, kValueOptions);
  if (!wellFormed && Chance(random, 10)) {
    if (last) {
      vector.End({option}, InvalidUsageOf(option));
    } else {
      AddOptionAsValue(random, option, vector);
    }
  } else if (!wellFormed && Chance(random, 10) && option != L"--position") {
    if (option == L"--createpath" || option == L"--outputfile") {
      AddFile(option, {OddText(random), FileKind::Unknown}, vector);
    } else {
      vector.Set({option, OddText(random)});
    }
  } else if (option == L"--position") {
    AddPosition(random, objects, wellFormed, vector);
  } else if (option == L"--createpath" || option == L"--outputfile") {
    AddFile(option, FileValue(random), vector);
  } else if (option == L"--outputflags") {
    vector.Set({option, FlagsText(random)});
  } else {
    const std::wstring& format = PickFrom(random, kFormats);
    vector.Set({option, format.empty() ? OddText(random) : format});
  }
}

// A well-formed vector holds only options with fitting values and mostly
// reaches the capture and the stages after it; any other adds near misses,
// odd texts, options without values and values that are options.
UiprobeVector GenerateUiprobeVector(Random& random, const std::vector<POINT>& objects) {
  const bool wellFormed = Chance(random, 55);
  UiprobeVector vector;
  if (wellFormed || Chance(random, 40)) AddPosition(random, objects, wellFormed, vector);
  const size_t count = Below(random, wellFormed ? 6 : 9);
  for (size_t i = 0; i < count; ++i) {
    const bool last = i + 1 == count;
    const size_t kind = Below(random, wellFormed ? 75 : 100);
    if (kind < 50) {
      AddValueOption(random, objects, wellFormed, last, vector);
    } else if (kind < 65) {
      AddCommand(random, vector);
    } else if (kind < 75) {
      vector.Set({L"--appendoutput"});
    } else if (kind < 78) {
      vector.End({PickFrom(random, kHelpOptions)}, {Outcome::Kind::Usage});
    } else if (kind < 86) {
      // --execute without its command can only stand last.
      if (last) {
        vector.End({L"--execute"}, InvalidUsageOf(L"--execute"));
      } else {
        AddCommand(random, vector);
      }
    } else {
      AddNoOption(random, kUiprobeNearMisses, kind < 93, vector);
    }
  }
  return vector;
}

// The outcome of the vector: the piece that ended the reading, else the
// settings.
Outcome UiprobeOutcome(const UiprobeVector& vector) {
  if (vector.arguments.empty()) return {Outcome::Kind::Usage};
  if (vector.ended) return *vector.ended;
  if (!vector.settings.objectThere) {
    return Message("", "Invalid usage - please specify capture mode.\r\n");
  }
  return {Outcome::Kind::Capture};
}

const std::string kFailureReport = "Execution failed!\r\nException info: ";

void CheckUiprobeRun(const UiprobeVector& vector, const RunResult& result,
                     const fs::path& runFolder) {
  using Kind = Outcome::Kind;
  ExpectEndedOnItsOwn(result, {kExitSuccess, kExitFailure, kExitNothingCaptured,
                               kExitCommandFailed});
  const Outcome expected = UiprobeOutcome(vector);
  switch (expected.kind) {
    case Kind::Usage:
      EXPECT_EQ(result.exitCode, kExitSuccess);
      EXPECT_TRUE(StartsWith(result.out, "Tarrowind user interface capture utility. Version "))
          << result.out;
      EXPECT_EQ(result.err, "");
      EXPECT_TRUE(FolderIsEmpty(runFolder));
      return;
    case Kind::Message:
      EXPECT_EQ(result.exitCode, kExitFailure);
      EXPECT_EQ(result.out, expected.out);
      EXPECT_EQ(result.err, expected.err);
      EXPECT_TRUE(FolderIsEmpty(runFolder));
      return;
    case Kind::NotAnInteger:
      EXPECT_EQ(result.exitCode, kExitFailure);
      EXPECT_EQ(result.out, "");
      EXPECT_TRUE(StartsWith(result.err, "Exception EConvertError in module uiprobe.exe at "))
          << result.err;
      EXPECT_TRUE(EndsWith(result.err, ".\r\n'" + expected.err +
                                           "' is not a valid integer value.\r\n\r\n"))
          << result.err;
      EXPECT_TRUE(FolderIsEmpty(runFolder));
      return;
    case Kind::Capture:
      break;
    default:
      return;
  }

  const UiprobeSettings& settings = vector.settings;
  if (!*settings.objectThere) {
    EXPECT_EQ(result.exitCode, kExitNothingCaptured);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_TRUE(FolderIsEmpty(runFolder));
    return;
  }
  if (settings.command != nullptr && settings.command->failure != nullptr) {
    EXPECT_EQ(result.exitCode, kExitCommandFailed);
    EXPECT_EQ(result.out, settings.command->failure);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(FolderIsEmpty(runFolder));
    return;
  }

  const NamedFile output = settings.outputFile.value_or(NamedFile{{}, FileKind::Writable});
  const NamedFile path = settings.createPath.value_or(NamedFile{{}, FileKind::Writable});
  const bool fails = output.kind == FileKind::Unwritable || path.kind == FileKind::Unwritable;
  const bool mayFail = output.kind == FileKind::Unknown || path.kind == FileKind::Unknown;
  if (fails || (mayFail && result.exitCode == kExitFailure)) {
    EXPECT_EQ(result.exitCode, kExitFailure);
    EXPECT_TRUE(StartsWith(result.out, kFailureReport)) << result.out;
    return;
  }
  EXPECT_EQ(result.exitCode, kExitSuccess);
  EXPECT_EQ(result.err, "");
  if (settings.outputFile) {
    EXPECT_EQ(result.out, "");
    if (output.kind == FileKind::Writable) {
      EXPECT_TRUE(fs::exists(runFolder / output.name));
    }
  } else {
    EXPECT_NE(result.out, "");
  }
  if (settings.createPath && path.kind == FileKind::Writable) {
    EXPECT_TRUE(fs::exists(runFolder / path.name));
  }
}

// ---------------------------------------------------------------------------
// keyfeed's pieces.

enum class PlayOutcome { Plays, TagFault, ReadFault };

// A command file that the sweep prepares, with how its play ends.
struct CommandFile {
  std::wstring name;
  std::string bytes;
  PlayOutcome outcome;
};

// Printable bytes of the ANSI code page, with line breaks, and never a brace
// that opens a tag.
std::string OddAnsiBytes(Random& random) {
  std::string bytes;
  for (int i = 0; i < 40; ++i) {
    if (i % 12 == 11) {
      bytes += "\r\n";
      continue;
    }
    unsigned char c = 0;
    do {
      c = static_cast<unsigned char>(Chance(random, 70) ? 0x20 + Below(random, 0x5F)
                                                        : 0xA0 + Below(random, 0x60));
    } while (c == '{' || c == '"');
    bytes += static_cast<char>(c);
  }
  return bytes;
}

constexpr wchar_t kLockedFile[] = L"locked.txt";
constexpr wchar_t kCommandFolder[] = L"a folder";

std::vector<CommandFile> CommandFiles(Random& random) {
  const std::string bom = "\xEF\xBB\xBF";
  return {
      {L"ansi.txt", "ab{ENTER}\r\ncd \xE9\r\n", PlayOutcome::Plays},
      {L"utf8 bom.txt", bom + "Zeile \xD0\xB6{ENTER}\nzwei\n", PlayOutcome::Plays},
      {L"utf16le.txt", Utf16Le(L"x{ENTER}\r\n\u0436\u20ac"), PlayOutcome::Plays},
      {L"utf16be.txt", Utf16Be(L"y{LEFT}\r\n\u00df"), PlayOutcome::Plays},
      {L"empty.txt", "", PlayOutcome::Plays},
      {L"bom only.txt", bom, PlayOutcome::Plays},
      {L"separators.txt", "a\vb\fc\rd\n\ne", PlayOutcome::Plays},
      {L"unicode separators.txt", bom + "e\xE2\x80\xA8" "f\xE2\x80\xA9g", PlayOutcome::Plays},
      {L"zero byte.txt", std::string("ab\0{ENTER", 9), PlayOutcome::Plays},
      {L"odd length.txt", "\xFF\xFE" "a\0b\0c", PlayOutcome::Plays},
      {L"odd bytes.txt", OddAnsiBytes(random), PlayOutcome::Plays},
      {L"Datei mit Leerzeichen \u0436.txt", "q", PlayOutcome::Plays},
      {std::wstring(150, L'n') + L".txt", "n", PlayOutcome::Plays},
      {L"unclosed third line.txt", "a\r\nb\r\n{ENTER\r\nc\r\n", PlayOutcome::TagFault},
      {L"only a brace.txt", bom + "{", PlayOutcome::TagFault},
      // Held with no sharing for the whole sweep: it exists, but cannot be read.
      {kLockedFile, "locked{ENTER}", PlayOutcome::ReadFault},
  };
}

struct KeyfeedSettings {
  bool sequenceFault = false;  // --run: a tag that is never closed
  std::optional<PlayOutcome> file;
  std::optional<Outcome> topic;  // --help: the key list or the invalid topic
};

using KeyfeedVector = Vector<KeyfeedSettings>;

const std::vector<std::wstring> kKeyfeedOptions = {L"--run", L"--file", L"--help", L"-h", L"-?"};
const std::vector<std::wstring> kKeyfeedNearMisses = {
    L"--RUN", L"--Run", L"-run", L"--run=x", L"--files", L"/run", L"--", L"-",
    L"run",   L"file",  L"help", L"tags",    L"-H",      L"--h"};
// Help topics, and whether they name the key list: "tags" in any case.
const std::vector<std::pair<std::wstring, bool>> kTopics = {
    {L"tags", true},   {L"TAGS", true}, {L"Tags", true},   {L"tAgS", true},
    {L"tags ", false}, {L"tag", false}, {L"tagss", false}};

// Pieces of a sequence that only type into the focused edit: characters,
// keys that move the caret or edit, tags that are no tags and are typed as
// they stand, short pauses and a move of the cursor by nothing.
const std::vector<std::wstring> kHarmlessTags = {
    L"{ENTER}", L"{BKSP}", L"{DEL}", L"{LEFT}", L"{RIGHT}", L"{UP}", L"{DOWN}",
    L"{HOME}", L"{END}", L"{INS}", L"{PGUP}", L"{PGDN}", L"{ESC}", L"{{",
    L"{NOSUCHKEY}", L"{}", L"{enter}", L"{MPOS abc}", L"{MPOS 1,2,3}", L"{MKEY Left}",
    L"{MKEY Foo,Click}", L"{MPOS +0,+0}", L"{WAIT 0}", L"{WAIT -3}", L"{WAIT 0.01}",
    L"{WAIT 0,02}"};

std::wstring TypableCharacters(Random& random, size_t count) {
  static const std::wstring kCharacters = [] {
    std::wstring text;
    for (wchar_t c = 0x20; c < 0x7F; ++c) {
      if (c != L'"' && c != L'{') text += c;
    }
    text += L"\u00e9\u00df\u0436\u20ac\u4e2d";
    return text;
  }();
  std::wstring text;
  while (text.size() < count) text += kCharacters[Below(random, kCharacters.size())];
  return text;
}

// --run with a sequence that types only into the focused edit; a faulty
// one ends with a tag that is never closed.
void AddSequence(Random& random, KeyfeedVector& vector) {
  const bool faulty = Chance(random, 15);
  std::wstring sequence;
  const size_t items = 1 + Below(random, 8);
  for (size_t i = 0; i < items; ++i) {
    const size_t kind = Below(random, 10);
    if (kind < 5) {
      sequence += TypableCharacters(random, 1 + Below(random, 4));
    } else if (kind < 6) {
      sequence += L"{SHIFT}" + TypableCharacters(random, 1 + Below(random, 2)) + L"{/SHIFT}";
    } else {
      sequence += PickFrom(random, kHarmlessTags);
    }
  }
  if (faulty) {
    std::wstring tail = TypableCharacters(random, Below(random, 6));
    tail.erase(std::remove(tail.begin(), tail.end(), L'}'), tail.end());
    sequence += Chance(random, 50) ? L"{ENTER" + tail : L"{" + tail;
  }
  vector.Set({L"--run", sequence}, [&](KeyfeedSettings& s) { s.sequenceFault = faulty; });
}

Outcome InvalidFile(std::wstring_view name) {
  return Message("", "Invalid file " + Shown(name) + "\r\n");
}

// --file with a prepared file, or with a name that is no file.
void AddFile(Random& random, const std::vector<CommandFile>& files, KeyfeedVector& vector) {
  const size_t kind = Below(random, 100);
  if (kind < 68) {
    const CommandFile& file = kind < 60 ? PickFrom(random, files) : files.back();
    vector.Set({L"--file", file.name}, [&](KeyfeedSettings& s) { s.file = file.outcome; });
    return;
  }
  const std::wstring name =
      kind < 88 ? L"missing-" + OddText(random)
                : PickFrom(random, std::vector<std::wstring>{kCommandFolder, L".", L".."});
  vector.End({L"--file", name}, InvalidFile(name));
}

void AddTopic(Random& random, KeyfeedVector& vector) {
  const std::wstring& option = PickFrom(random, kHelpOptions);
  auto [topic, keyList] = Chance(random, 60) ? PickFrom(random, kTopics)
                                             : std::pair<std::wstring, bool>{OddText(random), false};
  // The project treats an unknown topic as a fault of the command line.
  const Outcome outcome = keyList ? Outcome{Outcome::Kind::KeyList}
                                  : Message("Invalid topic \"" + Shown(topic) + "\"\r\n", "");
  vector.Set({option, topic}, [&](KeyfeedSettings& s) { s.topic = outcome; });
}

// An option without its value: alone, a help option asks for the usage;
// last, it lacks its value; anywhere else the next option is its value.
void AddBareOption(Random& random, bool last, KeyfeedVector& vector) {
  const std::wstring& option = PickFrom(random, kKeyfeedOptions);
  if (last) {
    const bool help = option != L"--run" && option != L"--file";
    vector.End({option}, help && vector.arguments.empty() ? Outcome{Outcome::Kind::Usage}
                                                          : InvalidUsageOf(option));
  } else {
    const std::wstring& value = PickFrom(random, kKeyfeedOptions);
    if (option == L"--run") {
      vector.Set({option, value}, [](KeyfeedSettings& s) { s.sequenceFault = false; });
    } else if (option == L"--file") {
      vector.End({option, value}, InvalidFile(value));
    } else {
      const Outcome outcome = Message("Invalid topic \"" + Shown(value) + "\"\r\n", "");
      vector.Set({option, value}, [&](KeyfeedSettings& s) { s.topic = outcome; });
    }
  }
}

// A well-formed vector only plays sequences and command files; any other
// adds help topics, near misses, odd texts and options without values.
KeyfeedVector GenerateKeyfeedVector(Random& random, const std::vector<CommandFile>& files) {
  const bool wellFormed = Chance(random, 50);
  KeyfeedVector vector;
  const size_t count =
      wellFormed ? 1 + Below(random, 3) : (Chance(random, 3) ? 0 : 1 + Below(random, 6));
  for (size_t i = 0; i < count; ++i) {
    const size_t kind = Below(random, wellFormed ? 60 : 100);
    if (kind < 35) {
      AddSequence(random, vector);
    } else if (kind < 60) {
      AddFile(random, files, vector);
    } else if (kind < 68) {
      AddTopic(random, vector);
    } else if (kind < 79) {
      AddBareOption(random, i + 1 == count, vector);
    } else {
      AddNoOption(random, kKeyfeedNearMisses, kind < 89, vector);
    }
  }
  return vector;
}

// The outcome of the vector: the piece that ended the reading, else the
// help topic, else the play. The whole line is read before anything plays.
Outcome KeyfeedOutcome(const KeyfeedVector& vector) {
  if (vector.arguments.empty()) return {Outcome::Kind::Usage};
  if (vector.ended) return *vector.ended;
  if (vector.settings.topic) return *vector.settings.topic;
  return {Outcome::Kind::Play};
}

void CheckKeyfeedRun(const KeyfeedVector& vector, const RunResult& result) {
  using Kind = Outcome::Kind;
  ExpectEndedOnItsOwn(result, {kExitSuccess, kExitFailure});
  const Outcome expected = KeyfeedOutcome(vector);
  switch (expected.kind) {
    case Kind::Usage:
      EXPECT_EQ(result.exitCode, kExitSuccess);
      EXPECT_TRUE(
          StartsWith(result.out, "Tarrowind mouse and keyboard emulation utility. Version "))
          << result.out;
      EXPECT_EQ(result.err, "");
      return;
    case Kind::KeyList:
      EXPECT_EQ(result.exitCode, kExitSuccess);
      EXPECT_TRUE(StartsWith(result.out, "[Printable keys]\r\n")) << result.out;
      EXPECT_EQ(result.err, "");
      return;
    case Kind::Message:
      EXPECT_EQ(result.exitCode, kExitFailure);
      EXPECT_EQ(result.out, expected.out);
      EXPECT_EQ(result.err, expected.err);
      return;
    case Kind::Play:
      break;
    default:
      return;
  }
  // The sequence of --run plays before the command file.
  const KeyfeedSettings& settings = vector.settings;
  std::optional<std::string> fault;
  if (settings.sequenceFault || settings.file == PlayOutcome::TagFault) {
    fault = "EInvalidTag";
  } else if (settings.file == PlayOutcome::ReadFault) {
    fault = "EOSError";
  }
  if (fault) {
    EXPECT_EQ(result.exitCode, kExitFailure);
    EXPECT_TRUE(StartsWith(result.out, kFailureReport + *fault + "\r\n")) << result.out;
  } else {
    EXPECT_EQ(result.exitCode, kExitSuccess);
    EXPECT_EQ(result.out + result.err, "");
  }
}

// ---------------------------------------------------------------------------
// The sweeps.

class HostileUiprobeArguments : public testing::TestWithParam<int> {};

TEST_P(HostileUiprobeArguments, GeneratedVectors_EachEndsWithItsDocumentedOutcome) {
  FixtureProcess fixture;
  TempFolder root;
  std::vector<POINT> objects;
  for (const fixture::ControlSpec& control : fixture::kControls) {
    objects.push_back(fixture.ControlCentre(control.id));
  }
  Random random(kSeed + static_cast<std::uint32_t>(GetParam()));
  for (int run = 0; run < kUiprobeRunsPerBatch; ++run) {
    const UiprobeVector vector = GenerateUiprobeVector(random, objects);
    SCOPED_TRACE(testing::Message() << "run " << run << ": uiprobe " << Describe(vector.arguments));
    const fs::path folder = root / (L"run-" + std::to_wstring(run));
    ASSERT_TRUE(fs::create_directory(folder));
    const RunResult result =
        RunProgram(L"uiprobe", vector.arguments,
                   RunOptions{.workingDirectory = folder,
                              .environment = kEnglish.environment,
                              .timeout = kRunTimeout});
    CheckUiprobeRun(vector, result, folder);
  }
}

INSTANTIATE_TEST_SUITE_P(Batch, HostileUiprobeArguments, testing::Range(0, kBatches));

class HostileKeyfeedArguments : public testing::TestWithParam<int> {};

TEST_P(HostileKeyfeedArguments, GeneratedVectors_EachEndsWithItsDocumentedOutcome) {
  FixtureProcess fixture;
  TempFolder folder;
  Random random(kSeed + 100 + static_cast<std::uint32_t>(GetParam()));
  const std::vector<CommandFile> files = CommandFiles(random);
  for (const CommandFile& file : files) WriteBytesToFile(folder / file.name, file.bytes);
  fs::create_directory(folder / kCommandFolder);
  const UniqueHandle lock(CreateFileW((folder / kLockedFile).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);

  for (int run = 0; run < kKeyfeedRunsPerBatch; ++run) {
    const KeyfeedVector vector = GenerateKeyfeedVector(random, files);
    SCOPED_TRACE(testing::Message() << "run " << run << ": keyfeed " << Describe(vector.arguments));
    // Whatever is played goes into the edit.
    if (!fixture.EditHasFocus()) {
      ASSERT_TRUE(fixture.Focus());
    }
    const RunResult result =
        RunProgram(L"keyfeed", vector.arguments,
                   RunOptions{.workingDirectory = folder.Path(),
                              .environment = kEnglish.environment,
                              .timeout = kRunTimeout});
    CheckKeyfeedRun(vector, result);
    // No key of a play moves the focus. The unit tests that run beside this
    // one may show windows of their own, so only a focus moved within the
    // fixture is the play's doing.
    if (KeyfeedOutcome(vector).kind == Outcome::Kind::Play && !fixture.EditHasFocus()) {
      DWORD owner = 0;
      GetWindowThreadProcessId(GetForegroundWindow(), &owner);
      EXPECT_NE(owner, fixture.ProcessId()) << "the play moved the focus from the edit";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Batch, HostileKeyfeedArguments, testing::Range(0, kBatches));

// ---------------------------------------------------------------------------
// A hostile writer of the hook block.

// Moves the pointer with xdotool, as a user's hand would (the hook sees it),
// and waits until the system reports it there.
bool MovePointerTo(POINT point) {
  if (!Xdotool("mousemove " + std::to_string(point.x) + " " + std::to_string(point.y))) {
    return false;
  }
  return WaitUntil(
      [&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
      },
      10s);
}

// The word that fills everything around the two rings: read as a key, it is
// Ctrl. A capture program that read a key from outside the keyboard ring
// would, with the pointer's object framed, select it and write its output
// instead of ending with nothing captured.
constexpr std::int32_t kPoison = VK_CONTROL;

// The block made by this test before the capture program starts, so that the
// program opens it as it is: a mapping larger than the block, every word
// outside the block's fields and the reserved words set to the poison.
class HostileHookBlock {
 public:
  static constexpr DWORD kMappingSize = 64 * 1024;

  HostileHookBlock() {
    mapping_.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      kMappingSize, kHookBlockName));
    if (!mapping_) throw std::runtime_error("cannot make the hook block");
    view_ = MapViewOfFile(mapping_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (view_ == nullptr) throw std::runtime_error("cannot map the hook block");
    MEMORY_BASIC_INFORMATION region{};
    VirtualQuery(view_, &region, sizeof region);
    words_ = region.RegionSize / sizeof(std::int32_t);
    for (size_t i = kHookBlockSize / sizeof(std::int32_t); i < words_; ++i) Word(i) = kPoison;
    volatile THookSharedBlock& block = Block();
    block.HookActive = 0;
    block.NotifyWindow = 0;
    for (volatile std::uint32_t& word : block.Reserved) word = kPoison;
    block.MouseWriteCounter = 0;
    block.MouseReadCounter = 0;
    block.KeyboardWriteCounter = 0;
    block.KeyboardReadCounter = 0;
  }

  ~HostileHookBlock() {
    // Whoever opens the block next finds it idle.
    std::memset(view_, 0, kHookBlockSize);
    UnmapViewOfFile(view_);
  }

  HostileHookBlock(const HostileHookBlock&) = delete;
  HostileHookBlock& operator=(const HostileHookBlock&) = delete;

  volatile THookSharedBlock& Block() { return *static_cast<volatile THookSharedBlock*>(view_); }

  // No word outside the block's own fields has changed.
  bool PoisonIntact() {
    for (std::uint32_t word : Block().Reserved) {
      if (word != kPoison) return false;
    }
    for (size_t i = kHookBlockSize / sizeof(std::int32_t); i < words_; ++i) {
      if (Word(i) != kPoison) return false;
    }
    return true;
  }

 private:
  volatile std::int32_t& Word(size_t index) {
    return static_cast<volatile std::int32_t*>(view_)[index];
  }

  UniqueHandle mapping_;
  void* view_ = nullptr;
  size_t words_ = 0;
};

// Writes what no library would: counters at and past the wrap, readers
// ahead of writers, far-apart counters, records that frame the fixture's
// objects and keys that are neither Ctrl nor Esc (sided Ctrl codes and
// codes whose low byte is Esc included), and a flag of any non-zero value.
class GarbageWriter {
 public:
  GarbageWriter(std::uint32_t seed, std::vector<POINT> objects)
      : random_(seed), objects_(std::move(objects)) {}

  std::uint32_t Counter() {
    static const std::vector<std::uint32_t> kCounters = {
        0u, 1u, 2u, 3u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFCu, 0xFFFFFFFDu, 0xFFFFFFFEu,
        0xFFFFFFFFu};
    return Chance(random_, 60) ? PickFrom(random_, kCounters) : Word();
  }

  std::int32_t Flag() {
    static const std::vector<std::int32_t> kFlags = {1, -1, INT_MIN, INT_MAX, 2, 0x100};
    for (;;) {
      const std::int32_t flag =
          Chance(random_, 70) ? PickFrom(random_, kFlags) : static_cast<std::int32_t>(Word());
      if (flag != 0) return flag;
    }
  }

  std::int32_t Key() {
    static const std::vector<std::int32_t> kKeys = {0, -1, INT_MIN, INT_MAX, VK_SHIFT, VK_MENU,
                                                    VK_LCONTROL, VK_RCONTROL, 0x111, 0x11B,
                                                    -17, -27, 'A'};
    for (;;) {
      const std::int32_t key =
          Chance(random_, 70) ? PickFrom(random_, kKeys) : static_cast<std::int32_t>(Word());
      if (key != VK_CONTROL && key != VK_ESCAPE) return key;
    }
  }

  void MouseRecords(volatile THookSharedBlock& block) {
    for (volatile THookEventRecord& slot : block.MouseRing) {
      POINT point = PickFrom(random_, objects_);
      if (Chance(random_, 10)) {
        point = {static_cast<LONG>(Word()), static_cast<LONG>(Word())};
      }
      slot.Library0 = static_cast<std::int32_t>(Word());
      slot.VirtualKey = kPoison;  // read as a key it would select
      slot.X = point.x;
      slot.Y = point.y;
    }
  }

  void KeyRecords(volatile THookSharedBlock& block) {
    for (volatile THookEventRecord& slot : block.KeyboardRing) {
      slot.VirtualKey = Key();
      slot.X = static_cast<std::int32_t>(Word());
      slot.Y = static_cast<std::int32_t>(Word());
    }
  }

  // A write counter and a read counter for one ring: any pair, equal ones,
  // one record apart by the counter rule, or the reader one ahead.
  std::pair<std::uint32_t, std::uint32_t> CounterPair() {
    const std::uint32_t read = Counter();
    switch (Below(random_, 4)) {
      case 0: return {Counter(), read};
      case 1: return {read, read};
      case 2: return {NextHookCounter(read), read};
      default: return {read - 1u, read};
    }
  }

  std::uint32_t Word() { return static_cast<std::uint32_t>(random_()); }

 private:
  Random random_;
  std::vector<POINT> objects_;
};

class HostileHookBlockTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture_.Focus());
    // No selection of an earlier test holds the hook.
    const RunResult idle = RunProgram(L"hookwatch", {L"active", L"0"});
    ASSERT_EQ(idle.exitCode, 1u) << idle.out << idle.err;
    block_.emplace();
    for (int id : {fixture::kEditId, fixture::kButtonOneId, fixture::kButtonTwoId,
                   fixture::kListViewId}) {
      objects_.push_back(fixture_.ControlCentre(id));
    }
  }

  void TearDown() override {
    StopWriter();
    if (run_.valid()) {
      if (!Finished(0s)) {
        MovePointerTo(fixture_.ControlCentre(fixture::kEditId));
        Xdotool("key Escape");
      }
      run_.get();
    }
    block_.reset();
  }

  // Starts uiprobe --manualselect and waits until its selection loop runs:
  // the library has set the flag that this test cleared.
  void StartSelection() {
    const std::vector<std::wstring> arguments = {L"--manualselect", L"--outputflags", L"n",
                                                 L"--outputfile", OutputFile().wstring()};
    run_ = std::async(std::launch::async, [arguments] {
      return RunProgram(L"uiprobe", arguments,
                        RunOptions{.environment = kEnglish.environment, .timeout = 60s});
    });
    ASSERT_TRUE(WaitUntil([&] { return Block().HookActive != 0; }, 30s))
        << "the selection loop did not start";
  }

  // Runs `write` on a thread of its own, again and again, until StopWriter.
  void StartWriter(std::function<void()> write) {
    stop_ = false;
    writer_ = std::thread([this, write = std::move(write)] {
      while (!stop_) {
        write();
        std::this_thread::yield();
      }
    });
  }

  void StopWriter() {
    stop_ = true;
    if (writer_.joinable()) writer_.join();
  }

  bool Finished(std::chrono::milliseconds timeout) {
    return WaitUntil([&] { return run_.wait_for(0s) == std::future_status::ready; }, timeout);
  }

  // Esc as the user presses it, with the pointer over the fixture so that
  // X hands the key to a Wine window and the hook sees it.
  void PressEsc() {
    ASSERT_TRUE(MovePointerTo(fixture_.ControlCentre(fixture::kEditId)));
    ASSERT_TRUE(Xdotool("key Escape"));
  }

  // The selection ended with nothing captured: no output and no file.
  void ExpectNothingCaptured(std::chrono::milliseconds within) {
    ASSERT_TRUE(Finished(within)) << "the selection did not end";
    const RunResult result = run_.get();
    ExpectEndedOnItsOwn(result, {kExitNothingCaptured});
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_FALSE(fs::exists(OutputFile()));
  }

  volatile THookSharedBlock& Block() { return block_->Block(); }
  fs::path OutputFile() const { return folder_ / L"pick.txt"; }

  FixtureProcess fixture_;
  TempFolder folder_;
  std::optional<HostileHookBlock> block_;
  std::vector<POINT> objects_;
  std::future<RunResult> run_;
  std::thread writer_;
  std::atomic<bool> stop_{false};
};

TEST_F(HostileHookBlockTest, GarbageCountersAndRecords_ReadOnlyFromTheRings_EscStillEnds) {
  ASSERT_NO_FATAL_FAILURE(StartSelection());
  GarbageWriter garbage(kSeed + 200, objects_);
  volatile THookSharedBlock& block = Block();
  constexpr int kRounds = 300;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    garbage.MouseRecords(block);
    garbage.KeyRecords(block);
    const auto [mouseWrite, mouseRead] = garbage.CounterPair();
    const auto [keyWrite, keyRead] = garbage.CounterPair();
    block.MouseReadCounter = mouseRead;
    block.MouseWriteCounter = mouseWrite;
    block.KeyboardReadCounter = keyRead;
    block.KeyboardWriteCounter = keyWrite;
    block.HookActive = garbage.Flag();
    // With records pending, the loop takes them: its read counters move.
    const bool pending = mouseWrite != mouseRead || keyWrite != keyRead;
    const auto moved = [&] {
      return block.MouseReadCounter != mouseRead || block.KeyboardReadCounter != keyRead;
    };
    WaitUntil([&] { return !pending || moved() || Finished(0s); }, 10s, 1ms);
    if (Finished(0s)) {
      const RunResult result = run_.get();
      FAIL() << "the selection ended without Esc, exit code " << result.exitCode << ": "
             << result.out << result.err;
    }
    ASSERT_TRUE(!pending || moved()) << "the selection loop stopped reading";
  }
  // Left behind: far-apart counters on both rings, keys that end nothing.
  block.HookActive = 1;
  EXPECT_TRUE(block_->PoisonIntact()) << "the capture program wrote outside its counters";

  ASSERT_NO_FATAL_FAILURE(PressEsc());
  ExpectNothingCaptured(20s);
  EXPECT_TRUE(block_->PoisonIntact()) << "the capture program wrote outside its counters";
}

TEST_F(HostileHookBlockTest, FlagKeptSetByAnotherWriter_EscStillEndsTheSelection) {
  ASSERT_NO_FATAL_FAILURE(StartSelection());
  GarbageWriter keys(kSeed + 300, objects_);
  volatile THookSharedBlock& block = Block();
  keys.KeyRecords(block);
  block.KeyboardReadCounter = 0xFFFFFFF0u;
  block.KeyboardWriteCounter = 0x12345678u;
  // The flag flaps between non-zero values and the mouse ring turns over,
  // also after the library has been asked to clear the flag.
  auto garbage = std::make_shared<GarbageWriter>(kSeed + 301, objects_);
  StartWriter([&block, garbage] {
    block.HookActive = garbage->Flag();
    garbage->MouseRecords(block);
    block.MouseWriteCounter = garbage->Counter();
  });
  ASSERT_NO_FATAL_FAILURE(PressEsc());
  ExpectNothingCaptured(30s);
  StopWriter();
  EXPECT_TRUE(block_->PoisonIntact()) << "the capture program wrote outside its counters";
}

TEST_F(HostileHookBlockTest, FlagFlappingThroughZero_SelectionEndsWithNothingCaptured) {
  ASSERT_NO_FATAL_FAILURE(StartSelection());
  volatile THookSharedBlock& block = Block();
  auto garbage = std::make_shared<GarbageWriter>(kSeed + 400, objects_);
  StartWriter([&block, garbage] {
    block.HookActive = garbage->Flag();
    garbage->MouseRecords(block);
    block.MouseWriteCounter = garbage->Counter();
    block.HookActive = 0;
  });
  ExpectNothingCaptured(30s);
  StopWriter();
  EXPECT_TRUE(block_->PoisonIntact()) << "the capture program wrote outside its counters";
}

// ---------------------------------------------------------------------------
// Output files that cannot be written.

enum class OutputMode { Replace, Append, Xml, SearchPath };

const std::vector<std::pair<OutputMode, const char*>> kOutputModes = {
    {OutputMode::Replace, "replace"},
    {OutputMode::Append, "append"},
    {OutputMode::Xml, "xml"},
    {OutputMode::SearchPath, "search path"}};

const std::string kOldContent = "\xEF\xBB\xBFName=old\r\nsecond line";

class HostileOutputFile : public testing::Test {
 protected:
  // Captures the fixture's edit into the file in the mode: its properties,
  // or its search path.
  RunResult Capture(const fs::path& file, OutputMode mode) {
    const POINT edit = fixture_.ControlCentre(fixture::kEditId);
    std::vector<std::wstring> arguments = {
        L"--position", std::to_wstring(edit.x) + L"," + std::to_wstring(edit.y),
        L"--outputflags", L"n"};
    if (mode == OutputMode::SearchPath) {
      arguments.insert(arguments.end(), {L"--createpath", file.wstring()});
    } else {
      arguments.insert(arguments.end(), {L"--outputfile", file.wstring()});
    }
    if (mode == OutputMode::Append) arguments.push_back(L"--appendoutput");
    if (mode == OutputMode::Xml) arguments.insert(arguments.end(), {L"--outputformat", L"xml"});
    return RunProgram(L"uiprobe", arguments, kEnglish);
  }

  // The failure report names the file layer's error and the file's full
  // path, and the program exits with 1.
  static void ExpectFileError(const RunResult& result, const fs::path& file,
                              const std::string& errorClass, const std::string& verb) {
    ExpectEndedOnItsOwn(result, {kExitFailure});
    EXPECT_TRUE(StartsWith(result.out, kFailureReport + errorClass + "\r\n" + verb + " file \"" +
                                           Console(FullPath(file)) + "\". "))
        << result.out;
  }

  FixtureProcess fixture_;
  TempFolder folder_;
};

TEST_F(HostileOutputFile, ReadOnlyFile_ReportedAndLeftAsItWas) {
  const fs::path file = folder_ / L"read only.txt";
  WriteBytesToFile(file, kOldContent);
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  for (const auto& [mode, name] : kOutputModes) {
    SCOPED_TRACE(name);
    ExpectFileError(Capture(file, mode), file, "EFCreateError", "Cannot create");
    EXPECT_EQ(ReadBytesFromFile(file), kOldContent);
    EXPECT_NE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  }
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(HostileOutputFile, FolderName_ReportedAndTheFolderKept) {
  const fs::path target = folder_ / L"output folder.txt";
  ASSERT_TRUE(fs::create_directory(target));
  WriteBytesToFile(target / L"inside.txt", kOldContent);
  for (const auto& [mode, name] : kOutputModes) {
    SCOPED_TRACE(name);
    ExpectFileError(Capture(target, mode), target, "EFCreateError", "Cannot create");
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(ReadBytesFromFile(target / L"inside.txt"), kOldContent);
  }
}

TEST_F(HostileOutputFile, PathInAMissingFolder_ReportedAndNothingMade) {
  const fs::path missing = folder_ / L"no such folder";
  const fs::path file = missing / L"out.txt";
  for (const auto& [mode, name] : kOutputModes) {
    SCOPED_TRACE(name);
    ExpectFileError(Capture(file, mode), file, "EFCreateError", "Cannot create");
    EXPECT_FALSE(fs::exists(missing));
  }
}

TEST_F(HostileOutputFile, FileLockedByAnotherProcess_ReportedAndLeftAsItWas) {
  const fs::path file = folder_ / L"locked.txt";
  WriteBytesToFile(file, kOldContent);
  for (const auto& [mode, name] : kOutputModes) {
    SCOPED_TRACE(name);
    {
      // Open with no sharing at all: neither read nor written by others.
      const UniqueHandle lock(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(lock);
      const RunResult result = Capture(file, mode);
      // Appending reads the old file first, and that is what fails.
      if (mode == OutputMode::Append) {
        ExpectFileError(result, file, "EFOpenError", "Cannot open");
      } else {
        ExpectFileError(result, file, "EFCreateError", "Cannot create");
      }
    }
    EXPECT_EQ(ReadBytesFromFile(file), kOldContent);
  }
}

TEST_F(HostileOutputFile, FileOthersMayOnlyRead_ReportedAndLeftAsItWas) {
  const fs::path file = folder_ / L"shared for reading.txt";
  WriteBytesToFile(file, kOldContent);
  for (const auto& [mode, name] : kOutputModes) {
    SCOPED_TRACE(name);
    {
      const UniqueHandle reader(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(reader);
      ExpectFileError(Capture(file, mode), file, "EFCreateError", "Cannot create");
    }
    EXPECT_EQ(ReadBytesFromFile(file), kOldContent);
  }
}

TEST_F(HostileOutputFile, FileWithALockedRange_ReportedAndLeftAsItWas) {
  const fs::path file = folder_ / L"locked range.txt";
  WriteBytesToFile(file, kOldContent);
  for (const auto& [mode, name] : kOutputModes) {
    SCOPED_TRACE(name);
    {
      // Shared for everything, but every byte locked by this process.
      const UniqueHandle holder(CreateFileW(
          file.c_str(), GENERIC_READ | GENERIC_WRITE,
          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
          FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(holder);
      OVERLAPPED start{};
      ASSERT_TRUE(LockFileEx(holder.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                             MAXDWORD, MAXDWORD, &start));
      const RunResult result = Capture(file, mode);
      ExpectEndedOnItsOwn(result, {kExitFailure});
      // Reading the old file or making the new one fails, named either way.
      EXPECT_TRUE(StartsWith(result.out, kFailureReport)) << result.out;
      EXPECT_NE(result.out.find(" file \"" + Console(FullPath(file)) + "\". "), std::string::npos)
          << result.out;
    }
    EXPECT_EQ(ReadBytesFromFile(file), kOldContent);
  }
}

}  // namespace
