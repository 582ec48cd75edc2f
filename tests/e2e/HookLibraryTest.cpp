// Snaretap.dll on the real desktop: bound at load time by the undecorated
// name of its one export, switched on and off through the hook block's
// flag, and reporting mouse movements and key presses over the fixture into
// the block, where the capture program's own reader finds them. The hooks
// run on this thread, so every wait here handles the thread's messages
// (WaitUntil does). Its key records carry each event's time stamp, which
// also shows keyfeed's pauses as the keys arrive.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include "FixtureLayout.h"
#include "HookInterprocessComm.h"
#include "TestSupport.h"
#include "Utf.h"

using namespace testsupport;

namespace {

constexpr char kLibraryName[] = "Snaretap.dll";

constexpr std::int32_t kControlKey = 17;
constexpr std::uint32_t kLeftControlKey = 0xA2;
constexpr std::uint32_t kRightControlKey = 0xA3;

// A module's headers, as loaded. A loaded module has the loading program's
// own bitness, so its headers, thunks and ordinal flag are the platform
// header's native ones (IMAGE_NT_HEADERS, IMAGE_THUNK_DATA), 32-bit or
// 64-bit; the optional header's magic says which the image really is.
const IMAGE_NT_HEADERS& Headers(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return *reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

struct Import {
  std::string name;              // "#<ordinal>" for an import by ordinal
  ULONG_PTR boundAddress = 0;    // the address in the import address table
};

// What `module` imports from the library named `library`.
std::vector<Import> ImportsFrom(HMODULE module, const char* library) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const IMAGE_DATA_DIRECTORY& directory =
      Headers(module).OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::vector<Import> imports;
  for (const auto* descriptor =
           reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       descriptor->Name != 0; ++descriptor) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), library) != 0) continue;
    const DWORD lookup = descriptor->OriginalFirstThunk != 0 ? descriptor->OriginalFirstThunk
                                                             : descriptor->FirstThunk;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + lookup);
    const auto* bound = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++bound) {
      Import import;
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
        import.name = "#" + std::to_string(IMAGE_ORDINAL(names->u1.Ordinal));
      } else {
        import.name = reinterpret_cast<const char*>(
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
      }
      import.boundAddress = bound->u1.Function;
      imports.push_back(import);
    }
  }
  return imports;
}

// The names that `module` exports, and how many entries its export table has.
struct Exports {
  std::vector<std::string> names;
  DWORD functionCount = 0;
};

Exports ExportsOf(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const IMAGE_DATA_DIRECTORY& directory =
      Headers(module).OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  Exports exports;
  if (directory.VirtualAddress == 0) return exports;
  const auto& table = *reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  exports.functionCount = table.NumberOfFunctions;
  const auto* names = reinterpret_cast<const DWORD*>(base + table.AddressOfNames);
  for (DWORD i = 0; i < table.NumberOfNames; ++i) {
    exports.names.emplace_back(reinterpret_cast<const char*>(base + names[i]));
  }
  return exports;
}

std::string Describe(const std::vector<std::int32_t>& keys) {
  std::string text;
  for (const std::int32_t key : keys) text += std::to_string(key) + " ";
  return text;
}

class HookLibrary : public testing::Test {
 protected:
  void SetUp() override {
    InitHookChannel();
    ASSERT_TRUE(ProcessHookChannel().HasView()) << ProcessHookChannel().Error();
    // Starts from a removed hook, whatever an earlier run left behind.
    SetHook(FALSE);
    ASSERT_FALSE(IsHookActive());
    ASSERT_TRUE(fixture_.Focus());
  }

  void TearDown() override {
    SetHook(FALSE);
    FinalizeHookChannel();
  }

  // Installs the hook and drops the records that came before it.
  void Install() {
    ASSERT_TRUE(SetHook(TRUE));
    ASSERT_TRUE(IsHookActive());
    while (MouseEventPending()) ReadMouseEvent();
    while (KeyEventPending()) ReadKeyEvent();
  }

  // Reads every waiting mouse record; the last one is the newest.
  void CollectMouse() {
    while (MouseEventPending()) mouse_.push_back(ReadMouseEvent());
  }

  void CollectKeys() {
    while (KeyEventPending()) {
      const THookEventRecord record = ReadKeyEvent();
      keys_.push_back(record.VirtualKey);
      keyTimes_.push_back(static_cast<std::uint32_t>(record.Library24));
      rawKeys_.push_back(static_cast<std::uint32_t>(record.Library28));
    }
  }

