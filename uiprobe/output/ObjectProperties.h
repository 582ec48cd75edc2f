#pragma once
// The properties of a captured object that the outputs write: their filter
// letters, their keys in the text formats and their names in the object
// XML, in output order, and the values read from the object.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "Geometry.h"
#include "OutputFlags.h"

enum class ObjectProperty {
  Module,
  Handle,
  Name,
  Role,
  State,
  Text,
  Class,
  Shortcut,
  ScreenRect,
  ScreenPoint,
  Value,
  Action,
  Description,
  HelpIndex,
  RoleFull,
  StateFull
};

// How the object XML holds a property.
enum class XmlForm { Attribute, ChildElement };

struct TPropertySpec {
  ObjectProperty Id;
  char Letter;
  std::wstring_view TextKey;
  std::wstring_view XmlName;
  XmlForm Form;
};

inline constexpr std::array<TPropertySpec, 16> kObjectProperties{{
    {ObjectProperty::Module, 'm', L"Module", L"Module", XmlForm::Attribute},
    {ObjectProperty::Handle, 'h', L"Handle", L"Handle", XmlForm::Attribute},
    {ObjectProperty::Name, 'n', L"Name", L"Name", XmlForm::Attribute},
    {ObjectProperty::Role, 'r', L"Role", L"Role", XmlForm::Attribute},
    {ObjectProperty::State, 's', L"State", L"State", XmlForm::Attribute},
    {ObjectProperty::Text, 't', L"Text", L"WindowText", XmlForm::Attribute},
    {ObjectProperty::Class, 'c', L"Class", L"Class", XmlForm::Attribute},
    {ObjectProperty::Shortcut, 'S', L"Shortcut", L"ShortCut", XmlForm::Attribute},
    {ObjectProperty::ScreenRect, 'b', L"ScreenRect", L"ScreenRect", XmlForm::ChildElement},
    {ObjectProperty::ScreenPoint, 'p', L"ScreenPoint", L"ScreenPoint", XmlForm::ChildElement},
    {ObjectProperty::Value, 'v', L"Value", L"Value", XmlForm::Attribute},
    {ObjectProperty::Action, 'a', L"Action", L"DefaultAction", XmlForm::Attribute},
    {ObjectProperty::Description, 'd', L"Description", L"Description", XmlForm::Attribute},
    {ObjectProperty::HelpIndex, 'H', L"HelpIndex", L"HelpTopicId", XmlForm::Attribute},
    {ObjectProperty::RoleFull, 'R', L"RoleFull", L"RoleFull", XmlForm::Attribute},
    {ObjectProperty::StateFull, 'T', L"StateFull", L"StateFull", XmlForm::Attribute},
}};

namespace object_properties_detail {

constexpr bool RowsFollowTheEnumAndTheDefaultFlags() {
  if (kAllOutputFlags.size() != kObjectProperties.size()) return false;
  for (size_t i = 0; i < kObjectProperties.size(); ++i) {
    if (static_cast<size_t>(kObjectProperties[i].Id) != i) return false;
    if (kObjectProperties[i].Letter != kAllOutputFlags[i]) return false;
  }
  return true;
}

}  // namespace object_properties_detail

// Letters are unique because the default flags name each property once.
static_assert(object_properties_detail::RowsFollowTheEnumAndTheDefaultFlags(),
              "one row per property, in output order, with the letters of the default flags");

constexpr const TPropertySpec& PropertySpec(ObjectProperty id) {
  return kObjectProperties[static_cast<size_t>(id)];
}

// True when the letter occurs anywhere in the filter letters (case-sensitive).
constexpr bool IsSelected(std::string_view flags, char letter) {
  return flags.find(letter) != std::string_view::npos;
}

// The values of one object, as its item reports them. Window-manager texts
// (module, text, class) are widened from the ANSI code page.
struct TObjectProperties {
  std::wstring Module;
  uint32_t Handle = 0;  // the window handle's 32 bits
  std::wstring Name;
  int32_t RoleId = -1;
  int32_t StateId = 0;
  std::wstring Text;
  std::wstring Class;
  std::wstring Shortcut;
  TRect ScreenRect;
  TPoint InnerPoint;  // relative to the screen rectangle's top-left corner
  std::wstring Value;
  std::wstring Action;
  std::wstring Description;
  int32_t HelpTopicId = -1;
  std::wstring RoleFull;
  std::wstring StateFull;
};

// The inner point on the screen.
constexpr TPoint ScreenPoint(const TObjectProperties& properties) {
  return {properties.ScreenRect.Left + properties.InnerPoint.X,
          properties.ScreenRect.Top + properties.InnerPoint.Y};
}

// The property as the text formats and the environment write it: the
// handle unsigned, the role and state as their names, "X1,Y1,X2,Y2" and
// "X,Y", the help topic signed.
std::wstring PropertyText(const TObjectProperties& properties, ObjectProperty id);

// The property as an attribute of the object XML: as PropertyText, but the
// handle signed. Not for ScreenRect and ScreenPoint, which are elements.
std::wstring PropertyXmlText(const TObjectProperties& properties, ObjectProperty id);

// True when the text formats leave the property out: an empty text, a help
// topic of -1. The handle, the rectangle and the point are never empty.
bool IsEmptyProperty(const TObjectProperties& properties, ObjectProperty id);
