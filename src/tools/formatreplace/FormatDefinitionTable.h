#pragma once
// The definitions of a formatted replacement, read from the first table of a Word document's body.
//
// Row 1 is a header and never read. Every later row is one definition, in order: the plain text of its
// first cell is what to find, the paragraphs of its second cell (runs with their properties, hyperlinks,
// pictures) are what replaces it. Columns after the second and everything outside the table are ignored.
// The package stays open for as long as the table lives, since the content is copied from it.

#include "office/docx/WordNames.h"
#include "office/package/OoxmlPackage.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <vector>

namespace varnel::formatreplace {

struct FormatDefinition {
    int row = 0;       // 1-based row of the table
    QString find;      // the first cell's text, paragraphs separated by ^p
    pugi::xml_node cell; // the second cell (w:tc); null when the row has only one cell
};

class FormatDefinitionTable
{
public:
    enum class Status { Ok, Unreadable, NoTable, OneColumn };

    // Reads the document at path (a Word 97-2003 file through LibreOffice, converted into a private
    // folder). Unreadable comes with *error; NoTable and OneColumn are the two faults of the document's
    // layout the user is told about.
    static std::unique_ptr<FormatDefinitionTable> open(const QString& path, Status* status, QString* error);

    // Definitions from row 2 on; a row whose find text is empty (after trimming its plain spaces, with
    // trimFind) is left out.
    std::vector<FormatDefinition> definitions(bool trimFind) const;

    office::OoxmlPackage& package() { return *m_package; }
    QString mainPart() const { return m_main; }
    const office::WordNames& names() const { return *m_names; }

    // The text of a table cell as Word's find sees it: tabs, breaks, paragraphs between its paragraphs.
    static QString cellText(const office::WordNames& names, pugi::xml_node cell);

private:
    FormatDefinitionTable() = default;

    std::unique_ptr<QTemporaryDir> m_converted; // holds the package converted from a .doc
    std::unique_ptr<office::OoxmlPackage> m_package;
    QString m_main;
    std::optional<office::WordNames> m_names;
    pugi::xml_node m_table;
};

} // namespace varnel::formatreplace
