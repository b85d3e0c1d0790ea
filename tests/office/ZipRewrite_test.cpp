// Rewriting a zip archive with some entries replaced: the replaced entries are deflated ahead, on two
// threads, and copied in; whatever their size or content, the archive reads back exactly, with its
// checksums, in its order.

#include "office/package/ZipArchive.h"

#include "support/MiniWorkbook.h"
#include "support/TestFiles.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zip.h>

using varnel::office::ZipArchive;
using varnel::office::ZipEntry;

TEST(ZipRewrite, ReplacedEntriesOfEverySizeReadBackExactly)
{
    QByteArray random(300 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char& byte : random)
        byte = char(generator.bounded(256));
    QByteArray xml = "<a>";
    for (int i = 0; i < 20000; ++i)
        xml += "<c r=\"A" + QByteArray::number(i) + "\"><v>" + QByteArray::number(i * 7) + "</v></c>";
    xml += "</a>";
    const QList<std::pair<QByteArray, QByteArray>> replaced = {
        {"empty.xml", QByteArray()},
        {"one.xml", "x"},
        {"small.xml", QByteArray(4096, 'a')},
        {"just past small.xml", QByteArray(4097, 'b')},
        {"incompressible.bin", random},
        {"sheet.xml", xml},
    };
    QList<std::pair<QByteArray, QByteArray>> original = {{"kept first.xml", "<kept/>"}};
    for (const auto& [name, bytes] : replaced)
        original.append(std::pair<QByteArray, QByteArray>(name, "<old/>"));
    original.append(std::pair<QByteArray, QByteArray>("kept last.xml", "<kept last=\"1\"/>"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("original.zip"));
    varnel::test::writeZipEntries(path, original);
    ZipArchive archive;
    QString error;
    ASSERT_TRUE(archive.open(path, &error)) << error.toStdString();
    QHash<QString, QByteArray> replacements;
    for (const auto& [name, bytes] : replaced)
        replacements.insert(QString::fromUtf8(name), bytes);
    QByteArray written;
    ASSERT_TRUE(archive.rewrite(replacements, {{QStringLiteral("added.xml"), QByteArray("<new/>")}}, &written, &error))
        << error.toStdString();

    const QString writtenPath = dir.filePath(QStringLiteral("written.zip"));
    varnel::test::writeFile(writtenPath, written);
    ZipArchive reread;
    ASSERT_TRUE(reread.open(writtenPath, &error)) << error.toStdString(); // with libzip's consistency checks
    QStringList names;
    for (const ZipEntry& entry : reread.entries()) {
        names.append(entry.name);
        QByteArray data;
        ASSERT_TRUE(reread.read(entry, 1 << 26, &data, &error)) << entry.name.toStdString() << ": " << error.toStdString();
        const QByteArray name = entry.name.toUtf8();
        if (replacements.contains(entry.name)) {
            EXPECT_TRUE(data == replacements.value(entry.name)) << name.constData();
            EXPECT_EQ(entry.size, replacements.value(entry.name).size()) << name.constData();
        } else if (name == "added.xml") {
            EXPECT_EQ(data, QByteArray("<new/>"));
        } else {
            EXPECT_TRUE(data.startsWith("<kept")) << name.constData();
        }
    }
    QStringList expected;
    for (const auto& [name, bytes] : original)
        expected.append(QString::fromUtf8(name));
    expected.append(QStringLiteral("added.xml"));
    EXPECT_EQ(names, expected);
    const ZipEntry& sheet = reread.entries().at(reread.indexOf(QStringLiteral("sheet.xml")));
    EXPECT_EQ(sheet.method, ZIP_CM_DEFLATE);
    EXPECT_LT(sheet.compressedSize, sheet.size / 4) << "deflated";
}
