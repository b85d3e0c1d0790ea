// The Excel engine on real workbooks (tests/data/office/xlsx), each result read back from the saved file.

#include "XlsxFixture.h"

#include "support/MiniWorkbook.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineResult;
using varnel::Option;
using varnel::test::dataPath;
using varnel::test::readFile;

namespace {

class XlsxEngineTest : public varnel::test::XlsxFixture
{
protected:
    void SetUp() override
    {
        m_options.setValue(Option::MatchCase, 0);
        m_options.setValue(Option::XlsSheetName, 0);
    }

    // The number of cells that refer to the shared strings, and the number of items.
    static std::pair<int, int> sharedStringUse(const QString& path)
    {
        int cells = 0;
        for (const QString& sheet : {u"xl/worksheets/sheet1.xml"_s, u"xl/worksheets/sheet2.xml"_s})
            cells += int(part(path, sheet).count(QRegularExpression(u"<c [^>]*t=\"s\""_s)));
        return {cells, int(part(path, u"xl/sharedStrings.xml"_s).count(u"<si>"_s))};
    }
};

} // namespace

TEST_F(XlsxEngineTest, NumbersAndFormulasAreReplacedAsTheFormulaBarShowsThem)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    const EngineResult result = replace(path, {u"2"_s}, {u"5"_s});
    ASSERT_TRUE(result.changed) << result.error.toStdString();

    EXPECT_EQ(cell(path, 0, u"A2"_s), u"153"_s);
    EXPECT_EQ(cell(path, 0, u"A8"_s), u"15.5%"_s);
    EXPECT_EQ(cell(path, 0, u"A3"_s), u"=A5*5"_s);
    EXPECT_EQ(cell(path, 0, u"A11"_s), u"=SUM(A5,'Old Sheet'!B1)"_s);
    // The shared formula C2:C4: its first cell changed, the others keep what they computed.
    EXPECT_EQ(cell(path, 0, u"C2"_s), u"=A5*10"_s);
    EXPECT_EQ(cell(path, 0, u"C3"_s), u"=A3*10"_s);
    EXPECT_EQ(cell(path, 0, u"C4"_s), u"=A4*10"_s);
    EXPECT_EQ(cell(path, 0, u"E1"_s), u"=SUM(A5:A3*5)"_s);

    const QString sheet = part(path, u"xl/worksheets/sheet1.xml"_s);
    EXPECT_TRUE(sheet.contains(u"<c r=\"A2\" s=\"0\"><v>153</v></c>"_s)) << sheet.toStdString();
    EXPECT_FALSE(sheet.contains(u"t=\"shared\""_s));
    // The array formula keeps its range. Every formula of the changed sheet loses its cached value, which
    // may depend on a changed cell, and Excel is asked to calculate them all on opening.
    EXPECT_TRUE(sheet.contains(u"<f aca=\"false\" t=\"array\" ref=\"E1\">SUM(A5:A3*5)</f></c>"_s)) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(u"<f aca=\"false\">A5*5</f></c>"_s));
    EXPECT_TRUE(sheet.contains(u"<c r=\"C3\" s=\"0\"><f>A3*10</f></c>"_s)) << sheet.toStdString();
    EXPECT_EQ(part(path, u"xl/worksheets/sheet2.xml"_s), part(dataPath(u"office/xlsx/21_cells.xlsx"_s), u"xl/worksheets/sheet2.xml"_s));
    EXPECT_TRUE(part(path, u"xl/workbook.xml"_s).contains(u"fullCalcOnLoad=\"1\""_s));
}

TEST_F(XlsxEngineTest, TextThatBecomesANumberIsEnteredAsOne)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    m_options.setValue(Option::WholeCell, 1);
    ASSERT_TRUE(replace(path, {u"abc"_s, u"Plain"_s}, {u"0125"_s, u"=A2+1"_s}).changed);
    EXPECT_EQ(cell(path, 0, u"A4"_s), u"125"_s);
    EXPECT_EQ(cell(path, 0, u"B1"_s), u"=A2+1"_s);
    const QString sheet = part(path, u"xl/worksheets/sheet1.xml"_s);
    EXPECT_TRUE(sheet.contains(u"<c r=\"A4\" s=\"0\"><v>125</v></c>"_s)) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(u"<c r=\"B1\" s=\"2\"><f>A2+1</f></c>"_s)) << sheet.toStdString();
    const auto [cells, items] = sharedStringUse(path);
    EXPECT_TRUE(part(path, u"xl/sharedStrings.xml"_s).contains(u"count=\"%1\" uniqueCount=\"%2\""_s.arg(cells).arg(items)));
}

