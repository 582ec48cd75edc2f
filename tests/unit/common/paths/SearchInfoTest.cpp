// Search-path records and the search path: creation values, neighbours, the
// bitmap, the saved forms and the lazy parse of a loaded or assigned path.

#include "SearchInfo2.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FakeItem.h"
#include "ItemInfoCache.h"
#include "ContainerTesting.h"
#include "ObjectContainer.h"
#include "SearchPathNames.h"

using Microsoft::WRL::ComPtr;
using namespace testsupport;

namespace {

using Entry = ContainerEntry;

// The 15 field entries every saved record starts with.
const std::vector<Entry>& FieldEntries() {
  static const std::vector<Entry> entries = {
      {"ModuleName", kKindWideString}, {"WndClass", kKindWideString},
      {"DefaultAction", kKindWideString}, {"Description", kKindWideString},
      {"HelpTopicId", kKindInteger},   {"ShortCut", kKindWideString},
      {"Name", kKindWideString},       {"StateId", kKindInteger},
      {"RoleId", kKindInteger},        {"Value", kKindWideString},
      {"ClientInnerPoint", kKindPoint}, {"ChildCount", kKindInteger},
      {"RootRect", kKindRect},         {"ParentId", kKindInteger},
      {"WndText", kKindWideString}};
  return entries;
}

std::vector<Entry> Plus(std::vector<Entry> entries, const std::vector<Entry>& more) {
  entries.insert(entries.end(), more.begin(), more.end());
  return entries;
}

// What a record with its four neighbours saves.
std::vector<Entry> RecordWithNeighboursEntries() {
  return Plus(FieldEntries(), {{"IsNull", kKindBoolean},
                               {"Left", kKindContainer},
                               {"Top", kKindContainer},
                               {"Right", kKindContainer},
                               {"Bottom", kKindContainer}});
}

// Gives every field of the record a value of its own.
void Fill(ISearchInfo* record, const std::wstring& tag) {
  record->SetModuleName(tag + L".exe");
  record->SetWndClass(tag + L"Class");
  record->SetDefaultAction(tag + L" action");
  record->SetDescription(tag + L" description");
  record->SetHelpTopicId(11);
  record->SetShortCut(L"Alt+" + tag);
  record->SetName(tag + L" name");
  record->SetStateId(0x100000);
  record->SetRoleId(43);
  record->SetValue(tag + L" value");
  record->SetClientInnerPoint({3, 4});
  record->SetChildCount(6);
  record->SetRootRect({10, 20, 30, 40});
  record->SetParentId(2);
  record->SetWndText(tag + L" text");
  record->SetIsNull(true);
}

void ExpectSameFields(ISearchInfo* actual, ISearchInfo* expected) {
  EXPECT_EQ(actual->GetModuleName(), expected->GetModuleName());
  EXPECT_EQ(actual->GetWndClass(), expected->GetWndClass());
  EXPECT_EQ(actual->GetDefaultAction(), expected->GetDefaultAction());
  EXPECT_EQ(actual->GetDescription(), expected->GetDescription());
  EXPECT_EQ(actual->GetHelpTopicId(), expected->GetHelpTopicId());
  EXPECT_EQ(actual->GetShortCut(), expected->GetShortCut());
  EXPECT_EQ(actual->GetName(), expected->GetName());
  EXPECT_EQ(actual->GetStateId(), expected->GetStateId());
  EXPECT_EQ(actual->GetRoleId(), expected->GetRoleId());
  EXPECT_EQ(actual->GetValue(), expected->GetValue());
  EXPECT_EQ(actual->GetClientInnerPoint(), expected->GetClientInnerPoint());
  EXPECT_EQ(actual->GetChildCount(), expected->GetChildCount());
  EXPECT_EQ(actual->GetRootRect(), expected->GetRootRect());
  EXPECT_EQ(actual->GetParentId(), expected->GetParentId());
  EXPECT_EQ(actual->GetWndText(), expected->GetWndText());
  EXPECT_EQ(actual->GetIsNull(), expected->GetIsNull());
  EXPECT_EQ(*actual->GetBitmap(), *expected->GetBitmap());
}

void ExpectCreationValues(ISearchInfo* record) {
  const SearchInfoPtr fresh = MakeComObject<TSearchInfo>();
  ExpectSameFields(record, fresh.Get());
}

// What a record or a path saves.
template <class Saver>
ContainerPtr Saved(Saver* saver) {
  const ContainerPtr container = NewPersistContainer();
  EXPECT_TRUE(saver->SaveToContainer(container.Get()));
  return container;
}

SearchInfoPathPtr PathWithNames(const std::vector<std::wstring>& names) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  for (const std::wstring& name : names) path->Add()->SetName(name);
  return path;
}

