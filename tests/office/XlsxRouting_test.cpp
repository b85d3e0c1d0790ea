// Workbooks reach the engine of what they hold, as Excel opens them by their content.

#include "XlsxFixture.h"

#include "core/PathUtil.h"
#include "office/DocumentContent.h"
#include "office/OfficeEngines.h"

using namespace Qt::Literals::StringLiterals;
using varnel::EngineRegistry;
using varnel::EngineRequest;
using varnel::EngineResult;
using varnel::test::readFile;

namespace {

class XlsxRoutingTest : public varnel::test::XlsxFixture
{
protected:
    EngineResult replaceRegistered(const QString& path, const QStringList& finds, const QStringList& replaces)
    {
        EngineRegistry registry;
        varnel::registerOfficeEngines(registry);
        const EngineRequest request(finds, replaces, m_options);
        return registry.engineFor(varnel::GetFileExt(path).toLower())->replace(path, request);
    }
};

} // namespace

TEST_F(XlsxRoutingTest, ExcelFormatsAreRegisteredAndReported)
{
    EngineRegistry registry;
    varnel::registerOfficeEngines(registry);
    for (const QString& ext : {u".xlsx"_s, u".xlsm"_s, u".xls"_s})
        EXPECT_TRUE(registry.supports(ext)) << ext.toStdString();
    const varnel::OfficeCapabilities caps = varnel::capabilitiesOf(registry);
    EXPECT_TRUE(caps.hasExcel);
    EXPECT_TRUE(caps.excelNewFormats);
}

TEST_F(XlsxRoutingTest, WorkbooksAreEditedWhateverTheirExcelName)
{
    for (const QString& name : {u"a.xlsx"_s, u"b.xlsm"_s, u"c.xls"_s}) {
        const QString path = copy(u"21_cells.xlsx"_s, name);
        const EngineResult result = replaceRegistered(path, {u"Plain"_s}, {u"Simple"_s});
        EXPECT_TRUE(result.changed) << name.toStdString() << ": " << result.error.toStdString();
        EXPECT_EQ(cell(path, 0, u"B1"_s), u"Simple"_s) << name.toStdString();
    }
}

TEST_F(XlsxRoutingTest, WordDocumentUnderAnExcelNameIsNamedForWhatItIs)
{
    const QString path = m_dir.filePath(u"letter.xlsx"_s);
    varnel::test::writeFile(path, readFile(varnel::test::dataPath(u"office/docx/01_minimal.docx"_s)));
    const QByteArray before = readFile(path);
    const EngineResult result = replaceRegistered(path, {u"Hello"_s}, {u"Goodbye"_s});
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.error.startsWith(u"文件实际是Word文档"_s)) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(u"不是Excel工作簿"_s)) << result.error.toStdString();
    EXPECT_EQ(readFile(path), before);
}

TEST_F(XlsxRoutingTest, EncryptedWorkbookIsLoggedAndLeftAlone)
{
    const QString path = copy(u"04_encrypted.xlsx"_s);
    const QByteArray before = readFile(path);
    const EngineResult result = replaceRegistered(path, {u"a"_s}, {u"b"_s});
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.error.startsWith(u"文档已加密"_s)) << result.error.toStdString();
    EXPECT_EQ(readFile(path), before);
}

TEST_F(XlsxRoutingTest, Excel97WorkbookGoesThroughLibreOfficeAndStaysOne)
{
    if (!varnel::legacyFormatsAvailable())
        GTEST_SKIP() << "LibreOffice is not installed";
    const QString path = copy(u"24_legacy.xls"_s);
    const EngineResult result = replaceRegistered(path, {u"Plain"_s}, {u"Simple"_s});
    ASSERT_TRUE(result.changed) << result.error.toStdString();
    EXPECT_TRUE(readFile(path).startsWith("\xD0\xCF\x11\xE0"));
    EXPECT_EQ(varnel::documentContentOf(path), varnel::DocumentContent::ExcelBinary);
}
