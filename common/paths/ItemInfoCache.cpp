#include "ItemInfoCache.h"

#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "ItemInfoNull.h"
#include "ItemNeighbours.h"

using Microsoft::WRL::ComPtr;

namespace {

// Nil stands for the null item, so that no link of a snapshot is ever nil.
ItemInfoPtr OrNullItem(IItemInfo* item) {
  return item != nullptr ? ItemInfoPtr(item) : NullItemInfo();
}

bool IsSnapshot(IItemInfo* item) {
  CachedItemInfoPtr snapshot;
  return item != nullptr && SUCCEEDED(item->QueryInterface(IID_PPV_ARGS(&snapshot)));
}

CachedItemInfoPtr NewSnapshot(IItemInfo* source, IItemInfo* parent, IItemInfo* rootItem) {
  return MakeComObject<TCachedItemInfo>(source, parent, rootItem);
}

// Handles are 32 bits wide in the saved form: a window handle has 32
// significant bits on every Windows, and a 64-bit program widens them with
// their sign, as the system does, so the null item's -1 stays -1.
uint32_t HandleBits(HWND handle) {
  return static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(handle));
}

HWND HandleFromBits(uint32_t bits) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<int32_t>(bits)));
}

// Saved children and list elements are named by their index.
std::string IndexName(size_t index) { return std::to_string(index); }

// The index an entry name stands for, written as the save writes it: at
// most ten decimal digits without leading zeros; none for any other name.
std::optional<int64_t> IndexNamed(std::string_view name) {
  if (name.empty() || name.size() > 10 || (name.size() > 1 && name[0] == '0')) return std::nullopt;
  int64_t index = 0;
  for (const char c : name) {
    if (c < '0' || c > '9') return std::nullopt;
    index = index * 10 + (c - '0');
  }
  return index;
}

// One past the last of the first `count` children that the container holds
// an entry for; 0 when it holds none of them.
int32_t HeldChildren(IPersistContainer* container, int32_t count) {
  int32_t held = 0;
  for (int32_t i = 0; i < container->Count(); ++i) {
    const std::optional<int64_t> index = IndexNamed(container->EntryName(i));
    if (index && *index < count) held = std::max(held, static_cast<int32_t>(*index) + 1);
  }
  return held;
}

// Releases a source's child lock however the walk ends.
class ChildLockScope {
 public:
  explicit ChildLockScope(ComPtr<IItemChildLock> lock) : lock_(std::move(lock)) {}
  ChildLockScope(const ChildLockScope&) = delete;
  ChildLockScope& operator=(const ChildLockScope&) = delete;
  ~ChildLockScope() {
    if (lock_) lock_->UnlockChildren();
  }

 private:
  ComPtr<IItemChildLock> lock_;
};

}  // namespace

TCachedItemInfo::TCachedItemInfo(IItemInfo* source, IItemInfo* parent, IItemInfo* rootItem)
    : source_(OrNullItem(source)), rootItem_(OrNullItem(rootItem)), parent_(OrNullItem(parent)) {
  // Without a fresh identity the snapshot keeps the zero one; nothing
  // depends on identities being unique.
  CoCreateGuid(&id_);
}

template <class T, class Ask>
const T& TCachedItemInfo::Once(Kept<T>& kept, Ask ask) {
  if (!kept.loaded) {
    kept.value = ask(source_.Get());
    kept.loaded = true;
  }
  return kept.value;
}

template <class T>
void TCachedItemInfo::KeepIfNew(Kept<T>& kept, T value) {
  if (kept.loaded) return;
  kept.value = std::move(value);
  kept.loaded = true;
}

void TCachedItemInfo::KeepGeometry() {
  if (screenRect_.loaded && clientRect_.loaded && innerPoint_.loaded) return;
  ComPtr<IItemPropertyGroups> groups;
  if (FAILED(source_.As(&groups)) || !groups) return;
  TRect screen, client;
  TPoint inner;
  groups->GetGeometry(screen, client, inner);
  KeepIfNew(screenRect_, screen);
  KeepIfNew(clientRect_, client);
  KeepIfNew(innerPoint_, inner);
}

