#pragma once
// The filter letters of the output, one for each property.

#include <string_view>

// Every property's filter letter, in output order; the default of
// --outputflags.
inline constexpr std::string_view kAllOutputFlags = "mhnrstcSbpvadHRT";
