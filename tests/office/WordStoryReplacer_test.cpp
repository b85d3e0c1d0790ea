#include "office/docx/WordMatcher.h"
#include "office/docx/WordNames.h"
#include "office/docx/WordReplacement.h"
#include "office/docx/WordRevision.h"
#include "office/docx/WordStoryReplacer.h"
#include "office/docx/WordStoryText.h"

#include "WordStoryDiff.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace Qt::Literals::StringLiterals;
using varnel::office::WordFindOptions;
using varnel::office::WordMatcher;
using varnel::office::WordNames;
using varnel::office::WordReplacement;
using varnel::office::WordRevision;
using varnel::office::WordStoryReplacer;
using varnel::office::WordStoryText;

namespace {

// A body of WordprocessingML, edited in memory.
class Body
{
public:
    explicit Body(const std::string& content)
    {
        const std::string xml = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                                "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                                "<w:body>"
            + content + "</w:body></w:document>";
        const pugi::xml_parse_result result =
            m_doc.load_string(xml.c_str(), pugi::parse_full & ~pugi::parse_eol & ~pugi::parse_wconv_attribute);
        EXPECT_TRUE(result) << result.description();
        m_names = std::make_unique<WordNames>(m_doc.document_element());
    }

    // Replace All; recorded as tracked changes when revision is given.
    int replace(const QString& find, const QString& replace, WordFindOptions options = {},
                WordRevision* revision = nullptr)
    {
        WordMatcher matcher;
        WordReplacement replacement;
        QString error;
        EXPECT_TRUE(matcher.compile(find, options, &error)) << error.toStdString();
        EXPECT_TRUE(replacement.compile(replace, options.wildcards, &error)) << error.toStdString();
        WordStoryReplacer replacer(*m_names);
        replacer.setRevision(revision);
        return replacer.replaceAll(body(), matcher, replacement);
    }

    pugi::xml_node body() const { return m_doc.document_element().child("w:body"); }

    // Replaces on a story text read before and reports whether that text, kept up to date by the edits,
    // equals a fresh reading of the edited body. Empty when it does.
    std::string replaceKeepingText(const QString& find, const QString& replace, bool* textValid)
    {
        WordMatcher matcher;
        WordReplacement replacement;
        QString error;
        EXPECT_TRUE(matcher.compile(find, {}, &error));
        EXPECT_TRUE(replacement.compile(replace, false, &error));
        WordStoryText kept(*m_names, body());
        WordStoryReplacer(*m_names).replaceAll(kept, matcher, replacement, textValid);
        return varnel::test::storyTextDiff(kept, WordStoryText(*m_names, body()), false);
    }

    // The body's XML without the wrapper.
    std::string xml() const
    {
        std::ostringstream out;
        for (pugi::xml_node child : body().children())
            child.print(out, "", pugi::format_raw);
        return out.str();
    }

    // The visible text of each top-level paragraph, "|" between paragraphs.
    QString paragraphs() const
    {
        QStringList texts;
        for (pugi::xml_node p : body().children("w:p"))
            texts.append(textOf(p));
        return texts.join(u'|');
    }

private:
    static QString textOf(pugi::xml_node node)
    {
        QString text;
        for (pugi::xml_node child : node.children()) {
            const std::string name = child.name();
            if (name == "w:t")
                text += QString::fromUtf8(child.text().get());
            else if (name == "w:tab")
                text += u'\t';
            else if (name == "w:br")
                text += u'\n';
            else if (name != "w:del" && name != "w:pPr" && name != "w:instrText")
                text += textOf(child);
        }
        return text;
    }

