#pragma once
// The search path as XML: the element "ObjectSearchInfo" with one "Object"
// per level, from the top-level window down to the target. Each level
// carries the identifying texts only where they differ from the level above
// it, so the document reads as a chain of differences ending at the
// target; it also holds the level's position ("InnerPoint", "RootRect"),
// its valid child count ("Childs") and its neighbours ("Neigbours"). The
// element names are part of the format that scripts read, spelling
// included.
//
//   <ObjectSearchInfo Name="<target name>_<role name>_<tag>" TargetId="...">
//     <Object Module=... Class=... ... Id="WINDOW_0">
//       <InnerPoint X=".." Y=".."/>      (unless at the centre of RootRect)
//       <RootRect Left=".." Top=".." Right=".." Bottom=".."/>
//       <Childs Count=".."/>             (when there are valid children)
//       <Neigbours>                      (when any neighbour is not null)
//         <Left .../> <Top .../> <Right .../> <Bottom .../>
//       </Neigbours>
//     </Object>
//     <Object ... Id="..." PrevId="WINDOW_0"> ...
//   </ObjectSearchInfo>

#include <cstdint>
#include <string>

#include "ItemInfo.h"
#include "SearchInfo2.h"
#include "XmlDocument.h"

// The unique tag at the end of the root element's Name: a new GUID in
// registry form ("{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case), or
// the tick count in decimal when no GUID can be made.
std::wstring NewSearchPathTag();

// The Id of record `index`: its name, "_" when that is not empty, its role
// name, "_" when the text so far is not empty, and the index in decimal
// ("OK_PUSHBUTTON_3", "WINDOW_0", "OK__3", "3"). EListError for an index
// outside the path.
std::wstring GetSearchInfoId(ISearchInfoPath* path, int32_t index);

// Writes the record's attributes onto `element`, then its children
// "InnerPoint" and "RootRect". Module, Class, Name, Role, State (never for
// state 0) and WindowText are written where they differ from `reference`;
// Value, DefaultAction, ShortCut and Description where not empty,
// HelpTopicId where not -1 and ParentId where not 0. "InnerPoint" is left
// out when the point is the centre of RootRect.
void WriteSearchInfoAttributes(ISearchInfo* record, TXmlDocument& document,
                               IXMLDOMElement* element, ISearchInfo* reference);

// Adds "ObjectSearchInfo" with everything under it as the last child of
// `parent`, a node of `document`. Record 0 and its neighbours are compared
// against a fresh record, every later record and its neighbours against the
// record before. A path without records gives the root element alone, its
// Name made of the two separators and the tag, and without TargetId.
void WriteSearchPathXML(ISearchInfoPath* path, TXmlDocument& document, IXMLDOMNode* parent);

// The --createpath stage of the capture run: builds the item's search path
// and saves it as a utf-8 XML document (version 1.0, indented) to the file,
// created or replaced.
void CreateSearchPathFile(IItemInfo* item, const std::wstring& fileName);
