#include "cli/PathArguments.h"

#include "filelist/FolderScan.h"

#include <QDir>
#include <QFileInfo>

namespace varnel::cli {

std::optional<QStringList> filesOfPaths(const QStringList& paths, const QStringList& folderTypes, bool recursive,
                                        QString* missing)
{
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const QString full = QDir::cleanPath(info.absoluteFilePath());
        if (info.isDir()) {
            files << scanFolder(full, folderTypes, recursive);
        } else if (info.exists()) {
            files << full;
        } else {
            *missing = path;
            return std::nullopt;
        }
    }
    files.removeDuplicates();
    return files;
}

} // namespace varnel::cli
