#include "office/xlsx/ExcelCellEntry.h"

#include "support/QtPrinters.h"

#include <QDate>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using varnel::office::ExcelCellEntry;
using Kind = varnel::office::ExcelCellEntry::Kind;

TEST(ExcelCellEntry, EntersTypedTextAsExcelDoes)
{
    struct Case {
        QString typed;
        Kind kind;
        double number;
        QString text;
    };
    const Case cases[] = {
        {u"153"_s, Kind::Number, 153, {}},
        {u"-1.5e3"_s, Kind::Number, -1500, {}},
        {u" 1,234.5 "_s, Kind::Number, 1234.5, {}},
        {u"12.5%"_s, Kind::Number, 0.125, {}},
        {u".5"_s, Kind::Number, 0.5, {}},
        {u"007"_s, Kind::Number, 7, {}},
        {u"true"_s, Kind::Boolean, 1, {}},
        {u"FALSE"_s, Kind::Boolean, 0, {}},
        {u"=A1*2"_s, Kind::Formula, 0, u"A1*2"_s},
        {u"="_s, Kind::Text, 0, u"="_s},
        {u"2024/3/15"_s, Kind::Number, 45366, {}},
        {u"2024-3-15 12:00"_s, Kind::Number, 45366.5, {}},
        {u"1900/1/1"_s, Kind::Number, 1, {}},
        {u"1900/3/1"_s, Kind::Number, 61, {}},
        {u"6:00:00"_s, Kind::Number, 0.25, {}},
        {u"2024/2/30"_s, Kind::Text, 0, u"2024/2/30"_s},
        {u"2024/3-15"_s, Kind::Text, 0, u"2024/3-15"_s},
        {u"25:00"_s, Kind::Text, 0, u"25:00"_s},
        {u"1a3"_s, Kind::Text, 0, u"1a3"_s},
        {u"1,23"_s, Kind::Text, 0, u"1,23"_s},
        {u"."_s, Kind::Text, 0, u"."_s},
        {u"e5"_s, Kind::Text, 0, u"e5"_s},
        {u""_s, Kind::Text, 0, u""_s},
    };
    for (const Case& c : cases) {
        const ExcelCellEntry entry = ExcelCellEntry::enter(c.typed);
        EXPECT_EQ(entry.kind, c.kind) << c.typed.toStdString();
        EXPECT_DOUBLE_EQ(entry.number, c.number) << c.typed.toStdString();
        EXPECT_EQ(entry.text, c.text) << c.typed.toStdString();
    }
}

TEST(ExcelCellEntry, PicksTheNumberFormatOfWhatWasTyped)
{
    const int year = QDate::currentDate().year();
    const double march15 = double(QDate(1899, 12, 30).daysTo(QDate(year, 3, 15)));
    struct Case {
        QString typed;
        double number;
        int numberFormat;
    };
    const Case cases[] = {
        {u"153"_s, 153, 0},
        {u"1,234"_s, 1234, 3},
        {u"1,234.5"_s, 1234.5, 4},
        {u"1.5E3"_s, 1500, 11},
        {u"12%"_s, 0.12, 9},
        {u"12.5%"_s, 0.125, 10},
        {u"¥12"_s, 12, 5},
        {u"￥1,234.50"_s, 1234.5, 7},
        {u"-¥12"_s, -12, 5},
        {u"¥-12"_s, -12, 5},
        {u"2023/3/15"_s, 45000, 14},
        {u"2023-3-15"_s, 45000, 14},
        {u"2023/3/15 10:30"_s, 45000.4375, 22},
        {u"3/15"_s, march15, 58},
        {u"3-15"_s, march15, 58},
        {u"3月15日"_s, march15, 58},
        {u"2023年3月15日"_s, 45000, 31},
        {u"2023年3月"_s, 44986, 57},
        {u"10:30"_s, 0.4375, 20},
        {u"6:00:00"_s, 0.25, 21},
    };
    for (const Case& c : cases) {
        const ExcelCellEntry entry = ExcelCellEntry::enter(c.typed);
        EXPECT_EQ(entry.kind, Kind::Number) << c.typed.toStdString();
        EXPECT_DOUBLE_EQ(entry.number, c.number) << c.typed.toStdString();
        EXPECT_EQ(entry.numberFormat, c.numberFormat) << c.typed.toStdString();
    }
    for (const QString& typed : {u"13/15"_s, u"2/30"_s, u"3月"_s, u"2023年2月30日"_s, u"¥12%"_s, u"-¥-12"_s, u"+-12"_s, u"¥"_s, u"$12"_s}) {
        const ExcelCellEntry entry = ExcelCellEntry::enter(typed);
        EXPECT_EQ(entry.kind, Kind::Text) << typed.toStdString();
        EXPECT_EQ(entry.text, typed);
    }
}

TEST(ExcelCellEntry, DatesCountFromTheWorkbooksEpoch)
{
    EXPECT_DOUBLE_EQ(ExcelCellEntry::enter(u"1904/1/2"_s, false, true).number, 1);
    EXPECT_DOUBLE_EQ(ExcelCellEntry::enter(u"2024/3/15"_s, false, true).number, 45366 - 1462);
}

TEST(ExcelCellEntry, TextFormattedCellKeepsNumbersAndFormulasAsText)
{
    for (const QString& typed : {u"153"_s, u"=A1"_s, u"TRUE"_s}) {
        const ExcelCellEntry entry = ExcelCellEntry::enter(typed, true);
        EXPECT_EQ(entry.kind, Kind::Text);
        EXPECT_EQ(entry.text, typed);
    }
}

TEST(ExcelCellEntry, WritesNumbersInTheirShortestForm)
{
    EXPECT_EQ(ExcelCellEntry::numberText(153), u"153"_s);
    EXPECT_EQ(ExcelCellEntry::numberText(0.1), u"0.1"_s);
    EXPECT_EQ(ExcelCellEntry::numberText(-1500), u"-1500"_s);
}
