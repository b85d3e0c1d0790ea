#include "office/rtf/RtfCodePage.h"

#include "core/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <map>

namespace varnel {

namespace {

constexpr int kChinese = 936;

QByteArray codecNameFor(int number)
{
    switch (number) {
    case 10000:
        return "macintosh";
    case 437:
    case 850:
    case 852:
    case 866:
        return "IBM" + QByteArray::number(number);
    default:
        break;
    }
    const QByteArray windows = "windows-" + QByteArray::number(number);
    if (QStringDecoder(windows.constData()).isValid())
        return windows;
    return "windows-1252";
}

} // namespace

int RtfCodePage::fromCharset(int charset)
{
    switch (charset) {
    case 2:
        return Symbol;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return kChinese;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

const RtfCodePage& RtfCodePage::get(int number)
{
    thread_local std::map<int, std::unique_ptr<RtfCodePage>> pages;
    auto it = pages.find(number);
    if (it == pages.end())
        it = pages.emplace(number, std::make_unique<RtfCodePage>(number)).first;
    return *it->second;
}

RtfCodePage::RtfCodePage(int number)
    : m_number(number)
{
    switch (number) {
    case kChinese:
        m_gb18030 = true;
        m_doubleByte = true;
        break;
    case 932:
    case 949:
    case 950:
    case 1361:
        m_doubleByte = true;
        m_codecName = codecNameFor(number);
        // A double-byte page ICU does not know would split characters wrongly; read it byte by byte.
        if (m_codecName == "windows-1252")
            m_doubleByte = false;
        break;
    case Symbol:
        break;
    default:
        m_codecName = codecNameFor(number);
        break;
    }

    if (m_doubleByte) {
        m_pairs.assign(0x10000, 0);
        return;
    }
    m_singleBytes.resize(256);
    for (int b = 0; b < 256; ++b) {
        if (number == Symbol) {
            m_singleBytes[b] = static_cast<char16_t>(0xF000 + b);
            continue;
        }
        const char byte = static_cast<char>(b);
        QStringDecoder decoder(m_codecName.constData(), QStringDecoder::Flag::Stateless);
        const QString text = decoder(QByteArrayView(&byte, 1));
        m_singleBytes[b] = text.size() == 1 ? text[0].unicode() : char16_t(0xFFFD);
    }
}

bool RtfCodePage::isLeadByte(unsigned char byte) const
{
    if (!m_doubleByte)
        return false;
    if (m_number == 932)
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return byte >= 0x81 && byte <= 0xFE;
}

int RtfCodePage::sequenceLength(QByteArrayView start) const
{
    if (start.isEmpty())
        return 0;
    if (!isLeadByte(static_cast<unsigned char>(start[0])))
        return 1;
    if (start.size() < 2)
        return 0;
    const auto second = static_cast<unsigned char>(start[1]);
    if (m_gb18030 && second >= 0x30 && second <= 0x39)
        return 4;
    return 2;
}

bool RtfCodePage::decodeUnit(QByteArrayView bytes, char16_t* unit) const
{
    if (bytes.size() == 1) {
        const auto b = static_cast<unsigned char>(bytes[0]);
        if (!m_doubleByte) {
            *unit = m_singleBytes[b];
            return true;
        }
        if (b < 0x80) {
            *unit = b;
            return true;
        }
        return false;
    }
    if (bytes.size() == 2 && m_doubleByte) {
        const unsigned key = (static_cast<unsigned char>(bytes[0]) << 8) | static_cast<unsigned char>(bytes[1]);
        if (m_pairs[key] == 0) {
            QString text;
            if (m_gb18030) {
                text = decodeText(Charset::Gb18030, bytes);
            } else {
                QStringDecoder decoder(m_codecName.constData(), QStringDecoder::Flag::Stateless);
                text = decoder(bytes);
            }
            m_pairs[key] = text.size() == 1 ? text[0].unicode() : char16_t(0xFFFD);
        }
        *unit = m_pairs[key];
        return true;
    }
    return false;
}

QString RtfCodePage::decode(QByteArrayView bytes) const
{
    char16_t unit = 0;
    if (decodeUnit(bytes, &unit))
        return QString(QChar(unit));
    if (m_gb18030)
        return decodeText(Charset::Gb18030, bytes);
    if (m_codecName.isEmpty())
        return QString(QChar(0xFFFD));
    QStringDecoder decoder(m_codecName.constData(), QStringDecoder::Flag::Stateless);
    return decoder(bytes);
}

QByteArray RtfCodePage::encode(QStringView character) const
{
    if (m_gb18030)
        return encodeText(Charset::Gb18030, character);
    if (m_codecName.isEmpty())
        return {};
    QStringEncoder encoder(m_codecName.constData(), QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder(character);
    if (encoder.hasError())
        return {};
    // Some converters substitute an unmappable character without flagging it: accept the bytes only
    // when they decode back to the character.
    QStringDecoder decoder(m_codecName.constData(), QStringDecoder::Flag::Stateless);
    const QString back = decoder(bytes);
    if (back != character)
        return {};
    return bytes;
}

} // namespace varnel
