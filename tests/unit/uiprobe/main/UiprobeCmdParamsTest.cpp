#include "CmdParams.h"

#include <gtest/gtest.h>

#include "Raised.h"

namespace {

using testsupport::MessageRaisedBy;

using Args = std::vector<std::wstring>;

TCmdParseResult Parse(const Args& args) { return ParseCmdParams(args); }

// The message of a fault as the run prints it.
TCmdMessage MessageOf(const Args& args) { return CmdFaultMessage(Parse(args)); }

// The message of the conversion error that reading these arguments raises;
// empty when none is raised.
std::wstring ConversionError(const Args& args) {
  try {
    Parse(args);
  } catch (const EConvertError& error) {
    EXPECT_NE(error.Address(), nullptr);
    EXPECT_STREQ(error.ClassName(), "EConvertError");
    return error.Message();
  }
  return {};
}

TPoint PositionOf(std::wstring_view text) {
  TPoint position{-7, -7};
  EXPECT_TRUE(ParsePosition(text, position)) << "position " << std::string(text.begin(), text.end());
  return position;
}

}  // namespace

TEST(UiprobeCmdParams_Defaults, AllFlagsAndNothingElse) {
  const TCmdParseResult result = Parse({L"--position", L"1,2"});
  ASSERT_EQ(result.Outcome, CmdOutcome::Run);
  const TCmdParams& params = result.Params;
  EXPECT_EQ(params.OutputFlags, "mhnrstcSbpvadHRT");
  EXPECT_FALSE(params.ManualSelect);
  EXPECT_FALSE(params.AppendOutput);
  EXPECT_TRUE(params.CreatePath.empty());
  EXPECT_TRUE(params.OutputFile.empty());
  EXPECT_TRUE(params.OutputFormat.empty());
  EXPECT_TRUE(params.Execute.empty());
  EXPECT_TRUE(params.HasPosition);
  EXPECT_EQ(params.Position, (TPoint{1, 2}));
}

TEST(UiprobeCmdParams_Options, EachOptionFillsItsField) {
  const TCmdParseResult result =
      Parse({L"--manualselect", L"--createpath", L"path.xml", L"--outputflags", L"nh",
             L"--outputformat", L"ini", L"--outputfile", L"1.txt", L"--appendoutput",
             L"--execute", L"cmd /c echo 'a b'"});
  ASSERT_EQ(result.Outcome, CmdOutcome::Run);
  const TCmdParams& params = result.Params;
  EXPECT_TRUE(params.ManualSelect);
  EXPECT_FALSE(params.HasPosition);
  EXPECT_EQ(params.CreatePath, L"path.xml");
  EXPECT_EQ(params.OutputFlags, "nh");
  EXPECT_EQ(params.OutputFormat, L"ini");
  EXPECT_EQ(params.OutputFile, L"1.txt");
  EXPECT_TRUE(params.AppendOutput);
  EXPECT_EQ(params.Execute, L"cmd /c echo \"a b\"");
}

TEST(UiprobeCmdParams_Options, ValueIsTakenWhateverItHolds) {
  const TCmdParseResult result =
      Parse({L"--outputfile", L"--manualselect", L"--outputformat", L"-h", L"--position",
             L"3,4"});
  ASSERT_EQ(result.Outcome, CmdOutcome::Run);
  EXPECT_EQ(result.Params.OutputFile, L"--manualselect");
  EXPECT_FALSE(result.Params.ManualSelect);
  EXPECT_EQ(result.Params.OutputFormat, L"-h");
}

TEST(UiprobeCmdParams_Options, LaterValueOverwritesEarlierOne) {
  const TCmdParseResult result = Parse(
      {L"--outputflags", L"n", L"--position", L"1,2", L"--outputflags", L"hS", L"--position",
       L"5,6"});
  ASSERT_EQ(result.Outcome, CmdOutcome::Run);
  EXPECT_EQ(result.Params.OutputFlags, "hS");
  EXPECT_EQ(result.Params.Position, (TPoint{5, 6}));
}

