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
#include <map>
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

// An odd text: mostly short, sometimes some hundred units, rarely thousands.
std::wstring OddText(Random& random) {
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
        text += OddCharacters()[Below(random, OddCharacters().size())];
      }
    }
    // Blanks alone make an argument that reads as none or as something else.
    const bool onlyBlanks = text.find_first_not_of(L" \t\n") == std::wstring::npos;
    if (!onlyBlanks && !IsDeviceName(text)) return text;
  }
}

// ---------------------------------------------------------------------------
// uiprobe: generated vectors and what each must end with.

enum class PositionKind { Object, Nothing, WrongParts, NotAnInteger, Unknown };

struct PositionValue {
  PositionKind kind = PositionKind::Unknown;
  std::wstring part;  // NotAnInteger: the part that is no integer
};

enum class FileKind { Writable, Unwritable, Unknown };

// What the generator knows of the values it made.
struct UiprobeTables {
  std::map<std::wstring, PositionValue> positions;
  std::map<std::wstring, FileKind> files;
  std::map<std::wstring, int> commands;  // --execute value: the command's exit code
};

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

const std::vector<std::pair<std::wstring, int>> kCommands = {
    {L"cmd /c exit 0", 0},   {L"cmd /c exit 0", 0},  {L"cmd /c exit 0", 0},
    {L"cmd /c exit 5", 5},   {L"cmd /c exit 1", 1},  {L"cmd /c 'exit 7'", 7},
    {L"cmd /c exit -1", -1}, {L"cmd /c exit 255", 255}};

const std::vector<std::wstring> kWritableNames = {
    L"out.txt", L"Ausgabe \u00fc.txt", L"two  blanks.txt", L"x", L"semi;colon,comma.txt",
    L"percent%PATH%.txt", L"-dash", L"abc.", L"trailing blank ",
    std::wstring(100, L'l') + L".txt"};
const std::vector<std::wstring> kUnwritableNames = {
    L"a?b.txt", L"a*b", L"a<b", L"a>b", L"a|b", L"..", L".", L"missing folder\\out.txt",
    std::wstring(300, L'a'), L"ctl\x01x"};

const std::vector<std::wstring> kFormats = {L"ini", L"conf", L"xml", L"vallines", L"valtabs",
                                            L"valcsv", L"INI", L"Xml", L""};

// A name made only of letters, digits, dots, dashes and underscores, that
// does not end with a dot and is no device, is a file the run can write.
bool IsPlainFileName(std::wstring_view name) {
  if (name.empty() || name.size() > 100 || name.back() == L'.' || IsDeviceName(name)) {
    return false;
  }
  return std::all_of(name.begin(), name.end(), [](wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'.' || c == L'-' || c == L'_';
  });
}

FileKind ClassifyFile(const UiprobeTables& tables, const std::wstring& name) {
  if (const auto known = tables.files.find(name); known != tables.files.end()) {
    return known->second;
  }
  return IsPlainFileName(name) ? FileKind::Writable : FileKind::Unknown;
}

PositionValue ClassifyPosition(const UiprobeTables& tables, const std::wstring& value) {
  if (const auto known = tables.positions.find(value); known != tables.positions.end()) {
    return known->second;
  }
  // With no comma and nothing that ends a part the value is one part.
  const bool onePart = std::none_of(value.begin(), value.end(), [](wchar_t c) {
    return c == L',' || c == L'"' || (c >= 1 && c <= 32);
  });
  return onePart ? PositionValue{PositionKind::WrongParts, {}} : PositionValue{};
}

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

// A --position value; a well-formed vector mostly names a place.
std::wstring PositionValueText(Random& random, const std::vector<POINT>& objects,
                               UiprobeTables& tables, bool wellFormed) {
  const size_t kind = Below(random, 100);
  std::wstring text;
  PositionValue value;
  if (kind < (wellFormed ? 75u : 55u)) {
    text = PointText(random, PickFrom(random, objects));
    value.kind = PositionKind::Object;
  } else if (kind < (wellFormed ? 88u : 67u)) {
    text = PickFrom(random, kNothingPositions);
    value.kind = PositionKind::Nothing;
  } else if (kind < (wellFormed ? 92u : 77u)) {
    text = PickFrom(random, kWrongPartsPositions);
    value.kind = PositionKind::WrongParts;
  } else if (kind < (wellFormed ? 96u : 90u)) {
    const auto& [bad, part] = PickFrom(random, kNotAnIntegerPositions);
    text = bad;
    value = {PositionKind::NotAnInteger, part};
  } else {
    return OddText(random);
  }
  tables.positions[text] = value;
  return text;
}

