// The live item over accessible objects whose every answer the test sets,
// and over windows of this process: the failure values and guards of each
// operation, the child list with its lock, the parent search through a
// window's tree and the list-view description.

#include "ItemInfo.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CodePage.h"
#include "ComApartment.h"
#include "FakeAccessible.h"
#include "ItemInfoCache.h"
#include "ItemInfoNull.h"
#include "UniqueHandle.h"

using Microsoft::WRL::ComPtr;
using fakes::FakeAccessible;
using fakes::FakeAnswers;
using fakes::FakeChild;
using fakes::FakeDispatch;
using fakes::FakeText;
using fakes::FakeVariant;

namespace {

using FakePtr = ComPtr<FakeAccessible>;

FakePtr NewFake(int* destroyed = nullptr) { return MakeComObject<FakeAccessible>(destroyed); }

ItemInfoPtr ItemOver(const FakePtr& fake, LONG childId = CHILDID_SELF) {
  return ItemInfoFromAccessible(TAcc(fake, childId));
}

// The accessible object an item stands on, as the raw pointer the fake is.
IAccessible* ObjectOf(const ItemInfoPtr& item) { return item->GetAccessible().Accessible.Get(); }

LONG ChildIdOf(const ItemInfoPtr& item) { return item->GetAccessible().ChildIdValue(); }

IAccessible* Raw(const FakePtr& fake) { return static_cast<IAccessible*>(fake.Get()); }

// An object whose children are its simple elements 1 to `count`, listed
// without answers of their own.
FakePtr FakeWithElements(LONG count) {
  FakePtr fake = NewFake();
  for (LONG childId = 1; childId <= count; ++childId) {
    fake->Children.push_back(FakeChild::Element(childId));
  }
  return fake;
}

FakeChild Holding(const FakePtr& object) { return FakeChild::OfObject(object->AsDispatch()); }

// The layer's own text of a role or of state bits, as the live item widens
// them.
std::wstring PlatformRoleText(uint32_t role) {
  wchar_t buffer[256] = {};
  GetRoleTextW(role, buffer, 255);
  return buffer;
}

// A top-level window of this process with a class of the test's own. Its
// window procedure answers WM_GETOBJECT for the window's own object with
// the accessible object set in `WindowObject`.
class TestWindow {
 public:
  static inline IAccessible* WindowObject = nullptr;

  explicit TestWindow(const wchar_t* text, HWND parent = nullptr) {
    Register();
    const DWORD style = parent != nullptr ? WS_CHILD : WS_POPUP;
    window_.Reset(CreateWindowExW(0, kClass, text, style, 10, 10, 200, 100, parent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
  }

  HWND Get() const { return window_.Get(); }

 private:
  static constexpr wchar_t kClass[] = L"LiveItemTestWindow";

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_WINDOW &&
        WindowObject != nullptr) {
      return LresultFromObject(__uuidof(IAccessible), wParam, WindowObject);
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  static void Register() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);
  }

  testsupport::UniqueWindow window_;
};

}  // namespace

// --- Making items

TEST(LiveItem_Make, FromObject_KeepsObjectAndChildIdAndOffersTheChildLock) {
  const FakePtr fake = NewFake();
  const ItemInfoPtr item = ItemOver(fake, 3);
  ASSERT_FALSE(IsNullItemInfo(item));
  EXPECT_EQ(ObjectOf(item), Raw(fake));
  EXPECT_EQ(ChildIdOf(item), 3);
  ComPtr<IItemChildLock> lock;
  EXPECT_EQ(item.As(&lock), S_OK);
}

TEST(LiveItem_Make, FromNilObjectOrNoWindow_IsTheNullItem) {
  EXPECT_TRUE(IsNullItemInfo(ItemInfoFromAccessible(TAcc())));
  EXPECT_TRUE(IsNullItemInfo(ItemInfoFromWindow(nullptr)));
  TestWindow window(L"gone");
  const HWND stale = window.Get();
  DestroyWindow(stale);
  EXPECT_TRUE(IsNullItemInfo(ItemInfoFromWindow(stale)));
}

TEST(LiveItem_Make, Drop_ReleasesTheObjectAndTheChildren) {
  int destroyed = 0;
  {
    const FakePtr child = NewFake(&destroyed);
    const FakePtr parent = NewFake(&destroyed);
    parent->Children = {Holding(child), FakeChild::Element(2)};
    const ItemInfoPtr item = ItemOver(parent);
    ASSERT_EQ(item->GetChildCount(), 2);
    parent->Children.clear();
  }
  EXPECT_EQ(destroyed, 2);
}

// --- Texts

// The five texts an item reads from the layer: each is taken whole when the
// layer answers S_OK, and is empty for S_FALSE (whatever text comes with it)
// and for failure codes; each answer is asked once.
TEST(LiveItem_Texts, OnlySOkAnswers_AreTakenWhole) {
  const struct {
    const char* name;
    FakeText FakeAnswers::*answer;
    int fakes::FakeCalls::*calls;
    std::wstring (*read)(IItemInfo*);
  } texts[] = {
      {"name", &FakeAnswers::Name, &fakes::FakeCalls::Name,
       [](IItemInfo* item) { return item->GetName(); }},
      {"value", &FakeAnswers::Value, &fakes::FakeCalls::Value,
       [](IItemInfo* item) { return item->GetValue(); }},
      {"description", &FakeAnswers::Description, &fakes::FakeCalls::Description,
       [](IItemInfo* item) { return item->GetDescription(); }},
      {"shortcut", &FakeAnswers::Shortcut, &fakes::FakeCalls::Shortcut,
       [](IItemInfo* item) { return item->GetShortcut(); }},
      {"default action", &FakeAnswers::DefaultAction, &fakes::FakeCalls::DefaultAction,
       [](IItemInfo* item) { return item->GetDefaultAction(); }},
  };
  const struct {
    const char* name;
    FakeText answer;
    std::wstring expected;
  } answers[] = {
      {"S_OK", FakeText::Ok(L"Alt+N"), L"Alt+N"},
      {"S_OK with a zero inside", FakeText::Ok(std::wstring(L"a\0b", 3)), std::wstring(L"a\0b", 3)},
      {"S_FALSE with a text", FakeText::With(S_FALSE, L"not to be used"), L""},
      {"E_FAIL", FakeText::Fail(E_FAIL), L""},
      {"E_NOTIMPL", FakeText::Fail(E_NOTIMPL), L""},
      {"DISP_E_MEMBERNOTFOUND", FakeText::Fail(DISP_E_MEMBERNOTFOUND), L""},
      {"E_INVALIDARG with a text", FakeText::With(E_INVALIDARG, L"x"), L""},
      {"RPC_E_DISCONNECTED", FakeText::Fail(RPC_E_DISCONNECTED), L""},
  };
  for (const auto& text : texts) {
    for (const auto& answer : answers) {
      const FakePtr fake = NewFake();
      fake->Self.*text.answer = answer.answer;
      EXPECT_EQ(text.read(ItemOver(fake).Get()), answer.expected) << text.name << ", " << answer.name;
      EXPECT_EQ(fake->Calls.*text.calls, 1) << text.name << ", " << answer.name;
    }
  }
}

