#include "core/ProcessLog.h"

#include "core/TextCodec.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace varnel {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

ProcessLog::ProcessLog(QString path)
    : m_path(std::move(path))
{
}

void ProcessLog::WriteLog(const QString& filePath, const QString& description) const
{
    append(timestamp() + QLatin1Char('\t') + QStringLiteral("处理") + filePath + QStringLiteral("出错：") + description
           + kCrLf);
}

void ProcessLog::writeRunHeader() const
{
    append(timestamp() + QStringLiteral("，开始替换：") + kCrLf);
}

void ProcessLog::writeFileStart(const QString& filePath) const
{
    append(filePath);
}

void ProcessLog::writeFileEnd(bool changed) const
{
    append(QLatin1Char('\t') + (changed ? QStringLiteral("内容替换完成") : QStringLiteral("无替换")) + kCrLf);
}

QString ProcessLog::timestamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy/M/d H:mm:ss"));
}

QString ProcessLog::startupPath()
{
    // The desktop when there is one; otherwise the program's folder, unless the program is installed
    // somewhere the user cannot write, where the log would silently get nothing: then the home folder.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty() || !QFileInfo(folder).isWritable())
        folder = QDir::homePath();
    return folder + QStringLiteral("/Varnel.log");
}

void ProcessLog::append(const QString& text) const
{
    if (m_path.trimmed().isEmpty())
        return;
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(encodeLocalText(text));
}

} // namespace varnel
