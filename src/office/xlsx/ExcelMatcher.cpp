#include "office/xlsx/ExcelMatcher.h"

#include <algorithm>

namespace varnel::office {

namespace {

constexpr qsizetype kMaxDefinitionLength = 255; // Excel's Find takes at most 255 characters

} // namespace

ExcelMatcher::ExcelMatcher(const QString& searchText, bool matchCase, bool wholeCell)
    : m_wholeCell(wholeCell)
    , m_mode(matchCase ? CompareMode::Binary : CompareMode::Text)
{
    for (qsizetype i = 0; i < searchText.size(); ++i) {
        const QChar c = searchText.at(i);
        // A tilde makes the next ?, * or ~ literal; before any other character, or at the end, it is
        // itself a literal tilde.
        if (c == u'~' && i + 1 < searchText.size()) {
            const QChar next = searchText.at(i + 1);
            if (next == u'~' || next == u'?' || next == u'*') {
                m_tokens.push_back({Kind::Literal, unitOf(next)});
                m_literal += next;
                ++i;
                continue;
            }
        }
        if (c == u'?' || c == u'*') {
            m_tokens.push_back({c == u'?' ? Kind::AnyOne : Kind::AnyRun, 0});
            m_plain = false;
            continue;
        }
        m_tokens.push_back({Kind::Literal, unitOf(c)});
        m_literal += c;
    }
    // Every match holds each literal character of the search text (folded as the text is).
    for (const Token& token : m_tokens) {
        if (token.kind == Kind::Literal)
            m_required |= bitOf(token.unit);
    }
}

ExcelMatcher::Signature ExcelMatcher::signatureOf(QStringView text, bool matchCase)
{
    Signature signature = 0;
    for (const QChar c : text)
        signature |= bitOf(matchCase ? c.unicode() : foldUnit(c.unicode()));
    return signature;
}

qsizetype ExcelMatcher::longestMatch(QStringView text, qsizetype from) const
{
    // A breadth-first run of the pattern's states over the text: linear in the text for every pattern,
    // however many stars it holds.
    const size_t count = m_tokens.size();
    std::vector<char> current(count + 1, 0);
    std::vector<char> next(count + 1, 0);
    auto close = [&](std::vector<char>& states) {
        for (size_t s = 0; s < count; ++s) {
            if (states[s] && m_tokens[s].kind == Kind::AnyRun)
                states[s + 1] = 1;
        }
    };
    current[0] = 1;
    close(current);
    qsizetype best = -1;
    for (qsizetype i = from; i < text.size(); ++i) {
        std::fill(next.begin(), next.end(), 0);
        const char16_t unit = unitOf(text.at(i));
        bool any = false;
        for (size_t s = 0; s < count; ++s) {
            if (!current[s])
                continue;
            const Token& token = m_tokens[s];
            if (token.kind == Kind::AnyRun) {
                next[s] = 1;
                any = true;
            } else if (token.kind == Kind::AnyOne || token.unit == unit) {
                next[s + 1] = 1;
                any = true;
            }
        }
        if (!any)
            break;
        close(next);
        current.swap(next);
        if (current[count])
            best = i + 1;
    }
    return best;
}

QList<ExcelMatch> ExcelMatcher::matchesIn(QStringView text) const
{
    QList<ExcelMatch> result;
    if (m_tokens.empty() || text.isEmpty())
        return result;
    if (m_wholeCell) {
        if (m_plain ? textEquals(text, m_literal, m_mode) : longestMatch(text, 0) == text.size())
            result.append({0, text.size()});
        return result;
    }
    if (m_plain) {
        for (qsizetype at = findText(text, m_literal, 0, m_mode); at >= 0;
             at = findText(text, m_literal, at + m_literal.size(), m_mode))
            result.append({at, m_literal.size()});
        return result;
    }
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype end = longestMatch(text, from);
        if (end > from) {
            result.append({from, end - from});
            from = end;
        } else {
            ++from;
        }
    }
    return result;
}

bool ExcelMatcher::matches(QStringView text) const
{
    if (m_plain && !m_wholeCell)
        return !m_tokens.empty() && findText(text, m_literal, 0, m_mode) >= 0;
    return !matchesIn(text).isEmpty();
}

QString ExcelMatcher::replaced(QStringView text, const QString& replacement, int* count) const
{
    const QList<ExcelMatch> found = matchesIn(text);
    if (count)
        *count = int(found.size());
    if (found.isEmpty())
        return text.toString();
    QString result;
    qsizetype done = 0;
    for (const ExcelMatch& m : found) {
        result += text.mid(done, m.start - done);
        result += replacement;
        done = m.start + m.length;
    }
    result += text.mid(done);
    return result;
}

bool ExcelMatcher::couldMatchWithin(QStringView alphabet) const
{
    for (const Token& token : m_tokens) {
        if (token.kind != Kind::Literal)
            continue;
        const bool found = std::any_of(alphabet.cbegin(), alphabet.cend(),
                                       [&](QChar c) { return unitOf(c) == token.unit; });
        if (!found)
            return false;
    }
    return !m_tokens.empty();
}

QString ExcelMatcher::escapeFind(const QString& find)
{
    QString search = find;
    search.replace(u'~', QStringLiteral("~~"));
    search.replace(u'?', QStringLiteral("~?"));
    search.replace(u'*', QStringLiteral("~*"));
    return search;
}

bool ExcelMatcher::skipDefinition(const QString& find, const QString& replace, bool matchCase)
{
    return textEquals(find, replace, matchCase ? CompareMode::Binary : CompareMode::Text)
        || find.size() > kMaxDefinitionLength || replace.size() > kMaxDefinitionLength;
}

} // namespace varnel::office
