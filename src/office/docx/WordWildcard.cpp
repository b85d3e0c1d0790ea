#include "office/docx/WordWildcard.h"

#include "office/docx/WordSpecialCodes.h"
#include "office/docx/WordText.h"

namespace varnel::office {

namespace {

QString escapeCodePoint(char32_t cp)
{
    return QStringLiteral("\\x{%1}").arg(uint(cp), 0, 16);
}

// The code point at *pos (a surrogate pair counts once); *pos moves past it.
char32_t takeCodePoint(const QString& text, qsizetype* pos)
{
    const char16_t high = text.at(*pos).unicode();
    ++*pos;
    if (QChar::isHighSurrogate(high) && *pos < text.size() && QChar::isLowSurrogate(text.at(*pos).unicode()))
        return QChar::surrogateToUcs4(high, text.at((*pos)++).unicode());
    return high;
}

char32_t firstCodePoint(const QString& chars)
{
    qsizetype pos = 0;
    return takeCodePoint(chars, &pos);
}

class Translator
{
public:
    explicit Translator(const QString& find)
        : m_find(find)
    {
    }

    bool run(WildcardTranslation* out, QString* error);

private:
    enum class Prev { Nothing, Atom, Repeated, Assertion };

    bool invalid(QString* error) const
    {
        if (error && error->isEmpty())
            *error = QStringLiteral("“查找内容”中的通配符表达式无效");
        return false;
    }
    // One character of a set or of the pattern: escaped, a ^ code or itself.
    bool readSetChar(char32_t* cp, QString* error);
    bool readSet(QString* error);
    bool readRepeat(QString* error);
    void atom(const QString& re)
    {
        m_re += re;
        m_prev = Prev::Atom;
    }

    const QString& m_find;
    qsizetype m_pos = 0;
    QString m_re;
    Prev m_prev = Prev::Nothing;
};

bool Translator::readSetChar(char32_t* cp, QString* error)
{
    if (readLineEnd(m_find, &m_pos)) {
        *cp = wordtext::ParagraphMark;
        return true;
    }
    const QChar c = m_find.at(m_pos);
    if (c == u'\\') {
        ++m_pos;
        if (m_pos >= m_find.size())
            return invalid(error);
        *cp = takeCodePoint(m_find, &m_pos);
        return true;
    }
    if (c == u'^') {
        CaretCode code;
        if (!readCaretCode(m_find, &m_pos, CaretContext::WildcardFind, &code, error))
            return false;
        *cp = firstCodePoint(code.text);
        return true;
    }
    *cp = takeCodePoint(m_find, &m_pos);
    return true;
}

bool Translator::readSet(QString* error)
{
    ++m_pos; // [
    QString set = QStringLiteral("[");
    if (m_pos < m_find.size() && m_find.at(m_pos) == u'!') {
        set += u'^';
        ++m_pos;
    }
    bool empty = true;
    while (true) {
        if (m_pos >= m_find.size())
            return invalid(error);
        if (m_find.at(m_pos) == u']') {
            ++m_pos;
            break;
        }
        char32_t low = 0;
        if (!readSetChar(&low, error))
            return false;
        set += escapeCodePoint(low);
        empty = false;
        if (m_pos + 1 < m_find.size() && m_find.at(m_pos) == u'-' && m_find.at(m_pos + 1) != u']') {
            ++m_pos;
            char32_t high = 0;
            if (!readSetChar(&high, error))
                return false;
            if (high < low)
                return invalid(error);
            set += u'-' + escapeCodePoint(high);
        }
    }
    if (empty)
        return invalid(error);
    atom(set + u']');
    return true;
}

bool Translator::readRepeat(QString* error)
{
    if (m_prev != Prev::Atom)
        return invalid(error);
    ++m_pos; // {
    const qsizetype close = m_find.indexOf(u'}', m_pos);
    if (close < 0)
        return invalid(error);
    QString body = m_find.mid(m_pos, close - m_pos);
    body.replace(u';', u',');
    m_pos = close + 1;
    const QStringList parts = body.split(u',');
    if (parts.size() > 2)
        return invalid(error);
    bool okLow = false;
    const int low = parts[0].toInt(&okLow);
    if (!okLow || low < 0 || low > 255)
        return invalid(error);
    QString repeat = QStringLiteral("{%1").arg(low);
    if (parts.size() == 2) {
        repeat += u',';
        if (!parts[1].isEmpty()) {
            bool okHigh = false;
            const int high = parts[1].toInt(&okHigh);
            if (!okHigh || high < low || high > 255)
                return invalid(error);
            repeat += QString::number(high);
        }
    }
    m_re += repeat + u'}';
    m_prev = Prev::Repeated;
    return true;
}

bool Translator::run(WildcardTranslation* out, QString* error)
{
    const QString word = wordtext::wordCharPattern();
    int groups = 0;
    int depth = 0;
    while (m_pos < m_find.size()) {
        if (readLineEnd(m_find, &m_pos)) {
            atom(escapeCodePoint(wordtext::ParagraphMark));
            continue;
        }
        const QChar c = m_find.at(m_pos);
        switch (c.unicode()) {
        case u'\\':
        case u'^': {
            char32_t cp = 0;
            if (!readSetChar(&cp, error))
                return false;
            atom(escapeCodePoint(cp));
            break;
        }
        case u'?':
            ++m_pos;
            atom(QStringLiteral("."));
            break;
        case u'*':
            ++m_pos;
            m_re += QStringLiteral(".*?");
            m_prev = Prev::Repeated;
            break;
        case u'@':
            if (m_prev != Prev::Atom)
                return invalid(error);
            ++m_pos;
            m_re += u'+';
            m_prev = Prev::Repeated;
            break;
        case u'{':
            if (!readRepeat(error))
                return false;
            break;
        case u'[':
            if (!readSet(error))
                return false;
            break;
        case u'(':
            ++m_pos;
            ++groups;
            ++depth;
            m_re += u'(';
            m_prev = Prev::Nothing;
            break;
        case u')':
            if (depth == 0 || m_prev == Prev::Nothing)
                return invalid(error);
            ++m_pos;
            --depth;
            atom(QStringLiteral(")"));
            break;
        case u'<':
            ++m_pos;
            m_re += QStringLiteral("(?<!%1)").arg(word);
            m_prev = Prev::Assertion;
            break;
        case u'>':
            ++m_pos;
            m_re += QStringLiteral("(?!%1)").arg(word);
            m_prev = Prev::Assertion;
            break;
        default:
            atom(escapeCodePoint(takeCodePoint(m_find, &m_pos)));
            break;
        }
    }
    if (depth != 0)
        return invalid(error);
    out->pattern = m_re;
    out->groupCount = groups;
    return true;
}

} // namespace

bool translateWordWildcards(const QString& find, WildcardTranslation* out, QString* error)
{
    return Translator(find).run(out, error);
}

} // namespace varnel::office
