#include "SearchPathXml.h"

#include <windows.h>
#include <objbase.h>

#include <array>
#include <cstdint>

#include "AccessibilityNames.h"
#include "PropertyOutput.h"
#include "SearchPathBuilder.h"

namespace {

constexpr wchar_t kRootElement[] = L"ObjectSearchInfo";
constexpr wchar_t kObjectElement[] = L"Object";
constexpr wchar_t kChildrenElement[] = L"Childs";
constexpr wchar_t kNeighboursElement[] = L"Neigbours";
constexpr wchar_t kSeparator[] = L"_";

// A neighbour's element name and where the record keeps it, in written
// order.
struct NeighbourSide {
  const wchar_t* element;
  SearchInfoPtr (STDMETHODCALLTYPE ISearchInfo::*get)();
};

constexpr std::array<NeighbourSide, 4> kNeighbourSides = {{
    {L"Left", &ISearchInfo::GetLeft},
    {L"Top", &ISearchInfo::GetTop},
    {L"Right", &ISearchInfo::GetRight},
    {L"Bottom", &ISearchInfo::GetBottom},
}};

// A neighbour that is there and stands for an object.
bool IsPresent(const SearchInfoPtr& neighbour) { return neighbour && !neighbour->GetIsNull(); }

// Whether the point is the centre of the rectangle, relative to its
// top-left corner; the halves round toward zero.
bool IsCentreOf(const TPoint& point, const TRect& rect) {
  const int64_t centreX = (int64_t{rect.Left} + rect.Right) / 2 - rect.Left;
  const int64_t centreY = (int64_t{rect.Top} + rect.Bottom) / 2 - rect.Top;
  return point.X == centreX && point.Y == centreY;
}

void WriteNeighbours(ISearchInfo* record, TXmlDocument& document, IXMLDOMElement* object,
                     ISearchInfo* reference) {
  bool any = false;
  for (const NeighbourSide& side : kNeighbourSides) any = any || IsPresent((record->*side.get)());
  if (!any) return;
  const XmlElementPtr neighbours = document.AddChild(object, kNeighboursElement);
  for (const NeighbourSide& side : kNeighbourSides) {
    const SearchInfoPtr neighbour = (record->*side.get)();
    if (!IsPresent(neighbour)) continue;
    const XmlElementPtr element = document.AddChild(neighbours.Get(), side.element);
    WriteSearchInfoAttributes(neighbour.Get(), document, element.Get(), reference);
  }
}

}  // namespace

std::wstring NewSearchPathTag() {
  GUID guid;
  if (SUCCEEDED(CoCreateGuid(&guid))) {
    LPOLESTR text = nullptr;
    if (SUCCEEDED(StringFromCLSID(guid, &text)) && text != nullptr) {
      std::wstring tag(text);
      CoTaskMemFree(text);
      return tag;
    }
  }
  return std::to_wstring(GetTickCount());
}

std::wstring GetSearchInfoId(ISearchInfoPath* path, int32_t index) {
  const SearchInfoPtr record = path->GetItem(index);
  std::wstring id = record->GetName();
  if (!id.empty()) id += kSeparator;
  id += RoleToName(record->GetRoleId());
  if (!id.empty()) id += kSeparator;
  id += std::to_wstring(index);
  return id;
}

