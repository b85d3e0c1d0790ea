#include "cli/ReplaceCommand.h"

#include "support/SpecialFiles.h"
#include "support/TestFiles.h"

#include "CliFixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace varnel;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

using CliFixture = test::CliFixture<cli::ReplaceCommand>;

} // namespace

TEST(ReplaceCommand, RunsAFolderRecursivelyAndPrintsTheSummary)
{
    CliFixture f;
    writeFile(f.path("docs/a.txt"), "hello world");
    writeFile(f.path("docs/sub/b.htm"), "hello");
    writeFile(f.path("docs/sub/c.bin"), "hello"); // unknown type: not taken from a folder
    EXPECT_EQ(f.run({"-R", "-f", "hello", "-r", "bye", f.path("docs")}), cli::ExitOk) << f.err.toStdString();
    EXPECT_EQ(readFile(f.path("docs/a.txt")), "bye world");
    EXPECT_EQ(readFile(f.path("docs/sub/b.htm")), "bye");
    EXPECT_EQ(readFile(f.path("docs/sub/c.bin")), "hello");
    EXPECT_EQ(f.out, QStringLiteral("替换完毕！\n共 2 个文件， 2 个（2个文本文件）发生了内容替换。\n"));
}

TEST(ReplaceCommand, FolderGivesOnlyItsRegularFilesAndLinksToThem)
{
    CliFixture f;
    const QStringList documents = varnel::test::makeMixedEntries(f.path("docs"), ".txt");
    const varnel::test::TestFifo fifo(f.path("docs/pipe.txt"));
    EXPECT_EQ(f.run({"--json", "-f", "x", "-r", "y", f.path("docs")}), cli::ExitOk) << f.err.toStdString();
    const QStringList lines = f.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << f.out.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(lines[0].toUtf8()).object()["path"].toString(), documents[0]);
    EXPECT_EQ(QJsonDocument::fromJson(lines[1].toUtf8()).object()["path"].toString(), documents[1]);
    EXPECT_EQ(readFile(documents[0]), "y");
    EXPECT_FALSE(fifo.wasOpened());
}

TEST(ReplaceCommand, WithoutRecursionAndWithTypesOnlyTheChosenFilesAreTaken)
{
    CliFixture f;
    varnel::test::makeFiles(f.dir.path(), {"docs/a.txt", "docs/b.htm", "docs/sub/c.txt"});
    EXPECT_EQ(f.run({"--types", "txt", "-f", "x", "-r", "y", f.path("docs")}), cli::ExitOk);
    EXPECT_EQ(readFile(f.path("docs/a.txt")), "y");
    EXPECT_EQ(readFile(f.path("docs/b.htm")), "x");
    EXPECT_EQ(readFile(f.path("docs/sub/c.txt")), "x");
}

TEST(ReplaceCommand, FindWithoutReplaceRemovesTheText)
{
    CliFixture f;
    writeFile(f.path("a.txt"), "abcabc");
    EXPECT_EQ(f.run({"-f", "b", "-f", "c", "-r", "C", f.path("a.txt")}), cli::ExitOk);
    EXPECT_EQ(readFile(f.path("a.txt")), "aCaC");
}

TEST(ReplaceCommand, UnknownExtensionStopsTheRunUnlessTreatedAsText)
{
    CliFixture f;
    writeFile(f.path("a.txt"), "abc");
    writeFile(f.path("b.cfg"), "abc");
    EXPECT_EQ(f.run({"-f", "abc", "-r", "x", f.path("a.txt"), f.path("b.cfg")}), cli::ExitUsage);
    EXPECT_EQ(readFile(f.path("a.txt")), "abc");
    EXPECT_EQ(f.run({"--unknown-as-text", "-f", "abc", "-r", "x", f.path("a.txt"), f.path("b.cfg")}), cli::ExitOk);
    EXPECT_EQ(readFile(f.path("b.cfg")), "x");
}

TEST(ReplaceCommand, BadUsageExitsWithTwoAndChangesNothing)
{
    CliFixture f;
    writeFile(f.path("a.txt"), "abc");
    EXPECT_EQ(f.run({"--no-such-flag", "-f", "a", f.path("a.txt")}), cli::ExitUsage);
    EXPECT_TRUE(f.err.contains("--no-such-flag"));
    EXPECT_EQ(f.run({"-f", "a", f.path("missing.txt")}), cli::ExitUsage);
    EXPECT_EQ(f.run({"-r", "a", f.path("a.txt")}), cli::ExitUsage);
    EXPECT_EQ(f.run({"--ignore-case", "--word-wildcards", "-f", "a", f.path("a.txt")}), cli::ExitUsage);
    EXPECT_EQ(f.run({f.path("a.txt")}), cli::ExitUsage); // no definitions
    EXPECT_TRUE(f.err.contains(QStringLiteral("请设置要替换的字符串信息！")));
    EXPECT_EQ(readFile(f.path("a.txt")), "abc");
}

