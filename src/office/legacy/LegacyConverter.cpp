#include "office/legacy/LegacyConverter.h"

#include "office/package/CompoundFile.h"
#include "office/package/OoxmlPackage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <csignal>
#include <unistd.h>

namespace varnel::office {

namespace {

constexpr int kKillWaitMs = 5000;

bool isOoxmlExtension(const QString& extension)
{
    static const QStringList ooxml = {QStringLiteral("docx"), QStringLiteral("docm"), QStringLiteral("xlsx"),
                                      QStringLiteral("xlsm"), QStringLiteral("pptx"), QStringLiteral("pptm")};
    return ooxml.contains(extension);
}

bool isCompoundExtension(const QString& extension)
{
    static const QStringList compound = {QStringLiteral("doc"), QStringLiteral("xls"), QStringLiteral("ppt")};
    return compound.contains(extension);
}

// The last line soffice printed that says something, for the log ("Error: source file could not be loaded").
QString lastMessage(const QByteArray& output)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(u'\n', Qt::SkipEmptyParts);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        const QString line = it->trimmed();
        if (!line.isEmpty() && !line.startsWith(u"Warning: failed to launch javaldx"))
            return line;
    }
    return QString();
}

// Why the file soffice should have written is no good, or empty when it is.
QString outputProblem(const QString& path, const QString& extension)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("没有生成输出文件");
    if (info.size() == 0)
        return QStringLiteral("输出文件是空的");
    if (isOoxmlExtension(extension)) {
        QString error;
        if (!OoxmlPackage::open(path, &error))
            return QStringLiteral("输出文件无效：%1").arg(error);
    } else if (isCompoundExtension(extension)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || !hasCompoundFileSignature(file.read(8)))
            return QStringLiteral("输出文件不是有效的Office 97-2003文档");
    }
    return QString();
}

} // namespace

LegacyConverter::LegacyConverter() = default;

LegacyConverter::~LegacyConverter() = default;

QString LegacyConverter::sofficePath()
{
    for (const char* name : {"soffice", "libreoffice"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

QString LegacyConverter::profileUrl()
{
    if (!m_profile || !m_profile->isValid())
        m_profile = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/varnel-soffice-XXXXXX"));
    if (!m_profile->isValid())
        return QString();
    return QUrl::fromLocalFile(m_profile->path()).toString(QUrl::FullyEncoded);
}

bool LegacyConverter::convert(const QString& input, const QString& outDir, const QString& targetFilter,
                              QString* outputPath, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    const QString soffice = sofficePath();
    if (soffice.isEmpty())
        return fail(QStringLiteral("本机没有安装LibreOffice"));
    const QString profile = profileUrl();
    if (profile.isEmpty() || !QDir().mkpath(outDir))
        return fail(QStringLiteral("无法创建临时文件夹"));

    const QString extension = targetFilter.section(u':', 0, 0).toLower();
    const QString output = QDir(outDir).filePath(QFileInfo(input).completeBaseName() + u'.' + extension);
    QFile::remove(output);

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    // Its own process group, so that a timeout can end the launcher and soffice.bin together.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--nolockcheck"),
                            QStringLiteral("--nodefault"), QStringLiteral("--nologo"),
                            QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--convert-to"),
                            targetFilter, QStringLiteral("--outdir"), outDir, input});
    if (!process.waitForStarted())
        return fail(QStringLiteral("无法启动LibreOffice：%1").arg(process.errorString()));
    if (!process.waitForFinished(m_timeoutMs)) {
        const qint64 group = process.processId();
        if (group > 0)
            ::kill(-pid_t(group), SIGKILL);
        process.waitForFinished(kKillWaitMs);
        QFile::remove(output);
        return fail(QStringLiteral("LibreOffice转换超时（超过%1秒），已放弃").arg(m_timeoutMs / 1000.0));
    }

    const QString problem = outputProblem(output, extension);
    if (!problem.isEmpty()) {
        QFile::remove(output);
        const QString message = lastMessage(process.readAll());
        return fail(message.isEmpty() ? QStringLiteral("LibreOffice转换失败：%1").arg(problem)
                                      : QStringLiteral("LibreOffice转换失败：%1（%2）").arg(problem, message));
    }
    if (outputPath)
        *outputPath = output;
    return true;
}

} // namespace varnel::office
