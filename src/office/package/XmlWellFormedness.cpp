#include "office/package/XmlWellFormedness.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace varnel::office {

namespace {

// An entity or character reference is short; a '&' without its ';' this close is no reference at all. The
// bound keeps the scan linear.
constexpr std::string_view::size_type kMaxReferenceLength = 40;

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// What ends a name in a tag (white space, "/", ">" or "="), looked up rather than compared four times.
constexpr std::array<bool, 256> kNameEnds = [] {
    std::array<bool, 256> ends{};
    for (const char c : {' ', '\t', '\r', '\n', '/', '>', '='})
        ends[static_cast<unsigned char>(c)] = true;
    return ends;
}();

QString at(std::string_view::size_type offset)
{
    return QStringLiteral("（第%1字节）").arg(offset);
}

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
            return QStringLiteral("含有无效的UTF-8字节") + at(i);
        if (!isXmlChar(c))
            return QStringLiteral("含有XML不允许的字符%1").arg(codePoint(c)) + at(i);
        i += std::string_view::size_type(length);
    }
    return QString();
}

// The markup: references, attributes and nesting. Characters are checked before, so only ASCII matters.
class MarkupScan
{
public:
    // structure: also the nesting of the elements, their names and what stands outside the root.
    MarkupScan(std::string_view text, bool structure)
        : m_text(text)
        , m_structure(structure)
    {
    }

    QString run();

private:
    QString endTag(std::string_view::size_type* pos);
    // The problem of what lies between two pieces of markup, [from, to).
    QString textProblem(std::string_view::size_type from, std::string_view::size_type to) const;
    QString processingInstruction(std::string_view::size_type start) const;
    QString reference(std::string_view::size_type* pos) const;
    QString startTag(std::string_view::size_type* pos);
    // The name of an attribute the tag just scanned holds twice; empty when none.
    std::string_view duplicateAttribute();
    // Moves *pos past the next `end`; false when there is none.
    bool skipPast(std::string_view end, std::string_view::size_type* pos) const;

    std::string_view m_text;
    const bool m_structure;
    int m_depth = 0;
    int m_roots = 0;
    std::vector<std::string_view> m_attributes;
    std::vector<std::string_view> m_open; // the names of the elements open, when checking the structure
};

