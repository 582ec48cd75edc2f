#include "MoCatalog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"

namespace {

const wchar_t* const kMessages[] = {
    L"Invalid file %s",
    L"Invalid parameter %s",
    L"Invalid topic \"%s\"",
    L"Stack trace:",
    L"Execution failed!\r\nException info: %s\r\n%s",
};

std::string ReadCatalogFile(const std::wstring& name) {
  std::ifstream in(testsupport::TestDataFile(name), std::ios::binary);
  std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_FALSE(data.empty()) << "missing test catalog";
  return data;
}

bool IsBigEndianFile(const std::string& data) {
  return data.size() >= 4 && static_cast<uint8_t>(data[0]) == 0x95 &&
         static_cast<uint8_t>(data[3]) == 0xde;
}

void PutUint32(std::string& data, size_t offset, uint32_t value, bool bigEndian) {
  for (size_t i = 0; i < 4; ++i) {
    const size_t shift = bigEndian ? 8 * (3 - i) : 8 * i;
    data[offset + i] = static_cast<char>((value >> shift) & 0xFF);
  }
}

uint32_t GetUint32(const std::string& data, size_t offset, bool bigEndian) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    const auto byte = static_cast<uint8_t>(data[offset + (bigEndian ? i : 3 - i)]);
    value = (value << 8) | byte;
  }
  return value;
}

// A catalog with the entries in the order given, unsorted if so given, and
// without a hash table.
std::string BuildCatalog(const std::vector<std::pair<std::string, std::string>>& entries,
                         bool bigEndian) {
  const auto count = static_cast<uint32_t>(entries.size());
  const uint32_t keyTable = 28;
  const uint32_t textTable = keyTable + 8 * count;
  std::string data(textTable + 8 * count, '\0');
  PutUint32(data, 0, 0x950412de, bigEndian);
  PutUint32(data, 8, count, bigEndian);
  PutUint32(data, 12, keyTable, bigEndian);
  PutUint32(data, 16, textTable, bigEndian);
  auto addString = [&](uint32_t table, size_t index, const std::string& text) {
    PutUint32(data, table + 8 * index, static_cast<uint32_t>(text.size()), bigEndian);
    PutUint32(data, table + 8 * index + 4, static_cast<uint32_t>(data.size()), bigEndian);
    data += text;
    data += '\0';
  };
  for (size_t i = 0; i < entries.size(); ++i) addString(keyTable, i, entries[i].first);
  for (size_t i = 0; i < entries.size(); ++i) addString(textTable, i, entries[i].second);
  return data;
}

const std::string kUtf8Header = "Content-Type: text/plain; charset=UTF-8\n";

std::wstring Latin1ToUtf16(std::string_view bytes) {
  std::wstring out;
  for (char c : bytes) out += static_cast<wchar_t>(static_cast<uint8_t>(c));
  return out;
}

void ExpectFindsNothing(const MoCatalog& catalog) {
  EXPECT_FALSE(catalog.IsValid());
  for (const wchar_t* message : kMessages) {
    EXPECT_FALSE(catalog.Find(message, Latin1ToUtf16).has_value()) << "message: " << message;
  }
}

// The data with the number at the offset replaced.
std::string Patched(std::string data, size_t offset, uint32_t value, bool bigEndian) {
  PutUint32(data, offset, value, bigEndian);
  return data;
}

// Runs the check on the German catalog in each byte order.
template <class Check>
void ForEachByteOrder(Check check) {
  for (const wchar_t* name : {L"translation_de.mo", L"translation_de.be.mo"}) {
    SCOPED_TRACE(testing::Message() << "catalog " << name);
    const std::string data = ReadCatalogFile(name);
    check(data, IsBigEndianFile(data));
  }
}

class MoCatalogByteOrder : public testing::TestWithParam<const wchar_t*> {};

}  // namespace

