#include "office/docx/WordText.h"

#include <QChar>

namespace varnel::office::wordtext {

namespace {

bool isEastAsianScript(char32_t c)
{
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
        return true;
    default:
        return false;
    }
}

char32_t codePointBefore(const QString& text, qsizetype pos)
{
    const char16_t low = text.at(pos - 1).unicode();
    if (QChar::isLowSurrogate(low) && pos >= 2 && QChar::isHighSurrogate(text.at(pos - 2).unicode()))
        return QChar::surrogateToUcs4(text.at(pos - 2).unicode(), low);
    return low;
}

char32_t codePointAt(const QString& text, qsizetype pos)
{
    const char16_t high = text.at(pos).unicode();
    if (QChar::isHighSurrogate(high) && pos + 1 < text.size() && QChar::isLowSurrogate(text.at(pos + 1).unicode()))
        return QChar::surrogateToUcs4(high, text.at(pos + 1).unicode());
    return high;
}

} // namespace

bool isObjectMark(QChar c)
{
    return c.unicode() >= GraphicMark && c.unicode() <= CommentMark;
}

bool isWordChar(char32_t c)
{
    if (c == U'_')
        return true;
    return QChar::isLetterOrNumber(c) && !isEastAsianScript(c);
}

bool isWordBoundary(const QString& text, qsizetype pos)
{
    if (pos <= 0 || pos >= text.size())
        return true;
    return !(isWordChar(codePointBefore(text, pos)) && isWordChar(codePointAt(text, pos)));
}

QString wordCharPattern()
{
    // One character that is a letter, digit or underscore and not of an East Asian script.
    return QStringLiteral("(?:(?![\\p{Han}\\p{Hiragana}\\p{Katakana}\\p{Hangul}\\p{Bopomofo}])[\\p{L}\\p{N}_])");
}

} // namespace varnel::office::wordtext
