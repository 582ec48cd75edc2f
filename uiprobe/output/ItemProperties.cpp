#include "ItemProperties.h"

#include "CodePage.h"

TObjectProperties ReadObjectProperties(IItemInfo* item, std::string_view flags) {
  TObjectProperties values;
  const auto wants = [flags](ObjectProperty id) {
    return IsSelected(flags, PropertySpec(id).Letter);
  };
  if (wants(ObjectProperty::Module)) values.Module = AnsiToWide(item->GetModuleName());
  if (wants(ObjectProperty::Handle)) {
    values.Handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(item->GetHandle()));
  }
  if (wants(ObjectProperty::Name)) values.Name = item->GetName();
  if (wants(ObjectProperty::Role)) values.RoleId = item->GetRoleId();
  if (wants(ObjectProperty::State)) values.StateId = item->GetStateId();
  if (wants(ObjectProperty::Text)) values.Text = AnsiToWide(item->GetText());
  if (wants(ObjectProperty::Class)) values.Class = AnsiToWide(item->GetClassName());
  if (wants(ObjectProperty::Shortcut)) values.Shortcut = item->GetShortcut();
  if (wants(ObjectProperty::ScreenRect) || wants(ObjectProperty::ScreenPoint)) {
    values.ScreenRect = item->GetScreenRect();
    values.InnerPoint = item->GetInnerPoint();
  }
  if (wants(ObjectProperty::Value)) values.Value = item->GetValue();
  if (wants(ObjectProperty::Action)) values.Action = item->GetDefaultAction();
  if (wants(ObjectProperty::Description)) values.Description = item->GetDescription();
  if (wants(ObjectProperty::HelpIndex)) values.HelpTopicId = item->GetHelpTopicId();
  if (wants(ObjectProperty::RoleFull)) values.RoleFull = item->GetRole();
  if (wants(ObjectProperty::StateFull)) values.StateFull = item->GetState();
  return values;
}
