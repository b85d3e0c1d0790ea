#include "office/xlsx/FormulaOffset.h"

#include "office/xlsx/CellReference.h"

#include <QRegularExpression>

namespace varnel::office {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'$' || c == u'_' || c == u'.' || c == u'\\';
}

// Index after the closing quote of a quoted run starting at i (a doubled quote stays inside).
qsizetype skipQuoted(const QString& s, qsizetype i, QChar quote)
{
    for (++i; i < s.size(); ++i) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote)
                ++i;
            else
                return i + 1;
        }
    }
    return s.size();
}

qsizetype skipBrackets(const QString& s, qsizetype i)
{
    int depth = 0;
    for (; i < s.size(); ++i) {
        if (s[i] == u'[')
            ++depth;
        else if (s[i] == u']' && --depth == 0)
            return i + 1;
    }
    return s.size();
}

const QString kRef = QStringLiteral("#REF!");

QString shiftCell(const QRegularExpressionMatch& m, int rowOffset, int columnOffset)
{
    const bool columnFixed = !m.captured(1).isEmpty();
    const bool rowFixed = !m.captured(3).isEmpty();
    const int column = CellReference::columnNumber(m.captured(2)) + (columnFixed ? 0 : columnOffset);
    const qint64 row = m.captured(4).toLongLong() + (rowFixed ? 0 : rowOffset);
    if (column < 1 || column > CellReference::kMaxColumn || row < 1 || row > CellReference::kMaxRow)
        return kRef;
    return m.captured(1) + CellReference::columnName(column) + m.captured(3) + QString::number(row);
}

} // namespace

QString FormulaOffset::shift(const QString& formula, int rowOffset, int columnOffset)
{
    static const QRegularExpression cell(QStringLiteral("^(\\$?)([A-Za-z]{1,3})(\\$?)([0-9]+)$"));
    static const QRegularExpression column(QStringLiteral("^(\\$?)([A-Za-z]{1,3})$"));
    static const QRegularExpression row(QStringLiteral("^(\\$?)([0-9]+)$"));

    QString out;
    out.reserve(formula.size() + 8);
    qsizetype i = 0;
    while (i < formula.size()) {
        const QChar c = formula[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype end = skipQuoted(formula, i, c);
            out += formula.mid(i, end - i);
            i = end;
            continue;
        }
        if (c == u'[') {
            const qsizetype end = skipBrackets(formula, i);
            out += formula.mid(i, end - i);
            i = end;
            continue;
        }
        if (!isNameChar(c)) {
            out += c;
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < formula.size() && isNameChar(formula[end]))
            ++end;
        const QString token = formula.mid(i, end - i);
        const QChar before = i > 0 ? formula[i - 1] : QChar();
        const QChar after = end < formula.size() ? formula[end] : QChar();
        const bool inRange = before == u':' || after == u':';
        QString replaced = token;
        if (after != u'(' && after != u'!') {
            if (const auto m = cell.match(token); m.hasMatch() && CellReference::parse(token).isValid()) {
                replaced = shiftCell(m, rowOffset, columnOffset);
            } else if (const auto mc = column.match(token); inRange && mc.hasMatch()
                       && CellReference::columnNumber(mc.captured(2)) > 0) {
                const int n = CellReference::columnNumber(mc.captured(2)) + (mc.captured(1).isEmpty() ? columnOffset : 0);
                replaced = n >= 1 && n <= CellReference::kMaxColumn ? mc.captured(1) + CellReference::columnName(n) : kRef;
            } else if (const auto mr = row.match(token); inRange && mr.hasMatch()) {
                const qint64 n = mr.captured(2).toLongLong() + (mr.captured(1).isEmpty() ? rowOffset : 0);
                replaced = n >= 1 && n <= CellReference::kMaxRow ? mr.captured(1) + QString::number(n) : kRef;
            }
        }
        out += replaced;
        i = end;
    }
    return out;
}

} // namespace varnel::office
