#include "office/ContentRouter.h"

#include "core/FileCheck.h"

namespace varnel {

ContentRouter::ContentRouter(std::shared_ptr<DocumentEngine> native, const QString& expected)
    : m_native(std::move(native))
    , m_expected(expected)
{
}

void ContentRouter::route(DocumentContent content, std::shared_ptr<DocumentEngine> engine)
{
    m_routes.insert(content, std::move(engine));
}

EngineResult ContentRouter::replace(const QString& path, const EngineRequest& request)
{
    // Finding out what a file holds opens it: a named pipe or a device is refused before that.
    EngineResult refused;
    refused.error = notRegularFileReason(path);
    if (!refused.error.isEmpty())
        return refused;
    const DocumentContent content = documentContentOf(path);
    const auto route = m_routes.constFind(content);
    if (route != m_routes.constEnd())
        return (*route)->replace(path, request);
    if (content == DocumentContent::Unknown || content == DocumentContent::CompoundFile)
        return m_native->replace(path, request);
    EngineResult result;
    result.error = QStringLiteral("文件实际是%1，不是%2，未处理").arg(documentContentName(content), m_expected);
    return result;
}

} // namespace varnel
