#include "CmdParams.h"

#include <array>
#include <cwchar>
#include <optional>

#include "CodePage.h"
#include "MessageFormat.h"
#include "Translation.h"

namespace {

enum class Option {
  Position,
  CreatePath,
  OutputFlags,
  OutputFormat,
  OutputFile,
  AppendOutput,
  ManualSelect,
  Execute,
  Help
};

struct OptionSpec {
  std::wstring_view Name;
  Option Kind;
  bool TakesValue;
};

constexpr std::array<OptionSpec, 11> kOptions{{
    {L"--position", Option::Position, true},
    {L"--createpath", Option::CreatePath, true},
    {L"--outputflags", Option::OutputFlags, true},
    {L"--outputformat", Option::OutputFormat, true},
    {L"--outputfile", Option::OutputFile, true},
    {L"--appendoutput", Option::AppendOutput, false},
    {L"--manualselect", Option::ManualSelect, false},
    {L"--execute", Option::Execute, true},
    {L"--help", Option::Help, false},
    {L"-h", Option::Help, false},
    {L"-?", Option::Help, false},
}};

constexpr bool OptionNamesAreUnique() {
  for (size_t i = 0; i < kOptions.size(); ++i) {
    for (size_t j = i + 1; j < kOptions.size(); ++j) {
      if (kOptions[i].Name == kOptions[j].Name) return false;
    }
  }
  return true;
}
static_assert(OptionNamesAreUnique());

const OptionSpec* FindOption(std::wstring_view argument) {
  for (const OptionSpec& option : kOptions) {
    if (option.Name == argument) return &option;
  }
  return nullptr;
}

// Blanks and control characters: they surround and end the parts of a
// delimited list.
bool IsBlank(wchar_t c) { return c >= 1 && c <= L' '; }

constexpr wchar_t kDelimiter = L',';
constexpr wchar_t kQuote = L'"';

// The parts of a comma-delimited list (see ParsePosition).
std::vector<std::wstring> SplitDelimited(std::wstring_view text) {
  std::vector<std::wstring> parts;
  const size_t size = text.size();
  size_t pos = 0;
  while (pos < size && IsBlank(text[pos])) ++pos;
  while (pos < size) {
    std::wstring part;
    if (text[pos] == kQuote) {
      ++pos;
      while (pos < size) {
        if (text[pos] == kQuote) {
          if (pos + 1 < size && text[pos + 1] == kQuote) {
            part += kQuote;
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        part += text[pos++];
      }
    } else {
      while (pos < size && !IsBlank(text[pos]) && text[pos] != kDelimiter) part += text[pos++];
    }
    parts.push_back(std::move(part));
    while (pos < size && IsBlank(text[pos])) ++pos;
    if (pos < size && text[pos] == kDelimiter) {
      if (pos + 1 == size) parts.emplace_back();
      ++pos;
      while (pos < size && IsBlank(text[pos])) ++pos;
    }
  }
  return parts;
}

int DigitValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return 99;
}

std::optional<int32_t> ToInt32(std::wstring_view text) {
  size_t pos = 0;
  bool negative = false;
  if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
    negative = text[pos] == L'-';
    ++pos;
  }
  int base = 10;
  if (pos < text.size() && (text[pos] == L'$' || text[pos] == L'x' || text[pos] == L'X')) {
    base = 16;
    ++pos;
  } else if (pos + 1 < text.size() && text[pos] == L'0' &&
             (text[pos + 1] == L'x' || text[pos + 1] == L'X')) {
    base = 16;
    pos += 2;
  }
  if (pos == text.size()) return std::nullopt;
  constexpr int64_t kLimit = int64_t{1} << 31;
  int64_t magnitude = 0;
  for (; pos < text.size(); ++pos) {
    const int digit = DigitValue(text[pos]);
    if (digit >= base) return std::nullopt;
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) return std::nullopt;
  }
  const int64_t value = negative ? -magnitude : magnitude;
  if (value >= kLimit) return std::nullopt;
  return static_cast<int32_t>(value);
}

