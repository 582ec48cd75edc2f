// The search-path XML: the root element and its Name, the Ids, the
// attributes written only where they change from the level above, the
// position children, "Childs" and "Neigbours", the exact document form, and
// a path built over fake items written as a whole.

#include "SearchPathXml.h"

#include <windows.h>
#include <objbase.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "Bytes.h"
#include "CodePage.h"
#include "ComApartment.h"
#include "FakeItem.h"
#include "SearchPathBuilder.h"
#include "Utf.h"
#include "XmlLines.h"

using Microsoft::WRL::ComPtr;
using testsupport::ExpectLines;
using testsupport::FlattenDocument;
using testsupport::TrailingGuid;
using testsupport::WithLfLineEnds;

namespace {

// A record whose four neighbours are null, as a side without a neighbour
// is filled.
SearchInfoPtr AddRecord(ISearchInfoPath* path) {
  const SearchInfoPtr record = path->Add();
  for (const SearchInfoPtr& side : {record->GetLeft(), record->GetTop(), record->GetRight(),
                                    record->GetBottom()}) {
    side->SetIsNull(true);
  }
  return record;
}

// The texts and ids that tests set on records.
struct RecordValues {
  std::wstring module = L"app.exe";
  std::wstring wndClass = L"MainClass";
  std::wstring name;
  int32_t role = -1;
  int32_t state = 0;
  std::wstring text;
  TRect rect{0, 0, 100, 50};
  TPoint point{50, 25};  // the centre of rect
  int32_t parentId = 0;
  std::wstring value;
  std::wstring defaultAction;
  int32_t helpTopicId = -1;
  std::wstring shortcut;
  std::wstring description;
};

void Set(ISearchInfo* record, const RecordValues& values) {
  record->SetModuleName(values.module);
  record->SetWndClass(values.wndClass);
  record->SetName(values.name);
  record->SetRoleId(values.role);
  record->SetStateId(values.state);
  record->SetWndText(values.text);
  record->SetRootRect(values.rect);
  record->SetClientInnerPoint(values.point);
  record->SetParentId(values.parentId);
  record->SetValue(values.value);
  record->SetDefaultAction(values.defaultAction);
  record->SetHelpTopicId(values.helpTopicId);
  record->SetShortCut(values.shortcut);
  record->SetDescription(values.description);
}

class SearchPathXmlTest : public testsupport::ComApartmentTest {
 protected:
  std::vector<std::wstring> Written(ISearchInfoPath* path) {
    TXmlDocument document;
    WriteSearchPathXML(path, document, document.DocumentNode().Get());
    return FlattenDocument(document.Dom());
  }

  // The element of one record's attributes, written against `reference`.
  std::wstring WrittenRecord(ISearchInfo* record, ISearchInfo* reference) {
    TXmlDocument document;
    const XmlElementPtr element = document.AddChild(document.DocumentNode().Get(), L"R");
    WriteSearchInfoAttributes(record, document, element.Get(), reference);
    return FlattenDocument(document.Dom()).front();
  }
};

using SearchPathXml_Ids = SearchPathXmlTest;
using SearchPathXml_Attributes = SearchPathXmlTest;
using SearchPathXml_Document = SearchPathXmlTest;
using SearchPathXml_Neighbours = SearchPathXmlTest;
using SearchPathXml_BuiltPath = SearchPathXmlTest;

}  // namespace

// --- Ids and the tag ----------------------------------------------------------

TEST_F(SearchPathXml_Ids, NameAndRoleName_AreJoinedWithTheIndex) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  for (int i = 0; i < 4; ++i) AddRecord(path.Get());
  path->GetItem(0)->SetRoleId(ROLE_SYSTEM_WINDOW);
  path->GetItem(1)->SetName(L"OK");
  path->GetItem(1)->SetRoleId(ROLE_SYSTEM_PUSHBUTTON);
  path->GetItem(2)->SetName(L"OK");
  path->GetItem(2)->SetRoleId(0x3E);  // no role has this id

  EXPECT_EQ(GetSearchInfoId(path.Get(), 0), L"WINDOW_0");
  EXPECT_EQ(GetSearchInfoId(path.Get(), 1), L"OK_PUSHBUTTON_1");
  EXPECT_EQ(GetSearchInfoId(path.Get(), 2), L"OK__2");
  EXPECT_EQ(GetSearchInfoId(path.Get(), 3), L"3");
}

