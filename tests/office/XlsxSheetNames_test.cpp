// Worksheet names, page headers and footers, and the limits of a cell, in the Excel engine.

#include "XlsxFixture.h"

using namespace Qt::Literals::StringLiterals;
using varnel::EngineResult;
using varnel::Option;
using varnel::test::readFile;

namespace {

class XlsxSheetNamesTest : public varnel::test::XlsxFixture
{
protected:
    void SetUp() override
    {
        // Whole cell keeps the cells out of the way: no cell is just "Old".
        m_options.setValue(Option::MatchCase, 0);
        m_options.setValue(Option::WholeCell, 1);
        m_options.setValue(Option::XlsSheetName, 1);
    }
};

} // namespace

TEST_F(XlsxSheetNamesTest, RenamedSheetKeepsEveryReferenceToIt)
{
    struct Case {
        QString find;
        QString replace;
        QString name;
        QString reference; // as formulas write the new name
    };
    const Case cases[] = {
        {u"old"_s, u"New"_s, u"New Sheet"_s, u"'New Sheet'"_s},
        {u"Old Sheet"_s, u"新表"_s, u"新表"_s, u"新表"_s},
        {u"Old Sheet"_s, u"it's"_s, u"it's"_s, u"'it''s'"_s},
    };
    for (const Case& c : cases) {
        const QString path = copy(u"21_cells.xlsx"_s);
        const EngineResult result = replace(path, {c.find}, {c.replace});
        ASSERT_TRUE(result.changed) << result.error.toStdString();
        EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        EXPECT_EQ(sheetNames(path), QStringList({u"数据"_s, c.name}));
        EXPECT_EQ(cell(path, 0, u"A11"_s), u"=SUM(A2,%1!B1)"_s.arg(c.reference));
        const QString sheet = part(path, u"xl/worksheets/sheet1.xml"_s);
        const QString escaped = QString(c.reference).replace(u"'"_s, u"&apos;"_s);
        EXPECT_TRUE(sheet.contains(u"<formula1>%1!$A$1:$A$3</formula1>"_s.arg(c.reference))
                    || sheet.contains(u"<formula1>%1!$A$1:$A$3</formula1>"_s.arg(escaped)))
            << sheet.toStdString();
        EXPECT_TRUE(sheet.contains(u"<formula>%1!$B$1&gt;0</formula>"_s.arg(c.reference))) << sheet.toStdString();
        EXPECT_TRUE(part(path, u"xl/workbook.xml"_s).contains(u">%1!$B$1:$B$3</definedName>"_s.arg(c.reference)));
        EXPECT_TRUE(part(path, u"xl/charts/chart1.xml"_s).contains(u">%1!$B$1:$B$3</c:f>"_s.arg(c.reference)));
    }
}

TEST_F(XlsxSheetNamesTest, RenamedSheetAtEitherEndOfA3DReferenceKeepsIt)
{
    struct Case {
        QString find;
        QString replace;
        QString reference; // as formulas write both ends after the rename
    };
    const Case cases[] = {
        {u"Old Sheet"_s, u"新表"_s, u"数据:新表"_s},
        {u"Old Sheet"_s, u"2024"_s, u"'数据:2024'"_s},
        {u"数据"_s, u"Data 1"_s, u"'Data 1:Old Sheet'"_s},
        {u"数据"_s, u"it's"_s, u"'it''s:Old Sheet'"_s},
    };
    for (const Case& c : cases) {
        const QString path = copy(u"21_cells.xlsx"_s);
        addFormula(path, u"xl/worksheets/sheet1.xml"_s, u"G1"_s, u"SUM('数据:Old Sheet'!B1:B3)"_s);
        edit(path, {u"xl/workbook.xml"_s}, [](const std::vector<pugi::xml_node>& roots) {
            pugi::xml_node name = roots[0].child("definedNames").append_child("definedName");
            name.append_attribute("name") = "Both";
            name.text() = "'数据:Old Sheet'!$B$1";
        });
        const EngineResult result = replace(path, {c.find}, {c.replace});
        ASSERT_TRUE(result.changed) << result.error.toStdString();
        EXPECT_EQ(cell(path, 0, u"G1"_s), u"=SUM(%1!B1:B3)"_s.arg(c.reference));
        const QString workbook = part(path, u"xl/workbook.xml"_s);
        const QString escaped = QString(c.reference).replace(u"'"_s, u"&apos;"_s);
        EXPECT_TRUE(workbook.contains(u"\"Both\">%1!$B$1<"_s.arg(c.reference))
                    || workbook.contains(u"\"Both\">%1!$B$1<"_s.arg(escaped)))
            << workbook.toStdString();
    }
}

