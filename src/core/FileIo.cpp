#include "core/FileIo.h"

#include "core/FileCheck.h"
#include "core/FileReplace.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnel {

namespace {

const FileIo kRealFileIo;
const FileIo* g_current = &kRealFileIo;

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

} // namespace

std::optional<QByteArray> FileIo::readAll(const QString& path, QString* error) const
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    // A pipe, a socket or a device is never opened. The open file is checked again, so a pipe put in the
    // file's place meanwhile is not read either: the open does not wait for its writer.
    const QString refused = notRegularFileReason(path);
    if (!refused.isEmpty())
        return fail(refused);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(systemError());
    const FdCloser closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail(systemError());
    if (!S_ISREG(st.st_mode))
        return fail(notRegularFileReason(path));

    QByteArray data(static_cast<qsizetype>(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (true) {
        if (got == data.size())
            data.resize(got + 65536); // the file grew since fstat
        const ssize_t n = ::read(fd, data.data() + got, static_cast<size_t>(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(systemError());
        if (n == 0)
            break;
        got += n;
    }
    data.resize(got);
    return data;
}

bool FileIo::writeAtomically(const QString& path, const QByteArray& data, QString* error) const
{
    return replaceFileContents(path, data, error);
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
