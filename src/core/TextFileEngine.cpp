#include "core/TextFileEngine.h"

#include "core/FileCheck.h"
#include "core/FileIo.h"
#include "core/TextCodec.h"
#include "core/TextEncoding.h"
#include "core/TextFileContent.h"
#include "core/TextReplace.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace varnel {

EngineResult TextFileEngine::replace(const QString& path, const EngineRequest& request)
{
    EngineResult result;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    result.error = notRegularFileReason(path);
    if (result.error.isEmpty())
        result.error = tooLargeTextReason(info.size());
    if (!result.error.isEmpty())
        return result;

    const FileIo& io = FileIo::current();
    QString error;
    const std::optional<QByteArray> bytes = io.readAll(path, &error);
    if (!bytes) {
        result.error = QStringLiteral("读取文件失败：") + error;
        return result;
    }
    const TextEncoding encoding = detectTextEncoding(*bytes, bytes->size());
    if (encoding == TextEncoding::None || encoding == TextEncoding::Utf16Be)
        return result;

    const CompareMode mode = request.options.isOn(Option::MatchCase) ? CompareMode::Binary : CompareMode::Text;
    const TextFile file = decodeTextFile(encoding, *bytes);
    ReplaceBuffer buffer(file.text, mode);
    int replacements = 0;
    const qsizetype definitions = std::min(request.findTexts.size(), request.replaceTexts.size());
    for (qsizetype i = 0; i < definitions; ++i) {
        const QString& find = request.findTexts[i];
        const QString& replace = request.replaceTexts[i];
        if (find.isEmpty())
            continue;
        if (request.options.isOn(Option::TxtWholeWord))
            replacements += buffer.replaceWholeWord(find, replace, 1, -1, true, wholeWordSeparators());
        else
            replacements += buffer.replacePlain(find, replace);
    }
    if (replacements == 0 || buffer.text() == file.text)
        return result;

    result.error = lossyReadDescription(file);
    if (!result.error.isEmpty())
        return result;
    if (!request.dryRun && !io.writeAtomically(path, encodeTextFile(file, buffer.text()), &error)) {
        result.error = QStringLiteral("写入文件失败：") + error;
        return result;
    }
    result.changed = true;
    result.replacements = replacements;
    return result;
}

} // namespace varnel
