// The scoped Excel run: which cells, worksheets, names and header texts change, and in which order the
// definitions apply.

#include "ExcelScopeFixture.h"

using namespace Qt::Literals::StringLiterals;
using varnel::excelscope::ExcelScopeSummary;
using varnel::excelscope::SheetCondition;
using varnel::test::inlineRow;
using varnel::test::MiniWorkbook;
using varnel::test::readFile;

namespace {

class ExcelScopeRunTest : public varnel::test::ExcelScopeFixture
{
};

struct AreaCase {
    const char* name;
    bool rows;
    QString firstRow, lastRow;
    bool columns;
    QString firstColumn, lastColumn;
    QStringList replaced; // of A1 B2 C2 E100 F50 C1 D101 Z50 A101, the cells that change
    friend void PrintTo(const AreaCase& c, std::ostream* os) { *os << c.name; }
};

class ExcelScopeAreaTest : public varnel::test::ExcelScopeFixture, public ::testing::WithParamInterface<AreaCase>
{
};

const QStringList kAreaCells = {u"A1"_s, u"B2"_s, u"C2"_s, u"E100"_s, u"F50"_s, u"C1"_s, u"D101"_s, u"Z50"_s, u"A101"_s};

} // namespace

TEST_P(ExcelScopeAreaTest, OnlyCellsOfTheRowsAndColumnsChange)
{
    const AreaCase& c = GetParam();
    m_options.rowScope = c.rows;
    m_options.firstRow = c.firstRow;
    m_options.lastRow = c.lastRow;
    m_options.columnScope = c.columns;
    m_options.firstColumn = c.firstColumn;
    m_options.lastColumn = c.lastColumn;
    QByteArray data;
    // Rows in ascending order, each with its cells in column order.
    const QList<std::pair<int, QByteArray>> rows = {{1, "<c r=\"A1\" t=\"inlineStr\"><is><t>old</t></is></c><c r=\"C1\" t=\"inlineStr\"><is><t>old</t></is></c>"},
                                                    {2, "<c r=\"B2\" t=\"inlineStr\"><is><t>old</t></is></c><c r=\"C2\" t=\"inlineStr\"><is><t>old</t></is></c>"},
                                                    {50, "<c r=\"F50\" t=\"inlineStr\"><is><t>old</t></is></c><c r=\"Z50\" t=\"inlineStr\"><is><t>old</t></is></c>"},
                                                    {100, "<c r=\"E100\" t=\"inlineStr\"><is><t>old</t></is></c>"},
                                                    {101, "<c r=\"A101\" t=\"inlineStr\"><is><t>old</t></is></c><c r=\"D101\" t=\"inlineStr\"><is><t>old</t></is></c>"}};
    for (const auto& [row, cells] : rows)
        data += "<row r=\"" + QByteArray::number(row) + "\">" + cells + "</row>";
    MiniWorkbook book;
    book.sheets = {data};
    const QString path = workbook(book);

    const ExcelScopeSummary summary = run({{u"old"_s, u"new"_s}}, {path});
    EXPECT_EQ(summary.changed, 1);
    for (const QString& reference : kAreaCells) {
        const QString expected = c.replaced.contains(reference) ? u"new"_s : u"old"_s;
        EXPECT_EQ(cell(path, 0, reference), expected) << reference.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scopes, ExcelScopeAreaTest,
    ::testing::Values(AreaCase{"Rows2To100", true, u"2"_s, u"100"_s, false, {}, {}, {u"B2"_s, u"C2"_s, u"E100"_s, u"F50"_s, u"Z50"_s}},
                      AreaCase{"C2ToE100", true, u"2"_s, u"100"_s, true, u"C"_s, u"E"_s, {u"C2"_s, u"E100"_s}},
                      AreaCase{"BackwardsAndLowerCase", true, u"100"_s, u"2"_s, true, u"e"_s, u"c"_s, {u"C2"_s, u"E100"_s}},
                      AreaCase{"ColumnsCToF", false, {}, {}, true, u"C"_s, u"F"_s, {u"C1"_s, u"C2"_s, u"E100"_s, u"F50"_s, u"D101"_s}},
                      AreaCase{"Everything", false, {}, {}, false, {}, {}, kAreaCells}),
    [](const ::testing::TestParamInfo<AreaCase>& param) { return std::string(param.param.name); });

TEST_F(ExcelScopeRunTest, AStringSharedByCellsInsideAndOutsideTheRowsChangesOnlyInside)
{
    m_options.rowScope = true;
    m_options.firstRow = u"2"_s;
    m_options.lastRow = u"100"_s;
    MiniWorkbook book;
    book.sharedStrings = "<si><t>old</t></si>";
    book.sheets = {"<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row><row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c></row>"};
    const QString path = workbook(book);

    run({{u"old"_s, u"new"_s}}, {path});
    EXPECT_EQ(cell(path, 0, u"A1"_s), u"old"_s);
    EXPECT_EQ(cell(path, 0, u"A2"_s), u"new"_s);
}

struct SheetCase {
    const char* name;
    SheetCondition condition;
    QString text;
    QList<int> changed; // of the sheets MyData, Sheet1, DATA (active: Sheet1)
    friend void PrintTo(const SheetCase& c, std::ostream* os) { *os << c.name; }
};

class ExcelScopeSheetTest : public varnel::test::ExcelScopeFixture, public ::testing::WithParamInterface<SheetCase>
{
};

TEST_P(ExcelScopeSheetTest, TheSheetConditionSelectsTheSheets)
{
    const SheetCase& c = GetParam();
    m_options.sheetScope = true;
    m_options.sheetCondition = c.condition;
    m_options.sheetText = c.text;
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {u"old"_s}), inlineRow(1, {u"old"_s}), inlineRow(1, {u"old"_s})};
    book.names = {u"MyData"_s, u"Sheet1"_s, u"DATA"_s};
    book.activeTab = 1;
    const QString path = workbook(book);

    run({{u"old"_s, u"new"_s}}, {path});
    for (int sheet = 0; sheet < 3; ++sheet)
        EXPECT_EQ(cell(path, sheet, u"A1"_s), c.changed.contains(sheet) ? u"new"_s : u"old"_s) << sheet;
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, ExcelScopeSheetTest,
    ::testing::Values(SheetCase{"ActiveOfThree", SheetCondition::Active, {}, {1}},
                      SheetCase{"ContainsIgnoresCase", SheetCondition::Contains, u"data"_s, {0, 2}},
                      SheetCase{"EqualsIgnoresCase", SheetCondition::Equals, u"data"_s, {2}},
                      SheetCase{"EqualsTakesSpacesAsTyped", SheetCondition::Equals, u"data "_s, {}},
                      SheetCase{"EqualsKeepsWidthsApart", SheetCondition::Equals, u"ｄａｔａ"_s, {}},
                      SheetCase{"NotEquals", SheetCondition::NotEquals, u"SHEET1"_s, {0, 2}},
                      SheetCase{"NotContains", SheetCondition::NotContains, u"Data"_s, {1}}),
    [](const ::testing::TestParamInfo<SheetCase>& param) { return std::string(param.param.name); });

