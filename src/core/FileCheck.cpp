#include "core/FileCheck.h"

#include <QFile>
#include <QLocale>

#include <fstream>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace varnel {

namespace {

// 0: work the limit out from the memory available.
qint64 g_fixedTextFileLimit = 0;

// The memory the system can give without swapping ("MemAvailable"), or the free physical memory where
// the kernel does not say.
qint64 availableMemory()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    qint64 kilobytes = 0;
    while (meminfo >> key >> kilobytes) {
        if (key == "MemAvailable:")
            return kilobytes * 1024;
        meminfo.ignore(64, '\n');
    }
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return qint64(pages) * pageSize;
    return std::numeric_limits<qint64>::max(); // unknown: no limit rather than refusing every file
}

QString sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

bool isRegularFile(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QString notRegularFileReason(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return {};
    QString what;
    if (S_ISFIFO(st.st_mode))
        what = QStringLiteral("（命名管道）");
    else if (S_ISSOCK(st.st_mode))
        what = QStringLiteral("（套接字）");
    else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        what = QStringLiteral("（设备）");
    else if (S_ISDIR(st.st_mode))
        what = QStringLiteral("（文件夹）");
    return QStringLiteral("不是普通文件%1，未打开，未作修改").arg(what);
}

qint64 textFileSizeLimit()
{
    if (g_fixedTextFileLimit > 0)
        return g_fixedTextFileLimit;
    return availableMemory() / 8;
}

QString tooLargeTextReason(qint64 size)
{
    const qint64 limit = textFileSizeLimit();
    if (size <= limit)
        return {};
    return QStringLiteral("文件太大（%1），超过可用内存所能处理的大小（%2），未读取，未作修改")
        .arg(sizeText(size), sizeText(limit));
}

ScopedTextFileSizeLimit::ScopedTextFileSizeLimit(qint64 bytes)
    : m_previous(g_fixedTextFileLimit)
{
    g_fixedTextFileLimit = bytes;
}

ScopedTextFileSizeLimit::~ScopedTextFileSizeLimit()
{
    g_fixedTextFileLimit = m_previous;
}

} // namespace varnel
