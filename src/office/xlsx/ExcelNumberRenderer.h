#pragma once
// Writes a non-negative number with one number section of a format code: digit placeholders, grouping,
// scaling, percent, the exponent form and fractions. The caller picks the section and adds the minus sign.

#include "office/xlsx/ExcelFormatCode.h"

namespace varnel::office {

class ExcelNumberRenderer
{
public:
    static QString render(const ExcelFormatSection& section, double magnitude);
};

} // namespace varnel::office
