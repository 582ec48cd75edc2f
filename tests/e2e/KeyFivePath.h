#pragma once
// The tree window's centre key "5" as the target of a search path: the
// fixture started for a test with the key's capture point, and the path
// that `uiprobe --createpath` writes for it, as the lines of FlattenFile
// (XmlLines.h), written out from the fixture's layout and from the texts
// its tree serves (AccessibleTreeLayout.h). Both the tests of the search
// path and those of the misbehaving trees build on it.
//
// Under Wine the top-level window's item is a stub without valid children,
// so the compaction drops it: the path starts at the fixture's client
// object and every rectangle is measured from the client area's top-left
// corner.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ComApartment.h"
#include "FixtureProcess.h"

namespace keypath {

// The fixture, started for each test with FixtureArguments(), with the
// calling thread in a single-threaded apartment (the fixture's objects come
// across as proxies, and written paths are read back through MSXML). The
// key is captured at point_, off its centre, so that the inner point is
// written.
class KeyFiveTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  virtual std::vector<std::wstring> FixtureArguments() const { return {}; }
  // point_ as the value of --position.
  std::wstring Position() const;

  testsupport::ComApartment apartment_;  // outlives the fixture's objects
  std::unique_ptr<testsupport::FixtureProcess> fixture_;
  HWND tree_ = nullptr;
  POINT treeOrigin_{0, 0};
  POINT point_{0, 0};
};

// The whole path of the key in the honest tree: the fixture's client, the
// tree's window object, the tree's client, the keypad and the key, each
// with the neighbours that the layout gives it; the fixture's client area
// measured from `fixtureWindow`.
std::vector<std::wstring> ExpectedKeyPath(HWND fixtureWindow);

// `lines` with each line replaced by the line of `changes` that names the
// same element (the text before the first blank).
std::vector<std::wstring> WithLines(std::vector<std::wstring> lines,
                                    const std::vector<std::wstring>& changes);

}  // namespace keypath
