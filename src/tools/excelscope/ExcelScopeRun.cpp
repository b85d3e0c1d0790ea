#include "tools/excelscope/ExcelScopeRun.h"

#include "core/BatchRun.h"
#include "definitions/DictionaryLoader.h"
#include "office/ContentRouter.h"
#include "office/legacy/LegacyEngine.h"
#include "tools/excelscope/ScopedWorkbookEngine.h"

#include <QFileInfo>

namespace varnel::excelscope {

namespace {

// The engine of each workbook by what it holds, as Excel opens it: packages natively, Office 97-2003
// workbooks through LibreOffice (converted, replaced and converted back only when something changed; a
// clear reason when LibreOffice is not installed).
std::shared_ptr<DocumentEngine> workbookEngine(const std::shared_ptr<DocumentEngine>& native)
{
    const auto legacy = std::make_shared<office::LegacyEngine>(native, QStringLiteral(".xlsx"),
                                                               QStringLiteral("xlsx:Calc MS Excel 2007 XML"),
                                                               QStringLiteral("xls:MS Excel 97"));
    auto router = std::make_shared<ContentRouter>(native, QStringLiteral("Excel工作簿"));
    router->route(DocumentContent::ExcelPackage, native);
    router->route(DocumentContent::Package, native);
    router->route(DocumentContent::ExcelBinary, legacy);
    return router;
}

} // namespace

ExcelScopeRun::ExcelScopeRun(const ExcelScopeOptions& options, UserInterface& ui)
    : m_options(options)
    , m_ui(ui)
{
}

ExcelScopeSummary ExcelScopeRun::run(const QString& dictionary, const QStringList& workbooks)
{
    ExcelScopeSummary summary;
    // A scope Excel would refuse is refused before any workbook, the dictionary included, is opened.
    std::optional<ExcelScope::Area> area;
    QString error;
    if (!ExcelScope::cellArea(m_options, &area, &error)) {
        m_ui.notice(error);
        return summary;
    }

    const std::optional<ReplacePairs> pairs = LoadDictionaryWorkbook(dictionary, m_ui, m_showCount, kOpenPassword);
    if (!pairs || pairs->isEmpty())
        return summary;
    summary.definitions = int(pairs->size());
    QStringList finds;
    QStringList replaces;
    for (const ReplacePair& pair : *pairs) {
        finds.append(pair.find);
        replaces.append(pair.replace);
    }
    // Always longest first, by the exchange procedure of the main run.
    sortLongestFirst(finds, replaces);

    const auto native = std::make_shared<ScopedWorkbookEngine>(m_options, area);
    const std::shared_ptr<DocumentEngine> engine = workbookEngine(native);
    const ReplaceOptions unused;
    EngineRequest request(finds, replaces, unused);
    request.ui = &m_ui;
    for (qsizetype i = 0; i < workbooks.size(); ++i) {
        const int number = int(i) + 1;
        if (m_progress)
            m_progress(number);
        request.progressCaption = QStringLiteral("正在处理第 %1 个文件").arg(number);
        m_ui.progress(request.progressCaption);
        const QString& path = workbooks.at(i);
        const EngineResult result = engine->replace(path, request);
        ++summary.files;
        if (!result.error.isEmpty()) {
            ++summary.failed;
            m_ui.notice(QStringLiteral("工作簿“%1”未能处理，文件未修改：\r\n%2").arg(QFileInfo(path).absoluteFilePath(), result.error),
                        UserInterface::Icon::Warning);
        } else if (result.changed) {
            ++summary.changed;
        }
    }
    m_ui.notice(QStringLiteral("替换完毕！"));
    m_ui.progress(QStringLiteral("处理完毕！"));
    return summary;
}

} // namespace varnel::excelscope
