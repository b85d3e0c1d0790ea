#include "office/xlsx/Workbook.h"
#include "office/xlsx/WorksheetCells.h"

#include "support/MiniWorkbook.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnel::office;
using varnel::test::dataPath;

namespace {

struct Expected {
    int row;
    int column;
    const char* displayed;
    const char* formulaBar;
};

std::unique_ptr<Workbook> openFixture(const char* name)
{
    QString error;
    auto book = Workbook::open(dataPath(QStringLiteral("office/xlsx/") + QLatin1String(name)), &error);
    EXPECT_TRUE(book) << error.toStdString();
    return book;
}

WorksheetCells cellsOf(const Workbook& book, int sheet)
{
    WorksheetCells cells;
    QString error;
    EXPECT_TRUE(book.loadCells(sheet, &cells, &error)) << error.toStdString();
    return cells;
}

void expectTexts(const Workbook& book, const WorksheetCells& cells, std::initializer_list<Expected> expected)
{
    for (const Expected& e : expected) {
        const ExcelCell* cell = cells.cell(e.row, e.column);
        ASSERT_NE(cell, nullptr) << "row " << e.row << " column " << e.column;
        EXPECT_EQ(book.displayedText(*cell), QString::fromUtf8(e.displayed)) << cell->reference.toStdString();
        EXPECT_EQ(book.formulaBarText(*cell), QString::fromUtf8(e.formulaBar)) << cell->reference.toStdString();
    }
}

QStringList headerTexts(const WorksheetCells& cells)
{
    const auto texts = cells.headerFooterTexts();
    return QStringList(texts.begin(), texts.end());
}

} // namespace

TEST(Workbook, ReadsCellsOfAWorkbookLibreOfficeWrote)
{
    const auto book = openFixture("01_libreoffice.xlsx");
    ASSERT_TRUE(book);
    ASSERT_EQ(book->sheets().size(), 2);
    EXPECT_EQ(book->sheets()[0].name, QStringLiteral("数据"));
    EXPECT_EQ(book->sheets()[0].partName, QStringLiteral("xl/worksheets/sheet1.xml"));
    EXPECT_EQ(book->sheets()[1].name, QStringLiteral("活动"));
    EXPECT_FALSE(book->date1904());

    const WorksheetCells cells = cellsOf(*book, 0);
    expectTexts(*book, cells,
                {
                    {1, 1, "旧公司名", "旧公司名"},
                    {1, 3, "1.00", "1"},
                    {2, 1, "¥12.00", "12"},
                    {2, 2, "12.5%", "12.5%"},
                    {2, 3, "2023/3/15", "2023/3/15"},
                    {3, 1, "TRUE", "TRUE"},
                    {3, 2, "2", "=C1*2"},
                    {3, 3, "旧公司名!", "=A1&\"!\""},
                });
    EXPECT_EQ(cells.cell(3, 3)->type, ExcelCell::Type::FormulaString);
    EXPECT_EQ(cells.lastValueRow(), 3);
    EXPECT_EQ(headerTexts(cells), QStringList({"左边", "中间", "右边", "", "页脚 旧公司名", ""}));
}

TEST(Workbook, ReadsSheetKindsActiveTabAnd1904DatesOfAnOpenpyxlWorkbook)
{
    const auto book = openFixture("02_openpyxl.xlsx");
    ASSERT_TRUE(book);
    ASSERT_EQ(book->sheets().size(), 4);
    EXPECT_EQ(book->sheets()[1].name, QStringLiteral("图表"));
    EXPECT_EQ(book->sheets()[1].kind, SheetInfo::Kind::ChartSheet);
    EXPECT_TRUE(book->sheets()[2].hidden);
    EXPECT_EQ(book->sheets()[3].kind, SheetInfo::Kind::Worksheet);
    // activeTab counts the chart sheet.
    EXPECT_EQ(book->activeSheet(), 3);
    EXPECT_TRUE(book->date1904());
    EXPECT_TRUE(cellsOf(*book, 1).cells().isEmpty());

    const WorksheetCells cells = cellsOf(*book, 0);
    expectTexts(*book, cells,
                {
                    {1, 1, "文本", "文本"},
                    {1, 2, "1,234.50", "1234.5"},
                    {1, 3, "12.5%", "12.5%"},
                    {2, 1, "TRUE", "TRUE"},
                    {2, 2, "FALSE", "FALSE"},
                    {2, 3, "#N/A", "#N/A"},
                    {3, 1, "2023/3/15", "2023/3/15"},
                    {3, 2, "", "=B1*2"},
                    {5, 1, "¥12.00", "12"},
                });
    EXPECT_EQ(cells.cell(1, 1)->type, ExcelCell::Type::InlineString);
    EXPECT_EQ(cells.lastValueRow(), 5);
    EXPECT_EQ(headerTexts(cells), QStringList({"左页眉", "中 && 页眉", "右页眉", "", "第 &P 页", ""}));
}

