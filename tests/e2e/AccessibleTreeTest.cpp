// The fixture's tree window as another process sees it through the
// accessibility layer: hit tests down to simple elements, children, the
// parent chain, the window behind each object, locations and the texts of
// AccessibleTreeLayout.h. Where Wine's own objects take part (above the
// tree's window object) the tests pin what Wine does.

#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "AccessibleTreeLayout.h"
#include "FixtureLayout.h"
#include "TestSupport.h"
#include "TreeWindowTest.h"
#include "Utf.h"

namespace {

using Microsoft::WRL::ComPtr;
using namespace testsupport;
namespace acctree = fixture::acctree;

// Owns a VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  explicit Variant(LONG childId) : Variant() {
    value_.vt = VT_I4;
    value_.lVal = childId;
  }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* Receive() {
    VariantClear(&value_);
    return &value_;
  }
  const VARIANT& Get() const { return value_; }

 private:
  VARIANT value_;
};

// A text property and the result code that came with it.
struct Text {
  HRESULT result;
  std::wstring text;
};

using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
using VariantGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);

Text TextOf(IAccessible* object, LONG childId, TextGetter getter) {
  BSTR text = nullptr;
  const HRESULT result = (object->*getter)(Variant(childId).Get(), &text);
  Text taken{result, text ? std::wstring(text, SysStringLen(text)) : std::wstring()};
  SysFreeString(text);
  return taken;
}

std::wstring NameOf(IAccessible* object, LONG childId) {
  return TextOf(object, childId, &IAccessible::get_accName).text;
}

// A role or state; -1 when the call fails or gives no integer.
LONG IntegerOf(IAccessible* object, LONG childId, VariantGetter getter) {
  Variant value;
  if ((object->*getter)(Variant(childId).Get(), value.Receive()) != S_OK) return -1;
  return value.Get().vt == VT_I4 ? value.Get().lVal : -1;
}

LONG RoleOf(IAccessible* object, LONG childId = CHILDID_SELF) {
  return IntegerOf(object, childId, &IAccessible::get_accRole);
}

LONG StateOf(IAccessible* object, LONG childId = CHILDID_SELF) {
  return IntegerOf(object, childId, &IAccessible::get_accState);
}

LONG ChildCountOf(IAccessible* object) {
  LONG count = -1;
  return object->get_accChildCount(&count) == S_OK ? count : -1;
}

using Edges = std::array<LONG, 4>;

Edges EdgesOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The location as left, top, right, bottom; all 0 when the call fails.
Edges LocationOf(IAccessible* object, LONG childId) {
  LONG left = 0, top = 0, width = 0, height = 0;
  if (object->accLocation(&left, &top, &width, &height, Variant(childId).Get()) != S_OK) {
    return {};
  }
  return {left, top, left + width, top + height};
}

HWND WindowOf(IAccessible* object) {
  HWND window = nullptr;
  return WindowFromAccessibleObject(object, &window) == S_OK ? window : nullptr;
}

ComPtr<IAccessible> AsAccessible(IDispatch* dispatch) {
  ComPtr<IAccessible> object;
  if (dispatch) dispatch->QueryInterface(__uuidof(IAccessible), &object);
  return object;
}

// An object with a child id: what a hit test, a list of children or a
// parent gives. The child id is -1 when none came as an integer.
struct Found {
  HRESULT result = E_FAIL;
  ComPtr<IAccessible> object;
  LONG childId = -1;
};

Found FromVariant(HRESULT result, const VARIANT& value) {
  Found found;
  found.result = result;
  if (value.vt == VT_DISPATCH) {
    found.object = AsAccessible(value.pdispVal);
    found.childId = CHILDID_SELF;
  } else if (value.vt == VT_I4) {
    found.childId = value.lVal;
  }
  return found;
}

Found ObjectAtPoint(POINT point) {
  Found found;
  Variant childId;
  found.result = AccessibleObjectFromPoint(point, &found.object, childId.Receive());
  if (childId.Get().vt == VT_I4) found.childId = childId.Get().lVal;
  return found;
}

Found ParentOf(IAccessible* object) {
  Found found;
  ComPtr<IDispatch> parent;
  found.result = object->get_accParent(&parent);
  found.object = AsAccessible(parent.Get());
  if (found.object) found.childId = CHILDID_SELF;
  return found;
}

Found ChildOf(IAccessible* object, LONG childId) {
  Found found;
  ComPtr<IDispatch> child;
  found.result = object->get_accChild(Variant(childId).Get(), &child);
  found.object = AsAccessible(child.Get());
  if (found.object) found.childId = CHILDID_SELF;
  return found;
}

