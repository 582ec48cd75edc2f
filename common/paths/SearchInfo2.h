#pragma once
// The search path of one on-screen object: one record per level, root first
// and target last, with the information needed to find the object again,
// each record with its four neighbours, and the item path the records were
// filled from.

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include <vector>

#include "Bitmap24.h"
#include "CachedItemInfoQueue.h"
#include "ComObject.h"
#include "Geometry.h"

struct IPersistContainer;

struct ISearchInfo;
using SearchInfoPtr = Microsoft::WRL::ComPtr<ISearchInfo>;

// One level of a search path. The record gives its fields no meaning of its
// own; every setter stores its argument and does nothing else.
struct ISearchInfo : public IUnknown {
  virtual std::wstring STDMETHODCALLTYPE GetModuleName() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetWndClass() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetDefaultAction() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetDescription() = 0;
  virtual int32_t STDMETHODCALLTYPE GetHelpTopicId() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetShortCut() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetName() = 0;
  virtual int32_t STDMETHODCALLTYPE GetStateId() = 0;
  virtual int32_t STDMETHODCALLTYPE GetRoleId() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetValue() = 0;
  virtual TPoint STDMETHODCALLTYPE GetClientInnerPoint() = 0;
  virtual void STDMETHODCALLTYPE SetClientInnerPoint(const TPoint& point) = 0;
  virtual int32_t STDMETHODCALLTYPE GetChildCount() = 0;
  virtual TRect STDMETHODCALLTYPE GetRootRect() = 0;
  virtual void STDMETHODCALLTYPE SetRootRect(const TRect& rect) = 0;
  virtual int32_t STDMETHODCALLTYPE GetParentId() = 0;
  virtual std::wstring STDMETHODCALLTYPE GetWndText() = 0;
  // The neighbour records themselves, shared; nil when the record has none.
  virtual SearchInfoPtr STDMETHODCALLTYPE GetLeft() = 0;
  virtual SearchInfoPtr STDMETHODCALLTYPE GetTop() = 0;
  virtual SearchInfoPtr STDMETHODCALLTYPE GetRight() = 0;
  virtual SearchInfoPtr STDMETHODCALLTYPE GetBottom() = 0;
  // The record's own bitmap: callers may resize it and draw into it, but
  // the record owns it and frees it.
  virtual TBitmap* STDMETHODCALLTYPE GetBitmap() = 0;
  virtual void STDMETHODCALLTYPE SetModuleName(const std::wstring& value) = 0;
  virtual void STDMETHODCALLTYPE SetWndClass(const std::wstring& value) = 0;
  virtual void STDMETHODCALLTYPE SetDefaultAction(const std::wstring& value) = 0;
  virtual void STDMETHODCALLTYPE SetDescription(const std::wstring& value) = 0;
  virtual void STDMETHODCALLTYPE SetHelpTopicId(int32_t value) = 0;
  virtual void STDMETHODCALLTYPE SetShortCut(const std::wstring& value) = 0;
  virtual void STDMETHODCALLTYPE SetName(const std::wstring& value) = 0;
  virtual void STDMETHODCALLTYPE SetStateId(int32_t value) = 0;
  virtual void STDMETHODCALLTYPE SetRoleId(int32_t value) = 0;
  virtual void STDMETHODCALLTYPE SetValue(const std::wstring& value) = 0;
  virtual void STDMETHODCALLTYPE SetChildCount(int32_t value) = 0;
  virtual void STDMETHODCALLTYPE SetParentId(int32_t value) = 0;
  virtual void STDMETHODCALLTYPE SetWndText(const std::wstring& value) = 0;
  // True for a record filled from the null item, such as a side without a
  // neighbour.
  virtual bool STDMETHODCALLTYPE GetIsNull() = 0;
  virtual void STDMETHODCALLTYPE SetIsNull(bool value) = 0;
  // Reads the fields from their entries; a missing entry keeps the field,
  // except that a missing "IsNull" reads as false and a missing or broken
  // "Bitmap" as the empty picture. Each neighbour the record has loads from
  // its nested container (an empty one when missing). True.
  virtual bool STDMETHODCALLTYPE LoadFromContainer(IPersistContainer* container) = 0;
  // Writes the fields, the bitmap only when it has pixels, "IsNull", and
  // each neighbour the record has as a nested container. True.
  virtual bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container) = 0;
};
__CRT_UUID_DECL(ISearchInfo, 0x5679599B, 0xEBA8, 0x4943, 0xB8, 0x65, 0x6E, 0x49, 0xD4, 0xC5, 0x51, 0x97)

