#include "office/xlsx/ExcelCellEntry.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace varnel::office {

namespace {

// Built-in number formats (numFmtId) Excel gives a General cell for what was typed.
enum TypedFormat {
    kThousands = 3,          // #,##0
    kThousandsDecimals = 4,  // #,##0.00
    kCurrency = 5,           // "¥"#,##0;"¥"\-#,##0
    kCurrencyDecimals = 7,   // "¥"#,##0.00;"¥"\-#,##0.00
    kPercent = 9,            // 0%
    kPercentDecimals = 10,   // 0.00%
    kScientific = 11,        // 0.00E+00
    kShortDate = 14,         // yyyy/m/d
    kTime = 20,              // h:mm
    kTimeSeconds = 21,       // h:mm:ss
    kDateTime = 22,          // yyyy/m/d h:mm
    kYearMonthDay = 31,      // yyyy"年"m"月"d"日"
    kYearMonth = 57,         // yyyy"年"m"月"
    kMonthDay = 58,          // m"月"d"日"
};

// *format: the format the typed form asks for, 0 for none.
bool parseNumber(const QString& typed, double* value, int* format)
{
    static const QRegularExpression number(QStringLiteral(
        R"(^\s*([+-]?)([¥￥]?)([+-]?)((?:\d{1,3}(?:,\d{3})+|\d*)(?:\.\d*)?(?:[eE][+-]?\d+)?)(%?)\s*$)"));
    const QRegularExpressionMatch m = number.match(typed);
    if (!m.hasMatch())
        return false;
    const bool currency = !m.captured(2).isEmpty();
    const bool percent = !m.captured(5).isEmpty();
    // One sign, before or (only for a currency) after the currency sign; no currency with a percent sign.
    if ((!m.captured(1).isEmpty() && !m.captured(3).isEmpty()) || (!currency && !m.captured(3).isEmpty())
        || (currency && percent))
        return false;
    QString digits = m.captured(4);
    // At least one digit before the exponent: ".", "e5" and "," are text.
    const qsizetype exponent = digits.indexOf(u'e', 0, Qt::CaseInsensitive);
    const QString mantissa = exponent < 0 ? digits : digits.left(exponent);
    if (!std::any_of(mantissa.cbegin(), mantissa.cend(), [](QChar c) { return c.isDigit(); }))
        return false;
    const bool decimals = mantissa.contains(u'.');
    const bool thousands = digits.contains(u',');
    digits.remove(u',');
    bool ok = false;
    double result = digits.toDouble(&ok);
    if (!ok || !std::isfinite(result))
        return false;
    if (m.captured(1) == u"-" || m.captured(3) == u"-")
        result = -result;
    if (percent)
        result /= 100;
    *value = result == 0 ? 0 : result; // no negative zero
    *format = currency ? (decimals ? kCurrencyDecimals : kCurrency)
            : percent  ? (decimals ? kPercentDecimals : kPercent)
            : exponent >= 0 ? kScientific
            : thousands ? (decimals ? kThousandsDecimals : kThousands)
                        : 0;
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

// The serial number of a date; false outside the dates the workbook's system counts.
bool dateSerial(const QDate& date, bool date1904, double* serial)
{
    if (!date.isValid() || date.year() > 9999)
        return false;
    // The 1900 system counts 1900-02-29, a day that never was, so days from 1899-12-30 are right from March 1900.
    qint64 days = date1904 ? QDate(1904, 1, 1).daysTo(date) : QDate(1899, 12, 30).daysTo(date);
    if (!date1904 && date < QDate(1900, 3, 1))
        --days;
    if (days < (date1904 ? 0 : 1))
        return false;
    *serial = double(days);
    return true;
}

// Dates and times as Excel with Chinese (PRC) settings reads them when typed; a date without a year is
// one of the current year. *format: the format Excel gives the cell.
bool parseDateTime(const QString& typed, bool date1904, double* serial, int* format)
{
    static const QRegularExpression dateTime(QStringLiteral(
        R"(^\s*(\d{4})([/-])(\d{1,2})\2(\d{1,2})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}(?:\.\d+)?))?)?\s*$)"));
    static const QRegularExpression time(QStringLiteral(R"(^\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2}(?:\.\d+)?))?\s*$)"));
    static const QRegularExpression monthDay(QStringLiteral(R"(^\s*(\d{1,2})([/-])(\d{1,2})\s*$)"));
    static const QRegularExpression chinese(QStringLiteral(R"(^\s*(?:(\d{4})年)?(\d{1,2})月(?:(\d{1,2})日)?\s*$)"));
    const int thisYear = QDate::currentDate().year();
    QRegularExpressionMatch m = time.match(typed);
    if (m.hasMatch()) {
        *format = m.captured(3).isEmpty() ? kTime : kTimeSeconds;
        return timeOfDay(m.captured(1), m.captured(2), m.captured(3), serial);
    }
    if ((m = monthDay.match(typed)).hasMatch()) {
        *format = kMonthDay;
        return dateSerial(QDate(thisYear, m.captured(1).toInt(), m.captured(3).toInt()), date1904, serial);
    }
    if ((m = chinese.match(typed)).hasMatch()) {
        // A year and a month, a month and a day, or all three.
        const bool year = !m.captured(1).isEmpty();
        const bool day = !m.captured(3).isEmpty();
        if (!year && !day)
            return false;
        *format = year && day ? kYearMonthDay : year ? kYearMonth : kMonthDay;
        return dateSerial(QDate(year ? m.captured(1).toInt() : thisYear, m.captured(2).toInt(), day ? m.captured(3).toInt() : 1),
                          date1904, serial);
    }
    m = dateTime.match(typed);
    if (!m.hasMatch())
        return false;
    double fraction = 0;
    const bool withTime = !m.captured(5).isEmpty();
    if ((withTime && !timeOfDay(m.captured(5), m.captured(6), m.captured(7), &fraction))
        || !dateSerial(QDate(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt()), date1904, serial))
        return false;
    *serial += fraction;
    *format = withTime ? kDateTime : kShortDate;
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
    if (parseNumber(typed, &entry.number, &entry.numberFormat)
        || parseDateTime(typed, date1904, &entry.number, &entry.numberFormat)) {
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
