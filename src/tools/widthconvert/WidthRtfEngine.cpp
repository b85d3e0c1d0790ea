#include "tools/widthconvert/WidthRtfEngine.h"

#include "core/FileCheck.h"
#include "core/FileIo.h"
#include "office/docx/DocxEngine.h"
#include "office/rtf/RtfDocument.h"
#include "office/rtf/RtfEditor.h"
#include "tools/widthconvert/WidthProgress.h"

#include <QFileInfo>

#include <optional>

namespace varnel::widthconvert {

EngineResult WidthRtfEngine::replace(const QString& path, const EngineRequest& request)
{
    EngineResult result;
    result.error = QFileInfo::exists(path) ? notRegularFileReason(path) : QStringLiteral("文件不存在");
    if (!result.error.isEmpty())
        return result;
    const FileIo& io = FileIo::current();
    QString error;
    const std::optional<QByteArray> original = io.readAll(path, &error);
    if (!original) {
        result.error = QStringLiteral("读取文件失败：") + error;
        return result;
    }
    RtfDocument document;
    if (!document.parse(*original)) {
        result.error = document.error() + QStringLiteral("，未作修改");
        return result;
    }
    if (document.editingRestricted()) {
        result.error = office::DocxEngine::restrictedError();
        return result;
    }

    qsizetype total = 0;
    for (const RtfStory& story : document.stories()) {
        if (story.kind == RtfStoryKind::Main && !story.mirror) {
            for (const RtfSegment& segment : story.segments)
                total += segment.text.size();
        }
    }
    WidthProgress progress(request, m_mode == WidthMode::PunctuationToFullWidth ? total : 0);
    RtfEditor editor(document);
    int changed = 0;
    for (const RtfStory& story : document.stories()) {
        if (story.kind != RtfStoryKind::Main || story.mirror)
            continue;
        for (const RtfSegment& segment : story.segments) {
            for (qsizetype i = 0; i < segment.text.size(); ++i) {
                const char16_t unit = segment.text.at(i).unicode();
                const char16_t converted = convertWidth(m_mode, unit);
                // One character at a time, so each keeps the formatting in effect where it stands.
                if (converted != unit) {
                    editor.replace(segment, i, 1, QString(QChar(converted)));
                    ++changed;
                }
                progress.advance();
            }
        }
    }
    if (changed == 0)
        return result;

    const QByteArray bytes = editor.apply(*original);
    RtfDocument check;
    if (!check.parse(bytes)) {
        result.error = QStringLiteral("转换后的文档无法重新读取，未作修改");
        return result;
    }
    if (!request.dryRun && !io.writeAtomically(path, bytes, &error)) {
        result.error = QStringLiteral("写入文件失败：") + error;
        return result;
    }
    result.changed = true;
    result.replacements = changed;
    return result;
}

} // namespace varnel::widthconvert
