#include "definitions/DictionaryLoader.h"
#include "definitions/DictionaryWorkbook.h"

#include "office/legacy/LegacyConverter.h"
#include "support/MiniWorkbook.h"
#include "support/RecordingUi.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace varnel {
void PrintTo(const ReplacePair& pair, std::ostream* os); // in DefinitionFile_test.cpp
} // namespace varnel

using namespace varnel;
using varnel::test::dataPath;
using varnel::test::inlineRow;
using varnel::test::MiniWorkbook;

namespace {

QString fixture(const char* name)
{
    return dataPath(QStringLiteral("office/xlsx/") + QLatin1String(name));
}

ReplacePairs readPairs(const QString& path)
{
    QString error;
    const auto content = DictionaryWorkbook::read(path, &error);
    EXPECT_TRUE(content) << error.toStdString();
    return content ? content->pairs : ReplacePairs();
}

const ReplacePairs kDictionaryPairs = {
    {QStringLiteral("旧公司名"), QStringLiteral("新公司名")},
    {QStringLiteral("¥12.00"), QStringLiteral("十二")},   // displayed as its format shows it
    {QStringLiteral("12"), QStringLiteral("twelve")},     // a number with spaces around it is trimmed
    {QStringLiteral(" ab "), QStringLiteral("AB")},       // other text keeps its spaces
    {QStringLiteral("删除我"), QString()},                // no column B: replace by nothing
    {QStringLiteral("1.50"), QStringLiteral("TRUE")},
    {QStringLiteral("2023/3/15"), QStringLiteral("日期")},
};

class DictionaryWorkbookTest : public ::testing::Test
{
protected:
    QString write(const MiniWorkbook& book)
    {
        const QString path = m_dir.filePath(QStringLiteral("book%1.xlsx").arg(++m_count));
        book.write(path);
        return path;
    }

    QTemporaryDir m_dir;
    int m_count = 0;
};

} // namespace

TEST_F(DictionaryWorkbookTest, ReadsTheActiveSheetsColumnsAAndBAsDisplayed)
{
    EXPECT_EQ(readPairs(fixture("10_dictionary.xlsx")), kDictionaryPairs);
}

// Rows are read through the last row that holds a value: a sheet whose data starts in row 3 keeps its
// last two definitions (counting the used range's rows from row 1 would drop them).
TEST_F(DictionaryWorkbookTest, ReadsThroughTheLastUsedRowWhenDataStartsBelowRow1)
{
    const ReplacePairs pairs = readPairs(fixture("11_dictionary_below_row1.xlsx"));
    ASSERT_EQ(pairs.size(), 4);
    EXPECT_EQ(pairs.last(), (ReplacePair{QStringLiteral("旧6"), QStringLiteral("新6")}));
}

TEST_F(DictionaryWorkbookTest, StopsAfterMoreThan35RowsWithoutAFindText)
{
    // rows: the first row filled or not, then `empty` rows with only column B, then one filled row.
    const struct {
        bool firstFilled;
        int empty;
        int expected;
    } cases[] = {{true, 35, 2}, {true, 36, 1}, {false, 39, 0}, {false, 34, 1}};
    for (const auto& c : cases) {
        MiniWorkbook book;
        QByteArray rows = inlineRow(1, {c.firstFilled ? QStringLiteral("first") : QString(), QStringLiteral("b")});
        for (int r = 2; r <= c.empty + 1; ++r)
            rows += inlineRow(r, {QString(), QStringLiteral("only b")});
        rows += inlineRow(c.empty + 2, {QStringLiteral("last"), QStringLiteral("b")});
        book.sheets = {rows};
        EXPECT_EQ(readPairs(write(book)).size(), c.expected) << c.empty << " empty rows";
    }
}

TEST_F(DictionaryWorkbookTest, ReportsRowsLongerThan255CharactersAndKeepsThem)
{
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {QStringLiteral("short"), QString(255, u'b')})
                   + inlineRow(2, {QString(300, u'a'), QStringLiteral("x")})
                   + inlineRow(3, {QStringLiteral("x"), QString(256, u'b')})};
    QString error;
    const auto content = DictionaryWorkbook::read(write(book), &error);
    ASSERT_TRUE(content) << error.toStdString();
    EXPECT_EQ(content->pairs.size(), 3);
    EXPECT_EQ(content->longRows, QList<int>({2, 3}));
}

