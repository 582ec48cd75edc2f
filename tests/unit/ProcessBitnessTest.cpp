#include "ProcessBitness.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessBitness_RemoteRecordsFit, NativeSelf_AnyTargetFits) {
  // A 32-bit program that does not run under WOW64 is on a 32-bit system,
  // where every process is 32-bit, whatever the target says of itself.
  EXPECT_TRUE(RemoteRecordsFit(Wow64State::No, Wow64State::No));
  EXPECT_TRUE(RemoteRecordsFit(Wow64State::No, Wow64State::Yes));
  EXPECT_TRUE(RemoteRecordsFit(Wow64State::No, Wow64State::Unknown));
}

TEST(ProcessBitness_RemoteRecordsFit, Wow64Self_OnlyWow64TargetFits) {
  EXPECT_TRUE(RemoteRecordsFit(Wow64State::Yes, Wow64State::Yes));
  EXPECT_FALSE(RemoteRecordsFit(Wow64State::Yes, Wow64State::No));
  EXPECT_FALSE(RemoteRecordsFit(Wow64State::Yes, Wow64State::Unknown));
}

TEST(ProcessBitness_RemoteRecordsFit, UnknownSelf_OnlyWow64TargetFits) {
  EXPECT_TRUE(RemoteRecordsFit(Wow64State::Unknown, Wow64State::Yes));
  EXPECT_FALSE(RemoteRecordsFit(Wow64State::Unknown, Wow64State::No));
  EXPECT_FALSE(RemoteRecordsFit(Wow64State::Unknown, Wow64State::Unknown));
}

}  // namespace
