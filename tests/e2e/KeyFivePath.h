#pragma once
// The tree window's centre key "5" as the target of a search path: the
// fixture started for a test with the key's capture point, and the path
// that `uiprobe --createpath` writes for it, as the lines of FlattenFile
// (XmlLines.h), worked out from the fixture's layout and from the texts its
// tree serves (HostileTreeLayout.h). Both the tests of the search path and
// those of the misbehaving trees build on it.
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
#include "HostileTreeLayout.h"

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

// ` name="value"`, as FlattenFile writes an attribute.
std::wstring Attribute(const wchar_t* name, const std::wstring& value);
std::wstring Attribute(const wchar_t* name, long value);

// The "RootRect" line of the element at `path`.
std::wstring RectLine(const std::wstring& path, const RECT& rect);

// A tree node's rectangle in the fixture's client coordinates.
RECT NodeRect(int node);

// The attributes of a tree node that do not depend on the level above:
// value, default action, help topic, shortcut, description and child id,
// with the texts that the tree serves in `mode`.
std::wstring OwnAttributes(fixture::acctree::Hostility mode, int node);

// The attributes of a tree node below a level of another node of the same
// window (`reference`): the name, role and state where they differ, then
// its own attributes.
std::wstring NodeAttributes(fixture::acctree::Hostility mode, int node, int reference);

// The record Id of a node at the path's `index`.
std::wstring Id(fixture::acctree::Hostility mode, int node, int index);

// The state of the fixture's client object, as the platform reports it; -1
// when it cannot be read.
LONG FixtureClientState(HWND fixtureWindow);

// What the path depends on: the fixture's top-level window, the tree
// window's client origin on the screen, the point the key was captured at,
// and what the tree serves.
struct KeyScene {
  HWND fixtureWindow = nullptr;
  POINT treeOrigin{0, 0};
  POINT point{0, 0};
  fixture::acctree::Hostility mode = fixture::acctree::Hostility::kNone;
};

// The whole path of the key: the fixture's client, the tree's window
// object, the tree's client, the keypad and the key, each with the
// neighbours that the layout gives it.
std::vector<std::wstring> ExpectedKeyPath(const KeyScene& scene);

}  // namespace keypath
