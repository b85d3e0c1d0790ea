#pragma once
// The scoped replacement in one workbook (.xlsx .xlsm), a sibling of the Excel engine: per worksheet in
// scope, in workbook order (chart sheets are not visited), and per definition in the order given:
//   - a definition whose find and replace texts are equal code unit by code unit, or either of them 256
//     characters or longer, is skipped (a case-only change is applied even with match case off);
//   - the cells of the scope's area are replaced as Excel's Range.Replace replaces (match case, whole cell,
//     the find text taken literally unless wildcards are on); cells outside it never change, even when
//     they share a string with one inside;
//   - with sheet names on, the sheet's name gets every occurrence of the search text (the find text with
//     its escapes when wildcards are off) replaced under the comparison mode; a name another sheet has or
//     Excel refuses is not given, and the person is told "新名字“…”已经被其它工作表使用，放弃修改工作表名。";
//   - with page headers on, each of the six header and footer texts gets every occurrence of the find text
//     replaced under the comparison mode.
// The active sheet is the one active when the workbook was opened, whatever the run renames.
//
// A workbook in which nothing changed is not written. Any failure (a part that cannot be read, locked
// cells of a protected sheet, a cell that would grow past 32,767 characters, a failed save) leaves the
// file byte-identical and comes back as the result's error.

#include "core/DocumentEngine.h"
#include "tools/excelscope/ExcelScope.h"

namespace varnel::excelscope {

class ScopedWorkbookEngine : public DocumentEngine
{
public:
    // options: validated (ExcelScope::cellArea accepted them), area: the cells it gave.
    ScopedWorkbookEngine(const ExcelScopeOptions& options, const std::optional<ExcelScope::Area>& area);

    // The renaming notices go to request.ui.
    EngineResult replace(const QString& path, const EngineRequest& request) override;

    // "新名字“name”已经被其它工作表使用，放弃修改工作表名。"
    static QString renameRefusedText(const QString& name);

private:
    ExcelScopeOptions m_options;
    std::optional<ExcelScope::Area> m_area;
};

} // namespace varnel::excelscope
