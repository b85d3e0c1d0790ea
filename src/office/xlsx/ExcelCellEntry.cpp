#include "office/xlsx/ExcelCellEntry.h"

#include <QDate>
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

// The fraction of a day of h:mm[:ss]; false when the parts are no time of day.
bool timeOfDay(const QString& hours, const QString& minutes, const QString& seconds, double* fraction)
{
    const int h = hours.toInt();
    const int m = minutes.toInt();
    const double s = seconds.isEmpty() ? 0 : seconds.toDouble();
    if (h > 23 || m > 59 || s >= 60)
        return false;
    *fraction = (h * 3600 + m * 60 + s) / 86400;
    return true;
}

bool parseDateTime(const QString& typed, bool date1904, double* serial)
{
    static const QRegularExpression dateTime(QStringLiteral(
        R"(^\s*(\d{4})([/-])(\d{1,2})\2(\d{1,2})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}(?:\.\d+)?))?)?\s*$)"));
    static const QRegularExpression time(QStringLiteral(R"(^\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2}(?:\.\d+)?))?\s*$)"));
    QRegularExpressionMatch m = time.match(typed);
    if (m.hasMatch())
        return timeOfDay(m.captured(1), m.captured(2), m.captured(3), serial);
    m = dateTime.match(typed);
    if (!m.hasMatch())
        return false;
    const QDate date(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    double fraction = 0;
    if (!date.isValid() || (!m.captured(5).isEmpty() && !timeOfDay(m.captured(5), m.captured(6), m.captured(7), &fraction)))
        return false;
    // The 1900 system counts 1900-02-29, a day that never was, so days from 1899-12-30 are right from March 1900.
    qint64 days = date1904 ? QDate(1904, 1, 1).daysTo(date) : QDate(1899, 12, 30).daysTo(date);
    if (!date1904 && date < QDate(1900, 3, 1))
        --days;
    if (days < (date1904 ? 0 : 1) || date.year() > 9999)
        return false;
    *serial = double(days) + fraction;
    return true;
}

} // namespace

ExcelCellEntry ExcelCellEntry::enter(const QString& typed, bool asText, bool date1904)
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
    if (parseNumber(typed, &entry.number) || parseDateTime(typed, date1904, &entry.number)) {
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
