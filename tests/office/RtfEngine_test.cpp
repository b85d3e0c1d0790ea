#include "core/FileIo.h"
#include "office/rtf/RtfDocument.h"
#include "office/rtf/RtfEngine.h"

#include "support/LibreOffice.h"
#include "support/RecordingUi.h"
#include "support/TestFiles.h"
#include "support/TrackedChanges.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineResult;
using varnel::Option;
using varnel::RtfStoryKind;
using varnel::test::readFile;

namespace {

class FailingWrite : public varnel::FileIo
{
public:
    bool writeAtomically(const QString&, const QByteArray&, QString* error) const override
    {
        *error = u"disk full"_s;
        return false;
    }
};

// The text of a story kind as the engine's own reader sees it in a saved file.
QString storyText(const QByteArray& rtf, RtfStoryKind kind)
{
    varnel::RtfDocument document;
    EXPECT_TRUE(document.parse(rtf)) << document.error().toStdString();
    return document.text(kind);
}

// A WordArt shape, and field results that read on with the words around them.
const QByteArray kWordArt = "{\\rtf1{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 136}}"
                            "{\\sp{\\sn gtextUNICODE}{\\sv ALPHA art}}}}\\par}";
const QByteArray kFieldResults = "{\\rtf1 Page{\\field{\\*\\fldinst PAGE }{\\fldrslt 1}} and foo"
                                 "{\\field{\\*\\fldinst HYPERLINK \"http://x.example/\" }{\\fldrslt bar}}.}";

// The visible text of an HTML page: tags dropped, white space collapsed.
QString htmlText(const QByteArray& html)
{
    QString text = QString::fromUtf8(html);
    text.remove(QRegularExpression(u"<head>.*</head>"_s, QRegularExpression::DotMatchesEverythingOption));
    text.remove(QRegularExpression(u"<[^>]*>"_s));
    text.replace(u"&nbsp;"_s, u" "_s);
    return text.simplified();
}

} // namespace

class RtfEngine : public ::testing::Test
{
protected:
    QString copyOf(const QString& dataName)
    {
        const QString path = m_dir.filePath(dataName);
        varnel::test::writeFile(path, readFile(varnel::test::dataPath(u"office/rtf/"_s + dataName)));
        return path;
    }

    QString fileWith(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(u"doc.rtf"_s);
        varnel::test::writeFile(path, bytes);
        return path;
    }

    EngineResult run(const QString& path, const QStringList& finds, const QStringList& replaces)
    {
        varnel::EngineRequest request(finds, replaces, options, dryRun);
        request.fromDictionary = fromDictionary;
        request.ui = &ui;
        request.progressCaption = u"正在处理第 1 个文件"_s;
        varnel::RtfEngine engine;
        return engine.replace(path, request);
    }

    // Runs a replacement on a fresh copy of a fixture; returns the saved bytes.
    QByteArray replaced(const QString& dataName, const QStringList& finds, const QStringList& replaces)
    {
        const QString path = copyOf(dataName);
        last = run(path, finds, replaces);
        EXPECT_TRUE(last.error.isEmpty()) << last.error.toStdString();
        return readFile(path);
    }

    static void backdate(const QString& path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
    }

