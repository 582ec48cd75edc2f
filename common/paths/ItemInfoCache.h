#pragma once
// The item snapshot: an IItemInfo that stands for another item, its source,
// and keeps each property from the first time it is read. Snapshots hold
// their own parent, root item and child lists, which can be rewired to join
// snapshots into one tree, and save themselves into a persistence container
// and load themselves back.
//
// A snapshot asks its source for each property at most once, and nothing
// ever clears a value it has: it keeps answering for an object that has
// changed or gone since. Failure answers of the source are kept like any
// other value. A source that hands out properties in groups
// (IItemPropertyGroups) is asked once for each group: the geometry, the
// role with its text, the state with its text.
//
// Trees of snapshots hold counted references both ways (a child its parent,
// a parent its children; the first element of a linked path is its own
// parent and root), so a tree lives until the process ends.
//
// The unit also holds the lenient reads that the model's loaders share.

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ComObject.h"
#include "ItemInfo.h"
#include "ObjectContainer.h"

struct ICachedItemInfo;
using CachedItemInfoPtr = Microsoft::WRL::ComPtr<ICachedItemInfo>;

// The 27 operations of IItemInfo come first, in their order, then these.
struct ICachedItemInfo : public IItemInfo {
  using ComBase = IItemInfo;

  // Nil stands for the null item.
  virtual void STDMETHODCALLTYPE SetParent(IItemInfo* item) = 0;
  // Nil stands for the null item. With `recurse`, every valid child (the
  // child lists are built first if needed) gets the same root, one level
  // deep.
  virtual void STDMETHODCALLTYPE SetRootItem(ICachedItemInfo* root, bool recurse) = 0;
  // Puts `item` in place of the index-th valid child and adopts it (it gets
  // this snapshot as parent and this snapshot's root); the list of all
  // children keeps the child it replaced. An index outside the valid
  // children, or a nil item, changes nothing.
  virtual void STDMETHODCALLTYPE ReplaceValidChild(int32_t index, ICachedItemInfo* item) = 0;
  // Appends `item` to both child lists, whatever its state; with `adopt` it
  // first gets this snapshot as parent and shares its root item. The lists
  // are not built first: children built later come behind it.
  virtual void STDMETHODCALLTYPE AddChild(ICachedItemInfo* item, bool adopt) = 0;
  // The name from now on; the source is never asked for it.
  virtual void STDMETHODCALLTYPE SetName(const std::wstring& name) = 0;
  // Replaces both child lists by the "Count" children saved in the
  // container (ReadSavedCount), each from its nested snapshot named "0",
  // "1", ...; every loaded child counts as valid. A child without a nested
  // snapshot has construction values and no children, as a snapshot saved
  // without children leaves all of them; those behind the last one held are
  // made only when one of them is asked for. True.
  virtual bool STDMETHODCALLTYPE LoadItems(IPersistContainer* container) = 0;
  // Writes "Count", the number of valid children, and with `withChildren`
  // each valid child saved without children of its own. True.
  virtual bool STDMETHODCALLTYPE SaveItems(IPersistContainer* container, bool withChildren) = 0;
  // Marks every property and the child lists loaded, then reads the property
  // entries; a missing one keeps its value. The source is never asked again.
  // True.
  virtual bool STDMETHODCALLTYPE LoadProperties(IPersistContainer* container) = 0;
  // Writes the 17 property entries, reading each property that is not yet
  // kept from the source now. True.
  virtual bool STDMETHODCALLTYPE SaveProperties(IPersistContainer* container) = 0;
  // Loads the nested containers "Properties" and "Items" (the latter only
  // when it holds anything). True.
  virtual bool STDMETHODCALLTYPE LoadFromContainer(IPersistContainer* container) = 0;
  // Writes the nested containers "Properties" and "Items". True.
  virtual bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container,
                                                 bool withChildren) = 0;
  // The snapshot's own identity, made when it is created; never saved.
  virtual GUID STDMETHODCALLTYPE GetId() = 0;
};
__CRT_UUID_DECL(ICachedItemInfo, 0xB8F38A20, 0xB9F5, 0x42DD, 0xA1, 0x06, 0x92, 0x32, 0x01, 0x20, 0x24, 0x61)

