#include "SendKeys.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <iterator>
#include <string>
#include <string_view>

#include "KeyTable.h"
#include "Raised.h"
#include "RecordingInput.h"

namespace {

using testsupport::MessageRaisedBy;
using testsupport::RaisedBy;

using Log = std::vector<std::string>;

const Log kReleaseAll = {"-WIN", "-SHIFT", "-CTRL", "-ALT", "-RWIN"};

constexpr TSendKeysOptions kStrict{
    .ProcessMessages = false, .RaiseErrors = true, .ReleaseModifiers = true};

// The release at the start and at the end of a play, around `middle`.
Log Framed(const Log& middle) {
  Log log = kReleaseAll;
  log.insert(log.end(), middle.begin(), middle.end());
  log.insert(log.end(), kReleaseAll.begin(), kReleaseAll.end());
  return log;
}

struct Played {
  bool result;
  Log keys;
};

Played Play(std::wstring_view text, const TExtTagHandler& handler = {},
            TSendKeysOptions options = kStrict) {
  RecordingInput input;
  const bool result = SendKeys(input, text, handler, options);
  return {result, input.Keys()};
}

const Log kBrace = {"+SHIFT", "+0xDB", "-0xDB", "-SHIFT"};

// A sequence, and the keys that its play presses between the releases.
struct Sequence {
  const char* name;
  const wchar_t* text;
  Log keys;
};

void ExpectPlayed(std::initializer_list<Sequence> sequences) {
  for (const Sequence& sequence : sequences) {
    EXPECT_EQ(Play(sequence.text).keys, Framed(sequence.keys)) << sequence.name;
  }
}

Log Concat(std::initializer_list<Log> parts) {
  Log all;
  for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Every key name in the table's order, with its virtual-key code and whether
// its events carry the extended-key flag. NUMLOCK carries it because it is
// pressed for real, as the navigation keys are.
struct KeyRow {
  std::string_view name;
  KeyCode code;
  bool extended;
};
constexpr KeyRow kKeyRows[] = {
    {"BKSP", 0x08, false},
    {"BREAK", 0x03, false},
    {"CAPSLOCK", 0x14, false},
    {"CLEAR", 0x0C, false},
    {"DEL", 0x2E, true},
    {"DOWN", 0x28, true},
    {"END", 0x23, true},
    {"ENTER", 0x0D, false},
    {"ESC", 0x1B, false},
    {"F1", 0x70, false},
    {"F2", 0x71, false},
    {"F3", 0x72, false},
    {"F4", 0x73, false},
    {"F5", 0x74, false},
    {"F6", 0x75, false},
    {"F7", 0x76, false},
    {"F8", 0x77, false},
    {"F9", 0x78, false},
    {"F10", 0x79, false},
    {"F11", 0x7A, false},
    {"F12", 0x7B, false},
    {"F13", 0x7C, false},
    {"F14", 0x7D, false},
    {"F15", 0x7E, false},
    {"F16", 0x7F, false},
    {"F17", 0x80, false},
    {"F18", 0x81, false},
    {"F19", 0x82, false},
    {"F20", 0x83, false},
    {"F21", 0x84, false},
    {"F22", 0x85, false},
    {"F23", 0x86, false},
    {"F24", 0x87, false},
    {"HELP", 0x2F, false},
    {"HOME", 0x24, true},
    {"INS", 0x2D, true},
    {"LEFT", 0x25, true},
    {"NUMLOCK", 0x90, true},
    {"PGDN", 0x22, true},
    {"PGUP", 0x21, true},
    {"PRTSC", 0x2C, false},
    {"RIGHT", 0x27, true},
    {"SCROLLLOCK", 0x91, false},
    {"TAB", 0x09, false},
    {"UP", 0x26, true},
    {"ALT", 0x12, false},
    {"SHIFT", 0x10, false},
    {"CTRL", 0x11, false},
    {"APP", 0x5D, false},
    {"RWIN", 0x5C, false},
    {"WIN", 0x5B, false},
    {"PAUSE", 0x13, false},
};
static_assert(std::size(kKeyRows) == 52);

}  // namespace

TEST(SendKeys_Text, EmptyTextOnlyReleasesModifiersAndAnswersFalse) {
  const Played played = Play(L"");
  EXPECT_FALSE(played.result);
  EXPECT_EQ(played.keys, kReleaseAll);

  const Played quiet = Play(L"", {}, {.ReleaseModifiers = false});
  EXPECT_FALSE(quiet.result);
  EXPECT_TRUE(quiet.keys.empty());
}

// A character goes through the layout, with the shift state the layout asks
// for pressed around it (Shift, Ctrl, Alt in that order); a doubled brace
// types one brace, a closing brace is plain; without a key in the layout it
// goes out as Unicode.
TEST(SendKeys_Text, Characters_GoThroughTheLayoutElseAsUnicode) {
  ExpectPlayed({
      {"plain characters", L"a1 ", {"+A", "-A", "+1", "-1", "+0x20", "-0x20"}},
      {"Shift from the layout", L"A!",
       {"+SHIFT", "+A", "-A", "-SHIFT", "+SHIFT", "+1", "-1", "-SHIFT"}},
      {"Ctrl and Alt together", L"@", {"+CTRL", "+ALT", "+2", "-2", "-CTRL", "-ALT"}},
      {"a doubled brace", L"a{{b", Concat({{"+A", "-A"}, kBrace, {"+B", "-B"}})},
      {"a closing brace", L"}", {"+SHIFT", "+0xDD", "-0xDD", "-SHIFT"}},
      {"no key in the layout", L"\u00e9", {"U+00E9"}},
  });
}

TEST(SendKeys_Text, Result_TrueOnceSomethingIsTypedAndADoubledBraceAloneLeavesIt) {
  EXPECT_TRUE(Play(L"a1 ").result);
  EXPECT_FALSE(Play(L"{{").result);
  EXPECT_TRUE(Play(L"a{{").result);
}

TEST(SendKeys_Text, RefusedUnicodeCharacterRaisesInvalidKeyAfterReleasing) {
  RecordingInput input;
  input.refusedUnicode.insert(L'\u00e9');
  const auto error = RaisedBy<EInvalidKey>([&] { SendKeys(input, L"a\u00e9b", {}, kStrict); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->Message(), L"Invalid key \"\u00e9\"");
  EXPECT_STREQ(error->ClassName(), "EInvalidKey");
  EXPECT_EQ(input.Keys(), Framed({"+A", "-A"}));
}

TEST(SendKeys_Text, BraceWithoutLayoutKeyFallsBackToUnicode) {
  struct NoBraceKey : RecordingInput {
    std::uint16_t KeyScan(wchar_t c) override {
      return c == L'{' ? 0xFFFF : RecordingInput::KeyScan(c);
    }
  } input;
  SendKeys(input, L"{{", {}, kStrict);
  EXPECT_EQ(input.Keys(), Framed({"U+007B"}));
}

TEST(SendKeys_Tags, UnclosedTagRaisesWithTheRestOfTheText) {
  RecordingInput input;
  EXPECT_EQ(MessageRaisedBy<EInvalidTag>([&] { SendKeys(input, L"pq{ENTER", {}, kStrict); }),
            L"Tag ENTER not closed or invalid");
  EXPECT_EQ(input.Keys(), Framed({"+P", "-P", "+Q", "-Q"}));
}

TEST(SendKeys_Tags, LoneBraceRaisesWithNothingInPlaceOfTheTag) {
  RecordingInput input;
  EXPECT_EQ(MessageRaisedBy<EInvalidTag>([&] { SendKeys(input, L"{", {}, kStrict); }),
            L"Tag  not closed or invalid");
}

// A key tag presses its key once, whatever its parameter or closing mark;
// navigation keys and NUMLOCK (pressed for real) carry the extended flag.
// Key names are case-sensitive: any other tag is typed as text, the tags
// inside it still play.
TEST(SendKeys_Tags, KeyTags_PressTheirKeyOnce_OtherTagsAreTypedAsText) {
  const Log enter = {"+0x0D", "-0x0D"};
  ExpectPlayed({
      {"a key tag", L"{ENTER}", enter},
      {"with a parameter", L"{ENTER 3}", enter},
      {"with the closing mark", L"{/ENTER}", enter},
      {"navigation keys", L"{LEFT}{DEL}{PGUP}",
       {"+0x25e", "-0x25e", "+0x2Ee", "-0x2Ee", "+0x21e", "-0x21e"}},
      {"other keys", L"{APP}{PRTSC}{BREAK}",
       {"+0x5D", "-0x5D", "+0x2C", "-0x2C", "+0x03", "-0x03"}},
      {"NUMLOCK", L"{NUMLOCK}", {"+0x90e", "-0x90e"}},
      {"NUMLOCK with the closing mark", L"{/NUMLOCK}", {"+0x90e", "-0x90e"}},
      {"a key name in lower case", L"{enter}",
       Concat({kBrace,
               {"+E", "-E", "+N", "-N", "+T", "-T", "+E", "-E", "+R", "-R"},
               {"+SHIFT", "+0xDD", "-0xDD", "-SHIFT"}})},
      {"an empty tag", L"{}", Concat({kBrace, {"+SHIFT", "+0xDD", "-0xDD", "-SHIFT"}})},
      {"an untaken tag with a tag inside", L"{PQ{ENTER}",
       Concat({kBrace,
               {"+SHIFT", "+P", "-P", "-SHIFT", "+SHIFT", "+Q", "-Q", "-SHIFT"},
               {"+0x0D", "-0x0D"}})},
  });
}

// A held Shift capitalises and is not pressed again; a held Ctrl or Alt
// stays down while the layout's shift state comes and goes; an open Windows
// key stays down until the end of the play.
TEST(SendKeys_Modifiers, HeldModifiers_StayDownAroundTheLayoutsShiftState) {
  ExpectPlayed({
      {"held Shift", L"{SHIFT}abc{/SHIFT}",
       {"+SHIFT", "+A", "-A", "+B", "-B", "+C", "-C", "-SHIFT"}},
      {"held Shift, capital", L"{SHIFT}A{/SHIFT}", {"+SHIFT", "+A", "-A", "-SHIFT"}},
      {"held Ctrl", L"{CTRL}c{/CTRL}", {"+CTRL", "+C", "-C", "-CTRL"}},
      {"held Ctrl, capital", L"{CTRL}A{/CTRL}",
       {"+CTRL", "+SHIFT", "+A", "-A", "-SHIFT", "-CTRL"}},
      {"held Alt, Ctrl+Alt character", L"{ALT}@{/ALT}",
       {"+ALT", "+CTRL", "+2", "-2", "-CTRL", "-ALT"}},
      {"open Windows key", L"{WIN}a", {"+WIN", "+A", "-A"}},
      {"right Windows key", L"{RWIN}{/RWIN}", {"+RWIN", "-RWIN"}},
  });
}

TEST(SendKeys_Modifiers, WithoutReleaseAtTheEndAHeldKeyStaysDown) {
  const Played played = Play(L"{SHIFT}", {}, {.RaiseErrors = true});
  Log expected = kReleaseAll;
  expected.push_back("+SHIFT");
  EXPECT_EQ(played.keys, expected);
}

TEST(SendKeys_Handler, ReceivesNameAndParameterWithoutClosingMark) {
  std::vector<std::pair<std::wstring, std::wstring>> calls;
  const TExtTagHandler handler = [&](const std::wstring& name, const std::wstring& param) {
    calls.emplace_back(name, param);
    return true;
  };
  const Played played = Play(L"{FOO bar baz}{/WAIT 1}{X\tY}", handler);
  EXPECT_EQ(played.keys, Framed({}));
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0], std::make_pair(std::wstring(L"FOO"), std::wstring(L"bar baz")));
  EXPECT_EQ(calls[1], std::make_pair(std::wstring(L"WAIT"), std::wstring(L"1")));
  // Only a blank splits; a tab belongs to the name.
  EXPECT_EQ(calls[2], std::make_pair(std::wstring(L"X\tY"), std::wstring()));
}

