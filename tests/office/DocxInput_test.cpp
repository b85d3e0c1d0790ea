// The Word engine against hostile or broken document XML: whatever the part holds, the run goes on, the
// file stays byte-identical and the log line says why.

#include "office/docx/DocxEngine.h"
#include "office/package/XmlWellFormedness.h"
#include "office/package/ZipArchive.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineRequest;
using varnel::EngineResult;
using varnel::test::readFile;

namespace {

const QByteArray kDocumentStart = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                  "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                                  "<w:body>";
const QByteArray kDocumentEnd = "</w:body></w:document>";

// 01_minimal.docx with its word/document.xml replaced by these bytes; every other part stays real.
QString docxWithDocument(const QString& path, const QByteArray& document)
{
    varnel::office::ZipArchive archive;
    QString error;
    EXPECT_TRUE(archive.open(varnel::test::dataPath(u"office/docx/01_minimal.docx"_s), &error)) << error.toStdString();
    QByteArray bytes;
    EXPECT_TRUE(archive.rewrite({{u"word/document.xml"_s, document}}, &bytes, &error)) << error.toStdString();
    varnel::test::writeFile(path, bytes);
    return path;
}

// The bytes of word/document.xml as saved.
QByteArray documentOf(const QString& path)
{
    varnel::office::ZipArchive archive;
    QString error;
    QByteArray bytes;
    const bool read = archive.open(path, &error) && archive.indexOf(u"word/document.xml"_s) >= 0
        && archive.read(archive.entries().at(archive.indexOf(u"word/document.xml"_s)), 1 << 30, &bytes, &error);
    EXPECT_TRUE(read) << error.toStdString();
    return bytes;
}

QByteArray paragraph(const QByteArray& text)
{
    return "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p>";
}

// The shape a hostile document repeats: `open` and `close` wrap `inner`, the text to replace, that many times
// inside the body (or inside `outer`'s two halves).
struct Shape {
    const char* name;
    QByteArray open;
    QByteArray close;
    int elementsPerLevel;
    QByteArray inner;
    QByteArray outerOpen;
    QByteArray outerClose;

