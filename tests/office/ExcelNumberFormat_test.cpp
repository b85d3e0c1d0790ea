#include "office/xlsx/ExcelNumberFormat.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using varnel::office::ExcelNumberFormat;

namespace {

struct Case {
    double value;
    const char* code;
    const char* shown;
};

void expectShown(std::initializer_list<Case> cases, bool date1904 = false)
{
    for (const Case& c : cases) {
        EXPECT_EQ(ExcelNumberFormat::display(c.value, QString::fromUtf8(c.code), date1904), QString::fromUtf8(c.shown))
            << "value " << c.value << " code " << c.code;
    }
}

} // namespace

TEST(ExcelNumberFormat, DigitPlaceholdersRoundAndPad)
{
    expectShown({
        {1, "0.00", "1.00"},
        {12, "\"¥\"#,##0.00", "¥12.00"},
        {2.675, "0.00", "2.68"}, // stored as 2.67499999..., rounded to 15 digits first
        {0.5, "0", "1"},
        {-0.4, "0", "-0"},
        {1234.5, "#", "1235"},
        {0.5, "#.##", ".5"},
        {0, "#", ""},
        {0, "#.00", ".00"},
        {12.5, ".00", "12.50"},
        {5, "000", "005"},
        {5, "0,000", "0,005"},
        {1.5, "?.??", "1.5 "},
        {7, "??0", "  7"},
        {3.14159, "0.0#", "3.14"},
        {3.1, "0.0#", "3.1"},
        {5551234, "000-0000", "555-1234"},
        {123456789, "#,##0", "123,456,789"},
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {999.999, "#,##0.00", "1,000.00"},
        {1, "0.", "1."},
    });
}

TEST(ExcelNumberFormat, TrailingCommasScaleByThousands)
{
    expectShown({
        {12345678, "#,##0,", "12,346"},
        {12345678, "0.0,,", "12.3"},
        {12345678, "#,##0,,\"M\"", "12M"},
        {1500, "0,\"K\"", "2K"},
    });
}

TEST(ExcelNumberFormat, PercentMultipliesByHundred)
{
    expectShown({
        {0.125, "0.0%", "12.5%"},
        {0.5, "0%", "50%"},
        {1.23456, "0.00%", "123.46%"},
        {-0.07, "0%", "-7%"},
    });
}

TEST(ExcelNumberFormat, ScientificFormsKeepTheirExponentDigits)
{
    expectShown({
        {12345, "0.00E+00", "1.23E+04"},
        {0.000123, "0.00E+00", "1.23E-04"},
        {0, "0.00E+00", "0.00E+00"},
        {9.999, "0.00E+00", "1.00E+01"},
        {12345, "0.0E-0", "1.2E4"},
        {0.0012, "0.0E-0", "1.2E-3"},
        {12345, "##0.0E+0", "12.3E+3"},
        {1234567, "##0.0E+0", "1.2E+6"},
        {1.23457E-13, "#0.0E+0", "12.3E-14"},
        {0.001234568, "#0.0E+0", "12.3E-4"},
    });
}

TEST(ExcelNumberFormat, LiteralsCurrencyAndSpacing)
{
    expectShown({
        {12, "[$¥-804]#,##0.00", "¥12.00"},
        {12, "[$$-409]#,##0.00", "$12.00"},
        {12, "[$-804]0", "12"},
        {-12, "\"¥\"#,##0.00", "-¥12.00"},
        {5, "0\" 元\"", "5 元"},
        {5, "\\$0", "$5"},
        {5, "0_)", "5 "},
        {5, "* #,##0", "5"},
        {5, "**0", "5"},
        {5, "(0)", "(5)"},
        {5, "0 \"件\";-0 \"件\"", "5 件"},
    });
}

TEST(ExcelNumberFormat, SectionsSplitBySignZeroAndCondition)
{
    expectShown({
        {-1234.5, "#,##0.00;[Red]-#,##0.00", "-1,234.50"},
        {1234.5, "#,##0.00;[Red]-#,##0.00", "1,234.50"},
        {-5, "0;(0)", "(5)"},
        {-0.001, "0.00;-0.00", "-0.00"},
        {0, "0;-0;\"zero\"", "zero"},
        {0.001, "0;-0;\"zero\"", "0"},
        {-5, "0;-0;\"zero\"", "-5"},
        {0, "0;-0;", ""},
        {5, ";;;", ""},
        {-5, "0;", ""},
        {150, "[>100]\"big\";[<0]\"neg\";0", "big"},
        {-3, "[>100]\"big\";[<0]\"neg\";0", "neg"},
        {50, "[>100]\"big\";[<0]\"neg\";0", "50"},
        {-5, "[Red][<=100]0;[Blue][>100]0", "-5"},
        {500, "[Red][<=100]0;[Blue][>100]0", "500"},
        {5551234, "[<=9999999]###-####;(###) ###-####", "555-1234"},
        {4255551234, "[<=9999999]###-####;(###) ###-####", "(425) 555-1234"},
        {5, "[>10]0;[<0]0", "########"},
        {-1234.5, "General", "-1234.5"},
        {12, "General\" 元\"", "12 元"},
        {12.5, "G/通用格式\"元\"", "12.5元"},
        {-3, "G/通用格式;[Red]\\-G/通用格式", "-3"},
    });
}