TEST(UiprobeCmdParams_Options, FlagsKeepTheAnsiCodePage) {
  // U+20AC is byte 0x80 in code page 1252, the ANSI code page of the tests.
  const TCmdParseResult result = Parse({L"--outputflags", L"n\u20ac\u00e9", L"--position", L"1,2"});
  EXPECT_EQ(result.Params.OutputFlags, "n\x80\xe9");
}

TEST(UiprobeCmdParams_Usage, NoArgumentOrAHelpOptionReached) {
  EXPECT_EQ(Parse({}).Outcome, CmdOutcome::Usage);
  for (const wchar_t* help : {L"--help", L"-h", L"-?"}) {
    EXPECT_EQ(Parse({help}).Outcome, CmdOutcome::Usage) << help;
    EXPECT_EQ(Parse({L"--position", L"1,2", help, L"-x"}).Outcome, CmdOutcome::Usage) << help;
  }
  // Help ends the reading: what follows is never looked at.
  EXPECT_EQ(Parse({L"--help", L"--position", L"1,2,3"}).Outcome, CmdOutcome::Usage);
}

// An unknown argument before help, a bad position (even with the
// interactive selection) and a missing capture mode go to the error stream,
// an option without its value to the output stream; all exit with 1.
TEST(UiprobeCmdParams_Faults, EachFault_GivesItsMessageOnItsStreamWithExitOne) {
  struct Case {
    Args args;
    std::wstring text;
    bool toError;
  };
  std::vector<Case> cases = {
      {{L"-x", L"--help"}, L"Invalid parameter -x", true},
      {{L"foo"}, L"Invalid parameter foo", true},
      {{L"--position", L"1,2,3"}, L"Invalid position 1,2,3", true},
      {{L"--position", L"500"}, L"Invalid position 500", true},
      {{L"--manualselect", L"--position", L"1,2,3"}, L"Invalid position 1,2,3", true},
      {{L"--outputfile", L"--manualselect"}, L"Invalid usage - please specify capture mode.",
       true},
      {{L"--outputflags", L"n"}, L"Invalid usage - please specify capture mode.", true},
  };
  for (const wchar_t* option : {L"--position", L"--createpath", L"--outputflags",
                                L"--outputformat", L"--outputfile", L"--execute"}) {
    cases.push_back({{L"--manualselect", option}, std::wstring(L"Invalid usage of ") + option,
                     false});
  }
  for (const Case& c : cases) {
    const TCmdMessage message = MessageOf(c.args);
    EXPECT_EQ(message.Text, c.text);
    EXPECT_EQ(message.ToErrorStream, c.toError) << testing::PrintToString(c.args);
    EXPECT_EQ(message.ExitCode, 1) << testing::PrintToString(c.args);
  }
}

TEST(UiprobeCmdParams_Faults, OptionsAreCaseSensitiveAndWhole) {
  for (const wchar_t* argument :
       {L"--POSITION", L"--Help", L"-H", L"--position=1,2", L"/?", L"--manualSelect"}) {
    const TCmdParseResult result = Parse({argument, L"1,2"});
    EXPECT_EQ(result.Outcome, CmdOutcome::InvalidParameter) << argument;
    EXPECT_EQ(result.Offending, argument);
  }
}

TEST(UiprobeCmdParams_Faults, FirstFaultEndsTheReading) {
  const TCmdParseResult result = Parse({L"--position", L"1", L"foo", L"--outputfile"});
  EXPECT_EQ(result.Outcome, CmdOutcome::InvalidPosition);
  EXPECT_EQ(result.Offending, L"1");
  // The conversion error is never reached after an earlier fault.
  EXPECT_EQ(Parse({L"foo", L"--position", L"1,x"}).Outcome, CmdOutcome::InvalidParameter);
}

TEST(UiprobeCmdParams_Faults, PartThatIsNoIntegerRaisesConversionError) {
  EXPECT_EQ(ConversionError({L"--position", L"500,abc"}), L"'abc' is not a valid integer value");
  EXPECT_EQ(ConversionError({L"--position", L"500,"}), L"'' is not a valid integer value");
  // "x1" would be hexadecimal.
  EXPECT_EQ(ConversionError({L"--manualselect", L"--position", L"y1,2"}),
            L"'y1' is not a valid integer value");
}