// A saved record as a path's container holds it.
ContainerPtr SavedRecordNamed(const std::wstring& name) {
  const SearchInfoPtr record = NewSearchInfo();
  record->SetName(name);
  return Saved(record.Get());
}

}  // namespace

// --- Records ------------------------------------------------------------------

TEST(SearchInfo_Record, Creation_GivesTheDefaultsAndNoNeighbours) {
  const SearchInfoPtr record = MakeComObject<TSearchInfo>();
  EXPECT_EQ(record->GetModuleName(), L"");
  EXPECT_EQ(record->GetHelpTopicId(), -1);
  EXPECT_EQ(record->GetStateId(), -1);
  EXPECT_EQ(record->GetRoleId(), -1);
  EXPECT_EQ(record->GetParentId(), -1);
  EXPECT_EQ(record->GetChildCount(), 0);
  EXPECT_EQ(record->GetClientInnerPoint(), (TPoint{-1, -1}));
  EXPECT_EQ(record->GetRootRect(), (TRect{-1, -1, -1, -1}));
  EXPECT_FALSE(record->GetIsNull());
  EXPECT_EQ(record->GetBitmap()->Width(), 0);
  EXPECT_EQ(record->GetBitmap()->Height(), 0);
  EXPECT_FALSE(record->GetLeft());
  EXPECT_FALSE(record->GetTop());
  EXPECT_FALSE(record->GetRight());
  EXPECT_FALSE(record->GetBottom());
}

TEST(SearchInfo_Record, NewSearchInfo_HasFourPlainNeighboursOfItsOwn) {
  const SearchInfoPtr record = NewSearchInfo();
  const std::vector<SearchInfoPtr> sides = {record->GetLeft(), record->GetTop(),
                                            record->GetRight(), record->GetBottom()};
  for (size_t i = 0; i < sides.size(); ++i) {
    ASSERT_TRUE(sides[i]) << i;
    EXPECT_FALSE(sides[i]->GetLeft()) << i;
    EXPECT_FALSE(sides[i]->GetBottom()) << i;
    ExpectCreationValues(sides[i].Get());
    for (size_t k = 0; k < i; ++k) EXPECT_NE(sides[i].Get(), sides[k].Get());
  }
  // The getters give the records themselves: filling one fills the record's.
  record->GetLeft()->SetName(L"left");
  EXPECT_EQ(record->GetLeft()->GetName(), L"left");
  EXPECT_EQ(NewSearchInfo()->GetLeft()->GetName(), L"");
}

TEST(SearchInfo_Record, Setters_StoreTheirValues) {
  const SearchInfoPtr record = MakeComObject<TSearchInfo>();
  Fill(record.Get(), L"x");
  EXPECT_EQ(record->GetModuleName(), L"x.exe");
  EXPECT_EQ(record->GetShortCut(), L"Alt+x");
  EXPECT_EQ(record->GetHelpTopicId(), 11);
  EXPECT_EQ(record->GetRootRect(), (TRect{10, 20, 30, 40}));
  EXPECT_EQ(record->GetClientInnerPoint(), (TPoint{3, 4}));
  EXPECT_TRUE(record->GetIsNull());
}

TEST(SearchInfo_Record, Bitmap_IsTheRecordsOwnObject) {
  const SearchInfoPtr record = NewSearchInfo();
  TBitmap* bitmap = record->GetBitmap();
  bitmap->SetSize(80, 80);
  bitmap->SetPixel(1, 2, 0x123456);
  EXPECT_EQ(record->GetBitmap(), bitmap);
  EXPECT_EQ(record->GetBitmap()->Pixel(1, 2), 0x123456u);
}

TEST(SearchInfo_Save, NewRecord_WritesFieldsIsNullAndFourNeighbours) {
  const ContainerPtr saved = Saved(NewSearchInfo().Get());
  EXPECT_EQ(Entries(saved.Get()), RecordWithNeighboursEntries());
  const std::vector<Entry> neighbour = Plus(FieldEntries(), {{"IsNull", kKindBoolean}});
  for (const char* side : {"Left", "Top", "Right", "Bottom"}) {
    EXPECT_EQ(Entries(Sub(saved.Get(), side).Get()), neighbour) << side;
  }
  TRect rootRect{};
  bool isNull = true;
  EXPECT_EQ(IntegerIn(saved.Get(), "HelpTopicId"), -1);
  EXPECT_TRUE(saved->ReadRect("RootRect", rootRect));
  EXPECT_TRUE(saved->ReadBoolean("IsNull", isNull));
  EXPECT_EQ(rootRect, (TRect{-1, -1, -1, -1}));
  EXPECT_FALSE(isNull);
}

