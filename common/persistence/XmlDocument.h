#pragma once
// XML documents built through MSXML's document object model, for the files
// and console texts that the capture program writes.
//
// A document starts with the XML declaration of its version and no
// encoding; SetEncoding adds the encoding to the declaration, and the
// serializer writes the document's bytes in it. With automatic indentation
// on, every element added through AddChild goes on a line of its own,
// indented by two blanks for each level below the root element, and an
// element's end tag goes on its own line below its last child; the root
// element itself is not indented, and an element without children stays an
// empty element on one line. The line breaks inside the document are CR LF;
// MSXML under Wine writes them as LF when it serializes.
//
// Documents need COM, initialised on the calling thread.

#include <windows.h>
#include <msxml2.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "Exception.h"

using XmlDocumentPtr = Microsoft::WRL::ComPtr<IXMLDOMDocument>;
using XmlNodePtr = Microsoft::WRL::ComPtr<IXMLDOMNode>;
using XmlElementPtr = Microsoft::WRL::ComPtr<IXMLDOMElement>;

// A COM call of the document model failed, or no document class exists.
class EOleError : public Exception {
 public:
  EOleError(HRESULT code, std::wstring message)
      : Exception("EOleError", std::move(message)), code_(code) {}
  HRESULT Code() const noexcept { return code_; }

 private:
  HRESULT code_;
};

// The document classes tried, in this order, by NewXMLDocument.
inline constexpr const wchar_t* kXmlDocumentProgIds[] = {
    L"Msxml2.DOMDocument.4.0", L"Msxml2.DOMDocument.3.0", L"Msxml2.DOMDocument.2.6",
    L"Msxml2.DOMDocument"};

// An empty MSXML document from the first class of kXmlDocumentProgIds that
// can be created. Raises EOleError with "Microsoft MSXML is not installed"
// (translated) when none can.
XmlDocumentPtr NewXMLDocument();

class TXmlDocument {
 public:
  // A new document (NewXMLDocument) that holds the declaration of `version`.
  explicit TXmlDocument(std::wstring_view version = L"1.0", bool autoIndent = true);

  IXMLDOMDocument* Dom() const noexcept { return document_.Get(); }
  // The document node, under which the root element goes.
  XmlNodePtr DocumentNode() const;

  // The encoding named in the declaration; empty while none is named.
  const std::wstring& Encoding() const noexcept { return encoding_; }
  // Names `encoding` in the declaration (replacing the declaration node:
  // the serializer takes the encoding from the node as it was created).
  void SetEncoding(std::wstring_view encoding);

  // A new element `name` as the last child of `parent` (the document node
  // or an element of this document), indented when automatic indentation
  // is on.
  XmlElementPtr AddChild(IXMLDOMNode* parent, std::wstring_view name);

  // The document's bytes in its encoding, as a file of it holds them.
  std::string SaveToBytes() const;

 private:
  std::wstring DeclarationData() const;

  XmlDocumentPtr document_;
  std::wstring version_;
  std::wstring encoding_;
  bool autoIndent_;
};

// Sets the attribute to the text, or to the signed decimal of the value.
// Raises EOleError when the element refuses it.
void SetXmlAttribute(IXMLDOMElement* element, std::wstring_view name, std::wstring_view value);
void SetXmlAttribute(IXMLDOMElement* element, std::wstring_view name, int32_t value);