TEST_F(SearchPathXml_Ids, IndexOutsideThePath_Raises) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  AddRecord(path.Get());
  EXPECT_THROW(GetSearchInfoId(path.Get(), 1), EListError);
  EXPECT_THROW(GetSearchInfoId(path.Get(), -1), EListError);
}

TEST_F(SearchPathXml_Ids, Tag_IsANewGuidInRegistryForm) {
  const std::wstring first = NewSearchPathTag();
  const std::wstring second = NewSearchPathTag();
  EXPECT_TRUE(std::regex_match(first, TrailingGuid())) << Utf16ToUtf8(first);
  EXPECT_EQ(first.size(), 38u);
  EXPECT_NE(first, second);
}

// --- Attributes against the reference ------------------------------------------

// Each text and id is written where it differs from the reference's, texts
// compared case-sensitively; state 0 never, a role without a name as empty,
// parent id -1 always, 0 never.
TEST_F(SearchPathXml_Attributes, OnlyWhatDiffersFromTheReference_IsWritten) {
  const RecordValues same{.name = L"N", .role = ROLE_SYSTEM_CLIENT,
                          .state = STATE_SYSTEM_FOCUSABLE, .text = L"T"};
  RecordValues sameButValue = same;
  sameButValue.value = L"kept";
  const struct {
    const char* name;
    std::optional<RecordValues> reference;  // none: a fresh record
    RecordValues record;
    std::string expected;
  } cases[] = {
      {"against a fresh record every text and id",
       std::nullopt,
       {.name = L"OK", .role = ROLE_SYSTEM_PUSHBUTTON,
        .state = STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE, .text = L"OK", .value = L"v",
        .defaultAction = L"Press", .helpTopicId = 7, .shortcut = L"Alt+O",
        .description = L"Accepts"},
       "R Module=\"app.exe\" Class=\"MainClass\" Name=\"OK\" Role=\"PUSHBUTTON\" "
       "State=\"FOCUSED;FOCUSABLE\" WindowText=\"OK\" Value=\"v\" DefaultAction=\"Press\" "
       "HelpTopicId=\"7\" ShortCut=\"Alt+O\" Description=\"Accepts\""},
      {"texts equal to the reference's are left out", same, sameButValue, "R Value=\"kept\""},
      {"texts compare case-sensitively", RecordValues{.name = L"ok", .text = L"Same"},
       {.wndClass = L"mainclass", .name = L"OK", .text = L"Same"},
       "R Class=\"mainclass\" Name=\"OK\""},
      {"state 0 is never written", RecordValues{.state = STATE_SYSTEM_SELECTED}, {.state = 0},
       "R"},
      {"state -1 against 0 names every state", RecordValues{.state = 0}, {.state = -1},
       "R State=\"" + Utf16ToUtf8(StateBitsToNames(-1)) + "\""},
      {"a role without a name is empty", RecordValues{.role = ROLE_SYSTEM_CLIENT}, {.role = 0},
       "R Role=\"\""},
      {"parent id -1 is written", RecordValues{.parentId = -1}, {.parentId = -1},
       "R ParentId=\"-1\""},
      {"parent id 0 is not", RecordValues{.parentId = 0}, {.parentId = 0}, "R"},
  };
  for (const auto& c : cases) {
    const SearchInfoPtr reference = NewSearchInfo();
    if (c.reference) Set(reference.Get(), *c.reference);
    const SearchInfoPtr record = NewSearchInfo();
    Set(record.Get(), c.record);
    EXPECT_EQ(Utf16ToUtf8(WrittenRecord(record.Get(), reference.Get())), c.expected) << c.name;
  }
}

