#include "filelist/FileListModel.h"

#include <algorithm>

namespace varnel {

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_paths.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_paths.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_paths[index.row()];
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return QStringLiteral("文件");
    return {};
}

bool FileListModel::append(const QString& path)
{
    return appendAll({path}) == 1;
}

int FileListModel::appendAll(const QStringList& paths, bool skipDuplicates)
{
    QStringList added;
    for (const QString& path : paths) {
        if (skipDuplicates && m_counts.contains(path))
            continue;
        ++m_counts[path];
        added.append(path);
    }
    if (added.isEmpty())
        return 0;
    const int first = static_cast<int>(m_paths.size());
    beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
    m_paths += added;
    endInsertRows();
    return static_cast<int>(added.size());
}

void FileListModel::setPath(int row, const QString& path)
{
    if (row < 0 || row >= m_paths.size())
        return;
    if (--m_counts[m_paths[row]] == 0)
        m_counts.remove(m_paths[row]);
    m_paths[row] = path;
    ++m_counts[path];
    emit dataChanged(index(row), index(row));
}

void FileListModel::removeRowNumbers(QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        if (row < 0 || row >= m_paths.size())
            continue;
        beginRemoveRows({}, row, row);
        if (--m_counts[m_paths[row]] == 0)
            m_counts.remove(m_paths[row]);
        m_paths.removeAt(row);
        endRemoveRows();
    }
}

void FileListModel::clear()
{
    beginResetModel();
    m_paths.clear();
    m_counts.clear();
    endResetModel();
}

} // namespace varnel
