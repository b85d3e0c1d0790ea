#pragma once
// The cells of one worksheet part (sheetData), in the order the file holds them, with their values
// resolved to text (shared strings looked up, inline strings read, escapes decoded) and shared formulas
// resolved: the master cell's formula as written, the other cells of its range that text moved by their
// offset from the master. Also the sheet's page header and footer texts.

#include "office/xlsx/ExcelCell.h"
#include "office/xlsx/SheetHeaderFooter.h"

#include <QHash>
#include <QList>
#include <QString>

namespace varnel::office {

class OoxmlPackage;
class SharedStrings;

class WorksheetCells
{
public:
    WorksheetCells() = default;
    // Reads the worksheet part; false with *error when it is missing or cannot be parsed.
    bool load(OoxmlPackage& package, const QString& partName, const SharedStrings& strings, QString* error);

    // Every <c> element of the sheet, rows from top to bottom as stored.
    const QList<ExcelCell>& cells() const { return m_cells; }
    // The cell at row and column (1-based); null when the sheet has no element for it.
    const ExcelCell* cell(int row, int column) const;
    // The last row holding a cell with a value or a formula; 0 for a sheet without any.
    int lastValueRow() const { return m_lastValueRow; }

    // The oddHeader and oddFooter strings as stored (escapes decoded); empty when the sheet has none.
    const QString& oddHeader() const { return m_oddHeader; }
    const QString& oddFooter() const { return m_oddFooter; }
    // The six texts LeftHeader, CenterHeader, RightHeader, LeftFooter, CenterFooter, RightFooter.
    SheetHeaderFooter::Texts headerFooterTexts() const { return SheetHeaderFooter::texts(m_oddHeader, m_oddFooter); }

private:
    void resolveSharedFormulas(const QHash<QString, qsizetype>& masters, const QList<qsizetype>& dependents,
                               const QStringList& dependentIds);

    QList<ExcelCell> m_cells;
    QHash<qint64, qsizetype> m_index; // row * 2^15 + column -> position in m_cells
    int m_lastValueRow = 0;
    QString m_oddHeader;
    QString m_oddFooter;
};

} // namespace varnel::office
