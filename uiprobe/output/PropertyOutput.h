#pragma once
// The output step of a capture: the captured object's properties, chosen by
// filter letters, in a text format or as the object XML, to standard output
// or to a file.

#include <string>
#include <string_view>

#include "ItemInfo.h"
#include "ObjectProperties.h"
#include "XmlDocument.h"

// The text of the selected, non-empty properties in the named format.
std::wstring FormatObjectText(IItemInfo* item, std::string_view flags,
                              std::string_view formatName);

// Writes the output: with the format "xml" the object XML, to the file
// (always replaced, in UTF-8) or to standard output (in windows-1252, its
// bytes as they are); with any other format the text, to the file (UTF-8
// with a byte-order mark; kept and extended when `append`) or to standard
// output. Raises on file errors only.
void WriteObjectOutput(IItemInfo* item, std::wstring_view outputFormat,
                       std::string_view outputFlags, const std::wstring& outputFile,
                       bool append);

// Writes the text output file: created or replaced, or, when `append` and
// the file exists, its old lines followed by the text. Raises EFCreateError
// when the file cannot be created (a read-only file included) and
// EFOpenError when the old file cannot be read.
void WriteTextOutputFile(const std::wstring& fileName, std::wstring_view text, bool append);

// Creates or replaces the file with the bytes. Raises EFCreateError with
// the file's full name and the reason when it cannot be made; a read-only
// file is refused and left as it is.
void WriteOutputFile(const std::wstring& fileName, std::string_view bytes);

// Creates or replaces the file with the document's bytes, its lines ended
// by CR LF whatever the document library ends them with; no byte-order
// mark is added. Raises as WriteOutputFile.
void WriteXmlOutputFile(const std::wstring& fileName, const TXmlDocument& document);

// Writes the bytes to standard output unchanged. Raises EInOutError when
// the write fails.
void WriteConsoleBytes(std::string_view bytes);