TEST(ExcelNumberFormat, FractionsFindTheNearestDenominator)
{
    expectShown({
        {1.5, "# ?/?", "1 1/2"},
        {0.75, "# ?\?/?\?", "  3/4 "},
        {3.14159, "# ?\?/?\?", "3 14/99"},
        {0.333, "?/?", "1/3"},
        {1.5, "?/?", "3/2"},
        {2, "# ?/?", "2    "},
        {0.3, "# ?/8", " 2/8"},
        {-1.25, "# ?/?", "-1 1/4"},
        {1e20, "# ?/?", "100000000000000000000    "},
        {1e20, "?/?", "100000000000000000000/1"},
    });
}

TEST(ExcelNumberFormat, DatesCountFromEitherEpoch)
{
    expectShown({
        {45000, "yyyy/m/d", "2023/3/15"},
        {45000, "yyyy-mm-dd", "2023-03-15"},
        {45000, "yy/m/d", "23/3/15"},
        {45000, "d-mmm-yy", "15-Mar-23"},
        {45000, "mmmm d, yyyy", "March 15, 2023"},
        {45000, "ddd dddd mmmmm", "Wed Wednesday M"},
        {45000, "[$-804]yyyy\"年\"m\"月\"d\"日\" dddd", "2023年3月15日 星期三"},
        {45000, "[$-804]mmm mmmm ddd", "3月 三月 周三"},
        {45000, "aaaa aaa", "星期三 三"},
        {45000, "[$-zh-CN]mmmm", "三月"},
        {45000.5, "[$-F800]dddd\\,\\ mmmm\\ dd\\,\\ yyyy", "2023年3月15日"},
        {45000.5, "[$-x-sysdate]dddd, mmmm dd, yyyy", "2023年3月15日"},
        {45000.5, "[$-F400]h:mm:ss\\ AM/PM", "12:00:00"},
        {1, "yyyy-mm-dd dddd", "1900-01-01 Sunday"},
        {59, "yyyy-mm-dd", "1900-02-28"},
        {60, "yyyy-mm-dd ddd", "1900-02-29 Wed"},
        {61, "yyyy-mm-dd ddd", "1900-03-01 Thu"},
        {0, "yyyy-mm-dd", "1900-01-00"},
        {2958465, "yyyy/m/d", "9999/12/31"},
        {2958466, "yyyy/m/d", "########"},
        {-1, "yyyy/m/d", "########"},
    });
    expectShown({
        {0, "yyyy/m/d", "1904/1/1"},
        {45000 - 1462, "yyyy/m/d", "2023/3/15"},
        {1, "dddd", "Saturday"},
    },
                true);
}

TEST(ExcelNumberFormat, TimesRoundToTheShownSecond)
{
    expectShown({
        {0.5, "h:mm", "12:00"},
        {0.5, "h:mm AM/PM", "12:00 PM"},
        {0.25, "hh:mm:ss am/pm", "06:00:00 am"},
        {0.75, "h A/P", "6 P"},
        {0, "h:mm AM/PM", "12:00 AM"},
        {0.75, "上午/下午h\"时\"mm\"分\"", "下午6时00分"},
        {0.25, "[$-804]AM/PM h:mm", "上午 6:00"},
        {45000.5, "yyyy/m/d h:mm", "2023/3/15 12:00"},
        {45000.99999999, "yyyy/m/d h:mm:ss", "2023/3/16 0:00:00"},
        {0.5 + 59.0 / 86400, "h:mm", "12:00"},
        {0.5 + 1.25 / 86400, "h:mm:ss.00", "12:00:01.25"},
        {0.5 + 1.25 / 86400, "mm:ss.0", "00:01.3"},
        {1.5, "[h]:mm:ss", "36:00:00"},
        {1.5 + 5.0 / 1440, "[mm]:ss", "2165:00"},
        {0.5, "[ss]", "43200"},
        {0.0104166667, "m:ss", "15:00"},
        {0.5, "h\"时\"m\"分\"", "12时0分"},
        {45000, "m/d h:m", "3/15 0:0"},
        {45000, "mm/dd/yyyy", "03/15/2023"},
    });
}

