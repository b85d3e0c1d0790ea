#pragma once
// A cell's new content from the text typed into it, as Excel enters it (and as its Replace enters a
// replaced cell): "=" followed by something is a formula, a number (with an optional sign, thousands
// separators, a decimal point, an exponent or a trailing percent sign) becomes that number, TRUE and
// FALSE in any letter case become the logical values, everything else is text. A cell formatted as Text
// (@), or one whose text was typed with a leading apostrophe, keeps any typed text as text.

#include <QString>

namespace varnel::office {

struct ExcelCellEntry {
    enum class Kind { Text, Number, Boolean, Formula };

    Kind kind = Kind::Text;
    double number = 0;  // Number; Boolean as 1 or 0
    QString text;       // Text: the text; Formula: the formula without its "="

    // The entry of typed text; asText: the cell keeps text as text (Text format or apostrophe prefix);
    // date1904: the workbook counts days from 1904-01-01.
    static ExcelCellEntry enter(const QString& typed, bool asText = false, bool date1904 = false);
    // A number as a cell's value is written: the shortest form that reads back as the same double.
    static QString numberText(double value);
};

} // namespace varnel::office
