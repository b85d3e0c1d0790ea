#include "core/FileReplace.h"

#include "core/FileCheck.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace varnel {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool fail(QString* error, const QString& why)
{
    if (error)
        *error = why;
    return false;
}

class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes the file; false when the close reported a failure of an earlier write.
    bool reset()
    {
        const bool ok = m_fd < 0 || ::close(m_fd) == 0;
        m_fd = -1;
        return ok;
    }

private:
    int m_fd;
};

bool writeAllAt(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pwrite(fd, data.constData() + done, static_cast<size_t>(data.size() - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Syncs the folder so that a rename survives a power cut. The data is already in place: a folder that
// cannot be synced (some network file systems) is no failure.
void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The process's file-creation mask, read without changing it (umask() can only be read by setting it,
// which would race with other threads creating files).
mode_t currentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 022;
}

// The names of the extended attributes, from a NUL-separated list; empty when the file system has none.
std::vector<std::string> attributeNames(const std::vector<char>& list)
{
    std::vector<std::string> names;
    for (auto it = list.begin(); it != list.end();) {
        const auto end = std::find(it, list.end(), '\0');
        if (end != it)
            names.emplace_back(it, end);
        it = end == list.end() ? end : end + 1;
    }
    return names;
}

template<typename ListFn>
std::vector<std::string> listAttributes(ListFn list)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = list(nullptr, 0);
        if (size <= 0)
            return {};
        std::vector<char> buffer(static_cast<size_t>(size));
        const ssize_t got = list(buffer.data(), buffer.size());
        if (got >= 0) {
            buffer.resize(static_cast<size_t>(got));
            return attributeNames(buffer);
        }
        if (errno != ERANGE)
            return {};
    }
    return {};
}

// Gives the temporary file exactly the extended attributes of the original (ACLs are the attributes
// system.posix_acl_access and system.posix_acl_default): copies every one, and removes those the new
// file got that the original lacks (such as an ACL inherited from the folder). False when any could not
// be set or removed.
bool copyAttributes(const QByteArray& original, int temporary)
{
    const std::vector<std::string> names =
        listAttributes([&](char* buf, size_t size) { return ::listxattr(original.constData(), buf, size); });
    for (const std::string& name : names) {
        const ssize_t size = ::getxattr(original.constData(), name.c_str(), nullptr, 0);
        if (size < 0)
            return false;
        std::vector<char> value(static_cast<size_t>(size));
        const ssize_t got = ::getxattr(original.constData(), name.c_str(), value.data(), value.size());
        if (got < 0 || ::fsetxattr(temporary, name.c_str(), value.data(), static_cast<size_t>(got), 0) != 0)
            return false;
    }
    const std::set<std::string> wanted(names.begin(), names.end());
    const std::vector<std::string> present =
        listAttributes([&](char* buf, size_t size) { return ::flistxattr(temporary, buf, size); });
    for (const std::string& name : present)
        if (!wanted.count(name) && ::fremovexattr(temporary, name.c_str()) != 0)
            return false;
    return true;
}

// Gives the temporary file the original's owner, group, mode and extended attributes; false when
// something could not be kept, so that renaming it over the original would lose it.
bool takeOnIdentity(int temporary, const QByteArray& original, const struct stat& st)
{
    if (::fchown(temporary, st.st_uid, st.st_gid) != 0) {
        // Not permitted; fine when the new file has them anyway (a set-group-ID folder gives its group).
        struct stat now {};
        if (::fstat(temporary, &now) != 0 || now.st_uid != st.st_uid || now.st_gid != st.st_gid)
            return false;
    }
    return ::fchmod(temporary, st.st_mode & 07777) == 0 && copyAttributes(original, temporary);
}

// Writes data over the original file itself, keeping its inode and so its other names, owner, mode and
// attributes. The complete new content is already synced in the temporary copy, which is removed once the
// original is synced; if the original cannot be written whole, the copy stays and the error names it.
bool writeInPlace(const QByteArray& target, const struct stat& st, const QByteArray& data,
                  const QByteArray& temporary, QString* error)
{
    Fd fd(::open(target.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    struct stat now {};
    if (!fd.valid() || ::fstat(fd.get(), &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino) {
        const QString why = fd.valid() ? QStringLiteral("文件在写入前被替换") : systemError();
        ::unlink(temporary.constData());
        return fail(error, why);
    }
    if (!writeAllAt(fd.get(), data) || ::ftruncate(fd.get(), data.size()) != 0 || ::fsync(fd.get()) != 0
        || !fd.reset()) {
        return fail(error, QStringLiteral("%1；原文件可能只写入了一部分，完整的新内容保存在“%2”")
                               .arg(systemError(), QFile::decodeName(temporary)));
    }
    ::unlink(temporary.constData());
    return true;
}

// The file a path names: the final target of a symbolic link, else the path itself.
QByteArray resolvedTarget(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(encoded.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return encoded;
    char resolved[PATH_MAX];
    return ::realpath(encoded.constData(), resolved) ? QByteArray(resolved) : encoded;
}

} // namespace

bool replaceFileContents(const QString& path, const QByteArray& data, QString* error)
{
    const QByteArray target = resolvedTarget(path);
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return fail(error, notRegularFileReason(path));

    const QFileInfo info(QFile::decodeName(target));
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    // Named after the file, cut so that a name near the file system's limit still leaves room.
    QByteArray temporary = folder + '/' + QFile::encodeName(info.fileName()).left(200) + ".varnel-XXXXXX";
    Fd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid())
        return fail(error, systemError());
    auto discard = [&](const QString& why) {
        ::unlink(temporary.constData());
        return fail(error, why);
    };
    if (!writeAllAt(fd.get(), data))
        return discard(systemError());

    bool inPlace = false;
    if (!exists) {
        if (::fchmod(fd.get(), 0666 & ~currentUmask()) != 0)
            return discard(systemError());
    } else {
        inPlace = st.st_nlink > 1 || !takeOnIdentity(fd.get(), target, st);
    }
    if (::fsync(fd.get()) != 0 || !fd.reset())
        return discard(systemError());
    if (inPlace)
        return writeInPlace(target, st, data, temporary, error);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return discard(systemError());
    syncFolder(folder);
    return true;
}

} // namespace varnel
