#include "office/rtf/RtfDocument.h"
#include "office/rtf/RtfEditor.h"
#include "office/rtf/RtfTokenizer.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace varnel;
using namespace Qt::Literals::StringLiterals;

namespace {

QString mainText(const QByteArray& rtf)
{
    RtfDocument document;
    EXPECT_TRUE(document.parse(rtf)) << document.error().toStdString();
    return document.text(RtfStoryKind::Main);
}

QString parseError(const QByteArray& rtf)
{
    RtfDocument document;
    EXPECT_FALSE(document.parse(rtf));
    return document.error();
}

} // namespace

TEST(RtfTokenizer, KeepsEveryByteInSomeToken)
{
    const QByteArray rtf = "{\\rtf1\\ansi \\b bold\\b0\\'e9\\~{\\*\\x y}\r\n\\bin3 {}}\\par}";
    RtfTokenizer tokens(rtf);
    qsizetype covered = 0;
    for (RtfToken t = tokens.next(); t.type != RtfTokenType::End; t = tokens.next()) {
        ASSERT_NE(t.type, RtfTokenType::Error) << tokens.error().toStdString();
        EXPECT_EQ(t.begin, covered);
        covered = t.end;
        if (t.isWord("bin")) {
            EXPECT_EQ(t.text, QByteArrayView("{}}")) << "binary data is part of \\bin, braces included";
        }
    }
    EXPECT_EQ(covered, rtf.size());
}

TEST(RtfDocument, ReadsEveryStoryOfALibreOfficeDocumentAndMarksPageStyleCopiesAsMirrors)
{
    RtfDocument document;
    ASSERT_TRUE(document.parse(test::readFile(test::dataPath("office/rtf/01_stories.rtf"))));
    const QString body = document.text(RtfStoryKind::Main);
    EXPECT_TRUE(body.contains(u"Alpha 中文世界 body text")) << body.toStdString();
    EXPECT_TRUE(body.contains(u"A split word and 中文字.")) << "formatting runs do not split the text";
    EXPECT_TRUE(body.contains(u"Link Alpha link done.")) << "field results are text";
    EXPECT_FALSE(body.contains(u"HYPERLINK")) << "field instructions are not";
    EXPECT_TRUE(document.text(RtfStoryKind::FieldInstruction).contains(u"HYPERLINK \"http://example.com/Alpha\""));
    EXPECT_FALSE(body.contains(u"Times New Roman")) << "the font table is not";
    EXPECT_FALSE(body.contains(u"Normal")) << "the style sheet is not";
    EXPECT_TRUE(body.endsWith(u"Tab\there\u000Bnext line.\rLast paragraph.")) << "the last mark is not text";
    EXPECT_EQ(document.text(RtfStoryKind::HeaderFooter), u"页眉 Header Alpha\n页脚 Footer Alpha");
    EXPECT_EQ(document.text(RtfStoryKind::Note), u"\t脚注 Alpha footnote");
    EXPECT_EQ(document.text(RtfStoryKind::TextBox), u"文本框 Alpha box");
    int mirrors = 0;
    for (const RtfStory& story : document.stories())
        mirrors += story.mirror ? 1 : 0;
    EXPECT_EQ(mirrors, 2) << "the header and footer copies in \\pgdsctbl";
}

TEST(RtfDocument, SplitsTextAtCellsAndNotesButReadsFieldResultsOnWithTheirText)
{
    RtfDocument document;
    ASSERT_TRUE(document.parse(test::readFile(test::dataPath("office/rtf/01_stories.rtf"))));
    QStringList segments;
    for (const RtfSegment& segment : document.stories().front().segments)
        segments.append(segment.text);
    EXPECT_TRUE(segments.contains(u" end.\rLink Alpha link done.\r")) << segments.join(u'|').toStdString();
    EXPECT_TRUE(segments.contains(u"单元格"));
    EXPECT_TRUE(segments.contains(u"Anchor para.")) << "the mark before a table is not text";
    EXPECT_TRUE(segments.contains(u"Cell Alpha"));
    EXPECT_TRUE(segments.join(u'|').contains(u"Note here| end.")) << "the footnote's mark is a barrier";
}

