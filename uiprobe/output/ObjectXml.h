#pragma once
// The object XML: the element "ObjectInfo" with the selected properties as
// attributes, in output order, and the screen rectangle and point as child
// elements.

#include <string_view>

#include "ItemInfo.h"
#include "ObjectProperties.h"
#include "XmlDocument.h"

// Adds "ObjectInfo" as the last child of `parent`, a node of `document`.
// Every selected attribute is written, an empty one too; integers are
// signed decimals (the handle as well). "ScreenRect" (Left, Top, Right,
// Bottom) follows when "b" is selected, "ScreenPoint" (X, Y) when "p" is.
void WriteObjectXML(const TObjectProperties& properties, TXmlDocument& document,
                    IXMLDOMNode* parent, std::string_view flags);

// The same with the values asked of the item now.
void WriteObjectXML(IItemInfo* item, TXmlDocument& document, IXMLDOMNode* parent,
                    std::string_view flags);