TEST_F(XlsxEngineTest, WholeCellChangesOnlyCellsThatAreTheFindTextAndNeverASharedItemInPlace)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    m_options.setValue(Option::WholeCell, 1);
    ASSERT_TRUE(replace(path, {u"shared text"_s, u"b"_s}, {u"Common"_s, u"X"_s}).changed);
    EXPECT_EQ(cell(path, 0, u"A14"_s), u"Common"_s);
    EXPECT_EQ(cell(path, 1, u"A2"_s), u"Shared text here"_s);
    EXPECT_EQ(cell(path, 0, u"A4"_s), u"abc"_s);
    // The item the replaced cell used is still there for any other cell.
    const QString strings = part(path, u"xl/sharedStrings.xml"_s);
    EXPECT_TRUE(strings.contains(u"<si><t xml:space=\"preserve\">Shared text</t></si>"_s));
    const auto [cells, items] = sharedStringUse(path);
    EXPECT_TRUE(strings.contains(u"count=\"%1\" uniqueCount=\"%2\""_s.arg(cells).arg(items))) << strings.toStdString();
}

TEST_F(XlsxEngineTest, SharedStringOnTwoSheetsChangesOnBoth)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    m_options.setValue(Option::WholeCell, 1);
    ASSERT_TRUE(replace(path, {u"Shared"_s}, {u"Common"_s}).changed);
    EXPECT_EQ(cell(path, 0, u"A9"_s), u"Common"_s);
    EXPECT_EQ(cell(path, 1, u"A1"_s), u"Common"_s);
    EXPECT_EQ(cell(path, 0, u"A14"_s), u"Shared text"_s);
    // One new item serves both cells.
    EXPECT_EQ(part(path, u"xl/sharedStrings.xml"_s).count(u">Common<"_s), 1);
}

TEST_F(XlsxEngineTest, WildcardsOnlyWhenTicked)
{
    struct Case {
        int wildcards;
        QString find;
        QStringList a4ToA7;
    };
    const Case cases[] = {
        {0, u"a*c"_s, {u"abc"_s, u"X"_s, u"a~c"_s, u"abbbc"_s}},
        {1, u"a*c"_s, {u"X"_s, u"X"_s, u"X"_s, u"X"_s}},
        {0, u"~"_s, {u"abc"_s, u"a*c"_s, u"aXc"_s, u"abbbc"_s}},
        {1, u"a?c"_s, {u"X"_s, u"X"_s, u"X"_s, u"abbbc"_s}},
        {2, u"a~*c"_s, {u"abc"_s, u"X"_s, u"a~c"_s, u"abbbc"_s}},
    };
    for (const Case& c : cases) {
        const QString path = copy(u"21_cells.xlsx"_s);
        m_options.setValue(Option::XlsWildcard, c.wildcards);
        ASSERT_TRUE(replace(path, {c.find}, {u"X"_s}).changed) << c.find.toStdString();
        QStringList texts;
        for (const QString& ref : {u"A4"_s, u"A5"_s, u"A6"_s, u"A7"_s})
            texts.append(cell(path, 0, ref));
        EXPECT_EQ(texts, c.a4ToA7) << c.find.toStdString() << " wildcards " << c.wildcards;
    }
}

TEST_F(XlsxEngineTest, RichTextIsMatchedAcrossRunsAndTakesTheFirstCharactersFormat)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    ASSERT_TRUE(replace(path, {u"公司"_s}, {u"企业"_s}).changed);
    EXPECT_EQ(cell(path, 0, u"A13"_s), u"旧企业名 keepB"_s);
    EXPECT_EQ(cell(path, 0, u"A1"_s), u"旧企业名 Hello"_s);
    EXPECT_EQ(cell(path, 0, u"D1"_s), u"inline 旧企业名"_s);
    const QString strings = part(path, u"xl/sharedStrings.xml"_s);
    EXPECT_TRUE(strings.contains(u"<si><r><rPr><b/></rPr><t xml:space=\"preserve\">旧企业</t></r><r><rPr><i/></rPr>"
                                 "<t xml:space=\"preserve\">名</t></r><r><rPr><u/></rPr>"
                                 "<t xml:space=\"preserve\"> keep_x0042_</t></r></si>"_s))
        << strings.toStdString();
    // The inline string stays inline.
    EXPECT_TRUE(part(path, u"xl/worksheets/sheet1.xml"_s).contains(u"t=\"inlineStr\"><is><t xml:space=\"preserve\">inline 旧企业名</t></is>"_s));
}

