// The persistence container through its interface: streams, files, the
// clipboard (in this process and from another one), XML documents and
// pictures, and the errors it raises.

#include "ObjectContainer.h"

#include <windows.h>
#include <ole2.h>
#include <msxml2.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "CodePage.h"
#include "ComApartment.h"
#include "ContainerBytes.h"
#include "ContainerFormat.h"
#include "ContainerTesting.h"
#include "Raised.h"
#include "RunProgram.h"
#include "TempFolder.h"
#include "UniqueHandle.h"

using Microsoft::WRL::ComPtr;
using namespace testsupport;

namespace {

const std::string kEmptyStream = testsupport::EmptyContainerStream();

// A stream that takes at most `capacity` bytes; everything else about it is
// refused.
class LimitedStream final : public IStream {
 public:
  explicit LimitedStream(size_t capacity) : capacity_(capacity) {}
  const std::string& Bytes() const { return bytes_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IStream) ||
        riid == __uuidof(ISequentialStream)) {
      *object = static_cast<IStream*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the test's stack.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG* read) override {
    if (read != nullptr) *read = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override {
    const size_t count = std::min<size_t>(size, capacity_ - bytes_.size());
    bytes_.append(static_cast<const char*>(data), count);
    if (written != nullptr) *written = static_cast<ULONG>(count);
    return count == size ? S_OK : STG_E_MEDIUMFULL;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER* position) override {
    if (position != nullptr) position->QuadPart = bytes_.size();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  size_t capacity_;
  std::string bytes_;
};

// The value of the name as the container's read of its kind gives it; none
// when the read finds nothing.
template <class T>
std::optional<T> ValueIn(IPersistContainer* container,
                         bool (STDMETHODCALLTYPE IPersistContainer::*read)(std::string_view, T&),
                         std::string_view name) {
  T value{};
  if (!(container->*read)(name, value)) return std::nullopt;
  return value;
}

}  // namespace

// ---------------------------------------------------------------- identity

TEST(ObjectContainer_Interface, Identifier_IsTheMagicOfTheStream) {
  const GUID id = __uuidof(IPersistContainer);
  EXPECT_EQ(std::memcmp(&id, kContainerMagic.data(), sizeof(id)), 0);
}

TEST(ObjectContainer_Interface, QueryInterface_AnswersTheContainerAndIUnknown) {
  const ContainerPtr container = NewPersistContainer();
  ComPtr<IUnknown> unknown;
  ContainerPtr again;
  ASSERT_EQ(container.As(&unknown), S_OK);
  ASSERT_EQ(unknown.As(&again), S_OK);
  EXPECT_EQ(again.Get(), container.Get());
  ComPtr<IStream> notAStream;
  EXPECT_EQ(container.As(&notAStream), E_NOINTERFACE);
}

// ---------------------------------------------------------------- streams

TEST(ObjectContainer_Stream, NewContainer_SavesTheEmptyStream) {
  const ContainerPtr container = NewPersistContainer();
  EXPECT_TRUE(container->IsEmpty());
  EXPECT_EQ(container->Count(), 0);
  EXPECT_EQ(SavedBytes(container.Get()), kEmptyStream);
}

TEST(ObjectContainer_Stream, OneInteger_SavesItsFortyTwoBytes) {
  const ContainerPtr container = ContainerWithInteger("Count", 5);
  EXPECT_EQ(SavedBytes(container.Get()), RawStream(1, {{"Count", 0, 0}}, 4, Int32Bytes(5)));
}

TEST(ObjectContainer_Stream, SaveToStream_WritesAtThePositionAndEndsBehind) {
  const ContainerPtr container = ContainerWithInteger("Count", 5);
  const ComPtr<IStream> stream = MemoryStream("0123456789");
  SeekTo(stream.Get(), 3);
  ASSERT_TRUE(container->SaveToStream(stream.Get()));
  EXPECT_EQ(PositionOf(stream.Get()), 3u + 42u);
  EXPECT_EQ(BytesOf(stream.Get()), "012" + SavedBytes(container.Get()));
}

TEST(ObjectContainer_Stream, LoadFromStream_ReadsAtThePositionAndEndsBehindTheData) {
  const ContainerPtr source = ContainerWithInteger("Count", 5);
  const std::string saved = SavedBytes(source.Get());
  const ComPtr<IStream> stream = MemoryStream("head" + saved + "tail");
  SeekTo(stream.Get(), 4);
  const ContainerPtr container = NewPersistContainer();
  ASSERT_TRUE(container->LoadFromStream(stream.Get()));
  EXPECT_EQ(PositionOf(stream.Get()), 4u + saved.size());
  EXPECT_EQ(IntegerIn(container.Get(), "Count"), 5);
}

TEST(ObjectContainer_Stream, WrongMagic_GivesFalseAndEmptiesTheContainer) {
  std::string bytes = kEmptyStream;
  bytes[0] = 0;
  const ContainerPtr container = ContainerWithInteger("Before", 1);
  const ComPtr<IStream> stream = MemoryStream(bytes);
  EXPECT_FALSE(container->LoadFromStream(stream.Get()));
  EXPECT_TRUE(container->IsEmpty());
  EXPECT_EQ(PositionOf(stream.Get()), 16u);
}

TEST(ObjectContainer_Stream, BrokenStream_RaisesTheStreamReadErrorAndEmptiesTheContainer) {
  const ContainerPtr container = ContainerWithInteger("Before", 1);
  const ComPtr<IStream> stream = MemoryStream(RawStream(INT32_MAX, {}, 0, ""));
  const auto error = RaisedBy<EReadError>([&] { container->LoadFromStream(stream.Get()); });
  ASSERT_TRUE(error);
  EXPECT_STREQ(error->ClassName(), "EReadError");
  EXPECT_EQ(error->Message(), L"Stream read error");
  EXPECT_TRUE(container->IsEmpty());
}

TEST(ObjectContainer_Stream, CutAtEveryByte_NeverLoads) {
  const ContainerPtr source = NewPersistContainer();
  source->WriteString("Text", "abc");
  source->WriteContainer("Sub", ContainerWithInteger("Inner", 1).Get());
  const std::string saved = SavedBytes(source.Get());
  for (size_t length = 0; length < saved.size(); ++length) {
    const ContainerPtr container = ContainerWithInteger("Before", 1);
    const ComPtr<IStream> stream = MemoryStream(saved.substr(0, length));
    if (length < 16) {
      EXPECT_FALSE(container->LoadFromStream(stream.Get())) << "length " << length;
    } else {
      EXPECT_THROW(container->LoadFromStream(stream.Get()), EReadError) << "length " << length;
    }
    EXPECT_TRUE(container->IsEmpty()) << "length " << length;
  }
}

TEST(ObjectContainer_Stream, TargetThatTakesTooFewBytes_GivesFalseOrTheWriteError) {
  const ContainerPtr container = ContainerWithInteger("Count", 5);
  LimitedStream tooSmallForMagic(10);
  EXPECT_FALSE(container->SaveToStream(&tooSmallForMagic));
  LimitedStream tooSmallForData(30);
  EXPECT_EQ(MessageRaisedBy<EWriteError>([&] { container->SaveToStream(&tooSmallForData); }),
            L"Stream write error");
}

// ---------------------------------------------------------------- values

TEST(ObjectContainer_Values, EveryKind_RoundTripsThroughAStream) {
  GUID record;
  std::memcpy(&record, "0123456789ABCDEF", sizeof(record));
  TBitmap picture(3, 2);
  picture.SetPixel(2, 1, 0x0000FF);
  const ContainerPtr source = NewPersistContainer();
  EXPECT_TRUE(source->WriteInteger("Integer", INT32_MIN));
  EXPECT_TRUE(source->WriteHandle("Handle", 0xFFFFFFFFu));
  EXPECT_TRUE(source->WriteInt64("Int64", INT64_MIN + 1));
  EXPECT_TRUE(source->WriteString("String", std::string("a\0\xFF", 3)));
  EXPECT_TRUE(source->WriteWideString("Wide", L"\u00e9\u0416\xD83D\xDE00"));
  EXPECT_TRUE(source->WriteRecord16("Record", record));
  EXPECT_TRUE(source->WritePoint("Point", TPoint{-1, 2}));
  EXPECT_TRUE(source->WriteRect("Rect", TRect{-10, -20, 30, 40}));
  EXPECT_TRUE(source->WriteBoolean("Boolean", true));
  EXPECT_TRUE(source->WriteContainer("Container", ContainerWithInteger("Inner", 77).Get()));
  EXPECT_TRUE(source->WriteStream("Stream", MemoryStream("stream bytes").Get()));
  EXPECT_TRUE(source->WriteGraphic("Graphic", picture));

  const ContainerPtr loaded = LoadedFrom(SavedBytes(source.Get()));
  ASSERT_EQ(loaded->Count(), 12);
  EXPECT_EQ(Entries(loaded.Get()),
            (std::vector<ContainerEntry>{{"Integer", 0}, {"Handle", 1}, {"Int64", 2},
                                         {"String", 3}, {"Wide", 4}, {"Record", 5},
                                         {"Point", 6}, {"Rect", 7}, {"Boolean", 8},
                                         {"Container", 9}, {"Stream", 10}, {"Graphic", 12}}));

  const ComPtr<IStream> stream = MemoryStream();
  EXPECT_EQ(IntegerIn(loaded.Get(), "Integer"), INT32_MIN);
  EXPECT_EQ(ValueIn(loaded.Get(), &IPersistContainer::ReadHandle, "Handle"), 0xFFFFFFFFu);
  EXPECT_EQ(ValueIn(loaded.Get(), &IPersistContainer::ReadInt64, "Int64"), INT64_MIN + 1);
  EXPECT_EQ(ValueIn(loaded.Get(), &IPersistContainer::ReadString, "String"),
            std::string("a\0\xFF", 3));
  EXPECT_EQ(WideStringIn(loaded.Get(), "Wide"), L"\u00e9\u0416\xD83D\xDE00");
  EXPECT_EQ(ValueIn(loaded.Get(), &IPersistContainer::ReadRecord16, "Record"), record);
  EXPECT_EQ(ValueIn(loaded.Get(), &IPersistContainer::ReadPoint, "Point"), (TPoint{-1, 2}));
  EXPECT_EQ(ValueIn(loaded.Get(), &IPersistContainer::ReadRect, "Rect"),
            (TRect{-10, -20, 30, 40}));
  EXPECT_EQ(ValueIn(loaded.Get(), &IPersistContainer::ReadBoolean, "Boolean"), true);
  EXPECT_EQ(IntegerIn(Sub(loaded.Get(), "Container").Get(), "Inner"), 77);
  EXPECT_TRUE(loaded->ReadStream("Stream", stream.Get()));
  EXPECT_EQ(BytesOf(stream.Get()), "stream bytes");
  EXPECT_EQ(ValueIn(loaded.Get(), &IPersistContainer::ReadGraphic, "Graphic"), picture);
}

TEST(ObjectContainer_Values, MissingName_GivesFalseAndLeavesEveryTargetAlone) {
  const ContainerPtr container = ContainerWithInteger("Count", 5);
  int32_t integer = 9;
  std::wstring wide = L"kept";
  TRect rect{1, 2, 3, 4};
  TBitmap picture(1, 1);
  picture.Fill(0x123456);
  const TBitmap before = picture;
  const ComPtr<IStream> stream = MemoryStream("abc");
  SeekTo(stream.Get(), 2);
  EXPECT_FALSE(container->ReadInteger("count", integer));
  EXPECT_FALSE(container->ReadWideString("Missing", wide));
  EXPECT_FALSE(container->ReadRect("Missing", rect));
  EXPECT_FALSE(container->ReadGraphic("Missing", picture));
  EXPECT_FALSE(container->ReadStream("Missing", stream.Get()));
  EXPECT_EQ(integer, 9);
  EXPECT_EQ(wide, L"kept");
  EXPECT_EQ(rect, (TRect{1, 2, 3, 4}));
  EXPECT_EQ(picture, before);
  EXPECT_EQ(PositionOf(stream.Get()), 2u);
}

TEST(ObjectContainer_Values, DuplicateNames_FirstWinsAndBothAreSaved) {
  const ContainerPtr container = NewPersistContainer();
  container->WriteInteger("Value", 1);
  container->WriteInteger("Value", 2);
  EXPECT_EQ(container->Count(), 2);
  const ContainerPtr loaded = LoadedFrom(SavedBytes(container.Get()));
  EXPECT_EQ(loaded->Count(), 2);
  EXPECT_EQ(IntegerIn(loaded.Get(), "Value"), 1);
}

TEST(ObjectContainer_Values, ReadOfAnotherKind_DecodesTheBytesThere) {
  const ContainerPtr container = NewPersistContainer();
  container->WriteString("Text", "seven..");
  EXPECT_EQ(IntegerIn(container.Get(), "Text"), 7);
}

TEST(ObjectContainer_Values, ReadRunningPastTheData_RaisesTheStreamReadError) {
  const ContainerPtr container = ContainerWithInteger("Count", 1000);
  std::string text = "kept";
  EXPECT_THROW(container->ReadString("Count", text), EReadError);
  EXPECT_EQ(text, "kept");
}

TEST(ObjectContainer_Values, WriteAfterRead_AppendsAndEarlierValuesStay) {
  const ContainerPtr container = ContainerWithInteger("First", 1);
  container->WriteString("Second", "two");
  std::string second;
  ASSERT_TRUE(container->ReadString("Second", second));
  container->WriteInteger("Third", 3);
  EXPECT_EQ(IntegerIn(container.Get(), "Third"), 3);
  EXPECT_EQ(IntegerIn(container.Get(), "First"), 1);
  EXPECT_EQ(ValueIn(container.Get(), &IPersistContainer::ReadString, "Second"), std::string("two"));
}

TEST(ObjectContainer_Values, OverLongName_IsCutTo255Bytes) {
  const std::string longName = std::string(255, 'a') + std::string(45, 'b');
  const ContainerPtr container = ContainerWithInteger(longName, 4);
  EXPECT_EQ(container->EntryName(0), std::string(255, 'a'));
  EXPECT_EQ(IntegerIn(container.Get(), std::string(255, 'a')), 4);
}

TEST(ObjectContainer_Values, EntryOutsideTheDirectory_HasNoKindAndNoName) {
  const ContainerPtr container = ContainerWithInteger("Count", 5);
  EXPECT_EQ(container->EntryKind(1), 0xFF);
  EXPECT_EQ(container->EntryKind(-1), 0xFF);
  EXPECT_EQ(container->EntryName(1), "");
}

TEST(ObjectContainer_Values, Clear_EmptiesDirectoryAndData) {
  const ContainerPtr container = ContainerWithInteger("Count", 5);
  container->Clear();
  EXPECT_TRUE(container->IsEmpty());
  EXPECT_EQ(SavedBytes(container.Get()), kEmptyStream);
}

TEST(ObjectContainer_Values, NullArguments_WriteAndReadNothing) {
  const ContainerPtr container = NewPersistContainer();
  EXPECT_FALSE(container->WriteContainer("C", nullptr));
  EXPECT_FALSE(container->WriteStream("S", nullptr));
  EXPECT_FALSE(container->WriteXMLDocument("X", nullptr));
  EXPECT_TRUE(container->IsEmpty());
}

// ---------------------------------------------------------------- byte streams

TEST(ObjectContainer_ByteStream, WriteStream_TakesAllOfTheSourceAndLeavesItAtItsEnd) {
  const ComPtr<IStream> source = MemoryStream("whole source");
  SeekTo(source.Get(), 6);
  const ContainerPtr container = NewPersistContainer();
  EXPECT_TRUE(container->WriteStream("S", source.Get()));
  EXPECT_EQ(PositionOf(source.Get()), 12u);
  EXPECT_EQ(container->EntryKind(0), 10);
  const ComPtr<IStream> target = MemoryStream();
  ASSERT_TRUE(container->ReadStream("S", target.Get()));
  EXPECT_EQ(BytesOf(target.Get()), "whole source");
}

TEST(ObjectContainer_ByteStream, ReadStream_WritesAtTheTargetsPositionThenRewinds) {
  const struct {
    const char* entry;
    const char* target;
    int64_t position;
    const char* expected;
  } cases[] = {{"XY", "abcdefgh", 2, "abXYefgh"}, {"", "abc", 3, "abc"}};
  for (const auto& c : cases) {
    const ContainerPtr container = NewPersistContainer();
    container->WriteStream("S", MemoryStream(c.entry).Get());
    const ComPtr<IStream> target = MemoryStream(c.target);
    SeekTo(target.Get(), c.position);
    ASSERT_TRUE(container->ReadStream("S", target.Get())) << c.entry;
    EXPECT_EQ(BytesOf(target.Get()), c.expected) << c.entry;
    EXPECT_EQ(PositionOf(target.Get()), 0u) << c.entry;
  }
}

TEST(ObjectContainer_ByteStream, TargetThatTakesTooFewBytes_RaisesTheStreamWriteError) {
  const ContainerPtr container = NewPersistContainer();
  container->WriteStream("S", MemoryStream("0123456789").Get());
  LimitedStream target(4);
  EXPECT_THROW(container->ReadStream("S", &target), EWriteError);
}

// ---------------------------------------------------------------- nesting

TEST(ObjectContainer_Nesting, ThreeDeep_EveryLevelKeepsItsEntries) {
  const ContainerPtr level3 = ContainerWithInteger("Level", 3);
  const ContainerPtr level2 = ContainerWithInteger("Level", 2);
  level2->WriteContainer("Sub", level3.Get());
  level2->WriteString("After", "two");
  const ContainerPtr level1 = ContainerWithInteger("Level", 1);
  level1->WriteContainer("Sub", level2.Get());
  level1->WriteString("After", "one");

  const ContainerPtr loaded = LoadedFrom(SavedBytes(level1.Get()));
  const ContainerPtr sub2 = Sub(loaded.Get(), "Sub");
  const ContainerPtr sub3 = Sub(sub2.Get(), "Sub");
  EXPECT_EQ(IntegerIn(sub3.Get(), "Level"), 3);
  EXPECT_EQ(ValueIn(sub2.Get(), &IPersistContainer::ReadString, "After"), std::string("two"));
  EXPECT_EQ(ValueIn(loaded.Get(), &IPersistContainer::ReadString, "After"), std::string("one"));
  EXPECT_EQ(IntegerIn(loaded.Get(), "Level"), 1);
  EXPECT_EQ(sub2->Count(), 3);
  EXPECT_EQ(sub3->Count(), 1);
}

TEST(ObjectContainer_Nesting, ReadSubContainerOfMissingName_GivesAnEmptyContainer) {
  const ContainerPtr container = ContainerWithInteger("Count", 5);
  ContainerPtr sub = ContainerWithInteger("Old", 1);
  ReadSubContainer(container.Get(), "Missing", sub);
  ASSERT_TRUE(sub);
  EXPECT_TRUE(sub->IsEmpty());
}

TEST(ObjectContainer_Nesting, ReadSubContainerWithLongName_LooksUpThe255Bytes) {
  const ContainerPtr container = NewPersistContainer();
  container->WriteContainer(std::string(255, 's'), ContainerWithInteger("Inner", 8).Get());
  EXPECT_EQ(Sub(container.Get(), std::string(300, 's'))->Count(), 1);
}

TEST(ObjectContainer_Nesting, ReadContainerOfAnotherKind_IsFoundAndLeavesTargetEmpty) {
  const ContainerPtr container = ContainerWithInteger("Count", 5);
  const ContainerPtr target = ContainerWithInteger("Old", 1);
  EXPECT_TRUE(container->ReadContainer("Count", target.Get()));
  EXPECT_TRUE(target->IsEmpty());
}

TEST(ObjectContainer_Nesting, ForeignEntries_LoadAndOnlyTheBrokenContainerFailsItsRead) {
  ContainerContent content;
  content.WriteInteger("Good", 7);
  const ContainerPtr container = LoadedFrom(WithForeignEntries(content));
  EXPECT_EQ(Entries(container.Get()),
            (std::vector<ContainerEntry>{
                {"Good", kKindInteger},
                {"Unknown", kPersistKindCount},
                {"Broken", kKindContainer},
                {"Astray", kKindContainer}}));
  EXPECT_EQ(IntegerIn(container.Get(), "Unknown"), 0x34333231);
  const ContainerPtr target = ContainerWithInteger("Old", 1);
  EXPECT_THROW(container->ReadContainer("Broken", target.Get()), EReadError);
  EXPECT_TRUE(target->IsEmpty());
  const ContainerPtr untouched = ContainerWithInteger("Old", 1);
  EXPECT_THROW(container->ReadContainer("Astray", untouched.Get()), EReadError);
  EXPECT_EQ(IntegerIn(untouched.Get(), "Old"), 1);
  EXPECT_EQ(IntegerIn(container.Get(), "Good"), 7);
}

TEST(ObjectContainer_Nesting, WrittenIntoItself_HoldsWhatItHeldBefore) {
  const ContainerPtr container = ContainerWithInteger("A", 1);
  EXPECT_TRUE(container->WriteContainer("Self", container.Get()));
  EXPECT_EQ(container->Count(), 2);
  const ContainerPtr copy = Sub(container.Get(), "Self");
  ASSERT_EQ(copy->Count(), 1);
  EXPECT_EQ(copy->EntryName(0), "A");
  EXPECT_EQ(IntegerIn(copy.Get(), "A"), 1);
  // And it still saves and loads whole.
  EXPECT_EQ(LoadedFrom(SavedBytes(container.Get()))->Count(), 2);
}

TEST(ObjectContainer_Nesting, ReadIntoItself_ReplacesItWithTheNestedContainer) {
  const ContainerPtr container = ContainerWithInteger("A", 1);
  container->WriteContainer("Sub", ContainerWithInteger("B", 2).Get());
  EXPECT_TRUE(container->ReadContainer("Sub", container.Get()));
  ASSERT_EQ(container->Count(), 1);
  EXPECT_EQ(container->EntryName(0), "B");
}

// ---------------------------------------------------------------- pictures

TEST(ObjectContainer_Graphic, Picture_IsStoredAsItsBmpFileUnderKind12) {
  TBitmap picture(2, 1);
  picture.SetPixel(0, 0, 0xFF0000);
  const ContainerPtr container = NewPersistContainer();
  EXPECT_TRUE(container->WriteGraphic("Picture", picture));
  EXPECT_EQ(container->EntryKind(0), 12);
  const ComPtr<IStream> raw = MemoryStream();
  ASSERT_TRUE(container->ReadStream("Picture", raw.Get()));
  const std::string bytes = BytesOf(raw.Get());
  ASSERT_EQ(bytes.size(), 54u + 8u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  // Blue, green, red of the first pixel.
  EXPECT_EQ(bytes.substr(54, 3), std::string("\xFF\x00\x00", 3));
}

TEST(ObjectContainer_Graphic, BytesThatAreNoPicture_LeaveThePictureAsItWas) {
  const ContainerPtr container = NewPersistContainer();
  container->WriteStream("NotAPicture", MemoryStream("BMnonsense").Get());
  TBitmap picture(1, 1);
  picture.Fill(0x00FF00);
  const TBitmap before = picture;
  EXPECT_TRUE(container->ReadGraphic("NotAPicture", picture));
  EXPECT_EQ(picture, before);
}

// ---------------------------------------------------------------- XML

namespace {

class ObjectContainerXml : public ComApartmentTest {
 protected:
  static ComPtr<IXMLDOMDocument> NewDocument() {
    for (const wchar_t* progId : {L"Msxml2.DOMDocument.4.0", L"Msxml2.DOMDocument.3.0",
                                  L"Msxml2.DOMDocument.2.6", L"Msxml2.DOMDocument"}) {
      CLSID classId{};
      if (FAILED(CLSIDFromProgID(progId, &classId))) continue;
      ComPtr<IXMLDOMDocument> document;
      if (SUCCEEDED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                     reinterpret_cast<void**>(document.GetAddressOf())))) {
        return document;
      }
    }
    ADD_FAILURE() << "no XML document class";
    return nullptr;
  }

  static std::wstring XmlOf(IXMLDOMDocument* document) {
    BSTR text = nullptr;
    document->get_xml(&text);
    std::wstring xml = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return xml;
  }

  static bool LoadXml(IXMLDOMDocument* document, const wchar_t* xml) {
    BSTR text = SysAllocString(xml);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    document->loadXML(text, &loaded);
    SysFreeString(text);
    return loaded == VARIANT_TRUE;
  }
};

}  // namespace