TEST_F(SearchPathXml_Attributes, InnerPointAtTheCentre_IsLeftOut_OnePixelOffIsWritten) {
  const auto children = [this](TRect rect, TPoint point) {
    const SearchInfoPathPtr path = NewSearchInfoList();
    Set(AddRecord(path.Get()).Get(), {.rect = rect, .point = point});
    std::vector<std::wstring> lines = Written(path.Get());
    return std::vector<std::wstring>(lines.begin() + 2, lines.end());
  };
  EXPECT_EQ(children({10, 20, 31, 41}, {10, 10}),
            (std::vector<std::wstring>{
                L"ObjectSearchInfo/Object/RootRect Left=\"10\" Top=\"20\" Right=\"31\" "
                L"Bottom=\"41\""}));
  EXPECT_EQ(children({10, 20, 31, 41}, {11, 10}),
            (std::vector<std::wstring>{
                L"ObjectSearchInfo/Object/InnerPoint X=\"11\" Y=\"10\"",
                L"ObjectSearchInfo/Object/RootRect Left=\"10\" Top=\"20\" Right=\"31\" "
                L"Bottom=\"41\""}));
  // The half of -3 rounds toward zero: the centre lies 2 pixels in.
  EXPECT_EQ(children({-3, -3, 0, 0}, {2, 2}),
            (std::vector<std::wstring>{
                L"ObjectSearchInfo/Object/RootRect Left=\"-3\" Top=\"-3\" Right=\"0\" "
                L"Bottom=\"0\""}));
}

// --- The document --------------------------------------------------------------

TEST_F(SearchPathXml_Document, OneRecord_IsItsOwnTargetWithoutPrevId) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  const SearchInfoPtr record = AddRecord(path.Get());
  Set(record.Get(), {.name = L"Main", .role = ROLE_SYSTEM_WINDOW, .state = STATE_SYSTEM_FOCUSABLE,
                     .text = L"Main window", .rect = {0, 0, 400, 300}, .point = {10, 10}});
  record->SetChildCount(3);

  ExpectLines(Written(path.Get()),
              {L"ObjectSearchInfo Name=\"Main_WINDOW_{GUID}\" TargetId=\"Main_WINDOW_0\"",
               L"ObjectSearchInfo/Object Module=\"app.exe\" Class=\"MainClass\" Name=\"Main\" "
               L"Role=\"WINDOW\" State=\"FOCUSABLE\" WindowText=\"Main window\" "
               L"Id=\"Main_WINDOW_0\"",
               L"ObjectSearchInfo/Object/InnerPoint X=\"10\" Y=\"10\"",
               L"ObjectSearchInfo/Object/RootRect Left=\"0\" Top=\"0\" Right=\"400\" "
               L"Bottom=\"300\"",
               L"ObjectSearchInfo/Object/Childs Count=\"3\""});
}

TEST_F(SearchPathXml_Document, Levels_CarryWhatChangedAndTheirIds) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  Set(AddRecord(path.Get()).Get(), {.name = L"Main", .role = ROLE_SYSTEM_WINDOW,
                                    .rect = {0, 0, 400, 300}, .point = {200, 150}});
  Set(AddRecord(path.Get()).Get(), {.name = L"Main", .role = ROLE_SYSTEM_CLIENT,
                                    .rect = {4, 30, 396, 296}, .point = {196, 133}});
  Set(AddRecord(path.Get()).Get(), {.wndClass = L"Button", .name = L"OK",
                                    .role = ROLE_SYSTEM_PUSHBUTTON, .text = L"OK",
                                    .rect = {100, 100, 160, 130}, .point = {3, 4}});
  path->GetItem(0)->SetChildCount(1);
  path->GetItem(1)->SetChildCount(1);

  ExpectLines(
      Written(path.Get()),
      {L"ObjectSearchInfo Name=\"OK_PUSHBUTTON_{GUID}\" TargetId=\"OK_PUSHBUTTON_2\"",
       L"ObjectSearchInfo/Object[0] Module=\"app.exe\" Class=\"MainClass\" Name=\"Main\" "
       L"Role=\"WINDOW\" Id=\"Main_WINDOW_0\"",
       L"ObjectSearchInfo/Object[0]/RootRect Left=\"0\" Top=\"0\" Right=\"400\" Bottom=\"300\"",
       L"ObjectSearchInfo/Object[0]/Childs Count=\"1\"",
       L"ObjectSearchInfo/Object[1] Role=\"CLIENT\" Id=\"Main_CLIENT_1\" PrevId=\"Main_WINDOW_0\"",
       L"ObjectSearchInfo/Object[1]/RootRect Left=\"4\" Top=\"30\" Right=\"396\" Bottom=\"296\"",
       L"ObjectSearchInfo/Object[1]/Childs Count=\"1\"",
       L"ObjectSearchInfo/Object[2] Class=\"Button\" Name=\"OK\" Role=\"PUSHBUTTON\" "
       L"WindowText=\"OK\" Id=\"OK_PUSHBUTTON_2\" PrevId=\"Main_CLIENT_1\"",
       L"ObjectSearchInfo/Object[2]/InnerPoint X=\"3\" Y=\"4\"",
       L"ObjectSearchInfo/Object[2]/RootRect Left=\"100\" Top=\"100\" Right=\"160\" "
       L"Bottom=\"130\""});
}

