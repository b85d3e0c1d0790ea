#include "office/xlsx/ExcelGeneralFormat.h"

#include "office/xlsx/ExcelDecimal.h"

#include <cstdlib>

namespace varnel::office {

namespace {

constexpr int CellWidth = 11;
constexpr int Precision = 15;

QString withSign(const ExcelDecimal& number, const QString& text)
{
    return number.isNegative() ? u'-' + text : text;
}

// The exponent form that fits the width: d.dddddE+dd, one decimal fewer for a three-digit exponent. The
// mantissa is rounded first, since rounding may carry into the exponent (9.999999E+10 -> 1E+11).
ExcelDecimal scientificInWidth(const ExcelDecimal& magnitude)
{
    const int decimals = std::abs(magnitude.exponent()) >= 100 ? 4 : 5;
    return magnitude.roundedToSignificant(decimals + 1);
}

// The positional form rounded to the decimals that fit the width, or a zero decimal when none fits.
bool positionalInWidth(const ExcelDecimal& magnitude, ExcelDecimal* out)
{
    const int integerLength = magnitude.exponent() >= 0 ? magnitude.exponent() + 1 : 1;
    if (integerLength > CellWidth)
        return false;
    const int decimals = qMax(0, CellWidth - integerLength - 1);
    const ExcelDecimal rounded = magnitude.roundedToDecimals(decimals);
    if (rounded.isZero() || rounded.plainText().size() > CellWidth)
        return false;
    *out = rounded;
    return true;
}

} // namespace

QString ExcelGeneralFormat::cellText(double value)
{
    const ExcelDecimal number = ExcelDecimal::fromDouble(value);
    if (number.isZero())
        return QStringLiteral("0");
    const ExcelDecimal magnitude = number.absolute();
    const ExcelDecimal scientific = scientificInWidth(magnitude);
    ExcelDecimal positional;
    if (positionalInWidth(magnitude, &positional) && positional.significantDigits() >= scientific.significantDigits())
        return withSign(number, positional.plainText());
    return withSign(number, scientific.scientificText());
}

QString ExcelGeneralFormat::formulaBarText(double value)
{
    const ExcelDecimal number = ExcelDecimal::fromDouble(value);
    if (number.isZero())
        return QStringLiteral("0");
    const ExcelDecimal magnitude = number.absolute().roundedToSignificant(Precision);
    if (magnitude.exponent() >= Precision || magnitude.exponent() < -9)
        return withSign(number, magnitude.scientificText());
    return withSign(number, magnitude.plainText());
}

} // namespace varnel::office
