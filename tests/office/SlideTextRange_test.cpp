#include "office/pptx/SlideRangeReplacer.h"
#include "office/pptx/SlideTextRange.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace Qt::Literals::StringLiterals;
using varnel::office::SlideFindOptions;
using varnel::office::SlideRangeReplacer;
using varnel::office::SlideTextRange;
using varnel::office::TextSpan;

namespace {

// A text body of DrawingML, edited in memory.
class Body
{
public:
    explicit Body(const std::string& paragraphs)
    {
        const std::string xml = "<p:txBody xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                                "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\"><a:bodyPr/>"
            + paragraphs + "</p:txBody>";
        const pugi::xml_parse_result result = m_doc.load_string(xml.c_str(), pugi::parse_full & ~pugi::parse_eol);
        EXPECT_TRUE(result) << result.description();
        range = std::make_unique<SlideTextRange>(m_doc.document_element());
    }

    // The paragraphs as XML, without the body element and its a:bodyPr.
    std::string xml() const
    {
        std::ostringstream out;
        for (pugi::xml_node p = m_doc.document_element().child("a:bodyPr").next_sibling(); p; p = p.next_sibling())
            p.print(out, "", pugi::format_raw);
        return out.str();
    }

    // A fresh reading of the edited XML.
    QString text() const { return SlideTextRange(m_doc.document_element()).text(); }
    pugi::xml_node root() const { return m_doc.document_element(); }

    std::unique_ptr<SlideTextRange> range;

private:
    pugi::xml_document m_doc;
};

const std::string kSplitRuns = "<a:p><a:r><a:rPr b=\"1\"/><a:t>Hel</a:t></a:r><a:r><a:rPr i=\"1\"/><a:t>lo world</a:t></a:r>"
                               "<a:endParaRPr sz=\"1800\"/></a:p>";

} // namespace

TEST(SlideTextRange, ReadsParagraphsBreaksAndFieldsAsPowerPointShowsThem)
{
    Body body("<a:p><a:pPr algn=\"ctr\"/><a:r><a:t>One</a:t></a:r><a:br><a:rPr/></a:br><a:r><a:t/></a:r>"
              "<a:r><a:t>two</a:t></a:r></a:p><a:p><a:fld id=\"{1}\" type=\"slidenum\"><a:t>3</a:t></a:fld></a:p>"
              "<a:p><a:endParaRPr/></a:p>");
    EXPECT_EQ(body.range->text(), u"One\u000Btwo\r3\r"_s);
}

TEST(SlideTextRange, FindsAfterAPositionWithCaseWidthAndWholeWordRules)
{
    struct Case {
        QString text;
        QString find;
        qsizetype after;
        SlideFindOptions options;
        qsizetype expected; // start, or -1
    };
    const QList<Case> cases = {
        {u"abab"_s, u"ab"_s, 0, {}, 0},
        {u"abab"_s, u"ab"_s, 1, {}, 2},
        {u"abab"_s, u"ab"_s, 3, {}, -1},
        {u"abab"_s, u""_s, 0, {}, -1},
        {u"ABC abc"_s, u"abc"_s, 0, {true, false}, 4},
        {u"ＡＢＣ abc"_s, u"abc"_s, 0, {false, false}, 0},
        {u"concat cat."_s, u"cat"_s, 0, {true, true}, 7},
        {u"concat cat_s cat"_s, u"cat"_s, 0, {true, true}, 13},
        {u"旧公司名cat"_s, u"cat"_s, 0, {true, true}, 4},
    };
    for (const Case& c : cases) {
        Body body("<a:p><a:r><a:t>" + c.text.toStdString() + "</a:t></a:r></a:p>");
        const std::optional<TextSpan> found = body.range->find(c.find, c.after, c.options);
        EXPECT_EQ(found ? found->start : -1, c.expected) << c.text.toStdString() << " / " << c.find.toStdString();
    }
}

