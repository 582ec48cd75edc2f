#include "ProgramTags.h"

#include <gtest/gtest.h>

#include "RecordingInput.h"
#include "SendKeys.h"

namespace {

using Fields = std::vector<std::string>;
using Log = std::vector<std::string>;

// Plays a sequence with the program tags, as keyfeed does, and returns the
// log without the modifier releases around it.
Log Play(RecordingInput& input, std::wstring_view text) {
  const TExtTagHandler handler = [&input](const std::wstring& name, const std::wstring& param) {
    return HandleExtendedTag(input, name, param);
  };
  SendKeys(input, text, handler, {.RaiseErrors = true});
  return Log(input.log.begin() + 5, input.log.end());
}

Log Play(std::wstring_view text, ScreenPoint cursor = {0, 0}) {
  RecordingInput input;
  input.cursor = cursor;
  return Play(input, text);
}

// What an untaken tag types: the brace, then each character.
bool TypedAsText(const Log& log) {
  return log.size() >= 4 && log[0] == "+SHIFT" && log[1] == "+0xDB";
}

}  // namespace

TEST(ProgramTags_Fields, CommasAndBlanksSeparate) {
  for (const char* text : {"10,20", "10, 20", "10 20", "  10 , 20  ", "\t10,\t20"}) {
    EXPECT_EQ(SplitTagFields(text), (Fields{"10", "20"})) << text;
  }
}

TEST(ProgramTags_Fields, EmptyFieldsBetweenAndAfterCommas) {
  EXPECT_EQ(SplitTagFields("10,,20"), (Fields{"10", "", "20"}));
  EXPECT_EQ(SplitTagFields("10,"), (Fields{"10", ""}));
  EXPECT_EQ(SplitTagFields(""), Fields{});
  EXPECT_EQ(SplitTagFields("   "), Fields{});
}

TEST(ProgramTags_Fields, QuotedFieldsKeepCommasBlanksAndDoubledQuotes) {
  EXPECT_EQ(SplitTagFields("\"a, b\",c"), (Fields{"a, b", "c"}));
  EXPECT_EQ(SplitTagFields("\"say \"\"hi\"\"\""), (Fields{"say \"hi\""}));
  EXPECT_EQ(SplitTagFields("\"open"), (Fields{"open"}));
}

TEST(ProgramTags_Fields, ZeroCharacterEndsTheText) {
  EXPECT_EQ(SplitTagFields(std::string_view("1,2\0,3", 6)), (Fields{"1", "2"}));
}

TEST(ProgramTags_Coordinate, DecimalAndHexadecimalWithSign) {
  EXPECT_EQ(StrToCoordinate("100"), 100);
  EXPECT_EQ(StrToCoordinate("+10"), 10);
  EXPECT_EQ(StrToCoordinate("-5"), -5);
  EXPECT_EQ(StrToCoordinate("  7"), 7);
  EXPECT_EQ(StrToCoordinate("$1F"), 31);
  EXPECT_EQ(StrToCoordinate("x10"), 16);
  EXPECT_EQ(StrToCoordinate("X10"), 16);
  EXPECT_EQ(StrToCoordinate("0x10"), 16);
  EXPECT_EQ(StrToCoordinate("0XfF"), 255);
  EXPECT_EQ(StrToCoordinate("-$10"), -16);
  EXPECT_EQ(StrToCoordinate("2147483647"), 2147483647);
  EXPECT_EQ(StrToCoordinate("-2147483648"), -2147483647 - 1);
}

TEST(ProgramTags_Coordinate, AnythingElseFails) {
  for (const char* text : {"", "x", "+", "$", "0x", "1.5", "12a", "1 ", "- 1", "2147483648",
                           "$100000000", "1e3", "--1"}) {
    EXPECT_EQ(StrToCoordinate(text), kBadCoordinate) << text;
  }
}

TEST(ProgramTags_Number, EitherSeparatorAndAnExponent) {
  EXPECT_DOUBLE_EQ(StrToFloatAnySeparator("2", 1.0), 2.0);
  EXPECT_DOUBLE_EQ(StrToFloatAnySeparator("0.25", 1.0), 0.25);
  EXPECT_DOUBLE_EQ(StrToFloatAnySeparator("0,25", 1.0), 0.25);
  EXPECT_DOUBLE_EQ(StrToFloatAnySeparator("1,5", 1.0), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloatAnySeparator(" -3.5e-1 ", 1.0), -0.35);
  EXPECT_DOUBLE_EQ(StrToFloatAnySeparator("+2E2", 1.0), 200.0);
}

TEST(ProgramTags_Number, TextOutsideTheFormGivesTheDefault) {
  for (const char* text : {"", "abc", "1,000.5", "1.2.3", "1..2", "e5", "1e", "1 2", "\t1",
                           "0x10", "1e999", "-999.25", "-999,25"}) {
    EXPECT_DOUBLE_EQ(StrToFloatAnySeparator(text, 7.0), 7.0) << text;
  }
}

TEST(ProgramTags_Pause, RoundsHalvesToEven) {
  EXPECT_EQ(PauseMilliseconds(0.0005), 0u);
  EXPECT_EQ(PauseMilliseconds(0.0015), 2u);
  EXPECT_EQ(PauseMilliseconds(0.0025), 2u);
  EXPECT_EQ(PauseMilliseconds(0.25), 250u);
  EXPECT_EQ(PauseMilliseconds(1.0004), 1000u);
  EXPECT_EQ(PauseMilliseconds(1.0006), 1001u);
}

