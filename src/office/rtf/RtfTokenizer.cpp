#include "office/rtf/RtfTokenizer.h"

#include <limits>

namespace varnel {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView data)
    : m_data(data)
{
}

RtfToken RtfTokenizer::fail(qsizetype offset, const QString& message)
{
    m_error = message;
    m_errorOffset = offset;
    m_pos = m_data.size();
    RtfToken token;
    token.type = RtfTokenType::Error;
    token.begin = token.end = offset;
    return token;
}

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    if (!m_error.isEmpty()) {
        token.type = RtfTokenType::Error;
        token.begin = token.end = m_errorOffset;
        return token;
    }
    const qsizetype size = m_data.size();
    token.begin = m_pos;
    if (m_pos >= size) {
        token.type = RtfTokenType::End;
        token.end = m_pos;
        return token;
    }
    const char c = m_data[m_pos];
    switch (c) {
    case '{':
        token.type = RtfTokenType::GroupOpen;
        token.end = ++m_pos;
        return token;
    case '}':
        token.type = RtfTokenType::GroupClose;
        token.end = ++m_pos;
        return token;
    case '\r':
    case '\n':
        while (m_pos < size && (m_data[m_pos] == '\r' || m_data[m_pos] == '\n'))
            ++m_pos;
        token.type = RtfTokenType::LineEnd;
        token.end = m_pos;
        return token;
    case '\\': {
        if (m_pos + 1 >= size)
            return fail(m_pos, QStringLiteral("文件在第 %1 字节处的反斜杠后结束，内容不完整").arg(m_pos));
        const char s = m_data[m_pos + 1];
        if (isLetter(s))
            return controlWord(m_pos);
        if (s == '\'') {
            if (m_pos + 3 >= size)
                return fail(m_pos, QStringLiteral("文件在第 %1 字节处的“\\'”转义中结束，内容不完整").arg(m_pos));
            const int high = hexValue(m_data[m_pos + 2]);
            const int low = hexValue(m_data[m_pos + 3]);
            if (high < 0 || low < 0)
                return fail(m_pos, QStringLiteral("第 %1 字节处的“\\'”后面不是两位十六进制数").arg(m_pos));
            token.type = RtfTokenType::HexByte;
            token.byte = static_cast<unsigned char>(high * 16 + low);
            m_pos += 4;
            token.end = m_pos;
            return token;
        }
        token.type = RtfTokenType::ControlSymbol;
        token.symbol = s;
        m_pos += 2;
        token.end = m_pos;
        return token;
    }
    default:
        break;
    }
    qsizetype end = m_pos;
    while (end < size) {
        const char t = m_data[end];
        if (t == '{' || t == '}' || t == '\\' || t == '\r' || t == '\n')
            break;
        ++end;
    }
    token.type = RtfTokenType::Text;
    token.text = m_data.sliced(m_pos, end - m_pos);
    m_pos = end;
    token.end = end;
    return token;
}

RtfToken RtfTokenizer::controlWord(qsizetype start)
{
    const qsizetype size = m_data.size();
    RtfToken token;
    token.type = RtfTokenType::ControlWord;
    token.begin = start;
    qsizetype p = start + 1;
    while (p < size && isLetter(m_data[p]))
        ++p;
    token.word = m_data.sliced(start + 1, p - start - 1);
    bool negative = false;
    if (p + 1 < size && m_data[p] == '-' && isDigit(m_data[p + 1])) {
        negative = true;
        ++p;
    }
    if (p < size && isDigit(m_data[p])) {
        long long value = 0;
        while (p < size && isDigit(m_data[p])) {
            if (value < std::numeric_limits<int>::max())
                value = value * 10 + (m_data[p] - '0');
            ++p;
        }
        if (value > std::numeric_limits<int>::max())
            value = std::numeric_limits<int>::max();
        token.hasParam = true;
        token.param = static_cast<int>(negative ? -value : value);
    }
    if (p < size && m_data[p] == ' ') {
        token.delimited = true;
        ++p;
    }
    if (token.word == QByteArrayView("bin") && token.hasParam && token.param > 0) {
        if (token.param > size - p)
            return fail(start, QStringLiteral("文件在第 %1 字节处的二进制数据（\\bin%2）中结束，内容不完整")
                                   .arg(start)
                                   .arg(token.param));
        token.text = m_data.sliced(p, token.param);
        p += token.param;
    }
    m_pos = p;
    token.end = p;
    return token;
}

} // namespace varnel
