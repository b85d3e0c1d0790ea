#include "office/pptx/PptxEngine.h"

#include "core/TextCompare.h"
#include "office/pptx/PptxDocument.h"
#include "office/pptx/SlideRangeReplacer.h"

namespace varnel::office {

namespace {

constexpr qsizetype kMaxTextLength = 255; // PowerPoint's Replace takes at most 255 characters

} // namespace

QString PptxEngine::runawayError(const QString& find, const QString& replacement)
{
    return QStringLiteral("把“%1”替换为“%2”时文本不断增长，替换无法结束，文件未修改").arg(find, replacement);
}

EngineResult PptxEngine::replace(const QString& path, const EngineRequest& request)
{
    EngineResult result;
    QString error;
    const std::unique_ptr<PptxDocument> document =
        PptxDocument::open(path, request.options.isOn(Option::Notepage), &error, request.password);
    if (!document) {
        result.error = error;
        return result;
    }

    const SlideFindOptions options{request.options.isOn(Option::MatchCase), request.options.isOn(Option::PPTWholeWord)};
    const CompareMode mode = options.matchCase ? CompareMode::Binary : CompareMode::Text;
    bool changed = false;
    int replacements = 0;
    for (qsizetype i = 0; i < request.findTexts.size(); ++i) {
        if (request.ui)
            request.ui->progress(request.progressCaption + QStringLiteral("，替换第 %1 项").arg(i + 1));
        const QString find = request.findTexts.at(i);
        const QString replacement = request.replaceTexts.value(i);
        if (textEquals(find, replacement, mode) || find.size() > kMaxTextLength || replacement.size() > kMaxTextLength)
            continue;
        const SlideRangeReplacer replacer(find, replacement, options);
        for (PresentationPart& part : document->parts()) {
            int inPart = 0;
            for (SlideTextBody& body : part.bodies) {
                const SlideRangeReplacer::Outcome outcome = replacer.run(body.range, body.groupItem);
                if (outcome.runaway) {
                    result.error = runawayError(find, replacement);
                    return result;
                }
                inPart += outcome.replacements;
            }
            if (inPart > 0) {
                document->markChanged(part.name);
                changed = true;
                replacements += inPart;
            }
        }
    }

    if (changed) {
        if (!request.dryRun && !document->save(&error)) {
            result.error = error;
            return result;
        }
        result.changed = true;
        result.replacements = replacements;
    }
    return result;
}

} // namespace varnel::office