// Kept out of line, so that the address it records lies in the reading
// that met the faulty part.
[[gnu::noinline, noreturn]] void RaiseNotAnInteger(std::wstring_view part) {
  throw EConvertError(TranslateFormat(L"'%s' is not a valid integer value", {part}),
                      __builtin_return_address(0));
}

int32_t PartToInt32(std::wstring_view part) {
  const std::optional<int32_t> value = ToInt32(part);
  if (!value) RaiseNotAnInteger(part);
  return *value;
}

std::wstring SingleToDoubleQuotes(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\'') c = L'"';
  }
  return text;
}

}  // namespace

const std::wstring_view kUsageFormat =
    L"Tarrowind user interface capture utility. Version %s\r\n"
    L"Usage:\r\n"
    L" uiprobe --manualselect | --position X,Y --execute \"command line\"\r\n"
    L"            --outputflags %s --outputfile \"textfile\"\r\n"
    L"            --outputformat \"format\" --execute \"command 'option' ...\"\r\n"
    L"            --createpath \"path.xml\" --appendoutput --help\r\n"
    L"\n"
    L"Where:\r\n"
    L" --manualselect  select object by mouse\r\n"
    L" --position      capture object at specified position\r\n"
    L" --execute       executes program or command. Called program can \r\n"
    L"                 retrieve information about selected object by using\r\n"
    L"                 VEK_* environment variables\r\n"
    L" --outputflags   results filter\r\n"
    L" --outputfile    write results to file (utf-8) instead of stdout\r\n"
    L" --outputformat  specify formatting of results\r\n"
    L" --createpath    write detailed search information to xmlfile (utf-8)\r\n"
    L" --appendoutput  indicate that --outputfile must be appended, not overwritten\r\n"
    L" --help          display this help\r\n"
    L"\r\n"
    L"Output filter flags:\r\n"
    L" m = Module, h = Handle, n = Name, r = Role, s = State, t=Text,\r\n"
    L" c = Class, S = Shortcut, b = ScreenRect, p = ScreenPoint, v = Value,\r\n"
    L" a = Action, d = Description, H = HelpIndex, R = RoleFull, T = StateFull\r\n"
    L"\n"
    L"Environment variables:\r\n"
    L" VEK_MODULE - module name, VEK_HANDLE - handle value, VEK_NAME - object name,\r\n"
    L" VEK_ROLE - object role, VEK_STATE - object state, VEK_TEXT - object text,\r\n"
    L" VEK_CLASS - window class, VEK_SHORTCUT - object shortcut,\r\n"
    L" VEK_SCREENRECT - object screen rect X1,Y1,X2,Y2, VEK_VALUE - object value,\r\n"
    L" VEK_SCREENPOINT - object screen inner point X,Y,\r\n"
    L" VEK_ACTION - object default action, VEK_DESCRIPTION - object description\r\n"
    L" VEK_HELPINDEX - object context help index, VEK_ROLEFULL - object role full,\r\n"
    L" VEK_SELKEY - key used to finish capture in --manualselect mode,\r\n"
    L" VEK_STATEFULL - object state full,\r\n"
    L" VEK_FRIENDLYNAME - informative, filesystem-compatible name of object; \r\n"
    L"\r\n"
    L"Avaiable output formats:\r\n"
    L" \"ini\" - INI format (\"Key=Value\"), \"conf\" - CONF format (key \"value\"),\r\n"
    L" \"xml\" - structured xml file, \"vallines\" - only values, one line per value,\r\n"
    L" \"valtabs\" - only values (TAB-separated), \"valcsv\" - comma-separated values\r\n"
    L"\n"
    L"Examples:\r\n"
    L" Capture window/control interactively:\r\n"
    L"  uiprobe --manualselect\r\n"
    L" Capture window/control and write only name and handle to file 1.txt\r\n"
    L"  uiprobe --manualselect --outputflags nh --outputfile 1.txt\r\n"
    L" Capture control at position 500,500 (on screen) and create search path:\r\n"
    L"  uiprobe --position 500,500 --createpath path.xml\r\n"
    L" Capture object and display information in INI-file format:\r\n"
    L"  uiprobe --manualselect --outputflags n --outputformat ini";

