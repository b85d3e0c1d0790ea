#include "tools/excelscope/ExcelScope.h"

#include "office/xlsx/CellReference.h"

#include <algorithm>

namespace varnel::excelscope {

namespace {

using office::CellReference;

// 1 to 1,048,576 written in decimal digits alone (leading zeros allowed, as Excel takes them); 0 otherwise.
int rowNumber(const QString& text)
{
    if (text.isEmpty())
        return 0;
    qint64 row = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return 0;
        row = row * 10 + (c.unicode() - u'0');
        if (row > CellReference::kMaxRow)
            return 0;
    }
    return int(row);
}

} // namespace

bool ExcelScope::cellArea(const ExcelScopeOptions& options, std::optional<Area>* area, QString* error)
{
    area->reset();
    if (!options.rowScope && !options.columnScope)
        return true;
    Area cells;
    if (options.rowScope) {
        const int first = rowNumber(options.firstRow);
        const int last = rowNumber(options.lastRow);
        if (first == 0 || last == 0) {
            *error = QStringLiteral("限定的行范围“%1-%2”无效：行号必须是 1 到 %3 之间的整数。")
                         .arg(options.firstRow, options.lastRow)
                         .arg(CellReference::kMaxRow);
            return false;
        }
        cells.firstRow = std::min(first, last);
        cells.lastRow = std::max(first, last);
    }
    if (options.columnScope) {
        const int first = CellReference::columnNumber(options.firstColumn);
        const int last = CellReference::columnNumber(options.lastColumn);
        if (first == 0 || last == 0) {
            *error = QStringLiteral("限定的列范围“%1-%2”无效：列号必须是 A 到 XFD 之间的字母列号。")
                         .arg(options.firstColumn, options.lastColumn);
            return false;
        }
        cells.firstColumn = std::min(first, last);
        cells.lastColumn = std::max(first, last);
    }
    *area = cells;
    return true;
}

bool ExcelScope::sheetInScope(const ExcelScopeOptions& options, const QString& name, bool active)
{
    if (!options.sheetScope)
        return true;
    const QString& text = options.sheetText;
    switch (options.sheetCondition) {
    case SheetCondition::Active: return active;
    case SheetCondition::Equals: return name.compare(text, Qt::CaseInsensitive) == 0;
    case SheetCondition::Contains: return name.contains(text, Qt::CaseInsensitive);
    case SheetCondition::NotEquals: return name.compare(text, Qt::CaseInsensitive) != 0;
    case SheetCondition::NotContains: return !name.contains(text, Qt::CaseInsensitive);
    }
    return false;
}

} // namespace varnel::excelscope
