#include "office/docx/WordMatcher.h"
#include "office/docx/WordReplacement.h"
#include "office/docx/WordText.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using varnel::office::WordFindOptions;
using varnel::office::WordMatch;
using varnel::office::WordMatcher;
using varnel::office::WordReplacement;

namespace {

// The found texts, joined by "|".
QString found(const QString& find, const QString& text, WordFindOptions options = {})
{
    WordMatcher matcher;
    QString error;
    EXPECT_TRUE(matcher.compile(find, options, &error)) << error.toStdString();
    QStringList parts;
    for (const WordMatch& m : matcher.findAll(text))
        parts.append(text.mid(m.start, m.length));
    return parts.join(u'|');
}

QString rejection(const QString& find, WordFindOptions options = {})
{
    WordMatcher matcher;
    QString error;
    EXPECT_FALSE(matcher.compile(find, options, &error)) << find.toStdString();
    return error;
}

WordFindOptions caseInsensitive()
{
    return {false, false, false};
}

WordFindOptions wholeWord()
{
    return {true, true, false};
}

WordFindOptions wildcards()
{
    return {true, false, true};
}

// The replacement of every occurrence, as Replace All would produce the text.
QString replaced(const QString& find, const QString& replace, const QString& text, WordFindOptions options = {})
{
    WordMatcher matcher;
    WordReplacement replacement;
    QString error;
    EXPECT_TRUE(matcher.compile(find, options, &error)) << error.toStdString();
    EXPECT_TRUE(replacement.compile(replace, options.wildcards, &error)) << error.toStdString();
    QString result;
    qsizetype from = 0;
    for (const WordMatch& m : matcher.findAll(text)) {
        result += text.mid(from, m.start - from) + replacement.expand(m, text, matcher.adaptsCase());
        from = m.start + m.length;
    }
    return result + text.mid(from);
}

} // namespace

TEST(WordMatcher, FindsEveryOccurrenceLeftToRightWithoutOverlap)
{
    EXPECT_EQ(found(u"aa"_s, u"aaaaa"_s), u"aa|aa"_s);
    EXPECT_EQ(found(u""_s, u"abc"_s), u""_s);
}

TEST(WordMatcher, MatchCaseOffFoldsLetterCaseButKeepsFullAndHalfWidthApart)
{
    EXPECT_EQ(found(u"abc"_s, u"ABC Abc abc"_s, caseInsensitive()), u"ABC|Abc|abc"_s);
    EXPECT_EQ(found(u"abc"_s, u"ａｂｃ"_s, caseInsensitive()), u""_s);
    EXPECT_EQ(found(u"ａｂｃ"_s, u"ＡＢＣ"_s, caseInsensitive()), u"ＡＢＣ"_s);
    EXPECT_EQ(found(u"abc"_s, u"ABC"_s), u""_s);
}

TEST(WordMatcher, WholeWordNeedsBoundariesOnBothSides)
{
    EXPECT_EQ(found(u"cat"_s, u"cat concat cats cat."_s, wholeWord()), u"cat|cat"_s);
    EXPECT_EQ(found(u"Inc."_s, u"Inc.x XInc."_s, wholeWord()), u"Inc."_s);
    // Chinese characters are words of their own, so a Latin word beside them is whole.
    EXPECT_EQ(found(u"abc"_s, u"中abc文 abc1"_s, wholeWord()), u"abc"_s);
    EXPECT_EQ(found(u"12"_s, u"123 12 a12"_s, wholeWord()), u"12"_s);
}

TEST(WordMatcher, CaretCodesInFindTextNameCharactersAndClasses)
{
    EXPECT_EQ(found(u"a^tb"_s, u"a\tb ab"_s), u"a\tb"_s);
    EXPECT_EQ(found(u"x^py"_s, u"x\ry"_s), u"x\ry"_s);
    EXPECT_EQ(found(u"^^"_s, u"a^b"_s), u"^"_s);
    EXPECT_EQ(found(u"^u8212"_s, u"a—b"_s), u"—"_s);
    EXPECT_EQ(found(u"^0151"_s, u"a—b"_s), u"—"_s);
    EXPECT_EQ(found(u"^s"_s, u"a\u00a0b"_s), u"\u00a0"_s);
    EXPECT_EQ(found(u"^#^#"_s, u"a12b3"_s), u"12"_s);
    EXPECT_EQ(found(u"^$^$"_s, u"1ab2c"_s), u"ab"_s);
    EXPECT_EQ(found(u"a^?c"_s, u"abc a-c ac"_s), u"abc|a-c"_s);
    EXPECT_EQ(found(u"a^wb"_s, u"a \t b ab"_s), u"a \t b"_s);
    EXPECT_EQ(found(u"^T^L"_s, u"\t\u000b"_s), u"\t\u000b"_s);
    EXPECT_EQ(found(u"^%1"_s, u"§1 ¶1"_s), u"§1"_s);
    EXPECT_EQ(found(u"^v^V"_s, u"¶¶ §"_s), u"¶¶"_s);
    EXPECT_EQ(found(u"^%[0-9]"_s, u"§ §2"_s, wildcards()), u"§2"_s);
}

