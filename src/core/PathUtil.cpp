#include "core/PathUtil.h"

namespace varnel {

QString GetFileExt(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? path : path.mid(dot);
}

QString GetParentPath(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString GetFileName(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool ListContainsText(const QStringList& rows, const QString& text)
{
    return rows.contains(text, Qt::CaseSensitive);
}

bool HasInvalidNameChar(const QString& text)
{
    static const QString invalid = QStringLiteral("\\\"/:*?<>|");
    for (QChar c : text)
        if (invalid.contains(c))
            return true;
    return false;
}

} // namespace varnel
