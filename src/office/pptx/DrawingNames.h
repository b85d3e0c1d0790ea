#pragma once
// Element names of PresentationML and DrawingML parts. pugixml does not resolve namespaces, and every
// element these engines look for has a local name no other vocabulary of a slide part uses inside it, so
// they are matched by local name whatever prefix a producer bound.

#include <pugixml.hpp>

#include <string>

namespace varnel::office::drawing {

// An element whose name without its prefix is localName.
bool isNamed(pugi::xml_node node, const char* localName);
// The first child element named localName; empty when none.
pugi::xml_node childNamed(pugi::xml_node node, const char* localName);
// "a:" for "a:p", empty without a prefix: new elements are spelled as their neighbours are.
std::string prefixOf(pugi::xml_node node);

} // namespace varnel::office::drawing