struct Children {
  HRESULT result = E_FAIL;
  std::vector<Found> found;
};

Children ChildrenOf(IAccessible* object, LONG start, LONG count) {
  std::vector<VARIANT> variants(count);
  LONG obtained = 0;
  Children children;
  children.result = AccessibleChildren(object, start, count, variants.data(), &obtained);
  for (LONG i = 0; i < obtained && i < count; ++i) {
    children.found.push_back(FromVariant(S_OK, variants[i]));
  }
  for (VARIANT& variant : variants) VariantClear(&variant);
  return children;
}

Found HitTest(IAccessible* object, POINT point) {
  Variant hit;
  const HRESULT result = object->accHitTest(point.x, point.y, hit.Receive());
  return FromVariant(result, hit.Get());
}

std::string NodeLabel(int node) {
  return std::to_string(node) + " \"" + Utf16ToUtf8(acctree::Node(node).name) + "\"";
}

// Reaches the tree's objects and places on the screen.
class AccessibleTreeTest : public TreeWindowTest {
 protected:
  ComPtr<IAccessible> FromWindow(LONG objectId) const {
    ComPtr<IAccessible> object;
    AccessibleObjectFromWindow(tree_, static_cast<DWORD>(objectId),
                               __uuidof(IAccessible), &object);
    return object;
  }

  // The object that answers for the node (acctree::ObjectOf), reached from
  // the window object down through accChild.
  ComPtr<IAccessible> ObjectFor(int node) const {
    const int object = acctree::ObjectOf(node);
    if (object == acctree::kWindowNode) return FromWindow(OBJID_WINDOW);
    const ComPtr<IAccessible> parent = ObjectFor(acctree::ParentOf(object));
    if (!parent) return nullptr;
    return ChildOf(parent.Get(), acctree::PositionInParent(object)).object;
  }

  Edges ScreenEdges(int node) const { return EdgesOf(acctree::ScreenRect(node, treeOrigin_)); }
  POINT Centre(int node) const { return acctree::ScreenCentre(node, treeOrigin_); }
  POINT Inside(int node, int dx, int dy) const {
    const fixture::ClientRect& rect = acctree::Node(node).rect;
    return POINT{treeOrigin_.x + rect.left + dx, treeOrigin_.y + rect.top + dy};
  }
};

using AccessibleTree_FromPoint = AccessibleTreeTest;
using AccessibleTree_HitTest = AccessibleTreeTest;
using AccessibleTree_FromWindow = AccessibleTreeTest;
using AccessibleTree_Children = AccessibleTreeTest;
using AccessibleTree_Parent = AccessibleTreeTest;
using AccessibleTree_Window = AccessibleTreeTest;
using AccessibleTree_Location = AccessibleTreeTest;
using AccessibleTree_Properties = AccessibleTreeTest;

TEST_F(AccessibleTree_FromPoint, VisibleElementCentre_GivesTheElementInItsObject) {
  for (int node = 0; node < acctree::kNodeCount; ++node) {
    if (acctree::IsObject(node) || acctree::IsInvisible(node)) continue;
    SCOPED_TRACE(NodeLabel(node));
    const Found found = ObjectAtPoint(Centre(node));
    ASSERT_EQ(S_OK, found.result);
    ASSERT_NE(nullptr, found.object.Get());
    EXPECT_EQ(acctree::ChildIdOf(node), found.childId);
    EXPECT_EQ(acctree::Node(node).name, NameOf(found.object.Get(), found.childId));
    EXPECT_EQ(acctree::Node(node).role, RoleOf(found.object.Get(), found.childId));
    const int object = acctree::ObjectOf(node);
    EXPECT_EQ(acctree::Node(object).name, NameOf(found.object.Get(), CHILDID_SELF));
    EXPECT_EQ(acctree::Node(object).role, RoleOf(found.object.Get()));
  }
}

