#pragma once
// COM for the calling thread: a single-threaded apartment for the life of the
// object, as the programs join it. MSXML, the accessibility layer and objects
// that travel through WM_GETOBJECT want one.

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

namespace testsupport {

class ComApartment {
 public:
  ComApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (joined_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool Joined() const { return joined_; }

 private:
  bool joined_;
};

// A fixture whose tests each run in an apartment of their own.
class ComApartmentTest : public testing::Test {
 private:
  ComApartment apartment_;
};

}  // namespace testsupport
