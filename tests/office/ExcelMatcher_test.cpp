#include "office/xlsx/ExcelMatcher.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using varnel::office::ExcelMatcher;

namespace {

struct FindCase {
    const char16_t* find;
    bool wildcards;
    bool matchCase;
    bool wholeCell;
    const char16_t* cell;
    const char16_t* replaced; // the cell after replacing by "#"; equal to cell: not found
};

} // namespace

TEST(ExcelMatcher, ReplacesAsExcelsFindAndReplace)
{
    const FindCase cases[] = {
        // Wildcards off: the find text is taken literally.
        {u"a*c", false, false, false, u"abbc a*c", u"abbc #"},
        {u"a?c", false, false, false, u"abc a?c", u"abc #"},
        {u"~", false, false, false, u"a~c~", u"a#c#"},
        {u"~*", false, false, false, u"~*x*", u"#x*"},
        // Wildcards on: ? one character, * any run (as long as it can be), ~ makes them literal.
        {u"a*c", true, false, false, u"xabcbcy", u"x#y"},
        {u"a?c", true, false, false, u"abc ac a?c", u"# ac #"},
        {u"a~*c", true, false, false, u"abc a*c", u"abc #"},
        {u"a~?c", true, false, false, u"abc a?c", u"abc #"},
        {u"~~", true, false, false, u"a~b", u"a#b"},
        {u"*", true, false, false, u"anything", u"#"},
        {u"b*", true, false, true, u"abc", u"abc"},
        {u"a*", true, false, true, u"abc", u"#"},
        // A tilde before any other character, or at the end, is a tilde.
        {u"a~b", true, false, false, u"a~b ab", u"# ab"},
        {u"a~", true, false, false, u"a~", u"#"},
        // Whole cell: the find text must be the whole of the cell.
        {u"b", false, false, true, u"abc", u"abc"},
        {u"b", false, false, false, u"abc", u"a#c"},
        {u"ABC", false, false, true, u"abc", u"#"},
        // Match case off folds letter case and full/half width; on, it compares exactly.
        {u"abc", false, false, false, u"ＡＢＣ Abc", u"# #"},
        {u"abc", false, true, false, u"ＡＢＣ Abc abc", u"ＡＢＣ Abc #"},
        {u"a?c", true, true, false, u"ABC abc", u"ABC #"},
        // Matches do not overlap; each search resumes after the last match.
        {u"aa", false, false, false, u"aaa", u"#a"},
    };
    for (const FindCase& c : cases) {
        const QString find = QString::fromUtf16(c.find);
        const QString search = c.wildcards ? find : ExcelMatcher::escapeFind(find);
        const ExcelMatcher matcher(search, c.matchCase, c.wholeCell);
        const QString cell = QString::fromUtf16(c.cell);
        const QString expected = QString::fromUtf16(c.replaced);
        EXPECT_EQ(matcher.replaced(cell, u"#"_s), expected) << find.toStdString() << " in " << cell.toStdString();
        EXPECT_EQ(matcher.matches(cell), expected != cell) << find.toStdString() << " in " << cell.toStdString();
    }
}

TEST(ExcelMatcher, EscapesTildeFirstThenQuestionMarkThenAsterisk)
{
    EXPECT_EQ(ExcelMatcher::escapeFind(u"~?*a"_s), u"~~~?~*a"_s);
}

TEST(ExcelMatcher, ManyStarsStayLinear)
{
    const ExcelMatcher matcher(u"*a*a*a*a*a*a*a*a*b"_s, true, true);
    EXPECT_FALSE(matcher.matches(QString(20000, u'a')));
}

TEST(ExcelMatcher, SkipsEqualAndOverlongDefinitions)
{
    EXPECT_TRUE(ExcelMatcher::skipDefinition(u"abc"_s, u"ABC"_s, false));
    EXPECT_TRUE(ExcelMatcher::skipDefinition(u"abc"_s, u"ａｂｃ"_s, false));
    EXPECT_FALSE(ExcelMatcher::skipDefinition(u"abc"_s, u"ABC"_s, true));
    EXPECT_TRUE(ExcelMatcher::skipDefinition(QString(256, u'x'), u"y"_s, true));
    EXPECT_TRUE(ExcelMatcher::skipDefinition(u"y"_s, QString(256, u'x'), true));
    EXPECT_FALSE(ExcelMatcher::skipDefinition(QString(255, u'x'), QString(255, u'y'), true));
}

TEST(ExcelMatcher, TellsWhetherTextOfSomeCharactersCouldMatch)
{
    const QString digits = u"0123456789.-E"_s;
    EXPECT_TRUE(ExcelMatcher(u"1.5"_s, true, false).couldMatchWithin(digits));
    EXPECT_TRUE(ExcelMatcher(u"1?e"_s, false, false).couldMatchWithin(digits));
    EXPECT_FALSE(ExcelMatcher(u"1?e"_s, true, false).couldMatchWithin(digits));
    EXPECT_TRUE(ExcelMatcher(u"１２"_s, false, false).couldMatchWithin(digits));
    EXPECT_FALSE(ExcelMatcher(u"12a"_s, false, false).couldMatchWithin(digits));
    EXPECT_FALSE(ExcelMatcher(u""_s, false, false).couldMatchWithin(digits));
}

TEST(ExcelMatcher, SignatureNeverRulesOutATextThatMatches)
{
    // Searches and texts where only folding, a wildcard or a tilde make the match.
    const QString searches[] = {u"abc"_s, u"ABC"_s, u"ａｂｃ"_s, u"a?c"_s, u"a*c"_s, u"*"_s, u"?"_s, u"~*"_s, u"~~"_s,
                                u"a~b"_s, u"a c"_s, u"ｱｲｳ"_s, u"アイウ"_s, u"σ"_s, u"Σ"_s, u"￥"_s, u"公司"_s, u"1.5"_s,
                                u"*名"_s, u"ß"_s};
    const QString texts[] = {u"abc"_s, u"ABC"_s, u"ＡＢＣ"_s, u"Ａbc"_s, u"axc"_s, u"a*c"_s, u"a~b"_s, u"a~~b"_s,
                             u"a\u3000c"_s, u"a c"_s, u"ｱｲｳ"_s, u"アイウ"_s, u"Σ"_s, u"σ"_s, u"¥"_s, u"￥"_s,
                             u"旧公司名"_s, u"1.5"_s, u"１.５"_s, u"名"_s, u"ẞ"_s, u"ß"_s, u""_s};
    int matched = 0;
    int ruledOut = 0;
    for (const QString& search : searches) {
        for (const bool matchCase : {false, true}) {
            for (const bool wholeCell : {false, true}) {
                const ExcelMatcher matcher(search, matchCase, wholeCell);
                for (const QString& text : texts) {
                    const bool could = matcher.couldMatchSignature(ExcelMatcher::signatureOf(text, matchCase));
                    if (matcher.matches(text)) {
                        ++matched;
                        EXPECT_TRUE(could) << search.toStdString() << " in " << text.toStdString() << " match case "
                                           << matchCase << " whole cell " << wholeCell;
                    }
                    ruledOut += could ? 0 : 1;
                }
            }
        }
    }
    EXPECT_GT(matched, 100);
    EXPECT_GT(ruledOut, 500) << "the signature rules out most texts that lack a character of the search";
}
