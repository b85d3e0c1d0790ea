#include "office/OfficeEngines.h"

#include "core/PathUtil.h"

#include "support/SpecialFiles.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnel;
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

TEST(OfficeEngines, DocFileHoldingRtfIsReplacedNatively)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("letter.doc");
    writeFile(path, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello {\\b World}\\par}");
    const EngineResult result = replaceIn(path, {"Hello"}, {"Goodbye"});
    EXPECT_TRUE(result.changed) << result.error.toStdString();
    EXPECT_EQ(readFile(path), QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Goodbye {\\b World}\\par}"));
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
