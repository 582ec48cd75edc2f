#include "PropertyOutput.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "Bytes.h"
#include "ComApartment.h"
#include "Exception.h"
#include "FakeItem.h"
#include "PropertyFormat.h"
#include "Raised.h"
#include "StdStreamCapture.h"
#include "TempFolder.h"

using testsupport::ReadBytesFromFile;
using testsupport::TempFolder;
using testsupport::Utf16Be;
using testsupport::Utf16Le;
using testsupport::WriteBytesToFile;

namespace {

HWND HandleOf(uint32_t value) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

// The item of the examples: handle 658, name OK, no shortcut.
FakeItemPtr OkButton() {
  FakeItemValues values;
  values.handle = HandleOf(658);
  values.name = L"OK";
  return FakeItem::Make(values);
}

// An item with every property set to something that shows.
FakeItemPtr FullItem() {
  FakeItemValues values;
  values.moduleName = "C:\\Apps\\app.exe";
  values.handle = HandleOf(0x1234);
  values.name = L"Name";
  values.roleId = 43;
  values.stateId = 0x100004;
  values.text = "Window text";
  values.className = "Button";
  values.shortcut = L"Alt+O";
  values.screenRect = {10, 20, 110, 220};
  values.innerPoint = {5, 6};
  values.value = L"Value";
  values.defaultAction = L"Press";
  values.description = L"Describes";
  values.helpTopicId = 7;
  values.role = L"push button";
  values.state = L"focused;focusable;";
  return FakeItem::Make(values);
}

std::wstring Text(const FakeItemPtr& item, std::string_view flags, std::string_view format) {
  return FormatObjectText(item.Get(), flags, format);
}

// Each test of the output with a folder of its own for the files it writes.
class PropertyOutputFiles : public testsupport::ComApartmentTest {
 protected:
  std::wstring File(const wchar_t* name) const { return (folder_ / name).wstring(); }

  TempFolder folder_;
};

using PropertyOutput_Xml = PropertyOutputFiles;
using PropertyOutput_Write = PropertyOutputFiles;

}  // namespace

TEST(PropertyOutput_Formats, EachFormatOfTheExample) {
  const FakeItemPtr item = OkButton();
  EXPECT_EQ(Text(item, "Snh", ""), L"Handle:\r\n658\r\n\r\nName:\r\nOK\r\n\r\n");
  EXPECT_EQ(Text(item, "Snh", "ini"), L"Handle=658\r\nName=OK\r\n");
  EXPECT_EQ(Text(item, "Snh", "conf"), L"Handle \"658\"\r\nName \"OK\"\r\n");
  EXPECT_EQ(Text(item, "Snh", "vallines"), L"658\r\nOK\r\n");
  EXPECT_EQ(Text(item, "Snh", "valtabs"), L"658\tOK\t");
  EXPECT_EQ(Text(item, "Snh", "valcsv"), L"658;OK;");
}

TEST(PropertyOutput_Formats, OtherSpellingsGiveTheDefaultBlocks) {
  const FakeItemPtr item = OkButton();
  for (const char* format : {"INI", "Xml", "xml", "ini ", "csv"}) {
    EXPECT_EQ(Text(item, "n", format), L"Name:\r\nOK\r\n\r\n") << format;
  }
}

TEST(PropertyOutput_Formats, EveryPropertyInTableOrderWithItsKey) {
  EXPECT_EQ(Text(FullItem(), "mhnrstcSbpvadHRT", "ini"),
            L"Module=C:\\Apps\\app.exe\r\n"
            L"Handle=4660\r\n"
            L"Name=Name\r\n"
            L"Role=PUSHBUTTON\r\n"
            L"State=FOCUSED;FOCUSABLE\r\n"
            L"Text=Window text\r\n"
            L"Class=Button\r\n"
            L"Shortcut=Alt+O\r\n"
            L"ScreenRect=10,20,110,220\r\n"
            L"ScreenPoint=15,26\r\n"
            L"Value=Value\r\n"
            L"Action=Press\r\n"
            L"Description=Describes\r\n"
            L"HelpIndex=7\r\n"
            L"RoleFull=push button\r\n"
            L"StateFull=focused;focusable;\r\n");
}

