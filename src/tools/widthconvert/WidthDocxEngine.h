#pragma once
// Converts the character width of a .docx document's main text: the body with its tables, hyperlinks,
// content controls and field results. Headers, footers, text boxes, notes and field codes stay as they
// are. Only the content of w:t elements changes, one code unit for one, so every character keeps its run
// and its formatting; the package is written back only when some text changed.

#include "core/DocumentEngine.h"
#include "tools/widthconvert/WidthText.h"

namespace varnel::widthconvert {

class WidthDocxEngine : public DocumentEngine
{
public:
    explicit WidthDocxEngine(WidthMode mode)
        : m_mode(mode)
    {
    }

    // The request's definitions are not used. In punctuation mode the conversion's percentage goes to
    // request.ui (WidthProgress). A document whose editing is restricted or that needs a password to be
    // modified is left as it is with an error.
    EngineResult replace(const QString& path, const EngineRequest& request) override;

private:
    WidthMode m_mode;
};

} // namespace varnel::widthconvert
