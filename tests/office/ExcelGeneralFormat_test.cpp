#include "office/xlsx/ExcelGeneralFormat.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using varnel::office::ExcelGeneralFormat;

namespace {

struct Case {
    double value;
    const char* shown;
};

} // namespace

TEST(ExcelGeneralFormat, CellShowsElevenCharactersBesidesTheSign)
{
    const Case cases[] = {
        {0, "0"},
        {1, "1"},
        {-1234.5, "-1234.5"},
        {0.1 + 0.2, "0.3"},
        {12345678901, "12345678901"},
        {-12345678901, "-12345678901"},
        {123456789012, "1.23457E+11"},
        {99999999999.7, "1E+11"},
        {12345678901.5, "12345678902"},
        {1234567.891234, "1234567.891"},
        {1.0 / 3, "0.333333333"},
        {2.0 / 3, "0.666666667"},
        {100.0 / 3, "33.33333333"},
        {-100.0 / 3, "-33.33333333"},
        {0.000123456789, "0.000123457"},
        {0.000012345, "0.000012345"},
        {0.0000123456789, "1.23457E-05"},
        {0.00001, "0.00001"},
        {0.000000001, "0.000000001"},
        {0.0000000015, "1.5E-09"},
        {1e-10, "1E-10"},
        {0.0000012345, "1.2345E-06"},
        {0.000001234, "0.000001234"},
        {0.0000001234, "1.234E-07"},
        {0.000000012, "0.000000012"},
        {0.0000000012, "1.2E-09"},
        {1234567891.2, "1234567891"},
        {100000000000, "1E+11"},
        {1e15, "1E+15"},
        {1.5e300, "1.5E+300"},
        {1.23456789e100, "1.2346E+100"},
        {-1.23456789e-100, "-1.2346E-100"},
        {0.30000000000000004, "0.3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExcelGeneralFormat::cellText(c.value), QString::fromUtf8(c.shown)) << "value " << c.value;
}

TEST(ExcelGeneralFormat, FormulaBarShowsFifteenDigits)
{
    const Case cases[] = {
        {123, "123"},
        {0.1 + 0.2, "0.3"},
        {-1234.5, "-1234.5"},
        {1.0 / 3, "0.333333333333333"},
        {123456789012, "123456789012"},
        {123456789012345, "123456789012345"},
        {1234567890123456, "1.23456789012346E+15"},
        {1e15, "1E+15"},
        {0.000001234, "0.000001234"},
        {0.000000001, "0.000000001"},
        {1.5e-10, "1.5E-10"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExcelGeneralFormat::formulaBarText(c.value), QString::fromUtf8(c.shown)) << "value " << c.value;
}
