#include "office/pptx/DrawingNames.h"

#include <cstring>

namespace varnel::office::drawing {

bool isNamed(pugi::xml_node node, const char* localName)
{
    if (node.type() != pugi::node_element)
        return false;
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return std::strcmp(colon ? colon + 1 : name, localName) == 0;
}

pugi::xml_node childNamed(pugi::xml_node node, const char* localName)
{
    for (pugi::xml_node child : node.children())
        if (isNamed(child, localName))
            return child;
    return {};
}

std::string prefixOf(pugi::xml_node node)
{
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? std::string(name, colon + 1) : std::string();
}

} // namespace varnel::office::drawing
