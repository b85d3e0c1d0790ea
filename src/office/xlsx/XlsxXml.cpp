#include "office/xlsx/XlsxXml.h"

#include "office/xlsx/SpreadsheetXml.h"

namespace varnel::office {

const char* XlsxXml::localName(pugi::xml_node node)
{
    return SpreadsheetXml::localName(node.name());
}

bool XlsxXml::is(pugi::xml_node node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(localName(node), name) == 0;
}

pugi::xml_node XlsxXml::child(pugi::xml_node parent, const char* name)
{
    return SpreadsheetXml::child(parent, name);
}

std::vector<pugi::xml_node> XlsxXml::children(pugi::xml_node parent, const char* name)
{
    std::vector<pugi::xml_node> result;
    for (pugi::xml_node c : parent.children()) {
        if (is(c, name))
            result.push_back(c);
    }
    return result;
}

std::string XlsxXml::prefixOf(pugi::xml_node node)
{
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string(name, size_t(colon - name + 1)) : std::string();
}

pugi::xml_node XlsxXml::ensureChild(pugi::xml_node parent, const char* name, std::initializer_list<const char*> before)
{
    if (pugi::xml_node existing = child(parent, name))
        return existing;
    const std::string full = prefixOf(parent) + name;
    for (pugi::xml_node c : parent.children()) {
        for (const char* next : before) {
            if (is(c, next))
                return parent.insert_child_before(full.c_str(), c);
        }
    }
    return parent.append_child(full.c_str());
}

} // namespace varnel::office