TEST_F(XlsxEngineTest, EscapedCharactersAreMatchedDecodedAndWrittenEscaped)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    ASSERT_TRUE(replace(path, {u"Ay\rz"_s}, {u"B\r_x0041_"_s}).changed);
    EXPECT_EQ(cell(path, 0, u"A12"_s), u"xB\r_x0041_"_s);
    EXPECT_TRUE(part(path, u"xl/sharedStrings.xml"_s).contains(u">xB_x000D__x005F_x0041_<"_s));
    // The original item keeps its escapes.
    EXPECT_TRUE(part(path, u"xl/sharedStrings.xml"_s).contains(u"<si><t>x_x0041_y_x000D_z</t></si>"_s));
}

TEST_F(XlsxEngineTest, EscapesInFormulaTextAreMatchedDecodedAndWrittenEscaped)
{
    struct Case {
        QString stored; // the formula as the sheet part holds it
        QString find;
        QString replace;
        QString reads;     // what Find sees once replaced
        QString rewritten; // as the sheet part holds it then
    };
    const Case cases[] = {
        {u"\"a_x005F_x0041_b\"&A2"_s, u"_x0041_"_s, u"-"_s, u"=\"a-b\"&A2"_s, u"\"a-b\"&amp;A2"_s},
        {u"\"b\"&A2"_s, u"\"b\""_s, u"\"_x0042_\""_s, u"=\"_x0042_\"&A2"_s, u"\"_x005F_x0042_\"&amp;A2"_s},
        {u"\"x_x000D_y\"&A2"_s, u"x\ry"_s, u"x\rz"_s, u"=\"x\rz\"&A2"_s, u"\"x_x000D_z\"&amp;A2"_s},
    };
    m_options.setValue(Option::WholeCell, 0);
    for (const Case& c : cases) {
        const QString path = copy(u"21_cells.xlsx"_s);
        addFormula(path, u"xl/worksheets/sheet1.xml"_s, u"G1"_s, c.stored);
        // A formula that is not replaced keeps its bytes, even an escape Excel would not write.
        addFormula(path, u"xl/worksheets/sheet1.xml"_s, u"H1"_s, u"\"_x0041_\"&A2"_s);
        const EngineResult result = replace(path, {c.find}, {c.replace});
        ASSERT_TRUE(result.changed) << c.stored.toStdString() << ": " << result.error.toStdString();
        EXPECT_EQ(cell(path, 0, u"G1"_s), c.reads) << c.stored.toStdString();
        const QString sheet = part(path, u"xl/worksheets/sheet1.xml"_s);
        EXPECT_TRUE(sheet.contains(u"<c r=\"G1\"><f>%1</f></c>"_s.arg(c.rewritten))) << sheet.toStdString();
        EXPECT_TRUE(sheet.contains(u"<c r=\"H1\"><f>\"_x0041_\"&amp;A2</f></c>"_s)) << sheet.toStdString();
    }
}

TEST_F(XlsxEngineTest, OnlyChangedPartsAreRewrittenAndMacrosKeepTheirBytes)
{
    const QString path = copy(u"22_macros.xlsm"_s);
    const QHash<QString, QByteArray> before = entries(path);
    ASSERT_TRUE(replace(path, {u"Plain"_s}, {u"Simple"_s}).changed);
    const QHash<QString, QByteArray> after = entries(path);
    EXPECT_EQ(before.keys().size(), after.keys().size());
    const QStringList rewritten{u"xl/worksheets/sheet1.xml"_s, u"xl/sharedStrings.xml"_s, u"xl/workbook.xml"_s};
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!rewritten.contains(it.key())) {
            EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString();
        }
    }
    EXPECT_EQ(cell(path, 0, u"B1"_s), u"Simple"_s);
}

TEST_F(XlsxEngineTest, WorkbookIsNotWrittenWhenNothingChanges)
{
    for (const QString& fixture : {u"20_openpyxl.xlsx"_s, u"21_cells.xlsx"_s}) {
        const QString path = copy(fixture);
        const QByteArray before = readFile(path);
        // Nothing matches, a definition the skip rule drops, and a find text of 256 characters.
        m_options.setValue(Option::MatchCase, 1);
        const EngineResult result = replace(path, {u"no such text"_s, u"abc"_s, QString(256, u'a')},
                                            {u"x"_s, u"abc"_s, u"b"_s});
        EXPECT_FALSE(result.changed) << fixture.toStdString();
        EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        EXPECT_EQ(readFile(path), before) << fixture.toStdString();
    }
}

