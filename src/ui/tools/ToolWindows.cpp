#include "ui/tools/ToolWindows.h"

#include "ui/tools/frmDocFormatReplace.h"
#include "ui/tools/frmExcelScopeReplace.h"
#include "ui/tools/frmSBC.h"

namespace varnel::ui {

ToolFactory toolFactory(int entry)
{
    switch (entry) {
    case 1:
        return makeFrmSBC; // the full-width/half-width converter

    case 2:
        return &frmDocFormatReplace::create; // formatted replacement in Word documents

    case 3:
        return &frmExcelScopeReplace::create; // replacement in Excel workbooks limited by scope

    default:
        return nullptr;
    }
}

} // namespace varnel::ui