TEST(LiveItem_Texts, SimpleElement_IsAskedWithItsChildId) {
  const FakePtr fake = NewFake();
  fake->Self.Name = FakeText::Ok(L"object");
  fake->Elements[3].Name = FakeText::Ok(L"element");
  fake->Elements[3].Value = FakeText::Ok(L"value 3");
  const ItemInfoPtr item = ItemOver(fake, 3);
  EXPECT_EQ(item->GetName(), L"element");
  EXPECT_EQ(fake->LastChildId, 3);
  EXPECT_EQ(item->GetValue(), L"value 3");
  EXPECT_EQ(item->GetHelpTopicId(), 0);
  EXPECT_EQ(fake->LastChildId, 3);
}

// --- Ids, role and state

TEST(LiveItem_HelpTopic, OnlySOk_GivesTheTopic_ElseMinusOne) {
  for (const auto& [result, expected] : {std::pair{S_OK, 42}, {S_FALSE, -1}, {E_FAIL, -1}}) {
    const FakePtr fake = NewFake();
    fake->Self.HelpTopic = 42;
    fake->Self.HelpTopicResult = result;
    EXPECT_EQ(ItemOver(fake)->GetHelpTopicId(), expected) << std::hex << result;
  }
}

// A number from 0 to 61 in the role variant is the role id, whatever the
// result code; anything else gives -1.
TEST(LiveItem_RoleId, NumberFromZeroToSixtyOne_IsTakenWhateverTheResult) {
  const struct {
    const char* name;
    FakeVariant role;
    HRESULT result;
    int32_t expected;
  } cases[] = {
      {"0", FakeVariant::I4(0), S_OK, 0},
      {"61", FakeVariant::I4(61), S_OK, 61},
      {"a 16-bit 9", FakeVariant::I2(9), S_OK, 9},
      {"62", FakeVariant::I4(62), S_OK, -1},
      {"-1", FakeVariant::I4(-1), S_OK, -1},
      {"the text 10", FakeVariant::Bstr(L"10"), S_OK, -1},
      {"a double 10", FakeVariant::R8(10), S_OK, -1},
      {"no value", FakeVariant::Empty(), S_OK, -1},
      {"push button with S_FALSE", FakeVariant::I4(ROLE_SYSTEM_PUSHBUTTON), S_FALSE,
       ROLE_SYSTEM_PUSHBUTTON},
      {"push button with E_FAIL", FakeVariant::I4(ROLE_SYSTEM_PUSHBUTTON), E_FAIL,
       ROLE_SYSTEM_PUSHBUTTON},
  };
  for (const auto& c : cases) {
    const FakePtr fake = NewFake();
    fake->Self.Role = c.role;
    fake->Self.RoleResult = c.result;
    EXPECT_EQ(ItemOver(fake)->GetRoleId(), c.expected) << c.name;
  }
}

TEST(LiveItem_Role, KnownRole_IsTheLayersText) {
  const FakePtr fake = NewFake();
  fake->Self.Role = FakeVariant::I4(ROLE_SYSTEM_PUSHBUTTON);
  const std::wstring expected = PlatformRoleText(ROLE_SYSTEM_PUSHBUTTON);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(ItemOver(fake)->GetRole(), expected);
}

TEST(LiveItem_Role, NoRoleId_IsEmpty) {
  const FakePtr fake = NewFake();
  fake->Self.Role = FakeVariant::Bstr(L"custom");
  EXPECT_EQ(ItemOver(fake)->GetRole(), L"");
}

TEST(LiveItem_State, SOk_GivesTheBitsAndTheirTexts) {
  const FakePtr fake = NewFake();
  fake->Self.State = FakeVariant::I4(STATE_SYSTEM_FOCUSED | STATE_SYSTEM_INVISIBLE);
  const ItemInfoPtr item = ItemOver(fake);
  EXPECT_EQ(item->GetStateId(), STATE_SYSTEM_FOCUSED | STATE_SYSTEM_INVISIBLE);
  const std::wstring expected =
      AnsiToWide(GetAccStateText(STATE_SYSTEM_FOCUSED | STATE_SYSTEM_INVISIBLE));
  EXPECT_EQ(item->GetState(), expected);
  // Two texts, each closed by ";".
  EXPECT_EQ(std::count(expected.begin(), expected.end(), L';'), 2);
}

TEST(LiveItem_State, SFalseFailureOrNoNumber_GivesMinusOneAndNoText) {
  const struct {
    const char* name;
    FakeVariant state;
    HRESULT result;
  } cases[] = {{"S_FALSE", FakeVariant::I4(STATE_SYSTEM_FOCUSED), S_FALSE},
               {"E_FAIL", FakeVariant::I4(STATE_SYSTEM_FOCUSED), E_FAIL},
               {"a text that spells no number", FakeVariant::Bstr(L"busy"), S_OK}};
  for (const auto& c : cases) {
    const FakePtr fake = NewFake();
    fake->Self.State = c.state;
    fake->Self.StateResult = c.result;
    const ItemInfoPtr item = ItemOver(fake);
    EXPECT_EQ(item->GetStateId(), -1) << c.name;
    EXPECT_EQ(item->GetState(), L"") << c.name;
  }
}

// --- Geometry

