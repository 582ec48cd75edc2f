#pragma once
// The search path of one on-screen object: one record per level, root first
// and target last, with the information needed to find the object again,
// each record with its four neighbours, and the item path the records were
// filled from.

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "Bitmap24.h"
#include "CachedItemInfoQueue.h"
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
  virtual bool STDMETHODCALLTYPE LoadFromContainer(IPersistContainer* container) = 0;
  virtual bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container) = 0;
};
__CRT_UUID_DECL(ISearchInfo, 0x5679599B, 0xEBA8, 0x4943, 0xB8, 0x65, 0x6E, 0x49, 0xD4, 0xC5, 0x51, 0x97)

// The records of one search path, root first and target last, with the item
// path they were made from. A path given a container (SetSource, Assign)
// keeps it and parses it on first access.
struct ISearchInfoPath : public IUnknown {
  // Appends a new record with four neighbour records and returns it.
  virtual SearchInfoPtr STDMETHODCALLTYPE Add() = 0;
  virtual SearchInfoPtr STDMETHODCALLTYPE GetItem(int32_t index) = 0;
  // Inserts a new record with four neighbour records at the index.
  virtual SearchInfoPtr STDMETHODCALLTYPE Insert(int32_t index) = 0;
  // Drops any pending container unparsed, the records and the item path.
  virtual void STDMETHODCALLTYPE Clear() = 0;
  virtual int32_t STDMETHODCALLTYPE GetCount() = 0;
  // The item path itself, shared.
  virtual CachedInfoQueuePtr STDMETHODCALLTYPE GetItemInfoList() = 0;
  virtual void STDMETHODCALLTYPE Assign(ISearchInfoPath* source) = 0;
  virtual bool STDMETHODCALLTYPE SetSource(IPersistContainer* container) = 0;
  virtual bool STDMETHODCALLTYPE SaveToContainer(IPersistContainer* container) = 0;
};
__CRT_UUID_DECL(ISearchInfoPath, 0xC016C100, 0xCA60, 0x4C81, 0x94, 0xAD, 0x87, 0xFE, 0xB0, 0x3E, 0x51, 0xA2)

using SearchInfoPathPtr = Microsoft::WRL::ComPtr<ISearchInfoPath>;