void TCachedItemInfo::KeepIdWithText(Kept<int32_t>& id, Kept<std::wstring>& text,
                                      IdWithText ask) {
  if (id.loaded && text.loaded) return;
  ComPtr<IItemPropertyGroups> groups;
  if (FAILED(source_.As(&groups)) || !groups) return;
  int32_t askedId = -1;
  std::wstring askedText;
  (groups.Get()->*ask)(askedId, askedText);
  KeepIfNew(id, askedId);
  KeepIfNew(text, std::move(askedText));
}

void TCachedItemInfo::KeepRole() {
  KeepIdWithText(roleId_, role_, &IItemPropertyGroups::GetRoleWithText);
}

void TCachedItemInfo::KeepState() {
  KeepIdWithText(stateId_, state_, &IItemPropertyGroups::GetStateWithText);
}

TAcc TCachedItemInfo::GetAccessible() { return source_->GetAccessible(); }

HWND TCachedItemInfo::GetHandle() {
  return Once(handle_, [](IItemInfo* source) { return source->GetHandle(); });
}

ItemInfoPtr TCachedItemInfo::GetRootItem() {
  if (!IsNullItemInfo(rootItem_) && !IsSnapshot(rootItem_.Get())) {
    const ItemInfoPtr old = rootItem_;
    rootItem_ = NewSnapshot(old.Get(), old.Get(), old.Get());
  }
  return rootItem_;
}

std::string TCachedItemInfo::GetModuleName() {
  return Once(moduleName_, [](IItemInfo* source) { return source->GetModuleName(); });
}

std::string TCachedItemInfo::GetText() {
  return Once(text_, [](IItemInfo* source) { return source->GetText(); });
}

std::string TCachedItemInfo::GetClassName() {
  return Once(className_, [](IItemInfo* source) { return source->GetClassName(); });
}

TRect TCachedItemInfo::GetClientRect() {
  KeepGeometry();
  return Once(clientRect_, [](IItemInfo* source) { return source->GetClientRect(); });
}

TRect TCachedItemInfo::GetScreenRect() {
  KeepGeometry();
  return Once(screenRect_, [](IItemInfo* source) { return source->GetScreenRect(); });
}

TPoint TCachedItemInfo::GetInnerPoint() {
  KeepGeometry();
  return Once(innerPoint_, [](IItemInfo* source) { return source->GetInnerPoint(); });
}

void TCachedItemInfo::SetInnerPoint(const TPoint& point) {
  innerPoint_ = {point, true};
}

void TCachedItemInfo::GetNeighbours(ItemInfoPtr& left, ItemInfoPtr& top, ItemInfoPtr& right,
                                    ItemInfoPtr& bottom) {
  GetItemNeighbours(this, left, top, right, bottom);
}

void TCachedItemInfo::BuildCountedChildren() {
  for (; countedChildren_ > 0; --countedChildren_) {
    const CachedItemInfoPtr child =
        NewSnapshot(NullItemInfo().Get(), this, countedChildrenRoot_.Get());
    // As loaded from nothing: construction values, no children, and the
    // source never asked.
    child->LoadProperties(nullptr);
    validChildren_.push_back(child);
    children_.push_back(child);
  }
  countedChildrenRoot_.Reset();
}

void TCachedItemInfo::EnsureChildren() {
  if (childrenLoaded_) return;
  // The source's children follow those that a load put in.
  BuildCountedChildren();
  ComPtr<IItemChildLock> lock;
  source_.As(&lock);
  int32_t count = 0;
  {
    // The source's list stays as it is while it is walked, so that the
    // count and the children belong to one list.
    const ChildLockScope scope(lock);
    count = lock ? lock->LockChildren() : source_->GetChildCount();
    // The child's root is the field as it is, not a snapshot of it: a root
    // item is snapshotted only when someone asks for it.
    for (int32_t i = 0; i < count; ++i) {
      const ItemInfoPtr childSource = source_->GetChild(i);
      const CachedItemInfoPtr child = NewSnapshot(childSource.Get(), this, rootItem_.Get());
      children_.push_back(child);
      if (IsValidChildState(child->GetStateId())) validChildren_.push_back(child);
    }
  }
  childrenLoaded_ = true;
}

