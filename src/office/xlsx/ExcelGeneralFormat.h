#pragma once
// Excel's General format: how a number shows in a cell of the standard width, and how the formula bar
// (and therefore Replace, which matches what the formula bar shows) writes it.

#include <QString>

namespace varnel::office {

class ExcelGeneralFormat
{
public:
    // At most 11 characters besides the minus sign. The positional form is used when it fits and keeps
    // as many significant digits as the exponent form would; otherwise the exponent form with up to five
    // decimals: 12345678901, 1.23457E+11, 0.333333333, 0.000012345, 1.23457E-05, 1E-10.
    static QString cellText(double value);
    // Up to 15 significant digits, positional from 1E-9 up to (not including) 1E15, otherwise with an
    // exponent: 123, 0.3 for 0.1+0.2, 123456789012345, 1.23456789012346E+15.
    static QString formulaBarText(double value);
};

} // namespace varnel::office
