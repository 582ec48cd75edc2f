// Search paths over the fixture's tree window, whose own accessible objects
// give a deep path: built in this process and written as XML, and written
// by `uiprobe --position ... --createpath` into a file. Both are compared
// element by element and attribute by attribute with what the fixture's
// layout says, the GUID in the root's Name masked.
//
// Under Wine the top-level window's item is a stub without valid children,
// so the compaction drops it: the path starts at the fixture's client
// object and every rectangle is measured from the client area's top-left
// corner.

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AccessibilityNames.h"
#include "AccessibleTreeLayout.h"
#include "FixtureLayout.h"
#include "ItemInfo.h"
#include "ItemInfoNull.h"
#include "ScreenCaptureUtils.h"
#include "SearchPathBuilder.h"
#include "SearchPathXml.h"
#include "SelectionFrameUnit.h"
#include "TestSupport.h"
#include "Utf.h"
#include "XmlDocument.h"

namespace {

using Microsoft::WRL::ComPtr;
using namespace testsupport;
namespace acctree = fixture::acctree;

const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}};

// --- What the layout says --------------------------------------------------------

std::wstring Attribute(const wchar_t* name, const std::wstring& value) {
  return std::wstring(L" ") + name + L"=\"" + value + L"\"";
}

std::wstring Attribute(const wchar_t* name, long value) {
  return Attribute(name, std::to_wstring(value));
}

std::wstring RectLine(const std::wstring& path, const RECT& rect) {
  return path + L"/RootRect" + Attribute(L"Left", rect.left) + Attribute(L"Top", rect.top) +
         Attribute(L"Right", rect.right) + Attribute(L"Bottom", rect.bottom);
}

// The attributes of a tree node that do not depend on the level above:
// value, default action, help topic, shortcut, description, child id.
std::wstring OwnAttributes(int node) {
  const acctree::AccessibleNode& spec = acctree::Node(node);
  std::wstring text;
  if (*spec.value != L'\0') text += Attribute(L"Value", spec.value);
  if (*spec.defaultAction != L'\0') text += Attribute(L"DefaultAction", spec.defaultAction);
  if (spec.helpTopic != acctree::kNoHelpTopic) text += Attribute(L"HelpTopicId", spec.helpTopic);
  if (*spec.shortcut != L'\0') text += Attribute(L"ShortCut", spec.shortcut);
  if (*spec.description != L'\0') text += Attribute(L"Description", spec.description);
  if (acctree::ChildIdOf(node) != 0) text += Attribute(L"ParentId", acctree::ChildIdOf(node));
  return text;
}

// A node inside the tree window, below a level of another node of the same
// window: the name, role and state where they differ, then its own
// attributes.
std::wstring NodeAttributes(int node, int reference) {
  const acctree::AccessibleNode& spec = acctree::Node(node);
  const acctree::AccessibleNode& above = acctree::Node(reference);
  std::wstring text;
  if (std::wstring_view(spec.name) != above.name) text += Attribute(L"Name", spec.name);
  if (spec.role != above.role) text += Attribute(L"Role", RoleToName(spec.role));
  if (spec.state != above.state && spec.state != 0) {
    text += Attribute(L"State", StateBitsToNames(spec.state));
  }
  return text + OwnAttributes(node);
}

std::wstring Id(int node, int index) {
  return std::wstring(acctree::Node(node).name) + L"_" + RoleToName(acctree::Node(node).role) +
         L"_" + std::to_wstring(index);
}

class SearchPathTest : public testing::Test {
 protected:
  void SetUp() override {
    joinedApartment_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ASSERT_TRUE(joinedApartment_);
    fixture_ = std::make_unique<FixtureProcess>();
    tree_ = fixture_->Control(fixture::kAccessibleTreeId);
    ASSERT_NE(tree_, nullptr);
    ASSERT_TRUE(ClientToScreen(tree_, &treeOrigin_));
    // Off the key's centre, so that the inner point is written.
    const POINT centre = acctree::ScreenCentre(acctree::kCentreKeyNode, treeOrigin_);
    point_ = {centre.x + 3, centre.y + 2};
  }

