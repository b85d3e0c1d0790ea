#pragma once
// `varnel-cli excel-scope -x WORKBOOK [scope] [options] PATH...`: the replacement in Excel workbooks
// limited by rows, columns and worksheets, without a window. The definitions come from the dictionary
// workbook, longest find text first.

#include <QStringList>
#include <QTextStream>

namespace varnel::cli {

class ExcelScopeCommand
{
public:
    ExcelScopeCommand(QTextStream& out, QTextStream& err);

    // args are the arguments after "excel-scope"; returns an ExitStatus.
    int execute(const QStringList& args);
    static QString help();

private:
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace varnel::cli
