#include "AccessibilityNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

const char* const kStateNamesInBitOrder[] = {
    "UNKNOWN",     "SELECTED",   "FOCUSED",         "PRESSED",       "CHECKED",
    "MIXED",       "READONLY",   "HOTTRACKED",      "DEFAULT",       "EXPANDED",
    "COLLAPSED",   "BUSY",       "FLOATING",        "MARQUEED",      "ANIMATED",
    "INVISIBLE",   "OFFSCREEN",  "SIZEABLE",        "MOVEABLE",      "SELFVOICING",
    "FOCUSABLE",   "SELECTABLE", "LINKED",          "TRAVERSED",     "MULTISELECTABLE",
    "EXTSELECTABLE", "ALERT_LOW", "ALERT_MEDIUM",   "ALERT_HIGH",
};

const char* const kRoleNamesFromOne[] = {
    "TITLEBAR",     "MENUBAR",        "SCROLLBAR",   "GRIP",
    "SOUND",        "CURSOR",         "CARET",       "ALERT",
    "WINDOW",       "CLIENT",         "MENUPOPUP",   "MENUITEM",
    "TOOLTIP",      "APPLICATION",    "DOCUMENT",    "PANE",
    "CHART",        "DIALOG",         "BORDER",      "GROUPING",
    "SEPARATOR",    "TOOLBAR",        "STATUSBAR",   "TABLE",
    "COLUMNHEADER", "ROWHEADER",      "COLUMN",      "ROW",
    "CELL",         "LINK",           "HELPBALLOON", "CHARACTER",
    "LIST",         "LISTITEM",       "OUTLINE",     "OUTLINEITEM",
    "PAGETAB",      "PROPERTYPAGE",   "INDICATOR",   "GRAPHIC",
    "STATICTEXT",   "TEXT",           "PUSHBUTTON",  "CHECKBUTTON",
    "RADIOBUTTON",  "COMBOBOX",       "DROPLIST",    "PROGRESSBAR",
    "DIAL",         "HOTKEYFIELD",    "SLIDER",      "SPINBUTTON",
    "DIAGRAM",      "ANIMATION",      "EQUATION",    "BUTTONDROPDOWN",
    "BUTTONMENU",   "BUTTONDROPDOWNGRID", "WHITESPACE", "PAGETABLIST",
    "CLOCK",
};

std::wstring Wide(const char* ascii) {
  return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

// The expected joining, written out by hand from a list of names.
std::wstring Joined(const std::vector<const char*>& names) {
  std::wstring out;
  for (const char* name : names) {
    if (!out.empty()) out += L';';
    out += Wide(name);
  }
  return out;
}

}  // namespace

TEST(AccessibilityNames_StateTable, EveryRow_IsItsBitAndName) {
  ASSERT_EQ(StateNames.size(), std::size(kStateNamesInBitOrder));
  uint32_t bit = 1;
  for (size_t row = 0; row < StateNames.size(); ++row, bit <<= 1) {
    SCOPED_TRACE(row);
    EXPECT_EQ(static_cast<uint32_t>(StateNames[row].Value), bit);
    EXPECT_EQ(StateNames[row].Name, kStateNamesInBitOrder[row]);
  }
}

TEST(AccessibilityNames_StateTable, LastRow_IsBit0x10000000) {
  EXPECT_EQ(StateNames.back().Value, 0x10000000);
  EXPECT_EQ(StateNames.back().Name, "ALERT_HIGH");
}

TEST(AccessibilityNames_RoleTable, EveryRow_IsItsValueAndName) {
  ASSERT_EQ(RoleNames.size(), std::size(kRoleNamesFromOne));
  for (size_t row = 0; row < RoleNames.size(); ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(RoleNames[row].Value, static_cast<int32_t>(row) + 1);
    EXPECT_EQ(RoleNames[row].Name, kRoleNamesFromOne[row]);
  }
}

TEST(AccessibilityNames_RoleTable, SampleRows_MatchTheirValues) {
  EXPECT_EQ(RoleNames[0].Value, 0x01);
  EXPECT_EQ(RoleNames[0].Name, "TITLEBAR");
  EXPECT_EQ(RoleNames[9].Value, 0x0A);
  EXPECT_EQ(RoleNames[9].Name, "CLIENT");
  EXPECT_EQ(RoleNames[41].Value, 0x2A);
  EXPECT_EQ(RoleNames[41].Name, "TEXT");
  EXPECT_EQ(RoleNames[60].Value, 0x3D);
  EXPECT_EQ(RoleNames[60].Name, "CLOCK");
}

