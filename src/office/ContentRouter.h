#pragma once
// The engine registered for an extension when what a file holds decides who edits it: the file is handed
// to the engine of its content (a .doc that holds a package to the .docx engine, a .docx that holds RTF to
// the RTF engine) and, edited in place under its own name, keeps the format it holds. Nothing is ever
// converted to the format the name promises. Content that no engine of the family edits (a web page, a
// workbook saved as .doc) gets a log line saying what the file really is; content that is not recognised
// at all goes to the extension's own engine, which says why it cannot edit it.

#include "core/DocumentEngine.h"
#include "office/DocumentContent.h"

#include <QHash>

#include <memory>

namespace varnel {

class ContentRouter : public DocumentEngine
{
public:
    // native: the engine of the extension; expected: what the extension promises, for the log line
    // ("Word文档").
    ContentRouter(std::shared_ptr<DocumentEngine> native, const QString& expected);

    // Files holding this content go to this engine.
    void route(DocumentContent content, std::shared_ptr<DocumentEngine> engine);

    EngineResult replace(const QString& path, const EngineRequest& request) override;

private:
    std::shared_ptr<DocumentEngine> m_native;
    QString m_expected;
    QHash<DocumentContent, std::shared_ptr<DocumentEngine>> m_routes;
};

} // namespace varnel