TEST(ExcelNumberFormat, BuiltInIdsReadAsExcelChinaShowsThem)
{
    const struct {
        int id;
        double value;
        const char* shown;
    } cases[] = {
        {0, 1234.5, "1234.5"},
        {1, 1234.5, "1235"},
        {2, 1, "1.00"},
        {4, 1234.5, "1,234.50"},
        {7, -12, "¥-12.00"},
        {9, 0.125, "13%"},
        {10, 0.125, "12.50%"},
        {11, 12345, "1.23E+04"},
        {12, 1.5, "1 1/2"},
        {14, 45000, "2023/3/15"},
        {20, 0.5, "12:00"},
        {22, 45000.5, "2023/3/15 12:00"},
        {27, 45000, "2023年3月"},
        {28, 45000, "3月15日"},
        {31, 45000, "2023年3月15日"},
        {32, 0.5, "12时00分"},
        {33, 0.5, "12时00分00秒"},
        {35, 0.25, "上午6时00分00秒"},
        {37, -1234, "(1,234)"},
        {43, 0, " -   "},
        {44, 12, " ¥12.00 "},
        {46, 1.5, "36:00:00"},
        {47, 1.25 / 86400, "00:01.3"},
        {48, 12345, "12.3E+3"},
        {49, 12, "12"},
        {57, 45000, "2023年3月"},
        {58, 45000, "3月15日"},
        {100, 1234.5, "1234.5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExcelNumberFormat::display(c.value, ExcelNumberFormat::builtInCode(c.id)), QString::fromUtf8(c.shown))
            << "id " << c.id << " code " << ExcelNumberFormat::builtInCode(c.id).toStdString();
    }
}

TEST(ExcelNumberFormat, TextCellsUseTheTextSection)
{
    EXPECT_EQ(ExcelNumberFormat(u"@"_qs).formatText(u"abc"_qs), u"abc"_qs);
    EXPECT_EQ(ExcelNumberFormat(u"0;-0;0;\"名称：\"@"_qs).formatText(u"abc"_qs), u"名称：abc"_qs);
    EXPECT_EQ(ExcelNumberFormat(u"0.00"_qs).formatText(u" 12 "_qs), u" 12 "_qs);
    EXPECT_EQ(ExcelNumberFormat(u"_ @_ "_qs).formatText(u"x"_qs), u" x "_qs);
    // The fourth section takes text with or without @; an empty one hides it.
    EXPECT_EQ(ExcelNumberFormat(u"0;-0;0;\"文本\""_qs).formatText(u"abc"_qs), u"文本"_qs);
    EXPECT_EQ(ExcelNumberFormat(u";;;"_qs).formatText(u"abc"_qs), QString());
    EXPECT_EQ(ExcelNumberFormat::display(5, u";;;"_qs), QString());
    EXPECT_EQ(ExcelNumberFormat::display(5, u"0.0;-0.0;0;@"_qs), u"5.0"_qs);
    // A number in a text-formatted cell shows as General.
    EXPECT_EQ(ExcelNumberFormat::display(1234.5, u"@"_qs), u"1234.5"_qs);
    EXPECT_EQ(ExcelNumberFormat::display(0.1 + 0.2, QString()), u"0.3"_qs);
}

TEST(ExcelNumberFormat, FormulaBarShowsWhatReplaceMatches)
{
    const struct {
        double value;
        const char* code;
        const char* shown;
    } cases[] = {
        {123, "0.00", "123"},
        {0.1 + 0.2, "General", "0.3"},
        {1234.5, "#,##0.00", "1234.5"},
        {0.125, "0.0%", "12.5%"},
        {45000, "yyyy\"年\"m\"月\"d\"日\"", "2023/3/15"},
        {45000.5, "yyyy/m/d", "2023/3/15 12:00:00"},
        {0.5, "h:mm", "12:00:00"},
        {1.5, "[h]:mm", "1900/1/1 12:00:00"},
        {-1, "yyyy/m/d", "-1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExcelNumberFormat(QString::fromUtf8(c.code)).formulaBarText(c.value), QString::fromUtf8(c.shown))
            << "value " << c.value << " code " << c.code;
    }
}
