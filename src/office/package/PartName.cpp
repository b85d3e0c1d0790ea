#include "office/package/PartName.h"

#include <QStringList>
#include <QUrl>

namespace varnel::office {

QString unsafeEntryNameReason(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("条目名称为空");
    if (name.startsWith(u'/') || (name.size() >= 2 && name.at(1) == u':'))
        return QStringLiteral("条目名称是绝对路径");
    if (name.contains(u'\\'))
        return QStringLiteral("条目名称含有反斜杠");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("条目名称含有控制字符");
    }
    const QStringList segments = name.split(u'/');
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const QString& segment = segments.at(i);
        if (segment == u"." || segment == u"..")
            return QStringLiteral("条目名称含有“.”或“..”");
        // A trailing "/" marks a folder entry; an empty segment anywhere else is not a valid name.
        if (segment.isEmpty() && i != segments.size() - 1)
            return QStringLiteral("条目名称含有空的路径段");
    }
    return QString();
}

QString relationshipsPartOf(const QString& partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : partName.left(slash + 1);
    const QString file = partName.mid(slash + 1);
    return folder + QStringLiteral("_rels/") + file + QStringLiteral(".rels");
}

bool sourceOfRelationshipsPart(const QString& relationshipsPart, QString* source)
{
    const qsizetype folder = relationshipsPart.lastIndexOf(QLatin1StringView("_rels/"));
    if (folder < 0 || (folder > 0 && relationshipsPart.at(folder - 1) != u'/')
        || !relationshipsPart.endsWith(QLatin1StringView(".rels")) || relationshipsPart.indexOf(u'/', folder + 6) >= 0)
        return false;
    *source = relationshipsPart.left(folder) + relationshipsPart.mid(folder + 6).chopped(5);
    return true;
}

QString resolveRelationshipTarget(const QString& sourcePart, const QString& target, bool decodeEscapes)
{
    QString path = target;
    const qsizetype hash = path.indexOf(u'#');
    if (hash >= 0)
        path.truncate(hash);
    if (decodeEscapes)
        path = QUrl::fromPercentEncoding(path.toUtf8());
    if (path.isEmpty())
        return QString();

    QStringList resolved;
    if (!path.startsWith(u'/')) {
        resolved = sourcePart.split(u'/');
        resolved.removeLast(); // the source's own file name
    }
    for (const QString& segment : path.split(u'/')) {
        if (segment.isEmpty() || segment == u".")
            continue;
        if (segment == u"..") {
            if (resolved.isEmpty())
                return QString();
            resolved.removeLast();
            continue;
        }
        resolved.append(segment);
    }
    return resolved.join(u'/');
}

QString partKey(const QString& name)
{
    return name.toCaseFolded();
}

} // namespace varnel::office
