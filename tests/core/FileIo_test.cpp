#include "core/FileIo.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace varnel;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

struct stat statOf(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

void rewrite(const QString& path, const QByteArray& data)
{
    QString error;
    EXPECT_TRUE(FileIo().writeAtomically(path, data, &error)) << error.toStdString();
}

// The value of an extended attribute; empty when it is missing.
QByteArray attribute(const QString& path, const char* name)
{
    QByteArray value(256, '\0');
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), name, value.data(), value.size());
    return size < 0 ? QByteArray() : value.left(size);
}

bool setAttribute(const QString& path, const char* name, const QByteArray& value)
{
    return ::setxattr(QFile::encodeName(path).constData(), name, value.constData(), value.size(), 0) == 0;
}

// An access ACL as the kernel stores it in system.posix_acl_access: owner rw, the named user 4323 r,
// group r, mask r, others nothing.
QByteArray accessAcl()
{
    QByteArray bytes;
    auto put = [&bytes](quint32 value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.append(char((value >> (8 * i)) & 0xFF));
    };
    put(2, 4); // version
    const quint32 none = 0xFFFFFFFF;
    for (const auto& [tag, perm, id] : {std::tuple{0x01u, 6u, none}, {0x02u, 4u, 4323u}, {0x04u, 4u, none},
                                        {0x10u, 4u, none}, {0x20u, 0u, none}}) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return bytes;
}

// Rewrites the file as the unprivileged user nobody (uid and gid 65534), in a child process (root only).
bool rewriteAsNobody(const QString& path, const QByteArray& data)
{
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        QString error;
        ::_exit(FileIo().writeAtomically(path, data, &error) ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(FileIo, RewriteReplacesByRenameAndKeepsTheMode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    writeFile(path, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0751), 0);
    const ino_t before = statOf(path).st_ino;
    rewrite(path, "new");
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(statOf(path).st_mode & 07777, 0751u);
    EXPECT_NE(statOf(path).st_ino, before); // a new file renamed into place: the path was never half-written
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.txt"});
}

TEST(FileIo, NewFileGetsTheModeTheUmaskAllows)
{
    QTemporaryDir dir;
    const mode_t previous = ::umask(027);
    rewrite(dir.filePath("new.txt"), "text");
    ::umask(previous);
    EXPECT_EQ(readFile(dir.filePath("new.txt")), "text");
    EXPECT_EQ(statOf(dir.filePath("new.txt")).st_mode & 07777, 0640u);
}

TEST(FileIo, FileWithANameAtTheLengthLimitCanBeRewritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString(255, u'n'));
    writeFile(path, "old");
    rewrite(path, "new");
    EXPECT_EQ(readFile(path), "new");
}

TEST(FileIo, RewriteKeepsExtendedAttributesAndTheAcl)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    writeFile(path, "old");
    if (!setAttribute(path, "user.varnel.note", "kept"))
        GTEST_SKIP() << "no user extended attributes on this file system";
    const bool acl = setAttribute(path, "system.posix_acl_access", accessAcl());
    const QByteArray aclBefore = attribute(path, "system.posix_acl_access");
    rewrite(path, "new");
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(attribute(path, "user.varnel.note"), "kept");
    if (acl) {
        EXPECT_FALSE(aclBefore.isEmpty());
        EXPECT_EQ(attribute(path, "system.posix_acl_access"), aclBefore);
    }
}

TEST(FileIo, RewriteKeepsOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another owner";
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    writeFile(path, "old");
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 4321, 4322), 0);
    rewrite(path, "new");
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(statOf(path).st_uid, 4321u);
    EXPECT_EQ(statOf(path).st_gid, 4322u);
}

TEST(FileIo, HardLinkedFileIsWrittenInPlaceSoEveryNameSeesTheNewText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    const QString other = dir.filePath("other name.txt");
    writeFile(path, "old text");
    ASSERT_TRUE(QFile::link(path, dir.filePath("symbolic.txt")));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()), 0);
    const ino_t before = statOf(path).st_ino;
    rewrite(path, "new");
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(readFile(other), "new");
    EXPECT_EQ(statOf(path).st_ino, before);
    EXPECT_EQ(statOf(path).st_nlink, 2u);
    // The temporary copy the new text was written from is gone.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), (QStringList{"a.txt", "other name.txt", "symbolic.txt"}));
}

TEST(FileIo, RewriteThroughASymbolicLinkChangesItsTargetAndKeepsTheLink)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("target.txt");
    const QString link = dir.filePath("link.txt");
    writeFile(target, "old");
    ASSERT_TRUE(QFile::link(target, link));
    rewrite(link, "new");
    EXPECT_EQ(readFile(target), "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

// A user who may write a file in a shared folder but not give a new file its owner: renaming a file of
// their own over it would take the file from its owner, so the text is written in place instead.
TEST(FileIo, FileWhoseOwnerCannotBeKeptIsWrittenInPlace)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to set up a file of another owner and to become an unprivileged user";
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const QString path = dir.filePath("shared.txt");
    writeFile(path, "old text");
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);

    EXPECT_TRUE(rewriteAsNobody(path, "new"));
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(statOf(path).st_uid, 4321u);
    EXPECT_EQ(statOf(path).st_gid, 4322u);
    EXPECT_EQ(statOf(path).st_mode & 07777, 0666u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"shared.txt"});
}

// An attribute only an administrator may set (security.*): a new file of an ordinary user could not carry
// it, so the text is written in place and the attribute stays.
TEST(FileIo, FileWithAnAttributeTheWriterCannotSetIsWrittenInPlace)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to set a security attribute and to become an unprivileged user";
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const QString path = dir.filePath("labelled.txt");
    writeFile(path, "old text");
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    if (!setAttribute(path, "security.varnel", "label"))
        GTEST_SKIP() << "no security attributes on this file system";
    EXPECT_TRUE(rewriteAsNobody(path, "new"));
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(attribute(path, "security.varnel"), "label");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"labelled.txt"});
}