TEST(ProgramTags_Pause, NegativeIsNoneAndHugeStopsShortOfForever) {
  EXPECT_EQ(PauseMilliseconds(-1.0), 0u);
  EXPECT_EQ(PauseMilliseconds(-0.0004), 0u);
  EXPECT_EQ(PauseMilliseconds(4294967.295), 0xFFFFFFFEu);
  EXPECT_EQ(PauseMilliseconds(1e300), 0xFFFFFFFEu);
  EXPECT_EQ(PauseMilliseconds(4294967.293), 4294967293u);
}

TEST(ProgramTags_Mpos, AbsolutePositionInAnySpelling) {
  for (const wchar_t* tag : {L"{MPOS 100,200}", L"{MPOS 100 200}", L"{MPOS 100, 200}",
                             L"{mpos 100,200}", L"{/MPOS 100,200}", L"{MPOS $64,x0C8}"}) {
    EXPECT_EQ(Play(tag, {5, 5}), (Log{"cursor 100,200"})) << tag;
  }
}

TEST(ProgramTags_Mpos, SignedCoordinatesCountFromTheCursor) {
  EXPECT_EQ(Play(L"{MPOS +10,-5}", {300, 400}), (Log{"cursor 310,395"}));
  EXPECT_EQ(Play(L"{MPOS 100,+0}", {300, 400}), (Log{"cursor 100,400"}));
}

TEST(ProgramTags_Mpos, UnusableParameterIsTypedAsText) {
  for (const wchar_t* tag : {L"{MPOS 100}", L"{MPOS 1,2,3}", L"{MPOS x,5}",
                             L"{MPOS -100000,5}", L"{MPOS}"}) {
    const Log log = Play(tag, {5, 5});
    EXPECT_TRUE(TypedAsText(log)) << tag;
    for (const std::string& entry : log) EXPECT_NE(entry.rfind("cursor", 0), 0u) << tag;
  }
}

TEST(ProgramTags_Mkey, ButtonsAndActionsInAnyCase) {
  EXPECT_EQ(Play(L"{MKEY Left,Click}"), (Log{"mouse 0x0002", "mouse 0x0004"}));
  EXPECT_EQ(Play(L"{MKEY left,dblclick}"),
            (Log{"mouse 0x0002", "mouse 0x0004", "mouse 0x0002", "mouse 0x0004"}));
  EXPECT_EQ(Play(L"{MKEY Right,Press}{MKEY Right,Release}"),
            (Log{"mouse 0x0008", "mouse 0x0010"}));
  EXPECT_EQ(Play(L"{MKEY MIDDLE, click}"), (Log{"mouse 0x0020", "mouse 0x0040"}));
}

TEST(ProgramTags_Mkey, UnknownWordsAreTypedAsText) {
  for (const wchar_t* tag : {L"{MKEY Left,Hold}", L"{MKEY Up,Click}", L"{MKEY Left}",
                             L"{MKEY Left,Click,Twice}"}) {
    EXPECT_TRUE(TypedAsText(Play(tag))) << tag;
  }
}

TEST(ProgramTags_Mkey, RefusedEventEndsTheActionButTheTagIsDone) {
  RecordingInput input;
  input.mouseEventsAccepted = 1;
  EXPECT_EQ(Play(input, L"{MKEY Left,DblClick}"), (Log{"mouse 0x0002"}));
  RecordingInput direct;
  direct.mouseEventsAccepted = 1;
  EXPECT_FALSE(SendMouseButton(direct, TMouseKey::Left, TMouseAction::Click));
  EXPECT_TRUE(SendMouseButton(direct = RecordingInput(), TMouseKey::Right,
                              TMouseAction::Click));
}

TEST(ProgramTags_Wait, PausesForTheGivenSeconds) {
  EXPECT_EQ(Play(L"{WAIT}"), (Log{"sleep 1000"}));
  EXPECT_EQ(Play(L"{WAIT 2}"), (Log{"sleep 2000"}));
  EXPECT_EQ(Play(L"{WAIT 0.25}{WAIT 0,25}"), (Log{"sleep 250", "sleep 250"}));
  EXPECT_EQ(Play(L"{WAIT 1,5}"), (Log{"sleep 1500"}));
  EXPECT_EQ(Play(L"{wait abc}"), (Log{"sleep 1000"}));
  EXPECT_EQ(Play(L"{WAIT -999.25}"), (Log{"sleep 1000"}));
  EXPECT_EQ(Play(L"{WAIT 1,000.5}"), (Log{"sleep 1000"}));
  EXPECT_EQ(Play(L"{WAIT -3}"), (Log{"sleep 0"}));
}

TEST(ProgramTags_Other, UnknownNamesAreLeftToTheTagLanguage) {
  RecordingInput input;
  EXPECT_FALSE(HandleExtendedTag(input, L"FOO", L""));
  EXPECT_FALSE(HandleExtendedTag(input, L"", L"1,2"));
  EXPECT_FALSE(HandleExtendedTag(input, L"MPOSX", L"1,2"));
  EXPECT_TRUE(input.log.empty());
}