TEST_F(SearchPathXml_Document, TargetWithoutNameOrRoleName_NameIsTwoSeparatorsAndTheTag) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  Set(AddRecord(path.Get()).Get(), {.role = -1});

  const std::vector<std::wstring> lines = Written(path.Get());

  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), L"ObjectSearchInfo Name=\"__{GUID}\" TargetId=\"0\"");
}

TEST_F(SearchPathXml_Document, EmptyPath_GivesTheRootElementAlone) {
  const SearchInfoPathPtr path = NewSearchInfoList();

  EXPECT_EQ(Written(path.Get()),
            (std::vector<std::wstring>{L"ObjectSearchInfo Name=\"__{GUID}\""}));
}

TEST_F(SearchPathXml_Document, SavedBytes_AreIndentedUtf8) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  Set(AddRecord(path.Get()).Get(), {.name = L"Caf\u00e9", .role = ROLE_SYSTEM_WINDOW,
                                    .rect = {0, 0, 10, 10}, .point = {5, 5}});
  const SearchInfoPtr target = AddRecord(path.Get());
  Set(target.Get(), {.name = L"OK", .role = ROLE_SYSTEM_PUSHBUTTON, .rect = {2, 2, 6, 6},
                     .point = {0, 0}});
  Set(target->GetBottom().Get(), {.name = L"Help", .role = ROLE_SYSTEM_LINK, .rect = {2, 7, 6, 9},
                                  .point = {2, 1}});
  target->GetBottom()->SetIsNull(false);
  TXmlDocument document;
  WriteSearchPathXML(path.Get(), document, document.DocumentNode().Get());
  document.SetEncoding(L"utf-8");

  const std::string bytes = WithLfLineEnds(document.SaveToBytes());

  const std::string tag = "{00000000-0000-0000-0000-000000000000}";
  const size_t at = bytes.find("_PUSHBUTTON_{");
  ASSERT_NE(at, std::string::npos);
  std::string masked = bytes;
  masked.replace(at + 12, tag.size(), tag);
  EXPECT_EQ(masked,
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<ObjectSearchInfo Name=\"OK_PUSHBUTTON_" + tag + "\" TargetId=\"OK_PUSHBUTTON_1\">\n"
            "  <Object Module=\"app.exe\" Class=\"MainClass\" Name=\"Caf\xC3\xA9\" Role=\"WINDOW\" "
            "Id=\"Caf\xC3\xA9_WINDOW_0\">\n"
            "    <RootRect Left=\"0\" Top=\"0\" Right=\"10\" Bottom=\"10\"/>\n"
            "  </Object>\n"
            "  <Object Name=\"OK\" Role=\"PUSHBUTTON\" Id=\"OK_PUSHBUTTON_1\" "
            "PrevId=\"Caf\xC3\xA9_WINDOW_0\">\n"
            "    <InnerPoint X=\"0\" Y=\"0\"/>\n"
            "    <RootRect Left=\"2\" Top=\"2\" Right=\"6\" Bottom=\"6\"/>\n"
            "    <Neigbours>\n"
            "      <Bottom Name=\"Help\" Role=\"LINK\">\n"
            "        <RootRect Left=\"2\" Top=\"7\" Right=\"6\" Bottom=\"9\"/>\n"
            "      </Bottom>\n"
            "    </Neigbours>\n"
            "  </Object>\n"
            "</ObjectSearchInfo>\n");
}

