#pragma once
// The environment variables that hand a captured object to the command of
// --execute: "VEK_" and the upper-cased key of each.

#include <string>
#include <vector>

#include "ObjectProperties.h"

struct TObjectVariable {
  std::wstring Key;  // as the program passes it: "Module", "ScreenRect"...
  std::wstring Value;
};

// The friendly name of the object (BuildFriendlyName).
std::wstring FriendlyNameOf(const TObjectProperties& properties);

// The 17 object variables in the order they are set: the 16 properties in
// output order, as the text formats write them, then "FriendlyName". Every
// one is there, also with an empty value.
std::vector<TObjectVariable> ObjectVariables(const TObjectProperties& properties);

// The variable that names the key used to end the selection, and its value
// ("ctrl" also for a capture by position).
inline constexpr char kSelectionKeyVariable[] = "VEK_SELKEY";
inline constexpr char kSelectionKeyValue[] = "ctrl";

// The prefix of every variable name.
inline constexpr wchar_t kVariablePrefix[] = L"VEK_";
