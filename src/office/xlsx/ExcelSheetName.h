#pragma once
// Worksheet names as Excel accepts them, and the names in formula text.
//
// A name is refused when it is empty, longer than 31 characters, holds one of : \ / ? * [ ], starts or
// ends with an apostrophe, is "History" in any letter case (Excel keeps it for the change history), or
// equals another sheet's name in any letter case. In a formula a sheet name is written bare when it is a
// run of letters, digits, "_" and "." that starts with neither a digit nor "." and cannot be read as a
// cell reference (A1, R1C1) or a logical value; otherwise it is quoted, with apostrophes doubled.

#include <QString>
#include <QStringList>

namespace varnel::office {

class ExcelSheetName
{
public:
    // Why Excel refuses the name for a sheet among the others (the sheet's own current name excluded);
    // empty when it takes it.
    static QString refusal(const QString& name, const QStringList& otherNames);
    // The name as a formula writes it before "!".
    static QString quoted(const QString& name);
    // The two ends of a 3D reference as a formula writes them before "!": bare (First:Last) when both
    // names may be, else quoted together ('Sheet 1:Sheet3').
    static QString quoted(const QString& first, const QString& last);
    // The formula text with every reference to the sheet oldName (in any letter case, quoted or bare, at
    // either end of a 3D reference, not inside a string constant and not one of another workbook) naming
    // newName instead. *changed, when
    // given, tells whether anything was rewritten.
    static QString renameInFormula(const QString& formula, const QString& oldName, const QString& newName,
                                   bool* changed = nullptr);
};

} // namespace varnel::office