  // Plays the sequence with keyfeed while this thread serves the hook, and
  // waits until keyfeed has ended.
  RunResult PlayWhileHooked(const std::wstring& sequence) {
    auto play = std::async(std::launch::async, [sequence] {
      return RunProgram(L"keyfeed", {L"--run", sequence});
    });
    EXPECT_TRUE(WaitUntil(
        [&] { return play.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        30s));
    return play.get();
  }

  // True once the newest mouse record is at `point`.
  bool WaitForMouseAt(POINT point) {
    return WaitUntil(
        [&] {
          CollectMouse();
          return !mouse_.empty() && mouse_.back().X == point.x && mouse_.back().Y == point.y;
        },
        5s);
  }

  bool WaitForKeys(std::size_t count) {
    return WaitUntil(
        [&] {
          CollectKeys();
          return keys_.size() >= count;
        },
        10s);
  }

  std::string LastMouse() const {
    if (mouse_.empty()) return "no mouse record";
    return std::to_string(mouse_.back().X) + "," + std::to_string(mouse_.back().Y);
  }

  FixtureProcess fixture_;
  std::vector<THookEventRecord> mouse_;
  std::vector<std::int32_t> keys_;
  std::vector<std::uint32_t> keyTimes_;  // in milliseconds, as the system counts
  std::vector<std::uint32_t> rawKeys_;
};

}  // namespace

TEST(HookLibraryBinding, SetHook_ImportedByUndecoratedName_BoundWhenTheProgramLoads) {
  // Loaded with the program, before any code of the test ran.
  const HMODULE library = GetModuleHandleA(kLibraryName);
  ASSERT_NE(library, nullptr);
  // Both images have this program's own kind, which the reader expects.
  constexpr WORD kOwnMagic =
      sizeof(void*) == 8 ? IMAGE_NT_OPTIONAL_HDR64_MAGIC : IMAGE_NT_OPTIONAL_HDR32_MAGIC;
  ASSERT_EQ(Headers(GetModuleHandleA(nullptr)).OptionalHeader.Magic, kOwnMagic);
  ASSERT_EQ(Headers(library).OptionalHeader.Magic, kOwnMagic);

  const std::vector<Import> imports = ImportsFrom(GetModuleHandleA(nullptr), kLibraryName);
  ASSERT_EQ(imports.size(), 1u);
  EXPECT_EQ(imports[0].name, "SetHook");
  const FARPROC exported = GetProcAddress(library, "SetHook");
  ASSERT_NE(exported, nullptr);
  EXPECT_EQ(imports[0].boundAddress, reinterpret_cast<ULONG_PTR>(exported));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(&SetHook),
            reinterpret_cast<std::uintptr_t>(exported));
}

TEST(HookLibraryBinding, Library_ExportsOnlySetHookUndecorated) {
  const HMODULE library = GetModuleHandleA(kLibraryName);
  ASSERT_NE(library, nullptr);
  const Exports exports = ExportsOf(library);
  EXPECT_EQ(exports.names, (std::vector<std::string>{"SetHook"}));
  EXPECT_EQ(exports.functionCount, 1u);
  EXPECT_EQ(GetProcAddress(library, "SetHook@4"), nullptr);
  EXPECT_EQ(GetProcAddress(library, "_SetHook@4"), nullptr);
}

TEST_F(HookLibrary, SetHook_InstallThenRemove_FlagSetOnReturnAndClearedOnRemove) {
  EXPECT_TRUE(SetHook(-1));
  EXPECT_TRUE(IsHookActive());
  EXPECT_NE(HookBlock().HookActive, 0);
  EXPECT_TRUE(SetHook(-1));  // a second install keeps the hook
  EXPECT_TRUE(IsHookActive());
  EXPECT_TRUE(SetHook(0));
  EXPECT_FALSE(IsHookActive());
  EXPECT_TRUE(SetHook(0));  // removing a removed hook is harmless
  EXPECT_FALSE(IsHookActive());
}

