#include "cli/ReplaceCommand.h"
#include "cli/WidthCommand.h"

#include "CliFixture.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace varnel;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

using WidthCli = varnel::test::CliFixture<cli::WidthCommand>;

} // namespace

TEST(WidthCommand, ConvertsTheWordAndTextFilesOfAFolder)
{
    WidthCli f;
    writeFile(f.path("docs/a.txt"), "a,b.");
    writeFile(f.path("docs/sub/b.TXT"), "(x)");
    writeFile(f.path("docs/c.htm"), "a,b"); // not a converter type: not taken from a folder
    writeFile(f.path("docs/d.docx"), readFile(test::dataPath("office/docx/01_minimal.docx")));
    EXPECT_EQ(f.run({"--mode", "punct", "-R", f.path("docs")}), cli::ExitOk) << f.err.toStdString();
    EXPECT_EQ(readFile(f.path("docs/a.txt")), "a\xA3\xAC" "b.");
    EXPECT_EQ(readFile(f.path("docs/sub/b.TXT")), "\xA3\xA8x\xA3\xA9");
    EXPECT_EQ(readFile(f.path("docs/c.htm")), "a,b");
    EXPECT_EQ(f.out, QStringLiteral("替换完毕！\n已转换 2 个文件，0 个文件出错\n"));
}

TEST(WidthCommand, AFailedFileGivesExitStatusOneAndALogLine)
{
    WidthCli f;
    writeFile(f.path("a.docx"), "not a package");
    writeFile(f.path("b.txt"), "\xA3\xC1"); // "Ａ" in GBK
    EXPECT_EQ(f.run({"--mode", "half", f.path("a.docx"), f.path("b.txt")}), cli::ExitFailures);
    EXPECT_EQ(readFile(f.path("b.txt")), "A");
    EXPECT_TRUE(QString::fromLocal8Bit(readFile(f.path("log.txt"))).contains(QStringLiteral("]异常错误：")));
    EXPECT_TRUE(f.out.contains(QStringLiteral("1 个文件出错"))) << f.out.toStdString();
}

TEST(WidthCommand, RefusesAMissingOrUnknownModeAndMissingPaths)
{
    WidthCli f;
    writeFile(f.path("a.txt"), "a");
    EXPECT_EQ(f.run({f.path("a.txt")}), cli::ExitUsage);
    EXPECT_EQ(f.run({"--mode", "wide", f.path("a.txt")}), cli::ExitUsage);
    EXPECT_EQ(f.run({"--mode", "full", f.path("missing.txt")}), cli::ExitUsage);
    EXPECT_EQ(f.run({"--mode", "full"}), cli::ExitUsage);
    EXPECT_EQ(readFile(f.path("a.txt")), "a");
}
