#pragma once
// The escapes of SpreadsheetML text (cell strings, shared strings, sheet names, header and footer texts):
// a character XML cannot carry, such as a control character, is written _xHHHH_ (four hex digits), and a
// literal underscore that would otherwise start such an escape is written _x005F_.
//
//   decode("a_x000D_b")       -> "a\rb"
//   decode("_x005F_x0041_")   -> "_x0041_"   (the escaped underscore, then plain text)

#include <QString>

namespace varnel::office {

class ExcelXString
{
public:
    // The text with every _xHHHH_ escape replaced by its character, read from left to right.
    static QString decode(const QString& stored);
    // The stored form: control characters other than tab and line feed as _xHHHH_ (a carriage return too,
    // as Excel writes it: XML readers turn a raw one into a line feed), and the underscore of any literal
    // _xHHHH_ as _x005F_, so that decode(encode(t)) == t.
    static QString encode(const QString& text);
};

} // namespace varnel::office