TEST(SearchInfo_Save, BitmapWithPixels_IsWrittenAndComesBack) {
  const SearchInfoPtr record = NewSearchInfo();
  record->GetBitmap()->SetSize(80, 80);
  record->GetBitmap()->Fill(0x00FF00);
  record->GetBitmap()->SetPixel(79, 0, 0x0000FF);
  const ContainerPtr saved = Saved(record.Get());
  EXPECT_EQ(saved->EntryName(15), "Bitmap");
  EXPECT_EQ(saved->EntryKind(15), kKindGraphic);
  const SearchInfoPtr loaded = NewSearchInfo();
  EXPECT_TRUE(loaded->LoadFromContainer(saved.Get()));
  EXPECT_EQ(*loaded->GetBitmap(), *record->GetBitmap());
}

TEST(SearchInfo_Save, BitmapWithoutWidthOrHeight_IsNotWritten) {
  struct Size {
    int32_t width;
    int32_t height;
    bool written;
  };
  for (const Size size : {Size{80, 0, false}, Size{0, 80, false}, Size{0, 0, false},
                          Size{-1, 80, false}, Size{1, 1, true}}) {
    SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
    // Resized from a picture that would be written, as a thumbnail is.
    const SearchInfoPtr record = MakeComObject<TSearchInfo>();
    record->GetBitmap()->SetSize(80, 80);
    record->GetBitmap()->SetSize(size.width, size.height);
    const std::vector<Entry> expected =
        size.written ? Plus(FieldEntries(), {{"Bitmap", kKindGraphic}, {"IsNull", kKindBoolean}})
                     : Plus(FieldEntries(), {{"IsNull", kKindBoolean}});
    EXPECT_EQ(Entries(Saved(record.Get()).Get()), expected);
  }
}

TEST(SearchInfo_Load, RoundTrip_GivesEqualFieldsForRecordAndNeighbours) {
  const SearchInfoPtr record = NewSearchInfo();
  Fill(record.Get(), L"main");
  Fill(record->GetRight().Get(), L"right");
  record->GetRight()->SetIsNull(false);
  const SearchInfoPtr loaded = NewSearchInfo();
  EXPECT_TRUE(loaded->LoadFromContainer(Saved(record.Get()).Get()));
  ExpectSameFields(loaded.Get(), record.Get());
  ExpectSameFields(loaded->GetRight().Get(), record->GetRight().Get());
  ExpectSameFields(loaded->GetLeft().Get(), record->GetLeft().Get());
}

TEST(SearchInfo_Load, HelpTopicId_ComesBack) {
  const SearchInfoPtr record = NewSearchInfo();
  record->SetHelpTopicId(5);
  const ContainerPtr saved = Saved(record.Get());
  EXPECT_EQ(IntegerIn(saved.Get(), "HelpTopicId"), 5);
  const SearchInfoPtr loaded = NewSearchInfo();
  loaded->LoadFromContainer(saved.Get());
  EXPECT_EQ(loaded->GetHelpTopicId(), 5);
}

TEST(SearchInfo_Load, EmptyContainer_KeepsFieldsButClearsIsNullAndBitmap) {
  const SearchInfoPtr record = NewSearchInfo();
  Fill(record.Get(), L"kept");
  record->GetBitmap()->SetSize(80, 80);
  Fill(record->GetTop().Get(), L"top");
  record->GetTop()->GetBitmap()->SetSize(4, 4);
  const ContainerPtr empty = NewPersistContainer();
  EXPECT_TRUE(record->LoadFromContainer(empty.Get()));
  EXPECT_EQ(record->GetName(), L"kept name");
  EXPECT_EQ(record->GetRootRect(), (TRect{10, 20, 30, 40}));
  EXPECT_FALSE(record->GetIsNull());
  EXPECT_EQ(record->GetBitmap()->Width(), 0);
  EXPECT_EQ(record->GetBitmap()->Height(), 0);
  EXPECT_EQ(record->GetTop()->GetName(), L"top name");
  EXPECT_FALSE(record->GetTop()->GetIsNull());
  EXPECT_EQ(record->GetTop()->GetBitmap()->Width(), 0);
}