TEST_F(XlsxSheetNamesTest, NameExcelWouldRefuseIsKeptAndLogged)
{
    struct Case {
        QString find;
        QString replace;
        QString reason;
    };
    const Case cases[] = {
        {u"Old Sheet"_s, u"数据"_s, u"已有"_s},
        {u"Old Sheet"_s, u"HISTORY"_s, u"History"_s},
        {u"Old"_s, u"a/b"_s, u"不允许的字符"_s},
        {u"Old"_s, u"'Old"_s, u"单引号"_s},
        {u"Sheet"_s, QString(30, u'x'), u"31"_s},
        {u"Old Sheet"_s, u""_s, u"不能为空"_s},
    };
    for (const Case& c : cases) {
        const QString path = copy(u"21_cells.xlsx"_s);
        const QByteArray before = readFile(path);
        const EngineResult result = replace(path, {c.find}, {c.replace});
        EXPECT_FALSE(result.changed) << c.replace.toStdString();
        EXPECT_TRUE(result.error.contains(c.reason)) << result.error.toStdString();
        EXPECT_EQ(readFile(path), before) << c.replace.toStdString();
    }
}

TEST_F(XlsxSheetNamesTest, NamesAreLeftAloneWhenTheOptionIsClear)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    m_options.setValue(Option::XlsSheetName, 0);
    EXPECT_FALSE(replace(path, {u"Old"_s}, {u"New"_s}).changed);
    EXPECT_EQ(sheetNames(path), QStringList({u"数据"_s, u"Old Sheet"_s}));
}

TEST_F(XlsxSheetNamesTest, ChangingOnlyTheCaseOfANameIsNoDuplicate)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    m_options.setValue(Option::MatchCase, 1);
    ASSERT_TRUE(replace(path, {u"Sheet"_s}, {u"SHEET"_s}).changed);
    EXPECT_EQ(sheetNames(path), QStringList({u"数据"_s, u"Old SHEET"_s}));
}

TEST_F(XlsxSheetNamesTest, HeadersAndFootersArePlainTextWhenTicked)
{
    for (const int ticked : {0, 1, 2}) {
        const QString path = copy(u"21_cells.xlsx"_s);
        m_options.setValue(Option::XlsPageHeader, ticked);
        const EngineResult result = replace(path, {u"旧公司名"_s, u"&p"_s}, {u"新公司"_s, u"&N"_s});
        EXPECT_EQ(result.changed, ticked != 0);
        const QString sheet = part(path, u"xl/worksheets/sheet1.xml"_s);
        if (ticked) {
            EXPECT_TRUE(sheet.contains(u"<oddHeader>&amp;C新公司 报表</oddHeader>"_s)) << sheet.toStdString();
            EXPECT_TRUE(sheet.contains(u"<oddFooter>&amp;L第&amp;N页 新公司</oddFooter>"_s)) << sheet.toStdString();
            // The other sheet's empty header stays empty, and its part is not written again.
            EXPECT_TRUE(part(path, u"xl/worksheets/sheet2.xml"_s).contains(u"<oddHeader></oddHeader>"_s));
        } else {
            EXPECT_TRUE(sheet.contains(u"旧公司名 报表"_s));
        }
    }
}

TEST_F(XlsxSheetNamesTest, CellPastTheLengthLimitIsNotReplacedAndLogged)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    edit(path, {u"xl/sharedStrings.xml"_s}, [](const std::vector<pugi::xml_node>& roots) {
        const QString text = QString(32765, u'x') + u"abc"_s;
        roots[0]
            .find_child([](pugi::xml_node si) { return std::string(si.child("t").text().get()) == "abc"; })
            .child("t")
            .text()
            .set(text.toUtf8().constData());
    });
    const QByteArray before = readFile(path);
    m_options.setValue(Option::WholeCell, 0);
    const EngineResult result = replace(path, {u"abc"_s, u"bbb"_s}, {u"abcd"_s, u"B"_s});
    EXPECT_TRUE(result.changed);
    EXPECT_TRUE(result.error.contains(u"32767"_s)) << result.error.toStdString();
    EXPECT_EQ(cell(path, 0, u"A4"_s).size(), 32768);
    EXPECT_EQ(cell(path, 0, u"A7"_s), u"aBc"_s);
}