    pugi::xml_document m_doc;
    std::unique_ptr<WordNames> m_names;
};

const std::string p(const std::string& runs)
{
    return "<w:p>" + runs + "</w:p>";
}

const std::string r(const std::string& text, const std::string& props = {})
{
    return "<w:r>" + (props.empty() ? std::string() : "<w:rPr>" + props + "</w:rPr>") + "<w:t>" + text + "</w:t></w:r>";
}

// A run whose text keeps its spaces at the edges.
std::string rs(const std::string& text)
{
    return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

// A complex field: its code hidden, its result shown.
std::string field(const std::string& code, const std::string& result)
{
    return "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>" + code
        + "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" + r(result)
        + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
}

std::string simpleField(const std::string& code, const std::string& result)
{
    return "<w:fldSimple w:instr=\"" + code + "\">" + r(result) + "</w:fldSimple>";
}

std::string hyperlink(const std::string& text)
{
    return "<w:hyperlink r:id=\"rId1\">" + r(text) + "</w:hyperlink>";
}

// One Replace All on a body: the count it gives and the body's XML afterwards.
struct ReplaceCase {
    const char* what;
    std::string before;
    QString find, replace;
    int count;
    std::string after;
    WordFindOptions options = {};
};

template<size_t N>
void expectReplacements(const ReplaceCase (&cases)[N])
{
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.what);
        Body body(c.before);
        EXPECT_EQ(body.replace(c.find, c.replace, c.options), c.count);
        EXPECT_EQ(body.xml(), c.after);
    }
}

} // namespace

TEST(WordStoryReplacer, RewritesOnlyTheRunsOfAnOccurrence)
{
    const std::string bookmark = "<w:bookmarkStart w:id=\"0\" w:name=\"m\"/>";
    const std::string tabsAndBreaks = "<w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t><w:noBreakHyphen/><w:t>d</w:t></w:r>";
    const auto tables = [](const std::string& text) {
        const std::string nested = "<w:tbl><w:tr><w:tc>" + p(r(text)) + "</w:tc></w:tr></w:tbl>";
        return "<w:tbl><w:tblPr/><w:tr><w:tc>" + p(r(text)) + "</w:tc><w:tc>" + nested + "<w:p/></w:tc></w:tr></w:tbl>"
            + p(r(text));
    };
    const ReplaceCase cases[] = {
        {"text split across runs takes the first character's formatting", p(r("Hel", "<w:b/>") + r("lo", "<w:i/>") + r(" world")),
         u"Hello"_s, u"Bye"_s, 1, p(r("Bye", "<w:b/>") + r(" world"))},
        {"the text around an occurrence stays in its runs", p(r("abXY", "<w:b/>") + r("Zcd")), u"XYZ"_s, u"-"_s, 1,
         p(r("ab-", "<w:b/>") + r("cd"))},
        {"a text starting with a space is preserved", p(r("a-b")), u"a"_s, u" "_s, 1,
         p("<w:r><w:t xml:space=\"preserve\"> -b</w:t></w:r>")},
        {"tabs, breaks and hyphens are found by their codes", p(tabsAndBreaks), u"a^tb^lc^~d"_s, u"x"_s, 1, p(r("x"))},
        {"special characters of the replacement become elements", p(r("a-b", "<w:b/>")), u"-"_s, u"^t^l^m^n^~^-"_s, 1,
         p("<w:r><w:rPr><w:b/></w:rPr><w:t>a</w:t><w:tab/><w:br/><w:br w:type=\"page\"/>"
           "<w:br w:type=\"column\"/><w:noBreakHyphen/><w:softHyphen/><w:t>b</w:t></w:r>")},
        {"joined paragraphs keep the last paragraph's properties",
         "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr>" + r("ab") + "</w:p><w:p><w:pPr><w:jc w:val=\"right\"/></w:pPr>"
             + r("cd", "<w:i/>") + "</w:p>",
         u"b^pc"_s, u"X"_s, 1, "<w:p><w:pPr><w:jc w:val=\"right\"/></w:pPr>" + r("aX") + r("d", "<w:i/>") + "</w:p>"},
        {"emptied runs and revision wrappers go", p(r("a") + "<w:ins w:id=\"1\" w:author=\"a\">" + r("b") + "</w:ins>" + r("c")),
         u"abc"_s, u"x"_s, 1, p(r("x"))},
        {"an emptied hyperlink goes", p(r("see ") + "<w:hyperlink r:id=\"rId1\">" + r("here") + "</w:hyperlink>"), u"here"_s,
         u""_s, 1, p(r("see "))},
        {"bookmarks between matched runs stay", p(r("ab") + bookmark + r("cd") + "<w:bookmarkEnd w:id=\"0\"/>"), u"bc"_s,
         u"X"_s, 1, p(r("aX") + bookmark + r("d") + "<w:bookmarkEnd w:id=\"0\"/>")},
        {"a replacement equal to the found text changes nothing", p(r("ab", "<w:b/>") + r("c")), u"(abc)"_s, u"\\1"_s, 0,
         p(r("ab", "<w:b/>") + r("c")), {true, false, true}},
        {"a drawing keeps the text around it apart", p(r("fo") + "<w:r><w:drawing/></w:r>" + r("o")), u"foo"_s,
         u"bar"_s, 0, p(r("fo") + "<w:r><w:drawing/></w:r>" + r("o"))},
        {"a replacement is never searched again", p(r("a a")), u"a"_s, u"aa"_s, 2, p(r("aa aa"))},
        {"tables and nested tables are searched", tables("foo"), u"foo"_s, u"bar"_s, 3, tables("bar")},
    };
    expectReplacements(cases);
}