TEST_F(ObjectContainerXml, Document_RoundTripsUnderKind11) {
  const ComPtr<IXMLDOMDocument> document = NewDocument();
  ASSERT_TRUE(document);
  ASSERT_TRUE(LoadXml(document.Get(), L"<root a=\"1\"><child>t\u00e9xt</child><empty/></root>"));
  const ContainerPtr container = NewPersistContainer();
  EXPECT_TRUE(container->WriteXMLDocument("Doc", document.Get()));
  EXPECT_EQ(container->EntryKind(0), 11);

  const ContainerPtr loaded = LoadedFrom(SavedBytes(container.Get()));
  const ComPtr<IXMLDOMDocument> readBack = NewDocument();
  ASSERT_TRUE(readBack);
  EXPECT_TRUE(loaded->ReadXMLDocument("Doc", readBack.Get()));
  EXPECT_EQ(XmlOf(readBack.Get()), XmlOf(document.Get()));
  EXPECT_NE(XmlOf(readBack.Get()).find(L"t\u00e9xt"), std::wstring::npos);
}

TEST_F(ObjectContainerXml, StoredBytes_AreWhatTheDocumentSavesToAStream) {
  const ComPtr<IXMLDOMDocument> document = NewDocument();
  ASSERT_TRUE(document);
  ASSERT_TRUE(LoadXml(document.Get(), L"<root><child/></root>"));
  const ComPtr<IStream> direct = MemoryStream();
  VARIANT destination;
  VariantInit(&destination);
  destination.vt = VT_UNKNOWN;
  destination.punkVal = direct.Get();
  ASSERT_EQ(document->save(destination), S_OK);

  const ContainerPtr container = NewPersistContainer();
  container->WriteXMLDocument("Doc", document.Get());
  const ComPtr<IStream> stored = MemoryStream();
  ASSERT_TRUE(container->ReadStream("Doc", stored.Get()));
  EXPECT_FALSE(BytesOf(direct.Get()).empty());
  EXPECT_EQ(BytesOf(stored.Get()), BytesOf(direct.Get()));
}

