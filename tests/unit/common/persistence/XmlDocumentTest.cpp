#include "XmlDocument.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include "Bytes.h"
#include "ComApartment.h"

namespace {

using testsupport::WithLfLineEnds;

using XmlDocument_Indent = testsupport::ComApartmentTest;
using XmlDocument_Encoding = testsupport::ComApartmentTest;

}  // namespace

TEST_F(XmlDocument_Indent, EachLevelTwoBlanksDeeperEndTagsOnTheirOwnLines) {
  TXmlDocument document;
  const XmlElementPtr root = document.AddChild(document.DocumentNode().Get(), L"Root");
  const XmlElementPtr first = document.AddChild(root.Get(), L"First");
  document.AddChild(first.Get(), L"Inner");
  const XmlElementPtr second = document.AddChild(root.Get(), L"Second");
  SetXmlAttribute(second.Get(), L"N", -5);
  document.AddChild(first.Get(), L"Inner2");
  EXPECT_EQ(WithLfLineEnds(document.SaveToBytes()),
            "<?xml version=\"1.0\"?>\n"
            "<Root>\n"
            "  <First>\n"
            "    <Inner/>\n"
            "    <Inner2/>\n"
            "  </First>\n"
            "  <Second N=\"-5\"/>\n"
            "</Root>\n");
}

TEST_F(XmlDocument_Indent, WithoutIndentationChildrenFollowEachOther) {
  TXmlDocument document(L"1.0", false);
  const XmlElementPtr root = document.AddChild(document.DocumentNode().Get(), L"Root");
  document.AddChild(root.Get(), L"A");
  document.AddChild(root.Get(), L"B");
  EXPECT_EQ(WithLfLineEnds(document.SaveToBytes()),
            "<?xml version=\"1.0\"?>\n<Root><A/><B/></Root>\n");
}

TEST_F(XmlDocument_Encoding, DeclarationNamesItAndTheBytesFollowIt) {
  TXmlDocument document;
  const XmlElementPtr root = document.AddChild(document.DocumentNode().Get(), L"Root");
  SetXmlAttribute(root.Get(), L"Text", L"\u00e9");
  EXPECT_EQ(document.Encoding(), L"");
  document.SetEncoding(L"windows-1252");
  EXPECT_EQ(WithLfLineEnds(document.SaveToBytes()),
            "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<Root Text=\"\xe9\"/>\n");
  document.SetEncoding(L"utf-8");
  EXPECT_EQ(document.Encoding(), L"utf-8");
  EXPECT_EQ(WithLfLineEnds(document.SaveToBytes()),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Root Text=\"\xC3\xA9\"/>\n");
}

TEST(XmlDocument_Classes, NewestVersionFirstThenTheVersionIndependentOne) {
  const std::vector<std::wstring> expected = {L"Msxml2.DOMDocument.4.0", L"Msxml2.DOMDocument.3.0",
                                              L"Msxml2.DOMDocument.2.6", L"Msxml2.DOMDocument"};
  EXPECT_EQ(std::vector<std::wstring>(std::begin(kXmlDocumentProgIds),
                                      std::end(kXmlDocumentProgIds)),
            expected);
}