TEST(RtfDocument, LeavesTheMarkBeforeATableAndTheLastMarkOfAStoryOutOfTheText)
{
    struct Case {
        QByteArray rtf;
        QString text;
    };
    const Case cases[] = {
        {"{\\rtf1 a\\par b\\par \\trowd\\cellx9\\pard\\intbl c\\cell\\row\\pard d\\par e\\par}", u"a\rbcd\re"_s},
        {"{\\rtf1 a\\par b\\par \\trowd\\cellx9\\pard\\intbl\\cell\\row\\pard d\\par}", u"a\rbd"_s},
        {"{\\rtf1 \\pard\\intbl a\\par b\\par \\itap2 c\\nestcell\\nestrow\\itap1 d\\cell\\row}", u"a\rbcd"_s},
        {"{\\rtf1 a\\par b}", u"a\rb"_s},
        {"{\\rtf1 a\\par\\par}", u"a\r"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mainText(c.rtf), c.text) << c.rtf.toStdString();
}

TEST(RtfDocument, DecodesGbkEscapesAndUnicodeWithFallback)
{
    // \'d5f is 說: a GBK trail byte in the ASCII range is written as the character itself.
    EXPECT_EQ(mainText(test::readFile(test::dataPath("office/rtf/02_gbk_wordpad.rtf"))),
              u"中文替换测试 Alpha 說這\r中文字\r中文 Word style");
    // LibreOffice's copy writes \uc2 with Shift-JIS fallback bytes, having taken the font for Japanese.
    EXPECT_EQ(mainText(test::readFile(test::dataPath("office/rtf/03_libreoffice_resaved.rtf"))),
              u"中文替换测试 Alpha 說這\r中文字\r中文 Word style");
}

TEST(RtfDocument, TakesTheCodePageFromTheFontOrTheDocument)
{
    EXPECT_EQ(mainText("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0 \\'d6\\'d0}"), u"中");
    EXPECT_EQ(mainText("{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 \\'d6\\'d0}"), u"中");
    EXPECT_EQ(mainText("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 \\'e9}"), u"é");
    EXPECT_EQ(mainText("{\\rtf1\\ansi\\ansicpg1251 \\'e9}"), u"й");
    EXPECT_EQ(mainText("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset134 SimSun;}}"
                       "\\f0\\dbch\\af1 \\'d6\\'d0\\loch x}"),
              u"中x")
        << "a double-byte run uses its associated font";
}

TEST(RtfDocument, SkipsFallbackCharactersAsTheUcCountSays)
{
    EXPECT_EQ(mainText("{\\rtf1\\uc1\\u20013?abc}"), u"中abc");
    EXPECT_EQ(mainText("{\\rtf1\\uc0\\u20013 abc}"), u"中abc");
    EXPECT_EQ(mainText("{\\rtf1\\uc2\\u20013\\'d6\\'d0x}"), u"中x");
    EXPECT_EQ(mainText("{\\rtf1{\\uc2\\u20013??}\\u20013?x}"), u"中中x") << "\\uc is scoped to its group";
    EXPECT_EQ(mainText("{\\rtf1\\u-10179?\\u-8704?}"), u"\U0001F600");
    EXPECT_EQ(mainText("{\\rtf1\\uc3\\u20013?\\par x}"), u"中\rx") << "a control word ends the fallback";
}

TEST(RtfDocument, MapsControlWordsToWordsCharacters)
{
    EXPECT_EQ(mainText("{\\rtf1 a\\tab b\\line c\\~d\\-e\\_f\\emdash\\ldblquote\\{\\}\\\\\\par x\\par}"),
              u"a\tb\u000Bc\u00A0d\u001Fe\u001Ef—“{}\\\rx");
}

TEST(RtfDocument, SkipsDestinationsWithoutDocumentText)
{
    EXPECT_EQ(mainText("{\\rtf1{\\info{\\title T}{\\author A}}{\\*\\bkmkstart b}x{\\*\\bkmkend b}y"
                       "{\\pict\\wmetafile8 0102}{\\*\\unknown z}{\\listtext 1.}w}"),
              u"xyw");
}

TEST(RtfDocument, PassesOverDeletedRevisions)
{
    RtfDocument document;
    ASSERT_TRUE(document.parse("{\\rtf1 Al{\\deleted X}pha {\\deleted gone\\par}next\\par}"));
    const RtfStory& body = document.stories().front();
    ASSERT_EQ(body.segments.size(), 2u) << "a deleted paragraph mark joins nothing";
    EXPECT_EQ(body.segments[0].text, u"Alpha ");
    EXPECT_EQ(body.segments[1].text, u"next");
}

TEST(RtfDocument, ReadsTheShapeTextOfDrawingObjectsAsAMirrorInShapeResults)
{
    RtfDocument document;
    ASSERT_TRUE(document.parse("{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn t}{\\sv 1}}{\\shptxt box}}"
                               "{\\shprslt{\\*\\do\\dobxcolumn{\\dptxbxtext box}}}}b}"));
    ASSERT_EQ(document.stories().size(), 3u);
    EXPECT_EQ(document.text(RtfStoryKind::TextBox), u"box");
    EXPECT_TRUE(document.stories()[2].mirror);
    EXPECT_EQ(document.stories()[0].segments.size(), 2u) << "the shape separates a from b";
}

TEST(RtfDocument, ReadsWordArtTextFromItsShapeProperty)
{
    RtfDocument document;
    ASSERT_TRUE(document.parse("{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 136}}"
                               "{\\sp{\\sn gtextUNICODE}{\\sv Alpha \\u33402?}}{\\sp{\\sn gtextFont}{\\sv Arial}}}}b}"));
    EXPECT_EQ(document.text(RtfStoryKind::WordArt), u"Alpha 艺");
    EXPECT_EQ(document.text(RtfStoryKind::Main), u"ab");
}

TEST(RtfDocument, RefusesDataThatIsNotWellFormedRtf)
{
    EXPECT_TRUE(parseError("").contains(u"{\\rtf"));
    EXPECT_TRUE(parseError("hello {\\rtf1 x}").contains(u"{\\rtf"));
    EXPECT_TRUE(parseError("{\\rtf1 {\\b x}").contains(u"没有闭合"));
    EXPECT_TRUE(parseError("{\\rtf1 x}}").contains(u"不配对"));
    EXPECT_TRUE(parseError("{\\rtf1 x}\r\n{\\b y}").contains(u"不配对"));
    EXPECT_FALSE(parseError("{\\rtf1 \\bin10 abc}").isEmpty());
    EXPECT_FALSE(parseError("{\\rtf1 x\\").isEmpty());
    EXPECT_FALSE(parseError("{\\rtf1 x\\'4").isEmpty());
    EXPECT_EQ(mainText(QByteArray("{\\rtf1 x}\r\n\0\0", 9)), u"x") << "padding after the document is accepted";
}

TEST(RtfDocument, KnowsADocumentWhoseProtectionKeepsReplaceAllOut)
{
    RtfDocument document;
    ASSERT_TRUE(document.parse("{\\rtf1\\enforceprot1\\protlevel3 x}"));
    EXPECT_TRUE(document.editingRestricted());
    ASSERT_TRUE(document.parse("{\\rtf1\\enforceprot0\\protlevel3 x}"));
    EXPECT_FALSE(document.editingRestricted());
    for (const char* rtf : {"{\\rtf1\\enforceprot1\\protlevel2 x}", "{\\rtf1\\enforceprot1\\protlevel1 x}"}) {
        ASSERT_TRUE(document.parse(rtf));
        EXPECT_TRUE(document.editingRestricted()) << rtf << ": Word cannot replace in forms or comments only";
    }
    ASSERT_TRUE(document.parse("{\\rtf1\\enforceprot1\\protlevel0 x}"));
    EXPECT_FALSE(document.editingRestricted()) << "tracked changes protection only records the changes";
}

TEST(RtfEditor, EncodesTextForTheContextItIsWrittenIn)
{
    RtfChar chinese;
    chinese.uc = 2;
    chinese.codePage = 936;
    EXPECT_EQ(RtfEditor::encode(u"中", chinese), QByteArray("\\u20013\\'d6\\'d0"));
    RtfChar western;
    EXPECT_EQ(RtfEditor::encode(u"中é", western), QByteArray("\\u20013?\\u233\\'e9"));
    RtfChar noFallback;
    noFallback.uc = 0;
    EXPECT_EQ(RtfEditor::encode(u"中", noFallback), QByteArray("\\u20013 "));
    EXPECT_EQ(RtfEditor::encode(u"a{b}\\c", western), QByteArray("a\\{b\\}\\\\c"));
    EXPECT_EQ(RtfEditor::encode(u"a\rb\tc\u000Bd\u00A0e", western), QByteArray("a\\par b\\tab c\\line d\\~e"));
    EXPECT_EQ(RtfEditor::encode(u"\U0001F600", western), QByteArray("\\u-10179?\\u-8704?"));
    RtfChar manyFallbacks;
    manyFallbacks.uc = 2000000000;
    EXPECT_EQ(RtfEditor::encode(u"a中", manyFallbacks), QByteArray("\\uc1 a\\u20013?\\uc2000000000 "));
    EXPECT_EQ(RtfEditor::encode(u"ab", manyFallbacks), QByteArray("ab"));
}

TEST(RtfEditor, KeepsAControlWordFromSwallowingTheTextAfterIt)
{
    const QByteArray rtf = "{\\rtf1\\b\\u20013?abc\\i\\u25991? x}";
    RtfDocument document;
    ASSERT_TRUE(document.parse(rtf));
    const RtfSegment& segment = document.stories().front().segments.front();
    ASSERT_EQ(segment.text, u"中abc文 x");
    RtfEditor editor(document);
    editor.replace(segment, 0, 1, QString());
    editor.replace(segment, 4, 1, QStringLiteral("1"));
    const QByteArray edited = editor.apply(rtf);
    EXPECT_EQ(edited, QByteArray("{\\rtf1\\b abc\\i 1 x}"));
    EXPECT_EQ(mainText(edited), u"abc1 x");
}
