#pragma once
// The text of a cell as Excel shows it, from its value and its number format code: what a dictionary
// workbook's cells read as, and what Excel's Find and Replace match (the formula bar's form).
//
// How the pieces fit: ExcelFormatCode splits a code into sections and tokens; this class picks the section
// for a value (by sign, zero, or the sections' conditions) and hands it to ExcelNumberRenderer or
// ExcelDateRenderer; ExcelGeneralFormat writes the General form; ExcelDecimal holds the 15 significant
// digits every rendering starts from. The text is the one a column just wide enough would show: fills
// (*x) take no room, _x is one space, colours are ignored, and a value a date format cannot show (a
// negative or one past 9999-12-31) reads as "########", as in a cell.
//
//   ExcelNumberFormat("\"¥\"#,##0.00").format(12)   -> "¥12.00"
//   ExcelNumberFormat("yyyy/m/d").format(45000)     -> "2023/3/15"
//   ExcelNumberFormat::display(0.125, "0.0%")       -> "12.5%"

#include "office/xlsx/ExcelFormatCode.h"

namespace varnel::office {

class ExcelNumberFormat
{
public:
    // An empty code is General. date1904: the workbook counts days from 1904-01-01 (workbookPr date1904).
    explicit ExcelNumberFormat(const QString& code = QStringLiteral("General"), bool date1904 = false);

    // The displayed text of a number.
    QString format(double value) const;
    // The displayed text of a text cell: the text section (the one with @) around it, else the text as is.
    QString formatText(const QString& text) const;
    // The number as the formula bar shows it, which is what Excel's Find and Replace see: General with
    // 15 significant digits; a date or time in the zh-CN short form (2023/3/15, 2023/3/15 12:00:00,
    // 12:00:00); a percentage as a percentage (12.5%).
    QString formulaBarText(double value) const;
    // Whether the section numbers of this sign use go through the date renderer.
    bool isDateTime(double value = 1) const;

    static QString display(double value, const QString& code, bool date1904 = false);
    // The code of a built-in format id (numFmtId below 164) as Excel zh-CN shows it.
    static QString builtInCode(int id);

private:
    // The section for a number, or null when none takes it; *showMinus tells whether the section expects
    // the caller to add the minus sign.
    const ExcelFormatSection* sectionFor(double value, bool* showMinus) const;

    ExcelFormatCode m_code;
    QList<ExcelFormatSection> m_numberSections;
    bool m_date1904 = false;
};

} // namespace varnel::office
