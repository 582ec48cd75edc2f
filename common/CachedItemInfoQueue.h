#pragma once
// The item path: snapshots ordered from a top-level window item, first, down
// to a target item, last. It drops the elements that do not continue the
// chain, joins the rest into one tree of snapshots, and saves and loads
// itself through a persistence container.

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>

#include "ItemInfo.h"

struct IPersistContainer;

struct ICachedInfoQueue : public IUnknown {
  // Inserts the snapshot `item` (it must support ICachedItemInfo) at
  // 0 <= index <= Count(); later elements move up.
  virtual void STDMETHODCALLTYPE Insert(int32_t index, IItemInfo* item) = 0;
  virtual int32_t STDMETHODCALLTYPE Count() = 0;
  // The element at 0 <= index < Count().
  virtual ItemInfoPtr STDMETHODCALLTYPE Items(int32_t index) = 0;
  // Compacts, links, and saves the path into its own container, reading
  // every property of the elements and their valid children on the way.
  virtual void STDMETHODCALLTYPE Finish() = 0;
  virtual bool STDMETHODCALLTYPE LoadFromContainer(IPersistContainer* container) = 0;
  virtual bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container) = 0;
};
__CRT_UUID_DECL(ICachedInfoQueue, 0xAEB2DBCB, 0xE2D6, 0x4599, 0x98, 0xC5, 0x04, 0x69, 0x89, 0x12, 0x7F, 0xC4)

using CachedInfoQueuePtr = Microsoft::WRL::ComPtr<ICachedInfoQueue>;
