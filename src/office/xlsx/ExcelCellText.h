#pragma once
// The two texts of a cell Excel shows: the displayed text (in the cell, through its number format) and
// the formula-bar text (what Excel's Find and Replace match).
//
// Displayed: numbers and dates through the cell style's format code (1900 or 1904 date system), booleans
// TRUE and FALSE, errors as written, strings as they are. Formula bar: "=" and the formula when the cell
// has one; otherwise numbers as the formula bar writes them (General, dates in the short form,
// percentages as percentages), the rest as displayed.

#include "office/xlsx/ExcelCell.h"
#include "office/xlsx/ExcelNumberFormat.h"

#include <QHash>

#include <optional>

namespace varnel::office {

class WorkbookStyles;

class ExcelCellText
{
public:
    // styles must outlive this object.
    ExcelCellText(const WorkbookStyles& styles, bool date1904);

    QString displayed(const ExcelCell& cell) const;
    QString formulaBar(const ExcelCell& cell) const;

    // The serial number of an ISO 8601 date or time (a cell of type d); nullopt when it is none.
    static std::optional<double> serialOfIsoDate(const QString& text, bool date1904);

private:
    // The cell's value as a number (types n and d); nullopt for other types or an empty or bad value.
    std::optional<double> numberOf(const ExcelCell& cell) const;
    const ExcelNumberFormat& formatOf(int styleIndex) const;

    const WorkbookStyles* m_styles;
    bool m_date1904;
    mutable QHash<int, ExcelNumberFormat> m_formats; // by style index
};

} // namespace varnel::office
