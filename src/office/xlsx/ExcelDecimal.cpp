#include "office/xlsx/ExcelDecimal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace varnel::office {

ExcelDecimal ExcelDecimal::fromDouble(double value)
{
    ExcelDecimal result;
    if (!std::isfinite(value) || value == 0)
        return result;
    // "%.14e" is correctly rounded: d.dddddddddddddde±xx, 15 significant digits.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    const char* e = buffer;
    while (*e != 'e')
        ++e;
    QString digits;
    for (const char* p = buffer; p != e; ++p) {
        if (*p != '.')
            digits.append(QLatin1Char(*p));
    }
    while (digits.endsWith(u'0'))
        digits.chop(1);
    result.m_negative = value < 0;
    result.m_digits = digits;
    result.m_exponent = std::atoi(e + 1);
    return result;
}

ExcelDecimal ExcelDecimal::absolute() const
{
    ExcelDecimal result = *this;
    result.m_negative = false;
    return result;
}

ExcelDecimal ExcelDecimal::negated() const
{
    ExcelDecimal result = *this;
    result.m_negative = !m_negative;
    return result;
}

ExcelDecimal ExcelDecimal::shifted(int power) const
{
    ExcelDecimal result = *this;
    if (!isZero())
        result.m_exponent += power;
    return result;
}

ExcelDecimal ExcelDecimal::roundedToDecimals(int decimals) const
{
    return roundedAtDigit(m_exponent + 1 + decimals);
}

ExcelDecimal ExcelDecimal::roundedToSignificant(int digits) const
{
    return roundedAtDigit(digits);
}

// Keeps the first `kept` significant digits and rounds on the next one. The sign stays even when the
// result is zero: Excel chose the format section by the value before rounding and shows "-0" for -0.4
// with the format 0.
ExcelDecimal ExcelDecimal::roundedAtDigit(int kept) const
{
    if (kept >= m_digits.size())
        return *this;
    ExcelDecimal result;
    result.m_negative = m_negative;
    if (kept < 0)
        return result;
    const bool up = m_digits.at(kept) >= u'5';
    QString digits = m_digits.left(kept);
    int exponent = m_exponent;
    if (up) {
        qsizetype i = digits.size() - 1;
        while (i >= 0 && digits.at(i) == u'9') {
            digits[i] = u'0';
            --i;
        }
        if (i >= 0) {
            digits[i] = QChar(digits.at(i).unicode() + 1);
        } else {
            digits.prepend(u'1');
            ++exponent;
        }
    }
    while (digits.endsWith(u'0'))
        digits.chop(1);
    if (digits.isEmpty())
        return result;
    result.m_digits = digits;
    result.m_exponent = exponent;
    return result;
}

int ExcelDecimal::digitAt(int power) const
{
    const int index = m_exponent - power;
    if (isZero() || index < 0 || index >= m_digits.size())
        return 0;
    return m_digits.at(index).unicode() - u'0';
}

QString ExcelDecimal::integerDigits() const
{
    QString text;
    if (isZero())
        return text;
    for (int power = m_exponent; power >= 0; --power)
        text.append(QChar(u'0' + digitAt(power)));
    return text;
}

QString ExcelDecimal::fractionDigits(int count) const
{
    QString text;
    for (int i = 1; i <= count; ++i)
        text.append(QChar(u'0' + digitAt(-i)));
    return text;
}

QString ExcelDecimal::plainText() const
{
    QString text = integerDigits();
    if (text.isEmpty())
        text = QStringLiteral("0");
    const int decimals = int(m_digits.size()) - 1 - m_exponent;
    if (!isZero() && decimals > 0)
        text += u'.' + fractionDigits(decimals);
    return text;
}

QString ExcelDecimal::scientificText() const
{
    if (isZero())
        return QStringLiteral("0E+00");
    QString text = m_digits.left(1);
    if (m_digits.size() > 1)
        text += u'.' + m_digits.mid(1);
    text += m_exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    return text + QStringLiteral("%1").arg(std::abs(m_exponent), 2, 10, QLatin1Char('0'));
}

double ExcelDecimal::toDouble() const
{
    if (isZero())
        return 0;
    QString text = m_negative ? QStringLiteral("-") : QString();
    text += m_digits.left(1);
    if (m_digits.size() > 1)
        text += u'.' + m_digits.mid(1);
    return (text + u'e' + QString::number(m_exponent)).toDouble();
}

} // namespace varnel::office
