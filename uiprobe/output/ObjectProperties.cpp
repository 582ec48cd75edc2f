#include "ObjectProperties.h"

#include "AccessibilityNames.h"

namespace {

std::wstring RectText(const TRect& rect) {
  return std::to_wstring(rect.Left) + L"," + std::to_wstring(rect.Top) + L"," +
         std::to_wstring(rect.Right) + L"," + std::to_wstring(rect.Bottom);
}

std::wstring PointText(const TPoint& point) {
  return std::to_wstring(point.X) + L"," + std::to_wstring(point.Y);
}

}  // namespace

std::wstring PropertyText(const TObjectProperties& properties, ObjectProperty id) {
  switch (id) {
    case ObjectProperty::Module:
      return properties.Module;
    case ObjectProperty::Handle:
      return std::to_wstring(properties.Handle);
    case ObjectProperty::Name:
      return properties.Name;
    case ObjectProperty::Role:
      return RoleToName(properties.RoleId);
    case ObjectProperty::State:
      return StateBitsToNames(properties.StateId);
    case ObjectProperty::Text:
      return properties.Text;
    case ObjectProperty::Class:
      return properties.Class;
    case ObjectProperty::Shortcut:
      return properties.Shortcut;
    case ObjectProperty::ScreenRect:
      return RectText(properties.ScreenRect);
    case ObjectProperty::ScreenPoint:
      return PointText(ScreenPoint(properties));
    case ObjectProperty::Value:
      return properties.Value;
    case ObjectProperty::Action:
      return properties.Action;
    case ObjectProperty::Description:
      return properties.Description;
    case ObjectProperty::HelpIndex:
      return std::to_wstring(properties.HelpTopicId);
    case ObjectProperty::RoleFull:
      return properties.RoleFull;
    case ObjectProperty::StateFull:
      return properties.StateFull;
  }
  return {};
}

std::wstring PropertyXmlText(const TObjectProperties& properties, ObjectProperty id) {
  if (id == ObjectProperty::Handle) {
    return std::to_wstring(static_cast<int32_t>(properties.Handle));
  }
  return PropertyText(properties, id);
}

bool IsEmptyProperty(const TObjectProperties& properties, ObjectProperty id) {
  switch (id) {
    case ObjectProperty::Handle:
    case ObjectProperty::ScreenRect:
    case ObjectProperty::ScreenPoint:
      return false;
    case ObjectProperty::HelpIndex:
      return properties.HelpTopicId == -1;
    default:
      return PropertyText(properties, id).empty();
  }
}
