#pragma once
// What Find and Replace need of a workbook's styles: the number format of each cell format (cellXfs),
// for the formula-bar text of numbers, and whether a cell keeps typed text as text (the Text format @, or
// an apostrophe prefix).

#include "office/xlsx/ExcelNumberFormat.h"

#include <pugixml.hpp>

#include <QHash>

#include <optional>
#include <vector>

namespace varnel::office {

class XlsxStyles
{
public:
    // styles: the root of the styles part, or null when the workbook has none.
    void load(pugi::xml_node styles, bool date1904);

    // The number format of cell format s (out of range: General).
    const ExcelNumberFormat& format(int s);
    bool keepsText(int s);

private:
    struct CellFormat {
        int numFmtId = 0;
        bool quotePrefix = false;
    };
    const CellFormat& cellFormat(int s) const;

    std::vector<CellFormat> m_cellFormats;
    QHash<int, QString> m_customCodes;
    std::vector<std::optional<ExcelNumberFormat>> m_formats;
    ExcelNumberFormat m_general;
    bool m_date1904 = false;
};

} // namespace varnel::office