TEST(ReplaceCommand, JsonPrintsOneObjectPerFileAndASummary)
{
    CliFixture f;
    writeFile(f.path("a.txt"), "abab");
    writeFile(f.path("b.xlsx"), "not handled by this build");
    EXPECT_EQ(f.run({"--json", "--rename", "-f", "a", "-r", "c", f.path("a.txt"), f.path("b.xlsx")}), cli::ExitFailures);
    const QStringList lines = f.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << f.out.toStdString();
    const QJsonObject first = QJsonDocument::fromJson(lines[0].toUtf8()).object();
    EXPECT_EQ(first["path"].toString(), f.path("a.txt"));
    EXPECT_EQ(first["type"].toString(), "text");
    EXPECT_TRUE(first["changed"].toBool());
    EXPECT_EQ(first["replacements"].toInt(), 2);
    EXPECT_EQ(first["renamedTo"].toString(), f.path("c.txt"));
    EXPECT_TRUE(first["error"].isNull());
    const QJsonObject second = QJsonDocument::fromJson(lines[1].toUtf8()).object();
    EXPECT_EQ(second["type"].toString(), "excel");
    EXPECT_FALSE(second["error"].toString().isEmpty());
    const QJsonObject summary = QJsonDocument::fromJson(lines[2].toUtf8()).object();
    EXPECT_EQ(summary["files"].toInt(), 2);
    EXPECT_EQ(summary["changed"].toObject()["text"].toInt(), 1);
    EXPECT_EQ(summary["renamed"].toInt(), 1);
    EXPECT_TRUE(summary["failures"].toBool());
    EXPECT_EQ(readFile(f.path("c.txt")), "cbcb");
}

TEST(ReplaceCommand, DryRunReportsAndWritesNothing)
{
    CliFixture f;
    writeFile(f.path("a.txt"), "abab");
    EXPECT_EQ(f.run({"--dry-run", "--process-log", "-f", "a", "-r", "c", f.path("a.txt")}), cli::ExitOk);
    EXPECT_TRUE(f.out.startsWith(f.path("a.txt") + QStringLiteral("\t将替换 2 处\n"))) << f.out.toStdString();
    EXPECT_EQ(readFile(f.path("a.txt")), "abab");
    EXPECT_FALSE(QFile::exists(f.path("log.txt")));

    // A failure is reported, and still not logged.
    writeFile(f.path("b.xls"), "not a workbook");
    EXPECT_EQ(f.run({"--dry-run", "-f", "a", "-r", "c", f.path("b.xls")}), cli::ExitFailures);
    EXPECT_TRUE(f.out.contains(QStringLiteral("出错："))) << f.out.toStdString();
    EXPECT_FALSE(QFile::exists(f.path("log.txt")));
}

TEST(ReplaceCommand, ReadsDefinitionsFromATabFile)
{
    CliFixture f;
    writeFile(f.path("defs.txt"), "abc\txyz\r\n1\t\r\n");
    writeFile(f.path("a.txt"), "abc 123");
    EXPECT_EQ(f.run({"-d", f.path("defs.txt"), f.path("a.txt")}), cli::ExitOk) << f.err.toStdString();
    EXPECT_EQ(readFile(f.path("a.txt")), "xyz 23");
    EXPECT_EQ(f.run({"-d", f.path("nope.txt"), f.path("a.txt")}), cli::ExitUsage);
}

TEST(ReplaceCommand, ProcessLogOptionWritesTheCourseOfTheRun)
{
    CliFixture f;
    writeFile(f.path("a.txt"), "abc");
    EXPECT_EQ(f.run({"--process-log", "-f", "zzz", f.path("a.txt")}), cli::ExitOk);
    EXPECT_TRUE(QString::fromUtf8(readFile(f.path("log.txt"))).endsWith(f.path("a.txt") + QStringLiteral("\t无替换\r\n")));
}

TEST(ReplaceCommand, ReadsDefinitionsFromADictionaryWorkbook)
{
    CliFixture f;
    writeFile(f.path("a.txt"), "旧公司名 and 12");
    const QString workbook = varnel::test::dataPath(QStringLiteral("office/xlsx/10_dictionary.xlsx"));
    EXPECT_EQ(f.run({"-x", workbook, f.path("a.txt")}), cli::ExitOk) << f.err.toStdString();
    EXPECT_EQ(readFile(f.path("a.txt")), QByteArray("\xEF\xBB\xBF新公司名 and twelve"));
    EXPECT_EQ(f.out, QStringLiteral("替换完毕！\n共 1 个文件， 1 个（1个文本文件）发生了内容替换。\n"));
}

TEST(ReplaceCommand, UnreadableOrEmptyDictionaryWorkbookStopsWithItsMessage)
{
    CliFixture f;
    writeFile(f.path("a.txt"), "旧公司名");
    writeFile(f.path("empty.xlsx"), "");
    EXPECT_EQ(f.run({"-x", f.path("empty.xlsx"), f.path("a.txt")}), cli::ExitUsage);
    EXPECT_TRUE(f.err.startsWith(QStringLiteral("无法读取替换定义Excel工作簿：“") + f.path("empty.xlsx"))) << f.err.toStdString();
    EXPECT_EQ(readFile(f.path("a.txt")), QByteArray("旧公司名"));
    EXPECT_TRUE(f.out.isEmpty());
}
