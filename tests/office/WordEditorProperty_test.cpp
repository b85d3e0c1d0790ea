// Replace All on random run structures must give the text that replacing in the plain text gives, and
// must leave a well-formed paragraph tree: runs only in paragraphs (or their wrappers), text only in runs,
// no paragraph inside a paragraph, no temporary marker, and every drawing and bookmark still there. When
// the story text is reported still valid after the edits, it must equal a fresh reading. Long stories with
// many occurrences per segment check the same of the edits a Replace All applies in one pass.

#include "office/docx/WordMatcher.h"
#include "office/docx/WordNames.h"
#include "office/docx/WordReplacement.h"
#include "office/docx/WordStoryReplacer.h"
#include "office/docx/WordStoryText.h"

#include "WordStoryDiff.h"
#include "support/QtPrinters.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cstring>

using namespace Qt::Literals::StringLiterals;
using namespace varnel::office;

namespace {

class RandomBody
{
public:
    explicit RandomBody(quint32 seed, int maxParagraphs = 5)
        : m_random(seed)
        , m_maxParagraphs(maxParagraphs)
    {
    }

    std::string make()
    {
        std::string body;
        const int paragraphs = 1 + m_random.bounded(m_maxParagraphs);
        for (int i = 0; i < paragraphs; ++i) {
            body += paragraph();
            if (m_random.bounded(6) == 0)
                body += "<w:tbl><w:tr><w:tc>" + paragraph() + "</w:tc></w:tr></w:tbl>";
        }
        return body + "<w:sectPr/>";
    }

    QString pick(const QStringList& choices, int maxLength)
    {
        QString text;
        const int length = m_random.bounded(maxLength + 1);
        for (int i = 0; i < length; ++i)
            text += choices.at(m_random.bounded(choices.size()));
        return text;
    }

private:
    std::string text()
    {
        static const char* letters[] = {"a", "b", "c", " "};
        std::string t;
        const int length = 1 + m_random.bounded(4);
        for (int i = 0; i < length; ++i)
            t += letters[m_random.bounded(4)];
        return t;
    }

    std::string run()
    {
        const std::string props = m_random.bounded(3) == 0 ? "<w:rPr><w:b/></w:rPr>" : "";
        switch (m_random.bounded(6)) {
        case 0: return "<w:r>" + props + "<w:tab/></w:r>";
        case 1: return "<w:r>" + props + "<w:t xml:space=\"preserve\">" + text() + "</w:t><w:br/></w:r>";
        default: return "<w:r>" + props + "<w:t xml:space=\"preserve\">" + text() + "</w:t></w:r>";
        }
    }

    std::string inlineItem()
    {
        switch (m_random.bounded(12)) {
        case 0: return "<w:ins w:id=\"1\" w:author=\"a\">" + run() + run() + "</w:ins>";
        case 1: return "<w:hyperlink r:id=\"rId1\">" + run() + "</w:hyperlink>";
        case 2: return "<w:bookmarkStart w:id=\"0\" w:name=\"b\"/>";
        case 3: return "<w:r><w:drawing/></w:r>";
        case 4: return "<w:smartTag w:uri=\"u\" w:element=\"e\">" + run() + "</w:smartTag>";
        default: return run();
        }
    }

    std::string paragraph()
    {
        std::string p = m_random.bounded(2) ? "<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr>" : "<w:p>";
        const int items = m_random.bounded(6);
        for (int i = 0; i < items; ++i)
            p += inlineItem();
        return p + "</w:p>";
    }

    QRandomGenerator m_random;
    int m_maxParagraphs;
};

// The story's text, segments joined without separators.
QString storyText(const WordNames& names, pugi::xml_node body)
{
    const WordStoryText story(names, body);
    QString text;
    for (const WordSegment& segment : story.segments())
        text += segment.text;
    return text;
}

// Replace All on each segment's plain text.
QString expectedText(const WordNames& names, pugi::xml_node body, const WordMatcher& matcher,
                     const WordReplacement& replacement)
{
    const WordStoryText story(names, body);
    QString text;
    for (const WordSegment& segment : story.segments()) {
        qsizetype from = 0;
        for (const WordMatch& m : matcher.findAll(segment.text)) {
            text += segment.text.mid(from, m.start - from) + replacement.expand(m, segment.text, false);
            from = m.start + m.length;
        }
        text += segment.text.mid(from);
    }
    return text;
}

// What is wrong with the tree, if anything.
std::string structureFaults(pugi::xml_node node, bool inParagraph = false)
{
    std::string faults;
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* name = child.name();
        if (!std::strcmp(name, "varnel-split"))
            faults += "marker left; ";
        if (!std::strcmp(name, "w:p") && inParagraph)
            faults += "paragraph in paragraph; ";
        if (!std::strcmp(name, "w:r") && !inParagraph)
            faults += "run outside a paragraph; ";
        if (!std::strcmp(name, "w:t") && std::strcmp(node.name(), "w:r") != 0)
            faults += "text outside a run; ";
        faults += structureFaults(child, inParagraph || !std::strcmp(name, "w:p"));
    }
    return faults;
}