TEST(WordMatcher, MarksOfObjectsAreFoundByTheirCodes)
{
    using namespace varnel::office::wordtext;
    const QString text = u"a"_s + QChar(GraphicMark) + u"b"_s + QChar(FootnoteMark) + u"c"_s + QChar(EndnoteMark)
        + u"d"_s + QChar(CommentMark) + u"e"_s + QChar(SectionBreak) + u"f"_s;
    const struct {
        QString find;
        QString expected;
    } cases[] = {
        {u"a^g"_s, u"a"_s + QChar(GraphicMark)}, {u"b^f"_s, u"b"_s + QChar(FootnoteMark)},
        {u"c^E"_s, u"c"_s + QChar(EndnoteMark)}, {u"d^a"_s, u"d"_s + QChar(CommentMark)},
        {u"e^b"_s, u"e"_s + QChar(SectionBreak)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(found(c.find, text), c.expected) << c.find.toStdString();
    EXPECT_EQ(found(u"^p"_s, text), u""_s) << "a section break is no paragraph mark";
    EXPECT_EQ(found(u"a^gb"_s, text, wildcards()), u"a"_s + QChar(GraphicMark) + u"b"_s);
}

TEST(WordMatcher, LineEndsTypedIntoTheFindTextAreParagraphMarks)
{
    EXPECT_EQ(found(u"a\r\nb"_s, u"a\rb"_s), u"a\rb"_s);
    EXPECT_EQ(found(u"a\nb"_s, u"a\rb"_s), u"a\rb"_s);
}

TEST(WordMatcher, RejectsCodesAndWildcardPatternsWordRejects)
{
    for (const QString& find : {u"^x"_s, u"abc^"_s, u"^&"_s})
        EXPECT_FALSE(rejection(find).isEmpty()) << find.toStdString();
    for (const QString& find : {u"^p"_s, u"^?"_s, u"^f"_s, u"^e"_s, u"^a"_s, u"^b"_s, u"(ab"_s, u"ab)"_s, u"[z-a]"_s,
                                u"@a"_s, u"a{x}"_s, u"[ab"_s, u"a\\"_s, u"a{2,1}"_s})
        EXPECT_FALSE(rejection(find, wildcards()).isEmpty()) << find.toStdString();
    EXPECT_EQ(rejection(u"^d"_s, wildcards()), u"“查找内容”中的“^d”不是有效的特殊字符，或者在使用通配符时不受支持"_s);
    EXPECT_EQ(rejection(u"a^d"_s), u"“查找内容”中的“^d”只能单独使用"_s);
}

TEST(WordMatcher, AFieldIsFoundByTheStorysStructureNotInItsText)
{
    WordMatcher matcher;
    QString error;
    ASSERT_TRUE(matcher.compile(u"^D"_s, {}, &error)) << error.toStdString();
    EXPECT_TRUE(matcher.findsFields());
    EXPECT_TRUE(matcher.findAll(u"Page 1"_s).empty());
}

TEST(WordReplacement, RefusesTheClipboardAndTheMarksOfObjectsAsAnUnknownCode)
{
    const struct {
        QString replace;
        QString error;
    } cases[] = {
        {u"a^cb"_s, u"“替换为”中的“^c”不是有效的特殊字符"_s},
        {u"^C"_s, u"“替换为”中的“^C”不是有效的特殊字符"_s},
        {u"^g"_s, u"“替换为”中的“^g”不是有效的特殊字符"_s},
        {u"^f"_s, u"“替换为”中的“^f”不是有效的特殊字符"_s},
        {u"^b"_s, u"“替换为”中的“^b”不是有效的特殊字符"_s},
    };
    for (const auto& c : cases) {
        WordReplacement replacement;
        QString error;
        EXPECT_FALSE(replacement.compile(c.replace, false, &error)) << c.replace.toStdString();
        EXPECT_EQ(error, c.error);
    }
}

TEST(WordMatcher, WildcardsCoverWordsDialect)
{
    EXPECT_EQ(found(u"b?d"_s, u"bad bed bd"_s, wildcards()), u"bad|bed"_s);
    EXPECT_EQ(found(u"s*t"_s, u"sat on the mat"_s, wildcards()), u"sat"_s);
    EXPECT_EQ(found(u"lo@t"_s, u"lot loot lt"_s, wildcards()), u"lot|loot"_s);
    EXPECT_EQ(found(u"[0-9]{2}"_s, u"a1b23c456"_s, wildcards()), u"23|45"_s);
    EXPECT_EQ(found(u"10{1,2}"_s, u"1 10 100 1000"_s, wildcards()), u"10|100|100"_s);
    EXPECT_EQ(found(u"x{2;}"_s, u"x xx xxxx"_s, wildcards()), u"xx|xxxx"_s);
    EXPECT_EQ(found(u"[!a-z]"_s, u"aB1"_s, wildcards()), u"B|1"_s);
    EXPECT_EQ(found(u"s[ea]t"_s, u"set sat seat sit"_s, wildcards()), u"set|sat"_s);
    EXPECT_EQ(found(u"<inter"_s, u"interest winter intern"_s, wildcards()), u"inter|inter"_s);
    EXPECT_EQ(found(u"ing>"_s, u"wanting tingle"_s, wildcards()), u"ing"_s);
    EXPECT_EQ(found(u"\\(a\\)\\*"_s, u"(a)* a"_s, wildcards()), u"(a)*"_s);
    EXPECT_EQ(found(u"a^tb"_s, u"a\tb"_s, wildcards()), u"a\tb"_s);
    EXPECT_EQ(found(u"a^13b"_s, u"a\rb"_s, wildcards()), u"a\rb"_s);
}

TEST(WordMatcher, WildcardsAreCaseSensitiveAndIgnoreWholeWord)
{
    EXPECT_EQ(found(u"ab"_s, u"AB ab"_s, {false, false, true}), u"ab"_s);
    EXPECT_EQ(found(u"ab"_s, u"abc"_s, {true, true, true}), u"ab"_s);
}

TEST(WordReplacement, WildcardGroupsAndFoundTextGoIntoTheReplacement)
{
    EXPECT_EQ(replaced(u"(<[A-Z][a-z]@) (<[A-Z][a-z]@)"_s, u"\\2 \\1"_s, u"Bill Gates"_s, wildcards()),
              u"Gates Bill"_s);
    EXPECT_EQ(replaced(u"cat"_s, u"[^&]"_s, u"a cat"_s), u"a [cat]"_s);
    EXPECT_EQ(replaced(u"a"_s, u"\\1"_s, u"a"_s), u"\\1"_s);
    EXPECT_EQ(replaced(u"(a)"_s, u"\\\\x\\("_s, u"a"_s, wildcards()), u"\\x("_s);
}

TEST(WordReplacement, CaretCodesInReplaceTextBecomeCharacters)
{
    EXPECT_EQ(replaced(u"x"_s, u"1^t2^l3^p4^m5^n6^s7^~8^-9^^"_s, u"x"_s),
              u"1\t2\u000b3\r4\u000c5\u000e6\u00a07\u001e8\u001f9^"_s);
    EXPECT_EQ(replaced(u"x"_s, u"^u8212"_s, u"x"_s), u"—"_s);
    EXPECT_EQ(replaced(u"x"_s, u"^%1 ^v"_s, u"x"_s), u"§1 ¶"_s);
    WordReplacement replacement;
    QString error;
    EXPECT_FALSE(replacement.compile(u"^?"_s, false, &error));
}

TEST(WordReplacement, MatchCaseOffAdaptsReplacementToCapitalisedOrAllCapitalText)
{
    const QString text = u"cat Cat CAT cAT"_s;
    EXPECT_EQ(replaced(u"cat"_s, u"dog"_s, text, caseInsensitive()), u"dog Dog DOG dog"_s);
    EXPECT_EQ(replaced(u"cat"_s, u"Dog"_s, u"cat"_s, caseInsensitive()), u"Dog"_s);
    EXPECT_EQ(replaced(u"usa"_s, u"United States"_s, u"USA"_s, caseInsensitive()), u"UNITED STATES"_s);
    // One capital letter is a capitalised word, not an all-capital one.
    EXPECT_EQ(replaced(u"a"_s, u"xyz"_s, u"A"_s, caseInsensitive()), u"Xyz"_s);
    // Match case on inserts the replacement as typed.
    EXPECT_EQ(replaced(u"CAT"_s, u"dog"_s, u"CAT"_s), u"dog"_s);
    // Chinese replacements have no case to adapt.
    EXPECT_EQ(replaced(u"abc"_s, u"中文"_s, u"ABC"_s, caseInsensitive()), u"中文"_s);
}

TEST(WordText, WordCharactersAreAlphabeticLettersDigitsAndUnderscore)
{
    using varnel::office::wordtext::isWordChar;
    for (char32_t c : {U'a', U'_', U'9', U'é'})
        EXPECT_TRUE(isWordChar(c)) << std::uint32_t(c);
    for (char32_t c : {U'中', U'か', U'-', U' '})
        EXPECT_FALSE(isWordChar(c)) << std::uint32_t(c);
}
