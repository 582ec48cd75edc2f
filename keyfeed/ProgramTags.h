#pragma once
// The tags that are not keys: {MPOS X,Y} moves the mouse cursor,
// {MKEY button,action} works a mouse button at the cursor and {WAIT seconds}
// pauses the play.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "InputPort.h"

enum class TMouseKey { Left, Middle, Right };
enum class TMouseAction { Press, Release, Click, DblClick };

// What a coordinate that does not convert reads as.
inline constexpr int kBadCoordinate = -100000;
// What a number that does not convert reads as.
inline constexpr double kBadNumber = -999.25;

// Carries out MPOS, MKEY and WAIT (names in any case); false for any other
// name, and for an MPOS or MKEY whose parameter is unusable.
bool HandleExtendedTag(InputPort& input, const std::wstring& name, const std::wstring& param);

// The events of one button action; true when every event sent went in.
bool SendMouseButton(InputPort& input, TMouseKey button, TMouseAction action);

// Splits a parameter at commas and blanks; a field in double quotes may
// hold both, with "" standing for one quote.
std::vector<std::string> SplitTagFields(std::string_view text);

// A decimal or hexadecimal ($, x, X, 0x, 0X) 32-bit integer with an
// optional sign, or kBadCoordinate.
int StrToCoordinate(std::string_view text);

// A decimal number with "." or "," as its separator ("." when the text holds
// one), or Default when it does not read as one.
double StrToFloatAnySeparator(std::string_view text, double Default);

// Seconds to a pause in milliseconds, a half rounded to even. A negative
// pause is none; a huge one stops short of the infinite wait.
std::uint32_t PauseMilliseconds(double seconds);
