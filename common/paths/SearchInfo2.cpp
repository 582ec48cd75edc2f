#include "SearchInfo2.h"

#include <array>
#include <string>
#include <utility>

#include "ItemInfoCache.h"
#include "ObjectContainer.h"

using Microsoft::WRL::ComPtr;

namespace {

// A neighbour's entry name and where the record keeps it, in saved order.
struct NeighbourSlot {
  const char* name;
  SearchInfoPtr (STDMETHODCALLTYPE ISearchInfo::*get)();
};

constexpr std::array<NeighbourSlot, 4> kNeighbourSlots = {{
    {"Left", &ISearchInfo::GetLeft},
    {"Top", &ISearchInfo::GetTop},
    {"Right", &ISearchInfo::GetRight},
    {"Bottom", &ISearchInfo::GetBottom},
}};

}  // namespace

void TSearchInfo::CreateNeighbours() {
  left_ = MakeComObject<TSearchInfo>();
  right_ = MakeComObject<TSearchInfo>();
  top_ = MakeComObject<TSearchInfo>();
  bottom_ = MakeComObject<TSearchInfo>();
}

bool TSearchInfo::SaveToContainer(IPersistContainer* container) {
  if (container == nullptr) return true;
  container->WriteWideString("ModuleName", moduleName_);
  container->WriteWideString("WndClass", wndClass_);
  container->WriteWideString("DefaultAction", defaultAction_);
  container->WriteWideString("Description", description_);
  container->WriteInteger("HelpTopicId", helpTopicId_);
  container->WriteWideString("ShortCut", shortCut_);
  container->WriteWideString("Name", name_);
  container->WriteInteger("StateId", stateId_);
  container->WriteInteger("RoleId", roleId_);
  container->WriteWideString("Value", value_);
  container->WritePoint("ClientInnerPoint", clientInnerPoint_);
  container->WriteInteger("ChildCount", childCount_);
  container->WriteRect("RootRect", rootRect_);
  container->WriteInteger("ParentId", parentId_);
  container->WriteWideString("WndText", wndText_);
  if (bitmap_.Width() > 0 && bitmap_.Height() > 0) container->WriteGraphic("Bitmap", bitmap_);
  container->WriteBoolean("IsNull", isNull_);
  for (const NeighbourSlot& slot : kNeighbourSlots) {
    const SearchInfoPtr neighbour = (this->*slot.get)();
    if (!neighbour) continue;
    const ComPtr<IPersistContainer> saved = NewPersistContainer();
    neighbour->SaveToContainer(saved.Get());
    container->WriteContainer(slot.name, saved.Get());
  }
  return true;
}

bool TSearchInfo::LoadFromContainer(IPersistContainer* container) {
  const auto read = [](auto readOne) { ReadLeniently(readOne); };
  if (container != nullptr) {
    read([&] { return container->ReadWideString("ModuleName", moduleName_); });
    read([&] { return container->ReadWideString("WndClass", wndClass_); });
    read([&] { return container->ReadWideString("DefaultAction", defaultAction_); });
    read([&] { return container->ReadWideString("Description", description_); });
    read([&] { return container->ReadInteger("HelpTopicId", helpTopicId_); });
    read([&] { return container->ReadWideString("ShortCut", shortCut_); });
    read([&] { return container->ReadWideString("Name", name_); });
    read([&] { return container->ReadInteger("StateId", stateId_); });
    read([&] { return container->ReadInteger("RoleId", roleId_); });
    read([&] { return container->ReadWideString("Value", value_); });
    read([&] { return container->ReadPoint("ClientInnerPoint", clientInnerPoint_); });
    read([&] { return container->ReadInteger("ChildCount", childCount_); });
    read([&] { return container->ReadRect("RootRect", rootRect_); });
    read([&] { return container->ReadInteger("ParentId", parentId_); });
    read([&] { return container->ReadWideString("WndText", wndText_); });
  }
  bool isNull = false;
  if (container != nullptr) read([&] { return container->ReadBoolean("IsNull", isNull); });
  isNull_ = isNull;
  // A picture that is missing, or whose bytes are no picture, leaves the
  // record without one rather than with the picture it had.
  bitmap_ = TBitmap();
  if (container != nullptr) read([&] { return container->ReadGraphic("Bitmap", bitmap_); });
  for (const NeighbourSlot& slot : kNeighbourSlots) {
    const SearchInfoPtr neighbour = (this->*slot.get)();
    if (!neighbour) continue;
    const ComPtr<IPersistContainer> saved = ReadSubContainerLeniently(container, slot.name);
    neighbour->LoadFromContainer(saved.Get());
  }
  return true;
}

