#pragma once
// Fills the placeholders of a user-visible message. Only "%s" (the next
// argument) and "%%" (a percent sign) mean anything, so a translation or an
// argument can never make the formatting read memory that is not there; the
// texts that users or scripts supply are always arguments, never formats.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// Replaces each "%s" with the next argument, in order (an empty text when
// the arguments run out), and each "%%" with "%". Any other "%" stays as
// written, as does everything else.
std::wstring FormatMessageText(std::wstring_view format,
                               std::span<const std::wstring_view> args);
std::wstring FormatMessageText(std::wstring_view format,
                               std::initializer_list<std::wstring_view> args);

// True when `translation` has exactly the directives of `english`: the same
// "%s" placeholders, and no other "%" directive that the English text lacks.
// "%%" is plain text in both. A translation that fails this is not used.
bool HasSamePlaceholders(std::wstring_view english, std::wstring_view translation);
