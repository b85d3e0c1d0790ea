#pragma once
// Just enough of Excel's formula syntax to edit formula text without changing what it means: string
// constants ("a""b"), quoted sheet names ('My sheet'!A1), bracketed parts (external workbooks [1],
// structured references Table1[Col]) are told apart from names and references.
//
// Used for the sheet names before "!" when a sheet is renamed.

#include <QList>
#include <QString>

namespace varnel::office {

class ExcelFormulaText
{
public:
    struct SheetPrefix {
        qsizetype start = 0;  // of the name as written, quotes included, "!" excluded
        qsizetype length = 0;
        QString name;         // unquoted, apostrophes undoubled
        QString last;         // of a 3D reference (Sheet1:Sheet3!A1, 'Sheet 1:Sheet3'!A1); else empty
    };

    // The sheet names written before "!" in the formula, left to right, a 3D reference's two names as one
    // prefix; names of another workbook ([1]Sheet1!A1, '[1]Sheet1'!A1) are left out.
    static QList<SheetPrefix> sheetPrefixes(const QString& formula);
};

} // namespace varnel::office