// Points that no simple element answers for give the object itself.
TEST_F(AccessibleTree_FromPoint, PlaceOfNoVisibleElement_GivesTheObjectItself) {
  const struct {
    const char* name;
    POINT point;
    const wchar_t* objectName;
    LONG role;
  } cases[] = {
      {"invisible element centre: its group", Centre(acctree::kInvisibleNode), L"Letters",
       ROLE_SYSTEM_GROUPING},
      {"group caption: the group", Inside(acctree::kKeypadNode, 3, 3), L"Keypad",
       ROLE_SYSTEM_GROUPING},
      {"client margin: the client", Inside(acctree::kClientNode, 1, 1), L"Accessible tree",
       ROLE_SYSTEM_CLIENT},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    const Found found = ObjectAtPoint(row.point);
    ASSERT_EQ(S_OK, found.result);
    ASSERT_NE(nullptr, found.object.Get());
    EXPECT_EQ(CHILDID_SELF, found.childId);
    EXPECT_EQ(row.objectName, NameOf(found.object.Get(), CHILDID_SELF));
    EXPECT_EQ(row.role, RoleOf(found.object.Get()));
  }
}

TEST_F(AccessibleTree_HitTest, LettersGroup_ItselfAtItsInvisibleElementNothingOutside) {
  const ComPtr<IAccessible> letters = ObjectFor(acctree::kLettersNode);
  ASSERT_NE(nullptr, letters.Get());
  const struct {
    const char* name;
    int node;
    HRESULT result;
    LONG childId;
  } cases[] = {
      {"at its invisible element: itself", acctree::kInvisibleNode, S_OK, CHILDID_SELF},
      {"outside its rectangle: nothing", acctree::kCentreKeyNode, S_FALSE, -1},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    const Found hit = HitTest(letters.Get(), Centre(row.node));
    EXPECT_EQ(row.result, hit.result);
    EXPECT_EQ(nullptr, hit.object.Get());
    EXPECT_EQ(row.childId, hit.childId);
  }
}

TEST_F(AccessibleTree_HitTest, WindowObject_GivesTheClientObject) {
  const ComPtr<IAccessible> window = FromWindow(OBJID_WINDOW);
  ASSERT_NE(nullptr, window.Get());
  const Found hit = HitTest(window.Get(), Centre(acctree::kStatusNode));
  EXPECT_EQ(S_OK, hit.result);
  ASSERT_NE(nullptr, hit.object.Get());
  EXPECT_EQ(ROLE_SYSTEM_CLIENT, RoleOf(hit.object.Get()));
}

TEST_F(AccessibleTree_FromWindow, ClientObject_HasTheLayoutsRoleNameAndChildCount) {
  const ComPtr<IAccessible> client = FromWindow(OBJID_CLIENT);
  ASSERT_NE(nullptr, client.Get());
  EXPECT_EQ(ROLE_SYSTEM_CLIENT, RoleOf(client.Get()));
  EXPECT_EQ(L"Accessible tree", NameOf(client.Get(), CHILDID_SELF));
  EXPECT_EQ(acctree::ChildCount(acctree::kClientNode), ChildCountOf(client.Get()));
  EXPECT_EQ(4, ChildCountOf(client.Get()));
}

TEST_F(AccessibleTree_FromWindow, WindowObject_HasRoleWindowAndTheClientAsOnlyChild) {
  const ComPtr<IAccessible> window = FromWindow(OBJID_WINDOW);
  ASSERT_NE(nullptr, window.Get());
  EXPECT_EQ(ROLE_SYSTEM_WINDOW, RoleOf(window.Get()));
  EXPECT_EQ(L"Accessible tree", NameOf(window.Get(), CHILDID_SELF));
  EXPECT_EQ(1, ChildCountOf(window.Get()));
  const Found child = ChildOf(window.Get(), 1);
  EXPECT_EQ(S_OK, child.result);
  ASSERT_NE(nullptr, child.object.Get());
  EXPECT_EQ(ROLE_SYSTEM_CLIENT, RoleOf(child.object.Get()));

  const Children children = ChildrenOf(window.Get(), 0, 1);
  EXPECT_EQ(S_OK, children.result);
  ASSERT_EQ(1u, children.found.size());
  ASSERT_NE(nullptr, children.found[0].object.Get());
  EXPECT_EQ(ROLE_SYSTEM_CLIENT, RoleOf(children.found[0].object.Get()));
}