TEST(UiprobeParsePosition_Split, BlanksAndCommasSeparateTheParts) {
  EXPECT_EQ(PositionOf(L"500,500"), (TPoint{500, 500}));
  EXPECT_EQ(PositionOf(L"500, 500"), (TPoint{500, 500}));
  EXPECT_EQ(PositionOf(L"500 500"), (TPoint{500, 500}));
  EXPECT_EQ(PositionOf(L" \t12 ,\r\n-3 "), (TPoint{12, -3}));
  EXPECT_EQ(PositionOf(L"\"7\",\"8\""), (TPoint{7, 8}));
}

TEST(UiprobeParsePosition_Split, OtherThanTwoPartsLeavesThePosition) {
  for (const wchar_t* text : {L"", L"1", L"1,2,3", L"1 2 3", L"1,2,", L"   ", L"500, "}) {
    TPoint position{-7, -9};
    EXPECT_FALSE(ParsePosition(text, position)) << std::wstring_view(text).size();
    EXPECT_EQ(position, (TPoint{-7, -9}));
  }
}

TEST(UiprobeParsePosition_Split, EmptyPartsAtEitherEndCount) {
  TPoint position;
  EXPECT_THROW(ParsePosition(L",5", position), EConvertError);
  EXPECT_THROW(ParsePosition(L"5,", position), EConvertError);
  // Two commas make three parts.
  EXPECT_FALSE(ParsePosition(L"5,,", position));
}

TEST(UiprobeParsePosition_Split, QuotedPartKeepsBlanksAndDoubledQuotes) {
  TPoint position;
  EXPECT_EQ(MessageRaisedBy<EConvertError>([&] { ParsePosition(L"\"1 \"\"2\",3", position); }),
            L"'1 \"2' is not a valid integer value");
}

TEST(UiprobeParsePosition_Integers, SignsAndHexadecimalPrefixes) {
  EXPECT_EQ(PositionOf(L"$1F4,0x1F4"), (TPoint{500, 500}));
  EXPECT_EQ(PositionOf(L"x1f4,0X1f4"), (TPoint{500, 500}));
  EXPECT_EQ(PositionOf(L"X10,+10"), (TPoint{16, 10}));
  EXPECT_EQ(PositionOf(L"-$10,-0"), (TPoint{-16, 0}));
  EXPECT_EQ(PositionOf(L"2147483647,-2147483648"), (TPoint{2147483647, -2147483647 - 1}));
  EXPECT_EQ(PositionOf(L"$7FFFFFFF,-$80000000"), (TPoint{2147483647, -2147483647 - 1}));
  EXPECT_EQ(PositionOf(L"007,0"), (TPoint{7, 0}));
}

TEST(UiprobeParsePosition_Integers, AnythingElseIsAConversionError) {
  for (const wchar_t* part : {L"abc", L"2147483648", L"-2147483649", L"$80000000", L"0x",
                              L"$", L"+", L"-", L"1.5", L"12a", L"$1G", L"--1", L"+-1",
                              L"0b1", L"\u0661"}) {
    TPoint position{1, 1};
    EXPECT_EQ(
        MessageRaisedBy<EConvertError>([&] { ParsePosition(std::wstring(part) + L",1", position); }),
        L"'" + std::wstring(part) + L"' is not a valid integer value");
    EXPECT_EQ(position, (TPoint{1, 1}));
  }
}