    // Random edits of a real document: whatever still reads as RTF must read back, after the
    // replacement, as the same stories and segments with exactly the replaced text changed.
    void expectDamagedCopiesChangeOnlyInReplacedText(const QString& dataName, const QString& find, const QString& replace)
    {
        SCOPED_TRACE(dataName.toStdString());
        const QByteArray original = readFile(varnel::test::dataPath(u"office/rtf/"_s + dataName));
        const QByteArray palette = "\\{}'0123456789 -abcfuAlph?;\r\n\x80\xd6";
        std::mt19937 random(20261206);
        const QString path = m_dir.filePath(u"damaged.rtf"_s);
        int readable = 0;
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes = original;
            for (int edits = 1 + int(random() % 4); edits > 0; --edits) {
                const qsizetype at = qsizetype(random() % std::uint32_t(bytes.size()));
                const char byte = palette[qsizetype(random() % std::uint32_t(palette.size()))];
                switch (random() % 3) {
                case 0: bytes.insert(at, byte); break;
                case 1: bytes.remove(at, 1); break;
                default: bytes[at] = byte; break;
                }
            }
            varnel::RtfDocument before;
            if (!before.parse(bytes))
                continue;
            ++readable;
            varnel::test::writeFile(path, bytes);
            last = run(path, {find}, {replace});
            varnel::RtfDocument after;
            ASSERT_TRUE(after.parse(readFile(path))) << "round " << round << ": " << after.error().toStdString();
            ASSERT_EQ(after.stories().size(), before.stories().size()) << "round " << round;
            for (std::size_t s = 0; s < before.stories().size(); ++s) {
                const varnel::RtfStory& old = before.stories()[s];
                const bool plain = old.kind == RtfStoryKind::Note || old.kind == RtfStoryKind::WordArt;
                const Qt::CaseSensitivity cs = plain ? Qt::CaseInsensitive : Qt::CaseSensitive;
                const bool replacedHere = old.kind != RtfStoryKind::FieldInstruction;
                ASSERT_EQ(after.stories()[s].segments.size(), old.segments.size()) << "round " << round;
                for (std::size_t k = 0; k < old.segments.size(); ++k) {
                    QString expected = old.segments[k].text;
                    if (replacedHere)
                        expected.replace(find, replace, cs);
                    ASSERT_EQ(after.stories()[s].segments[k].text, expected)
                        << "round " << round << ", story " << s << ", segment " << k;
                }
            }
        }
        EXPECT_GT(readable, 100);
    }

    QTemporaryDir m_dir;
    varnel::ReplaceOptions options;
    bool dryRun = false;
    bool fromDictionary = false;
    varnel::test::RecordingUi ui;
    EngineResult last;
};

