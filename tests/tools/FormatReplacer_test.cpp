// FormatReplacer on small stories written inline: where the content goes and what it leaves around it.

#include "tools/formatreplace/FormatReplacer.h"

#include <QString>

#include <gtest/gtest.h>

#include <sstream>

using varnel::formatreplace::FormatReplacer;
using varnel::office::WordMatcher;
using varnel::office::WordNames;

namespace {

const char* const kOpen = "<w:document xmlns:w='http://schemas.openxmlformats.org/wordprocessingml/2006/main' "
                          "xmlns:r='urn:r'><w:body>";
const char* const kClose = "</w:body></w:document>";

std::string bodyXml(pugi::xml_node body)
{
    std::ostringstream out;
    for (pugi::xml_node child : body.children())
        child.print(out, "", pugi::format_raw);
    return out.str();
}

// Replaces every "FIND" in the body of document.
int replaceFind(pugi::xml_document& document, const FormatReplacer::ContentSource& source)
{
    const pugi::xml_node root = document.document_element();
    const WordNames names(root);
    WordMatcher matcher;
    QString error;
    EXPECT_TRUE(matcher.compile(QStringLiteral("FIND"), {}, &error));
    FormatReplacer replacer(names, root, root.child("w:body"));
    return replacer.replace(matcher, false, source);
}

} // namespace

TEST(FormatReplacer, PutsTheContentWhereTheMatchWas)
{
    struct Case {
        const char* name;
        std::string story;
        std::string content; // paragraphs
        std::string expected;
    };
    const Case cases[] = {
        {"a match split over two runs of different formatting",
         "<w:p><w:r><w:t>aa F</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>IND bb</w:t></w:r></w:p>",
         "<w:p><w:r><w:rPr><w:i/></w:rPr><w:t>new</w:t></w:r></w:p>",
         "<w:p><w:r><w:t xml:space=\"preserve\">aa </w:t></w:r><w:r><w:rPr><w:i/></w:rPr><w:t>new</w:t></w:r>"
         "<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\"> bb</w:t></w:r></w:p>"},
        {"a match inside a hyperlink takes the content's hyperlink apart instead of nesting it",
         "<w:p><w:hyperlink r:id='h1'><w:r><w:t>FIND</w:t></w:r></w:hyperlink></w:p>",
         "<w:p><w:hyperlink r:id='h2'><w:r><w:t>x</w:t></w:r></w:hyperlink></w:p>",
         "<w:p><w:hyperlink r:id=\"h1\"><w:r><w:t>x</w:t></w:r></w:hyperlink></w:p>"},
        {"bookmarks of the content stay behind",
         "<w:p><w:r><w:t>FIND</w:t></w:r></w:p>",
         "<w:p><w:bookmarkStart w:id='0' w:name='b'/><w:r><w:t>x</w:t></w:r><w:bookmarkEnd w:id='0'/></w:p>",
         "<w:p><w:r><w:t>x</w:t></w:r></w:p>"},
        {"notes and comments of the definition document are not referred to from the target",
         "<w:p><w:r><w:t>FIND</w:t></w:r></w:p>",
         "<w:p><w:r><w:t>x</w:t><w:footnoteReference w:id='1'/></w:r>"
         "<w:r><w:rPr><w:vertAlign w:val='superscript'/></w:rPr><w:endnoteReference w:id='2'/></w:r>"
         "<w:r><w:commentReference w:id='0'/></w:r></w:p>",
         "<w:p><w:r><w:t>x</w:t></w:r></w:p>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pugi::xml_document document;
        ASSERT_TRUE(document.load_string((kOpen + c.story + kClose).c_str()));
        pugi::xml_document content;
        ASSERT_TRUE(content.load_string((kOpen + c.content + kClose).c_str()));
        const int count = replaceFind(document, [&](std::vector<pugi::xml_node>* paragraphs) {
            for (pugi::xml_node p : content.document_element().child("w:body").children("w:p"))
                paragraphs->push_back(p);
            return true;
        });
        EXPECT_EQ(count, 1);
        EXPECT_EQ(bodyXml(document.document_element().child("w:body")), c.expected);
    }
}

TEST(FormatReplacer, AsksForTheContentOnlyWhenSomethingMatches)
{
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string((std::string(kOpen) + "<w:p><w:r><w:t>none here</w:t></w:r></w:p>" + kClose).c_str()));
    bool asked = false;
    EXPECT_EQ(replaceFind(document, [&](std::vector<pugi::xml_node>*) { return asked = true; }), 0);
    EXPECT_FALSE(asked);
}

TEST(FormatReplacer, MultiParagraphContentKeepsItsOrderAtEveryMatch)
{
    // The second match only comes after a match with text behind it: the paragraphs of the content must
    // still go in first to last there.
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string((std::string(kOpen)
                                      + "<w:p><w:r><w:t>FIND x</w:t></w:r></w:p>"
                                        "<w:p><w:r><w:t>b FIND a</w:t></w:r></w:p>" + kClose).c_str()));
    pugi::xml_document content;
    ASSERT_TRUE(content.load_string((std::string(kOpen) + "<w:p><w:r><w:t>1</w:t></w:r></w:p>"
                                     "<w:p><w:r><w:t>2</w:t></w:r></w:p>" + kClose).c_str()));
    EXPECT_EQ(replaceFind(document, [&](std::vector<pugi::xml_node>* paragraphs) {
                  for (pugi::xml_node p : content.document_element().child("w:body").children("w:p"))
                      paragraphs->push_back(p);
                  return true;
              }), 2);
    std::vector<std::string> texts;
    for (pugi::xml_node p : document.document_element().child("w:body").children("w:p")) {
        std::string text;
        for (pugi::xml_node r : p.children("w:r"))
            text += r.child_value("w:t");
        texts.push_back(text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"1", "2 x", "b 1", "2 a"}));
}