TEST_F(HookLibrary, MouseMoves_OverTheFixture_RecordedWithScreenPosition) {
  Install();
  const POINT edit = fixture_.ControlCentre(fixture::kEditId);
  ASSERT_TRUE(MoveCursorTo(edit));
  EXPECT_TRUE(WaitForMouseAt(edit)) << LastMouse();

  const POINT button = fixture_.ControlCentre(fixture::kButtonOneId);
  ASSERT_TRUE(Xdotool("mousemove " + std::to_string(button.x) + " " + std::to_string(button.y)));
  EXPECT_TRUE(WaitForMouseAt(button)) << LastMouse();

  CollectKeys();
  EXPECT_TRUE(keys_.empty()) << Describe(keys_);
}

TEST_F(HookLibrary, CtrlFromAnotherProcess_RecordedAsGenericKeyDownOnlyAndTyped) {
  ASSERT_TRUE(fixture_.ClearEdit());
  Install();
  // keyfeed sends each key with keybd_event, down and up; the key after
  // Ctrl shows that the key-up in between made no record.
  const RunResult result = PlayWhileHooked(L"{CTRL}{/CTRL}x");
  EXPECT_EQ(result.exitCode, 0u) << result.out << result.err;

  EXPECT_TRUE(WaitForKeys(2)) << Describe(keys_);
  // The hook saw the "x" before the edit did; it went on to the edit.
  EXPECT_TRUE(WaitUntil([&] { return fixture_.EditText() == L"x"; }, 5s))
      << Utf16ToUtf8(fixture_.EditText());
  CollectKeys();
  EXPECT_EQ(keys_, (std::vector<std::int32_t>{kControlKey, 'X'})) << Describe(keys_);
}

TEST_F(HookLibrary, KeyfeedWait_KeysAroundItArriveAtLeastThePauseApart) {
  Install();
  const RunResult result = PlayWhileHooked(L"a{WAIT 0,5}b");
  EXPECT_EQ(result.exitCode, 0u) << result.out << result.err;
  ASSERT_TRUE(WaitForKeys(2)) << Describe(keys_);
  ASSERT_EQ(keys_, (std::vector<std::int32_t>{'A', 'B'})) << Describe(keys_);
  EXPECT_GE(keyTimes_[1] - keyTimes_[0], 500u);
}

TEST_F(HookLibrary, SidedCtrlKeysFromX_RecordedAsGenericCtrl) {
  // Without a window manager, X sends keys to the window under the pointer;
  // over the bare root window Wine sees none of them.
  ASSERT_TRUE(MoveCursorTo(fixture_.ControlCentre(fixture::kEditId)));
  Install();
  ASSERT_TRUE(Xdotool("key Control_L"));
  ASSERT_TRUE(WaitForKeys(1)) << Describe(keys_);
  ASSERT_TRUE(Xdotool("key Control_R"));
  ASSERT_TRUE(WaitForKeys(2)) << Describe(keys_);

  EXPECT_EQ(keys_, (std::vector<std::int32_t>{kControlKey, kControlKey})) << Describe(keys_);
  // The hook saw sided codes, which the library made generic. Wine under
  // Xvfb reports the right Ctrl key as the left one as well.
  ASSERT_EQ(rawKeys_.size(), 2u);
  EXPECT_EQ(rawKeys_[0], kLeftControlKey);
  EXPECT_TRUE(rawKeys_[1] == kLeftControlKey || rawKeys_[1] == kRightControlKey) << rawKeys_[1];
}

TEST_F(HookLibrary, ClickWhileHooked_ReachesTheFixture) {
  ASSERT_TRUE(fixture_.ResetCounters());
  Install();
  ASSERT_TRUE(ClickAt(fixture_.ControlCentre(fixture::kButtonOneId)));
  EXPECT_TRUE(WaitUntil([&] { return fixture_.ButtonCount(1) == 1; }, 5s))
      << fixture_.ButtonCount(1);
  CollectKeys();
  EXPECT_TRUE(keys_.empty()) << Describe(keys_);
}

TEST_F(HookLibrary, StartAndStopHook_OfTheCaptureProgram_NotifyWindowSetAndFlagCleared) {
  HookBlock().NotifyWindow = 0;
  StartHook(fixture_.Window());
  EXPECT_TRUE(IsHookActive());
  EXPECT_EQ(HookBlock().NotifyWindow,
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(fixture_.Window())));
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(StopHook());
  EXPECT_FALSE(IsHookActive());
  // The library clears the flag during SetHook(0): no wait.
  EXPECT_LT(std::chrono::steady_clock::now() - before, kStopHookTimeout);
}
