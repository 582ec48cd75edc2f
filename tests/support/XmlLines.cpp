#include "XmlLines.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "Utf.h"
#include "XmlDocument.h"

using Microsoft::WRL::ComPtr;

namespace testsupport {

namespace {

constexpr wchar_t kGuidMask[] = L"{GUID}";

std::wstring TakeText(BSTR text) {
  std::wstring taken = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return taken;
}

std::wstring NodeName(IXMLDOMNode* node) {
  BSTR name = nullptr;
  node->get_nodeName(&name);
  return TakeText(name);
}

std::vector<ComPtr<IXMLDOMNode>> ChildElements(IXMLDOMNode* node) {
  std::vector<ComPtr<IXMLDOMNode>> elements;
  ComPtr<IXMLDOMNodeList> children;
  if (node->get_childNodes(children.GetAddressOf()) != S_OK) return elements;
  long length = 0;
  children->get_length(&length);
  for (long i = 0; i < length; ++i) {
    ComPtr<IXMLDOMNode> child;
    DOMNodeType type = NODE_INVALID;
    if (children->get_item(i, child.GetAddressOf()) == S_OK &&
        SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT) {
      elements.push_back(child);
    }
  }
  return elements;
}

void Flatten(IXMLDOMNode* element, const std::wstring& path, std::vector<std::wstring>& lines) {
  std::wstring line = path;
  ComPtr<IXMLDOMNamedNodeMap> attributes;
  if (element->get_attributes(attributes.GetAddressOf()) == S_OK) {
    long length = 0;
    attributes->get_length(&length);
    for (long i = 0; i < length; ++i) {
      ComPtr<IXMLDOMNode> attribute;
      attributes->get_item(i, attribute.GetAddressOf());
      BSTR value = nullptr;
      attribute->get_text(&value);
      std::wstring text = TakeText(value);
      const std::wstring name = NodeName(attribute.Get());
      if (path == L"ObjectSearchInfo" && name == L"Name") {
        text = std::regex_replace(text, TrailingGuid(), kGuidMask);
      }
      line += L" " + name + L"=\"" + text + L"\"";
    }
  }
  lines.push_back(line);
  const std::vector<ComPtr<IXMLDOMNode>> children = ChildElements(element);
  std::map<std::wstring, int> total, seen;
  for (const auto& child : children) ++total[NodeName(child.Get())];
  for (const auto& child : children) {
    const std::wstring name = NodeName(child.Get());
    std::wstring childPath = path + L"/" + name;
    if (total[name] > 1) childPath += L"[" + std::to_wstring(seen[name]++) + L"]";
    Flatten(child.Get(), childPath, lines);
  }
}

}  // namespace

const std::wregex& TrailingGuid() {
  static const std::wregex pattern(
      L"\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$");
  return pattern;
}

std::vector<std::wstring> FlattenDocument(IXMLDOMDocument* document) {
  std::vector<std::wstring> lines;
  ComPtr<IXMLDOMElement> root;
  ComPtr<IXMLDOMNode> node;
  if (document->get_documentElement(root.GetAddressOf()) != S_OK ||
      FAILED(root->QueryInterface(IID_IXMLDOMNode,
                                  reinterpret_cast<void**>(node.GetAddressOf())))) {
    return lines;
  }
  Flatten(node.Get(), NodeName(node.Get()), lines);
  return lines;
}

std::vector<std::wstring> FlattenFile(const std::filesystem::path& file) {
  const XmlDocumentPtr document = NewXMLDocument();
  document->put_async(VARIANT_FALSE);
  VARIANT name;
  VariantInit(&name);
  name.vt = VT_BSTR;
  name.bstrVal = SysAllocString(file.wstring().c_str());
  VARIANT_BOOL loaded = VARIANT_FALSE;
  const HRESULT result = document->load(name, &loaded);
  VariantClear(&name);
  if (result != S_OK || loaded != VARIANT_TRUE) return {};
  return FlattenDocument(document.Get());
}

std::string IndentedXmlBytes(const std::string& declaration,
                             const std::vector<std::wstring>& lines) {
  const auto depthOf = [](const std::wstring& path) {
    return static_cast<size_t>(std::count(path.begin(), path.end(), L'/'));
  };
  std::string bytes = declaration + "\r\n";
  std::vector<std::wstring> open;  // the names of the elements not yet closed
  const auto closeDownTo = [&](size_t depth) {
    while (open.size() > depth) {
      bytes += std::string(2 * (open.size() - 1), ' ') + "</" + Utf16ToUtf8(open.back()) +
               ">\r\n";
      open.pop_back();
    }
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    const size_t blank = std::min(lines[i].find(L' '), lines[i].size());
    const std::wstring path = lines[i].substr(0, blank);
    const size_t depth = depthOf(path);
    closeDownTo(depth);
    std::wstring name = path.substr(path.rfind(L'/') + 1);
    name = name.substr(0, name.find(L'['));
    const bool hasChildren =
        i + 1 < lines.size() && depthOf(lines[i + 1].substr(0, lines[i + 1].find(L' '))) > depth;
    bytes += std::string(2 * depth, ' ') + "<" + Utf16ToUtf8(name + lines[i].substr(blank)) +
             (hasChildren ? ">" : "/>") + "\r\n";
    if (hasChildren) open.push_back(name);
  }
  closeDownTo(0);
  return bytes;
}

std::string WithGuidMasked(const std::string& bytes) {
  static const std::regex guid(
      "\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  return std::regex_replace(bytes, guid, "{GUID}", std::regex_constants::format_first_only);
}

void ExpectLines(const std::vector<std::wstring>& actual,
                 const std::vector<std::wstring>& expected) {
  for (size_t i = 0; i < actual.size() && i < expected.size(); ++i) {
    EXPECT_EQ(Utf16ToUtf8(actual[i]), Utf16ToUtf8(expected[i])) << "element " << i;
  }
  EXPECT_EQ(actual.size(), expected.size());
}

}  // namespace testsupport
