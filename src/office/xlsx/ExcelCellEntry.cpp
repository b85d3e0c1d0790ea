#include "office/xlsx/ExcelCellEntry.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace varnel::office {

namespace {

bool parseNumber(const QString& typed, double* value)
{
    static const QRegularExpression number(QStringLiteral(
        R"(^\s*([+-]?)((?:\d{1,3}(?:,\d{3})+|\d*)(?:\.\d*)?(?:[eE][+-]?\d+)?)(%?)\s*$)"));
    const QRegularExpressionMatch m = number.match(typed);
    if (!m.hasMatch())
        return false;
    QString digits = m.captured(2);
    // At least one digit before the exponent: ".", "e5" and "," are text.
    const qsizetype exponent = digits.indexOf(u'e', 0, Qt::CaseInsensitive);
    const QString mantissa = exponent < 0 ? digits : digits.left(exponent);
    if (!std::any_of(mantissa.cbegin(), mantissa.cend(), [](QChar c) { return c.isDigit(); }))
        return false;
    digits.remove(u',');
    bool ok = false;
    double result = digits.toDouble(&ok);
    if (!ok || !std::isfinite(result))
        return false;
    if (m.captured(1) == u"-")
        result = -result;
    if (!m.captured(3).isEmpty())
        result /= 100;
    *value = result == 0 ? 0 : result; // no negative zero
    return true;
}

} // namespace

ExcelCellEntry ExcelCellEntry::enter(const QString& typed, bool asText)
{
    ExcelCellEntry entry;
    entry.text = typed;
    if (asText)
        return entry;
    if (typed.size() > 1 && typed.startsWith(u'=')) {
        entry.kind = Kind::Formula;
        entry.text = typed.mid(1);
        return entry;
    }
    if (parseNumber(typed, &entry.number)) {
        entry.kind = Kind::Number;
        entry.text.clear();
        return entry;
    }
    if (typed.compare(u"TRUE", Qt::CaseInsensitive) == 0 || typed.compare(u"FALSE", Qt::CaseInsensitive) == 0) {
        entry.kind = Kind::Boolean;
        entry.number = typed.size() == 4 ? 1 : 0;
        entry.text.clear();
    }
    return entry;
}

QString ExcelCellEntry::numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace varnel::office
