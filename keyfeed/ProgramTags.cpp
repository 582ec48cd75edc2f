#include "ProgramTags.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include "CodePage.h"
#include "TextCompare.h"

namespace {

// Mouse button flags of SendInput.
struct ButtonFlags {
  std::uint32_t down;
  std::uint32_t up;
};
constexpr std::array<ButtonFlags, 3> kButtonFlags{{
    {0x0002, 0x0004},  // Left
    {0x0020, 0x0040},  // Middle
    {0x0008, 0x0010},  // Right
}};

constexpr std::array<std::string_view, 3> kButtonNames{"Left", "Middle", "Right"};
constexpr std::array<std::string_view, 4> kActionNames{"Press", "Release", "Click",
                                                       "DblClick"};

// The longest pause there is short of the platform's "for ever".
constexpr std::uint32_t kLongestPause = 0xFFFFFFFE;

bool IsBlankOrControl(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

template <size_t N>
std::optional<size_t> IndexIgnoringCase(const std::array<std::string_view, N>& names,
                                        std::string_view text) {
  for (size_t i = 0; i < N; ++i) {
    if (SameAnsiTextIgnoreCase(text, names[i])) return i;
  }
  return std::nullopt;
}

bool MoveCursor(InputPort& input, const std::wstring& param) {
  const std::vector<std::string> fields = SplitTagFields(WideToAnsi(param));
  if (fields.size() != 2) return false;
  const int x = StrToCoordinate(fields[0]);
  const int y = StrToCoordinate(fields[1]);
  if (x == kBadCoordinate || y == kBadCoordinate) return false;

  // A signed coordinate counts from where the cursor is.
  const auto relative = [](const std::string& field) {
    return field.find_first_of("+-") != std::string::npos;
  };
  long long targetX = x;
  long long targetY = y;
  if (relative(fields[0])) targetX += input.GetCursorPosition().X;
  if (relative(fields[1])) targetY += input.GetCursorPosition().Y;
  const auto clamp = [](long long value) {
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
  };
  input.SetCursorPosition({clamp(targetX), clamp(targetY)});
  return true;
}

bool MouseKey(InputPort& input, const std::wstring& param) {
  const std::vector<std::string> fields = SplitTagFields(WideToAnsi(param));
  if (fields.size() != 2) return false;
  const std::optional<size_t> button = IndexIgnoringCase(kButtonNames, fields[0]);
  if (!button) return false;
  const std::optional<size_t> action = IndexIgnoringCase(kActionNames, fields[1]);
  if (!action) return false;
  // A refused event ends the action quietly.
  SendMouseButton(input, static_cast<TMouseKey>(*button), static_cast<TMouseAction>(*action));
  return true;
}

bool Wait(InputPort& input, const std::wstring& param) {
  input.Sleep(PauseMilliseconds(StrToFloatAnySeparator(WideToAnsi(param), 1.0)));
  return true;
}

}  // namespace

bool HandleExtendedTag(InputPort& input, const std::wstring& name, const std::wstring& param) {
  if (SameTextIgnoreCase(name, L"MPOS")) return MoveCursor(input, param);
  if (SameTextIgnoreCase(name, L"MKEY")) return MouseKey(input, param);
  if (SameTextIgnoreCase(name, L"WAIT")) return Wait(input, param);
  return false;
}

bool SendMouseButton(InputPort& input, TMouseKey button, TMouseAction action) {
  const ButtonFlags flags = kButtonFlags[static_cast<size_t>(button)];
  std::vector<std::uint32_t> events;
  switch (action) {
    case TMouseAction::Press: events = {flags.down}; break;
    case TMouseAction::Release: events = {flags.up}; break;
    case TMouseAction::Click: events = {flags.down, flags.up}; break;
    case TMouseAction::DblClick: events = {flags.down, flags.up, flags.down, flags.up}; break;
  }
  bool sent = false;
  for (std::uint32_t event : events) {
    sent = input.SendMouseButtonEvent(event);
    if (!sent) break;
  }
  return sent;
}

std::vector<std::string> SplitTagFields(std::string_view text) {
  // A zero character ends the text.
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> fields;
  size_t pos = 0;
  const auto skipBlanks = [&] {
    while (pos < text.size() && IsBlankOrControl(text[pos])) ++pos;
  };
  skipBlanks();
  while (pos < text.size()) {
    std::string field;
    if (text[pos] == '"') {
      ++pos;
      while (pos < text.size()) {
        if (text[pos] == '"') {
          if (pos + 1 < text.size() && text[pos + 1] == '"') {
            field += '"';
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        field += text[pos++];
      }
    } else {
      while (pos < text.size() && text[pos] != ',' &&
             static_cast<unsigned char>(text[pos]) > 32) {
        field += text[pos++];
      }
    }
    fields.push_back(std::move(field));
    skipBlanks();
    if (pos < text.size() && text[pos] == ',') {
      if (pos + 1 == text.size()) fields.emplace_back();
      ++pos;
      skipBlanks();
    }
  }
  return fields;
}

int StrToCoordinate(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  int base = 10;
  if (text.substr(pos).starts_with("0x") || text.substr(pos).starts_with("0X")) {
    base = 16;
    pos += 2;
  } else if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
    base = 16;
    ++pos;
  }
  if (pos == text.size()) return kBadCoordinate;
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    const int digit = base == 16 ? HexValue(text[pos]) : (IsDigit(text[pos]) ? text[pos] - '0' : -1);
    if (digit < 0) return kBadCoordinate;
    value = value * base + digit;
    if (value > 0x80000000LL) return kBadCoordinate;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int>::max()) return kBadCoordinate;
  return static_cast<int>(value);
}

double StrToFloatAnySeparator(std::string_view text, double Default) {
  const char separator = text.find('.') != std::string_view::npos ? '.' : ',';
  std::string number;
  size_t pos = 0;
  const auto digits = [&] {
    const size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) number += text[pos++];
    return pos > start;
  };
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) number += text[pos++];
  bool valid = digits();
  if (valid && pos < text.size() && text[pos] == separator) {
    ++pos;
    number += '.';
    valid = digits();
  }
  if (valid && pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    number += text[pos++];
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) number += text[pos++];
    valid = digits();
  }
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (!valid || pos != text.size()) return Default;

  errno = 0;
  const double value = std::strtod(number.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(value)) return Default;
  if (value == kBadNumber) return Default;
  return value;
}

std::uint32_t PauseMilliseconds(double seconds) {
  // Computed in SSE2 doubles (no x87 excess precision), rounded in the
  // current mode: to nearest, a half to even.
  const double milliseconds = std::nearbyint(seconds * 1000.0);
  if (!(milliseconds > 0)) return 0;
  if (milliseconds >= static_cast<double>(kLongestPause)) return kLongestPause;
  return static_cast<std::uint32_t>(milliseconds);
}
