#pragma once
// The item snapshot: an IItemInfo that stands for another item, its source,
// and keeps each property from the first time it is read. Snapshots hold
// their own parent, root item and child lists, which can be rewired to join
// snapshots into one tree, and save themselves into a persistence container
// and load themselves back.

#include <windows.h>

#include <cstdint>
#include <string>

#include "ItemInfo.h"

struct IPersistContainer;

struct ICachedItemInfo;
using CachedItemInfoPtr = Microsoft::WRL::ComPtr<ICachedItemInfo>;

// The 27 operations of IItemInfo come first, in their order, then these.
struct ICachedItemInfo : public IItemInfo {
  using ComBase = IItemInfo;

  virtual void STDMETHODCALLTYPE SetParent(IItemInfo* item) = 0;
  // With `recurse`, every valid child gets the same root, one level deep.
  virtual void STDMETHODCALLTYPE SetRootItem(ICachedItemInfo* root, bool recurse) = 0;
  // Puts `item` in place of the index-th valid child and adopts it; an
  // index outside the valid children changes nothing.
  virtual void STDMETHODCALLTYPE ReplaceValidChild(int32_t index, ICachedItemInfo* item) = 0;
  // Appends `item` to both child lists; with `adopt` it becomes the parent
  // of `item` and shares its root item.
  virtual void STDMETHODCALLTYPE AddChild(ICachedItemInfo* item, bool adopt) = 0;
  virtual void STDMETHODCALLTYPE SetName(const std::wstring& name) = 0;
  virtual bool STDMETHODCALLTYPE LoadItems(IPersistContainer* container) = 0;
  virtual bool STDMETHODCALLTYPE SaveItems(IPersistContainer* container, bool withChildren) = 0;
  virtual bool STDMETHODCALLTYPE LoadProperties(IPersistContainer* container) = 0;
  virtual bool STDMETHODCALLTYPE SaveProperties(IPersistContainer* container) = 0;
  virtual bool STDMETHODCALLTYPE LoadFromContainer(IPersistContainer* container) = 0;
  virtual bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container,
                                                 bool withChildren) = 0;
  // The snapshot's own identity, made when it is created; never saved.
  virtual GUID STDMETHODCALLTYPE GetId() = 0;
};
__CRT_UUID_DECL(ICachedItemInfo, 0xB8F38A20, 0xB9F5, 0x42DD, 0xA1, 0x06, 0x92, 0x32, 0x01, 0x20, 0x24, 0x61)