    QByteArray document(int depth) const
    {
        const int levels = depth / elementsPerLevel;
        return kDocumentStart + outerOpen + open.repeated(levels) + inner + close.repeated(levels) + outerClose
            + kDocumentEnd;
    }
};

const QByteArray kOldName = "<w:p><w:r><w:t>旧公司名</w:t></w:r></w:p>";
const Shape kTables{"tables in cells", "<w:tbl><w:tr><w:tc>", "</w:tc></w:tr></w:tbl>", 3, kOldName, "", ""};

const Shape kShapes[] = {
    {"unknown elements", "<x:u xmlns:x=\"urn:x\">", "</x:u>", 1, kOldName, "", ""},
    kTables,
    {"content controls", "<w:sdt><w:sdtContent>", "</w:sdtContent></w:sdt>", 2, kOldName, "", ""},
    {"simple fields", "<w:fldSimple w:instr=\"PAGE\">", "</w:fldSimple>", 1, "<w:r><w:t>旧公司名</w:t></w:r>", "<w:p>",
     "</w:p>"},
};

class DocxInput : public ::testing::Test
{
protected:
    EngineResult run(const QString& path)
    {
        const QStringList finds{u"旧公司名"_s};
        const QStringList replaces{u"新公司名"_s};
        const varnel::ReplaceOptions options;
        return varnel::office::DocxEngine().replace(path, EngineRequest(finds, replaces, options));
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(DocxInput, DeeplyNestedXmlIsRefusedWithALogLineInsteadOfCrashing)
{
    for (const Shape& shape : kShapes) {
        for (const int depth : {50000, 100000}) {
            const QString path = docxWithDocument(m_dir.filePath(u"deep.docx"_s), shape.document(depth));
            const QByteArray before = readFile(path);
            const EngineResult result = run(path);
            EXPECT_FALSE(result.changed) << shape.name << " " << depth;
            EXPECT_TRUE(result.error.contains(u"嵌套"_s)) << shape.name << " " << depth << ": " << result.error.toStdString();
            EXPECT_TRUE(readFile(path) == before) << shape.name << " " << depth << " changed the file";
        }
    }
}

TEST_F(DocxInput, NestingUpToTheLimitIsStillReplaced)
{
    // Tables nested over 600 deep, far beyond what a person builds: the engine's walks cope at the limit.
    const QString path = docxWithDocument(m_dir.filePath(u"nested.docx"_s),
                                          kTables.document(varnel::office::kMaxXmlElementDepth - 10));
    const EngineResult result = run(path);
    EXPECT_TRUE(result.changed) << result.error.toStdString();
    EXPECT_TRUE(documentOf(path).contains("新公司名"));
}

TEST_F(DocxInput, DocumentOfRepetitiveTextThatCompressesWellIsReplaced)
{
    const QString path = docxWithDocument(m_dir.filePath(u"repetitive.docx"_s),
                                          kDocumentStart + kOldName.repeated(20000) + kDocumentEnd);
    const EngineResult result = run(path);
    EXPECT_TRUE(result.changed) << result.error.toStdString();
    EXPECT_EQ(result.replacements, 20000);
    EXPECT_EQ(documentOf(path).count("新公司名"), 20000);
}

TEST_F(DocxInput, PartsThatAreNotWellFormedXmlAreRefusedAndLeftByteIdentical)
{
    struct Case {
        const char* name;
        QByteArray body; // goes into the body after a paragraph holding the text to replace
        const char* reason;
    };
    const Case cases[] = {
        {"NUL character reference", paragraph("a&#0;b"), "字符引用"},
        {"hexadecimal NUL reference", paragraph("a&#x0;b"), "字符引用"},
        {"surrogate reference", paragraph("a&#xD800;b"), "字符引用"},
        {"reference past Unicode", paragraph("a&#x110000;b"), "字符引用"},
        {"control character reference", paragraph("a&#1;b"), "字符引用"},
        {"FFFE reference", paragraph("a&#xFFFE;b"), "字符引用"},
        {"reference in an attribute", "<w:p w:rsidR=\"&#0;\"/>", "字符引用"},
        {"undefined entity", paragraph("a&nbsp;b"), "未定义的实体"},
        {"undefined entity in an attribute", "<w:p w:rsidR=\"&copy;\"/>", "未定义的实体"},
        {"bare ampersand", paragraph("a & b"), "&"},
        {"reference without its semicolon", paragraph("a&#65b"), "&"},
        {"duplicate attribute", "<w:p w:rsidR=\"1\" w:rsidR=\"2\"/>", "重复"},
        {"invalid UTF-8", paragraph("a\xC3\x28z"), "UTF-8"},
        {"stray continuation byte", paragraph("a\x80z"), "UTF-8"},
        {"overlong UTF-8", paragraph("a\xC0\xAFz"), "UTF-8"},
        {"UTF-8 encoded surrogate", paragraph("a\xED\xA0\x80z"), "UTF-8"},
        {"control character", paragraph("a\x01z"), "不允许的字符"},
        {"U+FFFF", paragraph("a\xEF\xBF\xBFz"), "不允许的字符"},
    };
    for (const Case& c : cases) {
        const QString path = docxWithDocument(m_dir.filePath(u"bad.docx"_s),
                                              kDocumentStart + paragraph("旧公司名") + c.body + kDocumentEnd);
        const QByteArray before = readFile(path);
        const EngineResult result = run(path);
        EXPECT_FALSE(result.changed) << c.name;
        EXPECT_TRUE(result.error.contains(u"word/document.xml"_s) && result.error.contains(QString::fromUtf8(c.reason)))
            << c.name << ": " << result.error.toStdString();
        EXPECT_TRUE(readFile(path) == before) << c.name << " changed the file";
    }
}

TEST_F(DocxInput, WellFormedReferencesAndCharactersAreAccepted)
{
    const QByteArray body = paragraph("旧公司名") + paragraph("&#9;&#x4E2D;&#20013;&lt;&gt;&amp;&apos;&quot;&#x10FFFF;\t\xF0\x9F\x98\x80")
        + "<w:p w:rsidR=\"&#13;&#10;&amp;\"><!-- & &#0; --><w:r><w:t><![CDATA[&nbsp; &#0;]]></w:t></w:r></w:p>"
        + "<?pi &nbsp;?>";
    const QString path = docxWithDocument(m_dir.filePath(u"good.docx"_s), kDocumentStart + body + kDocumentEnd);
    const EngineResult result = run(path);
    EXPECT_TRUE(result.changed) << result.error.toStdString();
    EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(documentOf(path).contains("新公司名"));
}
