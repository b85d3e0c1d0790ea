#include "tools/excelscope/ScopedWorkbookEngine.h"

#include "core/TextReplace.h"
#include "office/xlsx/ExcelMatcher.h"
#include "office/xlsx/XlsxHeaderFooter.h"
#include "office/xlsx/XlsxWorkbook.h"
#include "office/xlsx/XlsxXml.h"
#include "tools/excelscope/ExcelScopeRun.h"

#include <memory>

namespace varnel::excelscope {

namespace {

using office::ExcelMatcher;
using office::XlsxHeaderFooter;
using office::XlsxSheet;
using office::XlsxSheetCells;
using office::XlsxWorkbook;
using office::XlsxXml;

// The index (in workbook order, chart sheets included) of the sheet active when the workbook was saved.
// The first sheet when the workbook names none that exists.
size_t activeSheetIndex(XlsxWorkbook& workbook)
{
    const pugi::xml_node view = XlsxXml::child(XlsxXml::child(workbook.workbookRoot(), "bookViews"), "workbookView");
    const int active = view.attribute("activeTab").as_int(0);
    return active > 0 && size_t(active) < workbook.sheets().size() ? size_t(active) : 0;
}

class ScopedPass
{
public:
    ScopedPass(XlsxWorkbook& workbook, const ExcelScopeOptions& options, const std::optional<ExcelScope::Area>& area,
               const EngineRequest& request)
        : m_workbook(workbook)
        , m_options(options)
        , m_area(area)
        , m_request(request)
        , m_mode(options.matchCase ? CompareMode::Binary : CompareMode::Text)
    {
    }

    // False when the workbook must be left as it was (error()).
    bool sheet(size_t index, bool active);
    bool changed() const { return m_changed; }
    int replacements() const { return m_replacements; }
    const QString& error() const { return m_error; }

private:
    enum class Rename { Done, Refused, Failed };
    Rename renameSheet(size_t index, const QString& newName);
    void tell(const QString& text) const
    {
        if (m_request.ui)
            m_request.ui->notice(text);
    }
    // What the cells of a sheet leave to the workbook once they are done with; false on a refused cell.
    bool finishCells(const XlsxSheet& sheet, XlsxSheetCells& cells, bool sheetChanged);