std::wstring FileValueText(Random& random, UiprobeTables& tables) {
  const size_t kind = Below(random, 100);
  if (kind < 60) {
    const std::wstring& name = PickFrom(random, kWritableNames);
    tables.files[name] = FileKind::Writable;
    return name;
  }
  if (kind < 85) {
    const std::wstring& name = PickFrom(random, kUnwritableNames);
    tables.files[name] = FileKind::Unwritable;
    return name;
  }
  return OddText(random);
}

std::wstring FlagsText(Random& random) {
  if (Chance(random, 20)) return OddText(random);
  static const std::wstring kLetters = L"mhnrstcSbpvadHRTxyz%";
  std::wstring flags;
  const size_t length = 1 + Below(random, 20);
  while (flags.size() < length) flags += kLetters[Below(random, kLetters.size())];
  return flags;
}

std::wstring CommandText(Random& random, UiprobeTables& tables) {
  const auto& [command, code] = PickFrom(random, kCommands);
  tables.commands[command] = code;
  return command;
}

bool IsCommand(const UiprobeTables& tables, const std::wstring& token) {
  return tables.commands.count(token) != 0;
}

// A well-formed vector holds only options with fitting values and reaches
// the capture and the stages after it; any other adds near misses, odd
// texts, options without values and values that are options.
std::vector<std::wstring> GenerateUiprobeArguments(Random& random,
                                                   const std::vector<POINT>& objects,
                                                   UiprobeTables& tables) {
  const bool wellFormed = Chance(random, 55);
  std::vector<std::wstring> arguments;
  if (wellFormed || Chance(random, 40)) {
    arguments = {L"--position", PositionValueText(random, objects, tables, wellFormed)};
  }
  const size_t count = Below(random, wellFormed ? 6 : 9);
  for (size_t i = 0; i < count; ++i) {
    const size_t kind = Below(random, wellFormed ? 75 : 100);
    if (kind < 50) {
      const std::wstring& option = PickFrom(random, kValueOptions);
      arguments.push_back(option);
      if (!wellFormed && Chance(random, 10)) continue;  // the next one is the value
      if (!wellFormed && Chance(random, 10)) {
        arguments.push_back(Chance(random, 50) ? OddText(random)
                                               : PickFrom(random, kValueOptions));
      } else if (option == L"--position") {
        arguments.push_back(PositionValueText(random, objects, tables, wellFormed));
      } else if (option == L"--createpath" || option == L"--outputfile") {
        arguments.push_back(FileValueText(random, tables));
      } else if (option == L"--outputflags") {
        arguments.push_back(FlagsText(random));
      } else {
        const std::wstring& format = PickFrom(random, kFormats);
        arguments.push_back(format.empty() ? OddText(random) : format);
      }
    } else if (kind < 65) {
      arguments.push_back(L"--execute");
      arguments.push_back(CommandText(random, tables));
    } else if (kind < 75) {
      arguments.push_back(L"--appendoutput");
    } else if (kind < 78) {
      arguments.push_back(PickFrom(random, kHelpOptions));
    } else if (kind < 86) {
      arguments.push_back(L"--execute");  // with or without its command, see below
    } else if (kind < 93) {
      arguments.push_back(PickFrom(random, kUiprobeNearMisses));
    } else {
      arguments.push_back(OddText(random));
    }
  }
  // Whatever follows --execute may be run: only the known commands.
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == L"--execute" && !IsCommand(tables, arguments[i + 1])) {
      arguments.insert(arguments.begin() + i + 1, CommandText(random, tables));
    }
  }
  return arguments;
}

