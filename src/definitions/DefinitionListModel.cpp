#include "definitions/DefinitionListModel.h"

#include <algorithm>

namespace varnel {

int DefinitionListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_pairs.size());
}

int DefinitionListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant DefinitionListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_pairs.size() || role != Qt::DisplayRole)
        return {};
    const ReplacePair& pair = m_pairs[index.row()];
    return index.column() == 0 ? pair.find : pair.replace;
}

QVariant DefinitionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == 0)
        return QStringLiteral("被替换字符串");
    if (section == 1)
        return QStringLiteral("替换字符串");
    return {};
}

void DefinitionListModel::append(const ReplacePair& pair)
{
    const int row = static_cast<int>(m_pairs.size());
    beginInsertRows({}, row, row);
    m_pairs.append(pair);
    endInsertRows();
}

void DefinitionListModel::setPair(int row, const ReplacePair& pair)
{
    if (row < 0 || row >= m_pairs.size())
        return;
    m_pairs[row] = pair;
    emit dataChanged(index(row, 0), index(row, 1));
}

void DefinitionListModel::removeAt(int row)
{
    if (row < 0 || row >= m_pairs.size())
        return;
    beginRemoveRows({}, row, row);
    m_pairs.removeAt(row);
    endRemoveRows();
}

bool DefinitionListModel::moveUp(int row)
{
    if (row < 1 || row >= m_pairs.size())
        return false;
    swapRows(row, row - 1);
    return true;
}

bool DefinitionListModel::moveDown(int row)
{
    if (row < 0 || row + 1 >= m_pairs.size())
        return false;
    swapRows(row, row + 1);
    return true;
}

void DefinitionListModel::clear()
{
    setPairs({});
}

void DefinitionListModel::setPairs(const ReplacePairs& pairs)
{
    beginResetModel();
    m_pairs = pairs;
    endResetModel();
}

void DefinitionListModel::swapRows(int a, int b)
{
    m_pairs.swapItemsAt(a, b);
    const int first = std::min(a, b);
    const int last = std::max(a, b);
    emit dataChanged(index(first, 0), index(last, 1));
}

} // namespace varnel
