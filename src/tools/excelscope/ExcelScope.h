#pragma once
// The scope of a scoped Excel run as Excel applies it: the cells of a worksheet the row and column
// conditions select, and the worksheets the sheet condition selects.
//
// Rows and columns are taken as Excel takes the addresses built from them ("$C$2:$E$100", "2:100", "C:E"):
// a range given backwards ("100-2", "E-C") covers the same cells as the other way round, and a row outside
// 1 to 1,048,576, a row that is no whole number or a column outside A to XFD is refused as a whole, before
// any workbook is opened, so that a run never stops half-way over a scope Excel rejects.

#include "office/xlsx/XlsxSheetCells.h"
#include "tools/excelscope/ExcelScopeOptions.h"

#include <optional>

namespace varnel::excelscope {

class ExcelScope
{
public:
    using Area = office::XlsxSheetCells::Area;

    // The cells searched in a worksheet in scope: no area for every cell. False with a message for the
    // person (naming what was typed and what is allowed) when Excel would refuse the address.
    static bool cellArea(const ExcelScopeOptions& options, std::optional<Area>* area, QString* error);

    // Whether a worksheet is in scope: every one without a sheet condition; otherwise the one that was
    // active when the workbook was opened, or those whose name equals, contains, differs from or does not
    // contain the condition's text (as typed, spaces included), letter case ignored.
    static bool sheetInScope(const ExcelScopeOptions& options, const QString& name, bool active);
};

} // namespace varnel::excelscope
