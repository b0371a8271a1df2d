// An XML part of a document parsed by pugixml, which neither reads external files nor
// expands declared entities; a part that declares a document type (where an entity bomb
// would hide) is refused outright, since no Office or OpenDocument part has one. Elements
// are named by their local names, whatever prefix a writer bound their namespace to.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace verko::documents {

// How deep the walks of a part may go: far beyond real documents (a table in a table in a
// text box), short of the stack.
inline constexpr int kMaxDepth = 200;

// Parses `bytes` (part `name` of the file) into `document`. Throws Refusal for a part that is not
// well-formed XML or that declares a document type.
void ParsePart(const std::string& bytes, const std::string& name, pugi::xml_document& document);

// The element's name without its namespace prefix ("w:p" → "p").
std::string_view LocalName(const pugi::xml_node& node);
// The attribute of local name `name` ("r:id" is found as "id"), or an empty attribute.
pugi::xml_attribute AttributeOf(const pugi::xml_node& node, std::string_view name);
// The first child element of local name `name`, or an empty node.
pugi::xml_node ChildOf(const pugi::xml_node& node, std::string_view name);
// Throws Refusal when `depth` passes kMaxDepth.
void CheckDepth(int depth);

// The zip path a relationship's target names, seen from part `from` ("word/document.xml"
// with "media/a.png" gives "word/media/a.png"; "/xl/x.xml" is from the root).
std::string ResolveTarget(const std::string& from, const std::string& target);

}  // namespace verko::documents
