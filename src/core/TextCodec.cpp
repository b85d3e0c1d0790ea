#include "core/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <bitset>
#include <memory>

namespace varnel {

namespace {

const char* kGb18030 = "GB18030";

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Which BMP code units GBK holds in two bytes. Built once by encoding every non-surrogate unit in one
// pass and walking the GB18030 output, whose one-, two- and four-byte forms tell themselves apart.
std::unique_ptr<std::bitset<0x10000>> buildDoubleByteTable()
{
    auto table = std::make_unique<std::bitset<0x10000>>();
    QString all;
    all.reserve(0x10000);
    for (char32_t u = 0; u < 0x10000; ++u)
        if (u < 0xD800 || u > 0xDFFF)
            all.append(QChar(static_cast<char16_t>(u)));
    QStringEncoder encoder(kGb18030);
    const QByteArray bytes = encoder(all);
    qsizetype i = 0;
    for (QChar c : std::as_const(all)) {
        if (i >= bytes.size())
            break;
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            i += 1;
            continue;
        }
        const auto second = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (second >= 0x30 && second <= 0x39) {
            i += 4;
        } else {
            table->set(c.unicode());
            i += 2;
        }
    }
    return table;
}

bool isAscii(QStringView text)
{
    char16_t bits = 0; // no early exit: the loop vectorizes
    for (QChar c : text)
        bits |= c.unicode();
    return bits < 0x80;
}

} // namespace

QString decodeText(Charset charset, QByteArrayView bytes, bool* roundTrips)
{
    if (isAscii(bytes)) {
        if (roundTrips)
            *roundTrips = true;
        return QString::fromLatin1(bytes.data(), bytes.size());
    }
    if (charset == Charset::Utf8) {
        // ConvertInitialBom: a leading EF BB BF in the bytes is text (a caller strips a file's mark
        // itself); dropping it would make a file that starts with two marks fail to round-trip.
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString text = decoder(bytes);
        // Well-formed UTF-8 and text are in one-to-one correspondence, and the decoder flags every
        // ill-formed sequence (overlong, surrogate, cut short), so no error means the bytes round-trip.
        if (roundTrips)
            *roundTrips = !decoder.hasError();
        return text;
    }
    QStringDecoder decoder(kGb18030, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (roundTrips)
        *roundTrips = !decoder.hasError() && encodeText(charset, text) == bytes;
    return text;
}

QByteArray encodeText(Charset charset, QStringView text)
{
    if (charset == Charset::Utf8)
        return text.toUtf8();
    // GB18030 is ASCII for ASCII text, which Latin-1 conversion handles many times faster.
    if (isAscii(text))
        return text.toLatin1();
    QStringEncoder encoder(kGb18030, QStringEncoder::Flag::Stateless);
    return encoder(text);
}

bool isDoubleByteInAnsi(char16_t unit)
{
    static const std::unique_ptr<std::bitset<0x10000>> table = buildDoubleByteTable();
    return table->test(unit);
}

QString decodeImportedText(QByteArrayView bytes)
{
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder(bytes.sliced(2));
    }
    if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder(bytes.sliced(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return decodeText(Charset::Gb18030, bytes);
}

QByteArray encodeLocalText(QStringView text)
{
    QStringEncoder encoder(QStringEncoder::System);
    return encoder(text);
}

} // namespace varnel