TEST_F(XlsxSheetNamesTest, FormulaReplacedByAValueLeavesTheCalculationChain)
{
    const QString path = copy(u"23_calc_chain.xlsx"_s);
    ASSERT_TRUE(replace(path, {u"=A2*2"_s}, {u"5"_s}).changed);
    EXPECT_EQ(cell(path, 0, u"A3"_s), u"5"_s);
    const QString chain = part(path, u"xl/calcChain.xml"_s);
    EXPECT_FALSE(chain.contains(u"\"A3\""_s)) << chain.toStdString();
    EXPECT_TRUE(chain.contains(u"<c r=\"C2\" i=\"1\"/>"_s)) << chain.toStdString();
}

TEST_F(XlsxSheetNamesTest, CalculationChainLeftWithoutCellsIsRemoved)
{
    // Every formula the chain lists (A3, the shared C2, A11, the array E1) becomes text.
    const QString path = copy(u"23_calc_chain.xlsx"_s);
    m_options.setValue(Option::WholeCell, 0);
    ASSERT_TRUE(replace(path, {u"="_s}, {u""_s}).changed);
    EXPECT_EQ(cell(path, 0, u"A3"_s), u"A2*2"_s);
    EXPECT_FALSE(entries(path).contains(u"xl/calcChain.xml"_s));
    EXPECT_FALSE(part(path, u"xl/_rels/workbook.xml.rels"_s).contains(u"calcChain"_s));
    EXPECT_FALSE(part(path, u"[Content_Types].xml"_s).contains(u"calcChain"_s));
    EXPECT_EQ(sheetNames(path), QStringList({u"数据"_s, u"Old Sheet"_s}));
}

TEST_F(XlsxSheetNamesTest, EscapedSheetNameIsReplacedAsItReads)
{
    // The sheet's stored name a_x005F_x0041_b reads a_x0041_b, and so does its name in a formula.
    const QString path = copy(u"03_edge_cases.xlsx"_s);
    edit(path, {u"xl/worksheets/sheet1.xml"_s}, [](const std::vector<pugi::xml_node>& roots) {
        roots[0].select_node("//*[@r='A7']").node().child("x:f").text() = "a_x005F_x0041_b!A2&\"x\"";
    });
    ASSERT_TRUE(replace(path, {u"_x0041_"_s}, {u"-"_s}).changed);
    EXPECT_EQ(sheetNames(path).value(1), u"a-b"_s);
    EXPECT_EQ(cell(path, 1, u"A7"_s), u"='a-b'!A2&\"x\""_s);
    const QString again = copy(u"03_edge_cases.xlsx"_s, u"again.xlsx"_s);
    ASSERT_TRUE(replace(again, {u"b"_s}, {u"_x0042_"_s}).changed);
    EXPECT_EQ(sheetNames(again).value(1), u"a_x0041__x0042_"_s);
    EXPECT_TRUE(part(again, u"xl/workbook.xml"_s).contains(u"name=\"a_x005F_x0041__x005F_x0042_\""_s));
}

TEST_F(XlsxSheetNamesTest, ProtectionKeepsLockedCellsAndSheetNames)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    // Sheet 1 protected, its B1 formatted as unlocked; the workbook's structure locked.
    edit(path, {u"xl/styles.xml"_s, u"xl/worksheets/sheet1.xml"_s, u"xl/workbook.xml"_s},
         [](const std::vector<pugi::xml_node>& roots) {
             pugi::xml_node cellXfs = roots[0].child("cellXfs");
             const int unlocked = int(std::distance(cellXfs.children("xf").begin(), cellXfs.children("xf").end()));
             cellXfs.append_child("xf").append_child("protection").append_attribute("locked") = 0;
             pugi::xml_node sheet = roots[1];
             sheet.insert_child_after("sheetProtection", sheet.child("sheetData")).append_attribute("sheet") = 1;
             sheet.child("sheetData").child("row").find_child_by_attribute("c", "r", "B1").attribute("s") = unlocked;
             roots[2].child("workbookProtection").append_attribute("lockStructure") = 1;
         });
    m_options.setValue(Option::WholeCell, 0);
    const EngineResult result = replace(path, {u"abc"_s, u"Plain"_s, u"here"_s, u"Old"_s}, {u"x"_s, u"Simple"_s, u"there"_s, u"New"_s});
    ASSERT_TRUE(result.changed);
    EXPECT_EQ(cell(path, 0, u"A4"_s), u"abc"_s);
    EXPECT_EQ(cell(path, 0, u"B1"_s), u"Simple"_s);
    EXPECT_EQ(cell(path, 1, u"A2"_s), u"Shared text there"_s);
    EXPECT_EQ(sheetNames(path), QStringList({u"数据"_s, u"Old Sheet"_s}));
    EXPECT_TRUE(result.error.contains(u"受保护"_s)) << result.error.toStdString();
}