ItemInfoPtr TCachedItemInfo::GetChild(int32_t index) {
  EnsureChildren();
  BuildCountedChildren();
  if (index < 0 || static_cast<size_t>(index) >= children_.size()) return NullItemInfo();
  return children_[static_cast<size_t>(index)];
}

int32_t TCachedItemInfo::GetChildCount() {
  EnsureChildren();
  return static_cast<int32_t>(children_.size()) + countedChildren_;
}

ItemInfoPtr TCachedItemInfo::GetValidChild(int32_t index) {
  EnsureChildren();
  BuildCountedChildren();
  if (index < 0 || static_cast<size_t>(index) >= validChildren_.size()) return NullItemInfo();
  return validChildren_[static_cast<size_t>(index)];
}

int32_t TCachedItemInfo::GetValidChildCount() {
  EnsureChildren();
  return static_cast<int32_t>(validChildren_.size()) + countedChildren_;
}

ItemInfoPtr TCachedItemInfo::GetParent() {
  if (!IsNullItemInfo(parent_) && !IsSnapshot(parent_.Get())) {
    const ItemInfoPtr old = parent_;
    // The parent's own parent is asked before the root, and is kept as it
    // is until the new parent snapshot is asked for it in turn.
    const ItemInfoPtr grandparent = old->GetParent();
    const ItemInfoPtr root = GetRootItem();
    parent_ = NewSnapshot(old.Get(), grandparent.Get(), root.Get());
  }
  return parent_;
}

ItemInfoPtr TCachedItemInfo::GetAccParent() { return GetParent(); }

std::wstring TCachedItemInfo::GetDefaultAction() {
  return Once(defaultAction_, [](IItemInfo* source) { return source->GetDefaultAction(); });
}

std::wstring TCachedItemInfo::GetDescription() {
  return Once(description_, [](IItemInfo* source) { return source->GetDescription(); });
}

int32_t TCachedItemInfo::GetHelpTopicId() {
  return Once(helpTopicId_, [](IItemInfo* source) { return source->GetHelpTopicId(); });
}

std::wstring TCachedItemInfo::GetShortcut() {
  return Once(shortcut_, [](IItemInfo* source) { return source->GetShortcut(); });
}

std::wstring TCachedItemInfo::GetName() {
  return Once(name_, [](IItemInfo* source) { return source->GetName(); });
}

int32_t TCachedItemInfo::GetRoleId() {
  KeepRole();
  return Once(roleId_, [](IItemInfo* source) { return source->GetRoleId(); });
}

int32_t TCachedItemInfo::GetStateId() {
  KeepState();
  return Once(stateId_, [](IItemInfo* source) { return source->GetStateId(); });
}

std::wstring TCachedItemInfo::GetRole() {
  KeepRole();
  return Once(role_, [](IItemInfo* source) { return source->GetRole(); });
}

std::wstring TCachedItemInfo::GetState() {
  KeepState();
  return Once(state_, [](IItemInfo* source) { return source->GetState(); });
}

std::wstring TCachedItemInfo::GetValue() {
  return Once(value_, [](IItemInfo* source) { return source->GetValue(); });
}

void TCachedItemInfo::SetParent(IItemInfo* item) { parent_ = OrNullItem(item); }

void TCachedItemInfo::SetRootItem(ICachedItemInfo* root, bool recurse) {
  rootItem_ = OrNullItem(root);
  if (!recurse) return;
  EnsureChildren();
  for (const CachedItemInfoPtr& child : validChildren_) child->SetRootItem(root, false);
  if (countedChildren_ > 0) countedChildrenRoot_ = rootItem_;
}

CachedItemInfoPtr TCachedItemInfo::RootForChildren() {
  CachedItemInfoPtr root;
  GetRootItem().As(&root);
  return root;
}

void TCachedItemInfo::Adopt(ICachedItemInfo* item) {
  item->SetParent(this);
  item->SetRootItem(RootForChildren().Get(), false);
}