TEST(LiveItem_Rects, Location_GivesScreenAndClientRect_SFalseGivesZeroRects) {
  const struct {
    HRESULT result;
    TRect screen, client;
  } cases[] = {{S_OK, {10, 20, 40, 60}, {0, 0, 30, 40}}, {S_FALSE, {}, {}}};
  for (const auto& c : cases) {
    const FakePtr fake = NewFake();
    fake->Self.At(10, 20, 30, 40);
    fake->Self.LocationResult = c.result;
    const ItemInfoPtr item = ItemOver(fake);
    EXPECT_EQ(item->GetScreenRect(), c.screen) << c.result;
    EXPECT_EQ(item->GetClientRect(), c.client) << c.result;
  }
}

TEST(LiveItem_InnerPoint, NoPointSet_IsTheCentreTruncatedTowardZero) {
  const struct {
    LONG left, top, width, height;
    TPoint expected;
  } cases[] = {{500, 300, 100, 20, {50, 10}}, {0, 0, -7, -3, {-3, -1}}};
  for (const auto& c : cases) {
    const FakePtr fake = NewFake();
    fake->Self.At(c.left, c.top, c.width, c.height);
    EXPECT_EQ(ItemOver(fake)->GetInnerPoint(), c.expected) << c.width << "x" << c.height;
  }
}

TEST(LiveItem_InnerPoint, PointInside_IsKeptAndRightEdgeIsOutside) {
  const FakePtr fake = NewFake();
  fake->Self.At(500, 300, 100, 20);
  const ItemInfoPtr item = ItemOver(fake);
  item->SetInnerPoint({99, 19});
  EXPECT_EQ(item->GetInnerPoint(), (TPoint{99, 19}));
  item->SetInnerPoint({100, 10});
  EXPECT_EQ(item->GetInnerPoint(), (TPoint{50, 10}));
  // The point is kept as given and counts again once the item is big
  // enough.
  fake->Self.At(500, 300, 101, 20);
  EXPECT_EQ(item->GetInnerPoint(), (TPoint{100, 10}));
}

// --- Property groups, and the snapshot that keeps them

// The three groups, each read once over values it must overwrite; nothing
// when the item offers no groups.
struct GroupAnswers {
  TRect screen{1, 1, 1, 1}, client{1, 1, 1, 1};
  TPoint inner{1, 1};
  int32_t roleId = 0, stateId = 0;
  std::wstring role = L"x", state = L"x";
};

std::optional<GroupAnswers> ReadGroups(const ItemInfoPtr& item) {
  ComPtr<IItemPropertyGroups> groups;
  if (item.As(&groups) != S_OK || !groups) return std::nullopt;
  GroupAnswers got;
  groups->GetGeometry(got.screen, got.client, got.inner);
  groups->GetRoleWithText(got.roleId, got.role);
  groups->GetStateWithText(got.stateId, got.state);
  return got;
}

