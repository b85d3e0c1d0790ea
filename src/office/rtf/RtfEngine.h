#pragma once
// The engine of .rtf documents, which it edits directly: only the bytes of replaced characters change.

#include "core/DocumentEngine.h"

namespace varnel {

class RtfEngine : public DocumentEngine
{
public:
    // Applies the definitions as Word's Replace All would: in order, each in the main text (with the
    // replace text's line feeds turned into manual line breaks when the definitions come from the
    // dictionary workbook), in headers and footers when ChkHeaderFooter is exactly 1, and in text boxes
    // when ChkWordTextBox is exactly 1 (those of headers and footers only when both are); match case
    // unless ChkMatchCase is 0, whole word and wildcards when ChkWholeWord / ChkMatchWildcards are exactly
    // 1. A definition whose find text is empty, whose find or replace text is 256 characters or longer,
    // or whose two texts are equal under the comparison mode is skipped there. Footnotes and endnotes
    // then get every definition as a plain replacement that ignores letter case and width.
    // The file is written (atomically) only when its bytes changed. A file that is not well-formed RTF,
    // or whose protection keeps Replace All out (reading, comments or form fields only), is left
    // byte-identical with an error.
    EngineResult replace(const QString& path, const EngineRequest& request) override;
};

} // namespace varnel
