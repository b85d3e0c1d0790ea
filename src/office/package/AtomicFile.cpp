#include "office/package/AtomicFile.h"

#include "core/FileIo.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace varnel::office {

namespace {

void syncFolderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // The data is already in place; a folder that cannot be synced (some network file systems) is no failure.
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    QString ioError;
    if (!FileIo::current().writeAtomically(path, data, &ioError)) {
        if (error)
            *error = QStringLiteral("写入文件失败：%1").arg(ioError);
        return false;
    }
    syncFolderOf(path);
    return true;
}

} // namespace varnel::office