TEST(PropertyOutput_Flags, OrderOfLettersDoesNotMatterAndOthersAreIgnored) {
  const FakeItemPtr item = FullItem();
  EXPECT_EQ(Text(item, "TRHdavpbSctsrnhm", "valcsv"), Text(item, "mhnrstcSbpvadHRT", "valcsv"));
  EXPECT_EQ(Text(item, "nnxz!h9n", "valcsv"), L"4660;Name;");
  EXPECT_EQ(Text(item, "", "ini"), L"");
}

TEST(PropertyOutput_Flags, LetterCaseSelectsDifferentProperties) {
  const FakeItemPtr item = FullItem();
  EXPECT_EQ(Text(item, "s", "ini"), L"State=FOCUSED;FOCUSABLE\r\n");
  EXPECT_EQ(Text(item, "S", "ini"), L"Shortcut=Alt+O\r\n");
  EXPECT_EQ(Text(item, "h", "ini"), L"Handle=4660\r\n");
  EXPECT_EQ(Text(item, "H", "ini"), L"HelpIndex=7\r\n");
}

TEST(PropertyOutput_Values, EmptyTextsAreLeftOutButHandleRectAndPointAlwaysWritten) {
  const FakeItemPtr item = FakeItem::Make();
  EXPECT_EQ(Text(item, "mhnrstcSbpvadHRT", "ini"),
            L"Handle=0\r\nScreenRect=0,0,0,0\r\nScreenPoint=0,0\r\n");
}

TEST(PropertyOutput_Values, HelpIndexMinusOneLeftOutZeroWritten) {
  const FakeItemPtr item = FakeItem::Make();
  item->values.helpTopicId = -1;
  EXPECT_EQ(Text(item, "H", "ini"), L"");
  item->values.helpTopicId = 0;
  EXPECT_EQ(Text(item, "H", "ini"), L"HelpIndex=0\r\n");
  item->values.helpTopicId = -5;
  EXPECT_EQ(Text(item, "H", "ini"), L"HelpIndex=-5\r\n");
}

TEST(PropertyOutput_Values, HandleIsUnsignedInText) {
  const FakeItemPtr item = FakeItem::Make();
  item->values.handle = HandleOf(0x80000000u);
  EXPECT_EQ(Text(item, "h", "vallines"), L"2147483648\r\n");
  item->values.handle = HandleOf(0xFFFFFFFFu);
  EXPECT_EQ(Text(item, "h", "vallines"), L"4294967295\r\n");
}

TEST(PropertyOutput_Values, StateNamesJoinedWithoutTrailingSeparatorStateFullAsGiven) {
  const FakeItemPtr item = FakeItem::Make();
  item->values.stateId = 0x2 | 0x4 | 0x8000;
  item->values.state = L"selected;focused;invisible;";
  EXPECT_EQ(Text(item, "sT", "vallines"),
            L"SELECTED;FOCUSED;INVISIBLE\r\nselected;focused;invisible;\r\n");
  item->values.stateId = 0;
  EXPECT_EQ(Text(item, "s", "vallines"), L"");
}

TEST(PropertyOutput_Values, UnreadableStateNamesEveryBit) {
  const FakeItemPtr item = FakeItem::Make();
  item->values.stateId = -1;
  const std::wstring state = Text(item, "s", "valcsv");
  EXPECT_TRUE(state.starts_with(L"UNKNOWN;SELECTED;FOCUSED;")) << state.size();
  EXPECT_TRUE(state.ends_with(L";ALERT_MEDIUM;ALERT_HIGH;")) << state.size();
  EXPECT_EQ(std::count(state.begin(), state.end(), L';'), 29);
}

TEST(PropertyOutput_Values, RoleWithoutNameIsLeftOut) {
  const FakeItemPtr item = FakeItem::Make();
  for (int32_t role : {-1, 0, 0x3E}) {
    item->values.roleId = role;
    EXPECT_EQ(Text(item, "r", "ini"), L"") << role;
  }
  item->values.roleId = 0x3D;
  EXPECT_EQ(Text(item, "r", "ini"), L"Role=CLOCK\r\n");
}

