#include "office/xlsx/ExcelBuiltInFormats.h"

#include <QHash>

namespace varnel::office {

namespace {

// Where the codes come from:
// - 0-4, 9-13, 15-21, 37-40, 45-49: fixed for every locale by ECMA-376 Part 1, 18.8.30 (numFmt). Excel
//   shows 47 (written "mmss.0" there) as mm:ss.0.
// - 14 and 22, the short date and the short date with time, follow the regional settings; with Chinese
//   (PRC) settings Excel shows them as yyyy/m/d and yyyy/m/d h:mm.
// - 5-8 and 41-44, currency and accounting, also follow the regional settings; these are Excel's
//   zh-CN forms, with the yuan sign and a minus sign rather than parentheses.
// - 27-36 and 50-58: the zh-CN list of ECMA-376 Part 1, 18.8.30, which is what Excel zh-CN shows.
// - 23-26 and 59-81 (Thai, Japanese, Korean) are not used by zh-CN Excel and read as General.
const QHash<int, QString>& table()
{
    static const QHash<int, QString> codes = {
        {0, QStringLiteral("General")},
        {1, QStringLiteral("0")},
        {2, QStringLiteral("0.00")},
        {3, QStringLiteral("#,##0")},
        {4, QStringLiteral("#,##0.00")},
        {5, QStringLiteral("\"¥\"#,##0;\"¥\"\\-#,##0")},
        {6, QStringLiteral("\"¥\"#,##0;[Red]\"¥\"\\-#,##0")},
        {7, QStringLiteral("\"¥\"#,##0.00;\"¥\"\\-#,##0.00")},
        {8, QStringLiteral("\"¥\"#,##0.00;[Red]\"¥\"\\-#,##0.00")},
        {9, QStringLiteral("0%")},
        {10, QStringLiteral("0.00%")},
        {11, QStringLiteral("0.00E+00")},
        {12, QStringLiteral("# ?/?")},
        {13, QStringLiteral("# ?\?/?\?")},
        {14, QStringLiteral("yyyy/m/d")},
        {15, QStringLiteral("d-mmm-yy")},
        {16, QStringLiteral("d-mmm")},
        {17, QStringLiteral("mmm-yy")},
        {18, QStringLiteral("h:mm AM/PM")},
        {19, QStringLiteral("h:mm:ss AM/PM")},
        {20, QStringLiteral("h:mm")},
        {21, QStringLiteral("h:mm:ss")},
        {22, QStringLiteral("yyyy/m/d h:mm")},
        {27, QStringLiteral("yyyy\"年\"m\"月\"")},
        {28, QStringLiteral("m\"月\"d\"日\"")},
        {29, QStringLiteral("m\"月\"d\"日\"")},
        {30, QStringLiteral("m-d-yy")},
        {31, QStringLiteral("yyyy\"年\"m\"月\"d\"日\"")},
        {32, QStringLiteral("h\"时\"mm\"分\"")},
        {33, QStringLiteral("h\"时\"mm\"分\"ss\"秒\"")},
        {34, QStringLiteral("上午/下午h\"时\"mm\"分\"")},
        {35, QStringLiteral("上午/下午h\"时\"mm\"分\"ss\"秒\"")},
        {36, QStringLiteral("yyyy\"年\"m\"月\"")},
        {37, QStringLiteral("#,##0 ;(#,##0)")},
        {38, QStringLiteral("#,##0 ;[Red](#,##0)")},
        {39, QStringLiteral("#,##0.00;(#,##0.00)")},
        {40, QStringLiteral("#,##0.00;[Red](#,##0.00)")},
        {41, QStringLiteral("_ * #,##0_ ;_ * \\-#,##0_ ;_ * \"-\"_ ;_ @_ ")},
        {42, QStringLiteral("_ \"¥\"* #,##0_ ;_ \"¥\"* \\-#,##0_ ;_ \"¥\"* \"-\"_ ;_ @_ ")},
        {43, QStringLiteral("_ * #,##0.00_ ;_ * \\-#,##0.00_ ;_ * \"-\"?\?_ ;_ @_ ")},
        {44, QStringLiteral("_ \"¥\"* #,##0.00_ ;_ \"¥\"* \\-#,##0.00_ ;_ \"¥\"* \"-\"?\?_ ;_ @_ ")},
        {45, QStringLiteral("mm:ss")},
        {46, QStringLiteral("[h]:mm:ss")},
        {47, QStringLiteral("mm:ss.0")},
        {48, QStringLiteral("##0.0E+0")},
        {49, QStringLiteral("@")},
        {50, QStringLiteral("yyyy\"年\"m\"月\"")},
        {51, QStringLiteral("m\"月\"d\"日\"")},
        {52, QStringLiteral("yyyy\"年\"m\"月\"")},
        {53, QStringLiteral("m\"月\"d\"日\"")},
        {54, QStringLiteral("m\"月\"d\"日\"")},
        {55, QStringLiteral("上午/下午h\"时\"mm\"分\"")},
        {56, QStringLiteral("上午/下午h\"时\"mm\"分\"ss\"秒\"")},
        {57, QStringLiteral("yyyy\"年\"m\"月\"")},
        {58, QStringLiteral("m\"月\"d\"日\"")},
    };
    return codes;
}

} // namespace

QString ExcelBuiltInFormats::code(int id)
{
    return table().value(id, QStringLiteral("General"));
}

} // namespace varnel::office
