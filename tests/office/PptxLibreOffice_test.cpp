// Presentations the PowerPoint engine saved must still open in another presentation program: LibreOffice
// converts each to flat OpenDocument, whose text must show the replacements. .ppt files go through
// LibreOffice both ways and must come back as .ppt. Skipped where LibreOffice is not installed.

#include "office/OfficeEngines.h"
#include "office/legacy/LegacyConverter.h"
#include "office/package/CompoundFile.h"
#include "office/pptx/PptxEngine.h"

#include "support/LibreOffice.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineRequest;
using varnel::EngineResult;
using varnel::Option;
using varnel::office::LegacyConverter;
using varnel::test::dataPath;
using varnel::test::readFile;

namespace {

// The text of every text:p of the presentation's slides and notes as LibreOffice reads it, each followed
// by "|" (and the first preceded by one), line breaks as "/"; empty when the conversion fails.
QString slideText(const QString& path)
{
    const QByteArray fodp = varnel::test::convertByLibreOffice(path, u"fodp"_s, u"fodp"_s);
    if (fodp.isEmpty())
        return {};
    QXmlStreamReader xml(fodp);
    QString text(u'|');
    int depth = 0; // inside text:p
    bool body = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.qualifiedName() == u"office:body")
            body = true;
        else if (!body)
            continue;
        if (xml.isStartElement() && xml.qualifiedName() == u"text:p")
            ++depth;
        else if (xml.isStartElement() && xml.qualifiedName() == u"text:line-break")
            text += u'/';
        else if (xml.isStartElement() && xml.qualifiedName() == u"text:s")
            text += u' ';
        else if (xml.isEndElement() && xml.qualifiedName() == u"text:p" && --depth == 0)
            text += u'|';
        else if (xml.isCharacters() && depth > 0)
            text += xml.text();
    }
    return text;
}

class PptxLibreOffice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (LegacyConverter::sofficePath().isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
        ASSERT_TRUE(m_dir.isValid());
    }

    QString work(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

const QStringList kFinds = {u"old"_s, u"Cell"_s, u"two: "_s};
const QStringList kReplaces = {u"新的"_s, u"单元"_s, u"two:\r"_s};
const QStringList kExpected = {
    u"|Hello 新的 world, 旧公司名 新的.|Second 新的 line/after a break|"_s,
    u"|单元 新的 A|单元 B|单元 C|单元 新的 D|"_s,
    u"|Group 新的 one|Nested 新的 two|Nested 新的 three|"_s,
    u"|Notes 新的 text|"_s,
    u"|Slide two:|OLD, Old and 新的; b新的 is no whole word.|"_s,
};

} // namespace

TEST_F(PptxLibreOffice, OpensSavedPresentationsWithTheirReplacements)
{
    const QString path = work(u"deck.pptx"_s);
    varnel::test::writeFile(path, readFile(dataPath(u"office/pptx/01_shapes.pptx"_s)));
    const varnel::ReplaceOptions options;
    const EngineResult result = varnel::office::PptxEngine().replace(path, EngineRequest(kFinds, kReplaces, options));
    ASSERT_TRUE(result.changed) << result.error.toStdString();

    const QString text = slideText(path);
    ASSERT_FALSE(text.isEmpty()) << "the saved presentation did not open in LibreOffice";
    for (const QString& expected : kExpected)
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " not in " << text.toStdString();
}

TEST_F(PptxLibreOffice, PptFilesAreReplacedThroughLibreOfficeAndStayPpt)
{
    LegacyConverter converter;
    QString ppt, error;
    ASSERT_TRUE(converter.convert(dataPath(u"office/pptx/01_shapes.pptx"_s), work(u"made"_s), u"ppt:MS PowerPoint 97"_s,
                                  &ppt, &error))
        << error.toStdString();
    const QString path = work(u"deck.ppt"_s);
    ASSERT_TRUE(QFile::rename(ppt, path));

    varnel::EngineRegistry registry;
    varnel::registerOfficeEngines(registry);
    const varnel::ReplaceOptions options;
    const EngineResult result = registry.engineFor(u".ppt"_s)->replace(path, EngineRequest(kFinds, kReplaces, options));
    ASSERT_TRUE(result.changed) << result.error.toStdString();
    EXPECT_TRUE(varnel::office::hasCompoundFileSignature(readFile(path))) << "still a PowerPoint 97-2003 file";
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{u"deck.ppt"_s});

    const QString text = slideText(path);
    for (const QString& expected : kExpected)
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " not in " << text.toStdString();
}
