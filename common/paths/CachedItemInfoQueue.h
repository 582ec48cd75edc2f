#pragma once
// The item path: snapshots ordered from a top-level window item, first, down
// to a target item, last. It drops the elements that do not continue the
// chain, joins the rest into one tree of snapshots, and saves and loads
// itself through a persistence container.
//
// After linking, element 0 is its own parent and root item, and every other
// element has element 0 as root, the element before it as parent, and
// stands among that element's valid children in place of the child that is
// the same item (or of its first valid child when none is).

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <vector>

#include "ComObject.h"
#include "Exception.h"
#include "ItemInfo.h"
#include "ItemInfoCache.h"

struct IPersistContainer;

struct ICachedInfoQueue : public IUnknown {
  // Inserts the snapshot `item` at 0 <= index <= Count(); later elements
  // move up. An item that is no snapshot raises EIntfCastError, an index
  // outside the range EListError; nothing is inserted then.
  virtual void STDMETHODCALLTYPE Insert(int32_t index, IItemInfo* item) = 0;
  virtual int32_t STDMETHODCALLTYPE Count() = 0;
  // The element at 0 <= index < Count(); EListError outside.
  virtual ItemInfoPtr STDMETHODCALLTYPE Items(int32_t index) = 0;
  // Compacts, links, and saves the path into its own container, which reads
  // every property of the elements and their valid children on the way:
  // from then on the whole path answers from its snapshots.
  virtual void STDMETHODCALLTYPE Finish() = 0;
  // Replaces the elements by those saved in the container, linked. True.
  virtual bool STDMETHODCALLTYPE LoadFromContainer(IPersistContainer* container) = 0;
  // Writes "Count" and one nested container per element ("0", "1", ...),
  // each element saved with its valid children. True.
  virtual bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container) = 0;
};
__CRT_UUID_DECL(ICachedInfoQueue, 0xAEB2DBCB, 0xE2D6, 0x4599, 0x98, 0xC5, 0x04, 0x69, 0x89, 0x12, 0x7F, 0xC4)

using CachedInfoQueuePtr = Microsoft::WRL::ComPtr<ICachedInfoQueue>;

// An index outside a list: "List index out of bounds (%d)" with the index.
class EListError : public Exception {
 public:
  explicit EListError(int32_t index);
};

// An object that lacks the interface it is taken as: "Interface not
// supported".
class EIntfCastError : public Exception {
 public:
  EIntfCastError();
};

class TCachedInfoQueue final : public ComObject<ICachedInfoQueue> {
 public:
  TCachedInfoQueue();
  ~TCachedInfoQueue() override;

  void STDMETHODCALLTYPE Insert(int32_t index, IItemInfo* item) override;
  int32_t STDMETHODCALLTYPE Count() override;
  ItemInfoPtr STDMETHODCALLTYPE Items(int32_t index) override;
  void STDMETHODCALLTYPE Finish() override;
  bool STDMETHODCALLTYPE LoadFromContainer(IPersistContainer* container) override;
  bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container) override;

  // Deletes every element but the last that has no valid children, and
  // every element but the last that is not the same item as a valid child
  // of the element kept before it. When the last element matches no valid
  // child of the one before, the path ends with that unmatched pair.
  void Compact();
  // Joins the elements into one chain (see the top of this header).
  void Link();

 private:
  // Empties the list from its end. Each element holds the one before it as
  // its parent, so a list released from its start would free a long chain
  // from the far end, one release inside the other, deep enough to exhaust
  // the stack; from the end each element goes on its own.
  void ReleaseElements() noexcept;

  std::vector<CachedItemInfoPtr> items_;
  // What Finish saved; kept with the path, never read back.
  Microsoft::WRL::ComPtr<IPersistContainer> container_;
};

// A new, empty path.
CachedInfoQueuePtr NewCachedInfoQueue();

// The index of the first valid child of `parent` that is the same item as
// `item` (IsSameItem); -1 when none is.
int32_t IndexOfChild(IItemInfo* parent, IItemInfo* item);