TEST(MoCatalog, Lookup_GermanCatalog_DecodesUmlautsAndQuotes) {
  const MoCatalog catalog(ReadCatalogFile(L"translation_de.mo"));
  ASSERT_TRUE(catalog.IsValid());
  EXPECT_EQ(catalog.Find(L"Invalid file %s"), L"Ungültige Datei %s");
  EXPECT_EQ(catalog.Find(L"Invalid topic \"%s\""), L"Ungültiges Thema \u201E%s\u201C");
  EXPECT_EQ(catalog.Find(L"Execution failed!\r\nException info: %s\r\n%s"),
            L"Ausführung fehlgeschlagen!\r\nAusnahme: %s\r\n%s");
}

TEST(MoCatalog, Lookup_CyrillicCatalog_DecodesCyrillic) {
  const MoCatalog catalog(ReadCatalogFile(L"translation_ru.mo"));
  ASSERT_TRUE(catalog.IsValid());
  EXPECT_EQ(catalog.Find(L"Stack trace:"),
            L"\u0422\u0440\u0430\u0441\u0441\u0438\u0440\u043E\u0432\u043A\u0430 "
            L"\u0441\u0442\u0435\u043A\u0430:");
  EXPECT_EQ(catalog.Find(L"Invalid file %s"), L"Недопустимый файл %s");
}

TEST(MoCatalog, Lookup_MissingMsgid_FindsNothing) {
  const MoCatalog catalog(ReadCatalogFile(L"translation_ru.mo"));
  ASSERT_TRUE(catalog.IsValid());
  EXPECT_FALSE(catalog.Find(L"Invalid parameter %s").has_value());
  EXPECT_FALSE(catalog.Find(L"Invalid file").has_value());
  EXPECT_FALSE(catalog.Find(L"Invalid file %s ").has_value());
  EXPECT_FALSE(catalog.Find(L"invalid file %s").has_value());
  EXPECT_FALSE(catalog.FindRaw("Stack trace").has_value());
}

TEST(MoCatalog, Lookup_EmptyMsgid_DoesNotGiveTheHeader) {
  const MoCatalog catalog(ReadCatalogFile(L"translation_de.mo"));
  ASSERT_TRUE(catalog.IsValid());
  EXPECT_FALSE(catalog.Find(L"").has_value());
  EXPECT_FALSE(catalog.FindRaw("").has_value());
}

TEST(MoCatalog, Header_Utf8Catalog_ReportsCharset) {
  const MoCatalog catalog(ReadCatalogFile(L"translation_de.mo"));
  EXPECT_EQ(catalog.Charset(), "UTF-8");
  EXPECT_TRUE(catalog.IsUtf8());
}

TEST(MoCatalog, Header_Latin1Catalog_UsesTheDecoder) {
  const MoCatalog catalog(ReadCatalogFile(L"translation_latin1.mo"));
  ASSERT_TRUE(catalog.IsValid());
  EXPECT_EQ(catalog.Charset(), "ISO-8859-1");
  EXPECT_FALSE(catalog.IsUtf8());
  EXPECT_EQ(catalog.FindRaw("Stack trace:"), std::string_view("Aufrufliste f\xfcr M\xe4rz:"));
  EXPECT_FALSE(catalog.Find(L"Stack trace:").has_value());
  EXPECT_EQ(catalog.Find(L"Stack trace:", Latin1ToUtf16), L"Aufrufliste für März:");
}

TEST_P(MoCatalogByteOrder, Lookup_BigEndianCatalog_MatchesLittleEndian) {
  const std::wstring name = GetParam();
  const std::string little = ReadCatalogFile(name + L".mo");
  const std::string big = ReadCatalogFile(name + L".be.mo");
  ASSERT_FALSE(IsBigEndianFile(little));
  ASSERT_TRUE(IsBigEndianFile(big));
  const MoCatalog littleCatalog(little);
  const MoCatalog bigCatalog(big);
  ASSERT_TRUE(littleCatalog.IsValid());
  ASSERT_TRUE(bigCatalog.IsValid());
  EXPECT_EQ(littleCatalog.Charset(), bigCatalog.Charset());
  int found = 0;
  for (const wchar_t* message : kMessages) {
    const auto expected = littleCatalog.Find(message, Latin1ToUtf16);
    EXPECT_EQ(bigCatalog.Find(message, Latin1ToUtf16), expected) << "message: " << message;
    if (expected) ++found;
  }
  EXPECT_GT(found, 0);
}

