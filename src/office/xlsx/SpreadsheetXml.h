#pragma once
// Small helpers for reading SpreadsheetML whatever prefix its writer gave the namespaces: Excel writes
// <sheet r:id=...> with a default namespace, other writers <x:sheet>, and strict OOXML other namespace URIs.
// Elements and attributes are therefore matched by their local name.

#include <QString>

#include <pugixml.hpp>

namespace varnel::office {

class SpreadsheetXml
{
public:
    // The name without its prefix ("sheet" for "x:sheet").
    static const char* localName(const char* qualifiedName);
    // The first child element with this local name; null when none.
    static pugi::xml_node child(pugi::xml_node node, const char* local);
    // The next sibling element with this local name; null when none.
    static pugi::xml_node next(pugi::xml_node node, const char* local);
    // The attribute with this local name (the first one, prefix ignored); null when none.
    static pugi::xml_attribute attribute(pugi::xml_node node, const char* local);
    // The attribute's value as text; empty when it is missing.
    static QString text(pugi::xml_node node, const char* local);
    // The element's text content (its first text child) as a QString.
    static QString childText(pugi::xml_node node);
    // An xsd:boolean attribute ("1" or "true"); fallback when missing.
    static bool flag(pugi::xml_node node, const char* local, bool fallback = false);
    // An integer attribute; fallback when missing or not a number.
    static int integer(pugi::xml_node node, const char* local, int fallback);
};

} // namespace varnel::office
