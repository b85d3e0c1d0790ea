#pragma once
// Reading the definitions of a dictionary workbook: the sheet that was active when the workbook was last
// saved, one definition per row, the find text in column A and the replace text in column B, from row 1
// (there is no header row) to the last row that holds a value.
//
// Each text is the cell's displayed text (a number formatted 0.00 reads 1.00); when that text with its
// leading and trailing spaces removed is a number, the trimmed form is taken, any other text as it is,
// spaces included. A row whose A cell is empty is skipped whatever B holds; more than 35 such rows in a
// row end the reading. Rows whose A or B text is longer than 255 characters are read and reported, since
// the Office engines ignore such definitions.
//
// .xlsx and .xlsm files are read directly; an Office 97-2003 workbook (an OLE compound file, whatever its
// name) is first converted with LibreOffice in a private temporary folder. Reading is all or nothing: a
// workbook that cannot be read gives no definitions, only the reason.

#include "core/ReplacePair.h"

#include <QList>
#include <QString>

#include <optional>

namespace varnel {

namespace office {
class Workbook;
}

struct DictionaryContent {
    ReplacePairs pairs;   // in row order
    QList<int> longRows;  // 1-based rows whose A or B text is longer than 255 characters, ascending
};

class DictionaryWorkbook
{
public:
    static constexpr int kMaxEmptyRows = 35;  // consecutive rows without a find text that are tolerated
    static constexpr int kMaxTextLength = 255;

    // The definitions of the workbook at path; nullopt with *error (a Chinese reason) when it cannot be read.
    // A password opens a workbook encrypted with it.
    static std::optional<DictionaryContent> read(const QString& path, QString* error,
                                                 const QString& password = QString());
    // The definitions of an open workbook's active sheet.
    static std::optional<DictionaryContent> read(const office::Workbook& book, QString* error);

    // The text a definition takes from a displayed text: the trimmed form when that is a number.
    static QString definitionText(const QString& displayed);
    // Whether a text (already trimmed) reads as a number: digits with an optional sign, thousands
    // separators, decimal point, exponent and currency sign, as "12", "-1,234.50", "1E+3", "¥12.00".
    static bool isNumeric(const QString& text);
};

} // namespace varnel
