#include "cli/ExcelScopeCommand.h"
#include "cli/ReplaceCommand.h"

#include "support/MiniWorkbook.h"
#include "support/PackageReadBack.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace varnel;
using varnel::test::inlineRow;
using varnel::test::MiniWorkbook;
using varnel::test::readFile;

namespace {

// A dictionary (old -> new) and a workbook with "OLD" in A1, "old" in A2 and C5 of sheet MyData and "old"
// in A2 of sheet Sheet2, in a temporary folder; runs the command in-process.
class ExcelScopeCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MiniWorkbook dictionary;
        dictionary.sheets = {inlineRow(1, {u"old"_s, u"new"_s})};
        dictionary.write(path(u"dictionary.xlsx"_s));
        MiniWorkbook book;
        book.sheets = {inlineRow(1, {u"OLD"_s}) + inlineRow(2, {u"old"_s}) + inlineRow(5, {{}, {}, u"old"_s}),
                       inlineRow(2, {u"old"_s})};
        book.names = {u"MyData"_s};
        book.write(path(u"book.xlsx"_s));
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    int run(QStringList args)
    {
        out.clear();
        err.clear();
        QTextStream o(&out);
        QTextStream e(&err);
        return cli::ExcelScopeCommand(o, e).execute(args);
    }

    QString cell(int sheet, const QString& reference) const
    {
        return varnel::test::xlsxCellText(path(u"book.xlsx"_s), sheet, reference);
    }

    QTemporaryDir m_dir;
    QString out;
    QString err;
};

} // namespace

TEST_F(ExcelScopeCli, ReplacesWithinTheRowsColumnsAndSheetsGiven)
{
    EXPECT_EQ(run({u"-x"_s, path(u"dictionary.xlsx"_s), u"--rows"_s, u"2-100"_s, u"--columns"_s, u"C-E"_s,
                   u"--sheet"_s, u"contains:data"_s, m_dir.path()}),
              cli::ExitOk)
        << err.toStdString();
    EXPECT_EQ(cell(0, u"C5"_s), u"new"_s);
    EXPECT_EQ(cell(0, u"A2"_s), u"old"_s);
    EXPECT_EQ(cell(1, u"A2"_s), u"old"_s);
    // The dictionary in the folder is a workbook of the list too, and has nothing to replace.
    EXPECT_EQ(out, u"替换定义：1 条\n已处理 2 个工作簿，修改 1 个，0 个未能处理\n"_s);
    EXPECT_EQ(err, u"替换完毕！\n"_s);
}

TEST_F(ExcelScopeCli, MatchCaseIsOnUnlessIgnoreCaseIsGiven)
{
    const QString book = path(u"book.xlsx"_s);
    ASSERT_EQ(run({u"-x"_s, path(u"dictionary.xlsx"_s), u"--sheet"_s, u"eq:mydata"_s, book}), cli::ExitOk);
    EXPECT_EQ(cell(0, u"A1"_s), u"OLD"_s);
    EXPECT_EQ(cell(0, u"A2"_s), u"new"_s);
    ASSERT_EQ(run({u"-x"_s, path(u"dictionary.xlsx"_s), u"--match-case"_s, u"--ignore-case"_s, book}), cli::ExitOk);
    EXPECT_EQ(cell(0, u"A1"_s), u"new"_s);
    EXPECT_EQ(cell(1, u"A2"_s), u"new"_s);
}

TEST_F(ExcelScopeCli, AWorkbookThatCannotBeProcessedGivesExitStatusOne)
{
    varnel::test::writeFile(path(u"broken.xlsx"_s), "not a zip");
    EXPECT_EQ(run({u"-x"_s, path(u"dictionary.xlsx"_s), path(u"broken.xlsx"_s), path(u"book.xlsx"_s)}), cli::ExitFailures);
    EXPECT_TRUE(err.contains(path(u"broken.xlsx"_s))) << err.toStdString();
    EXPECT_TRUE(out.contains(u"1 个未能处理"_s)) << out.toStdString();
    EXPECT_EQ(cell(0, u"A2"_s), u"new"_s);
}

TEST_F(ExcelScopeCli, BadArgumentsAndScopesChangeNothing)
{
    const QByteArray before = readFile(path(u"book.xlsx"_s));
    const QString dictionary = path(u"dictionary.xlsx"_s);
    const QString book = path(u"book.xlsx"_s);
    const QList<QStringList> cases = {
        {book},
        {u"-x"_s},
        {u"-x"_s, dictionary},
        {u"-x"_s, dictionary, path(u"missing.xlsx"_s)},
        {u"-x"_s, dictionary, u"--rows"_s, u"2"_s, book},
        {u"-x"_s, dictionary, u"--rows"_s, u"2-"_s, book},
        {u"-x"_s, dictionary, u"--rows"_s, u"1-2-3"_s, book},
        {u"-x"_s, dictionary, u"--columns"_s, u"C"_s, book},
        {u"-x"_s, dictionary, u"--sheet"_s, u"first"_s, book},
        {u"-x"_s, dictionary, u"--sheet"_s, u"eq:"_s, book},
        {u"-x"_s, dictionary, u"--sheet"_s, u"contains:  "_s, book},
        {u"-x"_s, dictionary, u"--whole-word"_s, book},
        // Refused by the run itself, before any workbook is opened.
        {u"-x"_s, dictionary, u"--rows"_s, u"0-5"_s, book},
        {u"-x"_s, dictionary, u"--columns"_s, u"A-XFE"_s, book},
        {u"-x"_s, path(u"missing.xlsx"_s), book},
    };
    for (const QStringList& args : cases) {
        EXPECT_EQ(run(args), cli::ExitUsage) << args.join(u' ').toStdString();
        EXPECT_FALSE(err.isEmpty()) << args.join(u' ').toStdString();
    }
    EXPECT_EQ(readFile(book), before);
}