TEST(WordStoryReplacer, WhiteSpaceAtTheEdgesOfATextWithoutPreserveIsNoText)
{
    const auto t = [](const std::string& attributes, const std::string& text) {
        return "<w:r><w:t" + attributes + ">" + text + "</w:t></w:r>";
    };
    const std::string preserve = " xml:space=\"preserve\"";
    const ReplaceCase cases[] = {
        {"a rewritten text drops the space it hid", p(r(" A tachyon walks ")), u"walks"_s, u"runs"_s, 1,
         p(r("A tachyon runs"))},
        {"a hidden space is not found", p(r(" A b")), u" A"_s, u"B"_s, 0, p(r(" A b"))},
        {"a preserved space is found", p(t(preserve, " A")), u" A"_s, u"B"_s, 1, p(t(preserve, "B"))},
        {"runs whose spaces are hidden meet", p(r("Hidden") + r(" space ")), u"Hiddenspace"_s, u"X"_s, 1, p(r("X"))},
        {"a preserve further up the tree counts", "<w:p xml:space=\"preserve\">" + r(" A") + "</w:p>", u" A"_s,
         u"B"_s, 1, "<w:p xml:space=\"preserve\">" + r("B") + "</w:p>"},
        {"a replacement that needs its space overrides xml:space=\"default\"", p(t(" xml:space=\"default\"", "a")),
         u"a"_s, u" b"_s, 1, p(t(preserve, " b"))},
    };
    expectReplacements(cases);
}

TEST(WordStoryReplacer, FindsTextInHyperlinksRevisionsContentControlsSmartTagsAndSimpleFields)
{
    Body body(p("<w:hyperlink r:id=\"rId5\">" + r("foo") + "</w:hyperlink>")
              + p("<w:ins w:id=\"1\" w:author=\"a\">" + r("foo") + "</w:ins>")
              + p("<w:sdt><w:sdtPr/><w:sdtContent>" + r("foo") + "</w:sdtContent></w:sdt>")
              + p("<w:smartTag w:uri=\"u\" w:element=\"e\">" + r("foo") + "</w:smartTag>")
              + p("<w:fldSimple w:instr=\" DATE \">" + r("foo") + "</w:fldSimple>")
              + p(r("f") + "<w:ins w:id=\"2\" w:author=\"a\">" + r("oo") + "</w:ins>"));
    EXPECT_EQ(body.replace(u"foo"_s, u"bar"_s), 6);
    EXPECT_EQ(body.paragraphs(), u"bar|bar|bar|bar|bar|bar"_s);
}