    XlsxWorkbook& m_workbook;
    const ExcelScopeOptions& m_options;
    const std::optional<ExcelScope::Area>& m_area;
    const EngineRequest& m_request;
    const CompareMode m_mode;
    bool m_changed = false;
    bool m_cellsChanged = false;
    int m_replacements = 0;
    QString m_error;
};

bool ScopedPass::sheet(size_t index, bool active)
{
    XlsxSheet& sheet = m_workbook.sheets()[index];
    if (!sheet.worksheet || !ExcelScope::sheetInScope(m_options, sheet.name(), active))
        return true;
    const pugi::xml_node root = m_workbook.root(sheet.part, &m_error);
    if (!root)
        return false;
    XlsxHeaderFooter headerFooter(root);
    const QStringList headersRead = m_options.pageHeaders ? headerFooter.texts() : QStringList();
    QStringList headers = headersRead;

    auto cells = std::make_unique<XlsxSheetCells>(root, m_workbook.strings(), m_workbook.styles());
    bool cellsChanged = false;
    for (qsizetype i = 0; i < m_request.findTexts.size(); ++i) {
        const QString& find = m_request.findTexts.at(i);
        const QString replace = m_request.replaceTexts.value(i);
        // Equal code unit by code unit, whatever the match case: a change of case alone is made.
        if (ExcelMatcher::skipDefinition(find, replace, true))
            continue;
        const QString search = m_options.wildcards ? find : ExcelMatcher::escapeFind(find);
        const int count = cells->replace(ExcelMatcher(search, m_options.matchCase, m_options.wholeCell), replace, m_area);
        if (count > 0) {
            m_replacements += count;
            m_changed = m_cellsChanged = cellsChanged = true;
            m_workbook.markChanged(sheet.part);
        }
        if (m_options.sheetNames) {
            // The search text as Excel was given it, escapes included, taken as plain text.
            const QString newName = plainReplace(sheet.name(), search, replace, m_mode);
            const Rename renamed = newName == sheet.name() ? Rename::Refused : renameSheet(index, newName);
            if (renamed == Rename::Failed)
                return false;
            if (renamed == Rename::Done) {
                // The rename may have rewritten this sheet's formulas: its cells are read again.
                if (!finishCells(sheet, *cells, cellsChanged))
                    return false;
                cells = std::make_unique<XlsxSheetCells>(root, m_workbook.strings(), m_workbook.styles());
            }
        }
        for (QString& text : headers)
            text = plainReplace(text, find, replace, m_mode);
    }
    if (!finishCells(sheet, *cells, cellsChanged))
        return false;
    for (int which = 0; which < headers.size(); ++which) {
        if (headers[which] == headersRead[which])
            continue;
        headerFooter.setText(which, headers[which]);
        m_workbook.markChanged(sheet.part);
        m_changed = true;
    }
    return true;
}

bool ScopedPass::finishCells(const XlsxSheet& sheet, XlsxSheetCells& cells, bool sheetChanged)
{
    if (cells.locked() > 0) {
        m_error = QStringLiteral("工作表“%1”受保护，其中%2个锁定的单元格不能替换").arg(sheet.name()).arg(cells.locked());
        return false;
    }
    if (cells.tooLong() > 0) {
        m_error = QStringLiteral("工作表“%1”中%2个单元格替换后将超过%3个字符")
                      .arg(sheet.name())
                      .arg(cells.tooLong())
                      .arg(XlsxSheetCells::kMaxCellLength);
        return false;
    }
    m_workbook.settleCells(sheet, cells, sheetChanged, m_cellsChanged);
    return true;
}

ScopedPass::Rename ScopedPass::renameSheet(size_t index, const QString& newName)
{
    const QString oldName = m_workbook.sheets()[index].name();
    QString reason;
    switch (m_workbook.renameSheet(index, newName, &reason)) {
    case XlsxWorkbook::Rename::Renamed:
        m_changed = true;
        return Rename::Done;
    case XlsxWorkbook::Rename::StructureLocked:
        tell(QStringLiteral("工作簿的结构受保护，工作表“%1”不能改名为“%2”。").arg(oldName, newName));
        return Rename::Refused;
    case XlsxWorkbook::Rename::Refused:
        tell(ScopedWorkbookEngine::renameRefusedText(newName));
        return Rename::Refused;
    case XlsxWorkbook::Rename::Failed:
        m_error = reason;
        return Rename::Failed;
    }
    return Rename::Failed;
}

} // namespace

ScopedWorkbookEngine::ScopedWorkbookEngine(const ExcelScopeOptions& options,
                                           const std::optional<ExcelScope::Area>& area)
    : m_options(options)
    , m_area(area)
{
}

QString ScopedWorkbookEngine::renameRefusedText(const QString& name)
{
    return QStringLiteral("新名字“%1”已经被其它工作表使用，放弃修改工作表名。").arg(name);
}

EngineResult ScopedWorkbookEngine::replace(const QString& path, const EngineRequest& request)
{
    EngineResult result;
    QString error;
    const std::unique_ptr<XlsxWorkbook> workbook = XlsxWorkbook::open(path, &error, ExcelScopeRun::kOpenPassword);
    if (!workbook) {
        result.error = error;
        return result;
    }
    ScopedPass pass(*workbook, m_options, m_area, request);
    const size_t active = activeSheetIndex(*workbook);
    for (size_t i = 0; i < workbook->sheets().size(); ++i) {
        if (!pass.sheet(i, i == active)) {
            result.error = pass.error();
            return result;
        }
    }
    if (!pass.changed())
        return result;
    if (!request.dryRun && !workbook->save(&error)) {
        result.error = error;
        return result;
    }
    result.changed = true;
    result.replacements = pass.replacements();
    return result;
}

} // namespace varnel::excelscope