INSTANTIATE_TEST_SUITE_P(MoCatalog, MoCatalogByteOrder,
                         testing::Values(L"translation_de", L"translation_de_de",
                                         L"translation_ru", L"translation_latin1",
                                         L"translation_placeholders"));

TEST(MoCatalog, Lookup_UnsortedEntries_FindsEveryOne) {
  for (const bool bigEndian : {false, true}) {
    const MoCatalog catalog(BuildCatalog({{"Stack trace:", "Z"},
                                          {"Invalid topic \"%s\"", "Y %s"},
                                          {"", kUtf8Header},
                                          {"Invalid file %s", "X %s"}},
                                         bigEndian));
    ASSERT_TRUE(catalog.IsValid());
    EXPECT_EQ(catalog.Find(L"Stack trace:"), L"Z");
    EXPECT_EQ(catalog.Find(L"Invalid topic \"%s\""), L"Y %s");
    EXPECT_EQ(catalog.Find(L"Invalid file %s"), L"X %s");
    EXPECT_EQ(catalog.Charset(), "UTF-8");
  }
}

TEST(MoCatalog, Lookup_EmptyTranslation_MeansNotTranslated) {
  const MoCatalog catalog(
      BuildCatalog({{"", kUtf8Header}, {"Invalid file %s", ""}, {"Stack trace:", "S"}}, false));
  ASSERT_TRUE(catalog.IsValid());
  EXPECT_FALSE(catalog.Find(L"Invalid file %s").has_value());
  EXPECT_EQ(catalog.Find(L"Stack trace:"), L"S");
}

TEST(MoCatalog, Lookup_PluralAndContextKeys_DoNotMatchPlainMsgid) {
  using namespace std::string_literals;
  const MoCatalog catalog(BuildCatalog({{"", kUtf8Header},
                                        {"Invalid file %s\0Invalid files %s"s, "A\0B"s},
                                        {"console\x04Stack trace:", "C"}},
                                       false));
  ASSERT_TRUE(catalog.IsValid());
  EXPECT_FALSE(catalog.Find(L"Invalid file %s").has_value());
  EXPECT_FALSE(catalog.Find(L"Stack trace:").has_value());
}

TEST(MoCatalog, Header_NoCharset_NeedsTheDecoder) {
  const MoCatalog catalog(BuildCatalog({{"Stack trace:", "Aufrufliste f\xfcr"}}, false));
  ASSERT_TRUE(catalog.IsValid());
  EXPECT_EQ(catalog.Charset(), "");
  EXPECT_FALSE(catalog.IsUtf8());
  EXPECT_FALSE(catalog.Find(L"Stack trace:").has_value());
  EXPECT_EQ(catalog.Find(L"Stack trace:", Latin1ToUtf16), L"Aufrufliste für");
}

TEST(MoCatalog, Corrupt_EmptyData_FindsNothing) {
  ExpectFindsNothing(MoCatalog(std::string()));
  ExpectFindsNothing(MoCatalog());
}

TEST(MoCatalog, Corrupt_TruncatedAtAnyLength_FindsNothing) {
  ForEachByteOrder([](const std::string& data, bool) {
    ASSERT_TRUE(MoCatalog(data).IsValid());
    for (size_t length = 0; length < data.size(); ++length) {
      SCOPED_TRACE(testing::Message() << "length " << length);
      ExpectFindsNothing(MoCatalog(data.substr(0, length)));
    }
  });
}

