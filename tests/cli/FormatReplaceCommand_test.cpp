#include "cli/FormatReplaceCommand.h"
#include "cli/ReplaceCommand.h"

#include "support/TestFiles.h"

#include "CliFixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace varnel;
using varnel::test::dataPath;
using varnel::test::readFile;

namespace {

using FormatCliFixture = test::CliFixture<cli::FormatReplaceCommand>;

} // namespace

TEST(FormatReplaceCommand, ReplacesInAFolderAndPrintsTheSummary)
{
    FormatCliFixture f;
    ASSERT_TRUE(QFile::copy(dataPath("tools/FormatReplace_02_target.docx"), f.path("a.docx")));
    ASSERT_TRUE(QFile::copy(dataPath("tools/FormatReplace_04_no_table.docx"), f.path("b.docx")));
    const QByteArray untouched = readFile(f.path("b.docx"));
    const int status = f.run({"--table", dataPath("tools/FormatReplace_01_definitions.docx"), "--only-first",
                              "--match-case", f.dir.path()});
    EXPECT_EQ(status, cli::ExitOk) << f.err.toStdString();
    EXPECT_EQ(f.out.trimmed(), QStringLiteral("替换完毕！\n共 2 个文件，其中 1 个文件发生了替换。"));
    EXPECT_EQ(readFile(f.path("b.docx")), untouched);
    EXPECT_NE(readFile(f.path("a.docx")), readFile(dataPath("tools/FormatReplace_02_target.docx")));
}

TEST(FormatReplaceCommand, RefusesBadUsageAndUnusableDefinitionsBeforeAnythingChanges)
{
    struct Case {
        QStringList args;
        QString message;
    };
    FormatCliFixture f;
    ASSERT_TRUE(QFile::copy(dataPath("tools/FormatReplace_02_target.docx"), f.path("a.docx")));
    const QByteArray before = readFile(f.path("a.docx"));
    const Case cases[] = {
        {{f.path("a.docx")}, "--table"},
        {{"--table", dataPath("tools/FormatReplace_04_no_table.docx"), f.path("a.docx")}, "以表格形式"},
        {{"--table", dataPath("tools/FormatReplace_03_one_column.docx"), f.path("a.docx")}, "两列表格"},
        {{"--table", dataPath("tools/FormatReplace_01_definitions.docx"), "--bogus", f.path("a.docx")}, "--bogus"},
        {{"--table", dataPath("tools/FormatReplace_01_definitions.docx"), f.path("missing.docx")}, "missing.docx"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(f.run(c.args), cli::ExitUsage);
        EXPECT_TRUE(f.err.contains(c.message)) << f.err.toStdString();
    }
    EXPECT_EQ(readFile(f.path("a.docx")), before);
}