  void TearDown() override {
    FinalizeSelectionFrameUnit();
    fixture_.reset();
    if (joinedApartment_) CoUninitialize();
  }

  // A tree node's rectangle in the fixture's client coordinates.
  RECT NodeRect(int node) const {
    const fixture::ClientRect& tree = fixture::Control(fixture::kAccessibleTreeId).rect;
    return acctree::ScreenRect(node, POINT{tree.left, tree.top});
  }

  // The state of the fixture's client object, as the platform reports it.
  LONG FixtureClientState() const {
    ComPtr<IAccessible> client;
    if (AccessibleObjectFromWindow(fixture_->Window(), static_cast<DWORD>(OBJID_CLIENT),
                                   __uuidof(IAccessible),
                                   reinterpret_cast<void**>(client.GetAddressOf())) != S_OK) {
      return -1;
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT state;
    VariantInit(&state);
    const HRESULT result = client->get_accState(self, &state);
    const LONG value = result == S_OK && state.vt == VT_I4 ? state.lVal : -1;
    VariantClear(&state);
    return value;
  }

  // The search path of the key "5" at point_: the fixture's client, the
  // tree's window object, the tree's client, the keypad and the key, each
  // with the neighbours that the layout gives it.
  std::vector<std::wstring> ExpectedKeyPath() const {
    const int window = acctree::kWindowNode;
    const int client = acctree::kClientNode;
    const int keypad = acctree::kKeypadNode;
    const int key = acctree::kCentreKeyNode;
    const std::wstring title = fixture::kWindowTitle;
    const std::wstring treeClass = fixture::kAccessibleTreeClass;
    const std::wstring treeText = fixture::Control(fixture::kAccessibleTreeId).text;
    RECT clientArea{};
    GetClientRect(fixture_->Window(), &clientArea);
    const std::wstring fixtureId = title + L"_CLIENT_0";
    const std::wstring object = L"ObjectSearchInfo/Object";
    const auto level = [&](int i) { return object + L"[" + std::to_wstring(i) + L"]"; };

    // The tree's own objects keep the fixture's client state, so the first
    // of them writes none.
    const LONG fixtureState = FixtureClientState();
    EXPECT_EQ(fixtureState, acctree::Node(window).state);

    std::vector<std::wstring> lines = {
        L"ObjectSearchInfo" + Attribute(L"Name", L"5_PUSHBUTTON_{GUID}") +
            Attribute(L"TargetId", Id(key, 4)),
        // Wine's client object of the fixture's window: no value, action,
        // help topic, shortcut or description.
        level(0) + Attribute(L"Module", L"fixture.exe") +
            Attribute(L"Class", fixture::kWindowClass) + Attribute(L"Name", title) +
            Attribute(L"Role", L"CLIENT") + Attribute(L"State", StateBitsToNames(fixtureState)) +
            Attribute(L"WindowText", title) + Attribute(L"Id", fixtureId),
        RectLine(level(0), clientArea),
        level(0) + L"/Childs" + Attribute(L"Count", 1),
        level(1) + Attribute(L"Class", treeClass) + Attribute(L"Name", acctree::Node(window).name) +
            Attribute(L"Role", RoleToName(acctree::Node(window).role)) +
            Attribute(L"WindowText", treeText) + OwnAttributes(window) +
            Attribute(L"Id", Id(window, 1)) + Attribute(L"PrevId", fixtureId),
        RectLine(level(1), NodeRect(window)),
        level(1) + L"/Childs" + Attribute(L"Count", acctree::ChildCount(window)),
        level(2) + NodeAttributes(client, window) + Attribute(L"Id", Id(client, 2)) +
            Attribute(L"PrevId", Id(window, 1)),
        RectLine(level(2), NodeRect(client)),
        level(2) + L"/Childs" + Attribute(L"Count", acctree::ChildCount(client)),
        level(3) + NodeAttributes(keypad, client) + Attribute(L"Id", Id(keypad, 3)) +
            Attribute(L"PrevId", Id(client, 2)),
        RectLine(level(3), NodeRect(keypad)),
        level(3) + L"/Childs" + Attribute(L"Count", acctree::ChildCount(keypad)),
        // Colours and Letters lie equally near below the keypad; the first
        // of them counts.
        level(3) + L"/Neigbours",
        level(3) + L"/Neigbours/Bottom" + NodeAttributes(acctree::kColoursNode, client),
        RectLine(level(3) + L"/Neigbours/Bottom", NodeRect(acctree::kColoursNode)),
    };
    const RECT keyOnScreen = acctree::ScreenRect(key, treeOrigin_);
    lines.push_back(level(4) + NodeAttributes(key, keypad) + Attribute(L"Id", Id(key, 4)) +
                    Attribute(L"PrevId", Id(keypad, 3)));
    lines.push_back(level(4) + L"/InnerPoint" + Attribute(L"X", point_.x - keyOnScreen.left) +
                    Attribute(L"Y", point_.y - keyOnScreen.top));
    lines.push_back(RectLine(level(4), NodeRect(key)));
    lines.push_back(level(4) + L"/Neigbours");
    const std::pair<const wchar_t*, const wchar_t*> sides[] = {
        {L"Left", L"4"}, {L"Top", L"2"}, {L"Right", L"6"}, {L"Bottom", L"8"}};
    for (const auto& [side, name] : sides) {
      const int neighbour = acctree::FindNode(name);
      const std::wstring path = level(4) + L"/Neigbours/" + side;
      lines.push_back(path + NodeAttributes(neighbour, keypad));
      lines.push_back(RectLine(path, NodeRect(neighbour)));
    }
    return lines;
  }

  std::unique_ptr<FixtureProcess> fixture_;
  HWND tree_ = nullptr;
  POINT treeOrigin_{0, 0};
  POINT point_{0, 0};
  bool joinedApartment_ = false;
};

using SearchPath_AccessibleTree = SearchPathTest;
using SearchPath_Frame = SearchPathTest;
using UiprobeSearchPath = SearchPathTest;

}  // namespace

