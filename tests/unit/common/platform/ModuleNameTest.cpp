#include "ModuleName.h"

#include <gtest/gtest.h>

namespace {

// Without the full path, the part after the last backslash or colon; with
// it, the path as it is.
TEST(ModuleName_FromPath, FileNameOnlyAfterTheLastSeparator_OrTheFullPath) {
  const struct {
    const char* name;
    const char* path;
    bool fullPath;
    const char* expected;
  } cases[] = {
      {"after the last backslash", "C:\\Program Files\\Tools\\app.exe", false, "app.exe"},
      {"after a colon", "C:app.exe", false, "app.exe"},
      {"the last separator wins", "\\\\?\\C:\\a:b\\Tools\\app.exe", false, "app.exe"},
      {"the last separator wins, a colon", "C:\\Tools\\a:b.exe", false, "b.exe"},
      {"no separator keeps the name", "app.exe", false, "app.exe"},
      {"a trailing separator gives empty", "C:\\Tools\\", false, ""},
      {"a forward slash is no separator", "C:\\Tools/sub/app.exe", false, "Tools/sub/app.exe"},
      {"the full path is kept as it is", "C:\\Program Files\\Tools\\app.exe", true,
       "C:\\Program Files\\Tools\\app.exe"},
      {"empty stays empty", "", false, ""},
      {"empty stays empty, full path", "", true, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ModuleNameFromPath(c.path, c.fullPath), c.expected) << c.name;
  }
}

}  // namespace