void TCachedItemInfo::ReplaceValidChild(int32_t index, ICachedItemInfo* item) {
  if (item == nullptr) return;
  EnsureChildren();
  BuildCountedChildren();
  if (index < 0 || static_cast<size_t>(index) >= validChildren_.size()) return;
  Adopt(item);
  validChildren_[static_cast<size_t>(index)] = item;
}

void TCachedItemInfo::AddChild(ICachedItemInfo* item, bool adopt) {
  if (item == nullptr) return;
  if (adopt) Adopt(item);
  BuildCountedChildren();
  children_.push_back(item);
  validChildren_.push_back(item);
}

void TCachedItemInfo::SetName(const std::wstring& name) { name_ = {name, true}; }

bool TCachedItemInfo::SaveProperties(IPersistContainer* container) {
  if (container == nullptr) return true;
  container->WriteHandle("Handle", HandleBits(GetHandle()));
  container->WriteString("ModuleName", GetModuleName());
  container->WriteString("Text", GetText());
  container->WriteString("Class", GetClassName());
  container->WriteRect("ClientRect", GetClientRect());
  container->WriteRect("ScreenRect", GetScreenRect());
  container->WritePoint("InnerPoint", GetInnerPoint());
  container->WriteWideString("DefaultAction", GetDefaultAction());
  container->WriteWideString("Description", GetDescription());
  container->WriteInteger("HelpTopicId", GetHelpTopicId());
  container->WriteWideString("Shortcut", GetShortcut());
  container->WriteInteger("RoleId", GetRoleId());
  container->WriteInteger("StateId", GetStateId());
  container->WriteWideString("Role", GetRole());
  container->WriteWideString("State", GetState());
  container->WriteWideString("Value", GetValue());
  container->WriteWideString("Name", GetName());
  return true;
}

bool TCachedItemInfo::LoadProperties(IPersistContainer* container) {
  for (bool* loaded :
       {&handle_.loaded, &moduleName_.loaded, &text_.loaded, &className_.loaded,
        &clientRect_.loaded, &screenRect_.loaded, &innerPoint_.loaded, &defaultAction_.loaded,
        &description_.loaded, &helpTopicId_.loaded, &shortcut_.loaded, &roleId_.loaded,
        &stateId_.loaded, &role_.loaded, &state_.loaded, &value_.loaded, &name_.loaded,
        &childrenLoaded_}) {
    *loaded = true;
  }
  if (container == nullptr) return true;
  uint32_t handle = 0;
  if (ReadLeniently([&] { return container->ReadHandle("Handle", handle); })) {
    handle_.value = HandleFromBits(handle);
  }
  const auto read = [&](auto readOne) { ReadLeniently([&] { return readOne(); }); };
  read([&] { return container->ReadString("ModuleName", moduleName_.value); });
  read([&] { return container->ReadString("Text", text_.value); });
  read([&] { return container->ReadString("Class", className_.value); });
  read([&] { return container->ReadRect("ClientRect", clientRect_.value); });
  read([&] { return container->ReadRect("ScreenRect", screenRect_.value); });
  read([&] { return container->ReadPoint("InnerPoint", innerPoint_.value); });
  read([&] { return container->ReadWideString("DefaultAction", defaultAction_.value); });
  read([&] { return container->ReadWideString("Description", description_.value); });
  read([&] { return container->ReadInteger("HelpTopicId", helpTopicId_.value); });
  read([&] { return container->ReadWideString("Shortcut", shortcut_.value); });
  read([&] { return container->ReadInteger("RoleId", roleId_.value); });
  read([&] { return container->ReadInteger("StateId", stateId_.value); });
  read([&] { return container->ReadWideString("Role", role_.value); });
  read([&] { return container->ReadWideString("State", state_.value); });
  read([&] { return container->ReadWideString("Value", value_.value); });
  read([&] { return container->ReadWideString("Name", name_.value); });
  return true;
}