// How a uiprobe run must end.
struct UiprobeExpectation {
  enum class Kind { Usage, Message, NotAnInteger, Capture, AnyEnd } kind = Kind::AnyEnd;
  std::string out;    // Message
  std::string err;    // Message
  std::wstring part;  // NotAnInteger
  PositionKind where = PositionKind::Unknown;
  std::optional<std::wstring> command;
  std::wstring createPath;
  std::wstring outputFile;
};

UiprobeExpectation Message(std::string out, std::string err) {
  UiprobeExpectation expectation;
  expectation.kind = UiprobeExpectation::Kind::Message;
  expectation.out = std::move(out);
  expectation.err = std::move(err);
  return expectation;
}

// Reads the vector as the command line's rules say: in order, options
// matched whole and case-sensitively, each value-taking option taking the
// next argument, the first fault ending the reading.
UiprobeExpectation ExpectedUiprobeRun(const UiprobeTables& tables,
                                      const std::vector<std::wstring>& arguments) {
  using Kind = UiprobeExpectation::Kind;
  UiprobeExpectation expectation;
  if (arguments.empty()) {
    expectation.kind = Kind::Usage;
    return expectation;
  }
  bool hasPosition = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring argument = ThroughAnsi(arguments[i]);
    if (std::find(kHelpOptions.begin(), kHelpOptions.end(), argument) != kHelpOptions.end()) {
      expectation.kind = Kind::Usage;
      return expectation;
    }
    const bool takesValue =
        argument == L"--execute" ||
        std::find(kValueOptions.begin(), kValueOptions.end(), argument) != kValueOptions.end();
    if (!takesValue && argument != L"--appendoutput" && argument != L"--manualselect") {
      return Message("", Console(L"Invalid parameter " + argument) + "\r\n");
    }
    if (!takesValue) continue;
    if (i + 1 == arguments.size()) {
      return Message(Console(L"Invalid usage of " + argument) + "\r\n", "");
    }
    const std::wstring& value = arguments[++i];
    if (argument == L"--position") {
      const PositionValue position = ClassifyPosition(tables, value);
      switch (position.kind) {
        case PositionKind::WrongParts:
          return Message("", Console(L"Invalid position " + ThroughAnsi(value)) + "\r\n");
        case PositionKind::NotAnInteger:
          expectation.kind = Kind::NotAnInteger;
          expectation.part = position.part;
          return expectation;
        case PositionKind::Unknown:
          return UiprobeExpectation{};
        default:
          hasPosition = true;
          expectation.where = position.kind;
      }
    } else if (argument == L"--createpath") {
      expectation.createPath = value;
    } else if (argument == L"--outputfile") {
      expectation.outputFile = value;
    } else if (argument == L"--execute") {
      expectation.command = value;
    }
  }
  if (!hasPosition) return Message("", "Invalid usage - please specify capture mode.\r\n");
  expectation.kind = Kind::Capture;
  return expectation;
}

std::wstring SingleToDoubleQuotes(std::wstring text) {
  std::replace(text.begin(), text.end(), L'\'', L'"');
  return text;
}

const std::string kFailureReport = "Execution failed!\r\nException info: ";

