#include "filelist/FileListRules.h"

namespace varnel {

QString initialInputLabel()
{
    return QStringLiteral("待处理文件：0项");
}

QString inputLabel(qsizetype count, CountForm form)
{
    return QStringLiteral("待处理文件") + QString::number(count)
           + (form == CountForm::Items ? QStringLiteral("项") : QStringLiteral("个"));
}

QString addFilesFilter(const OfficeCapabilities& caps)
{
    QString filter;
    if (caps.hasWord)
        filter += QStringLiteral("WORD文件(*.doc;*.rtf)|*.doc;*.rtf|");
    if (caps.hasExcel)
        filter += QStringLiteral("Excel文件(*.xls)|*.xls|");
    if (caps.hasPowerPoint)
        filter += QStringLiteral("PowerPoint文件(*.ppt)|*.ppt|");
    filter += QStringLiteral("文本文件(*.txt)|*.txt|HTML文件(*.htm;*.html)|*.htm;*.html|XML文件(*.xml)|*.xml|"
                             "所有文件(*.*)|*.*");
    if (caps.wordNewFormats)
        filter.replace(QStringLiteral("WORD文件(*.doc;*.rtf)|*.doc;*.rtf"),
                       QStringLiteral("WORD文件(*.doc;*.docx;*.rtf)|*.doc;*.docx;*.rtf"));
    if (caps.excelNewFormats)
        filter.replace(QStringLiteral("Excel文件(*.xls)|*.xls"),
                       QStringLiteral("Excel文件(*.xls;*.xlsx;*.xlsm)|*.xls;*.xlsx;*.xlsm"));
    if (caps.powerPointNewFormats)
        filter.replace(QStringLiteral("PowerPoint文件(*.ppt)|*.ppt"),
                       QStringLiteral("PowerPoint文件(*.ppt;*.pptx)|*.ppt;*.pptx"));
    return filter;
}

bool dropAdmits(const QString& path, const OfficeCapabilities& caps)
{
    struct Ending {
        const char* ending;
        bool admitted;
    };
    const Ending table[] = {
        {".DOC", caps.hasWord},
        {".DOCX", caps.hasWord && caps.wordNewFormats},
        {".PPT", caps.hasPowerPoint},
        {".PPTX", caps.hasPowerPoint && caps.powerPointNewFormats},
        {".RTF", caps.hasWord},
        {".XLS", caps.hasExcel},
        {".XLSX", caps.hasExcel && caps.excelNewFormats},
        {".HTM", true},
        {".TXT", true},
        {".HTML", true},
    };
    const QString upper = path.toUpper();
    for (const Ending& e : table)
        if (upper.endsWith(QLatin1StringView(e.ending)))
            return e.admitted;
    return false;
}

} // namespace varnel
