#include "office/xlsx/ExcelFormulaText.h"

#include <algorithm>

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

// A bare name that may start a 3D reference (First:Last!A1): no cell reference such as A1 or $B$2.
bool mayBeSheetName(QStringView token)
{
    if (token.isEmpty() || token.front().isDigit() || token.front() == u'.' || token.contains(u'$'))
        return false;
    qsizetype letters = 0;
    while (letters < token.size() && token.at(letters).isLetter() && token.at(letters).unicode() < 0x80)
        ++letters;
    const bool digitsAfter = letters < token.size()
        && std::all_of(token.begin() + letters, token.end(), [](QChar c) { return c.isDigit(); });
    return !(letters >= 1 && letters <= 3 && digitsAfter);
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
            if (end < formula.size() && formula.at(end) == u'!' && !name.startsWith(u'[') && !external) {
                // No sheet name holds a colon: one inside the quotes joins the two ends of a 3D reference.
                const qsizetype colon = name.indexOf(u':');
                prefixes.append({i, end - i, colon < 0 ? name : name.left(colon), colon < 0 ? QString() : name.mid(colon + 1)});
            }
            i = end;
            external = false;
        } else if (c == u'[') {
            i = skipBrackets(formula, i);
            external = true;
        } else if (isNameChar(c)) {
            qsizetype end = i;
            while (end < formula.size() && isNameChar(formula.at(end)))
                ++end;
            // The first name of a bare 3D reference, unless the name is itself qualified (Sheet1!A1:B2). The
            // last name may be quoted on its own, as LibreOffice writes it (Sheet1:'Sheet 3'!A1).
            const bool colon = end < formula.size() && formula.at(end) == u':';
            qsizetype last = end + 1;
            QString lastName;
            if (colon && last < formula.size() && formula.at(last) == u'\'') {
                last = skipQuoted(formula, last, u'\'');
                lastName = formula.mid(end + 2, last - end - 3).replace(QStringLiteral("''"), QStringLiteral("'"));
            } else if (colon) {
                while (last < formula.size() && isNameChar(formula.at(last)))
                    ++last;
                lastName = formula.mid(end + 1, last - end - 1);
            }
            const bool range3d = colon && !lastName.isEmpty()
                && last < formula.size() && formula.at(last) == u'!' && (i == 0 || formula.at(i - 1) != u'!')
                && mayBeSheetName(QStringView(formula).mid(i, end - i));
            if (range3d) {
                if (!external)
                    prefixes.append({i, last - i, formula.mid(i, end - i), lastName});
                end = last;
            } else if (end < formula.size() && formula.at(end) == u'!' && !external) {
                prefixes.append({i, end - i, formula.mid(i, end - i), QString()});
            }
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
