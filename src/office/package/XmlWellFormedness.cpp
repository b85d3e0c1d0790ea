#include "office/package/XmlWellFormedness.h"

#include "office/package/XmlMarkupScan.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace varnel::office {

namespace {

QString codePoint(char32_t c)
{
    return QStringLiteral("U+") + QStringLiteral("%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

// The length of the strict UTF-8 sequence at text[i] (no overlong forms, surrogates or values past
// U+10FFFF) with its value in *c; 0 when the bytes there are no such sequence.
int decodeUtf8(std::string_view text, std::string_view::size_type i, char32_t* c)
{
    const auto byte = [&](std::string_view::size_type k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    int length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        min = 0x80;
        *c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        min = 0x800;
        *c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        min = 0x10000;
        *c = lead & 0x07;
    } else {
        return 0;
    }
    if (i + std::string_view::size_type(length) > text.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + std::string_view::size_type(k));
        if ((next & 0xC0) != 0x80)
            return 0;
        *c = (*c << 6) | (next & 0x3F);
    }
    if (*c < min || *c > 0x10FFFF || (*c >= 0xD800 && *c <= 0xDFFF))
        return 0;
    return length;
}

// Whether the eight bytes at p are all ASCII from the space on, which are XML characters as they are. A
// byte below 0x20 borrows in the subtraction and sets its high bit (a borrow only ever runs upwards, from
// such a byte), a byte from 0x80 on has it set already.
bool plainAscii8(const char* p)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return ((word | (word - 0x20 * kOnes)) & kHighBits) == 0;
}

// Every character valid UTF-8 and an XML 1.0 Char.
QString characterProblem(std::string_view text)
{
    for (std::string_view::size_type i = 0; i < text.size();) {
        if (i + 8 <= text.size() && plainAscii8(text.data() + i)) {
            i += 8;
            continue;
        }
        const unsigned char b = static_cast<unsigned char>(text[i]);
        char32_t c = b;
        int length = 1;
        if (b >= 0x80 && (length = decodeUtf8(text, i, &c)) == 0)
            return QStringLiteral("含有无效的UTF-8字节") + XmlMarkupScan::at(i);
        if (!XmlMarkupScan::isXmlChar(c))
            return QStringLiteral("含有XML不允许的字符%1").arg(codePoint(c)) + XmlMarkupScan::at(i);
        i += std::string_view::size_type(length);
    }
    return QString();
}

} // namespace

QString xmlWellFormednessProblem(QByteArrayView utf8)
{
    const std::string_view text(utf8.data(), size_t(utf8.size()));
    QString problem = characterProblem(text);
    if (problem.isEmpty())
        problem = XmlMarkupScan(text, false).run();
    return problem;
}

QString xmlDocumentProblem(QByteArrayView utf8)
{
    const std::string_view text(utf8.data(), size_t(utf8.size()));
    QString problem = characterProblem(text);
    if (problem.isEmpty())
        problem = XmlMarkupScan(text, true).run();
    return problem;
}

} // namespace varnel::office