TEST(Workbook, ReadsEscapesRichTextSharedFormulasAndUnaddressedCells)
{
    const auto book = openFixture("03_edge_cases.xlsx");
    ASSERT_TRUE(book);
    ASSERT_EQ(book->sheets().size(), 2);
    EXPECT_EQ(book->sheets()[0].kind, SheetInfo::Kind::DialogSheet);
    EXPECT_EQ(book->sheets()[0].partName, QStringLiteral("xl/dialogsheets/sheet1.xml"));
    EXPECT_EQ(book->sheets()[1].name, QStringLiteral("a_x0041_b"));
    EXPECT_EQ(book->activeSheet(), 1);
    EXPECT_TRUE(cellsOf(*book, 0).cells().isEmpty());

    const WorksheetCells cells = cellsOf(*book, 1);
    expectTexts(*book, cells,
                {
                    {1, 1, "plain\rline", "plain\rline"},
                    {1, 2, "旧公司名 ", "旧公司名 "}, // two runs joined, the phonetic run left out
                    {1, 3, "_x0041_ stays", "_x0041_ stays"},
                    {2, 2, "2", "=A2*2+$A$1+SUM(A:A)"},
                    {2, 3, "4", "=B2*2+$A$1+SUM(B:B)"},
                    {4, 4, "0", "=C4*2+$A$1+SUM(C:C)"},
                    {5, 1, "无地址\t制表", "无地址\t制表"},
                    {5, 2, "2.500", "2.5"},
                    {5, 3, "2023/3/15", "2023/3/15"},
                    {7, 1, "x1", "=\"x\"&A2"},
                });
    EXPECT_EQ(cells.cell(5, 3)->type, ExcelCell::Type::Date);
    // A shared formula whose master is missing is marked, not guessed.
    EXPECT_TRUE(cells.cell(7, 2)->formulaUnresolved);
    EXPECT_TRUE(cells.cell(7, 2)->formula.isEmpty());
    // A styled cell without a value does not extend the used rows.
    EXPECT_NE(cells.cell(9, 1), nullptr);
    EXPECT_EQ(cells.lastValueRow(), 7);
    EXPECT_EQ(headerTexts(cells), QStringList({"左_x0041_", "中", "右", "", "只有中间", ""}));
}

TEST(Workbook, RefusesWhatIsNoReadableWorkbook)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.xlsx"));
    const QString text = dir.filePath(QStringLiteral("text.xlsx"));
    varnel::test::writeFile(text, "A1\t旧\n");
    const QString encrypted = dir.filePath(QStringLiteral("encrypted.xlsx"));
    QFile::copy(dataPath(QStringLiteral("office/xlsx/04_encrypted.xlsx")), encrypted);

    varnel::test::MiniWorkbook valid;
    valid.sheets = {varnel::test::inlineRow(1, {"旧", "新"})};
    auto broken = [&](const char* part, const QByteArray& xml) {
        auto entries = valid.entries();
        for (auto& entry : entries) {
            if (entry.first == part)
                entry.second = xml;
        }
        const QString path = dir.filePath(QString::fromLatin1(part).replace(u'/', u'_') + QStringLiteral(".xlsx"));
        varnel::test::writeZipEntries(path, entries);
        return path;
    };
    const QString badWorkbook = broken("xl/workbook.xml", "<workbook><sheets><sheet name=\"x\"</workbook>");
    const QString notAWorkbook = broken("xl/workbook.xml", "<document/>");
    const QString noSheetPart = broken("xl/_rels/workbook.xml.rels",
                                       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                                       "relationships\"/>");

    const struct {
        QString path;
        const char* reason;
    } cases[] = {
        {missing, "文件不存在"},
        {text, "不是"},
        {encrypted, "文档已加密"},
        {badWorkbook, "xl/workbook.xml"},
        {notAWorkbook, "不是Excel工作簿"},
        {noSheetPart, "工作表“Sheet1”找不到它的部件"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_EQ(Workbook::open(c.path, &error), nullptr) << c.path.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << error.toStdString();
    }

    // A worksheet part that is not well-formed is refused when its cells are read.
    const QString badSheet = broken("xl/worksheets/sheet1.xml", "<worksheet><sheetData><row></worksheet>");
    QString error;
    const auto book = Workbook::open(badSheet, &error);
    ASSERT_TRUE(book) << error.toStdString();
    WorksheetCells cells;
    EXPECT_FALSE(book->loadCells(0, &cells, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("xl/worksheets/sheet1.xml"))) << error.toStdString();
}

TEST(Workbook, LeavesOutRowsAndCellsOutsideTheGrid)
{
    QTemporaryDir dir;
    varnel::test::MiniWorkbook book;
    using varnel::test::cell;
    book.sheets = {"<row r=\"0\">" + cell("A1", "<v>1</v>") + "</row><row r=\"-3\"><c><v>2</v></c></row>"
                   + "<row r=\"2\">" + cell("XFD2", "<v>3</v>") + "<c><v>4</v></c></row>"
                   + "<row r=\"1048577\"><c><v>5</v></c></row>"};
    const QString path = dir.filePath(QStringLiteral("grid.xlsx"));
    book.write(path);
    QString error;
    const auto opened = Workbook::open(path, &error);
    ASSERT_TRUE(opened) << error.toStdString();
    const WorksheetCells cells = cellsOf(*opened, 0);
    ASSERT_EQ(cells.cells().size(), 1);
    EXPECT_EQ(cells.cells().first().reference, QStringLiteral("XFD2"));
    EXPECT_EQ(cells.lastValueRow(), 2);
}
