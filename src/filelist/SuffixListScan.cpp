#include "filelist/SuffixListScan.h"

#include "core/FileCheck.h"
#include "core/PathUtil.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace varnel {

namespace {

QStringList entriesByName(const QDir& dir, QDir::Filters filters)
{
    QStringList names = dir.entryList(filters | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

QString joinPath(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

bool walk(const QString& folder, const QString& suffixList, bool recursive, const FolderFilesFn& onFolder)
{
    const QDir dir(folder);
    QStringList files;
    for (const QString& name : entriesByName(dir, QDir::Files)) {
        const QString path = joinPath(folder, name);
        if (!name.startsWith(QStringLiteral("~$")) && suffixListAdmits(suffixList, name) && isRegularFile(path))
            files.append(path);
    }
    if (!onFolder(folder, files))
        return false;
    if (!recursive)
        return true;
    for (const QString& name : entriesByName(dir, QDir::Dirs)) {
        const QString path = joinPath(folder, name);
        if (QFileInfo(path).isSymLink())
            continue;
        if (!walk(path, suffixList, recursive, onFolder))
            return false;
    }
    return true;
}

} // namespace

bool suffixListAdmits(const QString& suffixList, const QString& fileName)
{
    if (suffixList.contains(QStringLiteral("*.*|")))
        return true;
    const QString name = GetFileName(fileName);
    if (!name.contains(QLatin1Char('.')))
        return false;
    return suffixList.contains(GetFileExt(name) + QLatin1Char('|'), Qt::CaseInsensitive);
}

QString buildSuffixList(bool word, bool excel, bool powerPoint, const QString& customPattern)
{
    QString list;
    if (word)
        list += QStringLiteral(".doc|.docx|");
    if (excel)
        list += QStringLiteral(".xls|.xlsx|.xlsm|");
    if (powerPoint)
        list += QStringLiteral(".ppt|.pptx|");
    if (!customPattern.isEmpty())
        list += customPattern + QLatin1Char('|');
    return list;
}

bool scanFolderBySuffix(const QString& folder, const QString& suffixList, bool recursive, const FolderFilesFn& onFolder)
{
    const QFileInfo info(QDir::fromNativeSeparators(folder));
    if (!info.isDir())
        return true;
    return walk(QDir::cleanPath(info.absoluteFilePath()), suffixList, recursive, onFolder);
}

QStringList scanFolderBySuffix(const QString& folder, const QString& suffixList, bool recursive)
{
    QStringList all;
    scanFolderBySuffix(folder, suffixList, recursive, [&all](const QString&, const QStringList& files) {
        all += files;
        return true;
    });
    return all;
}

} // namespace varnel
