#pragma once
// The text of a string item of a workbook: a shared string (<si>) or a cell's inline string (<is>),
// either plain (<t>) or rich text (runs <r> with their properties <rPr>). Excel's Find sees the text of all
// runs joined; a replacement takes the formatting of the first character it replaces (the run it starts
// in), and the characters it replaces leave their runs.
//
// Characters XML cannot hold are written as _xHHHH_ (and a literal "_xHHHH_" gets its underscore
// written as _x005F_); the text here is decoded. A run the replacement does not touch is written back as
// it was read, escapes and all.

#include "office/xlsx/ExcelMatcher.h"

#include <QString>

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace varnel::office {

class XlsxStringItem
{
public:
    XlsxStringItem() = default;
    explicit XlsxStringItem(pugi::xml_node item);
    // A plain item holding the text.
    static XlsxStringItem plain(const QString& text);

    const QString& text() const { return m_text; }
    bool rich() const { return m_rich; }

    // Replaces the matches (of text(), left to right, not overlapping) by the replacement.
    void replace(const QList<ExcelMatch>& matches, const QString& replacement);
    // Writes the item's content into an empty element (a new <si>, or a new <is>); prefix: the namespace
    // prefix of the spreadsheet elements ("" or "x:").
    void write(pugi::xml_node target, const std::string& prefix) const;

    static QString decode(const char* text);
    static std::string encode(const QString& text);

private:
    struct Run {
        pugi::xml_node source; // <r> or <t>; null for a run made here
        QString text;
        bool edited = false;
    };

    std::vector<Run> m_runs;
    pugi::xml_node m_phonetic; // <phoneticPr>, kept; the phonetic runs <rPh> refer to old positions
    QString m_text;
    bool m_rich = false;
};

} // namespace varnel::office
