#pragma once
// A number as Excel shows it: never more than 15 significant decimal digits. Excel rounds the binary value
// to 15 digits before any format looks at it, so 0.1+0.2 (0.30000000000000004) shows as 0.3 and 2.675
// (stored as 2.67499999...) shows as 2.68 with two decimals. Every later rounding works on these decimal
// digits, half away from zero, as Excel's does.

#include <QString>

namespace varnel::office {

class ExcelDecimal
{
public:
    ExcelDecimal() = default;
    // The value rounded to 15 significant digits; infinities and NaN read as zero.
    static ExcelDecimal fromDouble(double value);

    bool isZero() const { return m_digits.isEmpty(); }
    bool isNegative() const { return m_negative; }
    // The power of ten of the first significant digit (0 for 1..9.99, -1 for 0.1..0.99); 0 for zero.
    int exponent() const { return m_exponent; }
    // How many significant digits there are, trailing zeros not counted.
    int significantDigits() const { return int(m_digits.size()); }

    ExcelDecimal absolute() const;
    ExcelDecimal negated() const;
    // The value times 10^power (percent signs, scaling commas, scientific mantissas).
    ExcelDecimal shifted(int power) const;
    // Rounded, half away from zero, to that many digits after the point (negative: to tens, hundreds...).
    ExcelDecimal roundedToDecimals(int decimals) const;
    ExcelDecimal roundedToSignificant(int digits) const;

    // The digit (0..9) standing for 10^power.
    int digitAt(int power) const;
    // The digits of the integer part without leading zeros; empty when the value is below 1.
    QString integerDigits() const;
    // The first count digits after the point, zeros added as needed.
    QString fractionDigits(int count) const;
    // Plain positional text without sign, exponent or trailing zeros: "1234.5", "0.001", "0".
    QString plainText() const;
    // Significant digits rounded as by roundedToSignificant and written as d.ddd with the exponent in the
    // style Excel's General uses: "1.23457E+11", "1E-10" (at least two exponent digits).
    QString scientificText() const;

    double toDouble() const;

private:
    ExcelDecimal roundedAtDigit(int kept) const;

    bool m_negative = false;
    QString m_digits; // significant digits, no leading or trailing zeros; empty for zero
    int m_exponent = 0;
};

} // namespace varnel::office