TEST(PropertyOutput_Values, SeparatorsInsideValuesAreKept) {
  const FakeItemPtr item = FakeItem::Make();
  item->values.name = L"a;b\tc\r\nd";
  EXPECT_EQ(Text(item, "n", "valcsv"), L"a;b\tc\r\nd;");
  EXPECT_EQ(Text(item, "n", "conf"), L"Name \"a;b\tc\r\nd\"\r\n");
}

TEST(PropertyOutput_Values, WindowTextsAreWidenedFromTheAnsiCodePage) {
  const FakeItemPtr item = FakeItem::Make();
  item->values.text = "r\xe9sum\xe9 \x80";
  EXPECT_EQ(Text(item, "t", "vallines"), L"r\u00e9sum\u00e9 \u20ac\r\n");
}

TEST(PropertyOutput_Reading, OnlySelectedPropertiesAreAskedAndTheRectangleOnce) {
  const FakeItemPtr item = FullItem();
  Text(item, "nbp", "ini");
  EXPECT_EQ(item->Calls(ItemOp::GetName), 1);
  EXPECT_EQ(item->Calls(ItemOp::GetScreenRect), 1);
  EXPECT_EQ(item->Calls(ItemOp::GetInnerPoint), 1);
  EXPECT_EQ(item->Calls(ItemOp::GetModuleName), 0);
  EXPECT_EQ(item->Calls(ItemOp::GetState), 0);
  EXPECT_EQ(item->TotalCalls(), 3);
}

TEST_F(PropertyOutput_Write, NewFileIsUtf8WithMarkAndNothingAfterTheText) {
  const std::wstring file = File(L"out.txt");
  const FakeItemPtr item = OkButton();
  item->values.name = L"r\u00e9sum\u00e9 \u0416";
  WriteObjectOutput(item.Get(), L"valcsv", "Snh", file, false);
  EXPECT_EQ(ReadBytesFromFile(file), "\xEF\xBB\xBF" "658;r\xC3\xA9sum\xC3\xA9 \xD0\x96;");
  // Without --appendoutput the file is replaced.
  WriteObjectOutput(item.Get(), L"ini", "h", file, false);
  EXPECT_EQ(ReadBytesFromFile(file), "\xEF\xBB\xBF" "Handle=658\r\n");
}

TEST_F(PropertyOutput_Write, EmptyTextMakesAFileWithTheMarkAlone) {
  const std::wstring file = File(L"out.txt");
  WriteObjectOutput(OkButton().Get(), L"", "", file, false);
  EXPECT_EQ(ReadBytesFromFile(file), "\xEF\xBB\xBF");
}

TEST_F(PropertyOutput_Write, AppendingTwiceJoinsTheRunsWithCrLf) {
  const std::wstring file = File(L"out.txt");
  WriteObjectOutput(OkButton().Get(), L"valcsv", "Snh", file, true);
  WriteObjectOutput(OkButton().Get(), L"valcsv", "Snh", file, true);
  EXPECT_EQ(ReadBytesFromFile(file), "\xEF\xBB\xBF" "658;OK;\r\n658;OK;");
}

TEST_F(PropertyOutput_Write, AppendingKeepsOldLinesInAnyEncodingAndRewritesThemInUtf8) {
  const std::wstring old = L"First r\u00e9sum\u00e9\r\nSecond\u20ac";
  const std::string expected =
      "\xEF\xBB\xBF" "First r\xC3\xA9sum\xC3\xA9\r\nSecond\xE2\x82\xAC\r\nName=OK\r\n";
  struct Case {
    const char* label;
    std::string bytes;
  };
  const Case cases[] = {
      {"ANSI", "First r\xe9sum\xe9\r\nSecond\x80"},
      {"UTF-8 without a mark", "First r\xC3\xA9sum\xC3\xA9\r\nSecond\xE2\x82\xAC"},
      {"UTF-8", "\xEF\xBB\xBF" "First r\xC3\xA9sum\xC3\xA9\r\nSecond\xE2\x82\xAC"},
      {"UTF-16 LE", Utf16Le(old)},
      {"UTF-16 BE", Utf16Be(old)},
      {"ANSI, LF and CR breaks, a break at the end", "First r\xe9sum\xe9\nSecond\x80\r"},
  };
  const std::wstring file = File(L"out.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    WriteBytesToFile(file, c.bytes);
    WriteObjectOutput(OkButton().Get(), L"ini", "n", file, true);
    EXPECT_EQ(ReadBytesFromFile(file), expected);
  }
}

