#include "XmlDocument.h"

#include <ole2.h>

#include <cwchar>
#include <new>
#include <utility>

#include "SystemError.h"
#include "Translation.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kIndentPerLevel = 2;

// Owns a BSTR made from a wide text.
class OleString {
 public:
  explicit OleString(std::wstring_view text)
      : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (value_ == nullptr) throw std::bad_alloc();
  }
  OleString(const OleString&) = delete;
  OleString& operator=(const OleString&) = delete;
  ~OleString() { SysFreeString(value_); }

  BSTR Get() const noexcept { return value_; }

 private:
  BSTR value_;
};

// A variant that borrows a string or an interface for the length of one
// call; it is never cleared.
VARIANT BorrowedVariant(BSTR text) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_BSTR;
  variant.bstrVal = text;
  return variant;
}

VARIANT BorrowedVariant(IUnknown* object) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_UNKNOWN;
  variant.punkVal = object;
  return variant;
}

// The system's text for the code, without the line break that ends it.
std::wstring OleErrorText(HRESULT code) {
  std::wstring text = SystemErrorText(static_cast<unsigned long>(code));
  if (text.empty()) {
    wchar_t fallback[32];
    swprintf(fallback, 32, L"OLE error %08lX", static_cast<unsigned long>(code));
    text = fallback;
  }
  return text;
}

// S_FALSE is how the document model says that it did nothing.
void Check(HRESULT code) {
  if (code == S_FALSE) throw EOleError(E_FAIL, OleErrorText(E_FAIL));
  if (FAILED(code)) throw EOleError(code, OleErrorText(code));
}

DOMNodeType TypeOf(IXMLDOMNode* node) {
  DOMNodeType type = NODE_INVALID;
  if (node == nullptr || FAILED(node->get_nodeType(&type))) return NODE_INVALID;
  return type;
}

// Levels between the element and the document node: 0 for the root element.
int DepthOf(IXMLDOMNode* element) {
  int depth = -1;
  ComPtr<IXMLDOMNode> node = element;
  while (node && TypeOf(node.Get()) == NODE_ELEMENT) {
    ++depth;
    ComPtr<IXMLDOMNode> parent;
    if (node->get_parentNode(parent.GetAddressOf()) != S_OK) break;
    node = parent;
  }
  return depth;
}

bool IsBlankText(IXMLDOMNode* node) {
  if (TypeOf(node) != NODE_TEXT) return false;
  BSTR text = nullptr;
  if (FAILED(node->get_text(&text))) return false;
  bool blank = true;
  for (UINT i = 0, n = SysStringLen(text); i < n; ++i) {
    if (text[i] > L' ') blank = false;
  }
  SysFreeString(text);
  return blank;
}

std::wstring LineBreakAndIndent(int depth) {
  return L"\r\n" + std::wstring(static_cast<size_t>(depth * kIndentPerLevel), L' ');
}