// --- Built in this process ------------------------------------------------------------

TEST_F(SearchPath_AccessibleTree, KeyFive_LevelsFromTheFixturesClientWithFourNeighbours) {
  const ItemInfoPtr item = ItemInfoFromPoint({point_.x, point_.y});
  ASSERT_FALSE(IsNullItemInfo(item));

  const SearchInfoPathPtr path = BuildSearchPath(item.Get());
  TXmlDocument document;
  WriteSearchPathXML(path.Get(), document, document.DocumentNode().Get());

  ExpectLines(FlattenDocument(document.Dom()), ExpectedKeyPath());
}

TEST_F(SearchPath_AccessibleTree, KeyFive_ThumbnailOnlyInTheTargetsRecord) {
  const ItemInfoPtr item = ItemInfoFromPoint({point_.x, point_.y});
  ASSERT_FALSE(IsNullItemInfo(item));

  const SearchInfoPathPtr path = BuildSearchPath(item.Get());

  ASSERT_GT(path->GetCount(), 1);
  const TBitmap* thumbnail = path->GetItem(path->GetCount() - 1)->GetBitmap();
  EXPECT_EQ(thumbnail->Width(), kThumbnailSize);
  EXPECT_EQ(thumbnail->Height(), kThumbnailSize);
  for (int32_t i = 0; i + 1 < path->GetCount(); ++i) {
    EXPECT_TRUE(path->GetItem(i)->GetBitmap()->IsEmpty()) << "record " << i;
  }
  // The frame was made for the thumbnail and stays hidden.
  EXPECT_FALSE(GetSelectionFrame()->GetVisible());
}

// --- The selection frame and the thumbnail ---------------------------------------------

