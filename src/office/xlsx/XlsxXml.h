#pragma once
// Element lookup by local name in SpreadsheetML parts, which may bind their namespace to a prefix
// ("x:c") as well as to the default namespace ("c").

#include <pugixml.hpp>

#include <cstring>
#include <string>
#include <vector>

namespace varnel::office {

class XlsxXml
{
public:
    static const char* localName(pugi::xml_node node);
    static bool is(pugi::xml_node node, const char* name);
    // The first child element of that local name, or null.
    static pugi::xml_node child(pugi::xml_node parent, const char* name);
    // Every child element of that local name.
    static std::vector<pugi::xml_node> children(pugi::xml_node parent, const char* name);
    // The prefix of the element's name, with its colon ("" when none): new siblings and children get it.
    static std::string prefixOf(pugi::xml_node node);
    // The child of that local name, created (with the parent's prefix) when missing; created children go
    // before the first child whose local name is one of before (schema order), else at the end.
    static pugi::xml_node ensureChild(pugi::xml_node parent, const char* name, std::initializer_list<const char*> before = {});
};

} // namespace varnel::office
