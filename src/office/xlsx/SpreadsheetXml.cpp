#include "office/xlsx/SpreadsheetXml.h"

#include <cstring>

namespace varnel::office {

const char* SpreadsheetXml::localName(const char* qualifiedName)
{
    const char* colon = std::strchr(qualifiedName, ':');
    return colon ? colon + 1 : qualifiedName;
}

pugi::xml_node SpreadsheetXml::child(pugi::xml_node node, const char* local)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && std::strcmp(localName(c.name()), local) == 0)
            return c;
    }
    return {};
}

pugi::xml_node SpreadsheetXml::next(pugi::xml_node node, const char* local)
{
    for (pugi::xml_node c = node.next_sibling(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && std::strcmp(localName(c.name()), local) == 0)
            return c;
    }
    return {};
}

pugi::xml_attribute SpreadsheetXml::attribute(pugi::xml_node node, const char* local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(localName(a.name()), local) == 0)
            return a;
    }
    return {};
}

QString SpreadsheetXml::text(pugi::xml_node node, const char* local)
{
    return QString::fromUtf8(attribute(node, local).value());
}

QString SpreadsheetXml::childText(pugi::xml_node node)
{
    QString text;
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            text += QString::fromUtf8(c.value());
    }
    return text;
}

bool SpreadsheetXml::flag(pugi::xml_node node, const char* local, bool fallback)
{
    const pugi::xml_attribute a = attribute(node, local);
    if (!a)
        return fallback;
    const char* v = a.value();
    return std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0;
}

int SpreadsheetXml::integer(pugi::xml_node node, const char* local, int fallback)
{
    const pugi::xml_attribute a = attribute(node, local);
    bool ok = false;
    const int value = QString::fromUtf8(a.value()).trimmed().toInt(&ok);
    return a && ok ? value : fallback;
}

} // namespace varnel::office
