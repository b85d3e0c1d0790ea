#pragma once
// A cell's new content from the text typed into it, as Excel enters it (and as its Replace enters a
// replaced cell): "=" followed by something is a formula, a number (with an optional sign, thousands
// separators, a decimal point, an exponent, a trailing percent sign or a leading yuan sign) or a date or
// time (2023/3/15, 2023-3-15 10:30, 3/15, 2023年3月15日, 3月15日, 10:30) becomes that number, TRUE and
// FALSE in any letter case become the logical values, everything else is text. A cell formatted as Text
// (@), or one whose text was typed with a leading apostrophe, keeps any typed text as text.
//
// What was typed also picks the number format Excel gives a General cell: a date format for a date
// (yyyy/m/d for 2023/3/15), a time format for a time, 0% or 0.00% for a percentage, the yuan currency
// format for ¥12, #,##0 for 1,234, 0.00E+00 for 1E5.

#include <QString>

namespace varnel::office {

struct ExcelCellEntry {
    enum class Kind { Text, Number, Boolean, Formula };

    Kind kind = Kind::Text;
    double number = 0;  // Number; Boolean as 1 or 0
    int numberFormat = 0; // Number: the built-in format (numFmtId) a General cell gets; 0 for none
    QString text;       // Text: the text; Formula: the formula without its "="

    // The entry of typed text; asText: the cell keeps text as text (Text format or apostrophe prefix);
    // date1904: the workbook counts days from 1904-01-01.
    static ExcelCellEntry enter(const QString& typed, bool asText = false, bool date1904 = false);
    // A number as a cell's value is written: the shortest form that reads back as the same double.
    static QString numberText(double value);
};

} // namespace varnel::office
