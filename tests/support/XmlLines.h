#pragma once
// XML documents read back as lines, so that tests compare whole documents
// and a failure names the element that differs.

#include <windows.h>
#include <msxml2.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace testsupport {

// The registry form of a GUID at the end of a text.
const std::wregex& TrailingGuid();

// One line per element, in document order: its path (with the position
// among its namesakes where a name repeats) and its attributes in order,
// each as name="value". The GUID at the end of the root's Name is masked
// as "{GUID}". None without a root element.
std::vector<std::wstring> FlattenDocument(IXMLDOMDocument* document);

// The lines of an XML file; none when it cannot be parsed.
std::vector<std::wstring> FlattenFile(const std::filesystem::path& file);

// The bytes of the indented utf-8 document with `declaration` whose
// FlattenDocument lines these are: each element on a line of its own, two
// blanks deeper per level, with its attributes as the line gives them, an
// element with children closed by an end tag on a line of its own, and
// CR LF after every line. The values must need no escaping.
std::string IndentedXmlBytes(const std::string& declaration,
                             const std::vector<std::wstring>& lines);

// The bytes with the first GUID in registry form replaced by "{GUID}".
std::string WithGuidMasked(const std::string& bytes);

// Line by line, so that a failure names the element that differs.
void ExpectLines(const std::vector<std::wstring>& actual,
                 const std::vector<std::wstring>& expected);

}  // namespace testsupport
