#include "FriendlyName.h"

#include <gtest/gtest.h>

#include "ObjectVariables.h"

namespace {

constexpr int32_t kPushButton = 43;
constexpr int32_t kText = 42;

struct Inputs {
  std::wstring module = L"C:\\Apps\\app.exe";
  std::wstring name;
  std::wstring value;
  std::wstring text;
  std::wstring description;
  std::wstring className;
  int32_t roleId = kPushButton;
};

std::wstring FriendlyName(const Inputs& in) {
  return BuildFriendlyName(in.module, in.name, in.value, in.text, in.description, in.className,
                           in.roleId);
}

}  // namespace

TEST(FriendlyName_Build, ShortNameKeepsItsPlace) {
  EXPECT_EQ(FriendlyName({.name = L"OK", .value = L"a much longer value",
                          .text = L"and an even longer window text"}),
            L"OK_app_PUSHBUTTON");
}

TEST(FriendlyName_Build, EmptyNameStillLeadsTheJoin) {
  EXPECT_EQ(FriendlyName({}), L"_app_PUSHBUTTON");
}

TEST(FriendlyName_Build, LongerCandidateReplacesANameOfMoreThanFiveCharacters) {
  EXPECT_EQ(FriendlyName({.module = L"notepad.exe",
                          .name = L"Text Editor",
                          .text = L"Hello world, this is a long line of text",
                          .roleId = kText}),
            L"Hello_world,_this_is_a_long_li..._notepad_TEXT");
}

TEST(FriendlyName_Build, EachReplacementRaisesTheLengthToBeat) {
  // value (8) beats the name (6); text (7) does not beat the value;
  // description (9) does; the class (3) does not.
  EXPECT_EQ(FriendlyName({.name = L"abcdef", .value = L"12345678", .text = L"xxxxxxx",
                          .description = L"desc12345", .className = L"Btn"}),
            L"desc12345_app_PUSHBUTTON");
  // A name of exactly five characters is kept.
  EXPECT_EQ(FriendlyName({.name = L"abcde", .value = L"12345678"}), L"abcde_app_PUSHBUTTON");
}

TEST(FriendlyName_Build, ClassStandsForAMissingRoleName) {
  for (int32_t role : {-1, 0, 0x3E}) {
    EXPECT_EQ(FriendlyName({.name = L"OK", .className = L"My Class", .roleId = role}),
              L"OK_app_My_Class")
        << role;
  }
  EXPECT_EQ(FriendlyName({.module = L"", .name = L"OK", .roleId = -1}), L"OK");
}

TEST(FriendlyName_Build, PartsAreCutToTheirLengths) {
  EXPECT_EQ(FriendlyName({.module = L"C:\\x\\averyveryverylongmodulename.dll", .name = L"OK"}),
            L"OK_averyveryverylo_PUSHBUTTON");
  // A whole name above 60 characters is cut there, inside a part if need be.
  const std::wstring name(40, L'n');
  EXPECT_EQ(FriendlyName({.module = L"averyveryverylongmodulename.exe",
                          .name = name,
                          .className = L"ClassNameLongerThanFifteen",
                          .roleId = -1}),
            std::wstring(30, L'n') + L"..._averyveryverylo_ClassNameL");
}

TEST(FriendlyName_Build, ControlCharactersOfAMultiLineTextAreDropped) {
  EXPECT_EQ(FriendlyName({.name = L"Editor",
                          .text = L"first line\r\n\tsecond line",
                          .roleId = kText}),
            L"first_linesecond_line_app_TEXT");
}

TEST(FriendlyName_Safe, BlankRunsBecomeOneUnderscore) {
  EXPECT_EQ(MakeFileNameSafe("a   b c"), "a_b_c");
  EXPECT_EQ(MakeFileNameSafe(" & "), "__");
}

TEST(FriendlyName_Safe, ForbiddenAndControlCharactersAreRemoved) {
  EXPECT_EQ(MakeFileNameSafe("a&b:c\\d/e*f?g\"h<i>j|k"), "abcdefghijk");
  EXPECT_EQ(MakeFileNameSafe(std::string("x\x01y\x1Fz\x7F\xe9", 7)), "xyz\x7F\xe9");
}

TEST(FriendlyName_Truncate, CutsAtTheLengthOrAtABlankInTheSecondHalf) {
  EXPECT_EQ(TruncateAtSpace("short", 10), "short");
  EXPECT_EQ(TruncateAtSpace("abcdefghij", 4), "abcd");
  EXPECT_EQ(TruncateAtSpace("hello world again", 12), "hello world");
  EXPECT_EQ(TruncateAtSpace("ab cdefghijkl", 10), "ab cdefghi");  // blank in the first half
  EXPECT_EQ(TruncateAtSpace("abcd  \tefgh", 8), "abcd");
}

TEST(FriendlyName_Title, FolderAndExtensionGo) {
  EXPECT_EQ(FileTitle("C:\\Apps\\app.exe"), "app");
  EXPECT_EQ(FileTitle("/usr/bin/tool.1.exe"), "tool.1");
  EXPECT_EQ(FileTitle("noext"), "noext");
  EXPECT_EQ(FileTitle(""), "");
}

TEST(ObjectVariables_List, SeventeenInOrderEmptyOnesIncluded) {
  TObjectProperties properties;
  properties.Module = L"C:\\Apps\\app.exe";
  properties.Handle = 0x80000001u;
  properties.Name = L"OK";
  properties.RoleId = kPushButton;
  properties.StateId = -1;
  properties.ScreenRect = {1, 2, 30, 40};
  properties.InnerPoint = {4, 5};
  properties.HelpTopicId = -1;
  const std::vector<TObjectVariable> variables = ObjectVariables(properties);
  const std::vector<std::wstring> keys = {
      L"Module", L"Handle", L"Name", L"Role", L"State", L"Text", L"Class", L"Shortcut",
      L"ScreenRect", L"ScreenPoint", L"Value", L"Action", L"Description", L"HelpIndex",
      L"RoleFull", L"StateFull", L"FriendlyName"};
  ASSERT_EQ(variables.size(), keys.size());
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(variables[i].Key, keys[i]) << i;
  EXPECT_EQ(variables[0].Value, L"C:\\Apps\\app.exe");
  EXPECT_EQ(variables[1].Value, L"2147483649");
  EXPECT_EQ(variables[3].Value, L"PUSHBUTTON");
  EXPECT_TRUE(variables[4].Value.starts_with(L"UNKNOWN;SELECTED;"));
  EXPECT_TRUE(variables[4].Value.ends_with(L";ALERT_HIGH"));
  EXPECT_EQ(variables[7].Value, L"");
  EXPECT_EQ(variables[8].Value, L"1,2,30,40");
  EXPECT_EQ(variables[9].Value, L"5,7");
  EXPECT_EQ(variables[13].Value, L"-1");
  EXPECT_EQ(variables[16].Value, L"OK_app_PUSHBUTTON");
}
