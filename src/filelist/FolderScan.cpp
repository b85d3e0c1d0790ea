#include "filelist/FolderScan.h"

#include "core/BatchRun.h"
#include "core/FileCheck.h"
#include "core/PathUtil.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace varnel {

namespace {

bool byName(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

QStringList sortedEntries(const QDir& dir, QDir::Filters filters)
{
    QStringList names = dir.entryList(filters | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(names.begin(), names.end(), byName);
    return names;
}

QString joinPath(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

void scanInto(const QString& folder, const QStringList& extensions, bool recursive, QStringList& out)
{
    const QDir dir(folder);
    for (const QString& name : sortedEntries(dir, QDir::Files)) {
        if (name.startsWith(QStringLiteral("~$")))
            continue;
        const QString path = joinPath(folder, name);
        if (extensions.contains(GetFileExt(name), Qt::CaseInsensitive) && isRegularFile(path))
            out.append(path);
    }
    if (!recursive)
        return;
    for (const QString& name : sortedEntries(dir, QDir::Dirs)) {
        const QString path = joinPath(folder, name);
        const QFileInfo info(path);
        if (info.isSymLink() || info.isJunction())
            continue;
        scanInto(path, extensions, recursive, out);
    }
}

} // namespace

const QStringList& knownExtensions()
{
    return knownRunExtensions();
}

QStringList scanFolder(const QString& folder, const QStringList& extensions, bool recursive)
{
    QStringList files;
    const QFileInfo info(QDir::fromNativeSeparators(folder));
    if (!info.isDir())
        return files;
    scanInto(QDir::cleanPath(info.absoluteFilePath()), extensions, recursive, files);
    return files;
}

QStringList parseTypeList(const QString& text)
{
    QStringList types;
    for (const QString& part : text.split(QLatin1Char(','))) {
        QString type = part.trimmed().toLower();
        if (type.startsWith(QLatin1Char('*')))
            type.remove(0, 1);
        if (type.isEmpty() || type == QStringLiteral("."))
            continue;
        if (!type.startsWith(QLatin1Char('.')))
            type.prepend(QLatin1Char('.'));
        if (!types.contains(type))
            types.append(type);
    }
    return types;
}

} // namespace varnel
