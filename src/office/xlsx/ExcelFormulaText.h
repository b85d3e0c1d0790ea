#pragma once
// Just enough of Excel's formula syntax to edit formula text without changing what it means: string
// constants ("a""b"), quoted sheet names ('My sheet'!A1), bracketed parts (external workbooks [1],
// structured references Table1[Col]) are told apart from names and references.
//
// Used for the sheet names before "!" (renaming a sheet) and for relative references (a shared formula
// stored once for a range of cells reads, in each cell, with its relative rows and columns moved by the
// cell's distance from the first one).

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
    };

    // The sheet names written before "!" in the formula, left to right; names of another workbook
    // ([1]Sheet1!A1, '[1]Sheet1'!A1) are left out.
    static QList<SheetPrefix> sheetPrefixes(const QString& formula);

    // The formula with every relative reference (A1, $A1, A$1, column ranges A:B, row ranges 1:2) moved by
    // rows and columns; a reference moved off the sheet becomes #REF!.
    static QString shifted(const QString& formula, int rows, int columns);

    // Row and column (1-based) of a cell reference such as "B3"; false when it is none.
    static bool parseCell(const QString& reference, int* row, int* column);
};

} // namespace varnel::office
