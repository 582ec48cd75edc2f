#include "WrittenText.h"

#include <oleacc.h>

#include <cstdint>

namespace written {

namespace {

template <class Char>
bool IsDigits(std::basic_string_view<Char> text) {
  if (text.empty()) return false;
  for (Char c : text) {
    if (c < Char('0') || c > Char('9')) return false;
  }
  return true;
}

// The value of "X+n", "X-n", "Y+n" or "Y-n"; false for any other name.
template <class Char>
bool Coordinate(std::basic_string_view<Char> name, POINT offset, long& value) {
  if (name.size() < 3 || (name[0] != Char('X') && name[0] != Char('Y')) ||
      (name[1] != Char('+') && name[1] != Char('-')) || !IsDigits(name.substr(2))) {
    return false;
  }
  long n = 0;
  for (Char c : name.substr(2)) n = n * 10 + (c - Char('0'));
  value = (name[0] == Char('X') ? offset.x : offset.y) + (name[1] == Char('+') ? n : -n);
  return true;
}

template <class Char>
using Map = std::map<std::basic_string<Char>, std::basic_string<Char>>;

template <class Char>
std::basic_string<Char> Fill(std::basic_string_view<Char> text, const Map<Char>& values,
                             POINT offset) {
  std::basic_string<Char> result;
  size_t at = 0;
  for (;;) {
    const size_t open = text.find(Char('%'), at);
    const size_t close = open == text.npos ? text.npos : text.find(Char('%'), open + 1);
    if (close == text.npos) break;
    result += text.substr(at, open - at);
    const std::basic_string<Char> name(text.substr(open + 1, close - open - 1));
    long coordinate = 0;
    if (const auto value = values.find(name); value != values.end()) {
      result += value->second;
      at = close + 1;
    } else if (Coordinate<Char>(name, offset, coordinate)) {
      for (char c : std::to_string(coordinate)) result += Char(c);
      at = close + 1;
    } else {
      // Not a name: its closing sign may open the next one.
      result += text.substr(open, close - open);
      at = close;
    }
  }
  result += text.substr(at);
  return result;
}

}  // namespace

std::string Filled(std::string_view text, const Values& values, POINT offset) {
  return Fill<char>(text, values, offset);
}

std::wstring Filled(std::wstring_view text, const WideValues& values, POINT offset) {
  return Fill<wchar_t>(text, values, offset);
}

std::vector<std::wstring> Filled(const std::vector<std::wstring>& lines,
                                 const WideValues& values, POINT offset) {
  std::vector<std::wstring> filled;
  for (const std::wstring& line : lines) filled.push_back(Filled(line, values, offset));
  return filled;
}

std::string HandleText(HWND window) {
  return std::to_string(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window)));
}

std::string PlatformRoleText(DWORD role) {
  char text[512] = {};
  return GetRoleTextA(role, text, sizeof text) > 0 ? text : "";
}

std::string PlatformStateText(DWORD stateBit) {
  char text[512] = {};
  return GetStateTextA(stateBit, text, sizeof text) > 0 ? text : "";
}

}  // namespace written