// --- Neighbours ------------------------------------------------------------------

TEST_F(SearchPathXml_Neighbours, AllFourNull_GiveNoElement) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  Set(AddRecord(path.Get()).Get(), {.name = L"Alone"});

  for (const std::wstring& line : Written(path.Get())) {
    EXPECT_EQ(line.find(L"Neigbours"), std::wstring::npos) << Utf16ToUtf8(line);
  }
}

TEST_F(SearchPathXml_Neighbours, PresentOnes_AreWrittenInSideOrderAgainstTheObjectsReference) {
  const SearchInfoPathPtr path = NewSearchInfoList();
  Set(AddRecord(path.Get()).Get(), {.name = L"Keys", .role = ROLE_SYSTEM_GROUPING});
  const SearchInfoPtr target = AddRecord(path.Get());
  Set(target.Get(), {.name = L"5", .role = ROLE_SYSTEM_PUSHBUTTON, .rect = {10, 10, 20, 20},
                     .point = {5, 5}});
  // The bottom one is set first: the order written is the sides' order.
  Set(target->GetBottom().Get(), {.name = L"8", .role = ROLE_SYSTEM_PUSHBUTTON,
                                  .rect = {10, 25, 20, 35}, .point = {5, 5}});
  target->GetBottom()->SetIsNull(false);
  // Same class and module as the level above: left out, as for its Object.
  Set(target->GetLeft().Get(), {.name = L"Keys", .role = ROLE_SYSTEM_GROUPING,
                                .rect = {0, 10, 8, 20}, .point = {4, 5}});
  target->GetLeft()->SetIsNull(false);

  ExpectLines(
      Written(path.Get()),
      {L"ObjectSearchInfo Name=\"5_PUSHBUTTON_{GUID}\" TargetId=\"5_PUSHBUTTON_1\"",
       L"ObjectSearchInfo/Object[0] Module=\"app.exe\" Class=\"MainClass\" Name=\"Keys\" "
       L"Role=\"GROUPING\" Id=\"Keys_GROUPING_0\"",
       L"ObjectSearchInfo/Object[0]/RootRect Left=\"0\" Top=\"0\" Right=\"100\" Bottom=\"50\"",
       L"ObjectSearchInfo/Object[1] Name=\"5\" Role=\"PUSHBUTTON\" Id=\"5_PUSHBUTTON_1\" "
       L"PrevId=\"Keys_GROUPING_0\"",
       L"ObjectSearchInfo/Object[1]/RootRect Left=\"10\" Top=\"10\" Right=\"20\" Bottom=\"20\"",
       L"ObjectSearchInfo/Object[1]/Neigbours",
       L"ObjectSearchInfo/Object[1]/Neigbours/Left",
       L"ObjectSearchInfo/Object[1]/Neigbours/Left/RootRect Left=\"0\" Top=\"10\" Right=\"8\" "
       L"Bottom=\"20\"",
       L"ObjectSearchInfo/Object[1]/Neigbours/Bottom Name=\"8\" Role=\"PUSHBUTTON\"",
       L"ObjectSearchInfo/Object[1]/Neigbours/Bottom/RootRect Left=\"10\" Top=\"25\" "
       L"Right=\"20\" Bottom=\"35\""});
}

// --- A path built over fake items ----------------------------------------------------