TEST(SlideTextRange, ReplacementTakesTheFormattingOfTheFirstCharacterFound)
{
    struct Case {
        const char* name;
        std::string paragraphs;
        QString find;
        QString replacement;
        std::string expected;
    };
    const QList<Case> cases = {
        {"across runs", kSplitRuns, u"llo w"_s, u"LLO-W"_s,
         "<a:p><a:r><a:rPr b=\"1\"/><a:t>HeLLO-W</a:t></a:r><a:r><a:rPr i=\"1\"/><a:t>orld</a:t></a:r>"
         "<a:endParaRPr sz=\"1800\"/></a:p>"},
        {"whole second run removed", kSplitRuns, u"llo world"_s, u""_s,
         "<a:p><a:r><a:rPr b=\"1\"/><a:t>He</a:t></a:r><a:endParaRPr sz=\"1800\"/></a:p>"},
        {"whole first run removed", kSplitRuns, u"Hel"_s, u""_s,
         "<a:p><a:r><a:rPr i=\"1\"/><a:t>lo world</a:t></a:r><a:endParaRPr sz=\"1800\"/></a:p>"},
        {"inside one run", kSplitRuns, u"wor"_s, u"WOR"_s,
         "<a:p><a:r><a:rPr b=\"1\"/><a:t>Hel</a:t></a:r><a:r><a:rPr i=\"1\"/><a:t>lo WORld</a:t></a:r>"
         "<a:endParaRPr sz=\"1800\"/></a:p>"},
        {"across paragraphs", "<a:p><a:pPr algn=\"r\"/><a:r><a:t>one</a:t></a:r><a:endParaRPr sz=\"1\"/></a:p>"
                              "<a:p><a:pPr algn=\"l\"/><a:r><a:rPr u=\"sng\"/><a:t>two</a:t></a:r><a:endParaRPr sz=\"2\"/></a:p>",
         u"e\rt"_s, u"E T"_s,
         "<a:p><a:pPr algn=\"r\"/><a:r><a:t>onE T</a:t></a:r><a:r><a:rPr u=\"sng\"/><a:t>wo</a:t></a:r>"
         "<a:endParaRPr sz=\"2\"/></a:p>"},
        {"starting at a paragraph end", "<a:p><a:r><a:t>one</a:t></a:r><a:endParaRPr sz=\"1\"/></a:p>"
                                        "<a:p><a:r><a:t>two</a:t></a:r></a:p>",
         u"\rtw"_s, u"+"_s,
         "<a:p><a:r><a:t>one</a:t></a:r><a:r><a:rPr sz=\"1\"/><a:t>+</a:t></a:r><a:r><a:t>o</a:t></a:r></a:p>"},
        {"starting at a line break", "<a:p><a:r><a:t>A</a:t></a:r><a:br><a:rPr sz=\"9\"/></a:br><a:r><a:t>B</a:t></a:r></a:p>",
         u"\u000BB"_s, u"-"_s, "<a:p><a:r><a:t>A</a:t></a:r><a:r><a:rPr sz=\"9\"/><a:t>-</a:t></a:r></a:p>"},
        {"paragraph and line break in the replacement", "<a:p><a:pPr lvl=\"1\"/><a:r><a:rPr b=\"1\"/><a:t>a-b</a:t></a:r>"
                                                         "<a:endParaRPr/></a:p>",
         u"-"_s, u"\r\n1\u000B2"_s,
         "<a:p><a:pPr lvl=\"1\"/><a:r><a:rPr b=\"1\"/><a:t>a</a:t></a:r></a:p><a:p><a:pPr lvl=\"1\"/>"
         "<a:r><a:rPr b=\"1\"/><a:t>1</a:t></a:r><a:br><a:rPr b=\"1\"/></a:br><a:r><a:rPr b=\"1\"/><a:t>2</a:t></a:r>"
         "<a:r><a:rPr b=\"1\"/><a:t>b</a:t></a:r><a:endParaRPr/></a:p>"},
        {"inside a field", "<a:p><a:fld id=\"{1}\" type=\"datetime\"><a:rPr lang=\"en\"/><a:pPr/><a:t>2024-01-02</a:t></a:fld></a:p>",
         u"01"_s, u"\u000B"_s,
         "<a:p><a:r><a:rPr lang=\"en\"/><a:t>2024-</a:t></a:r><a:br><a:rPr lang=\"en\"/></a:br>"
         "<a:r><a:rPr lang=\"en\"/><a:t>-02</a:t></a:r></a:p>"},
    };
    for (const Case& c : cases) {
        Body body(c.paragraphs);
        const QString before = body.range->text();
        const std::optional<TextSpan> replaced = body.range->replace(c.find, c.replacement, 0, {});
        ASSERT_TRUE(replaced) << c.name;
        EXPECT_EQ(body.xml(), c.expected) << c.name;
        // The range's own text follows its edits.
        EXPECT_EQ(body.range->text(), body.text()) << c.name;
        QString expectedText = before;
        expectedText.replace(before.indexOf(c.find), c.find.size(), QString(c.replacement).replace(u"\r\n"_s, u"\r"_s));
        EXPECT_EQ(body.text(), expectedText) << c.name;
        EXPECT_EQ(body.text().mid(replaced->start, replaced->length), c.replacement.size() == 0 ? QString()
                      : QString(c.replacement).replace(u"\r\n"_s, u"\r"_s)) << c.name;
    }
}

