// Search-path building over trees of fake items: where the walk up from the
// target stops, which levels end up in the path, what each record and its
// neighbours hold, and which item the thumbnail is taken of.

#include "SearchPathBuilder.h"

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeItem.h"
#include "ItemInfoNull.h"
#include "SearchPathNames.h"

namespace {

HWND Handle(uintptr_t value) { return reinterpret_cast<HWND>(value); }

const HWND kMainWindow = Handle(0x1010);
const HWND kOtherWindow = Handle(0x2020);

FakeItemPtr Fake(const wchar_t* name, int32_t role, TRect rect, HWND handle = kMainWindow) {
  FakeItemValues values;
  values.name = name;
  values.roleId = role;
  values.screenRect = rect;
  values.handle = handle;
  values.moduleName = "app.exe";
  values.className = "MainClass";
  return FakeItem::Make(values);
}

// The top-level window's item, its own root.
FakeItemPtr RootWindow() {
  const FakeItemPtr root = Fake(L"Main", kWindowRoleId, {100, 100, 500, 400});
  root->root = root;
  return root;
}

// `child` below `parent`, in the window of `root`; with `listed` it is also
// one of the parent's children.
void Attach(const FakeItemPtr& parent, const FakeItemPtr& child, const FakeItemPtr& root,
            bool listed = true) {
  child->parent = parent;
  child->root = root;
  if (listed) parent->AddChild(child);
}

std::vector<std::wstring> ChainNames(ISearchInfoPath* path) {
  const CachedInfoQueuePtr chain = path->GetItemInfoList();
  std::vector<std::wstring> names;
  for (int32_t i = 0; i < chain->Count(); ++i) names.push_back(chain->Items(i)->GetName());
  return names;
}

// A thumbnail stand-in that notes whose thumbnail it drew.
struct ThumbnailLog {
  std::vector<std::wstring> targets;

  ThumbnailCapture Capture() {
    return [this](IItemInfo* target, TBitmap& bitmap) {
      targets.push_back(target->GetName());
      bitmap.SetSize(3, 2);
    };
  }
};

// What a record filled from the null item holds.
void ExpectNullRecord(ISearchInfo* record) {
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->GetIsNull());
  EXPECT_EQ(record->GetModuleName(), L"");
  EXPECT_EQ(record->GetWndClass(), L"");
  EXPECT_EQ(record->GetName(), L"");
  EXPECT_EQ(record->GetWndText(), L"");
  EXPECT_EQ(record->GetValue(), L"");
  EXPECT_EQ(record->GetHelpTopicId(), -1);
  EXPECT_EQ(record->GetStateId(), -1);
  EXPECT_EQ(record->GetRoleId(), -1);
  EXPECT_EQ(record->GetParentId(), -1);
  EXPECT_EQ(record->GetClientInnerPoint(), (TPoint{-1, -1}));
  EXPECT_EQ(record->GetChildCount(), 0);
  EXPECT_EQ(record->GetRootRect(), (TRect{0, 0, 0, 0}));
}

}  // namespace

// --- The walk up from the target --------------------------------------------

TEST(SearchPathBuilder_Walk, RootWindowsOwnWindowObject_EndsTheWalkAndGivesWayToTheRoot) {
  const FakeItemPtr root = RootWindow();
  // The window object that the accessible parents lead to, and what lies
  // above it.
  const FakeItemPtr windowObject = Fake(L"Main", kWindowRoleId, {100, 100, 500, 400});
  const FakeItemPtr desktop = Fake(L"Desktop", kWindowRoleId, {0, 0, 1280, 1024}, kOtherWindow);
  const FakeItemPtr client = Fake(L"Client", ROLE_SYSTEM_CLIENT, {104, 130, 496, 396});
  const FakeItemPtr button = Fake(L"OK", ROLE_SYSTEM_PUSHBUTTON, {200, 200, 260, 230});
  Attach(desktop, windowObject, root);
  Attach(windowObject, client, root);
  Attach(client, button, root);
  root->AddChild(client);

  ThumbnailLog thumbnails;
  const SearchInfoPathPtr path = BuildSearchPath(button.Get(), thumbnails.Capture());

  EXPECT_EQ(RecordNames(path.Get()), (std::vector<std::wstring>{L"Main", L"Client", L"OK"}));
  EXPECT_EQ(path->GetItem(0)->GetRoleId(), kWindowRoleId);
  EXPECT_EQ(ChainNames(path.Get()), RecordNames(path.Get()));
  // The walk never went beyond the window object.
  EXPECT_EQ(desktop->TotalCalls(), 0);
  EXPECT_EQ(thumbnails.targets, (std::vector<std::wstring>{L"OK"}));
}