bool isNameStart(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == ':' || u >= 0x80;
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// A name as pugixml reads one: a start character, then name characters (any non-ASCII byte counts as one).
bool isName(std::string_view name)
{
    return !name.empty() && isNameStart(name.front()) && std::all_of(name.begin() + 1, name.end(), isNameChar);
}

std::string_view MarkupScan::duplicateAttribute()
{
    // A tag has a handful of attributes: comparing each pair is cheaper than sorting them.
    constexpr size_t kPairwise = 16;
    if (m_attributes.size() <= kPairwise) {
        for (size_t a = 1; a < m_attributes.size(); ++a) {
            for (size_t b = 0; b < a; ++b) {
                if (m_attributes[a] == m_attributes[b])
                    return m_attributes[a];
            }
        }
        return {};
    }
    std::sort(m_attributes.begin(), m_attributes.end());
    const auto duplicate = std::adjacent_find(m_attributes.begin(), m_attributes.end());
    return duplicate == m_attributes.end() ? std::string_view() : *duplicate;
}

bool MarkupScan::skipPast(std::string_view end, std::string_view::size_type* pos) const
{
    const std::string_view::size_type found = m_text.find(end, *pos);
    if (found == std::string_view::npos)
        return false;
    *pos = found + end.size();
    return true;
}

QString MarkupScan::run()
{
    std::string_view::size_type pos = 0;
    std::string_view::size_type textStart = 0; // where the text since the last markup starts
    while (pos < m_text.size()) {
        // A plain loop: find_first_of looks every byte up in its set with a call of its own.
        while (pos < m_text.size() && m_text[pos] != '<' && m_text[pos] != '&')
            ++pos;
        if (m_structure && m_open.empty()) {
            const QString problem = textProblem(textStart, pos);
            if (!problem.isEmpty())
                return problem;
        }
        if (pos == m_text.size())
            break;
        const char c = m_text[pos];
        if (c == '&') {
            const QString problem = reference(&pos);
            if (!problem.isEmpty())
                return problem;
            continue;
        }
        const std::string_view rest = m_text.substr(pos);
        const std::string_view::size_type start = pos;
        bool closed = true;
        const char second = rest.size() > 1 ? rest[1] : '\0';
        if (second == '/' && m_structure) {
            const QString problem = endTag(&pos);
            if (!problem.isEmpty())
                return problem;
        } else if (second == '/') {
            // An end tag, the commonest markup after the start tag.
            const std::string_view::size_type end = m_text.find('>', pos + 2);
            closed = end != std::string_view::npos;
            pos = closed ? end + 1 : pos;
            m_depth = std::max(0, m_depth - 1);
        } else if (second != '!' && second != '?') {
            const QString problem = startTag(&pos);
            if (!problem.isEmpty())
                return problem;
        } else if (rest.starts_with("<!--")) {
            pos += 4;
            closed = skipPast("-->", &pos);
        } else if (rest.starts_with("<![CDATA[")) {
            if (m_structure && m_open.empty())
                return QStringLiteral("根元素之外有文本") + at(start);
            closed = skipPast("]]>", &pos);
        } else if (rest.starts_with("<!DOCTYPE")) {
            return QStringLiteral("含有DTD（<!DOCTYPE>），已拒绝处理");
        } else if (rest.starts_with("<!")) {
            return QStringLiteral("不是格式正确的XML") + at(start);
        } else {
            closed = skipPast("?>", &pos);
            if (closed && m_structure) {
                const QString problem = processingInstruction(start);
                if (!problem.isEmpty())
                    return problem;
            }
        }
        if (!closed)
            return QStringLiteral("不是格式正确的XML，标记没有结束") + at(start);
        textStart = pos;
    }
    if (m_structure && !m_open.empty())
        return QStringLiteral("元素“%1”没有结束").arg(QString::fromUtf8(m_open.back().data(), qsizetype(m_open.back().size())));
    if (m_structure && m_roots == 0)
        return QStringLiteral("没有根元素");
    return QString();
}

QString MarkupScan::endTag(std::string_view::size_type* pos)
{
    const std::string_view::size_type start = *pos;
    const std::string_view::size_type end = m_text.find('>', start + 2);
    if (end == std::string_view::npos)
        return QStringLiteral("不是格式正确的XML，标记没有结束") + at(start);
    std::string_view name = m_text.substr(start + 2, end - start - 2);
    while (!name.empty() && isSpace(name.back()))
        name.remove_suffix(1);
    if (m_open.empty() || name != m_open.back())
        return QStringLiteral("不是格式正确的XML，结束标记与开始标记不匹配") + at(start);
    m_open.pop_back();
    m_depth = std::max(0, m_depth - 1);
    *pos = end + 1;
    return QString();
}

QString MarkupScan::textProblem(std::string_view::size_type from, std::string_view::size_type to) const
{
    for (std::string_view::size_type i = from; i < to; ++i) {
        if (!isSpace(m_text[i]))
            return QStringLiteral("根元素之外有文本") + at(i);
    }
    // A reference outside the root is text there too.
    return to < m_text.size() && m_text[to] == '&' ? QStringLiteral("根元素之外有文本") + at(to) : QString();
}

QString MarkupScan::processingInstruction(std::string_view::size_type start) const
{
    std::string_view::size_type i = start + 2;
    while (i < m_text.size() && !isSpace(m_text[i]) && m_text[i] != '?')
        ++i;
    const std::string_view target = m_text.substr(start + 2, i - start - 2);
    if (!isName(target))
        return QStringLiteral("不是格式正确的XML，标记格式错误") + at(start);
    if (target == "xml" && start != 0)
        return QStringLiteral("XML声明不在开头") + at(start);
    return QString();
}

QString MarkupScan::reference(std::string_view::size_type* pos) const
{
    const std::string_view::size_type start = *pos;
    const std::string_view::size_type semicolon = m_text.substr(start, kMaxReferenceLength).find(';');
    if (semicolon == std::string_view::npos)
        return QStringLiteral("含有未转义的“&”或不完整的引用") + at(start);
    const std::string_view body = m_text.substr(start + 1, semicolon - 1);
    const auto shown = [&] { return QString::fromUtf8(m_text.data() + start, qsizetype(semicolon + 1)); };
    *pos = start + semicolon + 1;
    if (body.starts_with('#')) {
        const bool hex = body.size() > 1 && body[1] == 'x';
        const std::string_view digits = body.substr(hex ? 2 : 1);
        char32_t value = 0;
        for (const char d : digits) {
            int digit = -1;
            if (d >= '0' && d <= '9')
                digit = d - '0';
            else if (hex && d >= 'a' && d <= 'f')
                digit = d - 'a' + 10;
            else if (hex && d >= 'A' && d <= 'F')
                digit = d - 'A' + 10;
            if (digit < 0)
                return QStringLiteral("含有未转义的“&”或不完整的引用") + at(start);
            value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(digit), 0x110000);
        }
        if (digits.empty())
            return QStringLiteral("含有未转义的“&”或不完整的引用") + at(start);
        if (!isXmlChar(value))
            return QStringLiteral("含有XML不允许的字符引用“%1”").arg(shown()) + at(start);
        return QString();
    }
    for (const char* predefined : {"lt", "gt", "amp", "apos", "quot"}) {
        if (body == predefined)
            return QString();
    }
    return QStringLiteral("引用了未定义的实体“%1”").arg(shown()) + at(start);
}