TEST_F(SearchPathXml_BuiltPath, LevelsAndNeighbours_AsTheFakeTreeHasThem) {
  FakeItemValues window;
  window.name = L"Main";
  window.roleId = ROLE_SYSTEM_WINDOW;
  window.stateId = STATE_SYSTEM_FOCUSABLE;
  window.handle = reinterpret_cast<HWND>(0x1010);
  window.moduleName = "app.exe";
  window.className = "MainClass";
  window.text = "Main window";
  window.screenRect = {100, 100, 500, 400};
  const FakeItemPtr root = FakeItem::Make(window);
  root->root = root;
  FakeItemValues client = window;
  client.roleId = ROLE_SYSTEM_CLIENT;
  client.screenRect = {104, 130, 496, 396};
  const FakeItemPtr clientItem = FakeItem::Make(client);
  FakeItemValues key = client;
  key.className = "Button";
  key.roleId = ROLE_SYSTEM_PUSHBUTTON;
  key.stateId = 0;
  key.defaultAction = L"Press";
  const auto addKey = [&](const wchar_t* name, TRect rect, int32_t childId) {
    FakeItemValues values = key;
    values.name = name;
    values.text = WideToAnsi(name);
    values.screenRect = rect;
    const FakeItemPtr item = FakeItem::Make(values);
    item->accessible = TAcc(nullptr, childId);
    item->parent = clientItem;
    item->root = root;
    clientItem->AddChild(item);
    return item;
  };
  addKey(L"1", {150, 150, 190, 170}, 1);
  const FakeItemPtr two = addKey(L"2", {200, 150, 240, 170}, 2);
  two->values.innerPoint = {6, 7};
  addKey(L"3", {200, 180, 240, 200}, 3);
  clientItem->parent = root;
  clientItem->root = root;
  root->AddChild(clientItem);

  const SearchInfoPathPtr path = BuildSearchPath(two.Get(), [](IItemInfo*, TBitmap&) {});

  ExpectLines(
      Written(path.Get()),
      {L"ObjectSearchInfo Name=\"2_PUSHBUTTON_{GUID}\" TargetId=\"2_PUSHBUTTON_2\"",
       L"ObjectSearchInfo/Object[0] Module=\"app.exe\" Class=\"MainClass\" Name=\"Main\" "
       L"Role=\"WINDOW\" State=\"FOCUSABLE\" WindowText=\"Main window\" Id=\"Main_WINDOW_0\"",
       L"ObjectSearchInfo/Object[0]/InnerPoint X=\"0\" Y=\"0\"",
       L"ObjectSearchInfo/Object[0]/RootRect Left=\"0\" Top=\"0\" Right=\"400\" Bottom=\"300\"",
       L"ObjectSearchInfo/Object[0]/Childs Count=\"1\"",
       L"ObjectSearchInfo/Object[1] Role=\"CLIENT\" Id=\"Main_CLIENT_1\" PrevId=\"Main_WINDOW_0\"",
       L"ObjectSearchInfo/Object[1]/InnerPoint X=\"0\" Y=\"0\"",
       L"ObjectSearchInfo/Object[1]/RootRect Left=\"4\" Top=\"30\" Right=\"396\" Bottom=\"296\"",
       L"ObjectSearchInfo/Object[1]/Childs Count=\"3\"",
       L"ObjectSearchInfo/Object[2] Class=\"Button\" Name=\"2\" Role=\"PUSHBUTTON\" "
       L"WindowText=\"2\" DefaultAction=\"Press\" ParentId=\"2\" Id=\"2_PUSHBUTTON_2\" "
       L"PrevId=\"Main_CLIENT_1\"",
       L"ObjectSearchInfo/Object[2]/InnerPoint X=\"6\" Y=\"7\"",
       L"ObjectSearchInfo/Object[2]/RootRect Left=\"100\" Top=\"50\" Right=\"140\" Bottom=\"70\"",
       L"ObjectSearchInfo/Object[2]/Neigbours",
       L"ObjectSearchInfo/Object[2]/Neigbours/Left Class=\"Button\" Name=\"1\" "
       L"Role=\"PUSHBUTTON\" WindowText=\"1\" DefaultAction=\"Press\" ParentId=\"1\"",
       L"ObjectSearchInfo/Object[2]/Neigbours/Left/InnerPoint X=\"0\" Y=\"0\"",
       L"ObjectSearchInfo/Object[2]/Neigbours/Left/RootRect Left=\"50\" Top=\"50\" Right=\"90\" "
       L"Bottom=\"70\"",
       L"ObjectSearchInfo/Object[2]/Neigbours/Bottom Class=\"Button\" Name=\"3\" "
       L"Role=\"PUSHBUTTON\" WindowText=\"3\" DefaultAction=\"Press\" ParentId=\"3\"",
       L"ObjectSearchInfo/Object[2]/Neigbours/Bottom/InnerPoint X=\"0\" Y=\"0\"",
       L"ObjectSearchInfo/Object[2]/Neigbours/Bottom/RootRect Left=\"100\" Top=\"80\" "
       L"Right=\"140\" Bottom=\"100\""});
}
