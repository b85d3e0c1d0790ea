#pragma once
// The shared string table of a workbook as a replacement run uses it. An item may be used by many cells
// on many sheets, so it is never edited in place: a replaced cell gets an item of its own (an existing
// plain item with the same text when there is one, else a new one at the end). The table's count (cells
// referring to it) follows the cells that leave or join it; uniqueCount follows the items.

#include "office/xlsx/XlsxStringItem.h"

#include <QHash>

#include <optional>
#include <vector>

namespace varnel::office {

class XlsxSharedStrings
{
public:
    // root: the <sst> element, or null when the workbook has no shared strings.
    void load(pugi::xml_node root);
    bool available() const { return bool(m_root); }

    qsizetype size() const { return qsizetype(m_nodes.size()); }
    // The item at index, or null when there is none.
    const XlsxStringItem* item(qsizetype index);
    // The signature of the item's text (ExcelMatcher::signatureOf), worked out once; the index must be valid.
    ExcelMatcher::Signature signature(qsizetype index, bool matchCase);
    // The index of an item with this content for a cell that now refers to it.
    qsizetype add(const XlsxStringItem& item);
    // A cell stopped (-1) or started (+1) referring to the table.
    void countReference(int delta) { m_countDelta += delta; }

    // Brings count and uniqueCount up to date; whether the table changed.
    bool finish();

private:
    pugi::xml_node m_root;
    std::vector<pugi::xml_node> m_nodes;
    std::vector<std::optional<XlsxStringItem>> m_items;
    std::vector<std::optional<ExcelMatcher::Signature>> m_signatures[2]; // by item; [1] with match case
    QHash<QString, qsizetype> m_plainIndex; // text -> plain item, built on the first add
    bool m_indexed = false;
    bool m_added = false;
    int m_countDelta = 0;
};

} // namespace varnel::office
