#include "office/xlsx/ExcelFormulaText.h"

#include <QRegularExpression>

namespace varnel::office {

namespace {

constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;

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

int columnNumber(QStringView letters)
{
    int n = 0;
    for (const QChar c : letters)
        n = n * 26 + (c.toUpper().unicode() - u'A' + 1);
    return n;
}

QString columnLetters(int n)
{
    QString letters;
    for (; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters;
}

// One token of the shift scan moved; empty when it is no reference. part: 'c' cell, 'C' column, 'R' row.
QString shiftToken(const QString& token, char part, int rows, int columns, bool* offSheet)
{
    static const QRegularExpression cell(QStringLiteral(R"(^(\$?)([A-Za-z]{1,3})(\$?)(\d{1,7})$)"));
    static const QRegularExpression column(QStringLiteral(R"(^(\$?)([A-Za-z]{1,3})$)"));
    static const QRegularExpression row(QStringLiteral(R"(^(\$?)(\d{1,7})$)"));
    auto moveColumn = [&](const QString& dollar, const QString& letters) {
        int n = columnNumber(letters);
        if (n > kMaxColumn)
            return QString();
        if (dollar.isEmpty())
            n += columns;
        *offSheet = *offSheet || n < 1 || n > kMaxColumn;
        return dollar + columnLetters(n);
    };
    auto moveRow = [&](const QString& dollar, const QString& digits) {
        int n = digits.toInt();
        if (dollar.isEmpty())
            n += rows;
        *offSheet = *offSheet || n < 1 || n > kMaxRow;
        return dollar + QString::number(n);
    };
    if (part == 'c') {
        const QRegularExpressionMatch m = cell.match(token);
        if (!m.hasMatch() || columnNumber(m.captured(2)) > kMaxColumn)
            return {};
        return moveColumn(m.captured(1), m.captured(2)) + moveRow(m.captured(3), m.captured(4));
    }
    const QRegularExpressionMatch m = (part == 'C' ? column : row).match(token);
    if (!m.hasMatch())
        return {};
    return part == 'C' ? moveColumn(m.captured(1), m.captured(2)) : moveRow(m.captured(1), m.captured(2));
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

QString ExcelFormulaText::shifted(const QString& formula, int rows, int columns)
{
    if (rows == 0 && columns == 0)
        return formula;
    QString result;
    qsizetype i = 0;
    // The name tokens of a range such as A:B or 1:2 are read as columns or rows; others as cells.
    while (i < formula.size()) {
        const QChar c = formula.at(i);
        if (c == u'"' || c == u'\'') {
            const qsizetype end = skipQuoted(formula, i, c);
            result += QStringView(formula).mid(i, end - i);
            i = end;
            continue;
        }
        if (c == u'[') {
            const qsizetype end = skipBrackets(formula, i);
            result += QStringView(formula).mid(i, end - i);
            i = end;
            continue;
        }
        if (!isNameChar(c)) {
            result += c;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < formula.size() && isNameChar(formula.at(end)))
            ++end;
        const QString token = formula.mid(i, end - i);
        const bool beforeSheetOrCall = end < formula.size() && (formula.at(end) == u'!' || formula.at(end) == u'(');
        const bool previousIsName = i > 0 && (isNameChar(formula.at(i - 1)) || formula.at(i - 1) == u'.');
        bool offSheet = false;
        QString moved;
        if (!beforeSheetOrCall && !previousIsName) {
            moved = shiftToken(token, 'c', rows, columns, &offSheet);
            // The two ends of a column or row range.
            const bool inRange = (end < formula.size() && formula.at(end) == u':') || (i > 0 && formula.at(i - 1) == u':');
            if (moved.isEmpty() && inRange) {
                moved = shiftToken(token, 'C', rows, columns, &offSheet);
                if (moved.isEmpty())
                    moved = shiftToken(token, 'R', rows, columns, &offSheet);
            }
        }
        result += moved.isEmpty() ? token : (offSheet ? QStringLiteral("#REF!") : moved);
        i = end;
    }
    return result;
}

bool ExcelFormulaText::parseCell(const QString& reference, int* row, int* column)
{
    static const QRegularExpression cell(QStringLiteral(R"(^\$?([A-Za-z]{1,3})\$?(\d{1,7})$)"));
    const QRegularExpressionMatch m = cell.match(reference);
    if (!m.hasMatch())
        return false;
    *column = columnNumber(m.captured(1));
    *row = m.captured(2).toInt();
    return *column >= 1 && *column <= kMaxColumn && *row >= 1 && *row <= kMaxRow;
}

} // namespace varnel::office
