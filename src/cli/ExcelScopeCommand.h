#pragma once
// `varnel-cli excel-scope -x WORKBOOK [scope] [options] PATH...`: the replacement in Excel workbooks
// limited by rows, columns and worksheets, without a window. The definitions come from the dictionary
// workbook, longest find text first.

#include "cli/ToolCommand.h"

namespace varnel::cli {

class ExcelScopeCommand : private ToolCommand
{
public:
    ExcelScopeCommand(QTextStream& out, QTextStream& err);

    // args are the arguments after "excel-scope"; returns an ExitStatus.
    int execute(const QStringList& args);
    static QString help();
};

} // namespace varnel::cli
