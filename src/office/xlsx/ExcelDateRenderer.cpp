#include "office/xlsx/ExcelDateRenderer.h"

#include <QDate>

#include <cmath>

namespace varnel::office {

namespace {

using Token = ExcelFormatToken;

struct CivilDate {
    int year = 1900;
    int month = 1;
    int day = 0;
    int weekday = 6; // 0 = Sunday
};

CivilDate civilDate(long long serial, bool date1904)
{
    CivilDate result;
    QDate date;
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(serial);
    } else if (serial == 0) {
        return result; // 1900-01-00, a Saturday for Excel
    } else if (serial == 60) {
        return {1900, 2, 29, 3};
    } else if (serial < 60) {
        // Before the fictitious leap day Excel's weekdays run one behind the real calendar: day 1 is a
        // Sunday.
        date = QDate(1899, 12, 31).addDays(serial);
        return {date.year(), date.month(), date.day(), int((serial - 1) % 7)};
    } else {
        date = QDate(1899, 12, 30).addDays(serial);
    }
    return {date.year(), date.month(), date.day(), date.dayOfWeek() % 7};
}

const char* const EnglishMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};
const char* const EnglishDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char16_t* const ChineseNumbers[] = {u"日", u"一", u"二", u"三", u"四", u"五", u"六",
                                          u"七", u"八", u"九", u"十", u"十一", u"十二"};

QString monthName(int month, int letters, bool chinese)
{
    if (chinese) {
        if (letters == 3)
            return QString::number(month) + u'月';
        const QString name = QString::fromUtf16(ChineseNumbers[month]);
        return letters == 5 ? name.left(1) : name + u'月';
    }
    const QString name = QString::fromLatin1(EnglishMonths[month - 1]);
    return letters == 3 ? name.left(3) : letters == 5 ? name.left(1) : name;
}

QString dayName(int weekday, bool shortName, bool chinese)
{
    if (chinese)
        return QString::fromUtf16(shortName ? u"周" : u"星期") + QString::fromUtf16(ChineseNumbers[weekday]);
    const QString name = QString::fromLatin1(EnglishDays[weekday]);
    return shortName ? name.left(3) : name;
}

QString padded(long long number, int width)
{
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

// The number of digits of fractional seconds: the zeros after a point that follows the seconds.
int fractionDigits(const QList<Token>& tokens)
{
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens.at(i).kind != Token::Point || tokens.at(i + 1).kind != Token::Digit)
            continue;
        int count = 0;
        for (qsizetype j = i + 1; j < tokens.size() && tokens.at(j).kind == Token::Digit; ++j)
            ++count;
        return qMin(count, 3);
    }
    return 0;
}

} // namespace

bool ExcelDateRenderer::render(const ExcelFormatSection& section, double serial, bool date1904, QString* out)
{
    const double last = date1904 ? LastSerial1900 - 1462 : LastSerial1900;
    if (!std::isfinite(serial) || serial < 0 || serial >= last + 1)
        return false;
    const QList<Token>& tokens = section.tokens;
    const int digits = fractionDigits(tokens);
    const long long perSecond = (long long)std::pow(10, digits);
    const long long perDay = 86400 * perSecond;
    const long long ticks = std::llround(serial * double(perDay));
    const CivilDate date = civilDate(ticks / perDay, date1904);
    const long long timeOfDay = ticks % perDay;
    const long long second = timeOfDay / perSecond;

    bool twelveHour = false;
    for (const Token& token : tokens)
        twelveHour = twelveHour || token.kind == Token::AmPm;
    long long hour = second / 3600;
    if (twelveHour)
        hour = hour % 12 == 0 ? 12 : hour % 12;

    QString text;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens.at(i);
        switch (token.kind) {
        case Token::Year:
            text += token.count <= 2 ? padded(date.year % 100, 2) : QString::number(date.year);
            break;
        case Token::Month:
            text += token.count <= 2 ? padded(date.month, token.count)
                                     : monthName(date.month, token.count > 5 ? 4 : token.count, section.chineseNames);
            break;
        case Token::Day:
            text += token.count <= 2 ? padded(date.day, token.count)
                                     : dayName(date.weekday, token.count == 3, section.chineseNames);
            break;
        case Token::Weekday:
            text += token.count == 3 ? QString::fromUtf16(ChineseNumbers[date.weekday]) : dayName(date.weekday, false, true);
            break;
        case Token::Hour:
            text += padded(hour, qMin(token.count, 2));
            break;
        case Token::Minute:
            text += padded(second / 60 % 60, qMin(token.count, 2));
            break;
        case Token::Second:
            text += padded(second % 60, qMin(token.count, 2));
            break;
        case Token::ElapsedHour:
            text += padded(ticks / perSecond / 3600, token.count);
            break;
        case Token::ElapsedMinute:
            text += padded(ticks / perSecond / 60, token.count);
            break;
        case Token::ElapsedSecond:
            text += padded(ticks / perSecond, token.count);
            break;
        case Token::AmPm: {
            // A Chinese locale tag turns AM/PM into its own words, as 上午/下午 spells them out.
            const QStringList names = (section.chineseNames ? QStringLiteral("上午/下午") : token.text).split(u'/');
            text += second < 12 * 3600 ? names.at(0) : names.at(1);
            break;
        }
        case Token::Point:
            text += u'.';
            if (digits > 0 && i + 1 < tokens.size() && tokens.at(i + 1).kind == Token::Digit) {
                text += padded(timeOfDay % perSecond, digits);
                while (i + 1 < tokens.size() && tokens.at(i + 1).kind == Token::Digit)
                    ++i;
            }
            break;
        case Token::Digit:
        case Token::Literal:
            text += token.text;
            break;
        default:
            break;
        }
    }
    *out = text;
    return true;
}

} // namespace varnel::office
