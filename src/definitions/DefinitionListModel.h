#pragma once
// The definition list entered in the window: ReplacePair rows in the order a run receives them, column 0
// the find text ("被替换字符串"), column 1 the replace text ("替换字符串"), both kept exactly as entered.
// Duplicates are allowed. Rows are changed only through the operations below, never edited in place.

#include "core/ReplacePair.h"

#include <QAbstractTableModel>

namespace varnel {

class DefinitionListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const ReplacePairs& pairs() const { return m_pairs; }
    qsizetype count() const { return m_pairs.size(); }
    ReplacePair pair(int row) const { return m_pairs.value(row); }

    void append(const ReplacePair& pair);
    // The next operations ignore a row that does not exist.
    void setPair(int row, const ReplacePair& pair);
    void removeAt(int row);
    // Exchange the contents of a row with the row above (below); false on the first (last) row.
    bool moveUp(int row);
    bool moveDown(int row);
    void clear();
    // Replaces every row (an import).
    void setPairs(const ReplacePairs& pairs);

private:
    void swapRows(int a, int b);

    ReplacePairs m_pairs;
};

} // namespace varnel