TEST(SendKeys_Handler, IsNotAskedForKeyNames) {
  int calls = 0;
  Play(L"{ENTER}{SHIFT}{/SHIFT}", [&](const std::wstring&, const std::wstring&) {
    ++calls;
    return true;
  });
  EXPECT_EQ(calls, 0);
}

TEST(SendKeys_Handler, ErrorOfTheHandlerEndsThePlayAfterReleasing) {
  RecordingInput input;
  const TExtTagHandler handler = [](const std::wstring&, const std::wstring&) -> bool {
    throw EInvalidTag(L"boom");
  };
  EXPECT_THROW(SendKeys(input, L"{SHIFT}{X}a", handler, kStrict), EInvalidTag);
  EXPECT_EQ(input.Keys(), Framed({"+SHIFT"}));
}

TEST(SendKeys_Errors, WithoutRaisingAnInvalidCharacterIsSkipped) {
  RecordingInput input;
  input.refusedUnicode.insert(L'\u00e9');
  const bool result = SendKeys(input, L"\u00e9b", {}, {.ReleaseModifiers = true});
  EXPECT_TRUE(result);
  EXPECT_EQ(input.Keys(), Framed({"+B", "-B"}));
}

TEST(SendKeys_Errors, WithoutRaisingAnUnclosedTagEndsThePlay) {
  const Played played = Play(L"a{b", {}, {.ReleaseModifiers = true});
  EXPECT_FALSE(played.result);
  EXPECT_EQ(played.keys, Framed({"+A", "-A"}));
}

