// The hook block as a named mapping: created and zeroed, or opened with what
// it holds; the messages named after it; and a block without a view, which
// every use reports as an error instead of touching memory that is not
// there. Each test uses a block of its own name, never the real one.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "HookInterprocessComm.h"
#include "Raised.h"
#include "UniqueHandle.h"

namespace {

using testsupport::RaisedBy;

std::string UniqueBlockName(const char* test) {
  return std::string("HookInterprocessCommTest{") + test + "}" +
         std::to_string(GetCurrentProcessId()) + "." + std::to_string(GetTickCount());
}

bool AllZero(const volatile THookSharedBlock& block) {
  const volatile unsigned char* bytes = reinterpret_cast<const volatile unsigned char*>(&block);
  for (std::size_t i = 0; i < kHookBlockSize; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

}  // namespace

TEST(HookChannel, Open_NameNotInUse_CreatesAZeroedBlock) {
  const HookChannel channel = HookChannel::Open(UniqueBlockName("create"));
  ASSERT_TRUE(channel.HasView()) << channel.Error();
  EXPECT_TRUE(channel.Created());
  EXPECT_EQ(channel.Error(), 0u);
  EXPECT_TRUE(AllZero(channel.Block()));
}

TEST(HookChannel, Open_BlockHeldElsewhere_KeepsItsContentsAndShares) {
  const std::string name = UniqueBlockName("open");
  const HookChannel first = HookChannel::Open(name);
  ASSERT_TRUE(first.HasView());
  first.Block().HookActive = 1;
  first.Block().MouseWriteCounter = 5;
  first.Block().KeyboardReadCounter = 0xFFFFFFFEu;

  const HookChannel second = HookChannel::Open(name);
  ASSERT_TRUE(second.HasView()) << second.Error();
  EXPECT_FALSE(second.Created());
  EXPECT_TRUE(IsHookActive(second.Block()));
  EXPECT_EQ(second.Block().MouseWriteCounter, 5u);
  EXPECT_EQ(second.Block().KeyboardReadCounter, 0xFFFFFFFEu);
  EXPECT_NE(&first.Block(), &second.Block());  // two views of one block

  second.Block().HookActive = 0;
  EXPECT_FALSE(IsHookActive(first.Block()));
}

TEST(HookChannel, Open_AnyName_RegistersKeyboardAndMouseMessagesNamedAfterIt) {
  const std::string name = UniqueBlockName("messages");
  const HookChannel channel = HookChannel::Open(name);
  EXPECT_EQ(channel.KeyboardHookMessage(), RegisterWindowMessageA((name + "Keyboard").c_str()));
  EXPECT_EQ(channel.MouseHookMessage(), RegisterWindowMessageA((name + "Mouse").c_str()));
  EXPECT_GE(channel.KeyboardHookMessage(), 0xC000u);
  EXPECT_NE(channel.KeyboardHookMessage(), channel.MouseHookMessage());
}

TEST(HookChannel, Names_OfTheRealBlock_AreTheAgreedOnes) {
  EXPECT_STREQ(kHookBlockName, "XU_GlobalHook{BE03CE83-601F-4CF2-82B2-D784527F30E3}");
  EXPECT_STREQ(kKeyboardHookMessageSuffix, "Keyboard");
  EXPECT_STREQ(kMouseHookMessageSuffix, "Mouse");
}

TEST(HookChannel, Open_NameTakenByAnEvent_HasNoViewAndUseRaisesWithTheError) {
  const std::string name = UniqueBlockName("taken");
  const testsupport::UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
  ASSERT_TRUE(event);

  const HookChannel channel = HookChannel::Open(name);
  EXPECT_FALSE(channel.HasView());
  EXPECT_NE(channel.Error(), 0u);
  const auto error = RaisedBy<EHookBlockUnavailable>([&] { (void)&channel.Block(); });
  ASSERT_TRUE(error);
  EXPECT_STREQ(error->ClassName(), "EHookBlockUnavailable");
  EXPECT_EQ(error->Code(), channel.Error());
  EXPECT_NE(error->Message().find(std::wstring(name.begin(), name.end())), std::wstring::npos)
      << error->what();
}

TEST(HookChannel, Default_NeverOpened_UseRaisesWithCodeZero) {
  const HookChannel channel;
  EXPECT_FALSE(channel.HasView());
  const auto error = RaisedBy<EHookBlockUnavailable>([&] { (void)&channel.Block(); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->Code(), 0u);
  EXPECT_NE(error->Message().find(L"XU_GlobalHook{BE03CE83-601F-4CF2-82B2-D784527F30E3}"),
            std::wstring::npos)
      << error->what();
}

TEST(HookChannel, Move_ToAnotherChannel_TakesTheViewAlong) {
  HookChannel first = HookChannel::Open(UniqueBlockName("move"));
  ASSERT_TRUE(first.HasView());
  volatile THookSharedBlock* const view = &first.Block();
  HookChannel second = std::move(first);
  EXPECT_FALSE(first.HasView());  // a moved-from channel has no view
  ASSERT_TRUE(second.HasView());
  EXPECT_EQ(&second.Block(), view);
}

TEST(HookInterprocessComm, ProcessBlock_NotOpened_EveryUseRaises) {
  // The process's channel is opened only by InitHookChannel, which this
  // test program never calls.
  EXPECT_FALSE(ProcessHookChannel().HasView());
  EXPECT_THROW(static_cast<void>(&HookBlock()), EHookBlockUnavailable);
  EXPECT_THROW(MouseEventPending(), EHookBlockUnavailable);
  EXPECT_THROW(ReadMouseEvent(), EHookBlockUnavailable);
  EXPECT_THROW(KeyEventPending(), EHookBlockUnavailable);
  EXPECT_THROW(ReadKeyEvent(), EHookBlockUnavailable);
  EXPECT_THROW(IsHookActive(), EHookBlockUnavailable);
  EXPECT_THROW(StartHook(nullptr), EHookBlockUnavailable);
  EXPECT_THROW(StopHook(), EHookBlockUnavailable);
}
