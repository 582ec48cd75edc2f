#include "ObjectXml.h"

#include "ItemProperties.h"

namespace {

constexpr wchar_t kObjectElement[] = L"ObjectInfo";

bool Selected(std::string_view flags, ObjectProperty id) {
  return IsSelected(flags, PropertySpec(id).Letter);
}

}  // namespace

void WriteObjectXML(const TObjectProperties& properties, TXmlDocument& document,
                    IXMLDOMNode* parent, std::string_view flags) {
  const XmlElementPtr object = document.AddChild(parent, kObjectElement);
  for (const TPropertySpec& spec : kObjectProperties) {
    if (spec.Form == XmlForm::Attribute && IsSelected(flags, spec.Letter)) {
      SetXmlAttribute(object.Get(), spec.XmlName, PropertyXmlText(properties, spec.Id));
    }
  }
  if (Selected(flags, ObjectProperty::ScreenRect)) {
    const TRect& rect = properties.ScreenRect;
    const XmlElementPtr element =
        document.AddChild(object.Get(), PropertySpec(ObjectProperty::ScreenRect).XmlName);
    SetXmlAttribute(element.Get(), L"Left", rect.Left);
    SetXmlAttribute(element.Get(), L"Top", rect.Top);
    SetXmlAttribute(element.Get(), L"Right", rect.Right);
    SetXmlAttribute(element.Get(), L"Bottom", rect.Bottom);
  }
  if (Selected(flags, ObjectProperty::ScreenPoint)) {
    const TPoint point = ScreenPoint(properties);
    const XmlElementPtr element =
        document.AddChild(object.Get(), PropertySpec(ObjectProperty::ScreenPoint).XmlName);
    SetXmlAttribute(element.Get(), L"X", point.X);
    SetXmlAttribute(element.Get(), L"Y", point.Y);
  }
}

void WriteObjectXML(IItemInfo* item, TXmlDocument& document, IXMLDOMNode* parent,
                    std::string_view flags) {
  WriteObjectXML(ReadObjectProperties(item, flags), document, parent, flags);
}
