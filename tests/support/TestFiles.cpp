#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace varnel::test {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QStringList makeFiles(const QString& folder, const QStringList& names)
{
    QStringList paths;
    for (const QString& name : names) {
        paths.append(QDir(folder).absoluteFilePath(name));
        writeFile(paths.last(), "x");
    }
    return paths;
}

QString dataPath(const QString& name)
{
    return QStringLiteral(VARNEL_TEST_DATA "/") + name;
}

} // namespace varnel::test
