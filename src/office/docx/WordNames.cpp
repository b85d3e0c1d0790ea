#include "office/docx/WordNames.h"

#include <cstring>

namespace varnel::office {

const char* const WordNames::MainNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

namespace {

constexpr const char* StrictMainNamespace = "http://purl.oclc.org/ooxml/wordprocessingml/main";
constexpr const char* McNamespace = "http://schemas.openxmlformats.org/markup-compatibility/2006";
constexpr const char* VmlNamespace = "urn:schemas-microsoft-com:vml";

// "xmlns:w" binds "w:", "xmlns" binds the empty prefix.
std::string prefixOf(const char* declaration)
{
    if (std::strcmp(declaration, "xmlns") == 0)
        return {};
    return std::string(declaration + 6) + ':';
}

} // namespace

WordNames::WordNames(pugi::xml_node root)
{
    for (pugi::xml_attribute attr : root.attributes()) {
        const char* name = attr.name();
        if (std::strncmp(name, "xmlns", 5) != 0 || (name[5] != '\0' && name[5] != ':'))
            continue;
        const char* value = attr.value();
        if (std::strcmp(value, MainNamespace) == 0 || std::strcmp(value, StrictMainNamespace) == 0)
            m_w = prefixOf(name);
        else if (std::strcmp(value, McNamespace) == 0)
            m_mc = prefixOf(name);
        else if (std::strcmp(value, VmlNamespace) == 0)
            m_v = prefixOf(name);
    }
}

const char* WordNames::local(pugi::xml_node node) const
{
    if (node.type() != pugi::node_element)
        return nullptr;
    const char* name = node.name();
    if (std::strncmp(name, m_w.data(), m_w.size()) != 0)
        return nullptr;
    const char* rest = name + m_w.size();
    // With a default namespace, a prefixed name belongs to another namespace.
    if (m_w.empty() && std::strchr(rest, ':'))
        return nullptr;
    return rest;
}

bool WordNames::is(pugi::xml_node node, const char* localName) const
{
    const char* name = local(node);
    return name && std::strcmp(name, localName) == 0;
}

const char* WordNames::attribute(pugi::xml_node node, const char* localName) const
{
    return node.attribute(qualified(localName).c_str()).value();
}

pugi::xml_node WordNames::child(pugi::xml_node node, const char* localName) const
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (is(c, localName))
            return c;
    }
    return {};
}

} // namespace varnel::office
