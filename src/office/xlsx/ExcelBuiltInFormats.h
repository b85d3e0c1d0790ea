#pragma once
// The number formats a workbook names only by id (numFmtId below 164, not written in styles.xml), as
// Excel with Chinese (PRC) regional settings shows them.

#include <QString>

namespace varnel::office {

class ExcelBuiltInFormats
{
public:
    // The format code of a built-in id; "General" for an id Excel does not define.
    static QString code(int id);
};

} // namespace varnel::office
