// Search paths over the fixture's tree window, whose own accessible objects
// give a deep path: built in this process and written as XML, and written
// by `uiprobe --position ... --createpath` into a file. Both are compared
// element by element and attribute by attribute with the path written out
// from the fixture's layout (KeyFivePath.h), the GUID in the root's Name
// masked; the file also byte for byte, as that layout indents it.

#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "AccessibleTreeLayout.h"
#include "FixtureLayout.h"
#include "ItemInfo.h"
#include "ItemInfoNull.h"
#include "KeyFivePath.h"
#include "ScreenCaptureUtils.h"
#include "SearchPathBuilder.h"
#include "SearchPathXml.h"
#include "SelectionFrameUnit.h"
#include "TestSupport.h"
#include "XmlDocument.h"

namespace {

using namespace testsupport;
namespace acctree = fixture::acctree;

const RunOptions kEnglish{.environment = {{L"LANG", L"C"}}};

class SearchPathTest : public keypath::KeyFiveTest {
 protected:
  void TearDown() override {
    FinalizeSelectionFrameUnit();
    KeyFiveTest::TearDown();
  }

  // The search path of the key "5" at point_ from the honest tree.
  std::vector<std::wstring> ExpectedKeyPath() const {
    return keypath::ExpectedKeyPath(fixture_->Window());
  }
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

  const RunResult run = RunProgram(
      L"uiprobe", {L"--position", Position(), L"--createpath", file.wstring()}, kEnglish);

  ASSERT_EQ(run.exitCode, 0u) << run.out << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(WithGuidMasked(ReadBytesFromFile(file)),
            IndentedXmlBytes("<?xml version=\"1.0\" encoding=\"utf-8\"?>", ExpectedKeyPath()));
  ExpectLines(FlattenFile(file), ExpectedKeyPath());
}

TEST_F(UiprobeSearchPath, ExistingFile_IsReplaced) {
  const TempFolder folder;
  const std::filesystem::path file = folder / L"p.xml";
  WriteBytesToFile(file, std::string(5000, 'x'));

  const RunResult run = RunProgram(
      L"uiprobe", {L"--position", Position(), L"--createpath", file.wstring()}, kEnglish);

  ASSERT_EQ(run.exitCode, 0u) << run.out << run.err;
  const std::vector<std::wstring> lines = FlattenFile(file);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), ExpectedKeyPath().front());
  EXPECT_EQ(ReadBytesFromFile(file).find('x' + std::string(10, 'x')), std::string::npos);
}

TEST_F(UiprobeSearchPath, UnwritableFile_FailsWithExitCodeOne) {
  const TempFolder folder;
  const std::filesystem::path file = folder / L"missing" / L"p.xml";

  const RunResult run = RunProgram(
      L"uiprobe", {L"--position", Position(), L"--createpath", file.wstring()}, kEnglish);

  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_NE(run.out.find("Execution failed!"), std::string::npos) << run.out;
  EXPECT_FALSE(std::filesystem::exists(file));
}