QString MarkupScan::startTag(std::string_view::size_type* pos)
{
    const std::string_view::size_type start = *pos;
    const auto broken = [start] { return QStringLiteral("不是格式正确的XML，标记格式错误") + at(start); };
    std::string_view::size_type i = start + 1;
    const auto nameEnd = [](char c) { return kNameEnds[static_cast<unsigned char>(c)]; };
    while (i < m_text.size() && !nameEnd(m_text[i]))
        ++i;
    const std::string_view elementName = m_text.substr(start + 1, i - start - 1);
    if (m_structure) {
        if (!isName(elementName))
            return broken();
        if (m_open.empty() && ++m_roots > 1)
            return QStringLiteral("有多个根元素") + at(start);
    }
    bool empty = false;
    m_attributes.clear();
    for (;;) {
        while (i < m_text.size() && isSpace(m_text[i]))
            ++i;
        if (i >= m_text.size())
            return broken();
        if (m_text[i] == '>') {
            if (++m_depth > kMaxXmlElementDepth)
                return QStringLiteral("元素嵌套超过%1层").arg(kMaxXmlElementDepth) + at(start) + QStringLiteral("，已拒绝处理");
            ++i;
            break;
        }
        if (m_text[i] == '/') {
            if (i + 1 >= m_text.size() || m_text[i + 1] != '>')
                return broken();
            i += 2;
            empty = true;
            break;
        }
        const std::string_view::size_type nameStart = i;
        while (i < m_text.size() && !nameEnd(m_text[i]))
            ++i;
        const std::string_view name = m_text.substr(nameStart, i - nameStart);
        while (i < m_text.size() && isSpace(m_text[i]))
            ++i;
        if (name.empty() || i >= m_text.size() || m_text[i] != '=' || (m_structure && !isName(name)))
            return broken();
        ++i;
        while (i < m_text.size() && isSpace(m_text[i]))
            ++i;
        if (i >= m_text.size() || (m_text[i] != '"' && m_text[i] != '\''))
            return broken();
        const char quote = m_text[i++];
        while (i < m_text.size() && m_text[i] != quote) {
            if (m_text[i] == '<')
                return broken();
            if (m_text[i] == '&') {
                const QString problem = reference(&i);
                if (!problem.isEmpty())
                    return problem;
            } else {
                ++i;
            }
        }
        if (i >= m_text.size())
            return broken();
        ++i;
        // White space parts one attribute from the next.
        if (m_structure && i < m_text.size() && !isSpace(m_text[i]) && m_text[i] != '/' && m_text[i] != '>')
            return broken();
        m_attributes.push_back(name);
    }
    *pos = i;
    if (m_structure && !empty)
        m_open.push_back(elementName);
    const std::string_view duplicate = duplicateAttribute();
    if (!duplicate.empty())
        return QStringLiteral("含有重复的属性“%1”").arg(QString::fromUtf8(duplicate.data(), qsizetype(duplicate.size()))) + at(start);
    return QString();
}

} // namespace

QString xmlWellFormednessProblem(QByteArrayView utf8)
{
    const std::string_view text(utf8.data(), size_t(utf8.size()));
    QString problem = characterProblem(text);
    if (problem.isEmpty())
        problem = MarkupScan(text, false).run();
    return problem;
}

QString xmlDocumentProblem(QByteArrayView utf8)
{
    const std::string_view text(utf8.data(), size_t(utf8.size()));
    QString problem = characterProblem(text);
    if (problem.isEmpty())
        problem = MarkupScan(text, true).run();
    return problem;
}

} // namespace varnel::office