// The records of one search path, root first and target last, with the item
// path they were made from. A path given a container (SetSource, Assign)
// keeps it and parses it on first access.
struct ISearchInfoPath : public IUnknown {
  // Appends a new record with four neighbour records and returns it.
  virtual SearchInfoPtr STDMETHODCALLTYPE Add() = 0;
  // The record at 0 <= index < GetCount(); EListError outside.
  virtual SearchInfoPtr STDMETHODCALLTYPE GetItem(int32_t index) = 0;
  // Inserts a new record with four neighbour records at 0 <= index <=
  // GetCount() and returns it; EListError outside, with nothing inserted.
  virtual SearchInfoPtr STDMETHODCALLTYPE Insert(int32_t index) = 0;
  // Drops any pending container unparsed, the records and the item path.
  virtual void STDMETHODCALLTYPE Clear() = 0;
  virtual int32_t STDMETHODCALLTYPE GetCount() = 0;
  // The item path itself, shared.
  virtual CachedInfoQueuePtr STDMETHODCALLTYPE GetItemInfoList() = 0;
  // The source saves itself, and this path keeps the saved form to parse on
  // first access: the records become copies, not the source's own. A nil
  // source changes nothing.
  virtual void STDMETHODCALLTYPE Assign(ISearchInfoPath* source) = 0;
  // Keeps the container, in place of any earlier one, to parse on first
  // access; nothing is read now. True.
  virtual bool STDMETHODCALLTYPE SetSource(IPersistContainer* container) = 0;
  // Writes "Count", each record under its index ("0", "1", ...) and
  // "ItemInfoList", the item path. True.
  virtual bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container) = 0;
};
__CRT_UUID_DECL(ISearchInfoPath, 0xC016C100, 0xCA60, 0x4C81, 0x94, 0xAD, 0x87, 0xFE, 0xB0, 0x3E, 0x51, 0xA2)

using SearchInfoPathPtr = Microsoft::WRL::ComPtr<ISearchInfoPath>;

// A record with the creation values: empty texts, -1 for the ids, the inner
// point (-1, -1), the root rectangle (-1, -1, -1, -1), child count 0, an
// empty bitmap, IsNull false, and no neighbours.
class TSearchInfo final : public ComObject<ISearchInfo> {
 public:
  TSearchInfo() = default;

