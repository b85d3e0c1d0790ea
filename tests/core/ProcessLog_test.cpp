#include "core/ProcessLog.h"

#include "support/TestFiles.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnel;
using varnel::test::readFile;

TEST(ProcessLog, FailureWrittenWhileAFileIsLoggedContinuesItsLine)
{
    QTemporaryDir dir;
    const ProcessLog log(dir.filePath("log.txt"));
    log.writeRunHeader();
    log.writeFileStart("/d/a.txt");
    log.writeFileEnd(true);
    log.writeFileStart("/d/b.doc");
    log.WriteLog("/d/b.doc", QStringLiteral("文件已损坏"));
    log.writeFileEnd(false);

    const QString text = QString::fromUtf8(readFile(log.path()));
    const QRegularExpression expected(QStringLiteral(
        "^\\d{4}/\\d{1,2}/\\d{1,2} \\d{1,2}:\\d{2}:\\d{2}，开始替换：\r\n"
        "/d/a\\.txt\t内容替换完成\r\n"
        "/d/b\\.doc\\d{4}/\\d{1,2}/\\d{1,2} \\d{1,2}:\\d{2}:\\d{2}\t处理/d/b\\.doc出错：文件已损坏\r\n"
        "\t无替换\r\n$"));
    EXPECT_TRUE(expected.match(text).hasMatch()) << text.toStdString();
}

TEST(ProcessLog, AppendsAndNeverTruncates)
{
    QTemporaryDir dir;
    test::writeFile(dir.filePath("log.txt"), "old line\r\n");
    const ProcessLog log(dir.filePath("log.txt"));
    log.writeFileStart("/x");
    EXPECT_EQ(readFile(log.path()), QByteArray("old line\r\n/x"));
}

TEST(ProcessLog, UnwritableLogIsIgnoredSilently)
{
    QTemporaryDir dir;
    const ProcessLog log(dir.filePath("missing/folder/log.txt"));
    log.WriteLog("/x", "y");
    log.writeRunHeader();
    EXPECT_FALSE(QFile::exists(log.path()));
    ProcessLog blank(QStringLiteral("  "));
    blank.WriteLog("/x", "y"); // nothing to write to, nothing happens
}

TEST(ProcessLog, StartupPathEndsInVarnelLog)
{
    EXPECT_TRUE(ProcessLog::startupPath().endsWith(QStringLiteral("/Varnel.log")));
}