SearchInfoPtr NewSearchInfo() {
  const ComPtr<TSearchInfo> record = MakeComObject<TSearchInfo>();
  record->CreateNeighbours();
  return record;
}

TSearchInfoList::TSearchInfoList() : itemInfoList_(NewCachedInfoQueue()) {}

SearchInfoPtr TSearchInfoList::Add() {
  EnsureLoaded();
  SearchInfoPtr record = NewSearchInfo();
  records_.push_back(record);
  return record;
}

SearchInfoPtr TSearchInfoList::GetItem(int32_t index) {
  EnsureLoaded();
  if (index < 0 || static_cast<size_t>(index) >= records_.size()) throw EListError(index);
  return records_[static_cast<size_t>(index)];
}

SearchInfoPtr TSearchInfoList::Insert(int32_t index) {
  EnsureLoaded();
  if (index < 0 || static_cast<size_t>(index) > records_.size()) throw EListError(index);
  SearchInfoPtr record = NewSearchInfo();
  records_.insert(records_.begin() + index, record);
  return record;
}

void TSearchInfoList::Clear() {
  pendingSource_.Reset();
  records_.clear();
  itemInfoList_ = NewCachedInfoQueue();
}

int32_t TSearchInfoList::GetCount() {
  EnsureLoaded();
  return static_cast<int32_t>(records_.size());
}

CachedInfoQueuePtr TSearchInfoList::GetItemInfoList() {
  EnsureLoaded();
  return itemInfoList_;
}

void TSearchInfoList::Assign(ISearchInfoPath* source) {
  if (source == nullptr) return;
  const ComPtr<IPersistContainer> saved = NewPersistContainer();
  source->SaveToContainer(saved.Get());
  pendingSource_ = saved;
}

bool TSearchInfoList::SetSource(IPersistContainer* container) {
  pendingSource_ = container;
  return true;
}

bool TSearchInfoList::SaveToContainer(IPersistContainer* container) {
  const int32_t count = GetCount();
  if (container == nullptr) return true;
  container->WriteInteger("Count", count);
  for (size_t i = 0; i < records_.size(); ++i) {
    const ComPtr<IPersistContainer> saved = NewPersistContainer();
    records_[i]->SaveToContainer(saved.Get());
    container->WriteContainer(std::to_string(i), saved.Get());
  }
  const ComPtr<IPersistContainer> items = NewPersistContainer();
  itemInfoList_->SaveToContainer(items.Get());
  container->WriteContainer("ItemInfoList", items.Get());
  return true;
}

void TSearchInfoList::EnsureLoaded() {
  if (!pendingSource_) return;
  const ComPtr<IPersistContainer> source = std::move(pendingSource_);
  Clear();
  const int32_t count = ReadSavedCount(source.Get());
  records_.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const ComPtr<IPersistContainer> saved =
        ReadSubContainerLeniently(source.Get(), std::to_string(i));
    // Nothing is pending any more, so Add cannot come back here.
    Add()->LoadFromContainer(saved.Get());
  }
  const ComPtr<IPersistContainer> items =
      ReadSubContainerLeniently(source.Get(), "ItemInfoList");
  itemInfoList_->LoadFromContainer(items.Get());
}

SearchInfoPathPtr NewSearchInfoList() { return MakeComObject<TSearchInfoList>(); }
