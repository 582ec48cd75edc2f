#pragma once
// The fixed upper-case names of the accessibility layer's roles and state
// bits, and the lookups that turn role ids and state bits into them. Outputs
// print these names where a script needs the same word on every system,
// whatever the language of the layer's own texts.
//
// Nothing here needs the platform: the tables are compile-time data, and the
// joining of the layer's state texts takes the text source as an argument.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// One row of a name table.
struct TListRec {
  int32_t Value;
  std::string_view Name;  // plain upper-case ASCII
};

// One row per state bit from 0x1 to 0x10000000, in ascending bit order. Bit
// 0x1 is the layer's "unavailable" state; the tools have always called it
// UNKNOWN, and scripts match that word.
inline constexpr std::array<TListRec, 29> StateNames{{
    {0x1, "UNKNOWN"},
    {0x2, "SELECTED"},
    {0x4, "FOCUSED"},
    {0x8, "PRESSED"},
    {0x10, "CHECKED"},
    {0x20, "MIXED"},
    {0x40, "READONLY"},
    {0x80, "HOTTRACKED"},
    {0x100, "DEFAULT"},
    {0x200, "EXPANDED"},
    {0x400, "COLLAPSED"},
    {0x800, "BUSY"},
    {0x1000, "FLOATING"},
    {0x2000, "MARQUEED"},
    {0x4000, "ANIMATED"},
    {0x8000, "INVISIBLE"},
    {0x10000, "OFFSCREEN"},
    {0x20000, "SIZEABLE"},
    {0x40000, "MOVEABLE"},
    {0x80000, "SELFVOICING"},
    {0x100000, "FOCUSABLE"},
    {0x200000, "SELECTABLE"},
    {0x400000, "LINKED"},
    {0x800000, "TRAVERSED"},
    {0x1000000, "MULTISELECTABLE"},
    {0x2000000, "EXTSELECTABLE"},
    {0x4000000, "ALERT_LOW"},
    {0x8000000, "ALERT_MEDIUM"},
    {0x10000000, "ALERT_HIGH"},
}};

// One row per role from 1 (TITLEBAR) to 0x3D (CLOCK), in ascending order.
inline constexpr std::array<TListRec, 61> RoleNames{{
    {0x01, "TITLEBAR"},     {0x02, "MENUBAR"},       {0x03, "SCROLLBAR"},
    {0x04, "GRIP"},         {0x05, "SOUND"},         {0x06, "CURSOR"},
    {0x07, "CARET"},        {0x08, "ALERT"},         {0x09, "WINDOW"},
    {0x0A, "CLIENT"},       {0x0B, "MENUPOPUP"},     {0x0C, "MENUITEM"},
    {0x0D, "TOOLTIP"},      {0x0E, "APPLICATION"},   {0x0F, "DOCUMENT"},
    {0x10, "PANE"},         {0x11, "CHART"},         {0x12, "DIALOG"},
    {0x13, "BORDER"},       {0x14, "GROUPING"},      {0x15, "SEPARATOR"},
    {0x16, "TOOLBAR"},      {0x17, "STATUSBAR"},     {0x18, "TABLE"},
    {0x19, "COLUMNHEADER"}, {0x1A, "ROWHEADER"},     {0x1B, "COLUMN"},
    {0x1C, "ROW"},          {0x1D, "CELL"},          {0x1E, "LINK"},
    {0x1F, "HELPBALLOON"},  {0x20, "CHARACTER"},     {0x21, "LIST"},
    {0x22, "LISTITEM"},     {0x23, "OUTLINE"},       {0x24, "OUTLINEITEM"},
    {0x25, "PAGETAB"},      {0x26, "PROPERTYPAGE"},  {0x27, "INDICATOR"},
    {0x28, "GRAPHIC"},      {0x29, "STATICTEXT"},    {0x2A, "TEXT"},
    {0x2B, "PUSHBUTTON"},   {0x2C, "CHECKBUTTON"},   {0x2D, "RADIOBUTTON"},
    {0x2E, "COMBOBOX"},     {0x2F, "DROPLIST"},      {0x30, "PROGRESSBAR"},
    {0x31, "DIAL"},         {0x32, "HOTKEYFIELD"},   {0x33, "SLIDER"},
    {0x34, "SPINBUTTON"},   {0x35, "DIAGRAM"},       {0x36, "ANIMATION"},
    {0x37, "EQUATION"},     {0x38, "BUTTONDROPDOWN"}, {0x39, "BUTTONMENU"},
    {0x3A, "BUTTONDROPDOWNGRID"}, {0x3B, "WHITESPACE"}, {0x3C, "PAGETABLIST"},
    {0x3D, "CLOCK"},
}};

