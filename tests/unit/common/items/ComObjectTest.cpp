#include "ComObject.h"

#include <windows.h>

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;

// Interfaces of the test's own, with identifiers made for it.
struct ITestShape : public IUnknown {
  virtual int STDMETHODCALLTYPE Corners() = 0;
};
__CRT_UUID_DECL(ITestShape, 0x3B0F6C1A, 0x52D4, 0x4E8B, 0x9A, 0x61, 0x0C, 0x7E, 0x2D, 0x45, 0x91, 0x10)

struct ITestSquare : public ITestShape {
  using ComBase = ITestShape;
  virtual int STDMETHODCALLTYPE Side() = 0;
};
__CRT_UUID_DECL(ITestSquare, 0x3B0F6C1A, 0x52D4, 0x4E8B, 0x9A, 0x61, 0x0C, 0x7E, 0x2D, 0x45, 0x91, 0x11)

struct ITestColour : public IUnknown {
  virtual int STDMETHODCALLTYPE Colour() = 0;
};
__CRT_UUID_DECL(ITestColour, 0x3B0F6C1A, 0x52D4, 0x4E8B, 0x9A, 0x61, 0x0C, 0x7E, 0x2D, 0x45, 0x91, 0x12)

struct ITestNeverImplemented : public IUnknown {};
__CRT_UUID_DECL(ITestNeverImplemented, 0x3B0F6C1A, 0x52D4, 0x4E8B, 0x9A, 0x61, 0x0C, 0x7E, 0x2D, 0x45, 0x91, 0x13)

namespace {

// Counts the destructions of its objects.
class TestSquare final : public ComObject<ITestSquare, ITestColour> {
 public:
  TestSquare(int side, int* destroyed) : side_(side), destroyed_(destroyed) {}
  ~TestSquare() override { ++*destroyed_; }

  int STDMETHODCALLTYPE Corners() override { return 4; }
  int STDMETHODCALLTYPE Side() override { return side_; }
  int STDMETHODCALLTYPE Colour() override { return 0xFF; }

 private:
  int side_;
  int* destroyed_;
};

}  // namespace

TEST(ComObject_References, MakeGivesOneReference_LastReleaseDestroys) {
  int destroyed = 0;
  ITestSquare* raw = MakeComObject<TestSquare>(3, &destroyed).Detach();
  ASSERT_NE(raw, nullptr);
  EXPECT_EQ(raw->AddRef(), 2u);
  EXPECT_EQ(raw->Release(), 1u);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(raw->Release(), 0u);
  EXPECT_EQ(destroyed, 1);
}

TEST(ComObject_References, ComPtrCopiesShareOneObject_DestroyedOnceWhenAllGo) {
  int destroyed = 0;
  {
    ComPtr<ITestSquare> first = MakeComObject<TestSquare>(7, &destroyed);
    ComPtr<ITestSquare> second = first;
    first.Reset();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(second->Side(), 7);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(ComObject_QueryInterface, ListedInterface_AnsweredWithAReference) {
  int destroyed = 0;
  ComPtr<ITestSquare> square = MakeComObject<TestSquare>(2, &destroyed);
  ComPtr<ITestColour> colour;
  ASSERT_EQ(square.As(&colour), S_OK);
  EXPECT_EQ(colour->Colour(), 0xFF);
  square.Reset();
  // The answer holds its own reference.
  EXPECT_EQ(destroyed, 0);
  colour.Reset();
  EXPECT_EQ(destroyed, 1);
}

TEST(ComObject_QueryInterface, ExtendedInterface_AnsweredThroughTheDerivedOne) {
  int destroyed = 0;
  ComPtr<ITestSquare> square = MakeComObject<TestSquare>(2, &destroyed);
  ComPtr<ITestShape> shape;
  ASSERT_EQ(square.As(&shape), S_OK);
  EXPECT_EQ(shape->Corners(), 4);
  EXPECT_EQ(static_cast<ITestShape*>(square.Get()), shape.Get());
}

TEST(ComObject_QueryInterface, UnknownFromEveryInterface_IsTheSamePointer) {
  int destroyed = 0;
  ComPtr<ITestSquare> square = MakeComObject<TestSquare>(2, &destroyed);
  ComPtr<ITestColour> colour;
  ASSERT_EQ(square.As(&colour), S_OK);
  ComPtr<IUnknown> fromSquare;
  ComPtr<IUnknown> fromColour;
  ASSERT_EQ(square.As(&fromSquare), S_OK);
  ASSERT_EQ(colour.As(&fromColour), S_OK);
  EXPECT_EQ(fromSquare.Get(), fromColour.Get());
  // The two interfaces are different parts of the object.
  EXPECT_NE(static_cast<void*>(square.Get()), static_cast<void*>(colour.Get()));
}

TEST(ComObject_QueryInterface, OtherInterface_NoInterfaceAndNullAndNoReference) {
  int destroyed = 0;
  ComPtr<ITestSquare> square = MakeComObject<TestSquare>(2, &destroyed);
  void* answer = reinterpret_cast<void*>(1);
  EXPECT_EQ(square->QueryInterface(__uuidof(ITestNeverImplemented), &answer), E_NOINTERFACE);
  EXPECT_EQ(answer, nullptr);
  // Only the one reference of `square` remains.
  EXPECT_EQ(square->AddRef(), 2u);
  EXPECT_EQ(square->Release(), 1u);
}

TEST(ComObject_QueryInterface, NullTarget_PointerError) {
  int destroyed = 0;
  ComPtr<ITestSquare> square = MakeComObject<TestSquare>(2, &destroyed);
  EXPECT_EQ(square->QueryInterface(__uuidof(ITestShape), nullptr), E_POINTER);
}
