// The container's byte format without the platform: golden bytes, the
// directory rules, reads that ignore the kind, and streams that are cut,
// lie about their numbers or hold values this code cannot read.

#include "ContainerFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ContainerBytes.h"

namespace {

using testsupport::BytesFromHex;
using testsupport::EmptyContainerStream;
using testsupport::Int32Bytes;
using testsupport::IntegerIn;
using testsupport::RawStream;

const std::string kMagic(kContainerMagic.begin(), kContainerMagic.end());

ContainerLoad LoadBytes(ContainerContent& content, std::string_view bytes) {
  MemoryByteSource source(bytes);
  return content.Load(source);
}

// A content holding one entry, so that an emptying load can be seen.
ContainerContent NonEmptyContent() {
  ContainerContent content;
  content.WriteInteger("Before", 7);
  return content;
}

// A stream with a value of every kind, a nested container among them.
std::string StreamOfEveryKind() {
  ContainerContent inner;
  inner.WriteString("InnerText", "abc");
  ContainerContent content;
  content.WriteInteger("Integer", -5);
  content.WriteHandle("Handle", 0x80000001u);
  content.WriteInt64("Int64", -0x123456789ALL);
  content.WriteString("String", "text");
  content.WriteWideString("Wide", L"w\u00e9\u0416");
  content.WriteRecord16("Record", Record16{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  content.WritePoint("Point", TPoint{-3, 4});
  content.WriteRect("Rect", TRect{1, -2, 300, 400});
  content.WriteBoolean("Boolean", true);
  content.WriteContainerStream("Container", inner.Save());
  content.WriteCountedBytes("Stream", PersistKind::Stream, std::string("a\0b", 3));
  content.WriteCountedBytes("Xml", PersistKind::XmlDocument, "<a/>");
  content.WriteCountedBytes("Graphic", PersistKind::Graphic, "BM");
  return content.Save();
}

// A container nested `depth` levels below the outer one.
std::string NestedStream(int depth) {
  std::string stream = EmptyContainerStream();
  for (int level = 0; level < depth; ++level) {
    ContainerContent outer;
    outer.WriteContainerStream("Nested", stream);
    stream = outer.Save();
  }
  return stream;
}

}  // namespace

TEST(ContainerFormat_Save, EmptyContainer_IsTheMagicAndTwoZeroCounts) {
  EXPECT_EQ(ContainerContent().Save(),
            BytesFromHex("1D 2E 72 F3 BF BA 76 4B A7 0C 75 D6 BD C0 A5 36 00 00 00 00 00 00 00 00"));
  EXPECT_EQ(EmptyContainerStream().size(), testsupport::kEmptyContainerStreamSize);
}

TEST(ContainerFormat_Save, OneInteger_GivesFortyTwoBytes) {
  ContainerContent content;
  content.WriteInteger("Count", 5);
  const std::string expected = BytesFromHex(
      "1D 2E 72 F3 BF BA 76 4B A7 0C 75 D6 BD C0 A5 36"
      "01 00 00 00"
      "05 00 00 00 43 6F 75 6E 74 00 00 00 00 00"
      "04 00 00 00"
      "05 00 00 00");
  EXPECT_EQ(content.Save(), expected);
  EXPECT_EQ(expected.size(), 42u);
}

TEST(ContainerFormat_Load, EmptyContainer_LoadsEmpty) {
  ContainerContent content = NonEmptyContent();
  EXPECT_EQ(LoadBytes(content, EmptyContainerStream()), ContainerLoad::Loaded);
  EXPECT_TRUE(content.Entries().empty());
  EXPECT_TRUE(content.Data().empty());
}

TEST(ContainerFormat_Write, Values_AreEncodedLittleEndianAtTheirOffsets) {
  ContainerContent content;
  content.WriteString("Empty", "");
  content.WriteWideString("Wide", L"abc");
  content.WriteBoolean("Flag", true);
  content.WritePoint("Point", TPoint{1, -1});
  EXPECT_EQ(content.Data(), BytesFromHex("00 00 00 00"
                                "03 00 00 00 61 00 62 00 63 00"
                                "01"
                                "01 00 00 00 FF FF FF FF"));
  ASSERT_EQ(content.Entries().size(), 4u);
  EXPECT_EQ(content.Entries()[0], (PersistEntry{"Empty", 0, 3}));
  EXPECT_EQ(content.Entries()[1], (PersistEntry{"Wide", 4, 4}));
  EXPECT_EQ(content.Entries()[2], (PersistEntry{"Flag", 14, 8}));
  EXPECT_EQ(content.Entries()[3], (PersistEntry{"Point", 15, 6}));
}

TEST(ContainerFormat_Read, EmptyString_ReadsEmpty) {
  ContainerContent content;
  content.WriteString("Empty", "");
  std::string value = "old";
  EXPECT_TRUE(content.ReadString("Empty", value));
  EXPECT_EQ(value, "");
}

TEST(ContainerFormat_Read, DuplicateName_FirstEntryWinsAndBothAreKept) {
  ContainerContent content;
  content.WriteInteger("Value", 1);
  content.WriteInteger("Value", 2);
  EXPECT_EQ(IntegerIn(content, "Value"), 1);

  ContainerContent loaded;
  ASSERT_EQ(LoadBytes(loaded, content.Save()), ContainerLoad::Loaded);
  ASSERT_EQ(loaded.Entries().size(), 2u);
  EXPECT_EQ(loaded.Entries()[1], (PersistEntry{"Value", 4, 0}));
  EXPECT_EQ(loaded.Data(), content.Data());
}

TEST(ContainerFormat_Read, NameInOtherCase_IsMissingAndTargetUnchanged) {
  ContainerContent content;
  content.WriteInteger("Count", 5);
  int32_t value = 99;
  EXPECT_FALSE(content.ReadInteger("count", value));
  EXPECT_FALSE(content.ReadInteger("Coun", value));
  EXPECT_FALSE(content.ReadInteger("Count ", value));
  EXPECT_EQ(value, 99);
}

TEST(ContainerFormat_Read, OtherKind_DecodesTheBytesThatAreThere) {
  ContainerContent content;
  content.WriteString("Text", "hello");
  EXPECT_EQ(IntegerIn(content, "Text"), 5);
}

TEST(ContainerFormat_Read, ReadThenWrite_AppendsAndKeepsEarlierValues) {
  ContainerContent content;
  content.WriteInteger("First", 10);
  content.WriteString("Second", "two");
  ASSERT_EQ(IntegerIn(content, "First"), 10);
  content.WriteInteger("Third", 30);

  EXPECT_EQ(content.Entries()[2].offset, 11);
  std::string second;
  EXPECT_TRUE(content.ReadString("Second", second));
  EXPECT_EQ(second, "two");
  EXPECT_EQ(IntegerIn(content, "Third"), 30);
  EXPECT_EQ(IntegerIn(content, "First"), 10);
}

TEST(ContainerFormat_Names, OverLongName_IsCutTo255BytesWhenWrittenAndLookedUp) {
  const std::string longName = std::string(255, 'n') + std::string(45, 'x');
  ContainerContent content;
  content.WriteInteger(longName, 3);
  ASSERT_EQ(content.Entries().size(), 1u);
  EXPECT_EQ(content.Entries()[0].name, std::string(255, 'n'));
  EXPECT_EQ(IntegerIn(content, longName), 3);
  EXPECT_EQ(IntegerIn(content, std::string(255, 'n') + "other"), 3);
  EXPECT_FALSE(IntegerIn(content, std::string(254, 'n')).has_value());
}

TEST(ContainerFormat_Names, BytesAboveAscii_AreComparedExactly) {
  ContainerContent content;
  content.WriteInteger("\xC4rger", 1);
  int32_t value = 0;
  EXPECT_FALSE(content.ReadInteger("\xE4rger", value));
  EXPECT_TRUE(content.ReadInteger("\xC4rger", value));
}

TEST(ContainerFormat_RoundTrip, EveryKind_ReadsBackAfterSaveAndLoad) {
  ContainerContent content;
  ASSERT_EQ(LoadBytes(content, StreamOfEveryKind()), ContainerLoad::Loaded);
  ASSERT_EQ(content.Entries().size(), 13u);
  for (uint8_t kind = 0; kind < kPersistKindCount; ++kind) {
    EXPECT_EQ(content.Entries()[kind].kind, kind);
  }

  int32_t integer = 0;
  uint32_t handle = 0;
  int64_t int64 = 0;
  std::string text;
  std::wstring wide;
  Record16 record{};
  TPoint point;
  TRect rect;
  bool flag = false;
  std::string stream;
  std::string xml;
  std::string graphic;
  EXPECT_TRUE(content.ReadInteger("Integer", integer));
  EXPECT_TRUE(content.ReadHandle("Handle", handle));
  EXPECT_TRUE(content.ReadInt64("Int64", int64));
  EXPECT_TRUE(content.ReadString("String", text));
  EXPECT_TRUE(content.ReadWideString("Wide", wide));
  EXPECT_TRUE(content.ReadRecord16("Record", record));
  EXPECT_TRUE(content.ReadPoint("Point", point));
  EXPECT_TRUE(content.ReadRect("Rect", rect));
  EXPECT_TRUE(content.ReadBoolean("Boolean", flag));
  EXPECT_TRUE(content.ReadCountedBytes("Stream", stream));
  EXPECT_TRUE(content.ReadCountedBytes("Xml", xml));
  EXPECT_TRUE(content.ReadCountedBytes("Graphic", graphic));
  EXPECT_EQ(integer, -5);
  EXPECT_EQ(handle, 0x80000001u);
  EXPECT_EQ(int64, -0x123456789ALL);
  EXPECT_EQ(text, "text");
  EXPECT_EQ(wide, L"w\u00e9\u0416");
  EXPECT_EQ(record, (Record16{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
  EXPECT_EQ(point, (TPoint{-3, 4}));
  EXPECT_EQ(rect, (TRect{1, -2, 300, 400}));
  EXPECT_TRUE(flag);
  EXPECT_EQ(stream, std::string("a\0b", 3));
  EXPECT_EQ(xml, "<a/>");
  EXPECT_EQ(graphic, "BM");

  const std::optional<std::string_view> nested = content.FindContainerStream("Container");
  ASSERT_TRUE(nested.has_value());
  ContainerContent inner;
  ASSERT_EQ(LoadBytes(inner, *nested), ContainerLoad::Loaded);
  std::string innerText;
  EXPECT_TRUE(inner.ReadString("InnerText", innerText));
  EXPECT_EQ(innerText, "abc");
}

TEST(ContainerFormat_RoundTrip, SaveOfLoaded_GivesTheSameBytes) {
  const std::string stream = StreamOfEveryKind();
  ContainerContent content;
  ASSERT_EQ(LoadBytes(content, stream), ContainerLoad::Loaded);
  EXPECT_EQ(content.Save(), stream);
}

TEST(ContainerFormat_Load, Source_EndsBehindTheDataBlock) {
  const std::string stream = StreamOfEveryKind();
  const std::string bytes = stream + "trailing";
  MemoryByteSource source(bytes);
  ContainerContent content;
  ASSERT_EQ(content.Load(source), ContainerLoad::Loaded);
  EXPECT_EQ(source.Position(), stream.size());
}

TEST(ContainerFormat_Load, WrongMagic_GivesBadMagicAndEmptiesTheContent) {
  std::string bytes = EmptyContainerStream();
  bytes[15] = 0x37;
  ContainerContent content = NonEmptyContent();
  MemoryByteSource source(bytes);
  EXPECT_EQ(content.Load(source), ContainerLoad::BadMagic);
  EXPECT_TRUE(content.Entries().empty());
  EXPECT_EQ(source.Position(), 16u);
}

TEST(ContainerFormat_Load, CutAtEveryByte_NeverLoadsAndLeavesItEmpty) {
  const std::string stream = StreamOfEveryKind();
  for (size_t length = 0; length < stream.size(); ++length) {
    ContainerContent content = NonEmptyContent();
    const std::string_view cut = std::string_view(stream).substr(0, length);
    if (length < kContainerMagic.size()) {
      EXPECT_EQ(LoadBytes(content, cut), ContainerLoad::BadMagic) << "length " << length;
    } else {
      EXPECT_THROW(LoadBytes(content, cut), ContainerFormatError) << "length " << length;
    }
    EXPECT_TRUE(content.Entries().empty()) << "length " << length;
    EXPECT_TRUE(content.Data().empty()) << "length " << length;
    EXPECT_FALSE(MeasureContainerStream(cut).has_value()) << "length " << length;
  }
}

// Each number of the framing that cannot be true is a fault, and the load
// leaves the content empty.
TEST(ContainerFormat_Load, DamagedFraming_IsAFaultAndEmptiesTheContent) {
  std::vector<std::pair<std::string, std::string>> streams;
  for (const int32_t count : {-1, INT32_MIN, 1000, INT32_MAX}) {
    streams.emplace_back("entry count " + std::to_string(count), RawStream(count, {}, 0, ""));
  }
  for (const int32_t length : {-1, 256, INT32_MAX}) {
    streams.emplace_back("name length " + std::to_string(length),
                         kMagic + Int32Bytes(1) + Int32Bytes(length) + std::string(300, 'a') +
                             Int32Bytes(0) + '\0' + Int32Bytes(4) + Int32Bytes(0));
  }
  for (const int32_t size : {-1, 5, INT32_MAX}) {
    streams.emplace_back("data size " + std::to_string(size), RawStream(0, {}, size, "1234"));
  }
  for (const auto& [name, bytes] : streams) {
    ContainerContent content = NonEmptyContent();
    EXPECT_THROW(LoadBytes(content, bytes), ContainerFormatError) << name;
    EXPECT_TRUE(content.Entries().empty()) << name;
  }
}

// An entry whose value does not fit its kind, whose kind is unknown or whose
// offset lies outside the data block loads as it is among good ones; only a read of it fails, and the good ones
// still read.
TEST(ContainerFormat_Load, ForeignEntry_IsKeptAndOnlyItsReadFails) {
  const auto readsInteger = [](ContainerContent& content) {
    int32_t value = 0;
    content.ReadInteger("Foreign", value);
  };
  const auto readsBytes = [](ContainerContent& content) {
    std::string bytes;
    content.ReadCountedBytes("Foreign", bytes);
  };
  // The rest of the data, not cut to a container of its own, then loaded.
  const auto readsContainer = [](ContainerContent& content) {
    const std::optional<std::string_view> nested = content.FindContainerStream("Foreign");
    ContainerContent inner;
    if (nested) LoadBytes(inner, *nested);
  };
  const struct {
    const char* name;
    uint8_t kind;
    std::string value;
    void (*read)(ContainerContent&);
    int32_t offset = 8;
  } cases[] = {{"unknown kind", 13, "12", readsInteger},
               {"kind 255", 255, "x", readsBytes},
               {"integer past the end", 0, "12", readsInteger},
               {"string count past the end", 3, Int32Bytes(3) + "xy", readsBytes},
               {"negative stream count", 10, Int32Bytes(-1) + "xy", readsBytes},
               {"container without its framing", 9, kMagic + Int32Bytes(INT32_MAX),
                readsContainer},
               {"offset -1", 0, "", readsInteger, -1},
               {"offset INT32_MIN", 8, "", readsBytes, INT32_MIN},
               {"offset at the end of the data", 0, "", readsInteger, 8},
               {"offset INT32_MAX", 3, "", readsBytes, INT32_MAX},
               {"container offset past the data", 9, "", readsContainer, 9}};
  for (const auto& c : cases) {
    // The foreign value last, where nothing follows it.
    const std::string data = Int32Bytes(7) + Int32Bytes(8) + c.value;
    const std::string stream =
        RawStream(3, {{"Good", 0, 0}, {"Foreign", c.offset, c.kind}, {"After", 4, 0}},
                  static_cast<int32_t>(data.size()), data);
    ContainerContent content;
    ASSERT_EQ(LoadBytes(content, stream), ContainerLoad::Loaded) << c.name;
    ASSERT_EQ(content.Entries().size(), 3u) << c.name;
    EXPECT_EQ(content.Entries()[1].kind, c.kind) << c.name;
    EXPECT_EQ(content.Save(), stream) << c.name;
    EXPECT_THROW(c.read(content), ContainerFormatError) << c.name;
    EXPECT_EQ(IntegerIn(content, "Good"), 7) << c.name;
    EXPECT_EQ(IntegerIn(content, "After"), 8) << c.name;
  }
}

TEST(ContainerFormat_Load, NameOf255Bytes_Loads) {
  const std::string name(255, 'z');
  ContainerContent content;
  ASSERT_EQ(LoadBytes(content, RawStream(1, {{name, 0, 0}}, 4, Int32Bytes(9))),
            ContainerLoad::Loaded);
  EXPECT_EQ(IntegerIn(content, name), 9);
}

TEST(ContainerFormat_Load, DeepNesting_LoadsAndIsReadOneLevelAtATime) {
  constexpr int kDepth = 2000;
  ContainerContent content;
  ASSERT_EQ(LoadBytes(content, NestedStream(kDepth)), ContainerLoad::Loaded);
  int depth = 0;
  while (const std::optional<std::string_view> nested = content.FindContainerStream("Nested")) {
    ContainerContent inner;
    ASSERT_EQ(LoadBytes(inner, *nested), ContainerLoad::Loaded);
    content = inner;
    ++depth;
  }
  EXPECT_EQ(depth, kDepth);
}

TEST(ContainerFormat_Measure, StreamFollowedByOtherBytes_MeasuresItsOwnLength) {
  const std::string stream = StreamOfEveryKind();
  EXPECT_EQ(MeasureContainerStream(stream + "more"), stream.size());
  EXPECT_FALSE(MeasureContainerStream("no container").has_value());
}

TEST(ContainerFormat_Read, ValueRunningPastTheData_RaisesAndLeavesTargetUnchanged) {
  ContainerContent content;
  content.WriteInteger("Small", 1);
  content.WriteInteger("Huge", INT32_MAX);
  int64_t int64 = 42;
  EXPECT_THROW(content.ReadInt64("Huge", int64), ContainerFormatError);
  EXPECT_EQ(int64, 42);
  std::string text = "kept";
  EXPECT_THROW(content.ReadString("Huge", text), ContainerFormatError);
  EXPECT_EQ(text, "kept");
  std::wstring wide = L"kept";
  EXPECT_THROW(content.ReadWideString("Huge", wide), ContainerFormatError);
  EXPECT_EQ(wide, L"kept");
  TRect rect{1, 2, 3, 4};
  EXPECT_THROW(content.ReadRect("Small", rect), ContainerFormatError);
  EXPECT_EQ(rect, (TRect{1, 2, 3, 4}));
}

TEST(ContainerFormat_Read, NegativeCount_RaisesAndLeavesTargetUnchanged) {
  ContainerContent content;
  content.WriteInteger("Negative", -1);
  content.WriteInteger("Padding", 0);
  std::string bytes = "kept";
  EXPECT_THROW(content.ReadCountedBytes("Negative", bytes), ContainerFormatError);
  EXPECT_EQ(bytes, "kept");
}

TEST(ContainerFormat_Read, ContainerStreamOfAnotherKind_GivesTheRestOfTheData) {
  ContainerContent content;
  content.WriteInteger("A", 1);
  content.WriteInteger("B", 2);
  const std::optional<std::string_view> rest = content.FindContainerStream("A");
  ASSERT_TRUE(rest.has_value());
  EXPECT_EQ(*rest, Int32Bytes(1) + Int32Bytes(2));
  EXPECT_FALSE(content.FindContainerStream("C").has_value());
}
