#pragma once
// Moving the relative references of a formula, as Excel does when a shared formula's text is used by the
// other cells of its range: a cell rowOffset rows below and columnOffset columns right of the master gets
// the master's formula with every reference not anchored by $ moved by as much.
//
//   shift("B1*2+$C$1+SUM(A:A)", 2, 1) -> "C3*2+$C$1+SUM(B:B)"
//
// Text in quotes, quoted sheet names and brackets (structured references, external workbooks) are left as
// they are; a name followed by "(" is a function. A reference moved outside the sheet becomes #REF!.

#include <QString>

namespace varnel::office {

class FormulaOffset
{
public:
    static QString shift(const QString& formula, int rowOffset, int columnOffset);
};

} // namespace varnel::office
