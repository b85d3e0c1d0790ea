#pragma once
// Writes a serial date-time with a date or time section of a format code. The serial counts days: in the
// 1900 system day 1 is 1900-01-01 and day 60 the 1900-02-29 Excel keeps from Lotus 1-2-3 (day 0 shows as
// 1900-01-00); in the 1904 system (workbookPr date1904) day 0 is 1904-01-01. The fraction is the time of
// day. Time is rounded to the displayed fraction of a second (whole seconds without one) before it is
// split, so 0.99999999 shows as 0:00:00 of the next day, while h:mm cuts off the seconds.

#include "office/xlsx/ExcelFormatCode.h"

namespace varnel::office {

class ExcelDateRenderer
{
public:
    // The last day Excel can show, 9999-12-31, in the 1900 system.
    static constexpr double LastSerial1900 = 2958465;

    // False, and nothing written, for a value that is no date Excel shows: negative or past 9999.
    static bool render(const ExcelFormatSection& section, double serial, bool date1904, QString* out);
};

} // namespace varnel::office