bool TCachedItemInfo::SaveItems(IPersistContainer* container, bool withChildren) {
  const int32_t count = GetValidChildCount();
  if (container == nullptr) return true;
  container->WriteInteger("Count", count);
  if (!withChildren) return true;
  BuildCountedChildren();
  for (size_t i = 0; i < validChildren_.size(); ++i) {
    const ComPtr<IPersistContainer> saved = NewPersistContainer();
    validChildren_[i]->SaveToContainer(saved.Get(), false);
    container->WriteContainer(IndexName(i), saved.Get());
  }
  return true;
}

void TCachedItemInfo::LoadChildren(IPersistContainer* container, int depthLeft) {
  validChildren_.clear();
  children_.clear();
  countedChildren_ = 0;
  countedChildrenRoot_.Reset();
  if (container == nullptr) return;
  const int32_t count = ReadSavedCount(container);
  const int32_t held = HeldChildren(container, count);
  if (count > held) {
    countedChildren_ = count - held;
    countedChildrenRoot_ = GetRootItem();
  }
  for (int32_t i = 0; i < held; ++i) {
    const ItemInfoPtr root = GetRootItem();
    const ComPtr<TCachedItemInfo> child =
        MakeComObject<TCachedItemInfo>(NullItemInfo().Get(), this, root.Get());
    const ComPtr<IPersistContainer> saved =
        ReadSubContainerLeniently(container, IndexName(static_cast<size_t>(i)));
    child->LoadTree(saved.Get(), depthLeft - 1);
    // A loaded child counts as valid whatever its state: only valid
    // children are saved.
    validChildren_.push_back(child);
    children_.push_back(child);
  }
}

bool TCachedItemInfo::LoadItems(IPersistContainer* container) {
  LoadChildren(container, kMaxLoadedChildDepth);
  return true;
}

void TCachedItemInfo::LoadTree(IPersistContainer* container, int depthLeft) {
  const ComPtr<IPersistContainer> properties =
      ReadSubContainerLeniently(container, "Properties");
  LoadProperties(properties.Get());
  if (depthLeft <= 0) return;
  const ComPtr<IPersistContainer> items = ReadSubContainerLeniently(container, "Items");
  if (!items->IsEmpty()) LoadChildren(items.Get(), depthLeft);
}

bool TCachedItemInfo::LoadFromContainer(IPersistContainer* container) {
  LoadTree(container, kMaxLoadedChildDepth);
  return true;
}

bool TCachedItemInfo::SaveToContainer(IPersistContainer* container, bool withChildren) {
  const ComPtr<IPersistContainer> properties = NewPersistContainer();
  SaveProperties(properties.Get());
  const ComPtr<IPersistContainer> items = NewPersistContainer();
  SaveItems(items.Get(), withChildren);
  if (container != nullptr) {
    container->WriteContainer("Properties", properties.Get());
    container->WriteContainer("Items", items.Get());
  }
  return true;
}

GUID TCachedItemInfo::GetId() { return id_; }

CachedItemInfoPtr AsCachedItemInfo(IItemInfo* item) {
  CachedItemInfoPtr snapshot;
  if (item != nullptr && SUCCEEDED(item->QueryInterface(IID_PPV_ARGS(&snapshot)))) {
    return snapshot;
  }
  const ItemInfoPtr source = OrNullItem(item);
  const ItemInfoPtr parent = source->GetParent();
  const ItemInfoPtr root = source->GetRootItem();
  return NewSnapshot(source.Get(), parent.Get(), root.Get());
}

CachedItemInfoPtr NewEmptyCachedItemInfo() {
  const ItemInfoPtr null = NullItemInfo();
  return NewSnapshot(null.Get(), null.Get(), null.Get());
}

ComPtr<IPersistContainer> ReadSubContainerLeniently(IPersistContainer* container,
                                                    std::string_view name) {
  ComPtr<IPersistContainer> sub;
  try {
    ReadSubContainer(container, name, sub);
  } catch (const EReadError&) {
    sub = NewPersistContainer();
  }
  return sub;
}

int32_t ReadSavedCount(IPersistContainer* container) {
  if (container == nullptr) return 0;
  int32_t count = 0;
  ReadLeniently([&] { return container->ReadInteger("Count", count); });
  return std::clamp(count, 0, std::max(container->Count(), kMaxChildCount));
}