TEST_F(AccessibleTree_Children, Client_ListsGroupsAsObjectsAndStatusByChildId) {
  const ComPtr<IAccessible> client = FromWindow(OBJID_CLIENT);
  ASSERT_NE(nullptr, client.Get());
  const LONG count = acctree::ChildCount(acctree::kClientNode);
  const Children children = ChildrenOf(client.Get(), 0, count);
  EXPECT_EQ(S_OK, children.result);
  ASSERT_EQ(static_cast<size_t>(count), children.found.size());
  for (LONG position = 1; position <= count; ++position) {
    const int node = acctree::ChildAt(acctree::kClientNode, position);
    SCOPED_TRACE(NodeLabel(node));
    const Found& child = children.found[position - 1];
    if (acctree::IsObject(node)) {
      ASSERT_NE(nullptr, child.object.Get());
      EXPECT_EQ(acctree::Node(node).name, NameOf(child.object.Get(), CHILDID_SELF));
      EXPECT_EQ(ROLE_SYSTEM_GROUPING, RoleOf(child.object.Get()));
    } else {
      EXPECT_EQ(nullptr, child.object.Get());
      EXPECT_EQ(position, child.childId);
      EXPECT_EQ(acctree::Node(node).name, NameOf(client.Get(), child.childId));
    }
  }
}

TEST_F(AccessibleTree_Children, AskedForMoreThanThereAre_GivesAllWithSFalse) {
  const ComPtr<IAccessible> client = FromWindow(OBJID_CLIENT);
  ASSERT_NE(nullptr, client.Get());
  const Children children = ChildrenOf(client.Get(), 0, 10);
  EXPECT_EQ(S_FALSE, children.result);
  EXPECT_EQ(4u, children.found.size());
}

TEST_F(AccessibleTree_Children, FromAStart_SkipsTheChildrenBeforeIt) {
  const ComPtr<IAccessible> client = FromWindow(OBJID_CLIENT);
  ASSERT_NE(nullptr, client.Get());
  const Children children = ChildrenOf(client.Get(), 2, 2);
  EXPECT_EQ(S_OK, children.result);
  ASSERT_EQ(2u, children.found.size());
  ASSERT_NE(nullptr, children.found[0].object.Get());
  EXPECT_EQ(L"Letters", NameOf(children.found[0].object.Get(), CHILDID_SELF));
  EXPECT_EQ(acctree::ChildIdOf(acctree::kStatusNode), children.found[1].childId);
}

TEST_F(AccessibleTree_Children, Group_ListsItsElementsByChildIdTheInvisibleOneToo) {
  for (const int group : {acctree::kKeypadNode, acctree::kColoursNode, acctree::kLettersNode}) {
    SCOPED_TRACE(NodeLabel(group));
    const ComPtr<IAccessible> object = ObjectFor(group);
    ASSERT_NE(nullptr, object.Get());
    const LONG count = acctree::ChildCount(group);
    EXPECT_EQ(count, ChildCountOf(object.Get()));
    const Children children = ChildrenOf(object.Get(), 0, count);
    EXPECT_EQ(S_OK, children.result);
    ASSERT_EQ(static_cast<size_t>(count), children.found.size());
    for (LONG position = 1; position <= count; ++position) {
      const int node = acctree::ChildAt(group, position);
      SCOPED_TRACE(NodeLabel(node));
      EXPECT_EQ(nullptr, children.found[position - 1].object.Get());
      EXPECT_EQ(position, children.found[position - 1].childId);
      EXPECT_EQ(acctree::Node(node).name, NameOf(object.Get(), position));
      EXPECT_EQ(acctree::Node(node).state, StateOf(object.Get(), position));
    }
  }
  EXPECT_EQ(STATE_SYSTEM_INVISIBLE,
            StateOf(ObjectFor(acctree::kInvisibleNode).Get(),
                    acctree::ChildIdOf(acctree::kInvisibleNode)) &
                STATE_SYSTEM_INVISIBLE);
}

TEST_F(AccessibleTree_Children, SimpleElement_HasNoObjectOfItsOwn) {
  const ComPtr<IAccessible> keypad = ObjectFor(acctree::kKeypadNode);
  ASSERT_NE(nullptr, keypad.Get());
  const Found element = ChildOf(keypad.Get(), acctree::ChildIdOf(acctree::kCentreKeyNode));
  EXPECT_EQ(S_FALSE, element.result);
  EXPECT_EQ(nullptr, element.object.Get());
  EXPECT_EQ(E_INVALIDARG, ChildOf(keypad.Get(), CHILDID_SELF).result);
  EXPECT_EQ(E_INVALIDARG, ChildOf(keypad.Get(), acctree::ChildCount(acctree::kKeypadNode) + 1).result);
}

