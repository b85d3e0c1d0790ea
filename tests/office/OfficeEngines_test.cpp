#include "office/OfficeEngines.h"
#include "office/package/CompoundFile.h"
#include "office/package/OoxmlPackage.h"
#include "office/package/ZipArchive.h"

#include "core/PathUtil.h"

#include "support/SpecialFiles.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

using namespace varnel;
using varnel::test::dataPath;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

EngineResult replaceIn(const QString& path, const QStringList& finds, const QStringList& replaces)
{
    EngineRegistry registry;
    registerOfficeEngines(registry);
    const ReplaceOptions options;
    return registry.engineFor(GetFileExt(path))->replace(path, EngineRequest(finds, replaces, options));
}

} // namespace

TEST(OfficeEngines, WordFormatsAreRegisteredAndReported)
{
    EngineRegistry registry;
    registerOfficeEngines(registry);
    for (const char* ext : {".docx", ".DOC", ".rtf"})
        EXPECT_TRUE(registry.supports(QString::fromLatin1(ext))) << ext;
    const OfficeCapabilities caps = capabilitiesOf(registry);
    EXPECT_TRUE(caps.hasWord);
    EXPECT_TRUE(caps.wordNewFormats);
}

TEST(OfficeEngines, DocFileThatIsNoWordDocumentStaysByteIdentical)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("fake.doc");
    writeFile(path, "Hello, this is plain text named .doc");
    const EngineResult result = replaceIn(path, {"Hello"}, {"Goodbye"});
    EXPECT_FALSE(result.changed);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(readFile(path), QByteArray("Hello, this is plain text named .doc"));
}

TEST(OfficeEngines, EveryWordEngineRefusesANamedPipeWithoutOpeningIt)
{
    QTemporaryDir dir;
    for (const char* name : {"pipe.docx", "pipe.rtf", "pipe.doc"}) {
        const varnel::test::TestFifo fifo(dir.filePath(name));
        const EngineResult result = replaceIn(dir.filePath(name), {"a"}, {"b"});
        EXPECT_FALSE(result.changed) << name;
        EXPECT_TRUE(result.error.contains(QStringLiteral("不是普通文件（命名管道），未打开，未作修改")))
            << name << " " << result.error.toStdString();
        EXPECT_FALSE(fifo.wasOpened()) << name;
    }
}

namespace {

// 01_minimal.docx with one entry replaced.
QByteArray minimalDocxWith(const QString& entry, const QByteArray& data)
{
    office::ZipArchive archive;
    QString error;
    EXPECT_TRUE(archive.open(dataPath(QStringLiteral("office/docx/01_minimal.docx")), &error)) << error.toStdString();
    QByteArray bytes;
    EXPECT_TRUE(archive.rewrite(data.isNull() ? QHash<QString, QByteArray>() : QHash<QString, QByteArray>{{entry, data}},
                                &bytes, &error))
        << error.toStdString();
    return bytes;
}

} // namespace

TEST(OfficeEngines, WordFilesGoToTheEngineOfWhatTheyHoldAndKeepTheirFormat)
{
    const QByteArray docx = minimalDocxWith(QString(), QByteArray());
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 \\'be\\'c9 Hello world\\par}";
    struct Case {
        const char* name;
        QByteArray content;
        bool package; // the result is read back as a package; else it must equal `expected`
        QByteArray expected;
    };
    const QByteArray rtfReplaced = QByteArray(rtf).replace("Hello", "Goodbye");
    const Case cases[] = {
        {"letter.doc", docx, true, {}},
        {"rtf.doc", rtf, false, rtfReplaced}, // byte for byte: the RTF engine, no conversion
        {"letter.rtf", docx, true, {}},
        {"letter.docx", rtf, false, rtfReplaced},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeFile(path, c.content);
        const EngineResult result = replaceIn(path, {"Hello"}, {"Goodbye"});
        EXPECT_TRUE(result.changed) << c.name << ": " << result.error.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QString::fromLatin1(c.name)}) << c.name;
        if (!c.package) {
            EXPECT_EQ(readFile(path), c.expected) << c.name;
            continue;
        }
        QString error;
        const auto package = office::OoxmlPackage::open(path, &error);
        ASSERT_NE(package, nullptr) << c.name << ": " << error.toStdString();
        std::ostringstream text;
        package->xml(QStringLiteral("word/document.xml"), &error)->print(text, "", pugi::format_raw);
        EXPECT_NE(text.str().find("Goodbye world"), std::string::npos) << c.name;
    }
}

TEST(OfficeEngines, WordFilesHoldingSomethingElseSayWhatItIsAndStayByteIdentical)
{
    const QByteArray workbookTypes(
        R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
        R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/>)"
        R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/></Types>)");
    struct Case {
        const char* name;
        QByteArray content;
        const char* said;
    };
    const Case cases[] = {
        {"page.doc", "<!DOCTYPE html>\n<html><body><p>Hello world</p></body></html>", "文件实际是HTML网页，不是Word文档"},
        {"page.docx", "\xEF\xBB\xBF\r\n  <HTML xmlns:o=\"urn:schemas-microsoft-com:office:office\"><body>Hello</body></HTML>",
         "文件实际是HTML网页，不是Word文档"},
        {"page.rtf", QByteArray("\xFF\xFE<\0h\0t\0m\0l\0>\0H\0e\0l\0l\0o\0", 22), "文件实际是HTML网页，不是Word文档"},
        {"archive.doc",
         "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"----=_NextPart\"\r\n\r\n------=_NextPart\r\n"
         "Content-Type: text/html\r\n\r\n<html>Hello</html>\r\n",
         "文件实际是MHT单个文件网页，不是Word文档"},
        {"saved.docx",
         "From: <Saved by Blink>\r\nSnapshot-Content-Location: https://example.com/\r\nSubject: Hello\r\n"
         "MIME-Version: 1.0\r\nContent-Type: multipart/related;\r\n\ttype=\"text/html\"\r\n\r\n<html>Hello</html>",
         "文件实际是MHT单个文件网页，不是Word文档"},
        {"xhtml.doc", "<?xml version=\"1.0\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"><body>Hello</body></html>",
         "文件实际是HTML网页，不是Word文档"},
        {"sheet.doc", minimalDocxWith(QStringLiteral("[Content_Types].xml"), workbookTypes), "文件实际是Excel工作簿（.xlsx），不是Word文档"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeFile(path, c.content);
        const EngineResult result = replaceIn(path, {"Hello"}, {"Goodbye"});
        EXPECT_FALSE(result.changed) << c.name;
        EXPECT_TRUE(result.error.startsWith(QString::fromUtf8(c.said))) << c.name << ": " << result.error.toStdString();
        EXPECT_TRUE(readFile(path) == c.content) << c.name << " was changed";
    }
}

TEST(OfficeEngines, DocxFileHoldingAWord97DocumentIsWrittenBackAsOne)
{
    if (!legacyFormatsAvailable())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath("hello.docx");
    writeFile(path, readFile(dataPath(QStringLiteral("office/package/02_hello.doc"))));
    const EngineResult result = replaceIn(path, {"Hello"}, {"Goodbye"});
    EXPECT_TRUE(result.changed) << result.error.toStdString();
    EXPECT_TRUE(office::hasCompoundFileSignature(readFile(path))) << "still a Word 97-2003 document";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("hello.docx")});
}