TEST_F(XlsxEngineTest, InlineStringsOfOpenpyxlAreReplaced)
{
    const QString path = copy(u"20_openpyxl.xlsx"_s);
    ASSERT_TRUE(replace(path, {u"旧公司名"_s, u"123"_s}, {u"新公司"_s, u"abc"_s}).changed);
    EXPECT_EQ(cell(path, 0, u"A1"_s), u"新公司 Hello"_s);
    EXPECT_EQ(cell(path, 0, u"A2"_s), u"abc"_s);
    EXPECT_TRUE(part(path, u"xl/worksheets/sheet1.xml"_s).contains(u"<c r=\"A2\" t=\"inlineStr\"><is><t xml:space=\"preserve\">abc</t></is></c>"_s));
}

TEST_F(XlsxEngineTest, BadInputIsLoggedAndLeftByteIdentical)
{
    struct Case {
        QString fixture;
        QByteArray bytes; // when not a fixture
        QString error;
    };
    const Case cases[] = {
        {u"04_encrypted.xlsx"_s, {}, u"文档已加密"_s},
        {{}, "not a workbook at all", u"不是"_s},
        {{}, QByteArray("PK\x03\x04garbage", 12), u"损坏"_s},
    };
    for (const Case& c : cases) {
        QString path;
        if (c.fixture.isEmpty()) {
            path = m_dir.filePath(u"bad.xlsx"_s);
            varnel::test::writeFile(path, c.bytes);
        } else {
            path = copy(c.fixture);
        }
        const QByteArray before = readFile(path);
        const EngineResult result = replace(path, {u"a"_s}, {u"b"_s});
        EXPECT_FALSE(result.changed);
        EXPECT_TRUE(result.error.contains(c.error)) << result.error.toStdString();
        EXPECT_EQ(readFile(path), before);
    }
}

TEST_F(XlsxEngineTest, SharedStringOfATextCellAndAGeneralCellIsEnteredForEach)
{
    const QString path = copy(u"21_cells.xlsx"_s);
    // G1 uses the item of A4 ("abc") and is formatted as Text (@, number format 49).
    edit(path, {u"xl/styles.xml"_s, u"xl/worksheets/sheet1.xml"_s}, [](const std::vector<pugi::xml_node>& roots) {
        pugi::xml_node cellXfs = roots[0].child("cellXfs");
        const int textStyle = int(std::distance(cellXfs.children("xf").begin(), cellXfs.children("xf").end()));
        cellXfs.append_child("xf").append_attribute("numFmtId") = 49;
        pugi::xml_node g1 = roots[1].child("sheetData").child("row").append_child("c");
        g1.append_attribute("r") = "G1";
        g1.append_attribute("s") = textStyle;
        g1.append_attribute("t") = "s";
        g1.append_child("v").text().set(3);
    });
    m_options.setValue(Option::WholeCell, 1);
    ASSERT_TRUE(replace(path, {u"abc"_s}, {u"153"_s}).changed);
    const QString sheet = part(path, u"xl/worksheets/sheet1.xml"_s);
    EXPECT_TRUE(sheet.contains(u"<c r=\"A4\" s=\"0\"><v>153</v></c>"_s)) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QRegularExpression(u"<c r=\"G1\" s=\"\\d+\" t=\"s\">"_s))) << sheet.toStdString();
    EXPECT_EQ(cell(path, 0, u"G1"_s), u"153"_s);
}

TEST_F(XlsxEngineTest, DateStaysADateAndALogicalValueALogicalValue)
{
    // C2 is 2023/3/15 (45000) in a date format, A3 the logical TRUE.
    const QString path = copy(u"01_libreoffice.xlsx"_s);
    m_options.setValue(Option::WholeCell, 0);
    ASSERT_TRUE(replace(path, {u"2023/3"_s, u"TRUE"_s}, {u"2024/4"_s, u"false"_s}).changed);
    EXPECT_EQ(cell(path, 0, u"C2"_s), u"2024/4/15"_s);
    const QString sheet = part(path, u"xl/worksheets/sheet1.xml"_s);
    EXPECT_TRUE(sheet.contains(u"<c r=\"C2\" s=\"5\"><v>45397</v></c>"_s)) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(u"<c r=\"A3\" s=\"6\" t=\"b\"><v>0</v></c>"_s)) << sheet.toStdString();
}

