#include "core/TextFileEngine.h"

#include "core/FileCheck.h"
#include "core/FileIo.h"
#include "core/TextCodec.h"
#include "core/TextEncoding.h"
#include "core/TextReplace.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace varnel {

namespace {

const QByteArrayView kUtf8Mark("\xEF\xBB\xBF");
const QByteArrayView kUtf16LeMark("\xFF\xFE");

// A text file taken apart: the text, and what surrounds it in the file and must come back unchanged.
struct TextFile {
    TextEncoding encoding = TextEncoding::None;
    QByteArrayView body;  // the bytes the text was decoded from
    QByteArrayView tail;  // the odd last byte of a UTF-16 file, which holds no whole code unit
    QString text;
    std::optional<bool> roundTrips; // whether encoding text gives body again; worked out when needed
};

TextFile decode(TextEncoding encoding, QByteArrayView bytes)
{
    TextFile file;
    file.encoding = encoding;
    file.body = bytes;
    switch (encoding) {
    case TextEncoding::Ansi:
        file.text = decodeText(Charset::Gb18030, file.body);
        break;
    case TextEncoding::Utf8:
        if (file.body.startsWith(kUtf8Mark))
            file.body = file.body.sliced(kUtf8Mark.size());
        file.roundTrips = false;
        file.text = decodeText(Charset::Utf8, file.body, &*file.roundTrips);
        break;
    case TextEncoding::Utf16Le: {
        file.body = file.body.sliced(kUtf16LeMark.size());
        if (file.body.size() % 2 != 0) {
            file.tail = file.body.last(1);
            file.body.chop(1);
        }
        const qsizetype units = file.body.size() / 2;
        file.text = QString(units, Qt::Uninitialized);
        qFromLittleEndian<char16_t>(file.body.data(), units, file.text.data());
        file.roundTrips = true; // every code unit is kept as it is
        break;
    }
    case TextEncoding::None:
    case TextEncoding::Utf16Be:
        break;
    }
    return file;
}

QByteArray encode(const TextFile& file, const QString& text)
{
    switch (file.encoding) {
    case TextEncoding::Ansi:
        return encodeText(Charset::Gb18030, text);
    case TextEncoding::Utf8: {
        QByteArray bytes = text.toUtf8();
        bytes.prepend(kUtf8Mark);
        return bytes;
    }
    case TextEncoding::Utf16Le: {
        QByteArray bytes(kUtf16LeMark.size() + text.size() * 2 + file.tail.size(), Qt::Uninitialized);
        std::copy(kUtf16LeMark.begin(), kUtf16LeMark.end(), bytes.begin());
        qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data() + kUtf16LeMark.size());
        std::copy(file.tail.begin(), file.tail.end(), bytes.end() - file.tail.size());
        return bytes;
    }
    case TextEncoding::None:
    case TextEncoding::Utf16Be:
        break;
    }
    return {};
}

// Empty when writing the unchanged text back would give the original bytes, else why not. Decoding
// replaces bytes that are invalid in the encoding, so a file holding any would be damaged outside the
// replaced text.
QString lossyReadDescription(const TextFile& file)
{
    const bool roundTrips = file.roundTrips.has_value()
        ? *file.roundTrips
        : encodeText(Charset::Gb18030, file.text) == file.body;
    if (roundTrips)
        return {};
    return QStringLiteral("文件含有无法按其编码（%1）无损读写的字节，未作修改")
        .arg(file.encoding == TextEncoding::Utf8 ? u"UTF-8" : u"GB18030");
}

} // namespace

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
    const TextFile file = decode(encoding, *bytes);
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
    if (!request.dryRun && !io.writeAtomically(path, encode(file, buffer.text()), &error)) {
        result.error = QStringLiteral("写入文件失败：") + error;
        return result;
    }
    result.changed = true;
    result.replacements = replacements;
    return result;
}

} // namespace varnel
