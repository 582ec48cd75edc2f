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

// The name, or a longer value, text or description when the name has more
// than five characters, each replacement raising the length to beat; the
// module's title; the role's name, else the class; each part cut to its
// length and the whole to 60 characters.
TEST(FriendlyName_Build, CandidateModuleAndRoleName_JoinedAndCut) {
  const std::wstring n40(40, L'n');
  const struct {
    const char* name;
    Inputs in;
    std::wstring expected;
  } cases[] = {
      {"a short name keeps its place",
       {.name = L"OK", .value = L"a much longer value", .text = L"and an even longer window text"},
       L"OK_app_PUSHBUTTON"},
      {"an empty name still leads the join", {}, L"_app_PUSHBUTTON"},
      {"a longer candidate replaces a name of more than five characters",
       {.module = L"notepad.exe", .name = L"Text Editor",
        .text = L"Hello world, this is a long line of text", .roleId = kText},
       L"Hello_world,_this_is_a_long_li..._notepad_TEXT"},
      // value (8) beats the name (6); text (7) does not beat the value;
      // description (9) does; the class (3) does not.
      {"each replacement raises the length to beat",
       {.name = L"abcdef", .value = L"12345678", .text = L"xxxxxxx", .description = L"desc12345",
        .className = L"Btn"},
       L"desc12345_app_PUSHBUTTON"},
      {"a name of exactly five characters is kept", {.name = L"abcde", .value = L"12345678"},
       L"abcde_app_PUSHBUTTON"},
      {"the class stands for role -1", {.name = L"OK", .className = L"My Class", .roleId = -1},
       L"OK_app_My_Class"},
      {"the class stands for role 0", {.name = L"OK", .className = L"My Class", .roleId = 0},
       L"OK_app_My_Class"},
      {"the class stands for role 0x3E", {.name = L"OK", .className = L"My Class", .roleId = 0x3E},
       L"OK_app_My_Class"},
      {"no module and no role name", {.module = L"", .name = L"OK", .roleId = -1}, L"OK"},
      {"the module is cut", {.module = L"C:\\x\\averyveryverylongmodulename.dll", .name = L"OK"},
       L"OK_averyveryverylo_PUSHBUTTON"},
      // A whole name above 60 characters is cut there, inside a part if need be.
      {"the whole is cut at 60",
       {.module = L"averyveryverylongmodulename.exe", .name = n40,
        .className = L"ClassNameLongerThanFifteen", .roleId = -1},
       std::wstring(30, L'n') + L"..._averyveryverylo_ClassNameL"},
      {"control characters of a multi-line text are dropped",
       {.name = L"Editor", .text = L"first line\r\n\tsecond line", .roleId = kText},
       L"first_linesecond_line_app_TEXT"},
  };
  for (const auto& c : cases) EXPECT_EQ(FriendlyName(c.in), c.expected) << c.name;
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
