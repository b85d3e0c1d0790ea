#pragma once
// What Find and Replace need of a workbook's styles: the number format of each cell format (cellXfs),
// for the formula-bar text of numbers, and whether a cell keeps typed text as text (the Text format @, or
// an apostrophe prefix, quotePrefix), and which cells a protected sheet locks.

#include "office/xlsx/ExcelNumberFormat.h"
#include "office/xlsx/WorkbookStyles.h"

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

private:
    WorkbookStyles m_styles;
    std::vector<char> m_quotePrefix; // by cell format
    std::vector<char> m_unlocked;    // by cell format
    std::vector<std::optional<ExcelNumberFormat>> m_formats;
    ExcelNumberFormat m_general;
    bool m_date1904 = false;
};

} // namespace varnel::office
