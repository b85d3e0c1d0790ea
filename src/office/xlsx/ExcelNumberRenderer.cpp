#include "office/xlsx/ExcelNumberRenderer.h"

#include "office/xlsx/ExcelDecimal.h"
#include "office/xlsx/ExcelGeneralFormat.h"

#include <cmath>

namespace varnel::office {

namespace {

using Token = ExcelFormatToken;
using Tokens = QList<Token>;

bool hasKind(const Tokens& tokens, Token::Kind kind)
{
    for (const Token& token : tokens) {
        if (token.kind == kind)
            return true;
    }
    return false;
}

qsizetype indexOfKind(const Tokens& tokens, Token::Kind kind, qsizetype from = 0)
{
    for (qsizetype i = from; i < tokens.size(); ++i) {
        if (tokens.at(i).kind == kind)
            return i;
    }
    return -1;
}

int countDigits(const Tokens& tokens, qsizetype from, qsizetype to)
{
    int count = 0;
    for (qsizetype i = from; i < to; ++i)
        count += tokens.at(i).kind == Token::Digit;
    return count;
}

// What a placeholder shows where the number has no digit: 0 a zero, ? a space, # nothing.
QString padding(const Token& placeholder)
{
    if (placeholder.text == u"0")
        return QStringLiteral("0");
    return placeholder.text == u"?" ? QStringLiteral(" ") : QString();
}

// The characters of the tokens that are not digits: literals, the percent sign, the point.
QString plainCharacters(const Token& token)
{
    switch (token.kind) {
    case Token::Literal:
        return token.text;
    case Token::Percent:
        return QStringLiteral("%");
    case Token::Point:
        return QStringLiteral(".");
    default:
        return QString();
    }
}

// Writes tokens [from, to) of a positional number: integer digits right-aligned on the placeholders before
// the point (extra digits go to the first one), fraction digits left-aligned after it.
class PositionalWriter
{
public:
    PositionalWriter(const Tokens& tokens, qsizetype from, qsizetype to)
        : m_tokens(tokens)
        , m_from(from)
        , m_to(to)
    {
        const qsizetype point = indexOfKind(tokens, Token::Point, from);
        m_point = point >= 0 && point < to ? point : to;
        m_integerPlaces = countDigits(tokens, from, m_point);
        m_fractionPlaces = countDigits(tokens, m_point, to);
        for (qsizetype i = from; i < m_point; ++i)
            m_grouping = m_grouping || tokens.at(i).kind == Token::Grouping;
    }

    int fractionPlaces() const { return m_fractionPlaces; }

    QString write(const ExcelDecimal& number) const
    {
        const QString integer = number.integerDigits();
        const QString fraction = number.fractionDigits(m_fractionPlaces);
        qsizetype lastShown = fraction.size() - 1;
        while (lastShown >= 0 && fraction.at(lastShown) == u'0')
            --lastShown;
        QString out;
        int integerIndex = 0;
        int fractionIndex = 0;
        for (qsizetype i = m_from; i < m_to; ++i) {
            const Token& token = m_tokens.at(i);
            if (i == m_point && m_integerPlaces == 0)
                appendIntegerDigits(&out, integer, qsizetype(integer.size()) - 1, 0);
            if (token.kind != Token::Digit) {
                out += plainCharacters(token);
            } else if (i < m_point) {
                const int position = m_integerPlaces - 1 - integerIndex++;
                if (integerIndex == 1)
                    appendIntegerDigits(&out, integer, qsizetype(integer.size()) - 1, position + 1);
                if (position < integer.size())
                    appendIntegerDigits(&out, integer, position, position);
                else if (!padding(token).isEmpty())
                    appendDigit(&out, padding(token), position);
            } else {
                const qsizetype index = fractionIndex++;
                out += index <= lastShown ? QString(fraction.at(index)) : padding(token);
            }
        }
        return out;
    }

private:
    // Integer digits for the powers of ten from `high` down to `low`, each followed by a group separator
    // where one is due.
    void appendIntegerDigits(QString* out, const QString& integer, qsizetype high, qsizetype low) const
    {
        for (qsizetype position = high; position >= low; --position)
            appendDigit(out, QString(integer.at(integer.size() - 1 - position)), position);
    }