TEST(WordStoryReplacer, WholeWordAndWordWildcardsSeeTheTextAcrossFieldAndHyperlinkEdges)
{
    const WordFindOptions whole{true, true, false};
    const WordFindOptions wild{true, false, true};
    const struct {
        const char* what;
        std::string before;
        QString find;
        WordFindOptions options;
        int count;
    } cases[] = {
        {"a word followed by a field's result", p(r("Page") + field("PAGE", "1")), u"Page"_s, whole, 0},
        {"a word followed by a simple field's result", p(r("Page") + simpleField("PAGE", "1")), u"Page"_s, whole, 0},
        {"a word followed by a space and a field", p(rs("Page ") + field("PAGE", "1")), u"Page"_s, whole, 1},
        {"a word followed by a hyperlink", p(r("foo") + hyperlink("bar")), u"foo"_s, whole, 0},
        {"a hyperlink's text after a word", p(r("foo") + hyperlink("bar")), u"bar"_s, whole, 0},
        {"a hyperlink after a space", p(rs("foo ") + hyperlink("bar")), u"bar"_s, whole, 1},
        {"> before a field's result", p(r("Page") + field("PAGE", "1")), u"Page>"_s, wild, 0},
        {"< at a field's result", p(r("Page") + field("PAGE", "1")), u"<1"_s, wild, 0},
        {"< at a hyperlink's text", p(r("foo") + hyperlink("bar")), u"<bar"_s, wild, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Body body(c.before);
        EXPECT_EQ(body.replace(c.find, u"X"_s, c.options), c.count);
    }
}

TEST(WordStoryReplacer, MatchesAcrossTheEdgesOfFieldResultsAndHyperlinks)
{
    Body link(p(r("fo") + hyperlink("o")));
    EXPECT_EQ(link.replace(u"foo"_s, u"bar"_s), 1);
    EXPECT_EQ(link.xml(), p(r("bar")));

    // An occurrence that begins before a field and takes all its result takes the field.
    Body page(p(rs("Page ") + field("PAGE", "1") + rs(" of")));
    EXPECT_EQ(page.replace(u"e 1 o"_s, u"e # o"_s), 1);
    EXPECT_EQ(page.xml(), p(rs("Page # o") + rs("f")));
    Body author(p(rs("by ") + simpleField("AUTHOR", "Ann")));
    EXPECT_EQ(author.replace(u"by Ann"_s, u"X"_s), 1);
    EXPECT_EQ(author.xml(), p(rs("X")));

    // Otherwise the field stays, and the replacement goes where the occurrence began.
    Body number(p(rs("No. ") + field("SEQ", "12")));
    EXPECT_EQ(number.replace(u". 1"_s, u". #"_s), 1);
    EXPECT_EQ(number.paragraphs(), u"No. #2"_s);
    EXPECT_NE(number.xml().find("<w:instrText>SEQ</w:instrText>"), std::string::npos);
    Body simple(p(simpleField("AUTHOR", "Ann") + r("e")));
    EXPECT_EQ(simple.replace(u"Anne"_s, u"Bob"_s), 1);
    EXPECT_EQ(simple.xml(), p(simpleField("AUTHOR", "Bob")));
}

TEST(WordStoryReplacer, FindsTheMarksOfNotesCommentsGraphicsAndSectionBreaks)
{
    const std::string footnote = "<w:r><w:footnoteReference w:id=\"2\"/></w:r>";
    const std::string picture = "<w:r><w:drawing><wp:inline><wp:docPr id=\"1\"/></wp:inline></w:drawing></w:r>";
    const std::string floating = "<w:r><w:drawing><wp:anchor><wp:docPr id=\"1\"/></wp:anchor></w:drawing></w:r>";
    const std::string textBox = "<w:r><w:drawing><wp:inline><wps:txbx><w:txbxContent>" + p(r("t"))
        + "</w:txbxContent></wps:txbx></wp:inline></w:drawing></w:r>";
    const std::string sectionEnd = "<w:p><w:pPr><w:sectPr><w:pgSz w:w=\"1\"/></w:sectPr></w:pPr>" + r("a") + "</w:p>";
    const ReplaceCase cases[] = {
        {"a footnote mark", p(r("a") + footnote + r("b")), u"a^fb"_s, u"x"_s, 1, p(r("x"))},
        {"an endnote mark", p(r("a") + "<w:r><w:endnoteReference w:id=\"2\"/></w:r>"), u"^e"_s, u""_s, 1, p(r("a"))},
        {"a comment mark", p(r("a") + "<w:r><w:commentReference w:id=\"0\"/></w:r>"), u"a^a"_s, u"b"_s, 1, p(r("b"))},
        {"an inline picture", p(r("a") + picture + r("b")), u"^g"_s, u"[pic]"_s, 1, p(r("a") + r("[pic]") + r("b"))},
        {"a floating picture is no character", p(r("a") + floating + r("b")), u"a^gb"_s, u"x"_s, 0,
         p(r("a") + floating + r("b"))},
        {"a picture holding a text box is no character", p(r("a") + textBox + r("b")), u"a^gb"_s, u"x"_s, 0,
         p(r("a") + textBox + r("b"))},
        {"a section break joins the sections, keeping the following one's properties",
         sectionEnd + p(r("b")) + "<w:sectPr/>", u"a^bb"_s, u"x"_s, 1, p(r("x")) + "<w:sectPr/>"},
        {"a paragraph mark is no section break", sectionEnd + p(r("b")), u"a^pb"_s, u"x"_s, 0, sectionEnd + p(r("b"))},
        {"a replacement that would carry the mark leaves it", p(r("a") + footnote), u"a^f"_s, u"[^&]"_s, 0,
         p(r("a") + footnote)},
    };
    expectReplacements(cases);
}

TEST(WordStoryReplacer, ReplacesEveryOutermostFieldForTheFieldCode)
{
    const std::string boldField = "<w:r><w:rPr><w:b/></w:rPr><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                                  "<w:r><w:instrText>DATE</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    const std::string nested = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>IF</w:instrText></w:r>"
                               "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        + field("PAGE", "1") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    const std::string split = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>TOC</w:instrText></w:r>"
                              "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>";
    const std::string link = field(" HYPERLINK \"http://x/\" ", "x");
    const std::string linkInside = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>IF</w:instrText></w:r>"
                                   "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        + simpleField(" HYPERLINK &quot;http://x/&quot; ", "x") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    const ReplaceCase cases[] = {
        {"a complex field", p(rs("Page ") + field("PAGE", "1")), u"^d"_s, u"#"_s, 1, p(rs("Page ") + r("#"))},
        {"a simple field", p(r("a") + simpleField("AUTHOR", "Ann")), u"^d"_s, u""_s, 1, p(r("a"))},
        {"the formatting of the field's first run", p(boldField), u"^d"_s, u"today"_s, 1, p(r("today", "<w:b/>"))},
        {"a field in another's result goes with it", p(nested), u"^d"_s, u"x"_s, 1, p(r("x"))},
        {"a paragraph mark in the replacement", p(r("a") + field("PAGE", "1") + r("b")), u"^d"_s, u"1^p2"_s, 1,
         p(r("a") + r("1")) + p(r("2") + r("b"))},
        {"a field that ends in another paragraph stays", p(split) + p(r("x") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"),
         u"^d"_s, u""_s, 0, p(split) + p(r("x") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>")},
        {"a hyperlink field stays", p(link), u"^d"_s, u""_s, 0, p(link)},
        {"a field holding a hyperlink field stays", p(linkInside), u"^d"_s, u""_s, 0, p(linkInside)},
        {"the found text cannot be copied", p(field("PAGE", "1")), u"^d"_s, u"[^&]"_s, 0, p(field("PAGE", "1"))},
    };
    expectReplacements(cases);
}

TEST(WordStoryReplacer, SkipsDeletedTextAndFieldCodesButSearchesFieldResults)
{
    Body body(p(r("f") + "<w:del w:id=\"1\" w:author=\"a\"><w:r><w:delText>x</w:delText></w:r></w:del>" + r("oo"))
              + p("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> foo </w:instrText></w:r>"
                  "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                  + r("foo") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"));
    EXPECT_EQ(body.replace(u"fxoo"_s, u"bar"_s), 0);
    EXPECT_EQ(body.replace(u"foo"_s, u"bar"_s), 2);
    EXPECT_EQ(body.paragraphs(), u"bar|bar"_s);
    EXPECT_NE(body.xml().find("<w:instrText> foo </w:instrText>"), std::string::npos);
    EXPECT_NE(body.xml().find("<w:delText>x</w:delText>"), std::string::npos);
}

TEST(WordStoryReplacer, ParagraphMarkInReplaceTextSplitsTheParagraph)
{
    Body body("<w:p w14:paraId=\"1A2B\" xmlns:w14=\"x\"><w:pPr><w:jc w:val=\"center\"/></w:pPr>" + r("a-b", "<w:b/>")
              + "</w:p>");
    EXPECT_EQ(body.replace(u"-"_s, u"1^p2"_s), 1);
    EXPECT_EQ(body.paragraphs(), u"a1|2b"_s);
    EXPECT_EQ(body.xml(), "<w:p xmlns:w14=\"x\"><w:pPr><w:jc w:val=\"center\"/></w:pPr>" + r("a1", "<w:b/>") + "</w:p>"
                              + "<w:p w14:paraId=\"1A2B\" xmlns:w14=\"x\"><w:pPr><w:jc w:val=\"center\"/></w:pPr>"
                              + r("2b", "<w:b/>") + "</w:p>");
}

TEST(WordStoryReplacer, ParagraphMarkSplittingAControlOrAFieldKeepsIdsUniqueAndEveryFieldOnce)
{
    const std::string control = "<w:sdt><w:sdtPr><w:alias w:val=\"c\"/><w:id w:val=\"7\"/>"
                                "<w:dataBinding w:xpath=\"/a\" w:storeItemID=\"{1}\"/></w:sdtPr><w:sdtContent>";
    const ReplaceCase cases[] = {
        {"a content control", p(control + r("axb") + "</w:sdtContent></w:sdt>"), u"x"_s, u"1^p2"_s, 1,
         p("<w:sdt><w:sdtPr><w:alias w:val=\"c\"/><w:id w:val=\"8\"/></w:sdtPr><w:sdtContent>" + r("a1")
           + "</w:sdtContent></w:sdt>")
             + p(control + r("2b") + "</w:sdtContent></w:sdt>")},
        {"a simple field", p(simpleField(" AUTHOR ", "axb")), u"x"_s, u"1^p2"_s, 1,
         p(simpleField(" AUTHOR ", "a1")) + p(r("2b"))},
        {"a simple field split twice", p(simpleField(" AUTHOR ", "axb")), u"x"_s, u"1^p^p2"_s, 1,
         p(simpleField(" AUTHOR ", "a1")) + "<w:p/>" + p(r("2b"))},
        {"an inserted revision", p("<w:ins w:id=\"3\" w:author=\"a\">" + r("axb") + "</w:ins>"), u"x"_s, u"1^p2"_s, 1,
         p("<w:ins w:id=\"4\" w:author=\"a\">" + r("a1") + "</w:ins>")
             + p("<w:ins w:id=\"3\" w:author=\"a\">" + r("2b") + "</w:ins>")},
    };
    expectReplacements(cases);
}

TEST(WordStoryReplacer, RecordedReplacementsKeepFieldsControlsAndHiddenSpaceSound)
{
    const std::string control = "<w:sdt><w:sdtPr><w:id w:val=\"7\"/><w:text/></w:sdtPr><w:sdtContent>";
    struct Case {
        const char* what;
        std::string before;
        QString find, replace;
        int count;
        std::vector<std::pair<const char*, size_t>> counts; // elements (XPath) and how many there must be
    };
    const Case cases[] = {
        // The deleted text is the text Word shows: white space the w:t hides is none of it.
        {"hidden white space", p("<w:r><w:t>  ab c</w:t></w:r>"), u"ab"_s, u"x"_s, 1,
         {{"//w:delText[text()='ab']", 1}, {"//w:t[text()=' c']", 1}}},
        // The field whose whole result the occurrence took goes too, as a deletion: its code and marks.
        {"a whole field result", p(rs("a ") + field("TITLE", "X") + rs(" b")), u" X"_s, u"Y"_s, 1,
         {{"//w:fldChar[not(ancestor::w:del)]", 0}, {"//w:instrText", 0}, {"//w:del//w:delInstrText", 1},
          {"//w:ins//w:t[text()='Y']", 1}}},
        {"part of a field result", p(rs("a ") + field("TITLE", "XZ")), u" X"_s, u"Y"_s, 1,
         {{"//w:fldChar[not(ancestor::w:del)]", 3}, {"//w:instrText", 1}}},
        // A field cannot be recorded as replaced by text here: it is left as it is.
        {"the field code", p(r("a") + field("PAGE", "1")), u"^d"_s, u"#"_s, 0,
         {{"//w:fldChar", 3}, {"//w:ins", 0}, {"//w:del", 0}}},
        {"a simple field for the field code", p(simpleField("AUTHOR", "Ann")), u"^d"_s, u""_s, 0,
         {{"//w:fldSimple", 1}, {"//w:del", 0}}},
        // A paragraph mark splitting a control or a simple field: ids stay unique, the field exists once.
        {"a content control", p(control + r("axb") + "</w:sdtContent></w:sdt>"), u"x"_s, u"1^p2"_s, 1,
         {{"//w:sdt", 2}, {"//w:sdtPr/w:id[@w:val='7']", 1}}},
        {"a simple field", p(simpleField(" AUTHOR ", "axb")), u"x"_s, u"1^p2"_s, 1,
         {{"//w:fldSimple", 1}, {"//w:p", 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Body body(c.before);
        WordRevision revision(100);
        EXPECT_EQ(body.replace(c.find, c.replace, {}, &revision), c.count);
        pugi::xml_document result;
        ASSERT_TRUE(result.load_string(("<w:body xmlns:w=\"w\">" + body.xml() + "</w:body>").c_str()));
        for (const auto& [xpath, expected] : c.counts)
            EXPECT_EQ(result.select_nodes(xpath).size(), expected) << xpath << " in " << body.xml();
    }
}

TEST(WordStoryReplacer, ReplacingEveryParagraphMarkJoinsAllButTheLastOfTheStory)
{
    Body body(p(r("a")) + p(r("b")) + p(r("c")) + "<w:sectPr/>");
    EXPECT_EQ(body.replace(u"^p"_s, u""_s), 2);
    EXPECT_EQ(body.paragraphs(), u"abc"_s);

    Body doubled(p(r("a")) + p(r("b")));
    EXPECT_EQ(doubled.replace(u"^p"_s, u"^p^p"_s), 1);
    EXPECT_EQ(doubled.paragraphs(), u"a||b"_s);
}

TEST(WordStoryReplacer, ParagraphPropertiesAfterABookmarkStillGovernJoinsAndSplits)
{
    // Some writers put a bookmark before w:pPr; the properties are still the paragraph's.
    const std::string props = "<w:pPr><w:jc w:val=\"center\"/></w:pPr>";
    const std::string bookmark = "<w:bookmarkStart w:id=\"0\" w:name=\"b\"/>";
    Body joined(p(r("a")) + "<w:p>" + bookmark + props + r("b") + "</w:p>");
    EXPECT_EQ(joined.replace(u"^p"_s, u""_s), 1);
    EXPECT_EQ(joined.xml(), "<w:p>" + bookmark + props + r("a") + r("b") + "</w:p>");

    Body split("<w:p>" + bookmark + props + r("a-b") + "</w:p>");
    EXPECT_EQ(split.replace(u"-"_s, u"^p"_s), 1);
    EXPECT_EQ(split.xml(), "<w:p>" + props + bookmark + r("a") + "</w:p><w:p>" + props + r("b") + "</w:p>");
}

TEST(WordStoryReplacer, ParagraphMarksDoNotJoinAcrossTablesCellsOrSectionBreaks)
{
    Body body("<w:tbl><w:tr><w:tc>" + p(r("a")) + "</w:tc><w:tc>" + p(r("b")) + "</w:tc></w:tr></w:tbl>" + p(r("c"))
              + "<w:p><w:pPr><w:sectPr/></w:pPr>" + r("d") + "</w:p>" + p(r("e")));
    EXPECT_EQ(body.replace(u"a^pb"_s, u""_s), 0);
    EXPECT_EQ(body.replace(u"d^pe"_s, u""_s), 0);
    EXPECT_EQ(body.replace(u"c^pd"_s, u"x"_s), 1);
    EXPECT_EQ(body.paragraphs(), u"x|e"_s);
    EXPECT_NE(body.xml().find("<w:sectPr/>"), std::string::npos);
}

TEST(WordStoryReplacer, HandlesSeveralOccurrencesInOneTextNode)
{
    Body body(p(r("x-y-z", "<w:b/>")));
    EXPECT_EQ(body.replace(u"-"_s, u"^t"_s), 2);
    EXPECT_EQ(body.xml(),
              p("<w:r><w:rPr><w:b/></w:rPr><w:t>x</w:t><w:tab/><w:t>y</w:t><w:tab/><w:t>z</w:t></w:r>"));
    EXPECT_EQ(body.replace(u"^t"_s, u"^p"_s), 2);
    EXPECT_EQ(body.paragraphs(), u"x|y|z"_s);
}

TEST(WordStoryReplacer, PlainReplacementsReportWhetherTheTextWouldChange)
{
    Body body(p(r("Foo bar")));
    WordNames names(body.body().parent());
    WordStoryReplacer replacer(names);
    EXPECT_TRUE(replacer.plainReplacementsChangeText(body.body(), {u"FOO"_s}, {u"baz"_s}));
    EXPECT_FALSE(replacer.plainReplacementsChangeText(body.body(), {u"foo"_s, u"baz"_s}, {u"baz"_s, u"Foo"_s}));
    EXPECT_FALSE(replacer.plainReplacementsChangeText(body.body(), {u"xyz"_s}, {u"abc"_s}));
}

TEST(WordStoryReplacer, KeepsAStoryTextAndItsFieldsUpToDateThroughPlainReplacements)
{
    const std::string runs = p(r("abXY", "<w:b/>") + r("Zcd") + r("XYZ") + "<w:r><w:tab/></w:r>" + r("xyXYZ"))
        + p(r("XY") + r("Z") + r("tail"));
    const std::string fields = p(r("aXYZ") + field("PAGE", "XYZ") + r("XYZb") + simpleField("AUTHOR", "c") + r("d"));
    const struct {
        const std::string& body;
        QString find, replace;
    } cases[] = {
        {runs, u"XYZ"_s, u"-"_s},      {runs, u"XYZ"_s, u""_s},     {runs, u"XYZ"_s, u"longer text"_s},
        {runs, u"Z"_s, u"ZZ"_s},       {fields, u"XYZ"_s, u"-"_s},  {fields, u"XYZ"_s, u""_s},
        {fields, u"XYZ"_s, u"longer text"_s}, {fields, u"bc"_s, u"x"_s}, {fields, u"aXYZX"_s, u"y"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.find.toStdString() + " in " + c.body);
        Body body(c.body);
        bool textValid = false;
        EXPECT_EQ(body.replaceKeepingText(c.find, c.replace, &textValid), "");
        EXPECT_TRUE(textValid);
    }
}

TEST(WordStoryReplacer, ReportsAStoryTextOutOfDateAfterStructuralEdits)
{
    for (const auto& [find, replace] : std::vector<std::pair<QString, QString>>{
             {u"c^tc"_s, u"x"_s}, {u"c"_s, u"^t"_s}, {u"c^pd"_s, u"x"_s}, {u"c"_s, u"^p"_s}}) {
        Body body(p(r("abc") + "<w:r><w:tab/></w:r>" + r("c")) + p(r("d")));
        bool textValid = true;
        body.replaceKeepingText(find, replace, &textValid);
        EXPECT_FALSE(textValid) << find.toStdString();
    }
}

TEST(WordStoryReplacer, KeepsAStoryTextUpToDateWhenAnEmptiedHyperlinkGoes)
{
    Body body(p(r("ab") + hyperlink("X") + r("cd")));
    bool textValid = false;
    EXPECT_EQ(body.replaceKeepingText(u"X"_s, u""_s, &textValid), "");
    EXPECT_TRUE(textValid);
    EXPECT_EQ(body.replace(u"bc"_s, u"Y"_s), 1);
    EXPECT_EQ(body.paragraphs(), u"aYd"_s);
}
