#include "office/docx/WordReplacement.h"

#include "office/docx/WordText.h"

#include <algorithm>

namespace varnel::office {

bool WordReplacement::compile(const QString& replace, bool wildcards, QString* error)
{
    return parseReplaceText(replace, wildcards, &m_pieces, error);
}

void WordReplacement::compileLiteral(const QString& replace)
{
    m_pieces.clear();
    QString text;
    qsizetype pos = 0;
    while (pos < replace.size()) {
        if (readLineEnd(replace, &pos)) {
            text += QChar(wordtext::ParagraphMark);
        } else {
            text += replace.at(pos);
            ++pos;
        }
    }
    if (!text.isEmpty())
        m_pieces.append({WordReplacePiece::Text, text, 0});
}

bool WordReplacement::usesFoundText() const
{
    return std::any_of(m_pieces.cbegin(), m_pieces.cend(),
                       [](const WordReplacePiece& piece) { return piece.kind != WordReplacePiece::Text; });
}

QString WordReplacement::expand(const WordMatch& match, const QString& text, bool adaptCase) const
{
    const QStringView found = QStringView(text).mid(match.start, match.length);
    QString result;
    for (const WordReplacePiece& piece : m_pieces) {
        switch (piece.kind) {
        case WordReplacePiece::Text: result += piece.text; break;
        case WordReplacePiece::WholeMatch: result += found; break;
        case WordReplacePiece::Group:
            if (piece.group <= match.groups.size())
                result += match.groups.at(piece.group - 1);
            break;
        }
    }
    return adaptCase ? WordReplacement::adaptCase(result, found) : result;
}

QString WordReplacement::adaptCase(const QString& replacement, QStringView found)
{
    if (replacement.isEmpty() || found.isEmpty())
        return replacement;
    int upper = 0;
    int lower = 0;
    for (const char32_t cp : found.toUcs4()) {
        if (QChar::isUpper(cp))
            ++upper;
        else if (QChar::isLower(cp))
            ++lower;
    }
    if (upper >= 2 && lower == 0)
        return replacement.toUpper();
    const char32_t first = found.toUcs4().constFirst();
    if (!QChar::isUpper(first))
        return replacement;
    QList<uint> points = replacement.toUcs4();
    if (!QChar::isLower(points.first()))
        return replacement;
    points.first() = QChar::toUpper(points.first());
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), points.size());
}

} // namespace varnel::office
