#pragma once
// What a scoped Excel run takes from its window (or the command line): the five options and the three
// scope conditions, read once when the run starts. The row and column texts are taken as they were typed;
// the run checks them and refuses a scope Excel would refuse.

#include <QString>

namespace varnel::excelscope {

// Which worksheets a sheet condition selects; names compare without regard to case.
enum class SheetCondition {
    Active = 0,      // the sheet that was active when the workbook was opened
    Equals = 1,
    Contains = 2,
    NotEquals = 3,
    NotContains = 4,
};

struct ExcelScopeOptions {
    bool matchCase = true;   // also selects the comparison of sheet names and header texts
    bool wholeCell = false;
    bool wildcards = false;  // Excel's ? * ~ in the find texts; otherwise they are taken literally
    bool sheetNames = false; // also replace in worksheet names
    bool pageHeaders = false; // also replace in the six header and footer texts

    bool rowScope = false;
    QString firstRow, lastRow;       // "2", "100"
    bool columnScope = false;
    QString firstColumn, lastColumn; // "C", "E"
    bool sheetScope = false;
    SheetCondition sheetCondition = SheetCondition::Active;
    QString sheetText; // compared untrimmed
};

} // namespace varnel::excelscope
