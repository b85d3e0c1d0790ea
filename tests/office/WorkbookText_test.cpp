#include "office/xlsx/CellReference.h"
#include "office/xlsx/ExcelXString.h"
#include "office/xlsx/FormulaOffset.h"
#include "office/xlsx/SheetHeaderFooter.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace varnel::office;

TEST(ExcelXString, DecodesEscapesFromLeftToRight)
{
    const struct {
        const char* stored;
        const char* text;
    } cases[] = {
        {"a_x000D_b", "a\rb"},
        {"_x005F_x0041_", "_x0041_"}, // the escaped underscore, then plain text
        {"_x005f_", "_"},
        {"_x00zz_ and _x12_", "_x00zz_ and _x12_"},
        {"tail_x0041", "tail_x0041"},
        {"中_x4E2D_", "中中"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExcelXString::decode(QString::fromUtf8(c.stored)), QString::fromUtf8(c.text)) << c.stored;
}

TEST(ExcelXString, EncodesSoThatDecodingGivesTheTextBack)
{
    for (const QString& text : {QStringLiteral("_x0041_"), QStringLiteral("a\x01" "b\tc\r\n"), QStringLiteral("_x_"),
                                QStringLiteral("plain 中文")}) {
        EXPECT_EQ(ExcelXString::decode(ExcelXString::encode(text)), text);
    }
    EXPECT_EQ(ExcelXString::encode(QStringLiteral("a\x01")), QStringLiteral("a_x0001_"));
    EXPECT_EQ(ExcelXString::encode(QStringLiteral("_x0041_")), QStringLiteral("_x005F_x0041_"));
}

TEST(FormulaOffset, MovesRelativeReferencesOnly)
{
    const struct {
        const char* formula;
        int rows;
        int columns;
        const char* moved;
    } cases[] = {
        {"B1*2+$C$1+SUM(A:A)", 2, 1, "C3*2+$C$1+SUM(B:B)"},
        {"$A1+A$1", 1, 1, "$A2+B$1"},
        {"SUM(1:2)", 3, 0, "SUM(4:5)"},
        {"Sheet2!A1&\"A1\"&'My Sheet'!B2", 1, 0, "Sheet2!A2&\"A1\"&'My Sheet'!B3"},
        {"LOG10(A1)+Table1[[#This Row],[A1]]", 1, 0, "LOG10(A2)+Table1[[#This Row],[A1]]"},
        {"A1", -1, 0, "#REF!"},
        {"XFD1", 0, 1, "#REF!"},
        {"TRUE+1.5E+3", 4, 4, "TRUE+1.5E+3"},
        {"A2*10+$B$1+$C3+D$4", 2, 1, "B4*10+$B$1+$C5+E$4"},
        {"SUM(A:A,1:1,Sheet2!B2)", 1, 1, "SUM(B:B,2:2,Sheet2!C3)"},
        {"A1*1.5E3", 1, 0, "A2*1.5E3"}, // E3 is an exponent, not a cell
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormulaOffset::shift(QString::fromUtf8(c.formula), c.rows, c.columns), QString::fromUtf8(c.moved))
            << c.formula;
}

TEST(SheetHeaderFooter, SplitsSectionsAndKeepsOtherCodes)
{
    using Sections = std::array<QString, 3>;
    EXPECT_EQ(SheetHeaderFooter::split(QStringLiteral("&L左&C中&R右")), (Sections{"左", "中", "右"}));
    EXPECT_EQ(SheetHeaderFooter::split(QStringLiteral("无代码")), (Sections{"", "无代码", ""}));
    EXPECT_EQ(SheetHeaderFooter::split(QStringLiteral("&R&\"宋体,加粗\"&12右&&L")),
              (Sections{"", "", "&\"宋体,加粗\"&12右&&L"}));
    EXPECT_EQ(SheetHeaderFooter::split(QStringLiteral("&L左&C")), (Sections{"左", "", ""}));
    EXPECT_EQ(SheetHeaderFooter::join({"左", "", "右 &P"}), QStringLiteral("&L左&R右 &P"));
    const QString stored = QStringLiteral("&L左&C中&&&R右");
    EXPECT_EQ(SheetHeaderFooter::join(SheetHeaderFooter::split(stored)), stored);
}

TEST(CellReference, ParsesAndWritesA1Addresses)
{
    EXPECT_EQ(CellReference::parse(u"B3").row, 3);
    EXPECT_EQ(CellReference::parse(u"$AA$10").column, 27);
    EXPECT_EQ(CellReference::parse(u"XFD1048576").toString(), QStringLiteral("XFD1048576"));
    for (const char16_t* bad : {u"", u"A", u"3", u"A0", u"XFE1", u"A1048577", u"A1B", u"1A"})
        EXPECT_FALSE(CellReference::parse(bad).isValid()) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(CellReference::columnName(16384), QStringLiteral("XFD"));
    EXPECT_EQ(CellReference::columnName(26), QStringLiteral("Z"));
}