int countOf(pugi::xml_node root, const char* name)
{
    return int(root.select_nodes((std::string(".//") + name).c_str()).size());
}

// Replace All of find by replace on body; checks the result and returns whether the kept story text was
// reported valid.
bool replaceAndCheck(const std::string& body, const QString& find, const QString& replace, quint32 seed)
{
    const std::string xml = "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                            "xmlns:r=\"r\"><w:body>"
        + body + "</w:body></w:document>";
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml.c_str(), pugi::parse_full));
    const WordNames names(doc.document_element());
    const pugi::xml_node root = doc.document_element().child("w:body");

    WordMatcher matcher;
    WordReplacement replacement;
    QString error;
    EXPECT_TRUE(matcher.compile(find, {}, &error));
    EXPECT_TRUE(replacement.compile(replace, false, &error));

    const QString expected = expectedText(names, root, matcher, replacement);
    const int drawings = countOf(root, "w:drawing");
    const int bookmarks = countOf(root, "w:bookmarkStart");
    WordStoryText kept(names, root);
    bool keptValid = false;
    WordStoryReplacer(names).replaceAll(kept, matcher, replacement, &keptValid);

    const std::string context = "seed " + std::to_string(seed) + ", find \"" + find.toStdString() + "\", replace \""
        + replace.toStdString() + "\" in " + body;
    EXPECT_EQ(storyText(names, root), expected) << context;
    EXPECT_EQ(structureFaults(root), "") << context;
    EXPECT_EQ(countOf(root, "w:drawing"), drawings) << context;
    EXPECT_EQ(countOf(root, "w:bookmarkStart"), bookmarks) << context;
    if (keptValid) {
        EXPECT_EQ(varnel::test::storyTextDiff(kept, WordStoryText(names, root), true), "") << context;
    }
    return keptValid;
}

} // namespace

TEST(WordEditorProperty, RandomRunStructuresGiveThePlainTextResultAndAWellFormedTree)
{
    const QStringList findUnits = {u"a"_s, u"b"_s, u"c"_s, u" "_s, u"^t"_s, u"^p"_s, u"^l"_s};
    const QStringList replaceUnits = {u"x"_s, u"a"_s, u" "_s, u"^p"_s, u"^t"_s, u"^l"_s};
    for (quint32 seed = 1; seed <= 600; ++seed) {
        RandomBody random(seed);
        const std::string body = random.make();
        QString find = random.pick(findUnits, 3);
        if (find.isEmpty())
            find = u"a"_s;
        const QString replace = random.pick(replaceUnits, 3);
        replaceAndCheck(body, find, replace, seed);
    }
}

TEST(WordEditorProperty, ManyOccurrencesInLongStoriesAreAppliedInOnePass)
{
    // Short finds of common units in stories of up to sixty paragraphs: dozens of occurrences per segment,
    // most replaced by plain text, so that the kept story text is brought up to date and compared.
    const QStringList findUnits = {u"a"_s, u"b"_s, u" "_s, u"^p"_s};
    const QStringList replaceUnits = {u"x"_s, u"yz"_s, u" "_s, u"a"_s, u"^p"_s};
    int keptValid = 0;
    for (quint32 seed = 1; seed <= 120; ++seed) {
        RandomBody random(seed, 60);
        const std::string body = random.make();
        QString find = random.pick(findUnits, 2);
        if (find.isEmpty())
            find = u"b"_s;
        const QString replace = random.pick(replaceUnits, 2);
        keptValid += replaceAndCheck(body, find, replace, seed) ? 1 : 0;
    }
    EXPECT_GT(keptValid, 40);
}