// ---------------------------------------------------------------- files

namespace {

// The action raises the file error of the class, whose message starts with
// the text and goes on with the system's reason.
template <class FileError, class Action>
void ExpectFileError(Action action, const char* className, const std::wstring& start) {
  const std::optional<FileError> error = RaisedBy<FileError>(action);
  ASSERT_TRUE(error);
  EXPECT_STREQ(error->ClassName(), className);
  EXPECT_EQ(error->Message().substr(0, start.size()), start);
  EXPECT_GT(error->Message().size(), start.size());
}

// A file in a folder of the test's own.
class ObjectContainer_File : public testing::Test {
 protected:
  // The file as another program holds it open with the access, sharing
  // reads and writes.
  UniqueHandle HeldOpen(DWORD access) const {
    return UniqueHandle(CreateFileW(path_.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  const TempFolder folder_;
  const std::wstring path_ = (folder_ / L"c.bin").wstring();
  const std::string file_ = WideToAnsi(path_);
};

}  // namespace

TEST_F(ObjectContainer_File, SaveAndLoad_RoundTripsTheStreamBytes) {
  const ContainerPtr source = ContainerWithInteger("Count", 5);
  source->WriteWideString("Name", L"n\u00e4me");
  EXPECT_TRUE(source->SaveToFile(file_));
  EXPECT_EQ(ReadBytesFromFile(path_), SavedBytes(source.Get()));

  const ContainerPtr loaded = ContainerWithInteger("Before", 0);
  EXPECT_TRUE(loaded->LoadFromFile(file_));
  EXPECT_EQ(SavedBytes(loaded.Get()), SavedBytes(source.Get()));
}

TEST_F(ObjectContainer_File, SaveToFile_ReplacesALongerFile) {
  WriteBytesToFile(path_, std::string(1000, 'x'));
  EXPECT_TRUE(NewPersistContainer()->SaveToFile(file_));
  EXPECT_EQ(ReadBytesFromFile(path_), kEmptyStream);
}

TEST_F(ObjectContainer_File, MissingFileOrFolder_GivesFalseAndKeepsTheContents) {
  const ContainerPtr container = ContainerWithInteger("Kept", 1);
  EXPECT_FALSE(container->LoadFromFile(file_));
  EXPECT_FALSE(container->LoadFromFile(WideToAnsi(folder_.Path().wstring())));
  EXPECT_EQ(container->Count(), 1);
}

TEST_F(ObjectContainer_File, BrokenFile_RaisesTheStreamReadErrorAndEmptiesTheContainer) {
  WriteBytesToFile(path_, kEmptyStream.substr(0, 20));
  const ContainerPtr container = ContainerWithInteger("Kept", 1);
  EXPECT_THROW(container->LoadFromFile(file_), EReadError);
  EXPECT_TRUE(container->IsEmpty());
}

TEST_F(ObjectContainer_File, FileWithoutMagic_GivesFalse) {
  WriteBytesToFile(path_, "plain text, no container");
  EXPECT_FALSE(ContainerWithInteger("Kept", 1)->LoadFromFile(file_));
}

TEST_F(ObjectContainer_File, FolderName_CannotBeCreated) {
  const std::wstring path = folder_.Path().wstring();
  ExpectFileError<EFCreateError>([&] { NewPersistContainer()->SaveToFile(WideToAnsi(path)); },
                                 "EFCreateError", L"Cannot create file \"" + path + L"\". ");
}

TEST_F(ObjectContainer_File, FileHeldOpenByAWriter_CannotBeOpened) {
  WriteBytesToFile(path_, kEmptyStream);
  const UniqueHandle writer = HeldOpen(GENERIC_WRITE);
  ASSERT_TRUE(writer);
  const ContainerPtr container = ContainerWithInteger("Kept", 1);
  ExpectFileError<EFOpenError>([&] { container->LoadFromFile(file_); }, "EFOpenError",
                               L"Cannot open file \"" + path_ + L"\". ");
  EXPECT_EQ(container->Count(), 1);
}

TEST_F(ObjectContainer_File, FileHeldOpenByAReader_CanBeLoadedButNotReplaced) {
  WriteBytesToFile(path_, kEmptyStream);
  const UniqueHandle reader = HeldOpen(GENERIC_READ);
  ASSERT_TRUE(reader);
  const ContainerPtr container = ContainerWithInteger("Kept", 1);
  EXPECT_TRUE(container->LoadFromFile(file_));
  EXPECT_TRUE(container->IsEmpty());
  EXPECT_THROW(container->SaveToFile(file_), EFCreateError);
}

// ---------------------------------------------------------------- clipboard

namespace {

// The clipboard is one for the whole desktop: clipboard tests, which may
// run in parallel processes, take turns through a named lock, and each test
// uses a format of its own.
class ObjectContainerClipboard : public testing::Test {
 protected:
  void SetUp() override {
    turn_.Reset(CreateMutexW(nullptr, FALSE, L"Local\\DesktopToolsContainerClipboardTests"));
    ASSERT_TRUE(turn_);
    const DWORD waited = WaitForSingleObject(turn_.Get(), 60000);
    ASSERT_TRUE(waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED);
    owned_ = true;
    formatName_ = L"DesktopTools.ContainerTest." + std::to_wstring(GetCurrentProcessId()) + L"." +
                  std::to_wstring(GetTickCount64()) + L"." +
                  AnsiToWide(testing::UnitTest::GetInstance()->current_test_info()->name());
    format_ = RegisterClipboardFormatW(formatName_.c_str());
    ASSERT_NE(format_, 0u);
  }
  void TearDown() override {
    if (owned_) ReleaseMutex(turn_.Get());
  }

  // Opens the clipboard for a test's own window, retrying for a moment
  // while another program of the desktop has it open.
  static bool OpenTestClipboard(HWND owner) {
    for (int attempt = 0; attempt < 200; ++attempt) {
      if (OpenClipboard(owner)) return true;
      Sleep(10);
    }
    return false;
  }

  UINT format_ = 0;
  std::wstring formatName_;

 private:
  UniqueHandle turn_;
  bool owned_ = false;
};

// A hidden window of the test's own, to own what the test puts on the
// clipboard by hand.
UniqueWindow TestWindow() {
  return UniqueWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
}

// Places a block of exactly these bytes on the clipboard under the format.
bool PutBlock(HWND owner, UINT format, std::string_view bytes) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  const bool placed = SetClipboardData(format, block) != nullptr;
  if (!placed) GlobalFree(block);
  CloseClipboard();
  return placed;
}

ContainerPtr SampleContainer() {
  const ContainerPtr container = ContainerWithInteger("Count", 5);
  container->WriteWideString("Name", L"clip\u00e9");
  container->WriteContainer("Sub", ContainerWithInteger("Inner", 6).Get());
  return container;
}

}  // namespace

TEST_F(ObjectContainerClipboard, SaveThenLoad_InOneProcessReproducesEveryEntry) {
  const ContainerPtr source = SampleContainer();
  ASSERT_TRUE(source->SaveToClipboard(format_, true));
  const ContainerPtr loaded = ContainerWithInteger("Before", 0);
  ASSERT_TRUE(loaded->LoadFromClipboard(format_));
  EXPECT_EQ(SavedBytes(loaded.Get()), SavedBytes(source.Get()));
}

TEST_F(ObjectContainerClipboard, Block_IsTheInt32SizeThenTheStream) {
  const ContainerPtr source = ContainerWithInteger("Count", 5);
  ASSERT_TRUE(source->SaveToClipboard(format_, true));
  ASSERT_TRUE(OpenTestClipboard(nullptr));
  const HANDLE block = GetClipboardData(format_);
  std::string bytes;
  if (block != nullptr) {
    const char* memory = static_cast<const char*>(GlobalLock(block));
    if (memory != nullptr && GlobalSize(block) >= 4 + 42) bytes.assign(memory, 4 + 42);
    if (memory != nullptr) GlobalUnlock(block);
  }
  CloseClipboard();
  EXPECT_EQ(bytes, Int32Bytes(42) + SavedBytes(source.Get()));
}

TEST_F(ObjectContainerClipboard, FormatNotOnTheClipboard_GivesFalseAndKeepsTheContents) {
  ASSERT_TRUE(SampleContainer()->SaveToClipboard(format_, true));
  const UINT otherFormat = RegisterClipboardFormatW((formatName_ + L".other").c_str());
  const ContainerPtr container = ContainerWithInteger("Kept", 1);
  EXPECT_FALSE(container->LoadFromClipboard(otherFormat));
  EXPECT_EQ(container->Count(), 1);
}

TEST_F(ObjectContainerClipboard, WithoutOpening_AddsToWhatTheCallerPlaces) {
  const UniqueWindow window = TestWindow();
  ASSERT_NE(window.Get(), nullptr);
  const UINT secondFormat = RegisterClipboardFormatW((formatName_ + L".second").c_str());
  ASSERT_TRUE(OpenTestClipboard(window.Get()));
  EmptyClipboard();
  const bool first = ContainerWithInteger("First", 1)->SaveToClipboard(format_, false);
  const bool second = ContainerWithInteger("Second", 2)->SaveToClipboard(secondFormat, false);
  // Left open for the caller, who closes it.
  EXPECT_EQ(GetOpenClipboardWindow(), window.Get());
  CloseClipboard();
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);