void CheckUiprobeRun(const UiprobeTables& tables, const std::vector<std::wstring>& arguments,
                     const RunResult& result, const fs::path& runFolder) {
  using Kind = UiprobeExpectation::Kind;
  ExpectEndedOnItsOwn(result, {kExitSuccess, kExitFailure, kExitNothingCaptured,
                               kExitCommandFailed});
  const UiprobeExpectation expected = ExpectedUiprobeRun(tables, arguments);
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
      EXPECT_TRUE(EndsWith(result.err, ".\r\n'" + Console(ThroughAnsi(expected.part)) +
                                           "' is not a valid integer value.\r\n\r\n"))
          << result.err;
      EXPECT_TRUE(FolderIsEmpty(runFolder));
      return;
    case Kind::AnyEnd:
      return;
    case Kind::Capture:
      break;
  }

  if (expected.where == PositionKind::Nothing) {
    EXPECT_EQ(result.exitCode, kExitNothingCaptured);
    EXPECT_EQ(result.out + result.err, "");
    EXPECT_TRUE(FolderIsEmpty(runFolder));
    return;
  }
  if (expected.command) {
    const auto known = tables.commands.find(*expected.command);
    ASSERT_NE(known, tables.commands.end()) << "a command that the generator did not make";
    if (known->second != 0) {
      EXPECT_EQ(result.exitCode, kExitCommandFailed);
      EXPECT_EQ(result.out, Console(L"Can't execute \"" + SingleToDoubleQuotes(*expected.command) +
                                    L"\". %ERRORLEVEL% = " + std::to_wstring(known->second)) +
                                "\r\n");
      EXPECT_EQ(result.err, "");
      EXPECT_TRUE(FolderIsEmpty(runFolder));
      return;
    }
  }

  const bool toFile = !expected.outputFile.empty();
  const FileKind output = toFile ? ClassifyFile(tables, expected.outputFile) : FileKind::Writable;
  const FileKind path =
      expected.createPath.empty() ? FileKind::Writable : ClassifyFile(tables, expected.createPath);
  const bool fails = output == FileKind::Unwritable || path == FileKind::Unwritable;
  const bool mayFail = output == FileKind::Unknown || path == FileKind::Unknown;
  if (fails || (mayFail && result.exitCode == kExitFailure)) {
    EXPECT_EQ(result.exitCode, kExitFailure);
    EXPECT_TRUE(StartsWith(result.out, kFailureReport)) << result.out;
    return;
  }
  EXPECT_EQ(result.exitCode, kExitSuccess);
  EXPECT_EQ(result.err, "");
  if (toFile) {
    EXPECT_EQ(result.out, "");
    if (output == FileKind::Writable) {
      EXPECT_TRUE(fs::exists(runFolder / expected.outputFile));
    }
  } else {
    EXPECT_NE(result.out, "");
  }
  if (path == FileKind::Writable && !expected.createPath.empty()) {
    EXPECT_TRUE(fs::exists(runFolder / expected.createPath));
  }
}

// ---------------------------------------------------------------------------
// keyfeed: generated vectors and what each must end with.

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
  };
}

constexpr wchar_t kLockedFile[] = L"locked.txt";
constexpr wchar_t kCommandFolder[] = L"a folder";

const std::vector<std::wstring> kKeyfeedOptions = {L"--run", L"--file", L"--help", L"-h", L"-?"};
const std::vector<std::wstring> kKeyfeedNearMisses = {
    L"--RUN", L"--Run", L"-run", L"--run=x", L"--files", L"/run", L"--", L"-",
    L"run",   L"file",  L"help", L"tags",    L"-H",      L"--h"};
const std::vector<std::wstring> kTopics = {L"tags", L"TAGS", L"Tags", L"tAgS",
                                           L"tags ", L"tag", L"tagss"};

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

// A sequence that types only into the focused edit; a faulty one ends with
// a tag that is never closed.
std::wstring HarmlessSequence(Random& random, bool faulty) {
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
  return sequence;
}

struct KeyfeedTables {
  std::map<std::wstring, bool> sequences;  // faulty or not
  std::map<std::wstring, PlayOutcome> files;
};

// Option names and their near misses: typed, they only type themselves.
bool IsOptionLike(const std::wstring& token) {
  return std::find(kKeyfeedOptions.begin(), kKeyfeedOptions.end(), token) !=
             kKeyfeedOptions.end() ||
         std::find(kKeyfeedNearMisses.begin(), kKeyfeedNearMisses.end(), token) !=
             kKeyfeedNearMisses.end();
}

std::wstring SequenceToken(Random& random, KeyfeedTables& tables) {
  const bool faulty = Chance(random, 15);
  std::wstring sequence = HarmlessSequence(random, faulty);
  tables.sequences[sequence] = faulty;
  return sequence;
}

std::wstring FileToken(Random& random, const std::vector<CommandFile>& files) {
  const size_t kind = Below(random, 100);
  if (kind < 60) return PickFrom(random, files).name;
  if (kind < 68) return kLockedFile;
  if (kind < 88) return L"missing-" + OddText(random);
  return PickFrom(random, std::vector<std::wstring>{kCommandFolder, L".", L".."});
}

