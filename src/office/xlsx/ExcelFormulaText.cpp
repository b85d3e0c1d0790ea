#include "office/xlsx/ExcelFormulaText.h"

namespace varnel::office {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'\\' || c == u'$' || c.unicode() > 0x7F;
}

// The end of the constant or quoted name starting at i (on its opening quote), past its closing quote.
qsizetype skipQuoted(const QString& text, qsizetype i, QChar quote)
{
    for (++i; i < text.size(); ++i) {
        if (text.at(i) != quote)
            continue;
        if (i + 1 < text.size() && text.at(i + 1) == quote)
            ++i;
        else
            return i + 1;
    }
    return text.size();
}

qsizetype skipBrackets(const QString& text, qsizetype i)
{
    int depth = 0;
    for (; i < text.size(); ++i) {
        if (text.at(i) == u'[')
            ++depth;
        else if (text.at(i) == u']' && --depth == 0)
            return i + 1;
    }
    return text.size();
}

} // namespace

QList<ExcelFormulaText::SheetPrefix> ExcelFormulaText::sheetPrefixes(const QString& formula)
{
    QList<SheetPrefix> prefixes;
    bool external = false; // the last thing read was a bracketed workbook reference
    for (qsizetype i = 0; i < formula.size();) {
        const QChar c = formula.at(i);
        if (c == u'"') {
            i = skipQuoted(formula, i, c);
            external = false;
        } else if (c == u'\'') {
            const qsizetype end = skipQuoted(formula, i, c);
            QString name = formula.mid(i + 1, end - i - 2);
            name.replace(QStringLiteral("''"), QStringLiteral("'"));
            if (end < formula.size() && formula.at(end) == u'!' && !name.startsWith(u'[') && !external)
                prefixes.append({i, end - i, name});
            i = end;
            external = false;
        } else if (c == u'[') {
            i = skipBrackets(formula, i);
            external = true;
        } else if (isNameChar(c)) {
            qsizetype end = i;
            while (end < formula.size() && isNameChar(formula.at(end)))
                ++end;
            if (end < formula.size() && formula.at(end) == u'!' && !external)
                prefixes.append({i, end - i, formula.mid(i, end - i)});
            i = end;
            external = false;
        } else {
            ++i;
            external = false;
        }
    }
    return prefixes;
}

} // namespace varnel::office