struct SkipCase {
    const char* name;
    QString find, replace, text, expected; // the cell's text before and after, match case off
    friend void PrintTo(const SkipCase& c, std::ostream* os) { *os << c.name; }
};

class ExcelScopeSkipTest : public varnel::test::ExcelScopeFixture, public ::testing::WithParamInterface<SkipCase>
{
};

TEST_P(ExcelScopeSkipTest, DefinitionsAreSkippedOnlyWhenExactlyEqualOrTooLong)
{
    const SkipCase& c = GetParam();
    m_options.matchCase = false;
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {c.text})};
    const QString path = workbook(book);

    run({{c.find, c.replace}}, {path});
    EXPECT_EQ(cell(path, 0, u"A1"_s), c.expected);
}

// Taken as it stands, xyz -> xyz would write the lower case over XYZ with match case off.
INSTANTIATE_TEST_SUITE_P(
    Definitions, ExcelScopeSkipTest,
    ::testing::Values(SkipCase{"CaseOnlyChangeIsMade", u"abc"_s, u"Abc"_s, u"ABC"_s, u"Abc"_s},
                      SkipCase{"IdenticalIsSkipped", u"xyz"_s, u"xyz"_s, u"XYZ"_s, u"XYZ"_s},
                      SkipCase{"Find255IsMade", QString(255, u'a'), u"b"_s, QString(255, u'a'), u"b"_s},
                      SkipCase{"Find256IsSkipped", QString(256, u'a'), u"b"_s, QString(256, u'a'), QString(256, u'a')},
                      SkipCase{"Replace256IsSkipped", u"a"_s, QString(256, u'b'), u"a"_s, u"a"_s}),
    [](const ::testing::TestParamInfo<SkipCase>& param) { return std::string(param.param.name); });

