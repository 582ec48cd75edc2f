#include "EnvExport.h"

#include <windows.h>

#include "CodePage.h"
#include "Environment.h"
#include "ItemProperties.h"
#include "ObjectProperties.h"
#include "ObjectVariables.h"

namespace {

std::wstring UpperCased(std::wstring_view text) {
  std::wstring upper(text);
  if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  return upper;
}

}  // namespace

void SetObjectEnvVar(std::wstring_view key, std::wstring_view value) {
  SetEnvVariable(WideToAnsi(kVariablePrefix + UpperCased(key)), WideToAnsi(value));
}

void ExportObjectToEnvironment(IItemInfo* item) {
  for (const TObjectVariable& variable :
       ObjectVariables(ReadObjectProperties(item, kAllOutputFlags))) {
    SetObjectEnvVar(variable.Key, variable.Value);
  }
}

std::wstring GetFriendlyName(IItemInfo* item) {
  return FriendlyNameOf(ReadObjectProperties(item, kAllOutputFlags));
}
