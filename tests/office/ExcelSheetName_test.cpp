#include "office/xlsx/ExcelSheetName.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using varnel::office::ExcelSheetName;

TEST(ExcelSheetName, RefusesWhatExcelRefuses)
{
    const QStringList others{u"Sheet1"_s, u"数据"_s};
    for (const QString& name : {u""_s, QString(32, u'x'), u"a:b"_s, u"a\\b"_s, u"a/b"_s, u"a?b"_s, u"a*b"_s, u"a[b"_s,
                                u"a]b"_s, u"'ab"_s, u"ab'"_s, u"history"_s, u"HISTORY"_s, u"sheet1"_s}) {
        EXPECT_FALSE(ExcelSheetName::refusal(name, others).isEmpty()) << name.toStdString();
    }
    for (const QString& name : {QString(31, u'x'), u"a'b"_s, u"Sheet 2"_s, u"新表"_s, u"History 2"_s})
        EXPECT_TRUE(ExcelSheetName::refusal(name, others).isEmpty()) << name.toStdString();
}

TEST(ExcelSheetName, QuotesNamesAsExcelWritesThem)
{
    EXPECT_EQ(ExcelSheetName::quoted(u"Sheet1"_s), u"Sheet1"_s);
    EXPECT_EQ(ExcelSheetName::quoted(u"数据"_s), u"数据"_s);
    EXPECT_EQ(ExcelSheetName::quoted(u"my_data.v2"_s), u"my_data.v2"_s);
    EXPECT_EQ(ExcelSheetName::quoted(u"Old Sheet"_s), u"'Old Sheet'"_s);
    EXPECT_EQ(ExcelSheetName::quoted(u"it's"_s), u"'it''s'"_s);
    EXPECT_EQ(ExcelSheetName::quoted(u"2024"_s), u"'2024'"_s);
    EXPECT_EQ(ExcelSheetName::quoted(u"AB12"_s), u"'AB12'"_s);
    EXPECT_EQ(ExcelSheetName::quoted(u"R1C1"_s), u"'R1C1'"_s);
    EXPECT_EQ(ExcelSheetName::quoted(u"a-b"_s), u"'a-b'"_s);
}

TEST(ExcelSheetName, RenamesEveryReferenceToTheSheetIncludingEitherEndOfA3DReference)
{
    struct Case {
        QString formula;
        QString oldName;
        QString newName;
        QString renamed;
    };
    const Case cases[] = {
        // Any letter case; not inside a string, another workbook's sheet or a longer name.
        {u"SUM('Old Sheet'!A1,'old sheet'!B2)"_s, u"Old Sheet"_s, u"New"_s, u"SUM(New!A1,New!B2)"_s},
        {u"\"'Old Sheet'!A1\"&'Old Sheet'!A1"_s, u"Old Sheet"_s, u"New"_s, u"\"'Old Sheet'!A1\"&New!A1"_s},
        {u"[1]'Old Sheet'!A1+'[2]Old Sheet'!A1"_s, u"Old Sheet"_s, u"New"_s, u"[1]'Old Sheet'!A1+'[2]Old Sheet'!A1"_s},
        {u"'Old Sheet 2'!A1"_s, u"Old Sheet"_s, u"New"_s, u"'Old Sheet 2'!A1"_s},
        {u"Data!A1+data!B1+Data2!C1"_s, u"Data"_s, u"My data"_s, u"'My data'!A1+'My data'!B1+Data2!C1"_s},
        {u"'Sheet1:Sheet3'!A1"_s, u"Sheet1"_s, u"First"_s, u"First:Sheet3!A1"_s},
        {u"Sheet1:Sheet3!A1:B2"_s, u"Sheet3"_s, u"Last"_s, u"Sheet1:Last!A1:B2"_s},
        {u"SUM(First:Last!B2)"_s, u"first"_s, u"1st"_s, u"SUM('1st:Last'!B2)"_s},
        {u"SUM(First:Last!B2)"_s, u"Last"_s, u"Last one"_s, u"SUM('First:Last one'!B2)"_s},
        {u"SUM('Sheet 1:Sheet3'!B2)"_s, u"Sheet 1"_s, u"Sheet1"_s, u"SUM(Sheet1:Sheet3!B2)"_s},
        {u"SUM('a:Old'!B2)"_s, u"Old"_s, u"it's"_s, u"SUM('a:it''s'!B2)"_s},
        {u"SUM(数据:'Old Sheet'!B2)"_s, u"数据"_s, u"Data1"_s, u"SUM('Data1:Old Sheet'!B2)"_s},
        {u"SUM(数据:'Old Sheet'!B2)"_s, u"Old Sheet"_s, u"新表"_s, u"SUM(数据:新表!B2)"_s},
        {u"SUM(First:Last!B2,Last!C1)"_s, u"Last"_s, u"End"_s, u"SUM(First:End!B2,End!C1)"_s},
        // Another workbook's sheets, a range on one sheet and a range ending on a sheet stay as they are.
        {u"[1]Sheet1:Sheet3!A1+'[1]Sheet1:Sheet3'!A1"_s, u"Sheet3"_s, u"X Y"_s, u"[1]Sheet1:Sheet3!A1+'[1]Sheet1:Sheet3'!A1"_s},
        {u"SUM(Sheet3!A1:B2)"_s, u"Sheet3"_s, u"X Y"_s, u"SUM('X Y'!A1:B2)"_s},
        {u"SUM(Data!A1:Sheet3!B2)"_s, u"Data"_s, u"My data"_s, u"SUM('My data'!A1:Sheet3!B2)"_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExcelSheetName::renameInFormula(c.formula, c.oldName, c.newName), c.renamed)
            << c.formula.toStdString() << " " << c.oldName.toStdString();
    }
}
