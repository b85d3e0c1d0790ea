#include "office/OfficeEngines.h"

#include "office/docx/DocxEngine.h"
#include "office/rtf/RtfEngine.h"

namespace varnel {

void registerOfficeEngines(EngineRegistry& registry)
{
    registry.add({QStringLiteral(".docx")}, std::make_shared<office::DocxEngine>());
    registry.add({QStringLiteral(".rtf")}, std::make_shared<RtfEngine>());
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
