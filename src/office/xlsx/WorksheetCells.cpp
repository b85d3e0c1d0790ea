#include "office/xlsx/WorksheetCells.h"

#include "office/package/OoxmlPackage.h"
#include "office/xlsx/CellReference.h"
#include "office/xlsx/ExcelXString.h"
#include "office/xlsx/FormulaOffset.h"
#include "office/xlsx/SharedStrings.h"
#include "office/xlsx/SpreadsheetXml.h"

#include <cstring>

namespace varnel::office {

using X = SpreadsheetXml;

namespace {

qint64 key(int row, int column)
{
    return (qint64(row) << 15) | column;
}

} // namespace

bool WorksheetCells::load(OoxmlPackage& package, const QString& partName, const SharedStrings& strings,
                          QString* error)
{
    m_cells.clear();
    m_index.clear();
    m_lastValueRow = 0;
    const pugi::xml_document* document = package.xml(partName, error);
    if (!document)
        return false;
    const pugi::xml_node worksheet = document->document_element();
    const pugi::xml_node headerFooter = X::child(worksheet, "headerFooter");
    m_oddHeader = ExcelXString::decode(X::childText(X::child(headerFooter, "oddHeader")));
    m_oddFooter = ExcelXString::decode(X::childText(X::child(headerFooter, "oddFooter")));

    QHash<QString, qsizetype> masters; // si -> position of the cell whose <f> holds the text
    QList<qsizetype> dependents;
    QStringList dependentIds;
    int rowNumber = 0;
    for (pugi::xml_node row = X::child(X::child(worksheet, "sheetData"), "row"); row; row = X::next(row, "row")) {
        rowNumber = X::integer(row, "r", rowNumber + 1);
        // A row or cell outside the sheet's grid is not part of it (and would clash with real addresses).
        if (rowNumber < 1 || rowNumber > CellReference::kMaxRow)
            continue;
        int columnNumber = 0;
        for (pugi::xml_node c = X::child(row, "c"); c; c = X::next(c, "c")) {
            ExcelCell cell;
            cell.node = c;
            const CellReference ref = CellReference::parse(X::text(c, "r"));
            cell.row = ref.isValid() ? ref.row : rowNumber;
            cell.column = ref.isValid() ? ref.column : columnNumber + 1;
            columnNumber = cell.column;
            if (!CellReference{cell.row, cell.column}.isValid())
                continue;
            cell.reference = CellReference{cell.row, cell.column}.toString();
            cell.type = ExcelCell::typeOf(X::attribute(c, "t").value());
            cell.styleIndex = X::integer(c, "s", 0);
            cell.rawValue = X::childText(X::child(c, "v"));
            switch (cell.type) {
            case ExcelCell::Type::SharedString: {
                bool ok = false;
                const int index = cell.rawValue.trimmed().toInt(&ok);
                cell.text = ok ? strings.at(index) : QString();
                break;
            }
            case ExcelCell::Type::InlineString: cell.text = SharedStrings::itemText(X::child(c, "is")); break;
            case ExcelCell::Type::FormulaString: cell.text = ExcelXString::decode(cell.rawValue); break;
            default: cell.text = cell.rawValue; break;
            }
            const pugi::xml_node f = X::child(c, "f");
            if (f) {
                cell.formula = ExcelXString::decode(X::childText(f));
                if (std::strcmp(X::attribute(f, "t").value(), "shared") == 0) {
                    const QString si = X::text(f, "si");
                    if (!X::text(f, "ref").isEmpty() && !cell.formula.isEmpty()) {
                        masters.insert(si, m_cells.size());
                    } else if (cell.formula.isEmpty()) {
                        dependents.append(m_cells.size());
                        dependentIds.append(si);
                    }
                }
            }
            m_index.insert(key(cell.row, cell.column), m_cells.size());
            m_cells.append(std::move(cell));
        }
    }
    resolveSharedFormulas(masters, dependents, dependentIds);
    for (const ExcelCell& cell : std::as_const(m_cells)) {
        if (cell.hasValue())
            m_lastValueRow = std::max(m_lastValueRow, cell.row);
    }
    return true;
}

void WorksheetCells::resolveSharedFormulas(const QHash<QString, qsizetype>& masters,
                                           const QList<qsizetype>& dependents, const QStringList& dependentIds)
{
    for (qsizetype i = 0; i < dependents.size(); ++i) {
        ExcelCell& cell = m_cells[dependents[i]];
        const auto master = masters.constFind(dependentIds[i]);
        if (master == masters.cend()) {
            cell.formulaUnresolved = true;
            continue;
        }
        const ExcelCell& m = m_cells[*master];
        cell.formula = FormulaOffset::shift(m.formula, cell.row - m.row, cell.column - m.column);
    }
}

const ExcelCell* WorksheetCells::cell(int row, int column) const
{
    const auto it = m_index.constFind(key(row, column));
    return it == m_index.cend() ? nullptr : &m_cells[*it];
}

} // namespace varnel::office
