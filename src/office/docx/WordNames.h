#pragma once
// Element names of WordprocessingML as one part spells them. pugixml does not resolve namespaces, so the
// prefix bound to the main namespace is read from the part's root element (almost always "w:", but a
// part may bind another prefix or make it the default namespace).

#include <pugixml.hpp>

#include <string>

namespace varnel::office {

class WordNames
{
public:
    // The prefixes bound on the root element of a part.
    explicit WordNames(pugi::xml_node root);

    // The local name of a WordprocessingML element, or nullptr for any other node.
    const char* local(pugi::xml_node node) const;
    bool is(pugi::xml_node node, const char* localName) const;
    // The qualified name of a WordprocessingML element or attribute ("w:" + localName).
    std::string qualified(const char* localName) const { return m_w + localName; }
    // The value of a WordprocessingML attribute of node ("" when absent).
    const char* attribute(pugi::xml_node node, const char* localName) const;

    // Prefixes (with the colon, empty for a default namespace) of markup compatibility and VML.
    const std::string& mcPrefix() const { return m_mc; }
    const std::string& vmlPrefix() const { return m_v; }

    // The first child element of node named w:localName.
    pugi::xml_node child(pugi::xml_node node, const char* localName) const;

    static const char* const MainNamespace;

private:
    std::string m_w = "w:";
    std::string m_mc = "mc:";
    std::string m_v = "v:";
};

} // namespace varnel::office
