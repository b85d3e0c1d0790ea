#include "office/xlsx/SharedStrings.h"

#include "office/package/OoxmlPackage.h"
#include "office/xlsx/ExcelXString.h"
#include "office/xlsx/SpreadsheetXml.h"

#include <cstring>

namespace varnel::office {

using X = SpreadsheetXml;

bool SharedStrings::load(OoxmlPackage& package, const QString& partName, QString* error)
{
    m_texts.clear();
    if (partName.isEmpty() || !package.hasPart(partName))
        return true;
    const pugi::xml_document* document = package.xml(partName, error);
    if (!document)
        return false;
    const pugi::xml_node sst = X::child(*document, "sst");
    for (pugi::xml_node si = X::child(sst, "si"); si; si = X::next(si, "si"))
        m_texts.append(itemText(si));
    return true;
}

QString SharedStrings::at(int index) const
{
    return index >= 0 && index < m_texts.size() ? m_texts[index] : QString();
}

QString SharedStrings::itemText(pugi::xml_node item)
{
    QString text;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        const char* name = X::localName(c.name());
        if (std::strcmp(name, "t") == 0) {
            text += X::childText(c);
        } else if (std::strcmp(name, "r") == 0) {
            for (pugi::xml_node t = X::child(c, "t"); t; t = X::next(t, "t"))
                text += X::childText(t);
        }
    }
    return ExcelXString::decode(text);
}

} // namespace varnel::office