TEST(LiveItem_PropertyGroups, EachGroup_IsOneQuestionWithTheSingleGettersAnswers) {
  const FakePtr fake = NewFake();
  fake->Elements[2].At(500, 300, 100, 20);
  fake->Elements[2].Role = FakeVariant::I4(ROLE_SYSTEM_PUSHBUTTON);
  fake->Elements[2].State = FakeVariant::I4(STATE_SYSTEM_FOCUSED | STATE_SYSTEM_PRESSED);
  const ItemInfoPtr item = ItemOver(fake, 2);
  item->SetInnerPoint({7, 8});
  const std::optional<GroupAnswers> got = ReadGroups(item);
  ASSERT_TRUE(got);
  EXPECT_EQ(fake->Calls.Location, 1);
  EXPECT_EQ(fake->Calls.Role, 1);
  EXPECT_EQ(fake->Calls.State, 1);

  EXPECT_EQ(got->screen, item->GetScreenRect());
  EXPECT_EQ(got->client, item->GetClientRect());
  EXPECT_EQ(got->inner, (TPoint{7, 8}));
  EXPECT_EQ(got->inner, item->GetInnerPoint());
  EXPECT_EQ(got->roleId, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(got->role, item->GetRole());
  EXPECT_EQ(got->stateId, item->GetStateId());
  EXPECT_EQ(got->state, item->GetState());
  EXPECT_FALSE(got->state.empty());
}

TEST(LiveItem_PropertyGroups, FailedAnswers_GiveTheFailureValuesOfTheSingleGetters) {
  const FakePtr fake = NewFake();
  fake->Self.At(10, 20, 30, 40);
  fake->Self.LocationResult = S_FALSE;
  fake->Self.Role = FakeVariant::Bstr(L"custom");
  fake->Self.StateResult = E_FAIL;
  const std::optional<GroupAnswers> got = ReadGroups(ItemOver(fake));
  ASSERT_TRUE(got);
  EXPECT_EQ(got->screen, TRect{});
  EXPECT_EQ(got->client, TRect{});
  EXPECT_EQ(got->inner, TPoint{});
  EXPECT_EQ(got->roleId, -1);
  EXPECT_EQ(got->role, L"");
  EXPECT_EQ(got->stateId, -1);
  EXPECT_EQ(got->state, L"");
}

TEST(LiveItem_Snapshot, KeepsEachGroupFromOneQuestion) {
  const FakePtr fake = NewFake();
  fake->Self.At(500, 300, 100, 20);
  fake->Self.Role = FakeVariant::I4(ROLE_SYSTEM_LIST);
  fake->Self.State = FakeVariant::I4(STATE_SYSTEM_FOCUSABLE);
  const ItemInfoPtr live = ItemOver(fake);
  const CachedItemInfoPtr snapshot = AsCachedItemInfo(live);
  // Making the snapshot looks for the item's parent, which asks the item
  // for some of its properties; the snapshot's own reads come after.
  const fakes::FakeCalls before = fake->Calls;
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(snapshot->GetClientRect(), (TRect{0, 0, 100, 20}));
    EXPECT_EQ(snapshot->GetScreenRect(), (TRect{500, 300, 600, 320}));
    EXPECT_EQ(snapshot->GetInnerPoint(), (TPoint{50, 10}));
    EXPECT_EQ(snapshot->GetRole(), PlatformRoleText(ROLE_SYSTEM_LIST));
    EXPECT_EQ(snapshot->GetRoleId(), ROLE_SYSTEM_LIST);
    EXPECT_EQ(snapshot->GetStateId(), STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(snapshot->GetState(), AnsiToWide(GetAccStateText(STATE_SYSTEM_FOCUSABLE)));
  }
  EXPECT_EQ(fake->Calls.Location - before.Location, 1);
  EXPECT_EQ(fake->Calls.Role - before.Role, 1);
  EXPECT_EQ(fake->Calls.State - before.State, 1);
}

TEST(LiveItem_Snapshot, InnerPointSetOnTheSnapshot_StaysWhenTheRectsAreRead) {
  const FakePtr fake = NewFake();
  fake->Self.At(500, 300, 100, 20);
  const CachedItemInfoPtr snapshot = AsCachedItemInfo(ItemOver(fake));
  const int before = fake->Calls.Location;
  snapshot->SetInnerPoint({1000, 1000});
  EXPECT_EQ(snapshot->GetScreenRect(), (TRect{500, 300, 600, 320}));
  EXPECT_EQ(snapshot->GetClientRect(), (TRect{0, 0, 100, 20}));
  EXPECT_EQ(snapshot->GetInnerPoint(), (TPoint{1000, 1000}));
  EXPECT_EQ(fake->Calls.Location - before, 1);
}

// --- Parents

TEST(LiveItem_AccParent, SimpleElement_IsItsObjectWithoutAskingTheLayer) {
  const FakePtr fake = NewFake();
  const ItemInfoPtr parent = ItemOver(fake, 3)->GetAccParent();
  ASSERT_FALSE(IsNullItemInfo(parent));
  EXPECT_EQ(ObjectOf(parent), Raw(fake));
  EXPECT_EQ(ChildIdOf(parent), 0);
  EXPECT_EQ(fake->Calls.Parent, 0);
  EXPECT_EQ(parent->GetChildCount(), 0);
}

TEST(LiveItem_AccParent, ParentGivenWithSOkOrSFalse_IsTaken) {
  const FakePtr parentFake = NewFake();
  const FakePtr fake = NewFake();
  fake->Parent = parentFake->AsDispatch();
  const ItemInfoPtr item = ItemOver(fake);
  for (HRESULT result : {S_OK, S_FALSE}) {
    fake->ParentResult = result;
    const ItemInfoPtr parent = item->GetAccParent();
    ASSERT_FALSE(IsNullItemInfo(parent)) << result;
    EXPECT_EQ(ObjectOf(parent), Raw(parentFake));
    EXPECT_EQ(ChildIdOf(parent), 0);
  }
}

TEST(LiveItem_AccParent, FailureNilOrNoAccessibleObject_IsTheNullItem) {
  const FakePtr parentFake = NewFake();
  const FakePtr fake = NewFake();
  const ItemInfoPtr item = ItemOver(fake);
  fake->Parent = parentFake->AsDispatch();
  fake->ParentResult = E_FAIL;
  EXPECT_TRUE(IsNullItemInfo(item->GetAccParent()));
  fake->Parent = nullptr;
  fake->ParentResult = S_OK;
  EXPECT_TRUE(IsNullItemInfo(item->GetAccParent()));
  fake->Parent = MakeComObject<FakeDispatch>();
  EXPECT_TRUE(IsNullItemInfo(item->GetAccParent()));
}

TEST(LiveItem_Parent, AccessibleParent_IsTheParent_NoneAndNoWindowIsTheNullItem) {
  const FakePtr parentFake = NewFake();
  const FakePtr fake = NewFake();
  fake->Parent = parentFake->AsDispatch();
  EXPECT_EQ(ObjectOf(ItemOver(fake)->GetParent()), Raw(parentFake));
  fake->Parent = nullptr;
  const ItemInfoPtr parent = ItemOver(fake)->GetParent();
  ASSERT_TRUE(parent);
  EXPECT_TRUE(IsNullItemInfo(parent));
}

// --- Window properties

TEST(LiveItem_Window, HandleFromTheObject_IsFoundOnceAndKept_ZeroWithoutWindow) {
  EXPECT_EQ(ItemOver(NewFake())->GetHandle(), nullptr);
  TestWindow window(L"text");
  const FakePtr fake = NewFake();
  fake->Window = window.Get();
  const ItemInfoPtr item = ItemOver(fake);
  EXPECT_EQ(item->GetHandle(), window.Get());
  // The window found stays while it exists, whatever the object says now.
  fake->Window = nullptr;
  EXPECT_EQ(item->GetHandle(), window.Get());
  EXPECT_EQ(fake->Calls.GetWindow, 1);
}

TEST(LiveItem_Window, TextClassAndModule_ComeFromTheWindow) {
  TestWindow window(L"a\r\nb\rc");
  const FakePtr fake = NewFake();
  fake->Window = window.Get();
  const ItemInfoPtr item = ItemOver(fake);
  EXPECT_EQ(item->GetText(), "a\nbc");
  EXPECT_EQ(item->GetClassName(), "LiveItemTestWindow");
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string own(path);
  EXPECT_EQ(item->GetModuleName(), own.substr(own.find_last_of("\\:") + 1));
}

TEST(LiveItem_Window, RootItem_IsTheTopLevelWindowsItem) {
  TestWindow top(L"top");
  TestWindow child(L"child", top.Get());
  const FakePtr fake = NewFake();
  fake->Window = child.Get();
  const ItemInfoPtr root = ItemOver(fake)->GetRootItem();
  ASSERT_FALSE(IsNullItemInfo(root));
  EXPECT_EQ(root->GetHandle(), top.Get());
  EXPECT_EQ(root->GetText(), "top");
}

TEST(LiveItem_Window, WindowItem_AsksTheLayerForTheWindowsObject) {
  const testsupport::ComApartment apartment;
  const FakePtr windowObject = NewFake();
  windowObject->Self.Name = FakeText::Ok(L"own object");
  TestWindow::WindowObject = Raw(windowObject);
  TestWindow window(L"text");
  const ItemInfoPtr item = ItemInfoFromWindow(window.Get());
  EXPECT_EQ(item->GetName(), L"own object");
  EXPECT_EQ(item->GetHandle(), window.Get());
  EXPECT_EQ(item->GetAccessible().ChildIdValue(), 0);
  TestWindow::WindowObject = nullptr;
}

// An item that can reach nothing: the root item of an object without a
// window is a window item over handle 0, which has no accessible object.
TEST(LiveItem_WithoutObject, EveryOperation_GivesItsFailureValue) {
  const FakePtr fake = NewFake();
  const ItemInfoPtr item = ItemOver(fake)->GetRootItem();
  ASSERT_TRUE(item);
  ASSERT_FALSE(IsNullItemInfo(item));
  const TAcc acc = item->GetAccessible();
  EXPECT_EQ(acc.Accessible.Get(), nullptr);
  EXPECT_EQ(acc.ChildIdValue(), 0);
  EXPECT_EQ(item->GetHandle(), nullptr);
  EXPECT_EQ(item->GetRootItem()->GetHandle(), nullptr);
  EXPECT_FALSE(IsNullItemInfo(item->GetRootItem()));
  EXPECT_EQ(item->GetModuleName(), "");
  EXPECT_EQ(item->GetText(), "");
  EXPECT_EQ(item->GetClassName(), "");
  EXPECT_EQ(item->GetClientRect(), TRect{});
  EXPECT_EQ(item->GetScreenRect(), TRect{});
  EXPECT_EQ(item->GetInnerPoint(), (TPoint{0, 0}));
  ItemInfoPtr left, top, right, bottom;
  item->GetNeighbours(left, top, right, bottom);
  EXPECT_TRUE(IsNullItemInfo(left) && IsNullItemInfo(top) && IsNullItemInfo(right) &&
              IsNullItemInfo(bottom));
  EXPECT_TRUE(IsNullItemInfo(item->GetChild(0)));
  EXPECT_EQ(item->GetChildCount(), 0);
  EXPECT_TRUE(IsNullItemInfo(item->GetValidChild(0)));
  EXPECT_EQ(item->GetValidChildCount(), 0);
  EXPECT_TRUE(IsNullItemInfo(item->GetParent()));
  EXPECT_TRUE(IsNullItemInfo(item->GetAccParent()));
  EXPECT_EQ(item->GetDefaultAction(), L"");
  EXPECT_EQ(item->GetDescription(), L"");
  EXPECT_EQ(item->GetHelpTopicId(), -1);
  EXPECT_EQ(item->GetShortcut(), L"");
  EXPECT_EQ(item->GetName(), L"");
  EXPECT_EQ(item->GetRoleId(), -1);
  EXPECT_EQ(item->GetStateId(), -1);
  EXPECT_EQ(item->GetRole(), L"");
  EXPECT_EQ(item->GetState(), L"");
  EXPECT_EQ(item->GetValue(), L"");
}

// --- Children

TEST(LiveItem_Children, Elements_AreItemsOverTheSameObject) {
  const FakePtr fake = FakeWithElements(3);
  const ItemInfoPtr item = ItemOver(fake);
  ASSERT_EQ(item->GetChildCount(), 3);
  const ItemInfoPtr second = item->GetChild(1);
  EXPECT_EQ(ObjectOf(second), Raw(fake));
  EXPECT_EQ(ChildIdOf(second), 2);
}

TEST(LiveItem_Children, Elements_ShareOneQuestionForTheirWindow) {
  TestWindow window(L"text");
  const FakePtr fake = FakeWithElements(3);
  fake->Window = window.Get();
  const ItemInfoPtr item = ItemOver(fake);
  ASSERT_EQ(item->GetChildCount(), 3);
  for (int32_t index = 0; index < 3; ++index) {
    EXPECT_EQ(item->GetChild(index)->GetHandle(), window.Get()) << index;
  }
  EXPECT_EQ(fake->Calls.GetWindow, 1);
}

TEST(LiveItem_Children, ElementsOfAnObjectWithoutWindow_AskAgainLater) {
  TestWindow window(L"text");
  const FakePtr fake = FakeWithElements(1);
  const ItemInfoPtr item = ItemOver(fake);
  ASSERT_EQ(item->GetChildCount(), 1);
  const ItemInfoPtr element = item->GetChild(0);
  fake->Window = window.Get();
  EXPECT_EQ(element->GetHandle(), window.Get());
}

TEST(LiveItem_Children, ObjectChild_IsAnItemOverItsOwnObject) {
  const FakePtr child = NewFake();
  const FakePtr fake = NewFake();
  fake->Children = {Holding(child)};
  const ItemInfoPtr item = ItemOver(fake);
  ASSERT_EQ(item->GetChildCount(), 1);
  EXPECT_EQ(ObjectOf(item->GetChild(0)), Raw(child));
  EXPECT_EQ(ChildIdOf(item->GetChild(0)), 0);
}

TEST(LiveItem_Children, WithoutEnumerator_TheLayersListIsTaken) {
  const FakePtr child = NewFake();
  const FakePtr fake = NewFake();
  fake->Enumerable = false;
  fake->Children = {FakeChild::Element(1), Holding(child)};
  const ItemInfoPtr item = ItemOver(fake);
  ASSERT_EQ(item->GetChildCount(), 2);
  EXPECT_EQ(ChildIdOf(item->GetChild(0)), 1);
  EXPECT_EQ(ObjectOf(item->GetChild(1)), Raw(child));
}

TEST(LiveItem_Children, IndexOutsideTheList_GivesTheNullItemNotNil) {
  const FakePtr fake = FakeWithElements(2);
  const ItemInfoPtr item = ItemOver(fake);
  for (int32_t index : {-1, 2, 100}) {
    const ItemInfoPtr child = item->GetChild(index);
    ASSERT_TRUE(child) << index;
    EXPECT_TRUE(IsNullItemInfo(child)) << index;
  }
}

TEST(LiveItem_Children, SimpleElement_HasNoChildrenAndIsNotAsked) {
  const FakePtr fake = FakeWithElements(1);
  const ItemInfoPtr element = ItemOver(fake, 1);
  EXPECT_EQ(element->GetChildCount(), 0);
  EXPECT_EQ(element->GetValidChildCount(), 0);
  EXPECT_EQ(fake->Calls.ChildCount, 0);
}

TEST(LiveItem_Children, CountNotGivenWithSOk_IsZero) {
  const FakePtr fake = FakeWithElements(2);
  const ItemInfoPtr item = ItemOver(fake);
  fake->ChildCountResult = S_FALSE;
  EXPECT_EQ(item->GetChildCount(), 0);
  fake->ChildCountResult = E_FAIL;
  EXPECT_EQ(item->GetChildCount(), 0);
}

TEST(LiveItem_Children, NegativeCount_MeansNoChildren) {
  const FakePtr fake = NewFake();
  fake->AddElement(1);
  fake->AddElement(2);
  const ItemInfoPtr item = ItemOver(fake);
  ASSERT_EQ(item->GetChildCount(), 2);
  fake->ChildCount = -3;
  EXPECT_EQ(item->GetChildCount(), 0);
  EXPECT_TRUE(IsNullItemInfo(item->GetChild(0)));
  EXPECT_EQ(item->GetValidChildCount(), 0);
}

TEST(LiveItem_Children, NegativeCountOnAFreshItem_ListsNothing) {
  const FakePtr fake = NewFake();
  fake->AddElement(1);
  fake->ChildCount = -1;
  const ItemInfoPtr item = ItemOver(fake);
  EXPECT_EQ(item->GetChildCount(), 0);
  EXPECT_EQ(fake->Calls.Next, 0);
  EXPECT_EQ(fake->Calls.Child, 0);
}

TEST(LiveItem_Children, CountBeyondTheLimit_IsNotAskedFor) {
  // With an enumerator the object lists what it holds; without one the
  // layer makes an element of every child id up to the count asked for.
  const struct {
    bool enumerable;
    int32_t listed;
  } cases[] = {{true, 3}, {false, kMaxChildCount}};
  for (const auto& c : cases) {
    const FakePtr fake = FakeWithElements(3);
    fake->ChildCount = INT32_MAX;
    fake->Enumerable = c.enumerable;
    const ItemInfoPtr item = ItemOver(fake);
    EXPECT_EQ(item->GetChildCount(), c.listed) << c.enumerable;
    EXPECT_EQ(ChildIdOf(item->GetChild(c.listed - 1)), c.listed) << c.enumerable;
  }
}

TEST(LiveItem_Children, FewerChildrenThanReported_AreListedAgainOnEveryCount) {
  const FakePtr fake = FakeWithElements(4);
  fake->ChildCount = 5;
  const ItemInfoPtr item = ItemOver(fake);
  EXPECT_EQ(item->GetChildCount(), 4);
  const int resets = fake->Calls.Reset;
  EXPECT_EQ(item->GetChildCount(), 4);
  EXPECT_GT(fake->Calls.Reset, resets);
}

TEST(LiveItem_Children, LockedList_IsNotListedAgainUntilUnlocked) {
  const FakePtr fake = FakeWithElements(4);
  fake->ChildCount = 5;
  const ItemInfoPtr item = ItemOver(fake);
  ComPtr<IItemChildLock> lock;
  ASSERT_EQ(item.As(&lock), S_OK);
  EXPECT_EQ(lock->LockChildren(), 4);
  const int resets = fake->Calls.Reset;
  const int counts = fake->Calls.ChildCount;
  fake->Children.pop_back();
  EXPECT_EQ(item->GetChildCount(), 4);
  EXPECT_FALSE(IsNullItemInfo(item->GetChild(3)));
  EXPECT_EQ(fake->Calls.Reset, resets);
  // Nor is the layer asked for a count that could not change the list.
  EXPECT_EQ(fake->Calls.ChildCount, counts);
  lock->UnlockChildren();
  EXPECT_EQ(item->GetChildCount(), 3);
}

TEST(LiveItem_Children, LockChildren_ListsOnceEvenWhenTheLengthMatches) {
  const FakePtr fake = FakeWithElements(2);
  const ItemInfoPtr item = ItemOver(fake);
  ComPtr<IItemChildLock> lock;
  ASSERT_EQ(item.As(&lock), S_OK);
  ASSERT_EQ(lock->LockChildren(), 2);
  // Locking again unlocks first, so a changed count is listed anew.
  fake->Children.push_back(FakeChild::Element(3));
  EXPECT_EQ(lock->LockChildren(), 3);
  lock->UnlockChildren();
}

TEST(LiveItem_Children, FailedObjectEntry_ReadsAsTheNullItemNotTheEarlierChild) {
  const FakePtr first = NewFake();
  first->Self.Name = FakeText::Ok(L"first");
  const FakePtr fake = NewFake();
  fake->Children = {Holding(first)};
  const ItemInfoPtr item = ItemOver(fake);
  ASSERT_EQ(item->GetChildCount(), 1);
  ASSERT_EQ(item->GetChild(0)->GetName(), L"first");
  // The same place now holds an object that is no accessible object.
  fake->Children = {FakeChild::OfObject(MakeComObject<FakeDispatch>()), FakeChild::Element(2)};
  ASSERT_EQ(item->GetChildCount(), 2);
  const ItemInfoPtr child = item->GetChild(0);
  ASSERT_TRUE(child);
  EXPECT_TRUE(IsNullItemInfo(child));
  EXPECT_EQ(ChildIdOf(item->GetChild(1)), 2);
}

TEST(LiveItem_Children, EnumerationAfterAShortList_LeaksNoChild) {
  int destroyed = 0;
  {
    const FakePtr fake = NewFake();
    for (int i = 0; i < 2; ++i) {
      fake->Children.push_back(Holding(NewFake(&destroyed)));
    }
    // The layer's list comes out short, so the enumerator is asked again
    // into the same elements.
    fake->ChildCount = 3;
    const ItemInfoPtr item = ItemOver(fake);
    EXPECT_EQ(item->GetChildCount(), 2);
    EXPECT_EQ(item->GetChildCount(), 2);
    fake->Children.clear();
  }
  EXPECT_EQ(destroyed, 2);
}

TEST(LiveItem_Children, ShortBatch_EndsAtItsNullElementAndReleasesTheRest) {
  int destroyed = 0;
  {
    const FakePtr fake = NewFake();
    fake->Children = {Holding(NewFake(&destroyed)), FakeChild::Null(),
                      Holding(NewFake(&destroyed))};
    fake->NextResult = S_FALSE;
    const ItemInfoPtr item = ItemOver(fake);
    EXPECT_EQ(item->GetChildCount(), 1);
    EXPECT_FALSE(IsNullItemInfo(item->GetChild(0)));
    fake->Children.clear();
  }
  EXPECT_EQ(destroyed, 2);
}

TEST(LiveItem_Children, BatchThatStartsWithNull_EndsTheEnumeration) {
  const FakePtr fake = NewFake();
  fake->Children = {FakeChild::Null(), FakeChild::Element(1)};
  fake->NextResult = S_FALSE;
  const ItemInfoPtr item = ItemOver(fake);
  EXPECT_EQ(item->GetChildCount(), 0);
  EXPECT_LT(fake->Calls.Next, 10);
}

TEST(LiveItem_ValidChildren, InvisibleAndUnreadableStates_AreNotValid) {
  const FakePtr fake = FakeWithElements(4);
  fake->Elements[1].State = FakeVariant::I4(STATE_SYSTEM_INVISIBLE);
  fake->Elements[2].State = FakeVariant::I4(STATE_SYSTEM_FOCUSABLE);
  fake->Elements[3].StateResult = E_FAIL;
  fake->Elements[4].State = FakeVariant::I4(0);
  const ItemInfoPtr item = ItemOver(fake);
  EXPECT_EQ(item->GetChildCount(), 4);
  EXPECT_EQ(item->GetValidChildCount(), 2);
  EXPECT_EQ(ChildIdOf(item->GetValidChild(0)), 2);
  EXPECT_EQ(ChildIdOf(item->GetValidChild(1)), 4);
  EXPECT_TRUE(IsNullItemInfo(item->GetValidChild(2)));
  EXPECT_TRUE(IsNullItemInfo(item->GetValidChild(-1)));
}

TEST(LiveItem_ValidChildren, Count_UnlocksWhatItLockedAndKeepsACallersLock) {
  const FakePtr fake = NewFake();
  fake->AddElement(1);
  fake->AddElement(2);
  const ItemInfoPtr item = ItemOver(fake);
  ASSERT_EQ(item->GetValidChildCount(), 2);
  fake->AddElement(3);
  // Not left locked: the third child is seen.
  EXPECT_EQ(item->GetChildCount(), 3);

  ComPtr<IItemChildLock> lock;
  ASSERT_EQ(item.As(&lock), S_OK);
  lock->LockChildren();
  fake->AddElement(4);
  EXPECT_EQ(item->GetValidChildCount(), 3);
  // Still locked by the caller.
  EXPECT_EQ(item->GetChildCount(), 3);
  lock->UnlockChildren();
  EXPECT_EQ(item->GetChildCount(), 4);
  EXPECT_EQ(item->GetValidChildCount(), 4);
}

// --- Neighbours

TEST(LiveItem_Neighbours, SiblingElements_AreFoundBesideTheItem) {
  const FakePtr fake = FakeWithElements(3);
  fake->Elements[1].At(0, 0, 50, 20);
  fake->Elements[2].At(60, 0, 50, 20);
  fake->Elements[3].At(120, 0, 50, 20);
  ItemInfoPtr left, top, right, bottom;
  ItemOver(fake, 2)->GetNeighbours(left, top, right, bottom);
  EXPECT_EQ(ChildIdOf(left), 1);
  EXPECT_EQ(ChildIdOf(right), 3);
  EXPECT_TRUE(IsNullItemInfo(top));
  EXPECT_TRUE(IsNullItemInfo(bottom));
}

// --- Parent search through the window's tree

namespace {

// A window of this process whose own object is `windowObject`, and an
// object inside it whose accessible parent is unknown.
struct WindowTree {
  testsupport::ComApartment apartment;
  FakePtr windowObject = NewFake();
  FakePtr target = NewFake();
  std::unique_ptr<TestWindow> window;

  WindowTree() {
    TestWindow::WindowObject = Raw(windowObject);
    window = std::make_unique<TestWindow>(L"tree");
    windowObject->Self.Role = FakeVariant::I4(ROLE_SYSTEM_WINDOW);
    windowObject->Self.At(0, 0, 400, 300);
    target->Window = window->Get();
    target->Parent = nullptr;
    target->Self = Looks(L"target", ROLE_SYSTEM_PUSHBUTTON, 10, 10, 100, 50);
  }
  ~WindowTree() { TestWindow::WindowObject = nullptr; }

  static FakeAnswers Looks(const wchar_t* name, LONG role, LONG left, LONG top, LONG width,
                           LONG height) {
    FakeAnswers answers;
    answers.Name = FakeText::Ok(name);
    answers.Role = FakeVariant::I4(role);
    answers.At(left, top, width, height);
    return answers;
  }

  // An object without an accessible parent, as the target is.
  static FakePtr Object(const FakeAnswers& looks) {
    FakePtr object = NewFake();
    object->Self = looks;
    return object;
  }

  // A look-alike of the target: the same answers, no accessible parent.
  FakePtr Twin() const { return Object(target->Self); }

  // Same rectangle as the target, another name: not the item, but it may
  // hold it.
  static FakePtr Pane() { return Object(Looks(L"pane", 16, 10, 10, 100, 50)); }
};

}  // namespace

TEST(LiveItem_WindowTreeParent, LookAlikeAmongTheWindowsChildren_MakesTheWindowTheParent) {
  WindowTree tree;
  const FakePtr other = WindowTree::Object(WindowTree::Looks(L"other", 43, 200, 200, 50, 50));
  tree.windowObject->Children = {Holding(other), Holding(tree.Twin())};
  const ItemInfoPtr parent = ItemOver(tree.target)->GetParent();
  ASSERT_FALSE(IsNullItemInfo(parent));
  EXPECT_EQ(ObjectOf(parent), Raw(tree.windowObject));
  EXPECT_EQ(parent->GetHandle(), tree.window->Get());
}

TEST(LiveItem_WindowTreeParent, ChildWithinTheItem_IsDescendedInto) {
  WindowTree tree;
  const FakePtr pane = WindowTree::Pane();
  pane->Children = {Holding(tree.Twin())};
  tree.windowObject->Children = {Holding(pane)};
  const ItemInfoPtr parent = ItemOver(tree.target)->GetParent();
  ASSERT_FALSE(IsNullItemInfo(parent));
  EXPECT_EQ(ObjectOf(parent), Raw(pane));
}

TEST(LiveItem_WindowTreeParent, LookAlikeWithAParentOfItsOwn_IsNoMatch) {
  WindowTree tree;
  const FakePtr twin = tree.Twin();
  twin->Parent = tree.windowObject->AsDispatch();
  tree.windowObject->Children = {Holding(twin)};
  EXPECT_TRUE(IsNullItemInfo(ItemOver(tree.target)->GetParent()));
  twin->Parent = nullptr;
}

TEST(LiveItem_WindowTreeParent, NoChildWithinTheItem_GivesTheNullItem) {
  WindowTree tree;
  tree.windowObject->Children = {
      Holding(WindowTree::Object(WindowTree::Looks(L"target", 43, 0, 0, 400, 300)))};
  EXPECT_TRUE(IsNullItemInfo(ItemOver(tree.target)->GetParent()));
}

TEST(LiveItem_WindowTreeParent, PaneListedAmongItsOwnChildren_EndsTheSearchWithTheNullItem) {
  WindowTree tree;
  // Within the item and no look-alike, so the search descends into it, and
  // it lists itself again at every level.
  const FakePtr pane = WindowTree::Pane();
  pane->Children = {Holding(pane)};
  tree.windowObject->Children = {Holding(pane)};
  EXPECT_TRUE(IsNullItemInfo(ItemOver(tree.target)->GetParent()));
  // Each level asks for its count a few times, whatever the tree.
  EXPECT_LE(pane->Calls.ChildCount, 10 * kMaxTreeWalkDepth);
  pane->Children.clear();
}

TEST(LiveItem_WindowTreeParent, LookAlikeDeeperThanTheBound_IsNotFound) {
  const struct {
    int panes;
    bool found;
  } cases[] = {{kMaxTreeWalkDepth, true}, {kMaxTreeWalkDepth + 1, false}};
  for (const auto& c : cases) {
    WindowTree tree;
    // A chain of panes within the item, each the only child of the one
    // before, with the look-alike below the last.
    std::vector<FakePtr> panes;
    FakePtr below = tree.Twin();
    for (int i = 0; i < c.panes; ++i) {
      panes.push_back(WindowTree::Pane());
      panes.back()->Children = {Holding(below)};
      below = panes.back();
    }
    tree.windowObject->Children = {Holding(below)};
    const ItemInfoPtr parent = ItemOver(tree.target)->GetParent();
    EXPECT_EQ(!IsNullItemInfo(parent), c.found) << c.panes << " panes";
    if (c.found && !IsNullItemInfo(parent)) {
      EXPECT_EQ(ObjectOf(parent), Raw(panes.front()));
    }
  }
}

TEST(LiveItem_WindowTreeParent, ItemWithTheWindowRole_IsNotSearchedFor) {
  WindowTree tree;
  tree.target->Self.Role = FakeVariant::I4(ROLE_SYSTEM_WINDOW);
  tree.windowObject->Children = {Holding(tree.Twin())};
  EXPECT_TRUE(IsNullItemInfo(ItemOver(tree.target)->GetParent()));
  EXPECT_EQ(tree.windowObject->Calls.ChildCount, 0);
}

TEST(LiveItem_WindowTreeParent, WindowRole_LeavesTheGivenParent) {
  const FakePtr fake = NewFake();
  fake->Self.Role = FakeVariant::I4(ROLE_SYSTEM_WINDOW);
  ItemInfoPtr parent = ItemOver(NewFake());
  IItemInfo* before = parent.Get();
  FindParentInWindowTree(ItemOver(fake).Get(), parent);
  EXPECT_EQ(parent.Get(), before);
}

// --- List-view rows

namespace {

// A report-style list view of this process with the columns Name and Size
// and one row, a.txt and 3 KB. Given a class name, the control's class is
// registered again under that name: a window that answers every list-view
// message as the control does, but whose class does not say so.
class TestListView {
 public:
  explicit TestListView(const wchar_t* className = WC_LISTVIEWW) {
    // The control's classes come with the library; linking it is not
    // needed for a window of its class.
    comctl32_ = LoadLibraryW(L"comctl32.dll");
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    // Through the generic function type, which any function pointer may
    // be cast to and from.
    const auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(comctl32_, "InitCommonControlsEx")));
    if (init != nullptr) {
      INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
      init(&controls);
    }
    if (wcscmp(className, WC_LISTVIEWW) != 0) RegisterListViewAs(className);
    window_.Reset(CreateWindowExW(0, className, L"", WS_POPUP | LVS_REPORT, 0, 0, 300, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    AddColumn(0, L"Name");
    AddColumn(1, L"Size");
    LVITEMW row{};
    row.mask = LVIF_TEXT;
    row.iItem = 0;
    row.pszText = const_cast<wchar_t*>(L"a.txt");
    SendMessageW(window_.Get(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
    LVITEMW cell{};
    cell.iSubItem = 1;
    cell.pszText = const_cast<wchar_t*>(L"3 KB");
    SendMessageW(window_.Get(), LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&cell));
  }
  HWND Get() const { return window_.Get(); }

 private:
  static void RegisterListViewAs(const wchar_t* className) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(nullptr, WC_LISTVIEWW, &windowClass)) return;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);  // a second registration fails harmlessly
  }

  void AddColumn(int index, const wchar_t* header) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<wchar_t*>(header);
    SendMessageW(window_.Get(), LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
  }

  HMODULE comctl32_ = nullptr;
  testsupport::UniqueWindow window_;
};

}  // namespace

