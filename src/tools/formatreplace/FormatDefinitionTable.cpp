#include "tools/formatreplace/FormatDefinitionTable.h"

#include "office/docx/WordStoryText.h"
#include "office/legacy/LegacyConverter.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace varnel::formatreplace {

using office::WordNames;

namespace {

// Cells of a row, through content controls wrapping them.
std::vector<pugi::xml_node> cellsOf(const WordNames& names, pugi::xml_node row)
{
    std::vector<pugi::xml_node> cells;
    for (pugi::xml_node child : row.children()) {
        if (names.is(child, "tc")) {
            cells.push_back(child);
        } else if (names.is(child, "sdt")) {
            for (pugi::xml_node inner : names.child(child, "sdtContent").children())
                if (names.is(inner, "tc"))
                    cells.push_back(inner);
        }
    }
    return cells;
}

std::vector<pugi::xml_node> rowsOf(const WordNames& names, pugi::xml_node table)
{
    std::vector<pugi::xml_node> rows;
    for (pugi::xml_node child : table.children())
        if (names.is(child, "tr"))
            rows.push_back(child);
    return rows;
}

void appendText(const WordNames& names, pugi::xml_node node, QString* text)
{
    for (pugi::xml_node child : node.children()) {
        const char* local = names.local(child);
        if (!local) {
            continue;
        } else if (!strcmp(local, "t")) {
            text->append(office::WordStoryText::textOf(child));
        } else if (!strcmp(local, "tab")) {
            text->append(QLatin1Char('\t'));
        } else if (!strcmp(local, "br") || !strcmp(local, "cr")) {
            text->append(QStringLiteral("^l"));
        } else if (strcmp(local, "delText") && strcmp(local, "instrText") && strcmp(local, "del")
                   && strcmp(local, "pPr") && strcmp(local, "rPr") && strcmp(local, "tbl")) {
            appendText(names, child, text);
        }
    }
}

// Plain spaces only: a tab or an ideographic space at either end is part of the text to find.
QString trimSpaces(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

} // namespace

std::unique_ptr<FormatDefinitionTable> FormatDefinitionTable::open(const QString& path, Status* status,
                                                                   QString* error)
{
    *status = Status::Unreadable;
    std::unique_ptr<FormatDefinitionTable> table(new FormatDefinitionTable);
    QFile file(path);
    const bool package = file.open(QIODevice::ReadOnly) && file.read(2) == "PK";
    QString source = path;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool legacy = suffix == QLatin1String("doc") || suffix == QLatin1String("rtf");
    if (!package && legacy && !office::LegacyConverter::sofficePath().isEmpty()) {
        table->m_converted = std::make_unique<QTemporaryDir>();
        if (!table->m_converted->isValid()) {
            *error = QStringLiteral("无法创建临时目录：%1").arg(table->m_converted->errorString());
            return nullptr;
        }
        office::LegacyConverter converter;
        if (!converter.convert(path, table->m_converted->path(), QStringLiteral("docx:MS Word 2007 XML"), &source,
                               error))
            return nullptr;
    }
    table->m_package = office::OoxmlPackage::open(source, error);
    if (!table->m_package)
        return nullptr;
    table->m_main = table->m_package->mainDocumentPart();
    pugi::xml_document* document = table->m_package->xml(table->m_main, error);
    if (!document)
        return nullptr;
    const pugi::xml_node root = document->document_element();
    table->m_names.emplace(root);
    const WordNames& names = *table->m_names;
    const pugi::xml_node body = names.child(root, "body");
    // The document's own tables only: one in a text box or other drawing sits inside a paragraph.
    table->m_table = body.find_node([&names, &body](pugi::xml_node node) {
        if (!names.is(node, "tbl"))
            return false;
        for (pugi::xml_node up = node.parent(); up && up != body; up = up.parent())
            if (names.is(up, "p"))
                return false;
        return true;
    });
    if (!table->m_table) {
        *status = Status::NoTable;
        return nullptr;
    }
    size_t columns = 0;
    for (pugi::xml_node column : names.child(table->m_table, "tblGrid").children())
        columns += names.is(column, "gridCol") ? 1 : 0;
    for (pugi::xml_node row : rowsOf(names, table->m_table))
        columns = std::max(columns, cellsOf(names, row).size());
    if (columns < 2) {
        *status = Status::OneColumn;
        return nullptr;
    }
    *status = Status::Ok;
    return table;
}

std::vector<FormatDefinition> FormatDefinitionTable::definitions(bool trimFind) const
{
    std::vector<FormatDefinition> result;
    const WordNames& names = *m_names;
    const std::vector<pugi::xml_node> rows = rowsOf(names, m_table);
    for (size_t r = 1; r < rows.size(); ++r) {
        const std::vector<pugi::xml_node> cells = cellsOf(names, rows[r]);
        if (cells.empty())
            continue;
        FormatDefinition definition;
        definition.row = int(r) + 1;
        definition.find = cellText(names, cells[0]);
        if (trimFind)
            definition.find = trimSpaces(definition.find);
        if (definition.find.isEmpty())
            continue;
        definition.cell = cells.size() > 1 ? cells[1] : pugi::xml_node();
        result.push_back(definition);
    }
    return result;
}

QString FormatDefinitionTable::cellText(const WordNames& names, pugi::xml_node cell)
{
    QString text;
    bool first = true;
    for (pugi::xml_node p : cell.children()) {
        if (!names.is(p, "p"))
            continue;
        if (!first)
            text.append(QStringLiteral("^p"));
        first = false;
        appendText(names, p, &text);
    }
    return text;
}

} // namespace varnel::formatreplace