TEST(SearchInfo_Load, IsNull_ComesBackAndIsFalseWhenMissing) {
  const SearchInfoPtr record = MakeComObject<TSearchInfo>();
  record->SetIsNull(true);
  const SearchInfoPtr loaded = MakeComObject<TSearchInfo>();
  loaded->LoadFromContainer(Saved(record.Get()).Get());
  EXPECT_TRUE(loaded->GetIsNull());
  const ContainerPtr withoutIsNull = NewPersistContainer();
  withoutIsNull->WriteWideString("Name", L"n");
  loaded->LoadFromContainer(withoutIsNull.Get());
  EXPECT_FALSE(loaded->GetIsNull());
  EXPECT_EQ(loaded->GetName(), L"n");
}

TEST(SearchInfo_Load, NeighbourEntriesOfARecordWithoutNeighbours_AreIgnored) {
  const ContainerPtr saved = Saved(NewSearchInfo().Get());
  const SearchInfoPtr plain = MakeComObject<TSearchInfo>();
  EXPECT_TRUE(plain->LoadFromContainer(saved.Get()));
  EXPECT_FALSE(plain->GetLeft());
  EXPECT_FALSE(plain->GetBottom());
}

TEST(SearchInfo_Load, BitmapThatIsNoPicture_GivesAnEmptyBitmap) {
  const SearchInfoPtr record = NewSearchInfo();
  record->GetBitmap()->SetSize(80, 80);
  const ComPtr<IStream> garbage = MemoryStream("BMxx");
  // A stream entry where a picture belongs, and an integer that claims more
  // bytes than follow it.
  const std::vector<std::function<void(IPersistContainer*)>> writers = {
      [&](IPersistContainer* c) { c->WriteStream("Bitmap", garbage.Get()); },
      [](IPersistContainer* c) { c->WriteInteger("Bitmap", 1000000); }};
  for (const auto& write : writers) {
    record->GetBitmap()->SetSize(80, 80);
    const ContainerPtr container = NewPersistContainer();
    container->WriteWideString("Name", L"still read");
    write(container.Get());
    EXPECT_TRUE(record->LoadFromContainer(container.Get()));
    EXPECT_EQ(record->GetBitmap()->Width(), 0);
    EXPECT_EQ(record->GetBitmap()->Height(), 0);
    EXPECT_EQ(record->GetName(), L"still read");
  }
}

// --- Paths --------------------------------------------------------------------

TEST(SearchInfo_Path, AddInsertAndGetItem_KeepPathOrder) {
  const SearchInfoPathPtr path = PathWithNames({L"root", L"target"});
  const SearchInfoPtr middle = path->Insert(1);
  middle->SetName(L"middle");
  EXPECT_EQ(RecordNames(path.Get()), (std::vector<std::wstring>{L"root", L"middle", L"target"}));
  EXPECT_EQ(path->GetItem(1).Get(), middle.Get());
  EXPECT_TRUE(middle->GetLeft());
  EXPECT_TRUE(path->Insert(3)->GetBottom());
  EXPECT_EQ(path->GetCount(), 4);
}

TEST(SearchInfo_Path, IndexOutsideTheRecords_RaisesAndChangesNothing) {
  const SearchInfoPathPtr path = PathWithNames({L"only"});
  EXPECT_THROW(path->GetItem(1), EListError);
  EXPECT_THROW(path->GetItem(-1), EListError);
  EXPECT_THROW(path->Insert(2), EListError);
  EXPECT_THROW(path->Insert(-1), EListError);
  EXPECT_EQ(RecordNames(path.Get()), std::vector<std::wstring>{L"only"});
}

TEST(SearchInfo_Path, ItemInfoList_IsSharedAndClearReplacesIt) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  const CachedInfoQueuePtr list = path->GetItemInfoList();
  EXPECT_EQ(path->GetItemInfoList().Get(), list.Get());
  list->Insert(0, AsCachedItemInfo(FakeItem::Make().Get()).Get());
  path->Add();
  path->Clear();
  EXPECT_EQ(path->GetCount(), 0);
  EXPECT_NE(path->GetItemInfoList().Get(), list.Get());
  EXPECT_EQ(path->GetItemInfoList()->Count(), 0);
}

TEST(SearchInfo_PathSave, EmptyPath_WritesCountZeroAndTheItemPath) {
  const ContainerPtr saved = Saved(NewSearchInfoList().Get());
  const std::vector<Entry> expected = {{"Count", kKindInteger}, {"ItemInfoList", kKindContainer}};
  EXPECT_EQ(Entries(saved.Get()), expected);
  EXPECT_EQ(IntegerIn(saved.Get(), "Count"), 0);
}

