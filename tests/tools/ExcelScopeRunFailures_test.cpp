// The scoped Excel run where something is wrong: a scope Excel would refuse, a dictionary without
// definitions, workbooks that cannot be processed. Each leaves the files as they were and says so.

#include "ExcelScopeFixture.h"

#include "support/FullDiskIo.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;
using varnel::excelscope::ExcelScopeSummary;
using varnel::test::inlineRow;
using varnel::test::MiniWorkbook;
using varnel::test::readFile;

namespace {

class ExcelScopeFailuresTest : public varnel::test::ExcelScopeFixture
{
protected:
    QString oldWorkbook(const QString& name = u"target.xlsx"_s)
    {
        MiniWorkbook book;
        book.sheets = {inlineRow(1, {u"old"_s}) + inlineRow(2, {u"old"_s})};
        return workbook(book, name);
    }
};

struct BadScope {
    const char* name;
    QString firstRow, lastRow;   // empty: no row scope
    QString firstColumn, lastColumn; // empty: no column scope
    QString shown;               // in the message
    friend void PrintTo(const BadScope& c, std::ostream* os) { *os << c.name; }
};

class ExcelScopeBadScopeTest : public varnel::test::ExcelScopeFixture, public ::testing::WithParamInterface<BadScope>
{
};

} // namespace

