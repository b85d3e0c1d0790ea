#pragma once
// A number format code split into its sections and tokens. Up to four sections separated by ";": by
// default positive numbers, negative numbers, zero, text; a section may carry a condition ([>100]) that
// changes which numbers it takes. Within a section:
//
//   0 # ?            digit placeholders (a digit or 0 / nothing / a space)   .  decimal point
//   ,                grouping between placeholders; after the last one, divides by 1000 each
//   %                times 100 and a percent sign        E+ E-  exponent     /  fraction bar
//   "text" \c        literal text                        _c   one space       *c  fill (left out)
//   @                the cell's text                     General G/通用格式  the General form
//   y m d h s        date and time parts (m is the minute after h or before s), AM/PM A/P 上午/下午
//   [h] [mm] [ss]    elapsed time          [Red] [Color5] [DBNum1]  ignored
//   [$¥-804]         the currency symbol, and the locale (Chinese month and day names for -804, -404...)
//   [$-F800] [$-F400] the system's long date or time format in place of the rest of the section, which
//                    Excel writes for the ribbon's Long Date and Time; read as zh-CN Windows sets them
//
// Any other character is literal. Case does not matter for the letter codes.

#include <QList>
#include <QString>
#include <QStringList>

namespace varnel::office {

struct ExcelFormatToken {
    enum Kind {
        Literal,
        Digit,     // text: "0", "#" or "?"
        Point,
        Grouping,  // a comma between placeholders
        Scaling,   // a comma after the last placeholder: divide by 1000
        Percent,
        Exponent,  // text: "+" or "-"
        Slash,     // a fraction bar in a number section
        Text,      // @
        General,
        Year,
        Month,
        Day,
        Hour,
        Minute,
        Second,
        AmPm,         // text: the code as written, "AM/PM", "a/p", "上午/下午"
        ElapsedHour,  // [h]
        ElapsedMinute,
        ElapsedSecond,
        Weekday,      // aaa, aaaa: the Chinese day name
    };
    Kind kind = Literal;
    QString text;
    int count = 1; // how many letters: yyyy = 4, mmm = 3
};

struct ExcelFormatSection {
    QList<ExcelFormatToken> tokens;
    QString condition; // "<", "<=", ">", ">=", "=", "<>"; empty when the section has none
    double operand = 0;
    bool dateTime = false;   // has date or time parts
    bool text = false;       // has @
    bool chineseNames = false; // month and day names in Chinese ([$-804] and the other Chinese locales)
    QString systemCode;        // what [$-F800] or [$-F400] stand for: the system's long date or time

    bool hasCondition() const { return !condition.isEmpty(); }
    bool accepts(double value) const;
    bool isEmpty() const { return tokens.isEmpty(); }
};

class ExcelFormatCode
{
public:
    explicit ExcelFormatCode(const QString& code);

    const QList<ExcelFormatSection>& sections() const { return m_sections; }
    // The sections for numbers: the first three of four, else all but one that holds @.
    QList<ExcelFormatSection> numberSections() const;
    // The section for text: the fourth (even an empty one, which hides the text), else one that holds @;
    // null when there is none and text shows as it is.
    const ExcelFormatSection* textSection() const;

    // The raw text of each section, split at the semicolons that are not quoted or escaped.
    static QStringList splitSections(const QString& code);

private:
    static ExcelFormatSection parseSection(const QString& code);

    QList<ExcelFormatSection> m_sections;
};

} // namespace varnel::office
