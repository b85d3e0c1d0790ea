#include "core/FileRename.h"

#include "core/PathUtil.h"
#include "core/TextReplace.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace varnel {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct FileId {
    dev_t device;
    ino_t inode;
};

// The file at path, without following a final symbolic link (a link is renamed, not its target).
std::optional<FileId> fileIdentity(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

// Why a name cannot be given to the file, worded after "原因："; empty when it can. Besides the characters
// a Windows file name cannot hold: no name at all, "." and ".." (which name folders), and the name of an
// existing folder, which no rename may replace.
QString refusedNameReason(const QString& name, const QString& newPath)
{
    if (HasInvalidNameChar(name))
        return QStringLiteral("文件名不能包括以下字符：") + kCrLf + QStringLiteral("\\ / :  * ? \" < > |");
    if (name.isEmpty() || name == u"." || name == u"..")
        return QStringLiteral("文件名不能为空，也不能是“.”或“..”。");
    if (QFileInfo(newPath).isDir())
        return QStringLiteral("已经存在同名的文件夹。");
    return {};
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Moves from to to. Unless replacing is allowed, a file that appeared at the target in the meantime is
// never overwritten (on file systems that cannot promise that, a plain rename is the fallback).
bool moveFile(const QString& from, const QString& to, bool mayReplace)
{
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    if (!mayReplace) {
        if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EINVAL && errno != ENOSYS)
            return false;
    }
    return std::rename(src.constData(), dst.constData()) == 0;
}

} // namespace

QString replaceInFileName(const QString& name, const QStringList& findTexts, const QStringList& replaceTexts,
                          const ReplaceOptions& options)
{
    const CompareMode mode = options.isOn(Option::MatchCase) ? CompareMode::Text : CompareMode::Binary;
    QString result = name;
    for (qsizetype i = 0; i < findTexts.size(); ++i)
        result = plainReplace(result, findTexts[i], replaceTexts.value(i), mode);
    return result;
}

RenameOutcome renameByDefinitions(const QString& path, const QStringList& findTexts,
                                  const QStringList& replaceTexts, const ReplaceOptions& options,
                                  UserInterface& ui, bool dryRun)
{
    RenameOutcome outcome;
    const QString name = replaceInFileName(GetFileName(path), findTexts, replaceTexts, options);
    outcome.newPath = GetParentPath(path) + name;
    if (outcome.newPath == path)
        return outcome;

    const QString reason = refusedNameReason(name, outcome.newPath);
    if (!reason.isEmpty()) {
        ui.notice(QStringLiteral("文档名：“") + path + QStringLiteral("”不能替换为：“") + outcome.newPath
                  + QStringLiteral("”。") + kCrLf + kCrLf + QStringLiteral("原因：") + reason);
        return outcome;
    }

    // On a case-insensitive file system a name differing only in letter case is the file itself: that
    // is never an existing target to ask about or to delete.
    const auto source = fileIdentity(path);
    const auto target = fileIdentity(outcome.newPath);
    const bool targetIsSelf = source && target && source->device == target->device && source->inode == target->inode;
    if (target && !targetIsSelf) {
        const auto answer = ui.ask(UserInterface::Question::OverwriteOnRename,
                                   QStringLiteral("同名文件已经存在，是否覆盖？") + kCrLf + kCrLf + path + kCrLf
                                       + QStringLiteral("改名为新文件：") + kCrLf + outcome.newPath,
                                   UserInterface::Buttons::YesNo, UserInterface::Answer::No);
        if (answer != UserInterface::Answer::Yes)
            return outcome;
    }

    // The existing file is replaced by the rename itself, in one step: if the rename fails, it is still there.
    if (!dryRun && !moveFile(path, outcome.newPath, targetIsSelf || target.has_value())) {
        outcome.error = QStringLiteral("不能改名为“") + outcome.newPath + QStringLiteral("”：") + systemError();
        return outcome;
    }
    outcome.renamed = true;
    return outcome;
}

} // namespace varnel