// A well-formed vector only plays sequences and command files; any other
// adds help topics, near misses, odd texts and options without values.
std::vector<std::wstring> GenerateKeyfeedArguments(Random& random,
                                                   const std::vector<CommandFile>& files,
                                                   KeyfeedTables& tables) {
  const bool wellFormed = Chance(random, 50);
  std::vector<std::wstring> arguments;
  const size_t count =
      wellFormed ? 1 + Below(random, 3) : (Chance(random, 3) ? 0 : 1 + Below(random, 6));
  for (size_t i = 0; i < count; ++i) {
    const size_t kind = Below(random, wellFormed ? 60 : 100);
    if (kind < 35) {
      arguments.push_back(L"--run");
      arguments.push_back(SequenceToken(random, tables));
    } else if (kind < 60) {
      arguments.push_back(L"--file");
      arguments.push_back(FileToken(random, files));
    } else if (kind < 68) {
      arguments.push_back(PickFrom(random, std::vector<std::wstring>{L"--help", L"-h", L"-?"}));
      arguments.push_back(Chance(random, 60) ? PickFrom(random, kTopics) : OddText(random));
    } else if (kind < 79) {
      arguments.push_back(PickFrom(random, kKeyfeedOptions));
    } else if (kind < 89) {
      arguments.push_back(PickFrom(random, kKeyfeedNearMisses));
    } else {
      arguments.push_back(OddText(random));
    }
  }
  // What follows --run may be typed: only harmless sequences and names.
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    const std::wstring& next = arguments[i + 1];
    if (arguments[i] == L"--run" && tables.sequences.count(next) == 0 && !IsOptionLike(next)) {
      arguments.insert(arguments.begin() + i + 1, SequenceToken(random, tables));
    }
  }
  return arguments;
}

struct KeyfeedExpectation {
  enum class Kind { Usage, KeyList, Message, Play, AnyEnd } kind = Kind::AnyEnd;
  std::string out;  // Message
  std::string err;  // Message
  // Play: the sequence's fault and the file's outcome.
  bool sequenceFault = false;
  std::optional<PlayOutcome> file;
};

KeyfeedExpectation KeyfeedMessage(std::string out, std::string err) {
  KeyfeedExpectation expectation;
  expectation.kind = KeyfeedExpectation::Kind::Message;
  expectation.out = std::move(out);
  expectation.err = std::move(err);
  return expectation;
}

bool IsTagsTopic(const std::wstring& topic) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, topic.c_str(),
                        static_cast<int>(topic.size()), L"tags", 4) == CSTR_EQUAL;
}

// Reads the vector as the command line's rules say; the whole line is read
// before anything is played.
KeyfeedExpectation ExpectedKeyfeedRun(const KeyfeedTables& tables,
                                      const std::vector<std::wstring>& arguments) {
  using Kind = KeyfeedExpectation::Kind;
  KeyfeedExpectation expectation;
  const auto isHelp = [](const std::wstring& argument) {
    return argument == L"--help" || argument == L"-h" || argument == L"-?";
  };
  if (arguments.empty() || (arguments.size() == 1 && isHelp(arguments[0]))) {
    expectation.kind = Kind::Usage;
    return expectation;
  }
  std::wstring sequence;
  std::wstring file;
  std::wstring topic;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    if (argument != L"--run" && argument != L"--file" && !isHelp(argument)) {
      return KeyfeedMessage("", Console(L"Invalid parameter " + argument) + "\r\n");
    }
    if (i + 1 == arguments.size()) {
      return KeyfeedMessage(Console(L"Invalid usage of " + argument) + "\r\n", "");
    }
    const std::wstring& value = arguments[++i];
    if (argument == L"--run") {
      sequence = value;
    } else if (argument == L"--file") {
      file = value;
      if (tables.files.count(value) == 0) {
        return KeyfeedMessage("", Console(L"Invalid file " + value) + "\r\n");
      }
    } else {
      topic = value;
    }
  }
  if (!topic.empty()) {
    if (IsTagsTopic(topic)) {
      expectation.kind = Kind::KeyList;
      return expectation;
    }
    // The project treats an unknown topic as a fault of the command line.
    return KeyfeedMessage(Console(L"Invalid topic \"" + topic + L"\"") + "\r\n", "");
  }
  expectation.kind = Kind::Play;
  if (!sequence.empty()) {
    const auto known = tables.sequences.find(sequence);
    if (known != tables.sequences.end()) {
      expectation.sequenceFault = known->second;
    } else if (sequence.find(L'{') != std::wstring::npos) {
      return KeyfeedExpectation{};
    }
  }
  if (!file.empty()) expectation.file = tables.files.at(file);
  return expectation;
}