// The stream's whole content.
std::string ReadWholeStream(IStream* stream) {
  STATSTG status{};
  Check(stream->Stat(&status, STATFLAG_NONAME));
  LARGE_INTEGER start{};
  Check(stream->Seek(start, STREAM_SEEK_SET, nullptr));
  std::string bytes(static_cast<size_t>(status.cbSize.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    ULONG read = 0;
    const HRESULT code = stream->Read(bytes.data() + done,
                                      static_cast<ULONG>(bytes.size() - done), &read);
    if (FAILED(code) || read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace

XmlDocumentPtr NewXMLDocument() {
  for (const wchar_t* progId : kXmlDocumentProgIds) {
    CLSID classId;
    if (FAILED(CLSIDFromProgID(progId, &classId))) continue;
    XmlDocumentPtr document;
    if (SUCCEEDED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                   reinterpret_cast<void**>(document.GetAddressOf())))) {
      return document;
    }
  }
  throw EOleError(REGDB_E_CLASSNOTREG, Translate(L"Microsoft MSXML is not installed"));
}

TXmlDocument::TXmlDocument(std::wstring_view version, bool autoIndent)
    : document_(NewXMLDocument()), version_(version), autoIndent_(autoIndent) {
  ComPtr<IXMLDOMProcessingInstruction> declaration;
  Check(document_->createProcessingInstruction(OleString(L"xml").Get(),
                                               OleString(DeclarationData()).Get(),
                                               declaration.GetAddressOf()));
  ComPtr<IXMLDOMNode> added;
  Check(document_->appendChild(declaration.Get(), added.GetAddressOf()));
}

std::wstring TXmlDocument::DeclarationData() const {
  std::wstring data = L"version=\"" + version_ + L"\"";
  if (!encoding_.empty()) data += L" encoding=\"" + encoding_ + L"\"";
  return data;
}

XmlNodePtr TXmlDocument::DocumentNode() const {
  XmlNodePtr node;
  Check(document_->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(node.GetAddressOf())));
  return node;
}

void TXmlDocument::SetEncoding(std::wstring_view encoding) {
  encoding_ = encoding;
  ComPtr<IXMLDOMProcessingInstruction> declaration;
  Check(document_->createProcessingInstruction(OleString(L"xml").Get(),
                                               OleString(DeclarationData()).Get(),
                                               declaration.GetAddressOf()));
  ComPtr<IXMLDOMNode> first;
  const HRESULT found = document_->get_firstChild(first.GetAddressOf());
  ComPtr<IXMLDOMNode> replaced;
  if (found == S_OK && TypeOf(first.Get()) == NODE_PROCESSING_INSTRUCTION) {
    Check(document_->replaceChild(declaration.Get(), first.Get(), replaced.GetAddressOf()));
  } else if (found == S_OK) {
    Check(document_->insertBefore(declaration.Get(), BorrowedVariant(first.Get()),
                                  replaced.GetAddressOf()));
  } else {
    Check(document_->appendChild(declaration.Get(), replaced.GetAddressOf()));
  }
}

XmlElementPtr TXmlDocument::AddChild(IXMLDOMNode* parent, std::wstring_view name) {
  XmlElementPtr element;
  Check(document_->createElement(OleString(name).Get(), element.GetAddressOf()));
  ComPtr<IXMLDOMNode> added;
  if (!autoIndent_ || TypeOf(parent) != NODE_ELEMENT) {
    Check(parent->appendChild(element.Get(), added.GetAddressOf()));
    return element;
  }
  const int depth = DepthOf(parent);
  const auto newText = [&](int level) {
    ComPtr<IXMLDOMText> text;
    Check(document_->createTextNode(OleString(LineBreakAndIndent(level)).Get(),
                                    text.GetAddressOf()));
    return text;
  };
  ComPtr<IXMLDOMNode> last;
  if (parent->get_lastChild(last.GetAddressOf()) == S_OK && IsBlankText(last.Get())) {
    // The line break before the end tag is there already: the new child
    // goes on a line of its own in front of it. The child goes in first:
    // MSXML under Wine merges a text node into a neighbouring one.
    Check(parent->insertBefore(element.Get(), BorrowedVariant(last.Get()),
                               added.GetAddressOf()));
    Check(parent->insertBefore(newText(depth + 1).Get(), BorrowedVariant(element.Get()),
                               added.ReleaseAndGetAddressOf()));
  } else {
    Check(parent->appendChild(newText(depth + 1).Get(), added.GetAddressOf()));
    Check(parent->appendChild(element.Get(), added.ReleaseAndGetAddressOf()));
    Check(parent->appendChild(newText(depth).Get(), added.ReleaseAndGetAddressOf()));
  }
  return element;
}

std::string TXmlDocument::SaveToBytes() const {
  ComPtr<IStream> stream;
  Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf()));
  Check(document_->save(BorrowedVariant(stream.Get())));
  return ReadWholeStream(stream.Get());
}

void SetXmlAttribute(IXMLDOMElement* element, std::wstring_view name, std::wstring_view value) {
  const OleString text(value);
  Check(element->setAttribute(OleString(name).Get(), BorrowedVariant(text.Get())));
}

void SetXmlAttribute(IXMLDOMElement* element, std::wstring_view name, int32_t value) {
  SetXmlAttribute(element, name, std::to_wstring(value));
}
