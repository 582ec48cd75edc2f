#include "ModuleName.h"

#include <gtest/gtest.h>

namespace {

TEST(ModuleName_FromPath, FileNameOnly_PartAfterLastBackslash) {
  EXPECT_EQ(ModuleNameFromPath("C:\\Program Files\\Tools\\app.exe", false), "app.exe");
}

TEST(ModuleName_FromPath, FileNameOnly_PartAfterColon) {
  EXPECT_EQ(ModuleNameFromPath("C:app.exe", false), "app.exe");
}

TEST(ModuleName_FromPath, FileNameOnly_LastSeparatorWins) {
  EXPECT_EQ(ModuleNameFromPath("\\\\?\\C:\\a:b\\Tools\\app.exe", false), "app.exe");
  EXPECT_EQ(ModuleNameFromPath("C:\\Tools\\a:b.exe", false), "b.exe");
}

TEST(ModuleName_FromPath, FileNameOnly_NoSeparatorKeepsTheName) {
  EXPECT_EQ(ModuleNameFromPath("app.exe", false), "app.exe");
}

TEST(ModuleName_FromPath, FileNameOnly_TrailingSeparatorGivesEmpty) {
  EXPECT_EQ(ModuleNameFromPath("C:\\Tools\\", false), "");
}

TEST(ModuleName_FromPath, FileNameOnly_ForwardSlashIsNoSeparator) {
  EXPECT_EQ(ModuleNameFromPath("C:\\Tools/sub/app.exe", false), "Tools/sub/app.exe");
}

TEST(ModuleName_FromPath, FullPath_KeptAsItIs) {
  EXPECT_EQ(ModuleNameFromPath("C:\\Program Files\\Tools\\app.exe", true),
            "C:\\Program Files\\Tools\\app.exe");
}

TEST(ModuleName_FromPath, Empty_StaysEmpty) {
  EXPECT_EQ(ModuleNameFromPath("", false), "");
  EXPECT_EQ(ModuleNameFromPath("", true), "");
}

}  // namespace
