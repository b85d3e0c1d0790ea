#pragma once
// What Find and Replace need of a workbook's styles: the number format of each cell format (cellXfs),
// for the formula-bar text of numbers, and whether a cell keeps typed text as text (the Text format @, or
// an apostrophe prefix, quotePrefix), and which cells a protected sheet locks; and, for a General cell
// given a date, a percentage or a currency, the cell format it then takes.

#include "office/xlsx/ExcelNumberFormat.h"
#include "office/xlsx/WorkbookStyles.h"

#include <QHash>

#include <pugixml.hpp>

#include <optional>
#include <vector>

namespace varnel::office {

class XlsxStyles
{
public:
    // Reads the styles part (none: every cell General); false with *error when it cannot be read.
    bool load(OoxmlPackage& package, const QString& partName, bool date1904, QString* error);

    // The number format of cell format s (out of range: General).
    const ExcelNumberFormat& format(int s);
    bool keepsText(int s) const;
    bool date1904() const { return m_date1904; }
    // Whether a cell of format s is locked when its sheet is protected (the default; protection locked="0"
    // unlocks it).
    bool locked(int s) const;
    // The cell format a cell of format s takes when it is entered a value that asks for the built-in
    // number format numFmtId (ExcelCellEntry::numberFormat): for a General cell, s with that number format
    // (an identical entry when cellXfs has one, else a new one, marking the styles part changed); s
    // otherwise, and when the workbook has no cell formats to extend.
    int withNumberFormat(int s, int numFmtId);

private:
    // Appends a cell format like s's with another number format; its index, or -1.
    int addCellFormat(int s, int numFmtId);

    OoxmlPackage* m_package = nullptr;
    QString m_partName;
    pugi::xml_node m_cellXfs;
    WorkbookStyles m_styles;
    std::vector<char> m_quotePrefix; // by cell format
    std::vector<char> m_unlocked;    // by cell format
    std::vector<std::optional<ExcelNumberFormat>> m_formats;
    QHash<QPair<int, int>, int> m_withNumberFormat; // (s, numFmtId) -> cell format
    ExcelNumberFormat m_general;
    bool m_date1904 = false;
};

} // namespace varnel::office
