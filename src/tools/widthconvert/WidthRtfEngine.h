#pragma once
// Converts the character width of an .rtf document's main text (the body with its tables and field
// results), rewriting only the bytes of the characters that change: each is written where it was, in
// the formatting in effect there. Headers, footers, text boxes, notes and field instructions stay as
// they are.

#include "core/DocumentEngine.h"
#include "tools/widthconvert/WidthText.h"

namespace varnel::widthconvert {

class WidthRtfEngine : public DocumentEngine
{
public:
    explicit WidthRtfEngine(WidthMode mode)
        : m_mode(mode)
    {
    }

    // As WidthDocxEngine::replace: a document that is not well-formed RTF or whose editing is restricted
    // is left byte-identical with an error.
    EngineResult replace(const QString& path, const EngineRequest& request) override;

private:
    WidthMode m_mode;
};

} // namespace varnel::widthconvert