TEST_F(ExcelScopeRunTest, ATildeIsLiteralInCellsAndHeadersButEscapedForSheetNames)
{
    m_options.sheetNames = true;
    m_options.pageHeaders = true;
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {u"a~b"_s, u"ab"_s})};
    book.names = {u"a~b"_s};
    book.tails = {"<headerFooter><oddHeader>&amp;La~b&amp;Rx</oddHeader><oddFooter>&amp;Ca~b</oddFooter></headerFooter>"};
    const QString path = workbook(book);

    run({{u"a~b"_s, u"X"_s}}, {path});
    EXPECT_EQ(cell(path, 0, u"A1"_s), u"X"_s);
    EXPECT_EQ(cell(path, 0, u"B1"_s), u"ab"_s);
    EXPECT_EQ(sheetNames(path), QStringList{u"a~b"_s});
    EXPECT_EQ(headers(path, 0), (QStringList{u"X"_s, {}, u"x"_s, {}, u"X"_s, {}}));
}

TEST_F(ExcelScopeRunTest, HeaderTextsAndSheetNamesFollowTheMatchCaseOption)
{
    m_options.sheetNames = true;
    m_options.pageHeaders = true;
    m_options.matchCase = false;
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {u"x"_s})};
    book.names = {u"OLD data"_s};
    book.tails = {"<headerFooter><oddHeader>&amp;COld title</oddHeader></headerFooter>"};
    const QString path = workbook(book);

    run({{u"old"_s, u"new"_s}}, {path});
    EXPECT_EQ(sheetNames(path), QStringList{u"new data"_s});
    EXPECT_EQ(headers(path, 0).value(1), u"new title"_s);
}

TEST_F(ExcelScopeRunTest, WithWildcardsOnSheetNamesTakeTheFindTextLiterally)
{
    m_options.sheetNames = true;
    m_options.wildcards = true;
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {u"old"_s})};
    book.names = {u"old"_s};
    const QString path = workbook(book);

    run({{u"o?d"_s, u"new"_s}}, {path});
    EXPECT_EQ(cell(path, 0, u"A1"_s), u"new"_s);
    EXPECT_EQ(sheetNames(path), QStringList{u"old"_s});
}

struct RenameCase {
    const char* name;
    QString replace; // of Alpha
    friend void PrintTo(const RenameCase& c, std::ostream* os) { *os << c.name; }
};

class ExcelScopeRenameTest : public varnel::test::ExcelScopeFixture, public ::testing::WithParamInterface<RenameCase>
{
};

TEST_P(ExcelScopeRenameTest, ARefusedNameIsReportedAndTheRunGoesOn)
{
    m_options.sheetNames = true;
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {u"x"_s}), inlineRow(1, {u"x"_s})};
    book.names = {u"Alpha"_s, u"Beta"_s};
    const QString path = workbook(book);

    const ExcelScopeSummary summary = run({{u"Alpha"_s, GetParam().replace}, {u"x"_s, u"y"_s}}, {path});
    EXPECT_EQ(summary.failed, 0);
    EXPECT_EQ(sheetNames(path), (QStringList{u"Alpha"_s, u"Beta"_s}));
    EXPECT_EQ(cell(path, 0, u"A1"_s), u"y"_s);
    EXPECT_EQ(cell(path, 1, u"A1"_s), u"y"_s);
    EXPECT_EQ(m_ui.notices, (QStringList{u"新名字“"_s + GetParam().replace + u"”已经被其它工作表使用，放弃修改工作表名。"_s,
                                         u"替换完毕！"_s}));
}