TEST_F(AccessibleTree_Parent, FromAnElement_GroupThenClientThenWindowObject) {
  const Found element = ObjectAtPoint(Centre(acctree::kCentreKeyNode));
  ASSERT_NE(nullptr, element.object.Get());
  ASSERT_EQ(5, element.childId);
  EXPECT_EQ(L"Keypad", NameOf(element.object.Get(), CHILDID_SELF));

  const Found client = ParentOf(element.object.Get());
  EXPECT_EQ(S_OK, client.result);
  ASSERT_NE(nullptr, client.object.Get());
  EXPECT_EQ(ROLE_SYSTEM_CLIENT, RoleOf(client.object.Get()));
  EXPECT_EQ(L"Accessible tree", NameOf(client.object.Get(), CHILDID_SELF));
  EXPECT_EQ(tree_, WindowOf(client.object.Get()));

  const Found window = ParentOf(client.object.Get());
  EXPECT_EQ(S_OK, window.result);
  ASSERT_NE(nullptr, window.object.Get());
  EXPECT_EQ(ROLE_SYSTEM_WINDOW, RoleOf(window.object.Get()));
  EXPECT_EQ(L"Accessible tree", NameOf(window.object.Get(), CHILDID_SELF));
  EXPECT_EQ(tree_, WindowOf(window.object.Get()));
}

// Above the tree's window object come Wine's own objects of the fixture's
// top-level window: its client object, which is complete, and then its
// window object, a stub that answers every getter, accParent and
// accLocation included, with E_NOTIMPL. The chain ends there.
TEST_F(AccessibleTree_Parent, AboveTheWindowObject_FixturesClientThenAStubWindowObject) {
  const ComPtr<IAccessible> window = FromWindow(OBJID_WINDOW);
  ASSERT_NE(nullptr, window.Get());

  const Found holder = ParentOf(window.Get());
  EXPECT_EQ(S_OK, holder.result);
  ASSERT_NE(nullptr, holder.object.Get());
  EXPECT_EQ(ROLE_SYSTEM_CLIENT, RoleOf(holder.object.Get()));
  EXPECT_EQ(fixture::kWindowTitle, NameOf(holder.object.Get(), CHILDID_SELF));
  EXPECT_EQ(fixture_->Window(), WindowOf(holder.object.Get()));

  const Found top = ParentOf(holder.object.Get());
  EXPECT_EQ(S_OK, top.result);
  ASSERT_NE(nullptr, top.object.Get());
  EXPECT_EQ(fixture_->Window(), WindowOf(top.object.Get()));
  Variant role;
  EXPECT_EQ(E_NOTIMPL, top.object->get_accRole(Variant(CHILDID_SELF).Get(), role.Receive()));
  EXPECT_EQ(E_NOTIMPL, TextOf(top.object.Get(), CHILDID_SELF, &IAccessible::get_accName).result);
  LONG count = 0;
  EXPECT_EQ(E_NOTIMPL, top.object->get_accChildCount(&count));
  LONG left = 0, topEdge = 0, width = 0, height = 0;
  EXPECT_EQ(E_NOTIMPL, top.object->accLocation(&left, &topEdge, &width, &height,
                                               Variant(CHILDID_SELF).Get()));

  const Found beyond = ParentOf(top.object.Get());
  EXPECT_EQ(E_NOTIMPL, beyond.result);
  EXPECT_EQ(nullptr, beyond.object.Get());
}

// Wine's client object of the fixture's window lists one window object per
// child window; the tree's is the tree's own (role window, one child),
// where the standard controls give stubs.
TEST_F(AccessibleTree_Parent, FixturesClient_ListsTheTreesWindowObject) {
  ComPtr<IAccessible> holder;
  ASSERT_EQ(S_OK, AccessibleObjectFromWindow(fixture_->Window(), static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible), &holder));
  const LONG count = ChildCountOf(holder.Get());
  ASSERT_GT(count, 0);
  const Children children = ChildrenOf(holder.Get(), 0, count);
  int trees = 0;
  for (const Found& child : children.found) {
    if (!child.object || WindowOf(child.object.Get()) != tree_) continue;
    ++trees;
    EXPECT_EQ(ROLE_SYSTEM_WINDOW, RoleOf(child.object.Get()));
    EXPECT_EQ(1, ChildCountOf(child.object.Get()));
  }
  EXPECT_EQ(1, trees);

  const Found hit = HitTest(holder.Get(), Centre(acctree::kCentreKeyNode));
  EXPECT_EQ(S_OK, hit.result);
  ASSERT_NE(nullptr, hit.object.Get());
  EXPECT_EQ(ROLE_SYSTEM_WINDOW, RoleOf(hit.object.Get()));
  EXPECT_EQ(tree_, WindowOf(hit.object.Get()));
}