void WriteSearchInfoAttributes(ISearchInfo* record, TXmlDocument& document,
                               IXMLDOMElement* element, ISearchInfo* reference) {
  if (record->GetModuleName() != reference->GetModuleName()) {
    SetXmlAttribute(element, L"Module", record->GetModuleName());
  }
  if (record->GetWndClass() != reference->GetWndClass()) {
    SetXmlAttribute(element, L"Class", record->GetWndClass());
  }
  if (record->GetName() != reference->GetName()) {
    SetXmlAttribute(element, L"Name", record->GetName());
  }
  if (record->GetRoleId() != reference->GetRoleId()) {
    SetXmlAttribute(element, L"Role", RoleToName(record->GetRoleId()));
  }
  const int32_t state = record->GetStateId();
  if (state != reference->GetStateId() && state != 0) {
    SetXmlAttribute(element, L"State", StateBitsToNames(state));
  }
  if (record->GetWndText() != reference->GetWndText()) {
    SetXmlAttribute(element, L"WindowText", record->GetWndText());
  }
  if (!record->GetValue().empty()) SetXmlAttribute(element, L"Value", record->GetValue());
  if (!record->GetDefaultAction().empty()) {
    SetXmlAttribute(element, L"DefaultAction", record->GetDefaultAction());
  }
  if (record->GetHelpTopicId() != -1) {
    SetXmlAttribute(element, L"HelpTopicId", record->GetHelpTopicId());
  }
  if (!record->GetShortCut().empty()) SetXmlAttribute(element, L"ShortCut", record->GetShortCut());
  if (!record->GetDescription().empty()) {
    SetXmlAttribute(element, L"Description", record->GetDescription());
  }
  if (record->GetParentId() != 0) SetXmlAttribute(element, L"ParentId", record->GetParentId());

  const TRect rect = record->GetRootRect();
  const TPoint point = record->GetClientInnerPoint();
  if (!IsCentreOf(point, rect)) {
    const XmlElementPtr inner = document.AddChild(element, L"InnerPoint");
    SetXmlAttribute(inner.Get(), L"X", point.X);
    SetXmlAttribute(inner.Get(), L"Y", point.Y);
  }
  const XmlElementPtr rootRect = document.AddChild(element, L"RootRect");
  SetXmlAttribute(rootRect.Get(), L"Left", rect.Left);
  SetXmlAttribute(rootRect.Get(), L"Top", rect.Top);
  SetXmlAttribute(rootRect.Get(), L"Right", rect.Right);
  SetXmlAttribute(rootRect.Get(), L"Bottom", rect.Bottom);
}

void WriteSearchPathXML(ISearchInfoPath* path, TXmlDocument& document, IXMLDOMNode* parent) {
  const XmlElementPtr root = document.AddChild(parent, kRootElement);
  const SearchInfoPtr fresh = NewSearchInfo();
  const std::wstring tag = NewSearchPathTag();
  const int32_t count = path->GetCount();
  if (count == 0) {
    // Nothing to name the document after: no target, no Ids.
    SetXmlAttribute(root.Get(), L"Name", std::wstring(kSeparator) + kSeparator + tag);
    return;
  }

  const SearchInfoPtr target = path->GetItem(count - 1);
  SetXmlAttribute(root.Get(), L"Name",
                  target->GetName() + kSeparator + RoleToName(target->GetRoleId()) + kSeparator +
                      tag);
  SetXmlAttribute(root.Get(), L"TargetId", GetSearchInfoId(path, count - 1));

  SearchInfoPtr reference = fresh;
  for (int32_t i = 0; i < count; ++i) {
    const SearchInfoPtr record = path->GetItem(i);
    const XmlElementPtr object = document.AddChild(root.Get(), kObjectElement);
    WriteSearchInfoAttributes(record.Get(), document, object.Get(), reference.Get());
    SetXmlAttribute(object.Get(), L"Id", GetSearchInfoId(path, i));
    if (i > 0) SetXmlAttribute(object.Get(), L"PrevId", GetSearchInfoId(path, i - 1));
    if (record->GetChildCount() > 0) {
      const XmlElementPtr children = document.AddChild(object.Get(), kChildrenElement);
      SetXmlAttribute(children.Get(), L"Count", record->GetChildCount());
    }
    WriteNeighbours(record.Get(), document, object.Get(), reference.Get());
    reference = record;
  }
}

void CreateSearchPathFile(IItemInfo* item, const std::wstring& fileName) {
  const SearchInfoPathPtr path = BuildSearchPath(item);
  TXmlDocument document(L"1.0", true);
  WriteSearchPathXML(path.Get(), document, document.DocumentNode().Get());
  document.SetEncoding(L"utf-8");
  WriteXmlOutputFile(fileName, document);
}
