#pragma once
// The text forms of a captured object's properties, the bytes of the text
// output file (new or appended), and the console form of the object XML.
// Pure: the values come in a TObjectProperties.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ObjectProperties.h"
#include "TextLines.h"

// The text formats, chosen by their exact names; any other name, the empty
// one included, gives Blocks.
enum class TextFormat {
  Ini,       // key=value CR LF
  Conf,      // key "value" CR LF
  ValLines,  // value CR LF
  ValTabs,   // value TAB
  ValCsv,    // value ;
  Blocks     // key: CR LF value CR LF CR LF
};

TextFormat TextFormatFromName(std::string_view name);

// True for the exact name "xml", which selects the object XML instead of a
// text format.
bool IsXmlFormat(std::wstring_view outputFormat);

// True when the property's letter occurs in the flags and its value is not
// the empty one.
bool WantProperty(std::string_view flags, const TObjectProperties& properties,
                  ObjectProperty id);

// Appends one property in the layout of the format.
void AppendProperty(std::wstring& text, TextFormat format, std::wstring_view key,
                    std::wstring_view value);

// The selected, non-empty properties in output order, in the format; no
// header, no trailer, no quoting or escaping.
std::wstring FormatObjectText(const TObjectProperties& properties, std::string_view flags,
                              std::string_view formatName);

// True when the bytes are well-formed UTF-8: no stray continuation byte,
// no overlong form, no surrogate, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The text of an output file as it is read back for appending: UTF-16 in
// either byte order or UTF-8 when a byte-order mark says so; without one,
// UTF-8 when the bytes are valid UTF-8, else the ANSI code page. The text
// ends at its first zero character.
std::wstring DecodeOutputFileText(std::string_view bytes, const AnsiDecoder& decodeAnsi);

// The bytes of the text output file: EF BB BF, then in UTF-8 the lines of
// the old file's text (when appending to an existing file) and the new text
// as one more item, joined by CR LF, with nothing after the last.
std::string OutputFileBytes(std::optional<std::string_view> oldFile, std::wstring_view text,
                            const AnsiDecoder& decodeAnsi);

// Serialized XML with each line break (CR LF, a lone CR or a lone LF)
// written as CR LF, whatever the serializer ended its lines with; every
// other byte is kept. Inside a tag, a quoted value runs to its closing
// quote, and a line break in it is data and stays as it is (MSXML writes
// those as character references anyway).
std::string XmlWithCrLfLineEnds(std::string_view serialized);

// The console form of serialized XML: each of its lines followed by CR LF
// (XmlWithCrLfLineEnds, and CR LF after a last line without a break), and
// one more CR LF at the end.
std::string XmlConsoleBytes(std::string_view serialized);
