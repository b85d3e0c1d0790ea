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

TEST_F(XlsxRoutingTest, WorkbooksAreRegisteredAndEditedWhateverTheirExcelName)
{
    EngineRegistry registry;
    varnel::registerOfficeEngines(registry);
    const varnel::OfficeCapabilities caps = varnel::capabilitiesOf(registry);
    EXPECT_TRUE(caps.hasExcel);
    EXPECT_TRUE(caps.excelNewFormats);
    for (const QString& name : {u"a.xlsx"_s, u"b.xlsm"_s, u"c.xls"_s}) {
        EXPECT_TRUE(registry.supports(varnel::GetFileExt(name))) << name.toStdString();
        const QString path = copy(u"21_cells.xlsx"_s, name);
        const EngineResult result = replaceRegistered(path, {u"Plain"_s}, {u"Simple"_s});
        EXPECT_TRUE(result.changed) << name.toStdString() << ": " << result.error.toStdString();
        EXPECT_EQ(cell(path, 0, u"B1"_s), u"Simple"_s) << name.toStdString();
    }
}

TEST_F(XlsxRoutingTest, WhatIsNoPlainWorkbookIsLoggedForWhatItIsAndLeftAlone)
{
    const struct {
        QString source; // under tests/data/office
        QString name;
        QString start;  // of the error
        QString names;  // also in the error
    } cases[] = {
        {u"docx/01_minimal.docx"_s, u"letter.xlsx"_s, u"文件实际是Word文档"_s, u"不是Excel工作簿"_s},
        {u"xlsx/04_encrypted.xlsx"_s, u"encrypted.xlsx"_s, u"文档已加密"_s, {}},
    };
    for (const auto& c : cases) {
        const QString path = m_dir.filePath(c.name);
        varnel::test::writeFile(path, readFile(varnel::test::dataPath(u"office/"_s + c.source)));
        const QByteArray before = readFile(path);
        const EngineResult result = replaceRegistered(path, {u"Hello"_s}, {u"Goodbye"_s});
        EXPECT_FALSE(result.changed) << c.name.toStdString();
        EXPECT_TRUE(result.error.startsWith(c.start)) << result.error.toStdString();
        EXPECT_TRUE(result.error.contains(c.names)) << result.error.toStdString();
        EXPECT_EQ(readFile(path), before) << c.name.toStdString();
    }
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