TEST_F(PropertyOutput_Write, AppendingToAnEmptyOrMissingFileGivesTheMarkAndTheText) {
  const std::wstring file = File(L"out.txt");
  for (const std::string old : {"", "\xEF\xBB\xBF", "\xFF\xFE"}) {
    WriteBytesToFile(file, old);
    WriteObjectOutput(OkButton().Get(), L"valtabs", "hn", file, true);
    EXPECT_EQ(ReadBytesFromFile(file), "\xEF\xBB\xBF" "658\tOK\t") << old.size();
  }
  const std::wstring missing = File(L"missing.txt");
  WriteObjectOutput(OkButton().Get(), L"valtabs", "hn", missing, true);
  EXPECT_EQ(ReadBytesFromFile(missing), "\xEF\xBB\xBF" "658\tOK\t");
}

TEST_F(PropertyOutput_Write, AppendingStopsAtAZeroInTheOldText) {
  const std::wstring file = File(L"out.txt");
  WriteBytesToFile(file, std::string("kept\0lost", 9));
  WriteObjectOutput(OkButton().Get(), L"vallines", "n", file, true);
  EXPECT_EQ(ReadBytesFromFile(file), "\xEF\xBB\xBF" "kept\r\nOK\r\n");
}

TEST_F(PropertyOutput_Write, FileThatCannotBeCreatedRaises) {
  const std::wstring file = (folder_ / L"no such folder" / L"out.txt").wstring();
  const auto error = testsupport::RaisedBy<Exception>(
      [&] { WriteObjectOutput(OkButton().Get(), L"ini", "n", file, false); });
  ASSERT_TRUE(error);
  EXPECT_STREQ(error->ClassName(), "EFCreateError");
  EXPECT_NE(error->Message().find(L"out.txt"), std::wstring::npos);
}

TEST_F(PropertyOutput_Write, ConsoleTextIsOneLineInTheOemCodePage) {
  const FakeItemPtr item = OkButton();
  item->values.name = L"r\u00e9sum\u00e9";
  StdStreamCapture out(STD_OUTPUT_HANDLE);
  WriteObjectOutput(item.Get(), L"ini", "hn", L"", false);
  // é is 0x82 in the console's code page 437.
  EXPECT_EQ(out.Take(), "Handle=658\r\nName=r\x82sum\x82\r\n\r\n");
}

TEST_F(PropertyOutput_Write, EmptyConsoleTextIsOneEmptyLine) {
  StdStreamCapture out(STD_OUTPUT_HANDLE);
  WriteObjectOutput(OkButton().Get(), L"valcsv", "", L"", false);
  EXPECT_EQ(out.Take(), "\r\n");
}