TEST(SendKeys_Errors, WithoutRaisingTheUnitAfterAFailedTagIsSkipped) {
  const TExtTagHandler handler = [](const std::wstring&, const std::wstring&) -> bool {
    throw EInvalidTag(L"boom");
  };
  const Played played = Play(L"{X}ab", handler, {.ReleaseModifiers = true});
  EXPECT_EQ(played.keys, Framed({"+B", "-B"}));
}

TEST(SendKeys_Pacing, EachKeyEventIsFollowedByThePumpAndTenMilliseconds) {
  RecordingInput input;
  input.refusedUnicode.clear();
  SendKeys(input, L"a\u00e9", {}, {.ProcessMessages = true});
  const Log expected = {"-WIN", "pump", "sleep 10", "-SHIFT", "pump", "sleep 10",
                        "-CTRL", "pump", "sleep 10", "-ALT", "pump", "sleep 10",
                        "-RWIN", "pump", "sleep 10", "+A", "pump", "sleep 10",
                        "-A", "pump", "sleep 10", "U+00E9"};
  EXPECT_EQ(input.log, expected);
}

TEST(KeyTable_Lookup, EveryKeyName_GivesItsCodeAndFlag_OnlyWhenWrittenExactly) {
  ASSERT_EQ(KeyTableSize(), std::size(kKeyRows));
  for (size_t i = 0; i < std::size(kKeyRows); ++i) {
    const KeyRow& key = kKeyRows[i];
    SCOPED_TRACE(key.name);
    EXPECT_EQ(KeyTableRow(i).Name, key.name);
    const std::wstring name(key.name.begin(), key.name.end());
    EXPECT_EQ(FindKeyCode(name), key.code);
    EXPECT_EQ(IsExtendedKey(key.code), key.extended);
    std::wstring lower = name;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    EXPECT_EQ(FindKeyCode(lower), kNoKey);
    EXPECT_EQ(FindKeyCode(name + L" "), kNoKey);
  }
  EXPECT_EQ(FindKeyCode(L""), kNoKey);
}