TEST(SlideRangeReplacer, ReplacesEveryOccurrenceAndEnds)
{
    struct Case {
        const char* name;
        QString text;
        QString find;
        QString replacement;
        SlideFindOptions options;
        bool groupItem;
        QString expected;
        int replacements;
    };
    const QList<Case> cases = {
        {"replacement containing its find text", u"ab ab"_s, u"ab"_s, u"xabx"_s, {}, false, u"xabx xabx"_s, 2},
        {"occurrences arising from replacements", u"aab"_s, u"ab"_s, u"b"_s, {}, false, u"b"_s, 2},
        {"group items search again behind the first character", u"aab"_s, u"ab"_s, u"b"_s, {}, true, u"ab"_s, 1},
        {"group items still find the first occurrence", u"abab"_s, u"ab"_s, u"c"_s, {}, true, u"cc"_s, 2},
        {"contained only without match case", u"ab AB"_s, u"ab"_s, u"xAB"_s, {false, false}, false, u"xAB xAB"_s, 2},
        {"contained only with width folded", u"ab"_s, u"ab"_s, u"ＡＢ!"_s, {false, false}, false, u"ＡＢ!"_s, 1},
        {"whole words keep a word part", u"cat concat"_s, u"cat"_s, u"dog"_s, {true, true}, false, u"dog concat"_s, 1},
        {"whole words resume behind the insertion", u"xa b a"_s, u"a"_s, u"a b"_s, {true, true}, false,
         u"xa b a b"_s, 1},
        {"nothing found", u"abc"_s, u"x"_s, u"y"_s, {}, false, u"abc"_s, 0},
    };
    for (const Case& c : cases) {
        Body body("<a:p><a:r><a:t>" + c.text.toStdString() + "</a:t></a:r></a:p>");
        const SlideRangeReplacer::Outcome outcome =
            SlideRangeReplacer(c.find, c.replacement, c.options).run(*body.range, c.groupItem);
        EXPECT_FALSE(outcome.runaway) << c.name;
        EXPECT_EQ(outcome.replacements, c.replacements) << c.name;
        EXPECT_EQ(body.text(), c.expected) << c.name;
    }
}

TEST(SlideRangeReplacer, StopsALoopThatGrowsTheTextWithoutEnd)
{
    // Every "ba" becomes "aab": each b doubles the a's behind it, 2^30 of them in the end.
    Body body("<a:p><a:r><a:t>" + std::string(30, 'b') + "a</a:t></a:r></a:p>");
    const SlideRangeReplacer::Outcome outcome = SlideRangeReplacer(u"ba"_s, u"aab"_s, {}).run(*body.range, false);
    EXPECT_TRUE(outcome.runaway);
    EXPECT_LE(body.text().size(), 31 * SlideRangeReplacer::kMaxGrowth + SlideRangeReplacer::kGrowthAllowance + 3);
}

TEST(SlideTextRange, TextFollowsASeriesOfEditsAsAFreshReadingDoes)
{
    // The range keeps its text and positions across edits inside one run; each step must leave the same XML
    // as a range that reads the body again before it. Every step finds what it looks for.
    const std::string paragraphs = "<a:p><a:r><a:rPr b=\"1\"/><a:t>alpha beta</a:t></a:r><a:br/><a:r><a:t>gamma</a:t></a:r>"
                                   "<a:fld id=\"{1}\" type=\"slidenum\"><a:t>7</a:t></a:fld><a:r><a:t>alpha</a:t></a:r></a:p>"
                                   "<a:p><a:r><a:t>beta</a:t></a:r><a:r><a:t>gamma delta</a:t></a:r></a:p>";
    const struct Step {
        const char* name;
        QString find;
        QString replacement;
        qsizetype after;
    } steps[] = {
        {"shorter in a run", u"beta"_s, u"B"_s, 0},
        {"again in the same run", u"alpha"_s, u"A"_s, 0},
        {"longer in a later run", u"alpha"_s, u"longer alpha"_s, 0},
        {"in a run behind the grown one", u"gamma"_s, u"G"_s, 0},
        {"in a field", u"7"_s, u"seven"_s, 0},
        {"a run emptied", u"G"_s, u""_s, 0},
        {"across the emptied run's place", u"\u000Bse"_s, u"|"_s, 0},
        {"across two runs", u"tagam"_s, u"+"_s, 0},
        {"after a position", u"a"_s, u"AA"_s, 12},
        {"a line break inserted", u"delta"_s, u"d\u000Be"_s, 0},
        {"in the run before the break", u"ma"_s, u"MA"_s, 0},
        {"a paragraph inserted", u"longer"_s, u"x\ry"_s, 0},
        {"in the new paragraph", u"y"_s, u"why"_s, 0},
        {"at the start", u"A"_s, u"a"_s, 0},
    };
    Body kept(paragraphs);
    Body fresh(paragraphs);
    for (const Step& step : steps) {
        const std::optional<TextSpan> inKept = kept.range->replace(step.find, step.replacement, step.after, {});
        const std::optional<TextSpan> inFresh = SlideTextRange(fresh.root()).replace(step.find, step.replacement, step.after, {});
        ASSERT_TRUE(inKept && inFresh) << step.name;
        EXPECT_EQ(inKept->start, inFresh->start) << step.name;
        EXPECT_EQ(inKept->length, inFresh->length) << step.name;
        EXPECT_EQ(kept.xml(), fresh.xml()) << step.name;
        EXPECT_EQ(kept.range->text(), kept.text()) << step.name;
    }
}
