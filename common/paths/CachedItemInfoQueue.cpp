#include "CachedItemInfoQueue.h"

#include <string>

#include "ItemCompare.h"
#include "ObjectContainer.h"
#include "Translation.h"

using Microsoft::WRL::ComPtr;

namespace {

std::wstring ListIndexMessage(int32_t index) {
  std::wstring text = Translate(L"List index out of bounds (%d)");
  const size_t at = text.find(L"%d");
  if (at != std::wstring::npos) text.replace(at, 2, std::to_wstring(index));
  return text;
}

}  // namespace

EListError::EListError(int32_t index) : Exception("EListError", ListIndexMessage(index)) {}

EIntfCastError::EIntfCastError()
    : Exception("EIntfCastError", Translate(L"Interface not supported")) {}

TCachedInfoQueue::TCachedInfoQueue() : container_(NewPersistContainer()) {}

TCachedInfoQueue::~TCachedInfoQueue() { ReleaseElements(); }

void TCachedInfoQueue::ReleaseElements() noexcept {
  while (!items_.empty()) items_.pop_back();
}

void TCachedInfoQueue::Insert(int32_t index, IItemInfo* item) {
  CachedItemInfoPtr snapshot;
  if (item == nullptr || FAILED(item->QueryInterface(IID_PPV_ARGS(&snapshot)))) {
    throw EIntfCastError();
  }
  if (index < 0 || static_cast<size_t>(index) > items_.size()) throw EListError(index);
  items_.insert(items_.begin() + index, snapshot);
}

int32_t TCachedInfoQueue::Count() { return static_cast<int32_t>(items_.size()); }

ItemInfoPtr TCachedInfoQueue::Items(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= items_.size()) throw EListError(index);
  return items_[static_cast<size_t>(index)];
}

int32_t IndexOfChild(IItemInfo* parent, IItemInfo* item) {
  if (parent == nullptr) return -1;
  const int32_t count = parent->GetValidChildCount();
  for (int32_t i = 0; i < count; ++i) {
    if (IsSameItem(item, parent->GetValidChild(i).Get())) return i;
  }
  return -1;
}

void TCachedInfoQueue::Compact() {
  size_t i = 0;
  while (i + 2 <= items_.size()) {
    const CachedItemInfoPtr& current = items_[i];
    if (current->GetValidChildCount() == 0) {
      items_.erase(items_.begin() + static_cast<ptrdiff_t>(i));
      continue;
    }
    if (IndexOfChild(current.Get(), items_[i + 1].Get()) == -1) {
      // The target stays, matched or not.
      if (i + 2 == items_.size()) return;
      items_.erase(items_.begin() + static_cast<ptrdiff_t>(i + 1));
      continue;
    }
    ++i;
  }
}

void TCachedInfoQueue::Link() {
  if (items_.empty()) return;
  const CachedItemInfoPtr first = items_.front();
  first->SetRootItem(first.Get(), false);
  first->SetParent(first.Get());
  CachedItemInfoPtr previous = first;
  for (size_t i = 1; i < items_.size(); ++i) {
    const CachedItemInfoPtr& current = items_[i];
    current->SetRootItem(first.Get(), false);
    current->SetParent(previous.Get());
    // Without a matching child the element takes the place of the first
    // valid child; without valid children it takes no place at all.
    const int32_t index = IndexOfChild(previous.Get(), current.Get());
    previous->ReplaceValidChild(index > 0 ? index : 0, current.Get());
    previous = current;
  }
}

void TCachedInfoQueue::Finish() {
  Compact();
  Link();
  container_->Clear();
  SaveToContainer(container_.Get());
}

bool TCachedInfoQueue::SaveToContainer(IPersistContainer* container) {
  if (container == nullptr) return true;
  container->WriteInteger("Count", Count());
  for (size_t i = 0; i < items_.size(); ++i) {
    const ComPtr<IPersistContainer> saved = NewPersistContainer();
    items_[i]->SaveToContainer(saved.Get(), true);
    container->WriteContainer(std::to_string(i), saved.Get());
  }
  return true;
}

bool TCachedInfoQueue::LoadFromContainer(IPersistContainer* container) {
  ReleaseElements();
  const int32_t count = ReadSavedCount(container);
  // Root and parents are in place before the elements load, so that every
  // loaded child gets element 0 as its root.
  const CachedItemInfoPtr first = NewEmptyCachedItemInfo();
  first->SetParent(first.Get());
  first->SetRootItem(first.Get(), false);
  items_.push_back(first);
  CachedItemInfoPtr previous = first;
  for (int32_t i = 1; i < count; ++i) {
    const CachedItemInfoPtr element = NewEmptyCachedItemInfo();
    element->SetRootItem(first.Get(), false);
    element->SetParent(previous.Get());
    items_.push_back(element);
    previous = element;
  }
  for (int32_t i = 0; i < count; ++i) {
    const ComPtr<IPersistContainer> saved =
        ReadSubContainerLeniently(container, std::to_string(i));
    items_[static_cast<size_t>(i)]->LoadFromContainer(saved.Get());
  }
  Link();
  return true;
}

CachedInfoQueuePtr NewCachedInfoQueue() { return MakeComObject<TCachedInfoQueue>(); }
