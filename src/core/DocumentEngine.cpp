#include "core/DocumentEngine.h"

#include "core/PathUtil.h"

namespace varnel {

DocumentKind documentKindOf(const QString& path)
{
    const QString ext = GetFileExt(path).toLower();
    if (ext == u".doc" || ext == u".docx" || ext == u".rtf")
        return DocumentKind::Word;
    if (ext == u".xls" || ext == u".xlsx" || ext == u".xlsm")
        return DocumentKind::Excel;
    if (ext == u".ppt" || ext == u".pptx")
        return DocumentKind::PowerPoint;
    if (ext == u".pdf")
        return DocumentKind::Pdf;
    return DocumentKind::Text;
}

QString documentKindName(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::Word: return QStringLiteral("Word文档");
    case DocumentKind::Excel: return QStringLiteral("Excel文档");
    case DocumentKind::PowerPoint: return QStringLiteral("PPT");
    case DocumentKind::Pdf: return QStringLiteral("PDF文档");
    case DocumentKind::Text: break;
    }
    return QStringLiteral("文本文件");
}

void EngineRegistry::add(const QStringList& extensions, std::shared_ptr<DocumentEngine> engine)
{
    for (const QString& ext : extensions)
        m_engines.insert(ext.toLower(), engine);
}

DocumentEngine* EngineRegistry::engineFor(const QString& extension) const
{
    const auto it = m_engines.constFind(extension.toLower());
    return it == m_engines.constEnd() ? nullptr : it->get();
}

} // namespace varnel