TEST(MoCatalog, Corrupt_BadMagic_FindsNothing) {
  ForEachByteOrder([](std::string data, bool) {
    data[1] = static_cast<char>(data[1] ^ 0x01);
    ExpectFindsNothing(MoCatalog(data));
  });
}

TEST(MoCatalog, Corrupt_UnknownMajorRevision_FindsNothing) {
  for (const bool bigEndian : {false, true}) {
    const std::string data = BuildCatalog({{"", kUtf8Header}, {"Stack trace:", "S"}}, bigEndian);
    ASSERT_TRUE(MoCatalog(data).IsValid());
    ExpectFindsNothing(MoCatalog(Patched(data, 4, 0x00020000, bigEndian)));
  }
}

TEST(MoCatalog, Corrupt_HugeCount_FindsNothing) {
  ForEachByteOrder([](const std::string& valid, bool bigEndian) {
    // 0x20000000 entries of 8 bytes wrap a 32-bit size to zero; the last
    // count makes the second table end one entry past the data.
    const uint32_t textTable = GetUint32(valid, 16, bigEndian);
    const auto justTooMany = static_cast<uint32_t>((valid.size() - textTable) / 8 + 1);
    for (const uint32_t count : {0x20000000u, 0x20000001u, 0x7FFFFFFFu, 0xFFFFFFFFu,
                                 justTooMany}) {
      SCOPED_TRACE(testing::Message() << "count " << count);
      ExpectFindsNothing(MoCatalog(Patched(valid, 8, count, bigEndian)));
    }
  });
}

TEST(MoCatalog, Corrupt_TableOutside_FindsNothing) {
  ForEachByteOrder([](const std::string& valid, bool bigEndian) {
    const auto size = static_cast<uint32_t>(valid.size());
    for (const size_t field : {12u, 16u}) {
      for (const uint32_t offset : {size, size - 4, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(testing::Message() << "field " << field << " offset " << offset);
        ExpectFindsNothing(MoCatalog(Patched(valid, field, offset, bigEndian)));
      }
    }
  });
}

TEST(MoCatalog, Corrupt_StringOutside_FindsNothing) {
  ForEachByteOrder([](const std::string& valid, bool bigEndian) {
    const uint32_t count = GetUint32(valid, 8, bigEndian);
    const auto size = static_cast<uint32_t>(valid.size());
    for (const size_t tableField : {12u, 16u}) {
      const uint32_t table = GetUint32(valid, tableField, bigEndian);
      for (uint32_t index = 0; index < count; ++index) {
        const size_t lengthAt = table + 8 * index;
        const uint32_t offset = GetUint32(valid, lengthAt + 4, bigEndian);
        // {length field, value}: past the end, wrapping round, ending on the
        // last byte without room for the terminating zero.
        const std::pair<size_t, uint32_t> faults[] = {
            {lengthAt + 4, size},
            {lengthAt + 4, 0xFFFFFFFFu},
            {lengthAt, 0xFFFFFFFFu},
            {lengthAt, 0xFFFFFFFFu - offset + 1},
            {lengthAt, size - offset},
        };
        for (const auto& [at, value] : faults) {
          SCOPED_TRACE(testing::Message() << "table " << tableField << " entry " << index
                                          << " field " << at << " value " << value);
          ExpectFindsNothing(MoCatalog(Patched(valid, at, value, bigEndian)));
        }
      }
    }
  });
}

TEST(MoCatalog, Corrupt_StringWithoutTerminatingZero_FindsNothing) {
  ForEachByteOrder([](std::string data, bool bigEndian) {
    const uint32_t textTable = GetUint32(data, 16, bigEndian);
    // The first translation that is no header: its zero becomes a letter.
    const uint32_t length = GetUint32(data, textTable + 8, bigEndian);
    const uint32_t offset = GetUint32(data, textTable + 12, bigEndian);
    ASSERT_EQ(data[offset + length], '\0');
    data[offset + length] = 'x';
    ExpectFindsNothing(MoCatalog(data));
  });
}
