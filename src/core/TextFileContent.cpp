#include "core/TextFileContent.h"

#include "core/TextCodec.h"

#include <QtEndian>

#include <algorithm>

namespace varnel {

namespace {

const QByteArrayView kUtf8Mark("\xEF\xBB\xBF");
const QByteArrayView kUtf16LeMark("\xFF\xFE");

} // namespace

TextFile decodeTextFile(TextEncoding encoding, QByteArrayView bytes)
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

QByteArray encodeTextFile(const TextFile& file, const QString& text)
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

} // namespace varnel