  std::wstring STDMETHODCALLTYPE GetModuleName() override { return moduleName_; }
  std::wstring STDMETHODCALLTYPE GetWndClass() override { return wndClass_; }
  std::wstring STDMETHODCALLTYPE GetDefaultAction() override { return defaultAction_; }
  std::wstring STDMETHODCALLTYPE GetDescription() override { return description_; }
  int32_t STDMETHODCALLTYPE GetHelpTopicId() override { return helpTopicId_; }
  std::wstring STDMETHODCALLTYPE GetShortCut() override { return shortCut_; }
  std::wstring STDMETHODCALLTYPE GetName() override { return name_; }
  int32_t STDMETHODCALLTYPE GetStateId() override { return stateId_; }
  int32_t STDMETHODCALLTYPE GetRoleId() override { return roleId_; }
  std::wstring STDMETHODCALLTYPE GetValue() override { return value_; }
  TPoint STDMETHODCALLTYPE GetClientInnerPoint() override { return clientInnerPoint_; }
  void STDMETHODCALLTYPE SetClientInnerPoint(const TPoint& point) override {
    clientInnerPoint_ = point;
  }
  int32_t STDMETHODCALLTYPE GetChildCount() override { return childCount_; }
  TRect STDMETHODCALLTYPE GetRootRect() override { return rootRect_; }
  void STDMETHODCALLTYPE SetRootRect(const TRect& rect) override { rootRect_ = rect; }
  int32_t STDMETHODCALLTYPE GetParentId() override { return parentId_; }
  std::wstring STDMETHODCALLTYPE GetWndText() override { return wndText_; }
  SearchInfoPtr STDMETHODCALLTYPE GetLeft() override { return left_; }
  SearchInfoPtr STDMETHODCALLTYPE GetTop() override { return top_; }
  SearchInfoPtr STDMETHODCALLTYPE GetRight() override { return right_; }
  SearchInfoPtr STDMETHODCALLTYPE GetBottom() override { return bottom_; }
  TBitmap* STDMETHODCALLTYPE GetBitmap() override { return &bitmap_; }
  void STDMETHODCALLTYPE SetModuleName(const std::wstring& value) override { moduleName_ = value; }
  void STDMETHODCALLTYPE SetWndClass(const std::wstring& value) override { wndClass_ = value; }
  void STDMETHODCALLTYPE SetDefaultAction(const std::wstring& value) override {
    defaultAction_ = value;
  }
  void STDMETHODCALLTYPE SetDescription(const std::wstring& value) override {
    description_ = value;
  }
  void STDMETHODCALLTYPE SetHelpTopicId(int32_t value) override { helpTopicId_ = value; }
  void STDMETHODCALLTYPE SetShortCut(const std::wstring& value) override { shortCut_ = value; }
  void STDMETHODCALLTYPE SetName(const std::wstring& value) override { name_ = value; }
  void STDMETHODCALLTYPE SetStateId(int32_t value) override { stateId_ = value; }
  void STDMETHODCALLTYPE SetRoleId(int32_t value) override { roleId_ = value; }
  void STDMETHODCALLTYPE SetValue(const std::wstring& value) override { value_ = value; }
  void STDMETHODCALLTYPE SetChildCount(int32_t value) override { childCount_ = value; }
  void STDMETHODCALLTYPE SetParentId(int32_t value) override { parentId_ = value; }
  void STDMETHODCALLTYPE SetWndText(const std::wstring& value) override { wndText_ = value; }
  bool STDMETHODCALLTYPE GetIsNull() override { return isNull_; }
  void STDMETHODCALLTYPE SetIsNull(bool value) override { isNull_ = value; }
  bool STDMETHODCALLTYPE LoadFromContainer(IPersistContainer* container) override;
  bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container) override;

  // Gives the record a new plain record on each of its four sides.
  void CreateNeighbours();

 private:
  std::wstring moduleName_;
  std::wstring wndClass_;
  std::wstring defaultAction_;
  std::wstring description_;
  int32_t helpTopicId_ = -1;
  std::wstring shortCut_;
  std::wstring name_;
  int32_t stateId_ = -1;
  int32_t roleId_ = -1;
  std::wstring value_;
  TPoint clientInnerPoint_{-1, -1};
  int32_t childCount_ = 0;
  TRect rootRect_{-1, -1, -1, -1};
  int32_t parentId_ = -1;
  std::wstring wndText_;
  SearchInfoPtr left_;
  SearchInfoPtr top_;
  SearchInfoPtr right_;
  SearchInfoPtr bottom_;
  TBitmap bitmap_;
  bool isNull_ = false;
};

class TSearchInfoList final : public ComObject<ISearchInfoPath> {
 public:
  TSearchInfoList();

  SearchInfoPtr STDMETHODCALLTYPE Add() override;
  SearchInfoPtr STDMETHODCALLTYPE GetItem(int32_t index) override;
  SearchInfoPtr STDMETHODCALLTYPE Insert(int32_t index) override;
  void STDMETHODCALLTYPE Clear() override;
  int32_t STDMETHODCALLTYPE GetCount() override;
  CachedInfoQueuePtr STDMETHODCALLTYPE GetItemInfoList() override;
  void STDMETHODCALLTYPE Assign(ISearchInfoPath* source) override;
  bool STDMETHODCALLTYPE SetSource(IPersistContainer* container) override;
  bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container) override;

 private:
  // Replaces the content by the pending container's, if there is one.
  void EnsureLoaded();

  std::vector<SearchInfoPtr> records_;
  CachedInfoQueuePtr itemInfoList_;
  Microsoft::WRL::ComPtr<IPersistContainer> pendingSource_;
};

// A record with the creation values and a plain record on each of its four
// sides; those have no neighbours of their own.
SearchInfoPtr NewSearchInfo();

// A new, empty path with an empty item path.
SearchInfoPathPtr NewSearchInfoList();
