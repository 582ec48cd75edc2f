#include "XmlLines.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

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

void ExpectLines(const std::vector<std::wstring>& actual,
                 const std::vector<std::wstring>& expected) {
  for (size_t i = 0; i < actual.size() && i < expected.size(); ++i) {
    EXPECT_EQ(Utf16ToUtf8(actual[i]), Utf16ToUtf8(expected[i])) << "element " << i;
  }
  EXPECT_EQ(actual.size(), expected.size());
}

}  // namespace testsupport
