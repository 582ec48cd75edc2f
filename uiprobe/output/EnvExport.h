#pragma once
// Hands the captured object to the command of --execute: its properties go
// into VEK_* variables of this program's environment, which the command
// inherits and its command line is expanded against.

#include <string>
#include <string_view>

#include "ItemInfo.h"

// Sets "VEK_" + the upper-cased key to the value, both in the ANSI code
// page. An empty value leaves the variable defined and empty.
void SetObjectEnvVar(std::wstring_view key, std::wstring_view value);

// Sets the 17 object variables, VEK_MODULE to VEK_FRIENDLYNAME, whatever
// the output flags say.
void ExportObjectToEnvironment(IItemInfo* item);

// The friendly name of the item (BuildFriendlyName of its values).
std::wstring GetFriendlyName(IItemInfo* item);
