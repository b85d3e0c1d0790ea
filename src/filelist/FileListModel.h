#pragma once
// The rows of a file list: the full paths of the files to process, in the order they were added, shown
// in one column "文件". A path is added only when no row equals it exactly (case-sensitive, whole string),
// so two writings of one file's path give two rows.

#include <QAbstractListModel>
#include <QList>
#include <QHash>
#include <QStringList>

namespace varnel {

class FileListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QStringList& paths() const { return m_paths; }
    qsizetype count() const { return m_paths.size(); }

    // Appends the path unless a row already equals it; true when it was appended.
    bool append(const QString& path);
    // Appends each path by the rule above; returns how many were appended. With skipDuplicates false
    // every path is appended, repeats included (a list that takes each drop as it comes).
    int appendAll(const QStringList& paths, bool skipDuplicates = true);
    // Replaces the path of a row (a renamed file); out-of-range rows are ignored.
    void setPath(int row, const QString& path);
    // Removes the given rows (0-based, any order, repeats allowed).
    void removeRowNumbers(QList<int> rows);
    void clear();

private:
    QStringList m_paths;
    // How many rows hold each path, so the duplicate test stays fast for long lists. A rename may give
    // two rows one path; the count keeps the test right when one of them goes.
    QHash<QString, int> m_counts;
};

} // namespace varnel
