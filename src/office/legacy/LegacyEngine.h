#pragma once
// An engine for an Office 97-2003 binary format (.doc .xls .ppt) made of an OOXML engine and LibreOffice:
// the document is copied to a private folder, converted to OOXML, handed to the inner engine and, only when
// that changed something, converted back and put in place of the original atomically (keeping its
// permissions). Whatever fails on the way, the original stays byte-identical.

#include "core/DocumentEngine.h"
#include "office/legacy/LegacyConverter.h"

#include <memory>

namespace varnel::office {

class LegacyEngine : public DocumentEngine
{
public:
    // ooxmlExtension: the inner engine's format, e.g. ".docx"; toOoxmlFilter and backFilter: LibreOffice
    // --convert-to filters such as "docx:MS Word 2007 XML" and "doc:MS Word 97". The back filter's extension
    // names the binary format every file given is taken to be, whatever its own extension.
    LegacyEngine(std::shared_ptr<DocumentEngine> inner, const QString& ooxmlExtension, const QString& toOoxmlFilter,
                 const QString& backFilter);

    EngineResult replace(const QString& path, const EngineRequest& request) override;

    LegacyConverter& converter() { return m_converter; }

private:
    std::shared_ptr<DocumentEngine> m_inner;
    QString m_ooxmlExtension;
    QString m_toOoxmlFilter;
    QString m_backFilter;
    LegacyConverter m_converter;
};

} // namespace varnel::office
