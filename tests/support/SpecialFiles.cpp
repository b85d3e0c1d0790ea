#include "support/SpecialFiles.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace varnel::test {

TestFifo::TestFifo(const QString& path)
    : m_path(path)
{
    const QByteArray name = QFile::encodeName(path);
    EXPECT_EQ(::mkfifo(name.constData(), 0644), 0) << std::strerror(errno);
    m_watcher = std::thread([this, name] {
        while (!m_stop) {
            // Opening for writing without waiting succeeds only while a reader has the pipe open.
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                m_opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
}

TestFifo::~TestFifo()
{
    m_stop = true;
    m_watcher.join();
}

void makeSocket(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(name.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0) << std::strerror(errno);
    ::close(fd);
}

QStringList makeMixedEntries(const QString& folder, const QString& ext)
{
    const QDir dir(folder);
    const QStringList documents{dir.absoluteFilePath("a" + ext), dir.absoluteFilePath("b" + ext)};
    writeFile(documents[0], "x");
    EXPECT_TRUE(QFile::link(documents[0], documents[1]));
    makeSocket(dir.absoluteFilePath("sock" + ext));
    EXPECT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.absoluteFilePath("zero" + ext)));
    EXPECT_TRUE(QFile::link(dir.absoluteFilePath("nothing"), dir.absoluteFilePath("broken" + ext)));
    return documents;
}

} // namespace varnel::test