INSTANTIATE_TEST_SUITE_P(Names, ExcelScopeRenameTest,
                         ::testing::Values(RenameCase{"AnotherSheetsNameInOtherCase", u"beta"_s},
                                           RenameCase{"ACharacterExcelRefuses", u"A:B"_s},
                                           RenameCase{"LongerThan31Characters", QString(32, u'z')}),
                         [](const ::testing::TestParamInfo<RenameCase>& param) { return std::string(param.param.name); });

TEST_F(ExcelScopeRunTest, ASheetOfAWorkbookWithProtectedStructureKeepsItsNameAndTheRunSaysWhy)
{
    m_options.sheetNames = true;
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {u"x"_s})};
    book.names = {u"Alpha"_s};
    auto entries = book.entries();
    for (auto& [name, data] : entries) {
        if (name == "xl/workbook.xml")
            data.replace("<bookViews>", "<workbookProtection lockStructure=\"1\"/><bookViews>");
    }
    const QString path = m_dir.filePath(u"locked.xlsx"_s);
    varnel::test::writeZipEntries(path, entries);

    const ExcelScopeSummary summary = run({{u"Alpha"_s, u"Gamma"_s}, {u"x"_s, u"y"_s}}, {path});
    EXPECT_EQ(summary.failed, 0);
    EXPECT_EQ(sheetNames(path), QStringList{u"Alpha"_s});
    EXPECT_EQ(cell(path, 0, u"A1"_s), u"y"_s);
    EXPECT_EQ(m_ui.notices, (QStringList{u"工作簿的结构受保护，工作表“Alpha”不能改名为“Gamma”。"_s, u"替换完毕！"_s}));
}

TEST_F(ExcelScopeRunTest, DefinitionsApplyLongestFirstInTheExchangeOrder)
{
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {u"abc"_s, u"ab"_s, u"bcc"_s})};
    const QString path = workbook(book);

    // Lengths 1, 2, 2 apply as the second 2, the first 2, then the 1.
    run({{u"c"_s, u"Z"_s}, {u"ab"_s, u"c"_s}, {u"bc"_s, u"Q"_s}}, {path});
    EXPECT_EQ(cell(path, 0, u"A1"_s), u"aQ"_s);
    EXPECT_EQ(cell(path, 0, u"B1"_s), u"Z"_s);
    EXPECT_EQ(cell(path, 0, u"C1"_s), u"QZ"_s);
}

TEST_F(ExcelScopeRunTest, AWorkbookWithoutMatchesKeepsItsBytes)
{
    MiniWorkbook book;
    book.sheets = {inlineRow(1, {u"keep"_s})};
    const QString path = workbook(book);
    const QByteArray before = readFile(path);

    const ExcelScopeSummary summary = run({{u"old"_s, u"new"_s}}, {path});
    EXPECT_EQ(summary.files, 1);
    EXPECT_EQ(summary.changed, 0);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(m_ui.notices, QStringList{u"替换完毕！"_s});
    EXPECT_EQ(m_ui.progressTexts, (QStringList{u"正在处理第 1 个文件"_s, u"处理完毕！"_s}));
    EXPECT_EQ(m_counts, QList<int>{1});
    EXPECT_EQ(m_progress, QList<int>{1});
}

TEST_F(ExcelScopeRunTest, TheActiveSheetCountsChartSheetsInTheWorkbooksOrder)
{
    // 02_openpyxl.xlsx: 数据, the chart sheet 图表, the hidden 隐藏 and the active 定义 (activeTab 3).
    const QString path = m_dir.filePath(u"openpyxl.xlsx"_s);
    varnel::test::writeFile(path, readFile(varnel::test::dataPath(u"office/xlsx/02_openpyxl.xlsx"_s)));
    m_options.sheetScope = true;
    m_options.sheetCondition = SheetCondition::Active;

    run({{u"旧"_s, u"新旧"_s}, {u"文本"_s, u"正文"_s}, {u"hidden"_s, u"shown"_s}}, {path});
    EXPECT_EQ(cell(path, 3, u"A1"_s), u"新旧"_s);
    EXPECT_EQ(cell(path, 0, u"A1"_s), u"文本"_s);
    EXPECT_EQ(cell(path, 2, u"A1"_s), u"hidden"_s);
}
