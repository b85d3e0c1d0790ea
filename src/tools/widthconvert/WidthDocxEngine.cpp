#include "tools/widthconvert/WidthDocxEngine.h"

#include "office/docx/DocxDocument.h"
#include "office/docx/DocxEngine.h"
#include "office/docx/WordStoryText.h"
#include "tools/widthconvert/WidthProgress.h"


#include <memory>

namespace varnel::widthconvert {

using office::DocxDocument;
using office::WordStory;
using office::WordStoryText;

EngineResult WidthDocxEngine::replace(const QString& path, const EngineRequest& request)
{
    EngineResult result;
    QString error;
    const std::unique_ptr<DocxDocument> document = DocxDocument::open(path, &error);
    if (!document) {
        result.error = error;
        return result;
    }
    if (document->editingRestricted()) {
        result.error = office::DocxEngine::restrictedError();
        return result;
    }
    if (document->writeProtected()) {
        result.error = office::DocxEngine::writeProtectedError();
        return result;
    }

    std::vector<WordStoryText> texts;
    qsizetype total = 0;
    for (const WordStory& story : document->stories()) {
        if (story.kind != WordStory::Kind::Main || story.shadow)
            continue;
        texts.emplace_back(document->names(story.part), story.container);
        for (const office::WordSegment& segment : texts.back().segments())
            total += segment.text.size();
    }

    WidthProgress progress(request, m_mode == WidthMode::PunctuationToFullWidth ? total : 0);
    int changedNodes = 0;
    for (const WordStoryText& text : texts) {
        for (const office::WordSegment& segment : text.segments()) {
            for (const office::WordPiece& piece : segment.pieces) {
                if (piece.kind == office::WordAtom::Text) {
                    // The whole content, white space Word does not show included: the conversion never
                    // touches white space, and so it keeps the element exactly as it was around its text.
                    const QString content = QString::fromUtf8(piece.node.text().get());
                    const QString converted = convertWidth(m_mode, content);
                    if (converted != content) {
                        piece.node.text().set(converted.toUtf8().constData());
                        ++changedNodes;
                    }
                }
                progress.advance(piece.length);
            }
        }
    }
    if (changedNodes == 0)
        return result;

    document->markChanged(document->mainPart());
    document->updateDataBindings();
    if (!request.dryRun && !document->save(&error)) {
        result.error = error;
        return result;
    }
    result.changed = true;
    result.replacements = changedNodes;
    return result;
}

} // namespace varnel::widthconvert