// A row of a list view (a simple element of the control's object) with an
// empty description answered with S_OK gets "header: cell" pairs instead;
// every other description stays.
TEST(LiveItem_ListViewRow, EmptyDescriptionOfARow_BecomesHeadersAndCells) {
  const struct {
    const char* name;
    const wchar_t* windowClass;
    LONG childId;
    FakeText description;
    std::wstring expected;
  } cases[] = {
      {"empty description of a row", WC_LISTVIEWW, 1, FakeText::Ok(L""),
       L"Name: a.txt; Size: 3 KB"},
      {"the list view's own object", WC_LISTVIEWW, CHILDID_SELF, FakeText::Ok(L"Files"), L"Files"},
      {"a longer description", WC_LISTVIEWW, 1,
       FakeText::Ok(L"A description longer than the cells"), L"A description longer than the cells"},
      {"a failed description", WC_LISTVIEWW, 1, FakeText::With(S_FALSE, L""), L""},
      {"a window of another class", L"LiveItemTestGrid", 1, FakeText::Ok(L""), L""},
  };
  for (const auto& c : cases) {
    TestListView listView(c.windowClass);
    ASSERT_NE(listView.Get(), nullptr) << c.name;
    ASSERT_EQ(SendMessageW(listView.Get(), LVM_GETITEMCOUNT, 0, 0), 1) << c.name;
    const FakePtr fake = NewFake();
    fake->Window = listView.Get();
    (c.childId == CHILDID_SELF ? fake->Self : fake->Elements[c.childId]).Description =
        c.description;
    EXPECT_EQ(ItemOver(fake, c.childId)->GetDescription(), c.expected) << c.name;
  }
}
