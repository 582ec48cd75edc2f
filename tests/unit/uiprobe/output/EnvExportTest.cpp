#include "EnvExport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "EnvironmentVariable.h"
#include "FakeItem.h"

namespace {

using testsupport::EnvironmentVariable;

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

  EXPECT_EQ(EnvironmentVariable("VEK_MODULE"), "C:\\Apps\\app.exe");
  EXPECT_EQ(EnvironmentVariable("VEK_HANDLE"), "4294967294");
  EXPECT_EQ(EnvironmentVariable("VEK_NAME"), "r\xe9sum\xe9");
  EXPECT_EQ(EnvironmentVariable("VEK_ROLE"), "PUSHBUTTON");
  EXPECT_EQ(EnvironmentVariable("VEK_STATE"), "FOCUSED");
  EXPECT_EQ(EnvironmentVariable("VEK_TEXT"), "");
  EXPECT_EQ(EnvironmentVariable("VEK_CLASS"), "Button");
  EXPECT_EQ(EnvironmentVariable("VEK_SHORTCUT"), "");
  EXPECT_EQ(EnvironmentVariable("VEK_SCREENRECT"), "10,20,30,40");
  EXPECT_EQ(EnvironmentVariable("VEK_SCREENPOINT"), "11,22");
  EXPECT_EQ(EnvironmentVariable("VEK_VALUE"), "");
  EXPECT_EQ(EnvironmentVariable("VEK_ACTION"), "");
  EXPECT_EQ(EnvironmentVariable("VEK_DESCRIPTION"), "");
  EXPECT_EQ(EnvironmentVariable("VEK_HELPINDEX"), "-1");
  EXPECT_EQ(EnvironmentVariable("VEK_ROLEFULL"), "push button");
  EXPECT_EQ(EnvironmentVariable("VEK_STATEFULL"), "focused;");
  EXPECT_EQ(EnvironmentVariable("VEK_FRIENDLYNAME"), "r\xe9sum\xe9_app_PUSHBUTTON");
  EXPECT_EQ(item->Calls(ItemOp::GetScreenRect), 1);
}

TEST(EnvExport_Variables, KeyIsUpperCasedBehindThePrefix) {
  SetObjectEnvVar(L"MixedCase", L"v");
  EXPECT_EQ(EnvironmentVariable("VEK_MIXEDCASE"), "v");
  SetObjectEnvVar(L"Empty", L"");
  EXPECT_EQ(EnvironmentVariable("VEK_EMPTY"), "");
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
