#include "office/pptx/SlideRangeReplacer.h"

#include "core/TextCompare.h"

namespace varnel::office {

SlideRangeReplacer::SlideRangeReplacer(const QString& find, const QString& replacement, const SlideFindOptions& options)
    : m_find(find)
    , m_replacement(replacement)
    , m_options(options)
    , m_resumeBehind(findText(replacement, find, 0, options.matchCase ? CompareMode::Binary : CompareMode::Text) >= 0)
{
}

SlideRangeReplacer::Outcome SlideRangeReplacer::run(SlideTextRange& range, bool groupItem) const
{
    Outcome outcome;
    const qsizetype maxLength = range.text().size() * kMaxGrowth + kGrowthAllowance;
    // The first search always starts at the beginning.
    std::optional<TextSpan> replaced = range.replace(m_find, m_replacement, 0, m_options);
    const qsizetype restart = groupItem ? 1 : 0;
    while (replaced) {
        ++outcome.replacements;
        if (!m_resumeBehind && (outcome.replacements > kMaxReplacements || range.text().size() > maxLength)) {
            outcome.runaway = true;
            break;
        }
        // Behind the inserted text: the position the replaced span ends at, which is where PowerPoint's
        // search for the inserted text normally lands too.
        const qsizetype after = m_resumeBehind ? replaced->start + replaced->length : restart;
        replaced = range.replace(m_find, m_replacement, after, m_options);
    }
    return outcome;
}

} // namespace varnel::office
