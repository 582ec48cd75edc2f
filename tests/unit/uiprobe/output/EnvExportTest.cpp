#include "EnvExport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "FakeItem.h"

namespace {

std::string Variable(const char* name) {
  char buffer[1024];
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return "<missing>";
  return std::string(buffer, length);
}

}  // namespace

TEST(EnvExport_Variables, AllSeventeenSetEmptyOnesDefined) {
  FakeItemValues values;
  values.moduleName = "C:\\Apps\\app.exe";
  values.handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(0xFFFFFFFEu));
  values.name = L"r\u00e9sum\u00e9";
  values.roleId = 43;
  values.stateId = 0x4;
  values.className = "Button";
  values.screenRect = {10, 20, 30, 40};
  values.innerPoint = {1, 2};
  values.helpTopicId = -1;
  values.role = L"push button";
  values.state = L"focused;";
  const FakeItemPtr item = FakeItem::Make(values);
  ExportObjectToEnvironment(item.Get());

  EXPECT_EQ(Variable("VEK_MODULE"), "C:\\Apps\\app.exe");
  EXPECT_EQ(Variable("VEK_HANDLE"), "4294967294");
  EXPECT_EQ(Variable("VEK_NAME"), "r\xe9sum\xe9");
  EXPECT_EQ(Variable("VEK_ROLE"), "PUSHBUTTON");
  EXPECT_EQ(Variable("VEK_STATE"), "FOCUSED");
  EXPECT_EQ(Variable("VEK_TEXT"), "");
  EXPECT_EQ(Variable("VEK_CLASS"), "Button");
  EXPECT_EQ(Variable("VEK_SHORTCUT"), "");
  EXPECT_EQ(Variable("VEK_SCREENRECT"), "10,20,30,40");
  EXPECT_EQ(Variable("VEK_SCREENPOINT"), "11,22");
  EXPECT_EQ(Variable("VEK_VALUE"), "");
  EXPECT_EQ(Variable("VEK_ACTION"), "");
  EXPECT_EQ(Variable("VEK_DESCRIPTION"), "");
  EXPECT_EQ(Variable("VEK_HELPINDEX"), "-1");
  EXPECT_EQ(Variable("VEK_ROLEFULL"), "push button");
  EXPECT_EQ(Variable("VEK_STATEFULL"), "focused;");
  EXPECT_EQ(Variable("VEK_FRIENDLYNAME"), "r\xe9sum\xe9_app_PUSHBUTTON");
  EXPECT_EQ(item->Calls(ItemOp::GetScreenRect), 1);
}

TEST(EnvExport_Variables, KeyIsUpperCasedBehindThePrefix) {
  SetObjectEnvVar(L"MixedCase", L"v");
  EXPECT_EQ(Variable("VEK_MIXEDCASE"), "v");
  SetObjectEnvVar(L"Empty", L"");
  EXPECT_EQ(Variable("VEK_EMPTY"), "");
}

TEST(EnvExport_FriendlyName, ReadFromTheItem) {
  FakeItemValues values;
  values.moduleName = "notepad.exe";
  values.name = L"Text Editor";
  values.text = "Hello world, this is a long line of text";
  values.roleId = 42;
  EXPECT_EQ(GetFriendlyName(FakeItem::Make(values).Get()),
            L"Hello_world,_this_is_a_long_li..._notepad_TEXT");
}