TEST(UiprobeUsage_Text, ByteForByteWithVersionAndFlags) {
  const std::wstring expected =
      L"Tarrowind user interface capture utility. Version 9.8.7.6\r\n"
      L"Usage:\r\n"
      L" uiprobe --manualselect | --position X,Y --execute \"command line\"\r\n"
      L"            --outputflags mhnrstcSbpvadHRT --outputfile \"textfile\"\r\n"
      L"            --outputformat \"format\" --execute \"command 'option' ...\"\r\n"
      L"            --createpath \"path.xml\" --appendoutput --help\r\n"
      L"\n"
      L"Where:\r\n"
      L" --manualselect  select object by mouse\r\n"
      L" --position      capture object at specified position\r\n"
      L" --execute       executes program or command. Called program can \r\n"
      L"                 retrieve information about selected object by using\r\n"
      L"                 VEK_* environment variables\r\n"
      L" --outputflags   results filter\r\n"
      L" --outputfile    write results to file (utf-8) instead of stdout\r\n"
      L" --outputformat  specify formatting of results\r\n"
      L" --createpath    write detailed search information to xmlfile (utf-8)\r\n"
      L" --appendoutput  indicate that --outputfile must be appended, not overwritten\r\n"
      L" --help          display this help\r\n"
      L"\r\n"
      L"Output filter flags:\r\n"
      L" m = Module, h = Handle, n = Name, r = Role, s = State, t=Text,\r\n"
      L" c = Class, S = Shortcut, b = ScreenRect, p = ScreenPoint, v = Value,\r\n"
      L" a = Action, d = Description, H = HelpIndex, R = RoleFull, T = StateFull\r\n"
      L"\n"
      L"Environment variables:\r\n"
      L" VEK_MODULE - module name, VEK_HANDLE - handle value, VEK_NAME - object name,\r\n"
      L" VEK_ROLE - object role, VEK_STATE - object state, VEK_TEXT - object text,\r\n"
      L" VEK_CLASS - window class, VEK_SHORTCUT - object shortcut,\r\n"
      L" VEK_SCREENRECT - object screen rect X1,Y1,X2,Y2, VEK_VALUE - object value,\r\n"
      L" VEK_SCREENPOINT - object screen inner point X,Y,\r\n"
      L" VEK_ACTION - object default action, VEK_DESCRIPTION - object description\r\n"
      L" VEK_HELPINDEX - object context help index, VEK_ROLEFULL - object role full,\r\n"
      L" VEK_SELKEY - key used to finish capture in --manualselect mode,\r\n"
      L" VEK_STATEFULL - object state full,\r\n"
      L" VEK_FRIENDLYNAME - informative, filesystem-compatible name of object; \r\n"
      L"\r\n"
      L"Avaiable output formats:\r\n"
      L" \"ini\" - INI format (\"Key=Value\"), \"conf\" - CONF format (key \"value\"),\r\n"
      L" \"xml\" - structured xml file, \"vallines\" - only values, one line per value,\r\n"
      L" \"valtabs\" - only values (TAB-separated), \"valcsv\" - comma-separated values\r\n"
      L"\n"
      L"Examples:\r\n"
      L" Capture window/control interactively:\r\n"
      L"  uiprobe --manualselect\r\n"
      L" Capture window/control and write only name and handle to file 1.txt\r\n"
      L"  uiprobe --manualselect --outputflags nh --outputfile 1.txt\r\n"
      L" Capture control at position 500,500 (on screen) and create search path:\r\n"
      L"  uiprobe --position 500,500 --createpath path.xml\r\n"
      L" Capture object and display information in INI-file format:\r\n"
      L"  uiprobe --manualselect --outputflags n --outputformat ini";
  EXPECT_EQ(UsageText(L"9.8.7.6"), expected);
}

TEST(UiprobeUnhandledError_Report, FrameAddressAndFullStop) {
  // The address has as many digits as this program's pointers: a code
  // address of each kind's default image base.
  const bool wide = sizeof(void*) == 8;
  const void* address = reinterpret_cast<const void*>(
      static_cast<uintptr_t>(wide ? 0x14000A1B2ull : 0x0040A1B2ull));
  EXPECT_EQ(FormatUnhandledErrorReport(L"EConvertError", L"uiprobe.exe", address,
                                       L"'abc' is not a valid integer value"),
            std::wstring(L"Exception EConvertError in module uiprobe.exe at ") +
                (wide ? L"000000014000A1B2" : L"0040A1B2") +
                L".\r\n'abc' is not a valid integer value.\r\n");
  // A message that ends with a full stop gets no second one.
  EXPECT_EQ(FormatUnhandledErrorReport(L"E", L"m.exe", nullptr, L"Done."),
            std::wstring(L"Exception E in module m.exe at ") +
                (wide ? L"0000000000000000" : L"00000000") + L".\r\nDone.\r\n");
}
