#include "core/FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace varnel {

namespace {

const FileIo kRealFileIo;
const FileIo* g_current = &kRealFileIo;

// Syncs the folder so that the rename itself survives a power cut. The data is already in place: a folder
// that cannot be synced (some network file systems) is no failure.
void syncFolderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::optional<QByteArray> FileIo::readAll(const QString& path, QString* error) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return data;
}

bool FileIo::writeAtomically(const QString& path, const QByteArray& data, QString* error) const
{
    // QSaveFile writes a temporary file beside the target, syncs it and renames it over the target;
    // it carries the existing file's permissions over to the new one.
    QSaveFile file(path);
    const QFile::Permissions permissions = QFileInfo::exists(path) ? QFile::permissions(path) : QFile::Permissions();
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (permissions)
        file.setPermissions(permissions);
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    syncFolderOf(path);
    return true;
}

const FileIo& FileIo::current()
{
    return *g_current;
}

ScopedFileIo::ScopedFileIo(const FileIo& io)
    : m_previous(g_current)
{
    g_current = &io;
}

ScopedFileIo::~ScopedFileIo()
{
    g_current = m_previous;
}

} // namespace varnel