TEST_F(RtfEngine, RewritesOnlyTheReplacedTextInTheEncodingOfItsContext)
{
    const struct {
        const char* what;
        QString fixture;
        QStringList finds, replaces;
        std::vector<std::pair<QByteArray, QByteArray>> edits; // the only changes to the saved bytes
        QString text;                                           // a piece of the saved main text
        int count;
    } cases[] = {
        {"a word split over formatting runs: the bold run keeps its control words and loses its letters",
         u"01_stories.rtf"_s, {u"split"_s}, {u"whole"_s},
         {{"{\\loch\nA s}{\\loch\\b\\loch\npl}{\\loch\nit word", "{\\loch\nA whole}{\\loch\\b\\loch\n}{\\loch\n word"}},
         u"A whole word"_s, 1},
        {"the replacement takes the formatting of the first matched character", u"01_stories.rtf"_s, {u"中文字"_s},
         {u"汉字"_s},
         {{"{\\dbch\n\\u20013\\'3f}{\\dbch\n\\u25991\\'3f}{\\dbch\n\\u23383\\'3f}",
           "{\\dbch\n\\u27721?\\u23383?}{\\dbch\n}{\\dbch\n}"}},
         u"A split word and 汉字."_s, 1},
        // Under \uc2 the fallback is the character's GBK bytes.
        {"a GBK document keeps its escapes outside the replaced text", u"02_gbk_wordpad.rtf"_s,
         {u"替换"_s, u"說這"_s, u"中文 Word"_s}, {u"更换"_s, u"说这"_s, u"汉语 Word"_s},
         {{"\\'cc\\'e6\\'bb\\'bb", "\\u26356?\\u25442?"},
          {"\\'d5f\\'df@", "\\u-29708?\\u-28711?"},
          {"\\u20013\\'d6\\'d0\\u25991\\'ce\\'c4 Word", "\\u27721\\'ba\\'ba\\u-29715\\'d3\\'ef Word"}},
         u"中文更换测试 Alpha 说这\r中文字\r汉语 Word style"_s, 3},
        // 字 is 8E 9A in Shift-JIS, the code page of the run's font; 汉 has no Shift-JIS form.
        {"fallback bytes of the font's code page where they fit the \\uc count", u"03_libreoffice_resaved.rtf"_s,
         {u"中文字"_s}, {u"汉字"_s},
         {{"\\uc2 \\u20013\\'92\\'86\\uc1 }", "\\uc2 \\u27721??\\u23383\\'8e\\'9a\\uc1 }"},
          {"\\uc2 \\u25991\\'95\\'b6\\u23383\\'8e\\'9a\\uc1 }", "\\uc2 \\uc1 }"}},
         u"\r汉字\r"_s, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray expected = readFile(varnel::test::dataPath(u"office/rtf/"_s + c.fixture));
        for (const auto& [from, to] : c.edits) {
            EXPECT_EQ(expected.count(from), 1) << from.toStdString();
            expected.replace(from, to);
        }
        const QByteArray after = replaced(c.fixture, c.finds, c.replaces);
        EXPECT_EQ(after, expected);
        EXPECT_TRUE(last.changed);
        EXPECT_EQ(last.replacements, c.count);
        EXPECT_TRUE(storyText(after, RtfStoryKind::Main).contains(c.text)) << storyText(after, RtfStoryKind::Main).toStdString();
    }
}

TEST_F(RtfEngine, ReplacesHeadersFootersAndTextBoxesOnlyWhenTheirOptionIsExactlyOne)
{
    const struct {
        Option option;
        QString find, replace;
        RtfStoryKind kind;
        qsizetype copies; // how often the new text stands in the saved bytes when replaced
    } cases[] = {
        // LibreOffice writes a copy of the page style's header; the copy follows but is not counted.
        {Option::HeaderFooter, u"Header Alpha"_s, u"Header Omega"_s, RtfStoryKind::HeaderFooter, 2},
        {Option::WordTextBox, u"Alpha box"_s, u"Omega box"_s, RtfStoryKind::TextBox, 1},
    };
    for (const auto& c : cases) {
        for (int value : {0, 1, 2}) {
            SCOPED_TRACE(testing::Message() << c.find.toStdString() << ", option " << value);
            options.setValue(c.option, value);
            const QByteArray after = replaced(u"01_stories.rtf"_s, {c.find}, {c.replace});
            EXPECT_EQ(storyText(after, c.kind).contains(c.replace), value == 1) << storyText(after, c.kind).toStdString();
            EXPECT_EQ(after.count(c.replace.toLatin1()), value == 1 ? c.copies : 0);
            EXPECT_EQ(last.replacements, value == 1 ? 1 : 0);
        }
    }
}

TEST_F(RtfEngine, LeavesTheFileUntouchedWhenNothingMayChange)
{
    const QByteArray noAddress = "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \\\\l \"Alpha\" }{\\fldrslt x}}"
                                 "{\\field{\\*\\fldinst PAGE \\\\* Alpha }{\\fldrslt 1}}}";
    const struct {
        const char* what;
        QByteArray rtf; // empty: the stories fixture
        std::vector<std::pair<Option, int>> set;
        QStringList finds, replaces;
    } cases[] = {
        {"field instructions are not searched", {}, {}, {u"example.com"_s}, {u"example.org"_s}},
        {"a note whose definitions together leave its text as it was", {}, {}, {u"脚注"_s, u"X"_s}, {u"X"_s, u"脚注"_s}},
        {"definitions Word would skip", "{\\rtf1\\ansi Alpha and alpha\\par}", {{Option::MatchCase, 0}},
         {u"alpha"_s, QString(256, u'A'), u"Alpha"_s, QString()}, {u"ALPHA"_s, u"x"_s, QString(256, u'x'), u"x"_s}},
        {"a paragraph is never joined into a table", {}, {}, {u"para.^pCell"_s}, {u"x"_s}},
        {"a grey wildcard box is off: the pattern is plain text", {},
         {{Option::MatchCase, 1}, {Option::MatchWildcards, 2}}, {u"<(Alph)([a-z]@)>"_s}, {u"x"_s}},
        {"WordArt with a grey text box option", kWordArt, {{Option::WordTextBox, 2}}, {u"alpha"_s}, {u"Omega"_s}},
        {"addresses with a grey hyperlink option", {}, {{Option::HyperLink, 2}}, {u"EXAMPLE.com"_s}, {u"example.org"_s}},
        {"bookmark links and other fields have no address", noAddress, {{Option::HyperLink, 1}}, {u"Alpha"_s},
         {u"Omega"_s}},
        {"whole words read on into field results", kFieldResults, {{Option::WholeWord, 1}}, {u"Page"_s, u"foo"_s, u"bar"_s},
         {u"X"_s, u"X"_s, u"X"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options = {};
        for (const auto& [option, value] : c.set)
            options.setValue(option, value);
        const QString path = c.rtf.isEmpty() ? copyOf(u"01_stories.rtf"_s) : fileWith(c.rtf);
        const QByteArray before = readFile(path);
        backdate(path);
        const QDateTime modified = QFileInfo(path).lastModified();
        last = run(path, c.finds, c.replaces);
        EXPECT_FALSE(last.changed);
        EXPECT_TRUE(last.error.isEmpty()) << last.error.toStdString();
        EXPECT_EQ(readFile(path), before);
        EXPECT_EQ(QFileInfo(path).lastModified(), modified) << "an unchanged file is not rewritten";
    }
}

TEST_F(RtfEngine, FindOptionsAndSpecialCodesDecideWhatTheMainTextBecomes)
{
    const struct {
        const char* what;
        std::vector<std::pair<Option, int>> set;
        QString find, replace;
        QString expected; // a piece of the saved main text
        bool dictionary = false;
    } cases[] = {
        {"match case off folds letter case, not width", {{Option::MatchCase, 0}}, u"alpha"_s, u"omega"_s,
         u"Omega 中文世界 body text, OMEGA, Ａｌｐｈａ and Omegabet."_s},
        {"tables are part of the main text", {{Option::MatchCase, 0}}, u"alpha"_s, u"omega"_s, u"Cell Omega"_s},
        {"whole words", {{Option::WholeWord, 1}}, u"Alpha"_s, u"Omega"_s,
         u"Omega 中文世界 body text, ALPHA, Ａｌｐｈａ and Alphabet."_s},
        {"a grey whole-word box is off", {{Option::WholeWord, 2}}, u"Alpha"_s, u"Omega"_s, u"and Omegabet."_s},
        {"Word's wildcards", {{Option::MatchCase, 1}, {Option::MatchWildcards, 1}}, u"<(Alph)([a-z]@)>"_s,
         u"\\2-\\1"_s, u"a-Alph 中文世界 body text, ALPHA, Ａｌｐｈａ and abet-Alph."_s},
        {"tabs and line breaks", {}, u"Tab^there^lnext"_s, u"Tab^lhere^tnext"_s, u"Tab\u000Bhere\tnext line."_s},
        {"a ^p in the find text joins paragraphs", {}, u"line.^pLast"_s, u"line, last"_s,
         u"next line, last paragraph."_s},
        {"a ^p in the replace text splits one", {}, u"Last paragraph"_s, u"Last^pparagraph"_s, u"Last\rparagraph."_s},
        {"a dictionary's line feed is a line break", {}, u"Last paragraph"_s, u"Last\nline"_s, u"Last\u000Bline."_s,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options = {};
        for (const auto& [option, value] : c.set)
            options.setValue(option, value);
        fromDictionary = c.dictionary;
        const QString body = storyText(replaced(u"01_stories.rtf"_s, {c.find}, {c.replace}), RtfStoryKind::Main);
        EXPECT_TRUE(last.changed);
        EXPECT_TRUE(body.contains(c.expected)) << body.toStdString();
    }
}
TEST_F(RtfEngine, ReplacesWordArtTextWithTheTextBoxesIgnoringCase)
{
    const QString path = fileWith(kWordArt);
    options.setValue(Option::WordTextBox, 1);
    EXPECT_TRUE(run(path, {u"alpha"_s}, {u"Omega"_s}).changed);
    EXPECT_EQ(storyText(readFile(path), RtfStoryKind::WordArt), u"Omega art");
}

TEST_F(RtfEngine, ReplacesInNotesAlwaysAndIgnoringCase)
{
    options.setValue(Option::MatchCase, 1);
    options.setValue(Option::HeaderFooter, 0);
    const QByteArray after = replaced(u"01_stories.rtf"_s, {u"ALPHA FOOTNOTE"_s}, {u"Omega note"_s});
    EXPECT_EQ(storyText(after, RtfStoryKind::Note), u"\t脚注 Omega note");
    EXPECT_TRUE(last.changed);
}

TEST_F(RtfEngine, ReplacesInFieldResultsTakingAFieldOnlyWithItsWholeResult)
{
    // An occurrence that begins before a field and takes all its result takes the field; one that takes
    // part of it leaves the field. Field results are searched, their instructions never.
    const QString path = fileWith(kFieldResults);
    EXPECT_TRUE(run(path, {u"Page1"_s, u"oob"_s}, {u"X"_s, u"OOB"_s}).changed);
    EXPECT_EQ(storyText(readFile(path), RtfStoryKind::Main), u"X and fOOBar.");
    EXPECT_FALSE(readFile(path).contains("PAGE"));
    EXPECT_TRUE(readFile(path).contains("{\\fldrslt ar}"));

    const QByteArray after = replaced(u"01_stories.rtf"_s, {u"Alpha link"_s}, {u"Omega link"_s});
    EXPECT_TRUE(storyText(after, RtfStoryKind::Main).contains(u"Link Omega link done."));
    EXPECT_TRUE(after.contains("HYPERLINK \"http://example.com/Alpha\""));
}

TEST_F(RtfEngine, SectionAndParagraphSignsHaveTheirCodes)
{
    const QString path = fileWith("{\\rtf1\\ansi \\'a7 1 and \\'b6 2.}");
    EXPECT_TRUE(run(path, {u"^% 1"_s, u"^v 2"_s}, {u"^v one"_s, u"^% two"_s}).changed);
    EXPECT_EQ(storyText(readFile(path), RtfStoryKind::Main), u"¶ one and § two.");
}

TEST_F(RtfEngine, ReplacesHyperlinkAddressesOnlyWhenTheOptionIsExactlyOne)
{
    options.setValue(Option::HyperLink, 1);
    const QByteArray after = replaced(u"01_stories.rtf"_s, {u"EXAMPLE.com"_s}, {u"example.org"_s});
    EXPECT_TRUE(after.contains("HYPERLINK \"http://example.org/Alpha\"")) << "plain replacement, ignoring case";
    EXPECT_EQ(last.replacements, 1);
}

TEST_F(RtfEngine, GivesNotesTheDefinitionsTheMainTextSkips)
{
    const QByteArray after = replaced(u"01_stories.rtf"_s, {u"alpha footnote"_s}, {QString(256, u'x')});
    EXPECT_EQ(storyText(after, RtfStoryKind::Note), u"\t脚注 "_s + QString(256, u'x'));
}

TEST_F(RtfEngine, NeverRemovesTheMarkBeforeATableOrTheLastMarkOfAStory)
{
    const QByteArray table = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard before\\par \\trowd\\cellx2000\\cellx4000"
                             "\\pard\\intbl c1\\cell c2\\cell\\row \\pard after\\par last\\par}";
    const QByteArray stories = "{\\rtf1\\ansi{\\header \\pard Head one\\par}{\\footer \\pard Foot\\par}"
                               "\\pard Body{\\super\\chftn{\\*\\footnote \\pard\\chftn Note one\\par}}\\par}";
    // Fields whose results end with those marks: taking the rest of the result does not take the field.
    const QByteArray fieldTable = "{\\rtf1\\ansi\\pard by {\\field{\\*\\fldinst AUTHOR}{\\fldrslt Ann\\par}}"
                                  "\\trowd\\cellx2000\\pard\\intbl c1\\cell\\row \\pard after\\par}";
    const QByteArray fieldLast = "{\\rtf1\\ansi\\pard by {\\field{\\*\\fldinst AUTHOR}{\\fldrslt Ann\\par}}}";
    struct Case {
        QByteArray rtf;
        QString find;
        QByteArray expected; // the saved bytes; the original when nothing may change
    };
    const Case cases[] = {
        {table, u"^p"_s, QByteArray(table).replace("after\\par last", "afterlast")},
        {table, u"e^p"_s, table},
        {table, u"before^p"_s, table},
        {stories, u"^p"_s, stories},
        {stories, u"e^p"_s, stories},
        {stories, u"one^p"_s, stories},
        {fieldTable, u" Ann"_s, QByteArray(fieldTable).replace("by {", "by{").replace("Ann", "")},
        {fieldLast, u" Ann"_s, QByteArray(fieldLast).replace("by {", "by{").replace("Ann", "")},
    };
    options.setValue(Option::HeaderFooter, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.find.toStdString() + " in " + c.rtf.toStdString());
        const QString path = fileWith(c.rtf);
        last = run(path, {c.find}, {QString()});
        EXPECT_EQ(readFile(path), c.expected);
        EXPECT_EQ(last.changed, c.expected != c.rtf);
    }

    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QString path = fileWith(table);
    ASSERT_TRUE(run(path, {u"^p"_s}, {QString()}).changed);
    const QString text = varnel::test::textByLibreOffice(path);
    EXPECT_TRUE(text.startsWith(u"before\n"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"afterlast"_s)) << text.toStdString();
}

TEST_F(RtfEngine, RecordsReplacementsAsTrackedChangesWhenTheDocumentTracksThem)
{
    struct Case {
        QByteArray rtf;
        QString find;
        QString replace;
        QByteArray expected; // with every \revdttm value written as D
    };
    const Case cases[] = {
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\revisions\\pard Alpha beta\\par}", u"Alpha"_s, u"Omega"_s,
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\*\\revtbl {Unknown;}{Varnel;}}\\revisions\\pard "
         "{\\deleted\\revauthdel1\\revdttmdelD Alpha}{\\revised\\revauth1\\revdttmD Omega} beta\\par}"},
        {"{\\rtf1\\ansi{\\*\\revtbl {Unknown;}{Li Lei;}}\\revisions Alpha\\par}", u"Alpha"_s, u"Omega"_s,
         "{\\rtf1\\ansi{\\*\\revtbl {Unknown;}{Li Lei;}{Varnel;}}\\revisions "
         "{\\deleted\\revauthdel2\\revdttmdelD Alpha}{\\revised\\revauth2\\revdttmD Omega}\\par}"},
        {"{\\rtf1{\\*\\revtbl {Unknown;}{Varnel;}}\\revprot Al{\\b pha}\\par}", u"Alpha"_s, QString(),
         "{\\rtf1{\\*\\revtbl {Unknown;}{Varnel;}}\\revprot {\\deleted\\revauthdel1\\revdttmdelD Al}"
         "{\\b {\\deleted\\revauthdel1\\revdttmdelD pha}}\\par}"},
        {"{\\rtf1\\enforceprot1\\protlevel0 a\\par b\\par}", u"a^pb"_s, u"\u4E2D"_s,
         "{\\rtf1{\\*\\revtbl {Unknown;}{Varnel;}}\\enforceprot1\\protlevel0 "
         "{\\deleted\\revauthdel1\\revdttmdelD a\\par b}{\\revised\\revauth1\\revdttmD \\u20013?}\\par}"},
        // The field whose whole result an occurrence took is deleted with it, code and all.
        {"{\\rtf1{\\*\\revtbl {Unknown;}{Varnel;}}\\revisions by {\\field{\\*\\fldinst AUTHOR}{\\fldrslt Ann}} beta\\par}",
         u"by Ann"_s, u"Omega"_s,
         "{\\rtf1{\\*\\revtbl {Unknown;}{Varnel;}}\\revisions {\\deleted\\revauthdel1\\revdttmdelD by }"
         "{\\revised\\revauth1\\revdttmD Omega}{\\deleted\\revauthdel1\\revdttmdelD "
         "{\\field{\\*\\fldinst AUTHOR}{\\fldrslt Ann}}} beta\\par}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rtf.toStdString());
        const QString path = fileWith(c.rtf);
        last = run(path, {c.find}, {c.replace});
        EXPECT_TRUE(last.changed);
        EXPECT_EQ(last.replacements, 1);
        const QByteArray saved = readFile(path);
        EXPECT_EQ(QString::fromLatin1(saved).replace(QRegularExpression(u"(\\\\revdttm(del)?)-?[0-9]+"_s), u"\\1D"_s),
                  QString::fromLatin1(c.expected));
        EXPECT_EQ(storyText(saved, RtfStoryKind::Main).remove(u'\r'),
                  QString::fromLatin1(c.rtf).contains(u"beta"_s) ? c.replace + u" beta"_s : c.replace)
            << "deleted text is no longer text";
    }

    // A second run finds the author in the table it wrote.
    const QString path = fileWith(cases[0].rtf);
    run(path, {u"Alpha"_s}, {u"Omega"_s});
    run(path, {u"beta"_s}, {u"gamma"_s});
    EXPECT_EQ(readFile(path).count("{Varnel;}"), 1);
    EXPECT_TRUE(readFile(path).contains("{\\revised\\revauth1\\revdttm"));
}

TEST_F(RtfEngine, LeavesMalformedFilesByteIdenticalWithAnError)
{
    const QByteArray good = readFile(varnel::test::dataPath(u"office/rtf/01_stories.rtf"_s));
    for (const QByteArray& bad : {good.first(good.size() / 2), QByteArray("plain text Alpha"), good + "}",
                                  QByteArray("{\\rtf1 Alpha \\bin99 x}")}) {
        const QString path = fileWith(bad);
        last = run(path, {u"Alpha"_s}, {u"Omega"_s});
        EXPECT_FALSE(last.changed);
        EXPECT_TRUE(last.error.endsWith(u"未作修改"_s)) << last.error.toStdString();
        EXPECT_EQ(readFile(path), bad);
    }
}

TEST_F(RtfEngine, RefusesADocumentProtectedAgainstEveryChange)
{
    const QByteArray rtf = "{\\rtf1\\ansi\\enforceprot1\\protlevel3 Alpha\\par}";
    const QString path = fileWith(rtf);
    last = run(path, {u"Alpha"_s}, {u"Omega"_s});
    EXPECT_FALSE(last.changed);
    EXPECT_EQ(last.error, u"文档设置了“编辑限制”，无法修改！"_s);
    EXPECT_EQ(ui.notices, QStringList{u"文档“"_s + path + u"”设置了“编辑限制”，无法修改！"_s});
    EXPECT_EQ(readFile(path), rtf);
}

TEST_F(RtfEngine, WritesExactlyTheReplacedTextAndReportsRefusedDefinitions)
{
    const struct {
        const char* what;
        QByteArray rtf;
        QStringList finds, replaces;
        QByteArray expected;
        QString error; // a piece of the reported error; empty when there is none
    } cases[] = {
        {"an invalid special code leaves the other definitions", "{\\rtf1\\ansi Alpha Beta\\par}",
         {u"^x"_s, u"Beta"_s}, {u"y"_s, u"Gamma"_s}, "{\\rtf1\\ansi Alpha Gamma\\par}", u"不是有效的特殊字符"_s},
        {"addresses are replaced even when Word's find refuses the text",
         "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://a/^x\" }{\\fldrslt ^x}}}", {u"^x"_s}, {u"y"_s},
         "{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://a/y\" }{\\fldrslt ^x}}}", u"^x"_s},
        {"deleted revisions around the text stay", "{\\rtf1 Al{\\deleted X}pha\\par}", {u"Alpha"_s}, {u"Omega"_s},
         "{\\rtf1 Omega{\\deleted X}\\par}", {}},
    };
    options.setValue(Option::HyperLink, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ui.progressTexts.clear();
        const QString path = fileWith(c.rtf);
        last = run(path, c.finds, c.replaces);
        EXPECT_TRUE(last.changed);
        EXPECT_EQ(last.error.isEmpty(), c.error.isEmpty()) << last.error.toStdString();
        EXPECT_TRUE(last.error.contains(c.error)) << last.error.toStdString();
        EXPECT_EQ(readFile(path), c.expected);
        QStringList progress; // shown per definition
        for (qsizetype k = 1; k <= c.finds.size(); ++k)
            progress.append(u"正在处理第 1 个文件，替换第 %1 项"_s.arg(k));
        EXPECT_EQ(ui.progressTexts, progress);
    }
}

TEST_F(RtfEngine, DryRunCountsButWritesNothing)
{
    dryRun = true;
    const QString path = copyOf(u"01_stories.rtf"_s);
    const QByteArray before = readFile(path);
    last = run(path, {u"Alpha"_s}, {u"Omega"_s});
    EXPECT_TRUE(last.changed);
    EXPECT_EQ(last.replacements, 8) << "body twice, link, cell, header, footer, text box, note";
    EXPECT_EQ(readFile(path), before);
}

TEST_F(RtfEngine, AFailedWriteLeavesTheFileAndReportsIt)
{
    FailingWrite io;
    varnel::ScopedFileIo guard(io);
    const QString path = copyOf(u"01_stories.rtf"_s);
    const QByteArray before = readFile(path);
    last = run(path, {u"Alpha"_s}, {u"Omega"_s});
    EXPECT_FALSE(last.changed);
    EXPECT_EQ(last.error, u"写入文件失败：disk full"_s);
    EXPECT_EQ(readFile(path), before);
}

TEST_F(RtfEngine, DamagedDocumentsAreRefusedOrChangeInTheReplacedTextOnly)
{
    expectDamagedCopiesChangeOnlyInReplacedText(u"01_stories.rtf"_s, u"Alpha"_s, u"Omega"_s);
    expectDamagedCopiesChangeOnlyInReplacedText(u"02_gbk_wordpad.rtf"_s, u"中文"_s, u"汉语"_s);
}

TEST_F(RtfEngine, LibreOfficeShowsNoFieldAfterAcceptingARecordedReplacementOfItsWholeResult)
{
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QString path = fileWith("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\revisions\\pard Written by "
                                  "{\\field{\\*\\fldinst AUTHOR}{\\fldrslt Xavier}} today\\par}");
    const QString original = varnel::test::fodtText(varnel::test::fodtByLibreOffice(path), true);
    ASSERT_EQ(original, u"Written by Xavier today|"_s);
    ASSERT_TRUE(run(path, {u"by Xavier"_s}, {u"by Yves"_s}).changed);
    const QByteArray fodt = varnel::test::fodtByLibreOffice(path);
    EXPECT_EQ(varnel::test::fodtText(fodt, true), u"Written by Yves today|"_s);
    EXPECT_EQ(varnel::test::fodtText(fodt, false), original);
}

TEST_F(RtfEngine, LibreOfficeShowsTheReplacementsOfADocumentThatTracksChangesAsTrackedChanges)
{
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QString path = copyOf(u"04_track_changes.rtf"_s);
    const QString original = varnel::test::fodtText(varnel::test::fodtByLibreOffice(path), true);
    ASSERT_EQ(original, u"旧公司名 records its changes: old words stay visible.|Second old paragraph.|Cell old text|"
                        u"Last old paragraph.|"_s);
    ASSERT_TRUE(run(path, {u"old"_s, u"旧公司名"_s, u"stay visible"_s}, {u"new"_s, u"新公司名"_s, QString()}).changed);
    const QByteArray fodt = varnel::test::fodtByLibreOffice(path);
    QStringList authors;
    EXPECT_EQ(varnel::test::fodtText(fodt, true, &authors),
              u"新公司名 records its changes: new words .|Second new paragraph.|Cell new text|Last new paragraph.|"_s);
    EXPECT_EQ(varnel::test::fodtText(fodt, false), original);
    EXPECT_GE(authors.size(), 9);
    EXPECT_EQ(authors.count(u"Varnel"_s), authors.size());
}

TEST_F(RtfEngine, SavedDocumentsStillOpenInLibreOffice)
{
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    options.setValue(Option::MatchCase, 0);
    const QString path = copyOf(u"01_stories.rtf"_s);
    last = run(path, {u"alpha"_s, u"中文"_s, u"split"_s}, {u"omega"_s, u"汉语"_s, u"whole"_s});
    ASSERT_TRUE(last.changed) << last.error.toStdString();
    const QString page = htmlText(varnel::test::convertByLibreOffice(path, u"html"_s, u"html"_s));
    for (const QString& expected :
         {u"Omega 汉语世界 body text, OMEGA, Ａｌｐｈａ and Omegabet."_s, u"A whole word and 汉语字."_s,
          u"页眉 Header Omega"_s, u"页脚 Footer Omega"_s, u"脚注 omega footnote"_s, u"文本框 Omega box"_s,
          u"Link Omega link done."_s, u"Cell Omega"_s})
        EXPECT_TRUE(page.contains(expected)) << expected.toStdString() << "\n" << page.toStdString();

    for (const QString& name : {u"02_gbk_wordpad.rtf"_s, u"03_libreoffice_resaved.rtf"_s}) {
        const QString gbk = copyOf(name);
        ASSERT_TRUE(run(gbk, {u"替换"_s, u"說這"_s, u"中文字"_s}, {u"更换"_s, u"说这"_s, u"汉字"_s}).changed);
        const QString text = varnel::test::textByLibreOffice(gbk);
        EXPECT_TRUE(text.contains(u"中文更换测试 Alpha 说这\n汉字\n中文 Word style")) << text.toStdString();
    }
}
