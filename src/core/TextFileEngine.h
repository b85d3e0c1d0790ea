#pragma once
// The engine of every file that is not a Word, Excel, PowerPoint or PDF file.

#include "core/DocumentEngine.h"

namespace varnel {

class TextFileEngine : public DocumentEngine
{
public:
    // Detects the encoding, applies every definition in order (plain, or whole-word when ChkTxtWholeWord is
    // exactly 1; case and width folded unless ChkMatchCase is nonzero) and writes the file back in its
    // encoding only when the text changed. Missing, empty and UTF-16BE files are skipped silently; a path
    // that is no regular file, or a file too large for the memory available, is refused with an error.
    // A file whose bytes would not survive being read and written again in its encoding is left as it is
    // with an error. replacements counts only what was saved (or would be, in a dry run): it is 0 when
    // changed is false.
    EngineResult replace(const QString& path, const EngineRequest& request) override;
};

} // namespace varnel