TEST_F(XlsxEngineTest, SharedStringsAreReplacedWhereverTheMatcherFindsTheSearch)
{
    // Items that only folding, a wildcard, a tilde or the whole cell make match, each in a cell of row 40.
    const QStringList texts = {u"ＡＢＣ def"_s, u"Ａbc"_s, u"abc"_s, u"ABC"_s, u"axc"_s, u"a\u3000c"_s, u"a c"_s,
                               u"x~y"_s, u"ｱｲｳ"_s, u"アイウ"_s, u"Σ"_s, u"σ"_s, u"旧公司名"_s, u"名"_s, u"a*c"_s};
    const QString fresh = copy(u"21_cells.xlsx"_s, u"fresh.xlsx"_s);
    edit(fresh, {u"xl/sharedStrings.xml"_s, u"xl/worksheets/sheet1.xml"_s}, [&](const std::vector<pugi::xml_node>& roots) {
        pugi::xml_node strings = roots[0];
        const int first = int(std::distance(strings.children("si").begin(), strings.children("si").end()));
        pugi::xml_node row = roots[1].child("sheetData").append_child("row");
        row.append_attribute("r") = 40;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            strings.append_child("si").append_child("t").text().set(texts.at(i).toUtf8().constData());
            pugi::xml_node c = row.append_child("c");
            c.append_attribute("r") = (QChar(char16_t(u'A' + i)) + u"40"_s).toUtf8().constData();
            c.append_attribute("t") = "s";
            c.append_child("v").text().set(first + int(i));
        }
    });
    struct Case {
        const char16_t* find;
        int wildcards;
        int matchCase;
        int wholeCell;
    };
    const Case cases[] = {
        {u"abc", 0, 0, 0}, {u"abc", 0, 1, 0}, {u"ａｂｃ", 0, 0, 1}, {u"a c", 0, 0, 0}, {u"ｱｲｳ", 0, 0, 0},
        {u"σ", 0, 0, 0},   {u"a?c", 1, 0, 0}, {u"*名", 1, 0, 1},    {u"~", 1, 0, 0},   {u"a~*c", 1, 1, 0},
    };
    for (const Case& c : cases) {
        const QString find = QString::fromUtf16(c.find);
        const QString path = copy(u"21_cells.xlsx"_s);
        varnel::test::writeFile(path, readFile(fresh));
        m_options.setValue(Option::XlsWildcard, c.wildcards);
        m_options.setValue(Option::MatchCase, c.matchCase);
        m_options.setValue(Option::WholeCell, c.wholeCell);
        replace(path, {find}, {u"#"_s});
        const varnel::office::ExcelMatcher matcher(c.wildcards ? find : varnel::office::ExcelMatcher::escapeFind(find),
                                                   c.matchCase != 0, c.wholeCell != 0);
        int changed = 0;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QString expected = matcher.replaced(texts.at(i), u"#"_s);
            changed += expected != texts.at(i) ? 1 : 0;
            EXPECT_EQ(cell(path, 0, QChar(char16_t(u'A' + i)) + u"40"_s), expected)
                << find.toStdString() << " (wildcards " << c.wildcards << ", match case " << c.matchCase
                << ", whole cell " << c.wholeCell << ") in " << texts.at(i).toStdString();
        }
        EXPECT_GT(changed, 0) << find.toStdString();
    }
}

TEST_F(XlsxEngineTest, CellsAreFoundByEveryFormOfTheirReference)
{
    using varnel::test::cell;
    varnel::test::MiniWorkbook book;
    // Leading zeros make a valid reference longer than any short form; a reference that is none (not ASCII,
    // or empty) puts the cell after the one before it.
    const auto text = [](const char* t) { return "<is><t>" + QByteArray(t) + "</t></is>"; };
    const QByteArray inlineString = "t=\"inlineStr\"";
    book.sheets = {"<row r=\"3\">" + cell("A3", text("a"), inlineString) + cell("$C$3", text("c"), inlineString)
                   + cell("E0000000000003", text("e"), inlineString)
                   + cell("G0000000000000000003", text("g"), inlineString)
                   + cell("\xC3\x89" "3", text("h"), inlineString) + cell("", text("i"), inlineString)
                   + cell("k3", text("k"), inlineString) + "</row>"};
    const QString path = m_dir.filePath(u"references.xlsx"_s);
    book.write(path);
    QStringList texts;
    for (char16_t column = u'A'; column <= u'K'; ++column)
        texts.append(XlsxEngineTest::cell(path, 0, QChar(column) + u"3"_s));
    EXPECT_EQ(texts, QStringList({u"a"_s, u""_s, u"c"_s, u""_s, u"e"_s, u""_s, u"g"_s, u"h"_s, u"i"_s, u""_s, u"k"_s}));
}
