#include "core/TextReplace.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace varnel;
using namespace Qt::Literals::StringLiterals;

namespace {

QString ww(const QString& text, const QString& find, const QString& replace, int* done = nullptr,
           CompareMode mode = CompareMode::Text, qsizetype start = 1, int count = -1, bool wholeWord = true)
{
    return WholeWordReplace(text, find, replace, start, count, mode, wholeWord, wholeWordSeparators(), done);
}

QString plain(const QString& text, const QString& find, const QString& replace, int* count = nullptr,
              CompareMode mode = CompareMode::Text)
{
    return plainReplace(text, find, replace, mode, count);
}

} // namespace

TEST(TextCompare, FoldsWidthThenCasePerCodeUnit)
{
    EXPECT_EQ(foldUnit(u'Ａ'), u'a');
    EXPECT_EQ(foldUnit(u'ｚ'), u'z');
    EXPECT_EQ(foldUnit(u'！'), u'!');
    EXPECT_EQ(foldUnit(u'Ä'), u'ä');
    EXPECT_EQ(foldUnit(u'中'), u'中');
    EXPECT_EQ(foldUnit(0xD83D), 0xD83D);
    EXPECT_TRUE(textEquals(u"ＨＥＬＬＯ，", u"hello,", CompareMode::Text));
    EXPECT_FALSE(textEquals(u"ＨＥＬＬＯ", u"hello", CompareMode::Binary));
}

// Each pair is one character in its two widths: equal with match case off, apart with it on, and a
// find in one width replaces the other in place (same position, same length).
TEST(TextCompare, OtherWidthFormsAreEqualWithMatchCaseOff)
{
    struct Case {
        char16_t one;
        char16_t other;
    };
    const Case cases[] = {
        {u'\u3000', u' '},  // ideographic space
        {u'Ａ', u'a'},       {u'～', u'~'},
        {u'\uFFE0', u'¢'}, {u'\uFFE1', u'£'}, {u'\uFFE2', u'¬'}, {u'\uFFE3', u'¯'},
        {u'\uFFE4', u'¦'}, {u'\uFFE5', u'¥'}, {u'\uFFE6', u'₩'},
        {u'｡', u'。'},       {u'｢', u'「'},      {u'･', u'・'},      {u'ｦ', u'ヲ'},
        {u'ｧ', u'ァ'},       {u'ｰ', u'ー'},      {u'ｱ', u'ア'},      {u'ﾝ', u'ン'},
        {u'\uFF9E', u'\u3099'}, // voiced sound mark
        {u'\uFFA0', u'\u3164'}, // Hangul filler
        {u'ﾡ', u'ㄱ'},       {u'ﾾ', u'ㅎ'},      {u'ￂ', u'ㅏ'},      {u'ￜ', u'ㅣ'},
    };
    for (const Case& c : cases) {
        const QString one(QChar{c.one});
        const QString other(QChar{c.other});
        SCOPED_TRACE(QString::number(c.one, 16).toStdString());
        EXPECT_TRUE(textEquals(one, other, CompareMode::Text));
        EXPECT_FALSE(textEquals(one, other, CompareMode::Binary));
        EXPECT_EQ(findText(u"xy"_s + other + u"z"_s, one, 0, CompareMode::Text), 2);
        EXPECT_EQ(plainReplace(u"["_s + other + u"]["_s + one + u"]"_s, one, u"-"_s, CompareMode::Text), u"[-][-]"_s);
    }
    // Units without a one-unit form of the other width stay themselves.
    for (const char16_t unit : {u'\uFFBF', u'\uFFC8', u'\uFFDD', u'\uFFE8', u'\uFF5F', u'\uFF60', u'中'})
        EXPECT_EQ(foldUnit(unit), unit) << QString::number(unit, 16).toStdString();
}

TEST(TextCompare, FindsOnlyNonEmptyNeedlesWithinRange)
{
    EXPECT_EQ(findText(u"abc", u"", 0, CompareMode::Binary), -1);
    EXPECT_EQ(findText(u"abcabc", u"bc", 2, CompareMode::Binary), 4);
    EXPECT_EQ(findText(u"abcabc", u"bc", 5, CompareMode::Binary), -1);
    EXPECT_EQ(findText(u"abcabc", u"bc", 99, CompareMode::Text), -1);
    EXPECT_EQ(findText(u"xyzAbC", u"ａBc", 0, CompareMode::Text), 3);
    EXPECT_EQ(findText(u"xyzAbC", u"aBc", 0, CompareMode::Binary), -1);
}

// The exact search tests eight candidate positions at a time; compare it with a naive search on
// random texts over a small alphabet, where near misses and matches at every offset are common.
TEST(TextCompare, ExactSearchAgreesWithNaiveSearch)
{
    QRandomGenerator random(7);
    const QString alphabet = QStringLiteral("ab中");
    auto randomText = [&](int length) {
        QString s;
        for (int i = 0; i < length; ++i)
            s.append(alphabet[random.bounded(alphabet.size())]);
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        const QString hay = randomText(random.bounded(0, 80));
        const QString needle = randomText(random.bounded(1, 6));
        const qsizetype from = random.bounded(0, 82);
        qsizetype expected = -1;
        for (qsizetype i = from; i + needle.size() <= hay.size() && expected < 0; ++i)
            if (QStringView(hay).sliced(i, needle.size()) == needle)
                expected = i;
        ASSERT_EQ(findText(hay, needle, from, CompareMode::Binary), expected) << hay.toStdString() << " / "
                                                                              << needle.toStdString();
    }
}

