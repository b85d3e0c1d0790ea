#include "tools/widthconvert/WidthText.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace varnel::widthconvert;

namespace {

struct WidthCase {
    const char* name;
    WidthMode mode;
    QString input;
    QString expected;
};

class WidthTextCases : public testing::TestWithParam<WidthCase>
{
};

TEST_P(WidthTextCases, ConvertsUnitByUnitAndKeepsTheLength)
{
    const WidthCase& c = GetParam();
    const QString converted = convertWidth(c.mode, c.input);
    EXPECT_EQ(converted, c.expected);
    EXPECT_EQ(converted.size(), c.input.size());
    for (qsizetype i = 0; i < c.input.size(); ++i)
        EXPECT_EQ(convertWidth(c.mode, c.input.at(i).unicode()), c.expected.at(i).unicode()) << i;
}

INSTANTIATE_TEST_SUITE_P(
    WidthText, WidthTextCases,
    testing::Values(
        WidthCase{"HalfWidthKeepsTheIdeographicSpace", WidthMode::ToHalfWidth, u"ＡＢＣ\u3000１２３"_s, u"ABC\u3000123"_s},
        WidthCase{"FullWidthKeepsThePlainSpace", WidthMode::ToFullWidth, u"a b"_s, u"ａ ｂ"_s},
        WidthCase{"FullWidthOfTildeIsTheLastOfTheRange", WidthMode::ToFullWidth, u"~!"_s, u"\uFF5E\uFF01"_s},
        WidthCase{"HalfWidthOfTheRangeEnds", WidthMode::ToHalfWidth, u"\uFF5E\uFF01"_s, u"~!"_s},
        WidthCase{"HalfWidthLeavesUnitsAboveTheRange", WidthMode::ToHalfWidth, u"\uFF5F\uFF61\uFFE0\uFFEE"_s,
                  u"\uFF5F\uFF61\uFFE0\uFFEE"_s},
        WidthCase{"FullWidthLeavesControlsChineseAndSurrogates", WidthMode::ToFullWidth, u"\t\r\n中😀"_s,
                  u"\t\r\n中😀"_s},
        WidthCase{"EmptyStaysEmpty", WidthMode::ToFullWidth, QString(), QString()},
        WidthCase{"PunctuationTurnsTheCommaAndKeepsTheFullStop", WidthMode::PunctuationToFullWidth, u"a,b."_s,
                  u"a\uFF0Cb."_s},
        WidthCase{"PunctuationTurnsAllThirteenMarks", WidthMode::PunctuationToFullWidth, u",!?;:'\"[](){}"_s,
                  u"\uFF0C\uFF01\uFF1F\uFF1B\uFF1A\uFF07\uFF02\uFF3B\uFF3D\uFF08\uFF09\uFF5B\uFF5D"_s},
        WidthCase{"PunctuationLeavesOtherSymbolsAndLetters", WidthMode::PunctuationToFullWidth,
                  u".-<>/@#Az09 \uFF0C"_s, u".-<>/@#Az09 \uFF0C"_s}),
    [](const testing::TestParamInfo<WidthCase>& param) { return param.param.name; });

TEST(WidthText, FullThenHalfGivesBackAnyTextWithoutFullWidthForms)
{
    QString all;
    for (char16_t unit = 1; unit < 0xFF01; ++unit)
        all.append(QChar(unit));
    for (char16_t unit = 0xFF5F; unit != 0; ++unit)
        all.append(QChar(unit));
    EXPECT_EQ(StrToHalfWidth(StrToFullWidth(all)), all);
}

TEST(WidthText, StoredNumbersOtherThanOneAndTwoMeanHalfWidth)
{
    EXPECT_EQ(widthModeFromNumber(1), WidthMode::ToFullWidth);
    EXPECT_EQ(widthModeFromNumber(2), WidthMode::PunctuationToFullWidth);
    EXPECT_EQ(widthModeFromNumber(0), WidthMode::ToHalfWidth);
    EXPECT_EQ(widthModeFromNumber(7), WidthMode::ToHalfWidth);
    EXPECT_EQ(widthModeFromNumber(-1), WidthMode::ToHalfWidth);
}

} // namespace