bool ParsePosition(std::wstring_view text, TPoint& position) {
  const std::vector<std::wstring> parts = SplitDelimited(text);
  if (parts.size() != 2) return false;
  const int32_t x = PartToInt32(parts[0]);
  const int32_t y = PartToInt32(parts[1]);
  position = {x, y};
  return true;
}

TCmdParseResult ParseCmdParams(const std::vector<std::wstring>& arguments) {
  TCmdParseResult result;
  if (arguments.empty()) return result;
  TCmdParams& params = result.Params;
  const auto fault = [&result](CmdOutcome outcome, const std::wstring& offending) {
    result.Outcome = outcome;
    result.Offending = offending;
    return result;
  };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    const OptionSpec* option = FindOption(argument);
    if (option == nullptr) return fault(CmdOutcome::InvalidParameter, argument);
    std::wstring value;
    if (option->TakesValue) {
      if (i + 1 == arguments.size()) return fault(CmdOutcome::MissingValue, argument);
      value = arguments[++i];
    }
    switch (option->Kind) {
      case Option::Position:
        params.HasPosition = ParsePosition(value, params.Position);
        if (!params.HasPosition) return fault(CmdOutcome::InvalidPosition, value);
        break;
      case Option::CreatePath:
        params.CreatePath = value;
        break;
      case Option::OutputFlags:
        // Filter letters stay in the ANSI code page the argument came in.
        params.OutputFlags = WideToAnsi(value);
        break;
      case Option::OutputFormat:
        params.OutputFormat = value;
        break;
      case Option::OutputFile:
        params.OutputFile = value;
        break;
      case Option::AppendOutput:
        params.AppendOutput = true;
        break;
      case Option::ManualSelect:
        params.ManualSelect = true;
        break;
      case Option::Execute:
        params.Execute = SingleToDoubleQuotes(value);
        break;
      case Option::Help:
        result.Outcome = CmdOutcome::Usage;
        return result;
    }
  }
  result.Outcome =
      params.ManualSelect || params.HasPosition ? CmdOutcome::Run : CmdOutcome::NoCaptureMode;
  return result;
}

TCmdMessage CmdFaultMessage(const TCmdParseResult& result) {
  const std::wstring& offending = result.Offending;
  switch (result.Outcome) {
    case CmdOutcome::MissingValue:
      return {FormatMessageText(L"Invalid usage of %s", {offending}), false, 1};
    case CmdOutcome::InvalidPosition:
      return {TranslateFormat(L"Invalid position %s", {offending}), true, 1};
    case CmdOutcome::InvalidParameter:
      return {TranslateFormat(L"Invalid parameter %s", {offending}), true, 1};
    case CmdOutcome::NoCaptureMode:
      return {Translate(L"Invalid usage - please specify capture mode."), true, 1};
    case CmdOutcome::Run:
    case CmdOutcome::Usage:
      break;
  }
  return {};
}

std::wstring UsageText(std::wstring_view fileVersion) {
  const std::wstring flags(kAllOutputFlags.begin(), kAllOutputFlags.end());
  return TranslateFormat(kUsageFormat, {fileVersion, flags});
}

std::wstring FormatUnhandledErrorReport(std::wstring_view className,
                                        std::wstring_view moduleName, const void* address,
                                        std::wstring_view message) {
  // Upper-case hex digits, as many as the pointer has: 8 in a 32-bit
  // program, 16 in a 64-bit one.
  std::wstring addressText(2 * sizeof(address), L'0');
  auto bits = reinterpret_cast<uintptr_t>(address);
  for (auto digit = addressText.rbegin(); digit != addressText.rend(); ++digit, bits >>= 4) {
    *digit = L"0123456789ABCDEF"[bits & 0xF];
  }
  const std::wstring_view fullStop = !message.empty() && message.back() == L'.' ? L"" : L".";
  return FormatMessageText(L"Exception %s in module %s at %s.\r\n%s%s\r\n",
                           {className, moduleName, addressText, message, fullStop});
}
