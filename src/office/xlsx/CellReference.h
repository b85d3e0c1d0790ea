#pragma once
// A cell address in A1 style: "B3" is column 2, row 3. Columns run from A to XFD (16,384), rows from 1 to
// 1,048,576, as in Excel 2007 and later.

#include <QString>

namespace varnel::office {

struct CellReference {
    static constexpr int kMaxRow = 1048576;
    static constexpr int kMaxColumn = 16384;

    int row = 0;    // 1-based; 0 when invalid
    int column = 0; // 1-based; 0 when invalid

    bool isValid() const { return row >= 1 && row <= kMaxRow && column >= 1 && column <= kMaxColumn; }
    // "B3"; empty when invalid.
    QString toString() const;

    // Parses "B3" or "$B$3" (the $ signs are ignored); invalid when the text is not one address.
    static CellReference parse(QStringView text);
    // The column's letters ("A", "XFD"); empty outside 1 to 16,384.
    static QString columnName(int column);
    // The column number of letters "A" to "XFD" (any case); 0 when they are not a column name.
    static int columnNumber(QStringView letters);
};

} // namespace varnel::office