// The file is UTF-8 with its declaration, always replaced: the attributes
// in table order, empty ones too, integers signed, rectangle and point as
// child elements on indented lines, a bare element without flags.
TEST_F(PropertyOutput_Xml, File_HoldsTheSelectedPropertiesAndIsAlwaysReplaced) {
  const FakeItemPtr plain = FakeItem::Make();
  plain->values.handle = HandleOf(0x80000000u);
  plain->values.name = L"r\u00e9sum\u00e9 \u0416 & <\"";
  const struct {
    const char* name;
    FakeItemPtr item;
    const char* flags;
    std::string expected;
  } cases[] = {
      {"attributes in table order", OkButton(), "Snh",
       "<ObjectInfo Handle=\"658\" Name=\"OK\" ShortCut=\"\"/>\r\n"},
      {"child elements", FullItem(), "nbp",
       "<ObjectInfo Name=\"Name\">\r\n"
       "  <ScreenRect Left=\"10\" Top=\"20\" Right=\"110\" Bottom=\"220\"/>\r\n"
       "  <ScreenPoint X=\"15\" Y=\"26\"/>\r\n"
       "</ObjectInfo>\r\n"},
      {"every property, empty ones too, signed integers", plain, "mhnrstcSvadHRT",
       "<ObjectInfo Module=\"\" Handle=\"-2147483648\" "
       "Name=\"r\xC3\xA9sum\xC3\xA9 \xD0\x96 &amp; &lt;&quot;\" Role=\"\" State=\"\" "
       "WindowText=\"\" Class=\"\" ShortCut=\"\" Value=\"\" DefaultAction=\"\" "
       "Description=\"\" HelpTopicId=\"-1\" RoleFull=\"\" StateFull=\"\"/>\r\n"},
      {"no flags", FullItem(), "", "<ObjectInfo/>\r\n"},
  };
  const std::wstring file = File(L"out.xml");
  for (const auto& c : cases) {
    // Asked to append, it replaces what the file held.
    WriteBytesToFile(file, "old content\r\n");
    WriteObjectOutput(c.item.Get(), L"xml", c.flags, file, true);
    EXPECT_EQ(ReadBytesFromFile(file),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n" + c.expected)
        << c.name;
  }
}

TEST_F(PropertyOutput_Xml, ConsoleFormIsWindows1252WithCrLfLinesAndAnEmptyLine) {
  const FakeItemPtr item = FullItem();
  item->values.name = L"r\u00e9sum\u00e9";
  StdStreamCapture out(STD_OUTPUT_HANDLE);
  WriteObjectOutput(item.Get(), L"xml", "nhp", L"", false);
  // The bytes of windows-1252 (é is 0xE9), not those of the console's code
  // page, so that a parser reads what the declaration says.
  EXPECT_EQ(out.Take(),
            "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n"
            "<ObjectInfo Handle=\"4660\" Name=\"r\xe9sum\xe9\">\r\n"
            "  <ScreenPoint X=\"15\" Y=\"26\"/>\r\n"
            "</ObjectInfo>\r\n"
            "\r\n");
}

TEST(PropertyFormat_Utf8, ValidityOfBomLessText) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain ASCII"));
  EXPECT_TRUE(IsValidUtf8("r\xC3\xA9sum\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("r\xe9sum\xe9"));          // ANSI
  EXPECT_FALSE(IsValidUtf8("\x80"));                  // stray continuation byte
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));              // overlong
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));          // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));      // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("ab\xE2\x82"));            // cut short
}

// Whatever the serializer ends its lines with, they end with CR LF; a line
// break inside an attribute value, in either quote, is data and stays as it
// is, as do character references.
TEST(PropertyFormat_XmlFile, LineBreaksOutsideAttributeValuesBecomeCrLf) {
  const struct {
    const char* serialized;
    const char* expected;
  } cases[] = {
      {"<?xml version=\"1.0\"?>\n<a>\n  <b/>\n</a>\n",
       "<?xml version=\"1.0\"?>\r\n<a>\r\n  <b/>\r\n</a>\r\n"},
      {"<a>\r\n  <b/>\r</a>", "<a>\r\n  <b/>\r\n</a>"},
      {"<a v=\"x\ny\r\nz\rw\" w='p\n\"q'>it's\n</a>\n",
       "<a v=\"x\ny\r\nz\rw\" w='p\n\"q'>it's\r\n</a>\r\n"},
      {"<a v=\"x&#13;&#10;y&#xA;\"/>\n", "<a v=\"x&#13;&#10;y&#xA;\"/>\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(XmlWithCrLfLineEnds(c.serialized), c.expected) << c.serialized;
  }
}

TEST(PropertyFormat_Console, XmlLinesEachEndWithCrLfThenOneMore) {
  EXPECT_EQ(XmlConsoleBytes("<a>\n  <b/>\r\n</a>\n"), "<a>\r\n  <b/>\r\n</a>\r\n\r\n");
  EXPECT_EQ(XmlConsoleBytes("<a/>"), "<a/>\r\n\r\n");
}