// How many levels of children a load builds below the snapshot it loads.
// The model's own saves go two levels deep (an element, its valid children,
// and as many empty children of theirs as they had); deeper levels in a
// container come from elsewhere, and their children are left out.
inline constexpr int kMaxLoadedChildDepth = 16;

class TCachedItemInfo final : public ComObject<ICachedItemInfo> {
 public:
  // Keeps the three references as they are (nil as the null item) and reads
  // nothing from the source.
  TCachedItemInfo(IItemInfo* source, IItemInfo* parent, IItemInfo* rootItem);

  // Asked of the source on every call.
  TAcc STDMETHODCALLTYPE GetAccessible() override;
  HWND STDMETHODCALLTYPE GetHandle() override;
  // The root item; one that is neither the null item nor a snapshot is
  // replaced by a snapshot of it on first use.
  ItemInfoPtr STDMETHODCALLTYPE GetRootItem() override;
  std::string STDMETHODCALLTYPE GetModuleName() override;
  std::string STDMETHODCALLTYPE GetText() override;
  std::string STDMETHODCALLTYPE GetClassName() override;
  TRect STDMETHODCALLTYPE GetClientRect() override;
  TRect STDMETHODCALLTYPE GetScreenRect() override;
  TPoint STDMETHODCALLTYPE GetInnerPoint() override;
  // Kept as given; the source is not told.
  void STDMETHODCALLTYPE SetInnerPoint(const TPoint& point) override;
  // The neighbour search (ItemNeighbours.h) among the parent's snapshots.
  void STDMETHODCALLTYPE GetNeighbours(ItemInfoPtr& left, ItemInfoPtr& top, ItemInfoPtr& right,
                                       ItemInfoPtr& bottom) override;
  // The child operations build the child lists on first use. An index
  // outside the list gives the null item.
  ItemInfoPtr STDMETHODCALLTYPE GetChild(int32_t index) override;
  int32_t STDMETHODCALLTYPE GetChildCount() override;
  ItemInfoPtr STDMETHODCALLTYPE GetValidChild(int32_t index) override;
  int32_t STDMETHODCALLTYPE GetValidChildCount() override;
  // The parent; one that is neither the null item nor a snapshot is
  // replaced on first use by a snapshot that shares this one's root item.
  ItemInfoPtr STDMETHODCALLTYPE GetParent() override;
  // The same as GetParent.
  ItemInfoPtr STDMETHODCALLTYPE GetAccParent() override;
  std::wstring STDMETHODCALLTYPE GetDefaultAction() override;
  std::wstring STDMETHODCALLTYPE GetDescription() override;
  int32_t STDMETHODCALLTYPE GetHelpTopicId() override;
  std::wstring STDMETHODCALLTYPE GetShortcut() override;
  std::wstring STDMETHODCALLTYPE GetName() override;
  int32_t STDMETHODCALLTYPE GetRoleId() override;
  int32_t STDMETHODCALLTYPE GetStateId() override;
  std::wstring STDMETHODCALLTYPE GetRole() override;
  std::wstring STDMETHODCALLTYPE GetState() override;
  std::wstring STDMETHODCALLTYPE GetValue() override;

