#pragma once
// One definition applied to one text range the way a replace-all over PowerPoint's TextRange.Replace runs:
// the first occurrence is replaced, then Replace is called again until it finds nothing.
//
// When the replacement contains the find text (under the comparison in use, so "xAB" for "ab" with match
// case off as well), each search resumes behind the text just inserted, so every occurrence present before
// is replaced exactly once and the loop ends. Otherwise each search starts again at the beginning, so
// occurrences that arise from earlier replacements are replaced too; for the items of a grouped shape it
// starts behind the first character, as PowerPoint's group items do.
//
// Resuming behind each insertion always ends: the text left behind the search point shrinks by the find
// text's length every time. Starting again at the beginning may run away (a find "ba" replaced by "aab"
// doubles the a's behind every b), so that loop stops when it has made a million replacements or grown the
// text past 16 times its size plus 4,096 units, and says so; the caller then leaves the file as it was.

#include "office/pptx/SlideTextRange.h"

namespace varnel::office {

class SlideRangeReplacer
{
public:
    struct Outcome {
        int replacements = 0;
        bool runaway = false; // stopped by the bound; the range is half-done
    };

    SlideRangeReplacer(const QString& find, const QString& replacement, const SlideFindOptions& options);

    // groupItem: the range is the text of an item of a grouped shape.
    Outcome run(SlideTextRange& range, bool groupItem) const;

    static constexpr int kMaxReplacements = 1'000'000;
    static constexpr qsizetype kMaxGrowth = 16;
    static constexpr qsizetype kGrowthAllowance = 4096;

private:
    QString m_find;
    QString m_replacement;
    SlideFindOptions m_options;
    bool m_resumeBehind = false;
};

} // namespace varnel::office