void CheckKeyfeedRun(const KeyfeedTables& tables, const std::vector<std::wstring>& arguments,
                     const RunResult& result) {
  using Kind = KeyfeedExpectation::Kind;
  ExpectEndedOnItsOwn(result, {kExitSuccess, kExitFailure});
  const KeyfeedExpectation expected = ExpectedKeyfeedRun(tables, arguments);
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
    case Kind::AnyEnd:
      return;
    case Kind::Play:
      break;
  }
  std::optional<std::string> fault;
  if (expected.sequenceFault || expected.file == PlayOutcome::TagFault) {
    fault = "EInvalidTag";
  } else if (expected.file == PlayOutcome::ReadFault) {
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

bool PlaysSomething(const KeyfeedTables& tables, const std::vector<std::wstring>& arguments) {
  return ExpectedKeyfeedRun(tables, arguments).kind == KeyfeedExpectation::Kind::Play;
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
  UiprobeTables tables;
  for (int run = 0; run < kUiprobeRunsPerBatch; ++run) {
    const std::vector<std::wstring> arguments = GenerateUiprobeArguments(random, objects, tables);
    SCOPED_TRACE(testing::Message() << "run " << run << ": uiprobe " << Describe(arguments));
    const fs::path folder = root / (L"run-" + std::to_wstring(run));
    ASSERT_TRUE(fs::create_directory(folder));
    const RunResult result =
        RunProgram(L"uiprobe", arguments,
                   RunOptions{.workingDirectory = folder,
                              .environment = kEnglish.environment,
                              .timeout = std::chrono::seconds(20)});
    CheckUiprobeRun(tables, arguments, result, folder);
  }
}

INSTANTIATE_TEST_SUITE_P(Batch, HostileUiprobeArguments, testing::Range(0, kBatches));

class HostileKeyfeedArguments : public testing::TestWithParam<int> {};

TEST_P(HostileKeyfeedArguments, GeneratedVectors_EachEndsWithItsDocumentedOutcome) {
  FixtureProcess fixture;
  TempFolder folder;
  Random random(kSeed + 100 + static_cast<std::uint32_t>(GetParam()));
  KeyfeedTables tables;
  const std::vector<CommandFile> files = CommandFiles(random);
  for (const CommandFile& file : files) {
    WriteBytesToFile(folder / file.name, file.bytes);
    tables.files[file.name] = file.outcome;
  }
  fs::create_directory(folder / kCommandFolder);
  WriteBytesToFile(folder / kLockedFile, "locked{ENTER}");
  tables.files[kLockedFile] = PlayOutcome::ReadFault;
  // Held with no sharing for the whole sweep: it exists, but cannot be read.
  const UniqueHandle lock(CreateFileW((folder / kLockedFile).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock);

  for (int run = 0; run < kKeyfeedRunsPerBatch; ++run) {
    const std::vector<std::wstring> arguments = GenerateKeyfeedArguments(random, files, tables);
    SCOPED_TRACE(testing::Message() << "run " << run << ": keyfeed " << Describe(arguments));
    // Whatever is played goes into the edit.
    if (!fixture.EditHasFocus()) {
      ASSERT_TRUE(fixture.Focus());
    }
    const RunResult result =
        RunProgram(L"keyfeed", arguments,
                   RunOptions{.workingDirectory = folder.Path(),
                              .environment = kEnglish.environment,
                              .timeout = std::chrono::seconds(20)});
    CheckKeyfeedRun(tables, arguments, result);
    // No key of a play moves the focus. The unit tests that run beside this
    // one may show windows of their own, so only a focus moved within the
    // fixture is the play's doing.
    if (PlaysSomething(tables, arguments) && !fixture.EditHasFocus()) {
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
