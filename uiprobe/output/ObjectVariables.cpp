#include "ObjectVariables.h"

#include "FriendlyName.h"

std::wstring FriendlyNameOf(const TObjectProperties& properties) {
  return BuildFriendlyName(properties.Module, properties.Name, properties.Value,
                           properties.Text, properties.Description, properties.Class,
                           properties.RoleId);
}

std::vector<TObjectVariable> ObjectVariables(const TObjectProperties& properties) {
  std::vector<TObjectVariable> variables;
  variables.reserve(kObjectProperties.size() + 1);
  for (const TPropertySpec& spec : kObjectProperties) {
    variables.push_back({std::wstring(spec.TextKey), PropertyText(properties, spec.Id)});
  }
  variables.push_back({L"FriendlyName", FriendlyNameOf(properties)});
  return variables;
}
