#pragma once
// The PowerPoint engine for .pptx: every definition of the run replaced in every text range of the
// presentation the way a loop over PowerPoint's TextRange.Replace does it (SlideRangeReplacer), and the
// presentation written once at the end, only when something changed.
//
// Per definition, in order: the progress caption; the skip rule (find and replace equal under the
// comparison mode, or either 256 characters or longer); then every range PptxDocument lists: layouts and
// masters, slides with their tables and groups, and the notes pages when ChkNotepage is on. Match case
// (ChkMatchCase nonzero) and whole words (ChkPPTWholeWord exactly 1) are the only options that apply.
//
// A replacement that would never end is stopped: the file is then left as it was, with a log line.

#include "core/DocumentEngine.h"

namespace varnel::office {

class PptxEngine : public DocumentEngine
{
public:
    EngineResult replace(const QString& path, const EngineRequest& request) override;

    // The log text of a definition whose replacement does not end.
    static QString runawayError(const QString& find, const QString& replacement);
};

} // namespace varnel::office
