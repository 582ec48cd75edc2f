#pragma once
// The fixture with its tree window, from a thread in a single-threaded
// apartment: the tree's objects come across as COM proxies.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "ComApartment.h"
#include "FixtureLayout.h"
#include "FixtureProcess.h"

namespace testsupport {

class TreeWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(apartment_.Joined());
    fixture_ = std::make_unique<FixtureProcess>();
    tree_ = fixture_->Control(fixture::kAccessibleTreeId);
    ASSERT_NE(tree_, nullptr);
    ASSERT_TRUE(ClientToScreen(tree_, &treeOrigin_));
  }

  ComApartment apartment_;  // outlives the fixture's objects
  std::unique_ptr<FixtureProcess> fixture_;
  HWND tree_ = nullptr;
  POINT treeOrigin_{0, 0};
};

}  // namespace testsupport
