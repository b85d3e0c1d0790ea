#include "office/docx/WordMatcher.h"

#include "core/TextCompare.h"
#include "office/docx/WordSpecialCodes.h"
#include "office/docx/WordText.h"
#include "office/docx/WordWildcard.h"

#include <algorithm>

namespace varnel::office {

namespace {

QString escapeText(const QString& text)
{
    QString re;
    for (const char32_t cp : text.toUcs4())
        re += QStringLiteral("\\x{%1}").arg(uint(cp), 0, 16);
    return re;
}

} // namespace

bool WordMatcher::compile(const QString& find, const WordFindOptions& options, QString* error)
{
    m_kind = Kind::Nothing;
    m_wholeWord = false;
    m_adaptCase = false;
    if (find.isEmpty())
        return true;

    if (options.wildcards) {
        WildcardTranslation translation;
        if (!translateWordWildcards(find, &translation, error))
            return false;
        m_regex.setPattern(translation.pattern);
        m_regex.setPatternOptions(QRegularExpression::DotMatchesEverythingOption);
        if (!m_regex.isValid()) {
            if (error)
                *error = QStringLiteral("“查找内容”中的通配符表达式无效");
            return false;
        }
        m_kind = Kind::Regex;
        return true;
    }

    QList<WordFindToken> tokens;
    if (!parseFindText(find, &tokens, error))
        return false;
    const bool fields = std::any_of(tokens.cbegin(), tokens.cend(),
                                    [](const WordFindToken& token) { return token.kind == CaretCode::Field; });
    if (fields) {
        // A field is no run of characters: it can be found alone, not as part of a text.
        if (tokens.size() > 1) {
            if (error)
                *error = QStringLiteral("“查找内容”中的“^d”只能单独使用");
            return false;
        }
        m_kind = Kind::Fields;
        return true;
    }
    m_wholeWord = options.wholeWord;
    m_adaptCase = !options.matchCase;
    m_caseSensitivity = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (tokens.size() == 1 && tokens.first().kind == CaretCode::Text) {
        m_needle = tokens.first().text;
        m_kind = Kind::Literal;
        return true;
    }
    QString re;
    for (const WordFindToken& token : std::as_const(tokens)) {
        switch (token.kind) {
        case CaretCode::Text: re += escapeText(token.text); break;
        case CaretCode::AnyChar: re += u'.'; break;
        case CaretCode::AnyDigit: re += QStringLiteral("\\p{Nd}"); break;
        case CaretCode::AnyLetter: re += QStringLiteral("\\p{L}"); break;
        case CaretCode::WhiteSpace: re += QStringLiteral("[ \\t\\x{a0}\\x{3000}]+"); break;
        case CaretCode::WholeMatch:
        case CaretCode::Field: break;
        }
    }
    QRegularExpression::PatternOptions patternOptions = QRegularExpression::DotMatchesEverythingOption;
    if (!options.matchCase)
        patternOptions |= QRegularExpression::CaseInsensitiveOption;
    m_regex.setPattern(re);
    m_regex.setPatternOptions(patternOptions);
    m_kind = Kind::Regex;
    return true;
}

void WordMatcher::compilePlain(const QString& find)
{
    m_kind = find.isEmpty() ? Kind::Nothing : Kind::Folded;
    m_needle = foldText(find);
    m_wholeWord = false;
    m_adaptCase = false;
}

bool WordMatcher::accepted(const QString& text, qsizetype start, qsizetype length) const
{
    if (length <= 0)
        return false;
    if (!m_wholeWord)
        return true;
    return wordtext::isWordBoundary(text, start) && wordtext::isWordBoundary(text, start + length);
}

std::vector<WordMatch> WordMatcher::findAll(const QString& text) const
{
    std::vector<WordMatch> matches;
    if (m_kind == Kind::Nothing || m_kind == Kind::Fields || text.isEmpty())
        return matches;

    if (m_kind == Kind::Literal || m_kind == Kind::Folded) {
        const QString folded = m_kind == Kind::Folded ? foldText(text) : QString();
        const QString& haystack = m_kind == Kind::Folded ? folded : text;
        const Qt::CaseSensitivity cs = m_kind == Kind::Folded ? Qt::CaseSensitive : m_caseSensitivity;
        qsizetype from = 0;
        while (true) {
            const qsizetype at = haystack.indexOf(m_needle, from, cs);
            if (at < 0)
                break;
            if (!accepted(text, at, m_needle.size())) {
                from = at + 1;
                continue;
            }
            matches.push_back({at, m_needle.size(), {}});
            from = at + m_needle.size();
        }
        return matches;
    }

    // Unless told not to, the regular expression engine checks the subject from the offset to its end on
    // every call, which makes a search for many occurrences quadratic: check it once here instead.
    const QRegularExpression::MatchOptions matchOptions = QStringView(text).isValidUtf16()
        ? QRegularExpression::DontCheckSubjectStringMatchOption
        : QRegularExpression::NoMatchOption;
    qsizetype from = 0;
    while (from < text.size()) {
        const QRegularExpressionMatch match = m_regex.match(text, from, QRegularExpression::NormalMatch, matchOptions);
        if (!match.hasMatch())
            break;
        const qsizetype at = match.capturedStart();
        const qsizetype length = match.capturedLength();
        if (!accepted(text, at, length)) {
            from = at + 1;
            // Never start inside a surrogate pair: the regular expression engine refuses such offsets.
            if (from < text.size() && text.at(from).isLowSurrogate() && text.at(from - 1).isHighSurrogate())
                ++from;
            continue;
        }
        WordMatch found{at, length, {}};
        for (int g = 1; g <= m_regex.captureCount(); ++g)
            found.groups.append(match.captured(g));
        matches.push_back(std::move(found));
        from = at + length;
    }
    return matches;
}

} // namespace varnel::office
