#include "office/OfficeEngines.h"

#include "core/FileCheck.h"
#include "office/docx/DocxEngine.h"
#include "office/legacy/LegacyEngine.h"
#include "office/rtf/RtfEngine.h"

#include <QFile>

namespace varnel {

namespace {

// A .doc file may hold RTF: Word opens such files by their content, and so do we, natively. Everything
// else goes through LibreOffice.
class DocEngine : public DocumentEngine
{
public:
    DocEngine(std::shared_ptr<DocumentEngine> rtf, std::shared_ptr<DocumentEngine> binary)
        : m_rtf(std::move(rtf))
        , m_binary(std::move(binary))
    {
    }

    EngineResult replace(const QString& path, const EngineRequest& request) override
    {
        EngineResult refused;
        refused.error = notRegularFileReason(path);
        if (!refused.error.isEmpty())
            return refused;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && file.read(5) == "{\\rtf")
            return m_rtf->replace(path, request);
        return m_binary->replace(path, request);
    }

private:
    std::shared_ptr<DocumentEngine> m_rtf;
    std::shared_ptr<DocumentEngine> m_binary;
};

} // namespace

void registerOfficeEngines(EngineRegistry& registry)
{
    const auto docx = std::make_shared<office::DocxEngine>();
    const auto rtf = std::make_shared<RtfEngine>();
    registry.add({QStringLiteral(".docx")}, docx);
    registry.add({QStringLiteral(".rtf")}, rtf);
    // Without LibreOffice the engine still takes .doc files: RTF ones natively, and the others get a log
    // line that names what is missing.
    const auto legacyDoc = std::make_shared<office::LegacyEngine>(docx, QStringLiteral(".docx"),
                                                                  QStringLiteral("docx:MS Word 2007 XML"),
                                                                  QStringLiteral("doc:MS Word 97"));
    registry.add({QStringLiteral(".doc")}, std::make_shared<DocEngine>(rtf, legacyDoc));
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
