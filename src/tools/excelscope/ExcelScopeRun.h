#pragma once
// A scoped replacement run over Excel workbooks: the definitions of a dictionary workbook, longest find
// text first, replaced in the rows, columns and worksheets the options select (and, as asked, in
// worksheet names and the header and footer texts). Messages, the count of definitions and the progress
// go through the run's user interface. One workbook that cannot be processed never stops the run.

#include "core/UserInterface.h"
#include "tools/excelscope/ExcelScopeOptions.h"

#include <QStringList>

#include <functional>

namespace varnel::excelscope {

struct ExcelScopeSummary {
    int definitions = 0; // read from the dictionary; 0 when the run did not start
    int files = 0;       // workbooks processed
    int changed = 0;     // workbooks written
    int failed = 0;      // workbooks left as they were because of an error (each reported)
};

class ExcelScopeRun
{
public:
    // Every workbook of a run, the dictionary included, is opened with this password. A workbook without an
    // opening password opens as usual; one encrypted with another password is refused with its reason and
    // left as it was.
    static inline const QString kOpenPassword = QStringLiteral("5831");

    ExcelScopeRun(const ExcelScopeOptions& options, UserInterface& ui);

    // Receives the count of definitions once the dictionary was read ("替换定义：n 条").
    void setDefinitionCount(std::function<void(int)> show) { m_showCount = std::move(show); }
    // Called with the 1-based number of each workbook before it is processed.
    void setProgress(std::function<void(int)> progress) { m_progress = std::move(progress); }

    ExcelScopeSummary run(const QString& dictionary, const QStringList& workbooks);

private:
    ExcelScopeOptions m_options;
    UserInterface& m_ui;
    std::function<void(int)> m_showCount;
    std::function<void(int)> m_progress;
};

} // namespace varnel::excelscope