  void STDMETHODCALLTYPE SetParent(IItemInfo* item) override;
  void STDMETHODCALLTYPE SetRootItem(ICachedItemInfo* root, bool recurse) override;
  void STDMETHODCALLTYPE ReplaceValidChild(int32_t index, ICachedItemInfo* item) override;
  void STDMETHODCALLTYPE AddChild(ICachedItemInfo* item, bool adopt) override;
  void STDMETHODCALLTYPE SetName(const std::wstring& name) override;
  bool STDMETHODCALLTYPE LoadItems(IPersistContainer* container) override;
  bool STDMETHODCALLTYPE SaveItems(IPersistContainer* container, bool withChildren) override;
  bool STDMETHODCALLTYPE LoadProperties(IPersistContainer* container) override;
  bool STDMETHODCALLTYPE SaveProperties(IPersistContainer* container) override;
  bool STDMETHODCALLTYPE LoadFromContainer(IPersistContainer* container) override;
  bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container,
                                         bool withChildren) override;
  GUID STDMETHODCALLTYPE GetId() override;

 private:
  // A property and whether it has been read or set.
  template <class T>
  struct Kept {
    T value{};
    bool loaded = false;
  };

  // The kept value; asks the source with `ask` the first time.
  template <class T, class Ask>
  const T& Once(Kept<T>& kept, Ask ask);

  // Keeps `value` unless a value is kept already.
  template <class T>
  static void KeepIfNew(Kept<T>& kept, T value);
  // Keep each group of properties that the source hands out together
  // (IItemPropertyGroups) from one question, where the source can and
  // some of the group is not kept yet.
  void KeepGeometry();
  void KeepRole();
  void KeepState();
  using IdWithText = void (STDMETHODCALLTYPE IItemPropertyGroups::*)(int32_t&, std::wstring&);
  void KeepIdWithText(Kept<int32_t>& id, Kept<std::wstring>& text, IdWithText ask);

  void EnsureChildren();
  // Makes the children that a load left as a count alone.
  void BuildCountedChildren();
  // The own root as the argument of a child's SetRootItem: nil (the null
  // item) while it is no snapshot.
  CachedItemInfoPtr RootForChildren();
  void Adopt(ICachedItemInfo* item);
  // Loading with `depthLeft` levels of children still to build.
  void LoadTree(IPersistContainer* container, int depthLeft);
  void LoadChildren(IPersistContainer* container, int depthLeft);

  GUID id_{};
  ItemInfoPtr source_;
  ItemInfoPtr rootItem_;
  ItemInfoPtr parent_;
  std::vector<CachedItemInfoPtr> validChildren_;
  std::vector<CachedItemInfoPtr> children_;
  // Loaded children not made yet, which follow those in the lists, and the
  // root item they get.
  int32_t countedChildren_ = 0;
  ItemInfoPtr countedChildrenRoot_;
  Kept<HWND> handle_;
  Kept<std::string> moduleName_;
  Kept<std::string> text_;
  Kept<std::string> className_;
  Kept<TRect> clientRect_;
  Kept<TRect> screenRect_;
  Kept<TPoint> innerPoint_;
  Kept<std::wstring> defaultAction_;
  Kept<std::wstring> description_;
  Kept<int32_t> helpTopicId_;
  Kept<std::wstring> shortcut_;
  Kept<std::wstring> name_;
  Kept<int32_t> roleId_;
  Kept<int32_t> stateId_;
  Kept<std::wstring> role_;
  Kept<std::wstring> state_;
  Kept<std::wstring> value_;
  bool childrenLoaded_ = false;
};

// A snapshot of the item: the item itself when it is one, else a new
// snapshot over it with its parent and root item (asked in that order).
// Nil gives a snapshot of the null item.
CachedItemInfoPtr AsCachedItemInfo(IItemInfo* item);

inline CachedItemInfoPtr AsCachedItemInfo(const ItemInfoPtr& item) {
  return AsCachedItemInfo(item.Get());
}

// A snapshot over the null item, with the null item as parent and root: the
// starting point for loading.
CachedItemInfoPtr NewEmptyCachedItemInfo();

// Lenient reading for the model's loaders, which report nothing. A container
// raises its read error when the bytes of an entry cannot be decoded as the
// value asked for (an entry of another kind, put there by someone else);
// such an entry counts as missing and leaves the target as it was.
template <class Read>
bool ReadLeniently(Read read) {
  try {
    return read();
  } catch (const EReadError&) {
    return false;
  }
}

// ReadSubContainer, with an entry that holds no loadable container giving
// the empty container.
Microsoft::WRL::ComPtr<IPersistContainer> ReadSubContainerLeniently(
    IPersistContainer* container, std::string_view name);

// A saved list (a snapshot's children, a path's elements, a search path's
// records) names its length in "Count", and its elements are entries beside
// it, named by their index; an element without an entry is made with
// construction values. So that a damaged count cannot make a load build
// objects without end, the count is kept up to kMaxChildCount, the most that
// a save names, or up to the container's entry count when it holds more.
// This gives the count: 0 when missing or negative.
int32_t ReadSavedCount(IPersistContainer* container);