TEST(AccessibilityNames_RoleToName, EveryRole_GivesItsWidenedName) {
  for (size_t row = 0; row < std::size(kRoleNamesFromOne); ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(RoleToName(static_cast<int32_t>(row) + 1), Wide(kRoleNamesFromOne[row]));
  }
}

TEST(AccessibilityNames_RoleToName, IdsWithoutRow_GiveEmpty) {
  EXPECT_EQ(RoleToName(-1), L"");
  EXPECT_EQ(RoleToName(0), L"");
  EXPECT_EQ(RoleToName(0x3E), L"");
  EXPECT_EQ(RoleToName(0x7FFFFFFF), L"");
  EXPECT_EQ(RoleToName(static_cast<int32_t>(0x80000001u)), L"");
}

// The names of the bits in ascending order, joined by ";" without one at
// the end; bits above the table have none.
TEST(AccessibilityNames_StateBitsToNames, NamesInAscendingBitOrder_BitsAboveTheTableIgnored) {
  const struct {
    int32_t bits;
    const wchar_t* names;
  } cases[] = {
      {0, L""},
      {0x8000, L"INVISIBLE"},
      {0x1, L"UNKNOWN"},
      {0x4 | 0x2, L"SELECTED;FOCUSED"},
      {0x10000000 | 0x100000 | 0x1, L"UNKNOWN;FOCUSABLE;ALERT_HIGH"},
      {static_cast<int32_t>(0xE0000000u), L""},
      {static_cast<int32_t>(0x20000000u | 0x8u), L"PRESSED"},
  };
  for (const auto& c : cases) EXPECT_EQ(StateBitsToNames(c.bits), c.names) << std::hex << c.bits;
}

TEST(AccessibilityNames_StateBitsToNames, FailureValue_NamesAll29) {
  const std::wstring names = StateBitsToNames(-1);
  EXPECT_EQ(names, Joined(std::vector<const char*>(std::begin(kStateNamesInBitOrder),
                                                   std::end(kStateNamesInBitOrder))));
  EXPECT_EQ(names.front(), L'U');
  EXPECT_NE(names.back(), L';');
}

namespace {

// A text source that records which bits it was asked for.
struct RecordingTexts {
  std::vector<uint32_t> asked;
  std::string operator()(uint32_t bit) {
    asked.push_back(bit);
    return "s" + std::to_string(bit);
  }
};

}  // namespace

// The lowest bit, like no bit at all, is never looked at.
TEST(AccessibilityNames_JoinStateTexts, NoBitsOrTheLowestBit_EmptyAndNothingAsked) {
  for (const uint32_t bits : {0x0u, 0x1u}) {
    RecordingTexts texts;
    EXPECT_EQ(JoinStateTexts(bits, texts), "") << bits;
    EXPECT_TRUE(texts.asked.empty()) << bits;
  }
}

TEST(AccessibilityNames_JoinStateTexts, TwoBits_EachTextFollowedBySemicolon) {
  RecordingTexts texts;
  EXPECT_EQ(JoinStateTexts(0x6, texts), "s2;s4;");
  EXPECT_EQ(texts.asked, (std::vector<uint32_t>{0x2, 0x4}));
}

TEST(AccessibilityNames_JoinStateTexts, AllBits_Asks28BitsInAscendingOrder) {
  RecordingTexts texts;
  const std::string joined = JoinStateTexts(0xFFFFFFFFu, texts);
  ASSERT_EQ(texts.asked.size(), 28u);
  for (size_t i = 0; i < texts.asked.size(); ++i) {
    EXPECT_EQ(texts.asked[i], uint32_t{2} << i);
  }
  EXPECT_EQ(std::count(joined.begin(), joined.end(), ';'), 28);
  EXPECT_EQ(joined.substr(0, 3), "s2;");
  EXPECT_EQ(joined.substr(joined.size() - 11), "s268435456;");
}

TEST(AccessibilityNames_JoinStateTexts, BitWithoutText_StillGetsItsSemicolon) {
  EXPECT_EQ(JoinStateTexts(0x6, [](uint32_t) { return std::string(); }), ";;");
}
