#pragma once
// The Excel engine for .xlsx and .xlsm: every definition of the run replaced as Excel's own Replace
// would, in the cells of every worksheet and, as the options select, in worksheet names and in the page
// header and footer texts; the workbook is written back only when something changed.
//
// Per worksheet, in workbook order (chart sheets are not visited), and per definition, in order: the skip
// rule (find and replace equal under the comparison mode, or either 256 characters or longer); the cells,
// with Excel's Find options (match case from ChkMatchCase, whole cell when ChkWholeCell is ticked, Excel's
// wildcards ? * ~ when ChkXlsWildcard is ticked, the find text taken literally otherwise); the sheet name
// when ChkXlsSheetName is ticked (every occurrence of the find text replaced whatever its case; a name
// Excel would refuse is not given, and the reason is logged); the six header and footer texts when
// ChkXlsPageHeader is ticked (plain replacement whatever the case; an empty text is never changed, and
// one the definitions leave as it was is not written).
//
// A renamed sheet keeps every reference to it working (XlsxSheetReferences). When cells change, every
// formula of their sheet loses its cached value (a program that does not recalculate on opening, such as
// LibreOffice by default, then computes them) and the workbook asks Excel to recalculate everything on
// opening (calcPr fullCalcOnLoad), for formulas on other sheets that depend on them. Bad input, an encrypted workbook and a failed save leave the file
// byte-identical, with a log line.

#include "core/DocumentEngine.h"

namespace varnel::office {

class XlsxEngine : public DocumentEngine
{
public:
    EngineResult replace(const QString& path, const EngineRequest& request) override;
};

} // namespace varnel::office