TEST(SearchInfo_PathSave, Records_AreWrittenUnderTheirIndexes) {
  const SearchInfoPathPtr path = PathWithNames({L"a", L"b", L"c"});
  const ContainerPtr saved = Saved(path.Get());
  const std::vector<Entry> expected = {{"Count", kKindInteger},
                                       {"0", kKindContainer},
                                       {"1", kKindContainer},
                                       {"2", kKindContainer},
                                       {"ItemInfoList", kKindContainer}};
  EXPECT_EQ(Entries(saved.Get()), expected);
  EXPECT_EQ(WideStringIn(Sub(saved.Get(), "2").Get(), "Name"), L"c");
  EXPECT_EQ(Entries(Sub(saved.Get(), "2").Get()), RecordWithNeighboursEntries());
}

TEST(SearchInfo_PathLoad, RoundTrip_RestoresRecordsThumbnailAndItemPath) {
  const SearchInfoPathPtr path = PathWithNames({L"root", L"target"});
  Fill(path->GetItem(1).Get(), L"t");
  path->GetItem(1)->GetBitmap()->SetSize(80, 80);
  path->GetItem(1)->GetBitmap()->SetPixel(40, 40, 0xABCDEF);
  const CachedInfoQueuePtr items = path->GetItemInfoList();
  items->Insert(0, AsCachedItemInfo(FakeItem::Make({.name = L"window"}).Get()).Get());
  items->Finish();

  const SearchInfoPathPtr loaded = NewSearchInfoList();
  EXPECT_TRUE(loaded->SetSource(Saved(path.Get()).Get()));
  ASSERT_EQ(loaded->GetCount(), 2);
  ExpectSameFields(loaded->GetItem(1).Get(), path->GetItem(1).Get());
  ExpectSameFields(loaded->GetItem(1)->GetTop().Get(), path->GetItem(1)->GetTop().Get());
  EXPECT_EQ(loaded->GetItem(1)->GetBitmap()->Pixel(40, 40), 0xABCDEFu);
  ASSERT_EQ(loaded->GetItemInfoList()->Count(), 1);
  EXPECT_EQ(loaded->GetItemInfoList()->Items(0)->GetName(), L"window");
}

TEST(SearchInfo_PathLoad, MissingRecordEntry_GivesARecordWithCreationValues) {
  const ContainerPtr source = NewPersistContainer();
  source->WriteInteger("Count", 3);
  source->WriteContainer("0", SavedRecordNamed(L"first").Get());
  source->WriteContainer("2", SavedRecordNamed(L"last").Get());
  const SearchInfoPathPtr path = NewSearchInfoList();
  path->SetSource(source.Get());
  ASSERT_EQ(path->GetCount(), 3);
  EXPECT_EQ(path->GetItem(0)->GetName(), L"first");
  EXPECT_EQ(path->GetItem(2)->GetName(), L"last");
  ExpectCreationValues(path->GetItem(1).Get());
  EXPECT_TRUE(path->GetItem(1)->GetRight());
}

TEST(SearchInfo_PathLoad, NoCount_GivesNoRecordsButTheItemPath) {
  const CachedInfoQueuePtr queue = NewCachedInfoQueue();
  queue->Insert(0, AsCachedItemInfo(FakeItem::Make().Get()).Get());
  queue->Insert(0, AsCachedItemInfo(FakeItem::Make().Get()).Get());
  const ContainerPtr items = NewPersistContainer();
  queue->SaveToContainer(items.Get());
  const ContainerPtr source = NewPersistContainer();
  source->WriteContainer("0", SavedRecordNamed(L"ignored").Get());
  source->WriteContainer("ItemInfoList", items.Get());
  const SearchInfoPathPtr path = NewSearchInfoList();
  path->SetSource(source.Get());
  EXPECT_EQ(path->GetCount(), 0);
  EXPECT_EQ(path->GetItemInfoList()->Count(), 2);
}