TEST_F(AccessibleTree_Window, EveryObject_LeadsToTheTreeWindow) {
  for (int node = 0; node < acctree::kNodeCount; ++node) {
    if (!acctree::IsObject(node)) continue;
    SCOPED_TRACE(NodeLabel(node));
    const ComPtr<IAccessible> object = ObjectFor(node);
    ASSERT_NE(nullptr, object.Get());
    EXPECT_EQ(tree_, WindowOf(object.Get()));
  }
}

TEST_F(AccessibleTree_Location, EveryNode_IsWhereTheLayoutSays) {
  RECT windowRect{};
  ASSERT_TRUE(GetWindowRect(tree_, &windowRect));
  EXPECT_EQ(EdgesOf(windowRect), ScreenEdges(acctree::kWindowNode));
  for (int node = 0; node < acctree::kNodeCount; ++node) {
    SCOPED_TRACE(NodeLabel(node));
    const ComPtr<IAccessible> object = ObjectFor(node);
    ASSERT_NE(nullptr, object.Get());
    EXPECT_EQ(ScreenEdges(node), LocationOf(object.Get(), acctree::ChildIdOf(node)));
  }
}

TEST_F(AccessibleTree_Properties, EveryNode_ReportsTheLayoutsTextsRoleAndState) {
  const std::array<std::pair<const wchar_t* acctree::AccessibleNode::*, TextGetter>, 5> texts{{
      {&acctree::AccessibleNode::name, &IAccessible::get_accName},
      {&acctree::AccessibleNode::value, &IAccessible::get_accValue},
      {&acctree::AccessibleNode::description, &IAccessible::get_accDescription},
      {&acctree::AccessibleNode::shortcut, &IAccessible::get_accKeyboardShortcut},
      {&acctree::AccessibleNode::defaultAction, &IAccessible::get_accDefaultAction},
  }};
  for (int node = 0; node < acctree::kNodeCount; ++node) {
    SCOPED_TRACE(NodeLabel(node));
    const ComPtr<IAccessible> object = ObjectFor(node);
    ASSERT_NE(nullptr, object.Get());
    const LONG childId = acctree::ChildIdOf(node);
    for (const auto& [field, getter] : texts) {
      const std::wstring expected = acctree::Node(node).*field;
      const Text text = TextOf(object.Get(), childId, getter);
      // An empty text is missing: S_FALSE and no string.
      EXPECT_EQ(expected.empty() ? S_FALSE : S_OK, text.result);
      EXPECT_EQ(expected, text.text);
    }
    EXPECT_EQ(acctree::Node(node).role, RoleOf(object.Get(), childId));
    EXPECT_EQ(acctree::Node(node).state, StateOf(object.Get(), childId));
  }
}

TEST_F(AccessibleTree_Properties, EveryNode_ReportsItsHelpTopic) {
  for (int node = 0; node < acctree::kNodeCount; ++node) {
    SCOPED_TRACE(NodeLabel(node));
    const ComPtr<IAccessible> object = ObjectFor(node);
    ASSERT_NE(nullptr, object.Get());
    BSTR file = nullptr;
    LONG topic = -1;
    const HRESULT result =
        object->get_accHelpTopic(&file, Variant(acctree::ChildIdOf(node)).Get(), &topic);
    const std::wstring fileName = file ? file : L"";
    SysFreeString(file);
    if (acctree::Node(node).helpTopic == acctree::kNoHelpTopic) {
      EXPECT_EQ(S_FALSE, result);
      EXPECT_EQ(L"", fileName);
    } else {
      EXPECT_EQ(S_OK, result);
      EXPECT_EQ(acctree::kHelpFile, fileName);
      EXPECT_EQ(acctree::Node(node).helpTopic, topic);
    }
  }
}

TEST_F(AccessibleTree_Properties, Letters_SelectAlphaAndNothingHasTheFocus) {
  const ComPtr<IAccessible> letters = ObjectFor(acctree::kLettersNode);
  ASSERT_NE(nullptr, letters.Get());
  Variant selection;
  EXPECT_EQ(S_OK, letters->get_accSelection(selection.Receive()));
  ASSERT_EQ(VT_I4, selection.Get().vt);
  EXPECT_EQ(L"Alpha", NameOf(letters.Get(), selection.Get().lVal));

  Variant focus;
  EXPECT_EQ(S_FALSE, letters->get_accFocus(focus.Receive()));
  EXPECT_EQ(VT_EMPTY, focus.Get().vt);
}

}  // namespace
