#include "office/OfficeEngines.h"

#include "office/ContentRouter.h"
#include "office/docx/DocxEngine.h"
#include "office/legacy/LegacyEngine.h"
#include "office/pptx/PptxEngine.h"
#include "office/rtf/RtfEngine.h"
#include "office/xlsx/XlsxEngine.h"

namespace varnel {

void registerOfficeEngines(EngineRegistry& registry)
{
    const auto docx = std::make_shared<office::DocxEngine>();
    const auto rtf = std::make_shared<RtfEngine>();
    // Without LibreOffice the engine still takes .doc files: those that hold a package or RTF natively,
    // and the others get a log line that names what is missing.
    const auto legacyDoc = std::make_shared<office::LegacyEngine>(docx, QStringLiteral(".docx"),
                                                                  QStringLiteral("docx:MS Word 2007 XML"),
                                                                  QStringLiteral("doc:MS Word 97"));
    // Word opens its files by their content, whatever their extension, and so do we.
    const auto word = [&](const QString& extension, std::shared_ptr<DocumentEngine> native) {
        auto router = std::make_shared<ContentRouter>(std::move(native), QStringLiteral("Word文档"));
        router->route(DocumentContent::WordPackage, docx);
        router->route(DocumentContent::Package, docx);
        router->route(DocumentContent::Rtf, rtf);
        router->route(DocumentContent::WordBinary, legacyDoc);
        registry.add({extension}, router);
    };
    word(QStringLiteral(".docx"), docx);
    word(QStringLiteral(".rtf"), rtf);
    word(QStringLiteral(".doc"), legacyDoc);

    const auto xlsx = std::make_shared<office::XlsxEngine>();
    const auto legacyXls = std::make_shared<office::LegacyEngine>(xlsx, QStringLiteral(".xlsx"),
                                                                  QStringLiteral("xlsx:Calc MS Excel 2007 XML"),
                                                                  QStringLiteral("xls:MS Excel 97"));
    // Excel, too, opens a workbook by its content: an .xls holding a package is edited as one, an .xlsx
    // holding Excel 97-2003 content goes through LibreOffice and is written back in the format it holds.
    const auto excel = [&](const QString& extension, std::shared_ptr<DocumentEngine> native) {
        auto router = std::make_shared<ContentRouter>(std::move(native), QStringLiteral("Excel工作簿"));
        router->route(DocumentContent::ExcelPackage, xlsx);
        router->route(DocumentContent::Package, xlsx);
        router->route(DocumentContent::ExcelBinary, legacyXls);
        registry.add({extension}, router);
    };
    excel(QStringLiteral(".xlsx"), xlsx);
    excel(QStringLiteral(".xlsm"), xlsx);
    excel(QStringLiteral(".xls"), legacyXls);

    // PowerPoint, too, opens a presentation by what it holds.
    const auto pptx = std::make_shared<office::PptxEngine>();
    const auto legacyPpt = std::make_shared<office::LegacyEngine>(
        pptx, QStringLiteral(".pptx"), QStringLiteral("pptx:Impress MS PowerPoint 2007 XML"), QStringLiteral("ppt:MS PowerPoint 97"));
    for (const auto& [extension, native] : {std::pair{QStringLiteral(".pptx"), std::shared_ptr<DocumentEngine>(pptx)},
                                            std::pair{QStringLiteral(".ppt"), std::shared_ptr<DocumentEngine>(legacyPpt)}}) {
        auto router = std::make_shared<ContentRouter>(native, QStringLiteral("PowerPoint演示文稿"));
        router->route(DocumentContent::PowerPointPackage, pptx);
        router->route(DocumentContent::Package, pptx);
        router->route(DocumentContent::PowerPointBinary, legacyPpt);
        registry.add({extension}, router);
    }
}

bool legacyFormatsAvailable()
{
    return !office::LegacyConverter::sofficePath().isEmpty();
}

OfficeCapabilities capabilitiesOf(const EngineRegistry& registry)
{
    OfficeCapabilities caps;
    caps.wordNewFormats = registry.supports(QStringLiteral(".docx"));
    caps.excelNewFormats = registry.supports(QStringLiteral(".xlsx"));
    caps.powerPointNewFormats = registry.supports(QStringLiteral(".pptx"));
    caps.hasWord = caps.wordNewFormats || registry.supports(QStringLiteral(".doc")) || registry.supports(QStringLiteral(".rtf"));
    caps.hasExcel = caps.excelNewFormats || registry.supports(QStringLiteral(".xls"));
    caps.hasPowerPoint = caps.powerPointNewFormats || registry.supports(QStringLiteral(".ppt"));
    return caps;
}

} // namespace varnel