namespace accessibility_names_detail {

template <size_t N>
constexpr bool NamesAreUpperCaseAscii(const std::array<TListRec, N>& table) {
  return std::all_of(table.begin(), table.end(), [](const TListRec& row) {
    return !row.Name.empty() &&
           std::all_of(row.Name.begin(), row.Name.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || c == '_'; });
  });
}

template <size_t N>
constexpr bool NamesAreUnique(const std::array<TListRec, N>& table) {
  for (size_t i = 0; i < N; ++i) {
    for (size_t j = i + 1; j < N; ++j) {
      if (table[i].Name == table[j].Name) return false;
    }
  }
  return true;
}

constexpr bool StateRowsAreTheBitsInOrder() {
  for (size_t i = 0; i < StateNames.size(); ++i) {
    if (static_cast<uint32_t>(StateNames[i].Value) != (uint32_t{1} << i)) return false;
  }
  return true;
}

constexpr bool RoleRowsCountFromOne() {
  for (size_t i = 0; i < RoleNames.size(); ++i) {
    if (RoleNames[i].Value != static_cast<int32_t>(i + 1)) return false;
  }
  return true;
}

}  // namespace accessibility_names_detail

// A lookup by value finds at most one row in either table: every state row
// is a single bit, every role value occurs once.
static_assert(accessibility_names_detail::StateRowsAreTheBitsInOrder(),
              "state row i must be bit i");
static_assert(StateNames.back().Value == 0x10000000);
static_assert(accessibility_names_detail::RoleRowsCountFromOne(),
              "role row i must have the value i + 1");
static_assert(RoleNames.back().Value == 0x3D);
static_assert(accessibility_names_detail::NamesAreUpperCaseAscii(StateNames));
static_assert(accessibility_names_detail::NamesAreUpperCaseAscii(RoleNames));
static_assert(accessibility_names_detail::NamesAreUnique(StateNames));
static_assert(accessibility_names_detail::NamesAreUnique(RoleNames));
static_assert(StateNames[0].Name == "UNKNOWN" && StateNames[15].Name == "INVISIBLE");
static_assert(RoleNames[0].Name == "TITLEBAR" && RoleNames[9].Name == "CLIENT" &&
              RoleNames[41].Name == "TEXT" && RoleNames[60].Name == "CLOCK");

// The name of the first role row with this id; empty when no row has it
// (-1, 0, anything above 0x3D).
std::wstring RoleToName(int32_t roleId);

// The names of the set state bits in ascending bit order, joined by ";",
// with nothing before the first or after the last. Bits above 0x10000000
// have no name and are skipped; the failure value -1 names all 29.
std::wstring StateBitsToNames(int32_t stateId);

// The layer's own texts of the set state bits 0x2 .. 0x10000000, ascending,
// each followed by ";" (the last one too). Bit 0x1 and the bits above
// 0x10000000 are not examined. `textOf(bit)` gives the text of one bit; a bit
// without text still gets its ";", so the count of ";" is the count of bits.
template <class TextOf>
std::string JoinStateTexts(uint32_t stateBits, TextOf&& textOf) {
  std::string joined;
  for (uint32_t bit = 1; bit < 0x10000000u;) {
    bit <<= 1;
    if ((stateBits & bit) != 0) {
      joined += textOf(bit);
      joined += ';';
    }
  }
  return joined;
}