TEST_P(ExcelScopeBadScopeTest, AScopeExcelWouldRefuseStopsTheRunBeforeAnyWorkbookIsOpened)
{
    const BadScope& c = GetParam();
    m_options.rowScope = !c.firstRow.isEmpty();
    m_options.firstRow = c.firstRow;
    m_options.lastRow = c.lastRow;
    m_options.columnScope = !c.firstColumn.isEmpty();
    m_options.firstColumn = c.firstColumn;
    m_options.lastColumn = c.lastColumn;
    MiniWorkbook book;
    book.sheets = {inlineRow(2, {u"old"_s})};
    const QString path = workbook(book);
    const QByteArray before = readFile(path);

    const ExcelScopeSummary summary = run({{u"old"_s, u"new"_s}}, {path});
    EXPECT_EQ(summary.definitions, 0);
    EXPECT_EQ(summary.files, 0);
    EXPECT_TRUE(m_counts.isEmpty()) << "the dictionary is not read";
    ASSERT_EQ(m_ui.notices.size(), 1);
    EXPECT_TRUE(m_ui.notices[0].contains(c.shown)) << m_ui.notices[0].toStdString();
    EXPECT_EQ(readFile(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Scopes, ExcelScopeBadScopeTest,
    ::testing::Values(BadScope{"RowZero", u"0"_s, u"5"_s, {}, {}, u"“0-5”"_s},
                      BadScope{"RowPastTheSheet", u"2"_s, u"1048577"_s, {}, {}, u"“2-1048577”"_s},
                      BadScope{"RowNotANumber", u"2a"_s, u"9"_s, {}, {}, u"“2a-9”"_s},
                      BadScope{"RowWithSpaces", u" 2"_s, u"9"_s, {}, {}, u"“ 2-9”"_s},
                      BadScope{"ColumnPastXFD", {}, {}, u"C"_s, u"XFE"_s, u"“C-XFE”"_s},
                      BadScope{"ColumnNotLetters", u"2"_s, u"9"_s, u"C1"_s, u"E"_s, u"“C1-E”"_s}),
    [](const ::testing::TestParamInfo<BadScope>& param) { return std::string(param.param.name); });

TEST_F(ExcelScopeFailuresTest, TheLastRowAndColumnOfTheSheetAreAccepted)
{
    m_options.rowScope = true;
    m_options.firstRow = u"1"_s;
    m_options.lastRow = u"1048576"_s;
    m_options.columnScope = true;
    m_options.firstColumn = u"A"_s;
    m_options.lastColumn = u"XFD"_s;
    const QString path = oldWorkbook();

    EXPECT_EQ(run({{u"old"_s, u"new"_s}}, {path}).changed, 1);
    EXPECT_EQ(cell(path, 0, u"A2"_s), u"new"_s);
}

TEST_F(ExcelScopeFailuresTest, ADictionaryWithoutDefinitionsEndsTheRunWithItsMessage)
{
    const QString path = oldWorkbook();
    const QByteArray before = readFile(path);

    const ExcelScopeSummary summary = run({}, {path});
    EXPECT_EQ(summary.definitions, 0);
    EXPECT_EQ(summary.files, 0);
    EXPECT_EQ(m_counts, QList<int>{0});
    EXPECT_EQ(m_ui.notices, QStringList{u"替换定义Excel工作簿：“"_s + m_dir.filePath(u"dictionary.xlsx"_s)
                                         + u"”内容为空，请检查替换定义工作簿！"_s});
    EXPECT_TRUE(m_ui.progressTexts.isEmpty());
    EXPECT_EQ(readFile(path), before);
}

TEST_F(ExcelScopeFailuresTest, ADictionaryThatCannotBeReadEndsTheRunWithTheReason)
{
    const QString path = oldWorkbook();
    const QByteArray before = readFile(path);
    const QString encrypted = m_dir.filePath(u"encrypted.xlsx"_s);
    varnel::test::writeFile(encrypted, readFile(varnel::test::dataPath(u"office/xlsx/04_encrypted.xlsx"_s)));

    varnel::excelscope::ExcelScopeRun scoped(m_options, m_ui);
    const ExcelScopeSummary summary = scoped.run(encrypted, {path});
    EXPECT_EQ(summary.definitions, 0);
    EXPECT_EQ(summary.files, 0);
    ASSERT_EQ(m_ui.notices.size(), 1);
    EXPECT_TRUE(m_ui.notices[0].contains(encrypted)) << m_ui.notices[0].toStdString();
    EXPECT_TRUE(m_ui.notices[0].contains(u"加密"_s)) << m_ui.notices[0].toStdString();
    EXPECT_EQ(readFile(path), before);
}

TEST_F(ExcelScopeFailuresTest, AWorkbookThatCannotBeProcessedIsNamedLeftAsItWasAndTheRunGoesOn)
{
    const QString missing = m_dir.filePath(u"missing.xlsx"_s);
    const QString broken = m_dir.filePath(u"broken.xlsx"_s);
    varnel::test::writeFile(broken, "not a zip");
    MiniWorkbook protectedBook;
    protectedBook.sheets = {inlineRow(1, {u"old"_s})};
    protectedBook.tails = {"<sheetProtection sheet=\"1\"/>"};
    const QString locked = workbook(protectedBook, u"locked.xlsx"_s);
    const QByteArray lockedBefore = readFile(locked);
    const QString encrypted = m_dir.filePath(u"encrypted.xlsx"_s);
    const QByteArray encryptedBytes = readFile(varnel::test::dataPath(u"office/xlsx/04_encrypted.xlsx"_s));
    varnel::test::writeFile(encrypted, encryptedBytes);
    const QString good = oldWorkbook(u"good.xlsx"_s);

    const QStringList failing{missing, broken, locked, encrypted};
    const ExcelScopeSummary summary = run({{u"old"_s, u"new"_s}}, failing + QStringList{good});
    EXPECT_EQ(summary.files, 5);
    EXPECT_EQ(summary.failed, 4);
    EXPECT_EQ(summary.changed, 1);
    EXPECT_EQ(cell(good, 0, u"A1"_s), u"new"_s);
    EXPECT_EQ(readFile(broken), "not a zip");
    EXPECT_EQ(readFile(locked), lockedBefore);
    EXPECT_EQ(readFile(encrypted), encryptedBytes);
    ASSERT_EQ(m_ui.notices.size(), 5);
    for (int i = 0; i < failing.size(); ++i)
        EXPECT_TRUE(m_ui.notices[i].contains(u"“"_s + failing[i] + u"”"_s)) << m_ui.notices[i].toStdString();
    EXPECT_TRUE(m_ui.notices[2].contains(u"受保护"_s)) << m_ui.notices[2].toStdString();
    EXPECT_EQ(m_ui.notices[4], u"替换完毕！"_s);
    EXPECT_EQ(m_progress, (QList<int>{1, 2, 3, 4, 5}));
}

TEST_F(ExcelScopeFailuresTest, AFailedSaveIsReportedAndLeavesTheWorkbookAsItWas)
{
    const QString path = oldWorkbook();
    const QByteArray before = readFile(path);
    ExcelScopeSummary summary;
    {
        const varnel::test::FullDiskIo full;
        const varnel::ScopedFileIo guard(full);
        summary = run({{u"old"_s, u"new"_s}}, {path});
    }
    EXPECT_EQ(summary.failed, 1);
    EXPECT_EQ(summary.changed, 0);
    EXPECT_EQ(readFile(path), before);
    ASSERT_FALSE(m_ui.notices.isEmpty());
    EXPECT_TRUE(m_ui.notices[0].contains(u"磁盘已满"_s)) << m_ui.notices[0].toStdString();
}
