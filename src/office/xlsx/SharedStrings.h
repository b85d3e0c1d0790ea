#pragma once
// The shared string table of a workbook (xl/sharedStrings.xml): cells of type "s" hold an index into it.
// An item's text is its plain text, or the texts of its rich-text runs joined; phonetic guides (rPh) are
// not part of the text, and _xHHHH_ escapes are decoded.

#include <QString>
#include <QStringList>

#include <pugixml.hpp>

namespace varnel::office {

class OoxmlPackage;

class SharedStrings
{
public:
    SharedStrings() = default;
    // Reads the table of the part; a missing part is an empty table. False with *error for a part that
    // cannot be read.
    bool load(OoxmlPackage& package, const QString& partName, QString* error);

    int count() const { return int(m_texts.size()); }
    // The text of item index; empty for an index outside the table.
    QString at(int index) const;

    // The text of one string item (si, or a cell's inline is): its t, or the t of its runs joined.
    static QString itemText(pugi::xml_node item);

private:
    QStringList m_texts;
};

} // namespace varnel::office