TEST_F(DictionaryWorkbookTest, TrimsOnlyTextsThatAreNumbers)
{
    const struct {
        const char* displayed;
        const char* taken;
    } cases[] = {
        {" 12 ", "12"},          {" ab ", " ab "},      {"1,234.50 ", "1,234.50"}, {" ¥12.00", "¥12.00"},
        {" -1.5E+3 ", "-1.5E+3"}, {" .5", ".5"},        {" 12% ", " 12% "},       {" E5 ", " E5 "},
        {"\t12", "\t12"},        {" 1 2 ", " 1 2 "},   {"   ", "   "},            {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DictionaryWorkbook::definitionText(QString::fromUtf8(c.displayed)), QString::fromUtf8(c.taken))
            << '"' << c.displayed << '"';
    }
}

TEST_F(DictionaryWorkbookTest, LoaderWarnsAboutLongRowsThenShowsTheCount)
{
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {QStringLiteral("旧"), QStringLiteral("新")})
                   + inlineRow(2, {QString(300, u'a'), QStringLiteral("x")})};
    const QString path = write(book);
    test::RecordingUi ui;
    QList<int> counts;
    const auto pairs = LoadDictionaryWorkbook(path, ui, [&](int n) { counts.append(n); });
    ASSERT_TRUE(pairs);
    EXPECT_EQ(pairs->size(), 2);
    EXPECT_EQ(counts, QList<int>({2}));
    EXPECT_EQ(ui.skippableNotices,
              QStringList({QStringLiteral("文件“") + path
                           + QStringLiteral("”第 2 行替换定义超过255字长，替换Word、Excel或Powerpoint文件时将被忽略。")}));
    EXPECT_TRUE(ui.notices.isEmpty());
    EXPECT_EQ(dictionaryCountText(2), QStringLiteral("替换定义：2 条"));
}

TEST_F(DictionaryWorkbookTest, LoaderSaysWhenTheWorkbookHoldsNoDefinition)
{
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {QString(), QStringLiteral("only b")})};
    const QString path = write(book);
    test::RecordingUi ui;
    QList<int> counts;
    const auto pairs = LoadDictionaryWorkbook(path, ui, [&](int n) { counts.append(n); });
    EXPECT_TRUE(!pairs || pairs->isEmpty());
    EXPECT_EQ(counts, QList<int>({0}));
    EXPECT_EQ(ui.notices, QStringList({QStringLiteral("替换定义Excel工作簿：“") + path
                                       + QStringLiteral("”内容为空，请检查替换定义工作簿！")}));
}

TEST_F(DictionaryWorkbookTest, LoaderRefusesAWorkbookItCannotReadWithItsReason)
{
    const QString text = m_dir.filePath(QStringLiteral("text.xlsx"));
    test::writeFile(text, "旧\t新\r\n");
    const QString truncated = m_dir.filePath(QStringLiteral("truncated.xlsx"));
    test::writeFile(truncated, test::readFile(fixture("10_dictionary.xlsx")).left(2000));
    const struct {
        QString path;
        const char* reason;
    } cases[] = {
        {m_dir.filePath(QStringLiteral("missing.xlsx")), "文件不存在"},
        {fixture("04_encrypted.xlsx"), "文档已加密"},
        {text, "不是"},
        {truncated, "已损坏"},
    };
    for (const auto& c : cases) {
        test::RecordingUi ui;
        bool counted = false;
        EXPECT_FALSE(LoadDictionaryWorkbook(c.path, ui, [&](int) { counted = true; })) << c.path.toStdString();
        EXPECT_FALSE(counted);
        ASSERT_EQ(ui.notices.size(), 1);
        EXPECT_TRUE(ui.notices[0].startsWith(QStringLiteral("无法读取替换定义Excel工作簿：“") + c.path + u'”'));
        EXPECT_TRUE(ui.notices[0].contains(QString::fromUtf8(c.reason))) << ui.notices[0].toStdString();
    }
}

TEST_F(DictionaryWorkbookTest, ReadsAnExcel97WorkbookThroughLibreOffice)
{
    if (office::LegacyConverter::sofficePath().isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    EXPECT_EQ(readPairs(fixture("12_dictionary.xls")), kDictionaryPairs);
}

TEST_F(DictionaryWorkbookTest, AnExcel97WorkbookWithoutLibreOfficeGetsAClearMessage)
{
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir.path()));
    QString error;
    const auto content = DictionaryWorkbook::read(fixture("12_dictionary.xls"), &error);
    qputenv("PATH", savedPath);
    EXPECT_FALSE(content);
    EXPECT_TRUE(error.contains(QStringLiteral("需要LibreOffice"))) << error.toStdString();
}