TEST(TextReplace, PlainReplacesLeftToRightWithoutRescanningInsertedText)
{
    int count = 0;
    EXPECT_EQ(plain(u"aaaa"_s, u"aa"_s, u"b"_s, &count), u"bb"_s);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(plain(u"aaa"_s, u"a"_s, u"aa"_s, &count), u"aaaaaa"_s);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(plain(u"abc"_s, u""_s, u"x"_s, &count), u"abc"_s);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(plain(u"a-b-"_s, u"-"_s, u""_s), u"ab"_s);
}

TEST(TextReplace, TextModeFoldsWidthAndCaseBinaryModeDoesNot)
{
    EXPECT_EQ(plain(u"A a ａ Ａ b"_s, u"Ａ"_s, u"x"_s), u"x x x x b"_s);
    EXPECT_EQ(plain(u"A a ａ Ａ b"_s, u"Ａ"_s, u"x"_s, nullptr, CompareMode::Binary), u"A a ａ x b"_s);
    // The folded copy must follow the text: a second definition sees the first one's replacement.
    ReplaceBuffer buffer(u"Hello hello"_s, CompareMode::Text);
    EXPECT_EQ(buffer.replacePlain(u"HELLO"_s, u"Ｗorld"_s), 2);
    EXPECT_EQ(buffer.replacePlain(u"world ｗ"_s, u"-"_s), 1);
    EXPECT_EQ(buffer.text(), u"-orld"_s);
}

TEST(TextReplace, PlainHandlesManyMatchesInLongText)
{
    const QString text = QStringLiteral("ab中").repeated(1'000'000);
    int count = 0;
    const QString result = plain(text, u"B中"_s, u"-"_s, &count);
    EXPECT_EQ(count, 1'000'000);
    EXPECT_EQ(result, QStringLiteral("a-").repeated(1'000'000));
}

TEST(TextReplace, WholeWordAcceptsOnlyMatchesBetweenBoundaries)
{
    int done = 0;
    EXPECT_EQ(ww(u"ab,ab ab.abc"_s, u"ab"_s, u"X"_s, &done), u"X,X X.abc"_s);
    EXPECT_EQ(done, 3);
    EXPECT_EQ(ww(u"foo_bar foo中 food foo1 1foo"_s, u"foo"_s, u"X"_s), u"X_bar X中 food foo1 1foo"_s);
    EXPECT_EQ(ww(u"foo，bar\r\nfoo\nfoo"_s, u"FOO"_s, u"X"_s), u"X，bar\r\nX\nX"_s);
    EXPECT_EQ(ww(u"Foo foo"_s, u"foo"_s, u"X"_s, nullptr, CompareMode::Binary), u"Foo X"_s);
}

TEST(TextReplace, WholeWordSeparatorsAreTheListedPunctuationOnly)
{
    for (QChar sep : wholeWordSeparators())
        EXPECT_EQ(ww(u"foo"_s + sep + u"foo"_s, u"foo"_s, u"X"_s), u"X"_s + sep + u"X"_s) << int(sep.unicode());
    for (const QString& other : {u"\t"_s, u"'"_s, u"\""_s, u"`"_s})
        EXPECT_EQ(ww(u"foo"_s + other + u"foo"_s, u"foo"_s, u"X"_s), u"foo"_s + other + u"foo"_s);
}

TEST(TextReplace, WholeWordStepsByReplaceLengthEvenWhenRejected)
{
    EXPECT_EQ(ww(u"ba,a"_s, u"a"_s, u"xyz"_s), u"ba,a"_s);
    EXPECT_EQ(ww(u"aaaa"_s, u"aa"_s, u"b"_s), u"aaaa"_s);
    EXPECT_EQ(plain(u"aaaa"_s, u"aa"_s, u"b"_s), u"bb"_s);
    // An empty replace steps one unit past the match position of the new text.
    EXPECT_EQ(ww(u"aaa"_s, u"a"_s, u""_s, nullptr, CompareMode::Text, 1, -1, false), u"a"_s);
    EXPECT_EQ(ww(u"a,a,a"_s, u"a"_s, u""_s), u",,"_s);
}

TEST(TextReplace, WholeWordLeftBoundaryOfNextMatchIsTheInsertedText)
{
    EXPECT_EQ(ww(u".a.a"_s, u".a"_s, u"x,"_s), u"x,x,"_s);
    EXPECT_EQ(ww(u".a.a"_s, u".a"_s, u"xy"_s), u"xy.a"_s);
}

TEST(TextReplace, WholeWordSpecialCasesLeaveTheTextAlone)
{
    int done = -1;
    EXPECT_EQ(ww(u"a b"_s, u" "_s, u"_"_s, &done), u"a b"_s);
    EXPECT_EQ(done, 0);
    EXPECT_EQ(ww(u" "_s, u" "_s, u"x"_s), u" "_s);
    EXPECT_EQ(ww(u"a a"_s, u""_s, u"x"_s), u"a a"_s);
    EXPECT_EQ(ww(u"a a"_s, u"a"_s, u"x"_s, nullptr, CompareMode::Text, 1, 0), u"a a"_s);
    EXPECT_EQ(ww(u"a a a"_s, u"a"_s, u"x"_s, nullptr, CompareMode::Text, 1, 2), u"x x a"_s);
    EXPECT_EQ(ww(u"a a a"_s, u"a"_s, u"x"_s, nullptr, CompareMode::Text, 2), u"a x x"_s);
}