  const ContainerPtr a = NewPersistContainer();
  const ContainerPtr b = NewPersistContainer();
  ASSERT_TRUE(a->LoadFromClipboard(format_));
  ASSERT_TRUE(b->LoadFromClipboard(secondFormat));
  EXPECT_EQ(a->EntryName(0), "First");
  EXPECT_EQ(b->EntryName(0), "Second");
}

TEST_F(ObjectContainerClipboard, HeldOpenElsewhere_SaveAndLoadGiveFalse) {
  const UniqueHandle opened(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread holder([&] {
    const bool open = OpenClipboard(nullptr) != FALSE;
    SetEvent(opened.Get());
    WaitForSingleObject(release.Get(), 10000);
    if (open) CloseClipboard();
  });
  WaitForSingleObject(opened.Get(), 10000);
  const ContainerPtr container = ContainerWithInteger("Kept", 1);
  const bool saved = container->SaveToClipboard(format_, true);
  const bool loaded = container->LoadFromClipboard(format_);
  SetEvent(release.Get());
  holder.join();
  EXPECT_FALSE(saved);
  EXPECT_FALSE(loaded);
  EXPECT_EQ(container->Count(), 1);
}

// A block shorter than its count says, and a broken stream in a block of
// the right size.
TEST_F(ObjectContainerClipboard, DamagedBlock_RaisesTheStreamReadErrorAndEmpties) {
  const UniqueWindow window = TestWindow();
  const std::string stream = SavedBytes(ContainerWithInteger("Count", 5).Get());
  const std::string broken = RawStream(3, {}, 0, "");
  const std::pair<const char*, std::string> blocks[] = {
      {"count past the end", Int32Bytes(static_cast<int32_t>(stream.size()) + 100) + stream},
      {"count -1", Int32Bytes(-1) + stream},
      {"two bytes", std::string("\x01\x00", 2)},
      {"broken stream", Int32Bytes(static_cast<int32_t>(broken.size())) + broken}};
  for (const auto& [name, block] : blocks) {
    ASSERT_TRUE(PutBlock(window.Get(), format_, block)) << name;
    const ContainerPtr container = ContainerWithInteger("Kept", 1);
    EXPECT_THROW(container->LoadFromClipboard(format_), EReadError) << name;
    EXPECT_TRUE(container->IsEmpty()) << name;
  }
}

TEST_F(ObjectContainerClipboard, SavedHere_IsReadByAnotherProcess) {
  const ContainerPtr source = SampleContainer();
  ASSERT_TRUE(source->SaveToClipboard(format_, true));
  const testsupport::RunResult result =
      testsupport::RunProgram(L"clipboardpeer", {L"load", formatName_});
  EXPECT_EQ(result.exitCode, 0u) << result.out;
  EXPECT_EQ(result.out, HexOf(SavedBytes(source.Get())));
}

TEST_F(ObjectContainerClipboard, SavedByAnotherProcess_IsReadHere) {
  const ContainerPtr source = SampleContainer();
  const std::string bytes = SavedBytes(source.Get());
  const testsupport::RunResult result = testsupport::RunProgram(
      L"clipboardpeer", {L"save", formatName_, AnsiToWide(HexOf(bytes))});
  ASSERT_EQ(result.exitCode, 0u) << result.out;
  const ContainerPtr loaded = NewPersistContainer();
  ASSERT_TRUE(loaded->LoadFromClipboard(format_));
  EXPECT_EQ(SavedBytes(loaded.Get()), bytes);
}
