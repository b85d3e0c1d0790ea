#pragma once
// A renamed worksheet keeps every reference to it working: the sheet name before "!" is rewritten in the
// formulas of all worksheets (cells, data validations, conditional formats, their extension copies), the
// defined names, table formulas, chart series and hyperlinks to places in the workbook, and the source
// sheet of pivot caches.

#include "office/xlsx/XlsxWorkbook.h"

namespace varnel::office {

class XlsxSheetReferences
{
public:
    // Rewrites every reference to oldName as one to newName; the parts it changed are marked. False with
    // *error when a part that may hold references cannot be read (nothing is then marked).
    static bool rename(XlsxWorkbook& workbook, const QString& oldName, const QString& newName, QString* error);
};

} // namespace varnel::office
