#include "support/LibreOffice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace varnel::test {

QByteArray convertByLibreOffice(const QString& path, const QString& filter, const QString& extension)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return {};
    static QTemporaryDir profile; // one private profile per test program, so no other instance interferes
    QTemporaryDir out;
    QProcess process;
    process.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--norestore"),
                            QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                            QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), out.path(), path});
    if (!process.waitForFinished(180000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    QFile file(QDir(out.path()).filePath(QFileInfo(path).completeBaseName() + u'.' + extension));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString textByLibreOffice(const QString& path)
{
    QString text = QString::fromUtf8(
        convertByLibreOffice(path, QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("txt")));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace varnel::test