TEST(SearchInfo_PathLoad, RecordsWithoutNeighbourEntries_StillGetFourNeighbours) {
  const ContainerPtr record = NewPersistContainer();
  record->WriteWideString("Name", L"bare");
  const ContainerPtr source = NewPersistContainer();
  source->WriteInteger("Count", 1);
  source->WriteContainer("0", record.Get());
  const SearchInfoPathPtr path = NewSearchInfoList();
  path->SetSource(source.Get());
  const SearchInfoPtr loaded = path->GetItem(0);
  EXPECT_EQ(loaded->GetName(), L"bare");
  for (const SearchInfoPtr& side :
       {loaded->GetLeft(), loaded->GetTop(), loaded->GetRight(), loaded->GetBottom()}) {
    ASSERT_TRUE(side);
    ExpectCreationValues(side.Get());
  }
}

TEST(SearchInfo_PathLoad, HugeCount_IsLimitedToWhatTheContainerHolds) {
  const ContainerPtr source = NewPersistContainer();
  source->WriteInteger("Count", INT32_MAX);
  source->WriteContainer("0", SavedRecordNamed(L"first").Get());
  const SearchInfoPathPtr path = NewSearchInfoList();
  path->SetSource(source.Get());
  EXPECT_GE(path->GetCount(), 1);
  EXPECT_LE(path->GetCount(), std::max(source->Count(), kMaxChildCount));
  EXPECT_EQ(path->GetItem(0)->GetName(), L"first");
}

// --- Lazy parse -----------------------------------------------------------------

TEST(SearchInfo_PathLazy, SetSource_ParsesOnFirstAccessOnly) {
  const ContainerPtr source = Saved(PathWithNames({L"one"}).Get());
  const SearchInfoPathPtr path = PathWithNames({L"old", L"records"});
  EXPECT_TRUE(path->SetSource(source.Get()));
  // What the container holds at the first access counts, not at SetSource.
  source->Clear();
  source->WriteInteger("Count", 2);
  source->WriteContainer("0", SavedRecordNamed(L"late").Get());
  EXPECT_EQ(path->GetCount(), 2);
  EXPECT_EQ(path->GetItem(0)->GetName(), L"late");
  // Parsed once: later changes of the container are not seen.
  source->Clear();
  EXPECT_EQ(path->GetCount(), 2);
}

TEST(SearchInfo_PathLazy, EveryAccess_ParsesAPendingSource) {
  using Access = std::function<void(ISearchInfoPath*)>;
  struct Case {
    const char* name;
    Access access;
    int32_t added;
  };
  const std::vector<Case> cases = {
      {"Add", [](ISearchInfoPath* p) { p->Add(); }, 1},
      {"GetItem", [](ISearchInfoPath* p) { p->GetItem(0); }, 0},
      {"Insert", [](ISearchInfoPath* p) { p->Insert(0); }, 1},
      {"GetCount", [](ISearchInfoPath* p) { p->GetCount(); }, 0},
      {"GetItemInfoList", [](ISearchInfoPath* p) { p->GetItemInfoList(); }, 0},
      {"SaveToContainer",
       [](ISearchInfoPath* p) { p->SaveToContainer(NewPersistContainer().Get()); }, 0},
  };
  for (const Case& test : cases) {
    const ContainerPtr source = Saved(PathWithNames({L"a", L"b"}).Get());
    const SearchInfoPathPtr path = PathWithNames({L"x", L"y", L"z", L"w"});
    path->SetSource(source.Get());
    test.access(path.Get());
    // Had the access not parsed the source, the count would come from the
    // emptied container.
    source->Clear();
    EXPECT_EQ(path->GetCount(), 2 + test.added) << test.name;
  }
}

TEST(SearchInfo_PathLazy, ClearAfterSetSource_DropsTheSourceUnparsed) {
  const ContainerPtr source = Saved(PathWithNames({L"a", L"b"}).Get());
  const SearchInfoPathPtr path = NewSearchInfoList();
  path->SetSource(source.Get());
  path->Clear();
  EXPECT_EQ(path->GetCount(), 0);
  EXPECT_EQ(path->GetItemInfoList()->Count(), 0);
}

TEST(SearchInfo_PathLazy, Assign_CopiesTheRecordsNotTheObjects) {
  const SearchInfoPathPtr original = PathWithNames({L"a", L"b"});
  Fill(original->GetItem(1).Get(), L"b");
  const SearchInfoPathPtr copy = NewSearchInfoList();
  copy->Assign(original.Get());
  // Saved at Assign: what the original does afterwards is not copied.
  original->Add();
  ASSERT_EQ(copy->GetCount(), 2);
  EXPECT_NE(copy->GetItem(1).Get(), original->GetItem(1).Get());
  ExpectSameFields(copy->GetItem(1).Get(), original->GetItem(1).Get());
  EXPECT_EQ(copy->GetItem(0)->GetName(), L"a");
}
