#include "office/package/XmlMarkupScan.h"

#include "office/package/XmlWellFormedness.h"

#include <algorithm>
#include <array>

namespace varnel::office {

namespace {

// An entity or character reference is short; a '&' without its ';' this close is no reference at all. The
// bound keeps the scan linear.
constexpr std::string_view::size_type kMaxReferenceLength = 40;

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

} // namespace

bool XmlMarkupScan::isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

QString XmlMarkupScan::at(std::string_view::size_type offset)
{
    return QStringLiteral("（第%1字节）").arg(offset);
}

std::string_view XmlMarkupScan::duplicateAttribute()
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

bool XmlMarkupScan::skipPast(std::string_view end, std::string_view::size_type* pos) const
{
    const std::string_view::size_type found = m_text.find(end, *pos);
    if (found == std::string_view::npos)
        return false;
    *pos = found + end.size();
    return true;
}

QString XmlMarkupScan::run()
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

QString XmlMarkupScan::endTag(std::string_view::size_type* pos)
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

QString XmlMarkupScan::textProblem(std::string_view::size_type from, std::string_view::size_type to) const
{
    for (std::string_view::size_type i = from; i < to; ++i) {
        if (!isSpace(m_text[i]))
            return QStringLiteral("根元素之外有文本") + at(i);
    }
    // A reference outside the root is text there too.
    return to < m_text.size() && m_text[to] == '&' ? QStringLiteral("根元素之外有文本") + at(to) : QString();
}

QString XmlMarkupScan::processingInstruction(std::string_view::size_type start) const
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

QString XmlMarkupScan::reference(std::string_view::size_type* pos) const
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

QString XmlMarkupScan::startTag(std::string_view::size_type* pos)
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

} // namespace varnel::office
