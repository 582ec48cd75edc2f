#include "Environment.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "EnvironmentVariable.h"
#include "PresenceMapping.h"
#include "TempFolder.h"

namespace {

using testsupport::EnvironmentVariable;

// A name of its own for each test, so that tests in other processes
// never meet it.
std::string UniqueMappingName(const char* test) {
  return std::string("DesktopToolsTest.") + test + "." + std::to_string(GetCurrentProcessId());
}

}  // namespace

TEST(Environment_Set, ValueIsSetAndEmptyValueStaysDefined) {
  SetEnvVariable("VEK_TEST_SET", "some value");
  EXPECT_EQ(EnvironmentVariable("VEK_TEST_SET"), "some value");
  SetEnvVariable("VEK_TEST_SET", "");
  EXPECT_EQ(EnvironmentVariable("VEK_TEST_SET"), "");
}

TEST(Environment_Set, EmptyVariableReachesAChild) {
  SetEnvVariable("VEK_TEST_EMPTY", "");
  testsupport::TempFolder folder;
  const std::wstring listing = (folder / L"set.txt").wstring();
  // "set PREFIX" lists every variable whose name begins with PREFIX. (Wine's
  // command interpreter takes a blank before the ">" into the prefix.)
  ASSERT_EQ(ExecuteAndWait(L"cmd /c set VEK_TEST_EMP>\"" + listing + L"\"", false), 0);
  EXPECT_EQ(testsupport::ReadBytesFromFile(listing), "VEK_TEST_EMPTY=\r\n");
}

TEST(Environment_Expand, DefinedReferencesReplacedOthersKept) {
  SetEnvVariable("VEK_TEST_NAME", "OK");
  EXPECT_EQ(ExpandEnvVars(L"[%VEK_TEST_NAME%] %VEK_TEST_UNDEFINED% 100%"),
            L"[OK] %VEK_TEST_UNDEFINED% 100%");
  EXPECT_EQ(ExpandEnvVars(L""), L"");
}

TEST(Environment_Execute, ReturnsTheExitCode) {
  EXPECT_EQ(ExecuteAndWait(L"cmd /c exit 0", false), 0);
  EXPECT_EQ(ExecuteAndWait(L"cmd /c exit 5", false), 5);
}

TEST(Environment_Execute, ProgramThatCannotBeStartedGivesTheLargestInteger) {
  EXPECT_EQ(ExecuteAndWait(L"no_such_program_of_the_tests.exe", true), 2147483647);
  EXPECT_EQ(ExecuteAndWait(L"", true), 2147483647);
  EXPECT_EQ(kNotStartedExitCode, 2147483647);
}

TEST(Environment_Execute, CommandLineIsExpandedBeforeItStarts) {
  // Only an expanded command line names a program that exists.
  SetEnvVariable("VEK_TEST_PROGRAM", "cmd");
  EXPECT_EQ(ExecuteAndWait(L"%VEK_TEST_PROGRAM% /c exit 6", true), 6);
  EXPECT_EQ(ExecuteAndWait(L"%VEK_TEST_PROGRAM% /c exit 6", false), 2147483647);
}

TEST(PresenceMapping_Open, FirstCreatesAndZeroesLaterOnesKeepTheByte) {
  const std::string name = UniqueMappingName("Presence");
  const PresenceMapping first(name.c_str());
  ASSERT_TRUE(first.IsMapped());
  EXPECT_TRUE(first.Created());
  EXPECT_EQ(*first.View(), 0);

  // Someone else sets the byte; a second opener finds and keeps it.
  HANDLE other = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
  ASSERT_NE(other, nullptr);
  auto* byte = static_cast<unsigned char*>(MapViewOfFile(other, FILE_MAP_ALL_ACCESS, 0, 0, 1));
  ASSERT_NE(byte, nullptr);
  *byte = 0x5A;

  const PresenceMapping second(name.c_str());
  ASSERT_TRUE(second.IsMapped());
  EXPECT_FALSE(second.Created());
  EXPECT_EQ(*second.View(), 0x5A);
  UnmapViewOfFile(byte);
  CloseHandle(other);
}

TEST(PresenceMapping_Open, NameDisappearsWithTheLastHolder) {
  const std::string name = UniqueMappingName("Release");
  {
    const PresenceMapping held(name.c_str());
    ASSERT_TRUE(held.IsMapped());
    HANDLE probe = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    EXPECT_NE(probe, nullptr);
    if (probe != nullptr) CloseHandle(probe);
  }
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
}

TEST(PresenceMapping_Open, TheSystemsNameIsMapped) {
  const PresenceMapping presence;
  EXPECT_TRUE(presence.IsMapped());
  HANDLE probe = OpenFileMappingA(FILE_MAP_READ, FALSE,
                                  "Quorvik(20921956-8C64-4A33-A2CA-1157B582960B)");
  EXPECT_NE(probe, nullptr);
  if (probe != nullptr) CloseHandle(probe);
}
