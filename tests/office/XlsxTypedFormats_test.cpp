// A replaced cell whose new text Excel reads as a date, a time, a percentage or an amount: the value is
// stored as a number and a General cell takes the number format of what was typed.

#include "XlsxFixture.h"

#include "office/xlsx/WorkbookStyles.h"

#include <QDate>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineResult;
using varnel::Option;

namespace {

class XlsxTypedFormatsTest : public varnel::test::XlsxFixture
{
protected:
    void SetUp() override
    {
        m_options.setValue(Option::MatchCase, 0);
        m_options.setValue(Option::WholeCell, 1);
    }

    // The style index (s) of a cell of the first sheet, -1 when it has none.
    static int styleOf(const QString& path, const QString& reference)
    {
        const QRegularExpression cell(u"<c r=\"%1\"[^>]* s=\"(\\d+)\""_s.arg(reference));
        const QRegularExpressionMatch m = cell.match(part(path, u"xl/worksheets/sheet1.xml"_s));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }

    static int numberFormatOf(const QString& path, const QString& reference)
    {
        QString error;
        const auto package = varnel::office::OoxmlPackage::open(path, &error);
        varnel::office::WorkbookStyles styles;
        EXPECT_TRUE(package && styles.load(*package, u"xl/styles.xml"_s, &error)) << error.toStdString();
        return styles.numberFormatId(styleOf(path, reference));
    }

    static int cellFormatCount(const QString& path)
    {
        return int(part(path, u"xl/styles.xml"_s).count(QRegularExpression(u"<xf [^>]*xfId="_s)));
    }
};

} // namespace

TEST_F(XlsxTypedFormatsTest, GeneralCellTakesTheFormatOfWhatWasTyped)
{
    const int year = QDate::currentDate().year();
    const QString march15 = QString::number(QDate(1899, 12, 30).daysTo(QDate(year, 3, 15)));
    struct Case {
        QString typed;
        int numFmtId;
        QString value; // as stored (its beginning)
        QString reads; // what Find sees afterwards
    };
    const Case cases[] = {
        {u"2023/3/15"_s, 14, u"45000"_s, u"2023/3/15"_s},
        {u"2023-3-15"_s, 14, u"45000"_s, u"2023/3/15"_s},
        {u"2023/3/15 10:30"_s, 22, u"45000.4375"_s, u"2023/3/15 10:30:00"_s},
        {u"2023年3月15日"_s, 31, u"45000"_s, u"2023/3/15"_s},
        {u"2023年3月"_s, 57, u"44986"_s, u"2023/3/1"_s},
        {u"3/15"_s, 58, march15, u"%1/3/15"_s.arg(year)},
        {u"3月15日"_s, 58, march15, u"%1/3/15"_s.arg(year)},
        {u"10:30"_s, 20, u"0.4375"_s, u"10:30:00"_s},
        {u"10:30:15"_s, 21, u"0.4376736"_s, u"10:30:15"_s},
        {u"12%"_s, 9, u"0.12"_s, u"12%"_s},
        {u"12.5%"_s, 10, u"0.125"_s, u"12.5%"_s},
        {u"¥12"_s, 5, u"12"_s, u"12"_s},
        {u"-¥1,234.5"_s, 7, u"-1234.5"_s, u"-1234.5"_s},
        {u"1,234"_s, 3, u"1234"_s, u"1234"_s},
        {u"153"_s, 164, u"153"_s, u"153"_s}, // a plain number leaves the cell General
    };
    for (const Case& c : cases) {
        const QString path = copy(u"21_cells.xlsx"_s);
        const EngineResult result = replace(path, {u"abc"_s}, {c.typed});
        ASSERT_TRUE(result.changed) << c.typed.toStdString() << ": " << result.error.toStdString();
        EXPECT_EQ(numberFormatOf(path, u"A4"_s), c.numFmtId) << c.typed.toStdString();
        EXPECT_TRUE(part(path, u"xl/worksheets/sheet1.xml"_s).contains(QRegularExpression(u"<c r=\"A4\"[^>]*><v>%1"_s.arg(QRegularExpression::escape(c.value)))))
            << c.typed.toStdString();
        EXPECT_EQ(cell(path, 0, u"A4"_s), c.reads) << c.typed.toStdString();
    }
}

TEST_F(XlsxTypedFormatsTest, CellFormatsAreSharedAndAFormattedCellKeepsItsFormat)
{
    // A4 and A5 are General text, A10 (ＡＢＣ, which abc finds) General text in another font, A8 0.125 as
    // 0.0%.
    const QString path = copy(u"21_cells.xlsx"_s);
    const int before = cellFormatCount(path);
    ASSERT_TRUE(replace(path, {u"abc"_s, u"a*c"_s, u"12.5%"_s}, {u"2023/3/15"_s, u"2024-1-2"_s, u"2023/3/15"_s}).changed);
    EXPECT_EQ(cellFormatCount(path), before + 2);
    EXPECT_EQ(styleOf(path, u"A5"_s), styleOf(path, u"A4"_s));
    EXPECT_NE(styleOf(path, u"A10"_s), styleOf(path, u"A4"_s));
    EXPECT_EQ(numberFormatOf(path, u"A4"_s), 14);
    EXPECT_EQ(numberFormatOf(path, u"A10"_s), 14);
    EXPECT_EQ(styleOf(path, u"A8"_s), 3);
    EXPECT_EQ(cell(path, 0, u"A8"_s), u"4500000%"_s);
    // The copy keeps everything else of the cell's format.
    EXPECT_TRUE(part(path, u"xl/styles.xml"_s)
                    .contains(u"<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"false\" "
                              "applyBorder=\"false\" applyAlignment=\"false\" applyProtection=\"false\" applyNumberFormat=\"1\">"
                              "<alignment horizontal=\"general\""_s));

    // A later run finds the format it needs in the file.
    ASSERT_TRUE(replace(path, {u"a~c"_s}, {u"2025/6/7"_s}).changed);
    EXPECT_EQ(cellFormatCount(path), before + 2);
    EXPECT_EQ(styleOf(path, u"A6"_s), styleOf(path, u"A4"_s));
}
