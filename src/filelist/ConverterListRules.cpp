#include "filelist/ConverterListRules.h"

namespace varnel {

QString converterAddFilesFilter(const OfficeCapabilities& caps)
{
    const QString word = caps.wordNewFormats ? QStringLiteral("WORD文件(*.doc;*.docx;*.rtf)|*.doc;*.docx;*.rtf")
                                             : QStringLiteral("WORD文件(*.doc;*.rtf)|*.doc;*.rtf");
    return word + QStringLiteral("|文本文件(*.txt)|*.txt");
}

bool converterDropAdmits(const QString& path, const OfficeCapabilities& caps)
{
    const QString upper = path.toUpper();
    if (upper.endsWith(u".DOCX"))
        return caps.wordNewFormats;
    return upper.endsWith(u".DOC") || upper.endsWith(u".TXT");
}

} // namespace varnel