TEST_F(SearchPath_Frame, VisibleFrame_IsHiddenForTheThumbnailAndShownAgain) {
  const SelectionFramePtr frame = GetSelectionFrame();
  frame->SetRect(FromWinRect(acctree::ScreenRect(acctree::kCentreKeyNode, treeOrigin_)));
  frame->SetVisible(true);
  ASSERT_TRUE(IsWindowVisible(frame->GetHandle()));
  const ItemInfoPtr item = ItemInfoFromPoint({point_.x, point_.y});
  ASSERT_FALSE(IsNullItemInfo(item));

  bool visibleAtCapture = true;
  std::wstring captured;
  const auto start = std::chrono::steady_clock::now();
  std::chrono::milliseconds waited{0};
  BuildSearchPath(item.Get(), [&](IItemInfo* target, TBitmap&) {
    visibleAtCapture = frame->GetVisible() || IsWindowVisible(frame->GetHandle());
    waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    captured = target->GetName();
  });

  EXPECT_FALSE(visibleAtCapture);
  EXPECT_GE(waited.count(), static_cast<long long>(kFrameHiddenBeforeThumbnailMs));
  EXPECT_EQ(captured, acctree::Node(acctree::kCentreKeyNode).name);
  EXPECT_TRUE(frame->GetVisible());
  EXPECT_TRUE(IsWindowVisible(frame->GetHandle()));
  frame->SetVisible(false);
}

TEST_F(SearchPath_Frame, HiddenFrame_StaysHidden) {
  const SelectionFramePtr frame = GetSelectionFrame();
  ASSERT_FALSE(frame->GetVisible());
  const ItemInfoPtr item = ItemInfoFromPoint({point_.x, point_.y});
  ASSERT_FALSE(IsNullItemInfo(item));

  int captures = 0;
  BuildSearchPath(item.Get(), [&](IItemInfo*, TBitmap&) { ++captures; });

  EXPECT_EQ(captures, 1);
  EXPECT_FALSE(frame->GetVisible());
  EXPECT_FALSE(IsWindowVisible(frame->GetHandle()));
}

// --- uiprobe --createpath ------------------------------------------------------------------

TEST_F(UiprobeSearchPath, PositionOnKeyFive_WritesTheLevelsAndNeighbours) {
  const TempFolder folder;
  const std::filesystem::path file = folder / L"p.xml";
  const std::wstring position = std::to_wstring(point_.x) + L"," + std::to_wstring(point_.y);

  const RunResult run = RunProgram(
      L"uiprobe", {L"--position", position, L"--createpath", file.wstring()}, kEnglish);

  ASSERT_EQ(run.exitCode, 0u) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  const std::string bytes = ReadBytesFromFile(file);
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u) << bytes;
  ExpectLines(FlattenFile(file), ExpectedKeyPath());
}

TEST_F(UiprobeSearchPath, ExistingFile_IsReplaced) {
  const TempFolder folder;
  const std::filesystem::path file = folder / L"p.xml";
  WriteBytesToFile(file, std::string(5000, 'x'));
  const std::wstring position = std::to_wstring(point_.x) + L"," + std::to_wstring(point_.y);

  const RunResult run = RunProgram(
      L"uiprobe", {L"--position", position, L"--createpath", file.wstring()}, kEnglish);

  ASSERT_EQ(run.exitCode, 0u) << run.out << run.err;
  const std::vector<std::wstring> lines = FlattenFile(file);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), ExpectedKeyPath().front());
  EXPECT_EQ(ReadBytesFromFile(file).find('x' + std::string(10, 'x')), std::string::npos);
}

TEST_F(UiprobeSearchPath, UnwritableFile_FailsWithExitCodeOne) {
  const TempFolder folder;
  const std::filesystem::path file = folder / L"missing" / L"p.xml";
  const std::wstring position = std::to_wstring(point_.x) + L"," + std::to_wstring(point_.y);

  const RunResult run = RunProgram(
      L"uiprobe", {L"--position", position, L"--createpath", file.wstring()}, kEnglish);

  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.out.find("Execution failed!"), std::string::npos) << run.out;
  EXPECT_FALSE(std::filesystem::exists(file));
}
