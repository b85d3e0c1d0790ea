#pragma once
// The cells of one worksheet as Excel's Find and Replace see them, and their replacement.
//
// A cell's text is what the formula bar shows: a text cell's string (shared or inline, rich text joined),
// a number in the formula-bar form of its number format (123, 2023/3/15, 12.5%), TRUE or FALSE, and a
// formula as "=" and its text (a cell of a shared formula reads the formula moved to its own position).
// Error values and empty cells are not searched. A replaced cell is entered again as typed text
// (ExcelCellEntry): "1a3" becomes text, "153" the number 153, "=A1" a formula, each keeping the cell's
// style. A replacement that would take a cell past 32,767 characters is not made, nor one in a locked cell
// of a protected sheet.
//
// Only replaced cells change: a shared string another cell uses stays as it is (the replaced cell gets an
// item of its own), and a shared formula is first written out into each of its cells when one of them is
// replaced. A replaced formula loses its cached value.

#include "office/xlsx/ExcelCellEntry.h"
#include "office/xlsx/ExcelMatcher.h"
#include "office/xlsx/XlsxSharedStrings.h"
#include "office/xlsx/XlsxStyles.h"

#include <QHash>
#include <QStringList>

#include <optional>
#include <vector>

namespace varnel::office {

class XlsxSheetCells
{
public:
    // worksheet: the root of the worksheet part.
    XlsxSheetCells(pugi::xml_node worksheet, XlsxSharedStrings& strings, XlsxStyles& styles);

    // Some cell would be found (Cells.Find).
    bool find(const ExcelMatcher& matcher);
    // A rectangle of cells, bounds included, as Excel's Range("$C$2:$E$100") selects them.
    struct Area {
        int firstRow = 1;
        int lastRow = 1048576;
        int firstColumn = 1;
        int lastColumn = 16384;
        bool contains(int row, int column) const
        {
            return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
        }
    };

    // Replaces in every cell (Cells.Replace), or only in those of area (Range.Replace); returns the number
    // of cells whose content changed.
    int replace(const ExcelMatcher& matcher, const QString& replacement, const std::optional<Area>& area = {});

    // A formula was written or changed (its cached value is gone).
    bool formulasChanged() const { return m_formulasChanged; }
    // The references (A1) of cells whose formula was replaced by a value.
    const QStringList& formulasRemoved() const { return m_formulasRemoved; }
    // Cells left as they were because the replacement would make them too long.
    int tooLong() const { return m_tooLong; }
    // Cells left as they were because the sheet is protected and they are locked, as Excel refuses them.
    int locked() const { return m_locked; }

    // Drops the cached value of every formula of the sheet, which a changed cell may have made stale:
    // Excel recalculates them all on opening when asked to, but other programs only compute what has no
    // value.
    void dropCachedValues();

    // The text Find sees in the cell at a reference ("B3"); empty when there is no such searchable cell.
    QString textAt(const QString& reference);

    static constexpr qsizetype kMaxCellLength = 32767;

private:
    enum class Kind { SharedString, Inline, Number, Boolean, Formula };
    struct Cell {
        pugi::xml_node node;
        Kind kind = Kind::Number;
        int row = 0;
        int column = 0;
        int shared = -1;     // the shared formula it belongs to
        qsizetype item = -1; // SharedString: index into the table
        bool known = false;  // text holds the cell's text (Number, Boolean, Formula)
        QString text;
    };
    struct SharedFormula {
        int row = 0;
        int column = 0;
        QString text;
        std::vector<size_t> cells;
    };
    // What one shared string becomes in one replacement, worked out once for all its cells.
    struct Outcome {
        bool replaced = false;
        XlsxStringItem item;
        qsizetype index = -1; // of the item in the table, once added
        // The entry for a cell that keeps text as text ([1]) and for one that does not ([0]).
        std::optional<ExcelCellEntry> entries[2];
    };
    struct Outcomes {
        std::vector<char> unmatched; // by item: known to hold no match
        QHash<qsizetype, Outcome> matched;
    };

    void collect(pugi::xml_node worksheet);
    // The sheet's protection keeps the cell as it is (counted).
    bool refusedByProtection(const Cell& cell);
    QString textOf(Cell& cell);
    void unshare(int shared);
    // Gives the cell its new content; item: the string for a Text entry.
    void write(Cell& cell, const ExcelCellEntry& entry, const XlsxStringItem& item, qsizetype sharedIndex);
    bool replaceCell(Cell& cell, const ExcelMatcher& matcher, const QString& replacement,
                     Outcomes& outcomes);

    XlsxSharedStrings& m_strings;
    XlsxStyles& m_styles;
    std::vector<Cell> m_cells;
    QHash<int, SharedFormula> m_sharedFormulas;
    QStringList m_formulasRemoved;
    bool m_formulasChanged = false;
    int m_tooLong = 0;
    int m_locked = 0;
    bool m_protected = false; // sheetProtection sheet="1"

};

} // namespace varnel::office