    void appendDigit(QString* out, const QString& digit, qsizetype position) const
    {
        *out += digit;
        if (m_grouping && position > 0 && position % 3 == 0)
            *out += digit == u" " ? u' ' : u',';
    }

    const Tokens& m_tokens;
    qsizetype m_from;
    qsizetype m_to;
    qsizetype m_point;
    int m_integerPlaces = 0;
    int m_fractionPlaces = 0;
    bool m_grouping = false;
};

// 0.00E+00: one integer digit per 0 placeholder; with # placeholders (##0.0E+0) the exponent is a
// multiple of their count, the engineering form.
QString writeScientific(const Tokens& tokens, const ExcelDecimal& number)
{
    const qsizetype exponentAt = indexOfKind(tokens, Token::Exponent);
    const PositionalWriter mantissaWriter(tokens, 0, exponentAt);
    const qsizetype point = indexOfKind(tokens, Token::Point);
    const int integerPlaces = countDigits(tokens, 0, point >= 0 && point < exponentAt ? point : exponentAt);
    bool engineering = false;
    for (qsizetype i = 0; i < exponentAt; ++i)
        engineering = engineering || (tokens.at(i).kind == Token::Digit && tokens.at(i).text == u"#");
    engineering = engineering && integerPlaces > 1;

    auto scaleFor = [&](int exponent) {
        if (engineering)
            return int(std::floor(double(exponent) / integerPlaces)) * integerPlaces;
        return exponent - qMax(integerPlaces, 1) + 1;
    };
    int scale = number.isZero() ? 0 : scaleFor(number.exponent());
    ExcelDecimal mantissa = number.shifted(-scale).roundedToDecimals(mantissaWriter.fractionPlaces());
    if (!number.isZero() && mantissa.exponent() > number.exponent() - scale) {
        scale = scaleFor(number.exponent() + 1); // rounding carried: 9.99 -> 10.0
        mantissa = number.shifted(-scale).roundedToDecimals(mantissaWriter.fractionPlaces());
    }

    QString out = mantissaWriter.write(mantissa);
    if (scale < 0)
        out += QStringLiteral("E-");
    else
        out += tokens.at(exponentAt).text == u"+" ? QStringLiteral("E+") : QStringLiteral("E");
    int minimumDigits = 0;
    for (qsizetype i = exponentAt + 1; i < tokens.size(); ++i) {
        if (tokens.at(i).kind == Token::Digit)
            minimumDigits += tokens.at(i).text == u"0";
    }
    out += QStringLiteral("%1").arg(std::abs(scale), minimumDigits, 10, QLatin1Char('0'));
    for (qsizetype i = exponentAt + 1; i < tokens.size(); ++i)
        out += plainCharacters(tokens.at(i));
    return out;
}

QString writeGeneral(const Tokens& tokens, double magnitude)
{
    QString out;
    for (const Token& token : tokens)
        out += token.kind == Token::General ? ExcelGeneralFormat::cellText(magnitude) : plainCharacters(token);
    return out;
}

// The fraction nearest the value whose denominator has at most `places` digits; ties go to the smaller
// denominator.
void nearestFraction(double value, int places, long long* numerator, long long* denominator)
{
    const long long largest = places >= 5 ? 99999 : (long long)std::pow(10, places) - 1;
    double bestError = 2;
    for (long long d = 1; d <= largest; ++d) {
        const long long n = std::llround(value * double(d));
        const double error = std::fabs(value - double(n) / double(d));
        if (error < bestError - 1e-12) {
            bestError = error;
            *numerator = n;
            *denominator = d;
        }
    }
}

// Right-aligns (numerators) or left-aligns (denominators) digits on their placeholders.
QString placeDigits(const QString& digits, const QList<Token>& placeholders, bool alignRight)
{
    QString pad;
    for (qsizetype i = digits.size(); i < placeholders.size(); ++i)
        pad += padding(placeholders.at(alignRight ? i - digits.size() : i));
    return alignRight ? pad + digits : digits + pad;
}

// # ?/? and the like: an optional whole part, then numerator and denominator; "?/8" fixes the
// denominator. A whole number leaves the fraction's places blank.
QString writeFraction(const Tokens& tokens, const ExcelDecimal& number)
{
    const qsizetype slash = indexOfKind(tokens, Token::Slash);
    qsizetype numeratorStart = slash;
    while (numeratorStart > 0 && tokens.at(numeratorStart - 1).kind == Token::Digit)
        --numeratorStart;
    const bool hasWhole = countDigits(tokens, 0, numeratorStart) > 0;
    const QList<Token> numeratorPlaces = tokens.mid(numeratorStart, slash - numeratorStart);

    qsizetype end = slash + 1;
    QString fixed;
    QList<Token> denominatorPlaces;
    if (end < tokens.size() && tokens.at(end).kind == Token::Literal && tokens.at(end).text.at(0).isDigit()) {
        const QString& literal = tokens.at(end).text;
        qsizetype digits = 0;
        while (digits < literal.size() && literal.at(digits).isDigit())
            ++digits;
        fixed = literal.left(digits);
        ++end;
        while (digits == literal.size() && end < tokens.size() && tokens.at(end).kind == Token::Digit
               && tokens.at(end).text == u"0") {
            fixed += u'0';
            ++end;
        }
    } else {
        while (end < tokens.size() && tokens.at(end).kind == Token::Digit)
            denominatorPlaces.append(tokens.at(end++));
    }

    const double value = number.toDouble();
    // From 15 digits on no fraction is left to show: the number is whole, or all numerator.
    const bool whollyInteger = !(value < 1e15);
    double whole = hasWhole ? std::floor(value) : 0;
    long long numerator = 0;
    long long denominator = 1;
    if (whollyInteger) {
        // numerator stays 0: a whole part shows the number, a bare fraction shows it over 1 below
    } else if (!fixed.isEmpty()) {
        denominator = qMax(1LL, fixed.toLongLong());
        numerator = std::llround((value - whole) * double(denominator));
    } else {
        nearestFraction(value - whole, int(denominatorPlaces.size()), &numerator, &denominator);
    }
    if (hasWhole && numerator == denominator) {
        whole += 1;
        numerator = 0;
    }
    const QString numeratorText = whollyInteger ? number.roundedToDecimals(0).plainText() : QString::number(numerator);

    QString out = PositionalWriter(tokens, 0, numeratorStart).write(ExcelDecimal::fromDouble(whole));
    if (hasWhole && numerator == 0) {
        if (whole == 0 && !out.contains(u'0'))
            out.prepend(u'0');
        const qsizetype width = numeratorPlaces.size() + 1 + (fixed.isEmpty() ? denominatorPlaces.size() : fixed.size());
        out += QString(width, u' ');
    } else {
        out += placeDigits(numeratorText, numeratorPlaces, true) + u'/';
        out += fixed.isEmpty() ? placeDigits(QString::number(denominator), denominatorPlaces, false) : fixed;
    }
    for (qsizetype i = end; i < tokens.size(); ++i)
        out += plainCharacters(tokens.at(i));
    return out;
}

} // namespace

QString ExcelNumberRenderer::render(const ExcelFormatSection& section, double magnitude)
{
    const Tokens& tokens = section.tokens;
    if (hasKind(tokens, Token::General))
        return writeGeneral(tokens, magnitude);
    int shift = 0;
    for (const Token& token : tokens)
        shift += token.kind == Token::Percent ? 2 : token.kind == Token::Scaling ? -3 : 0;
    const ExcelDecimal number = ExcelDecimal::fromDouble(magnitude).shifted(shift);
    const qsizetype slash = indexOfKind(tokens, Token::Slash);
    if (slash > 0 && countDigits(tokens, 0, slash) > 0)
        return writeFraction(tokens, number);
    if (hasKind(tokens, Token::Exponent))
        return writeScientific(tokens, number);
    const PositionalWriter writer(tokens, 0, tokens.size());
    return writer.write(number.roundedToDecimals(writer.fractionPlaces()));
}

} // namespace varnel::office
