#include "tools/excelscope/ExcelScopeRun.h"

namespace varnel::excelscope {

ExcelScopeRun::ExcelScopeRun(const ExcelScopeOptions& options, UserInterface& ui)
    : m_options(options)
    , m_ui(ui)
{
}

ExcelScopeSummary ExcelScopeRun::run(const QString& dictionary, const QStringList& workbooks)
{
    Q_UNUSED(dictionary);
    Q_UNUSED(workbooks);
    m_ui.notice(QStringLiteral("此版本尚不能限范围替换Excel工作簿。"), UserInterface::Icon::Warning);
    return {};
}

} // namespace varnel::excelscope
