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

// Commas and blanks separate; fields between and after commas may be empty;
// quoted fields keep commas, blanks and doubled quotes; a zero character
// ends the text.
TEST(ProgramTags_Fields, SplitAtCommasAndBlanks_QuotedFieldsKeepThem) {
  const struct {
    std::string_view text;
    Fields fields;
  } cases[] = {
      {"10,20", {"10", "20"}},
      {"10, 20", {"10", "20"}},
      {"10 20", {"10", "20"}},
      {"  10 , 20  ", {"10", "20"}},
      {"\t10,\t20", {"10", "20"}},
      {"10,,20", {"10", "", "20"}},
      {"10,", {"10", ""}},
      {"", {}},
      {"   ", {}},
      {"\"a, b\",c", {"a, b", "c"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\"open", {"open"}},
      {std::string_view("1,2\0,3", 6), {"1", "2"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitTagFields(c.text), c.fields) << c.text;
}

// Decimal or hexadecimal ($, x, X, 0x, 0X) with an optional sign, inside
// the 32-bit range; anything else is the bad coordinate.
TEST(ProgramTags_Coordinate, DecimalOrHexadecimalWithSign_ElseBad) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {
      {"100", 100}, {"+10", 10}, {"-5", -5}, {"  7", 7}, {"$1F", 31}, {"x10", 16}, {"X10", 16},
      {"0x10", 16}, {"0XfF", 255}, {"-$10", -16}, {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"", kBadCoordinate}, {"x", kBadCoordinate}, {"+", kBadCoordinate}, {"$", kBadCoordinate},
      {"0x", kBadCoordinate}, {"1.5", kBadCoordinate}, {"12a", kBadCoordinate},
      {"1 ", kBadCoordinate}, {"- 1", kBadCoordinate}, {"2147483648", kBadCoordinate},
      {"$100000000", kBadCoordinate}, {"1e3", kBadCoordinate}, {"--1", kBadCoordinate},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToCoordinate(c.text), c.value) << c.text;
}

// Either decimal separator and an exponent; text outside that form, or a
// number outside the range, gives the default.
TEST(ProgramTags_Number, EitherSeparatorAndAnExponent_ElseTheDefault) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"2", 2.0}, {"0.25", 0.25}, {"0,25", 0.25}, {"1,5", 1.5}, {" -3.5e-1 ", -0.35},
      {"+2E2", 200.0}, {"", 7.0}, {"abc", 7.0}, {"1,000.5", 7.0}, {"1.2.3", 7.0}, {"1..2", 7.0},
      {"e5", 7.0}, {"1e", 7.0}, {"1 2", 7.0}, {"\t1", 7.0}, {"0x10", 7.0}, {"1e999", 7.0},
      {"-999.25", 7.0}, {"-999,25", 7.0},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(StrToFloatAnySeparator(c.text, 7.0), c.value) << c.text;
  }
}

// Milliseconds rounded half to even; none for a negative time, and a huge
// one stops short of for ever.
TEST(ProgramTags_Pause, RoundsHalvesToEven_NegativeIsNone_HugeStopsShortOfForever) {
  const struct {
    double seconds;
    uint32_t milliseconds;
  } cases[] = {
      {0.0005, 0u}, {0.0015, 2u}, {0.0025, 2u}, {0.25, 250u}, {1.0004, 1000u}, {1.0006, 1001u},
      {-1.0, 0u}, {-0.0004, 0u}, {4294967.295, 0xFFFFFFFEu}, {1e300, 0xFFFFFFFEu},
      {4294967.293, 4294967293u},
  };
  for (const auto& c : cases) EXPECT_EQ(PauseMilliseconds(c.seconds), c.milliseconds) << c.seconds;
}

// MPOS moves the cursor, to an absolute position in any spelling or by
// signed coordinates from where it is; MKEY plays the buttons and actions in
// any case; WAIT pauses for the seconds, one without a usable number.
TEST(ProgramTags_Play, EachTag_PlaysItsEvents) {
  const struct {
    const wchar_t* tags;
    ScreenPoint cursor;
    Log log;
  } cases[] = {
      {L"{MPOS 100,200}", {5, 5}, {"cursor 100,200"}},
      {L"{MPOS 100 200}", {5, 5}, {"cursor 100,200"}},
      {L"{MPOS 100, 200}", {5, 5}, {"cursor 100,200"}},
      {L"{mpos 100,200}", {5, 5}, {"cursor 100,200"}},
      {L"{/MPOS 100,200}", {5, 5}, {"cursor 100,200"}},
      {L"{MPOS $64,x0C8}", {5, 5}, {"cursor 100,200"}},
      {L"{MPOS +10,-5}", {300, 400}, {"cursor 310,395"}},
      {L"{MPOS 100,+0}", {300, 400}, {"cursor 100,400"}},
      {L"{MKEY Left,Click}", {0, 0}, {"mouse 0x0002", "mouse 0x0004"}},
      {L"{MKEY left,dblclick}", {0, 0},
       {"mouse 0x0002", "mouse 0x0004", "mouse 0x0002", "mouse 0x0004"}},
      {L"{MKEY Right,Press}{MKEY Right,Release}", {0, 0}, {"mouse 0x0008", "mouse 0x0010"}},
      {L"{MKEY MIDDLE, click}", {0, 0}, {"mouse 0x0020", "mouse 0x0040"}},
      {L"{WAIT}", {0, 0}, {"sleep 1000"}},
      {L"{WAIT 2}", {0, 0}, {"sleep 2000"}},
      {L"{WAIT 0.25}{WAIT 0,25}", {0, 0}, {"sleep 250", "sleep 250"}},
      {L"{WAIT 1,5}", {0, 0}, {"sleep 1500"}},
      {L"{wait abc}", {0, 0}, {"sleep 1000"}},
      {L"{WAIT -999.25}", {0, 0}, {"sleep 1000"}},
      {L"{WAIT 1,000.5}", {0, 0}, {"sleep 1000"}},
      {L"{WAIT -3}", {0, 0}, {"sleep 0"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Play(c.tags, c.cursor), c.log) << c.tags;
}

TEST(ProgramTags_Mpos, UnusableParameterIsTypedAsText) {
  for (const wchar_t* tag : {L"{MPOS 100}", L"{MPOS 1,2,3}", L"{MPOS x,5}",
                             L"{MPOS -100000,5}", L"{MPOS}"}) {
    const Log log = Play(tag, {5, 5});
    EXPECT_TRUE(TypedAsText(log)) << tag;
    for (const std::string& entry : log) EXPECT_NE(entry.rfind("cursor", 0), 0u) << tag;
  }
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

TEST(ProgramTags_Other, UnknownNamesAreLeftToTheTagLanguage) {
  RecordingInput input;
  EXPECT_FALSE(HandleExtendedTag(input, L"FOO", L""));
  EXPECT_FALSE(HandleExtendedTag(input, L"", L"1,2"));
  EXPECT_FALSE(HandleExtendedTag(input, L"MPOSX", L"1,2"));
  EXPECT_TRUE(input.log.empty());
}
