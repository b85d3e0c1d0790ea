#include "office/docx/WordHyperlinkField.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace Qt::Literals::StringLiterals;
using varnel::office::WordHyperlinkField;
using varnel::office::WordNames;

namespace {

QString address(const QString& instruction)
{
    const auto [start, length] = WordHyperlinkField::addressSpan(instruction);
    return instruction.mid(start, length);
}

} // namespace

TEST(WordHyperlinkField, FindsTheAddressAmongTheSwitches)
{
    EXPECT_EQ(address(u" HYPERLINK \"http://a.com/x\" "_s), u"http://a.com/x"_s);
    EXPECT_EQ(address(u"HYPERLINK http://a.com/x \\o \"tip\""_s), u"http://a.com/x"_s);
    EXPECT_EQ(address(u" HYPERLINK \\o \"tip\" \\n \"http://a.com\" "_s), u"http://a.com"_s);
    EXPECT_EQ(address(u" HYPERLINK \\l \"_Toc1\" "_s), u""_s);
    EXPECT_EQ(address(u" hyperlink \"C:\\\\old\\\\file.doc\" \\l \"mark\""_s), u"C:\\\\old\\\\file.doc"_s);
}

TEST(WordHyperlinkField, ReplacesInTheAddressOfSimpleAndComplexFieldsOnly)
{
    const char* xml =
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
        "<w:p><w:fldSimple w:instr=\" HYPERLINK &quot;http://old.com/old&quot; \\o &quot;old tip&quot; \">"
        "<w:r><w:t>old</w:t></w:r></w:fldSimple></w:p>"
        "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> HYPERLINK \"http://ol</w:instrText></w:r>"
        "<w:r><w:instrText>d.com\" </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        "<w:r><w:t>link</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>"
        "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> PAGE old </w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>"
        "</w:body></w:document>";
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml, pugi::parse_full));
    const WordNames names(doc.document_element());
    std::vector<WordHyperlinkField> fields = WordHyperlinkField::collect(names, doc.document_element());
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].replaceInAddress(u"OLD"_s, u"new"_s), 2);
    EXPECT_EQ(fields[0].instruction(), u" HYPERLINK \"http://new.com/new\" \\o \"old tip\" "_s);
    EXPECT_EQ(fields[1].replaceInAddress(u"old"_s, u"new"_s), 1);
    EXPECT_EQ(fields[1].instruction(), u" HYPERLINK \"http://new.com\" "_s);
    EXPECT_EQ(fields[1].replaceInAddress(u"xyz"_s, u"new"_s), 0);

    std::ostringstream out;
    doc.print(out, "", pugi::format_raw);
    EXPECT_NE(out.str().find("<w:instrText> PAGE old </w:instrText>"), std::string::npos);
    EXPECT_NE(out.str().find("<w:t>old</w:t>"), std::string::npos);
}