TEST(SearchPathBuilder_Walk, WindowObjectOfAnotherWindow_DoesNotEndTheWalk) {
  const FakeItemPtr root = RootWindow();
  const FakeItemPtr client = Fake(L"Client", ROLE_SYSTEM_CLIENT, {104, 130, 496, 396});
  // A child window's own object: role 9, but not the root window's handle.
  const FakeItemPtr childWindow = Fake(L"Pane", kWindowRoleId, {110, 140, 300, 300}, kOtherWindow);
  const FakeItemPtr button =
      Fake(L"OK", ROLE_SYSTEM_PUSHBUTTON, {200, 200, 260, 230}, kOtherWindow);
  Attach(root, client, root);
  Attach(client, childWindow, root);
  Attach(childWindow, button, root);

  const SearchInfoPathPtr path = BuildSearchPath(button.Get(), ThumbnailLog().Capture());

  EXPECT_EQ(RecordNames(path.Get()),
            (std::vector<std::wstring>{L"Main", L"Client", L"Pane", L"OK"}));
}

// A target without a parent is led to the root window only when the root
// window lists it among its children.
TEST(SearchPathBuilder_Walk, TargetWithoutParent_UnderTheRootWindowOnlyWhenItListsTheTarget) {
  const struct {
    const char* name;
    bool listedByRoot;
    std::vector<std::wstring> records;
  } rows[] = {{"StillFollowsTheRootWindow", true, {L"Main", L"Orphan"}},
              {"UnderRootWithoutChildren_IsThePathAlone", false, {L"Orphan"}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const FakeItemPtr root = RootWindow();
    const FakeItemPtr orphan = Fake(L"Orphan", ROLE_SYSTEM_PUSHBUTTON, {200, 200, 260, 230});
    orphan->root = root;
    if (row.listedByRoot) root->AddChild(orphan);
    ASSERT_TRUE(IsNullItemInfo(orphan->parent));

    ThumbnailLog thumbnails;
    const SearchInfoPathPtr path = BuildSearchPath(orphan.Get(), thumbnails.Capture());

    EXPECT_EQ(RecordNames(path.Get()), row.records);
    EXPECT_EQ(thumbnails.targets, (std::vector<std::wstring>{L"Orphan"}));
  }
}

TEST(SearchPathBuilder_Walk, TargetThatIsItsOwnRoot_IsTheOnlyLevel) {
  const FakeItemPtr window = Fake(L"Main", kWindowRoleId, {100, 100, 500, 400});
  // Another object for the same window, as the root item is.
  const FakeItemPtr rootItem = FakeItem::Make(window->values);
  const FakeItemPtr above = Fake(L"Desktop", kWindowRoleId, {0, 0, 1280, 1024}, kOtherWindow);
  window->root = rootItem;
  window->parent = above;

  ThumbnailLog thumbnails;
  const SearchInfoPathPtr path = BuildSearchPath(window.Get(), thumbnails.Capture());

  EXPECT_EQ(RecordNames(path.Get()), (std::vector<std::wstring>{L"Main"}));
  EXPECT_EQ(path->GetItemInfoList()->Count(), 1);
  EXPECT_EQ(above->TotalCalls(), 0);
  EXPECT_EQ(thumbnails.targets, (std::vector<std::wstring>{L"Main"}));
}

TEST(SearchPathBuilder_Walk, CyclicParentChain_EndsAtTheDepthLimit) {
  const FakeItemPtr root = RootWindow();
  const FakeItemPtr a = Fake(L"A", ROLE_SYSTEM_GROUPING, {200, 200, 300, 300});
  const FakeItemPtr b = Fake(L"B", ROLE_SYSTEM_GROUPING, {150, 150, 350, 350});
  // Each names the other as its parent and lists it as its child.
  Attach(a, b, root);
  Attach(b, a, root);
  root->AddChild(a);
  root->AddChild(b);

  ThumbnailLog thumbnails;
  const SearchInfoPathPtr path = BuildSearchPath(a.Get(), thumbnails.Capture());

  ASSERT_EQ(path->GetCount(), kMaxSearchPathDepth + 1);
  EXPECT_EQ(path->GetItem(0)->GetName(), L"Main");
  EXPECT_EQ(path->GetItem(kMaxSearchPathDepth)->GetName(), L"A");
  EXPECT_EQ(path->GetItem(kMaxSearchPathDepth - 1)->GetName(), L"B");
  EXPECT_EQ(thumbnails.targets, (std::vector<std::wstring>{L"A"}));
}

// --- The levels kept ---------------------------------------------------------

TEST(SearchPathBuilder_Levels, LevelWithoutValidChildren_LeavesRecordsAndChainAlike) {
  const FakeItemPtr root = RootWindow();
  const FakeItemPtr client = Fake(L"Client", ROLE_SYSTEM_CLIENT, {104, 130, 496, 396});
  // The button's accessible parent, which lists nothing; the client lists
  // the button itself.
  const FakeItemPtr pane = Fake(L"Pane", ROLE_SYSTEM_PANE, {150, 150, 350, 350});
  const FakeItemPtr button = Fake(L"OK", ROLE_SYSTEM_PUSHBUTTON, {200, 200, 260, 230});
  Attach(root, client, root);
  Attach(client, pane, root, false);
  Attach(pane, button, root, false);
  client->AddChild(button);

  const SearchInfoPathPtr path = BuildSearchPath(button.Get(), ThumbnailLog().Capture());

  EXPECT_EQ(RecordNames(path.Get()), (std::vector<std::wstring>{L"Main", L"Client", L"OK"}));
  EXPECT_EQ(ChainNames(path.Get()), RecordNames(path.Get()));
}

TEST(SearchPathBuilder_Levels, Thumbnail_GoesIntoTheLastRecordOnly) {
  const FakeItemPtr root = RootWindow();
  const FakeItemPtr client = Fake(L"Client", ROLE_SYSTEM_CLIENT, {104, 130, 496, 396});
  const FakeItemPtr button = Fake(L"OK", ROLE_SYSTEM_PUSHBUTTON, {200, 200, 260, 230});
  Attach(root, client, root);
  Attach(client, button, root);

  const SearchInfoPathPtr path = BuildSearchPath(button.Get(), ThumbnailLog().Capture());

  ASSERT_EQ(path->GetCount(), 3);
  EXPECT_TRUE(path->GetItem(0)->GetBitmap()->IsEmpty());
  EXPECT_TRUE(path->GetItem(1)->GetBitmap()->IsEmpty());
  EXPECT_EQ(path->GetItem(2)->GetBitmap()->Width(), 3);
  EXPECT_EQ(path->GetItem(2)->GetBitmap()->Height(), 2);
}

// --- Neighbours ---------------------------------------------------------------

TEST(SearchPathBuilder_Neighbours, SidesWithASibling_GetItsValues_OthersTheNullValues) {
  const FakeItemPtr root = RootWindow();
  const FakeItemPtr client = Fake(L"Client", ROLE_SYSTEM_CLIENT, {104, 130, 496, 396});
  const FakeItemPtr left = Fake(L"Back", ROLE_SYSTEM_PUSHBUTTON, {130, 200, 190, 230});
  const FakeItemPtr target = Fake(L"OK", ROLE_SYSTEM_PUSHBUTTON, {200, 200, 260, 230});
  const FakeItemPtr below = Fake(L"Help", ROLE_SYSTEM_LINK, {200, 250, 260, 270});
  left->values.helpTopicId = 12;
  Attach(root, client, root);
  Attach(client, left, root);
  Attach(client, target, root);
  Attach(client, below, root);

  const SearchInfoPathPtr path = BuildSearchPath(target.Get(), ThumbnailLog().Capture());

  ASSERT_EQ(path->GetCount(), 3);
  const SearchInfoPtr record = path->GetItem(2);
  EXPECT_EQ(record->GetName(), L"OK");
  const SearchInfoPtr leftRecord = record->GetLeft();
  EXPECT_FALSE(leftRecord->GetIsNull());
  EXPECT_EQ(leftRecord->GetName(), L"Back");
  EXPECT_EQ(leftRecord->GetHelpTopicId(), 12);
  // Rectangles of the root window's coordinates.
  EXPECT_EQ(leftRecord->GetRootRect(), (TRect{30, 100, 90, 130}));
  EXPECT_FALSE(record->GetBottom()->GetIsNull());
  EXPECT_EQ(record->GetBottom()->GetName(), L"Help");
  EXPECT_EQ(record->GetBottom()->GetRoleId(), ROLE_SYSTEM_LINK);
  ExpectNullRecord(record->GetTop().Get());
  ExpectNullRecord(record->GetRight().Get());
  // The client has no siblings at all.
  const SearchInfoPtr clientRecord = path->GetItem(1);
  for (const SearchInfoPtr& side : {clientRecord->GetLeft(), clientRecord->GetTop(),
                                    clientRecord->GetRight(), clientRecord->GetBottom()})
    ExpectNullRecord(side.Get());
}

TEST(SearchPathBuilder_Neighbours, RootDroppedByCompaction_SiblingsMeasureFromTheNewFirstLevel) {
  // A root window's item without valid children and without a location, as
  // Wine gives: the compaction drops it, and the client becomes the first
  // level.
  const FakeItemPtr root = Fake(L"Main", -1, {});
  root->root = root;
  const FakeItemPtr windowObject = Fake(L"Main", kWindowRoleId, {100, 100, 500, 400});
  const FakeItemPtr client = Fake(L"Client", ROLE_SYSTEM_CLIENT, {104, 130, 496, 396});
  const FakeItemPtr left = Fake(L"Back", ROLE_SYSTEM_PUSHBUTTON, {130, 200, 190, 230});
  const FakeItemPtr target = Fake(L"OK", ROLE_SYSTEM_PUSHBUTTON, {200, 200, 260, 230});
  const FakeItemPtr right = Fake(L"Next", ROLE_SYSTEM_PUSHBUTTON, {270, 200, 330, 230});
  Attach(windowObject, client, root);
  Attach(client, left, root);
  Attach(client, target, root);
  Attach(client, right, root);

  const SearchInfoPathPtr path = BuildSearchPath(target.Get(), ThumbnailLog().Capture());

  ASSERT_EQ(RecordNames(path.Get()), (std::vector<std::wstring>{L"Client", L"OK"}));
  const SearchInfoPtr record = path->GetItem(1);
  EXPECT_EQ(record->GetRootRect(), (TRect{96, 70, 156, 100}));
  EXPECT_EQ(record->GetLeft()->GetName(), L"Back");
  EXPECT_EQ(record->GetLeft()->GetRootRect(), (TRect{26, 70, 86, 100}));
  EXPECT_EQ(record->GetRight()->GetName(), L"Next");
  EXPECT_EQ(record->GetRight()->GetRootRect(), (TRect{166, 70, 226, 100}));
  ExpectNullRecord(record->GetTop().Get());
  ExpectNullRecord(record->GetBottom().Get());
}

// --- Filling one record -------------------------------------------------------

TEST(SearchPathBuilder_Fill, EveryField_ComesFromItsProperty) {
  const FakeItemPtr root = RootWindow();
  FakeItemValues values;
  values.handle = kMainWindow;
  // Code page 1252: e9 is e acute.
  values.moduleName = "caf\xe9.exe";
  values.className = "Button";
  values.text = "Window text";
  values.screenRect = {200, 210, 260, 240};
  values.innerPoint = {7, 9};
  values.defaultAction = L"Press";
  values.description = L"Closes the dialog";
  values.helpTopicId = 7;
  values.shortcut = L"Alt+O";
  values.name = L"OK";
  values.roleId = ROLE_SYSTEM_PUSHBUTTON;
  values.stateId = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_DEFAULT;
  values.value = L"Value";
  const FakeItemPtr item = FakeItem::Make(values);
  item->root = root;
  item->accessible = TAcc(nullptr, 4);
  item->AddChild(Fake(L"Visible", ROLE_SYSTEM_STATICTEXT, {}));
  const FakeItemPtr hidden = Fake(L"Hidden", ROLE_SYSTEM_STATICTEXT, {});
  hidden->values.stateId = STATE_SYSTEM_INVISIBLE;
  item->AddChild(hidden);
  const SearchInfoPtr record = NewSearchInfo();
  record->SetIsNull(true);

  FillSearchInfo(item.Get(), record.Get());

  EXPECT_FALSE(record->GetIsNull());
  EXPECT_EQ(record->GetModuleName(), L"caf\u00e9.exe");
  EXPECT_EQ(record->GetWndClass(), L"Button");
  EXPECT_EQ(record->GetWndText(), L"Window text");
  EXPECT_EQ(record->GetDefaultAction(), L"Press");
  EXPECT_EQ(record->GetDescription(), L"Closes the dialog");
  EXPECT_EQ(record->GetHelpTopicId(), 7);
  EXPECT_EQ(record->GetShortCut(), L"Alt+O");
  EXPECT_EQ(record->GetName(), L"OK");
  EXPECT_EQ(record->GetStateId(), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_DEFAULT);
  EXPECT_EQ(record->GetRoleId(), ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(record->GetValue(), L"Value");
  EXPECT_EQ(record->GetClientInnerPoint(), (TPoint{7, 9}));
  EXPECT_EQ(record->GetChildCount(), 1);
  EXPECT_EQ(record->GetRootRect(), (TRect{100, 110, 160, 140}));
  EXPECT_EQ(record->GetParentId(), 4);
  // Neither the neighbours nor the bitmap are touched.
  EXPECT_EQ(record->GetLeft()->GetName(), L"");
  EXPECT_TRUE(record->GetBitmap()->IsEmpty());
}

TEST(SearchPathBuilder_Fill, NullItemOrNil_GiveTheNullValues) {
  const SearchInfoPtr fromNull = NewSearchInfo();
  FillSearchInfo(NullItemInfo().Get(), fromNull.Get());
  ExpectNullRecord(fromNull.Get());

  const SearchInfoPtr fromNil = NewSearchInfo();
  FillSearchInfo(nullptr, fromNil.Get());
  ExpectNullRecord(fromNil.Get());
}

TEST(SearchPathBuilder_Fill, ObjectWithoutHelpTopic_GivesMinusOne) {
  const FakeItemPtr root = RootWindow();
  const FakeItemPtr item = Fake(L"Plain", ROLE_SYSTEM_STATICTEXT, {120, 120, 140, 140});
  item->root = root;
  const SearchInfoPtr record = NewSearchInfo();
  record->SetHelpTopicId(3);

  FillSearchInfo(item.Get(), record.Get());

  EXPECT_EQ(record->GetHelpTopicId(), -1);
  EXPECT_EQ(record->GetParentId(), 0);
}
