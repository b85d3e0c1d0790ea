#include "office/xlsx/XlsxEngine.h"

#include "core/TextReplace.h"
#include "office/xlsx/ExcelMatcher.h"
#include "office/xlsx/XlsxHeaderFooter.h"
#include "office/xlsx/XlsxSheetCells.h"
#include "office/xlsx/XlsxWorkbook.h"

namespace varnel::office {

namespace {

class XlsxRun
{
public:
    XlsxRun(XlsxWorkbook& workbook, const EngineRequest& request)
        : m_workbook(workbook)
        , m_request(request)
        , m_matchCase(request.options.isOn(Option::MatchCase))
        , m_wholeCell(request.options.isOn(Option::WholeCell))
    {
    }

    void sheet(size_t index);
    bool changed() const { return m_changed; }
    int replacements() const { return m_replacements; }
    const QString& error() const { return m_error; }

private:
    bool on(Option option) const { return m_request.options.isOn(option); }
    // Whether the sheet was renamed.
    bool renameSheet(size_t index, const QString& find, const QString& replace);
    // What the cells of a sheet leave to the workbook once they are done with.
    void finishCells(const XlsxSheet& sheet, XlsxSheetCells& cells, bool sheetChanged);

    XlsxWorkbook& m_workbook;
    const EngineRequest& m_request;
    const bool m_matchCase;
    const bool m_wholeCell;
    bool m_changed = false;
    bool m_cellsChanged = false;
    int m_replacements = 0;
    QString m_error; // the last failure
};

void XlsxRun::sheet(size_t index)
{
    XlsxSheet& sheet = m_workbook.sheets()[index];
    if (!sheet.worksheet)
        return;
    QString error;
    const pugi::xml_node root = m_workbook.root(sheet.part, &error);
    if (!root) {
        m_error = error;
        return;
    }
    // The header and footer texts as read, and the working copies the definitions change.
    XlsxHeaderFooter headerFooter(root);
    const bool headers = on(Option::XlsPageHeader);
    const QStringList headersRead = headers ? headerFooter.texts() : QStringList();
    QStringList headersWorking = headersRead;

    auto cells = std::make_unique<XlsxSheetCells>(root, m_workbook.strings(), m_workbook.styles());
    bool cellsChanged = false;
    for (qsizetype i = 0; i < m_request.findTexts.size(); ++i) {
        const QString& find = m_request.findTexts.at(i);
        const QString replace = m_request.replaceTexts.value(i);
        if (ExcelMatcher::skipDefinition(find, replace, m_matchCase))
            continue;
        const QString search = on(Option::XlsWildcard) ? find : ExcelMatcher::escapeFind(find);
        // Excel's Replace changes nothing where its Find finds nothing, so replacing directly gives what
        // testing with Find first and then replacing gives.
        const int count = cells->replace(ExcelMatcher(search, m_matchCase, m_wholeCell), replace);
        if (count > 0) {
            m_replacements += count;
            m_changed = m_cellsChanged = cellsChanged = true;
            m_workbook.markChanged(sheet.part);
        }
        if (on(Option::XlsSheetName) && renameSheet(index, find, replace)) {
            // The rename may have rewritten this sheet's formulas: its cells are read again.
            finishCells(sheet, *cells, cellsChanged);
            cells = std::make_unique<XlsxSheetCells>(root, m_workbook.strings(), m_workbook.styles());
        }
        if (on(Option::XlsPageHeader)) {
            for (QString& text : headersWorking) {
                if (!text.isEmpty())
                    text = plainReplace(text, find, replace, CompareMode::Text);
            }
        }
    }
    finishCells(sheet, *cells, cellsChanged);
    if (headers) {
        for (int which = 0; which < XlsxHeaderFooter::Count; ++which) {
            if (headersWorking.value(which) == headersRead.value(which))
                continue;
            headerFooter.setText(which, headersWorking.value(which));
            m_workbook.markChanged(sheet.part);
            m_changed = true;
        }
    }
}

void XlsxRun::finishCells(const XlsxSheet& sheet, XlsxSheetCells& cells, bool sheetChanged)
{
    m_workbook.settleCells(sheet, cells, sheetChanged, m_cellsChanged);
    if (cells.tooLong() > 0)
        m_error = QStringLiteral("替换后单元格内容将超过32767个字符，%1个单元格未替换").arg(cells.tooLong());
    if (cells.locked() > 0)
        m_error = QStringLiteral("工作表“%1”受保护，%2个锁定的单元格未替换").arg(sheet.name()).arg(cells.locked());
}

bool XlsxRun::renameSheet(size_t index, const QString& find, const QString& replace)
{
    XlsxSheet& sheet = m_workbook.sheets()[index];
    const QString oldName = sheet.name();
    // The find text as the user typed it: the escapes that make Excel's Find take ? * ~ literally have
    // no place in a plain replacement.
    const QString newName = plainReplace(oldName, find, replace, CompareMode::Text);
    if (newName == oldName)
        return false;
    QString reason;
    switch (m_workbook.renameSheet(index, newName, &reason)) {
    case XlsxWorkbook::Rename::Renamed:
        m_changed = true;
        return true;
    case XlsxWorkbook::Rename::StructureLocked:
        m_error = QStringLiteral("工作簿的结构受保护，工作表“%1”不能改名").arg(oldName);
        return false;
    case XlsxWorkbook::Rename::Refused:
    case XlsxWorkbook::Rename::Failed:
        m_error = reason;
        return false;
    }
    return false;
}

} // namespace

EngineResult XlsxEngine::replace(const QString& path, const EngineRequest& request)
{
    EngineResult result;
    QString error;
    const std::unique_ptr<XlsxWorkbook> workbook = XlsxWorkbook::open(path, &error, request.password);
    if (!workbook) {
        result.error = error;
        return result;
    }
    XlsxRun run(*workbook, request);
    for (size_t i = 0; i < workbook->sheets().size(); ++i)
        run.sheet(i);
    result.error = run.error();
    if (!run.changed())
        return result;
    if (!request.dryRun && !workbook->save(&error)) {
        result.error = error;
        return result;
    }
    result.changed = true;
    result.replacements = run.replacements();
    return result;
}

} // namespace varnel::office
