// The compound file an encrypted package is written back in: every storage and stream survives a round
// trip, nested ones and empty ones included, and the file reads back in an independent reader.

#include "office/package/CompoundFile.h"
#include "office/package/CompoundFileTree.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using varnel::office::CompoundFileEntry;
using varnel::office::CompoundFileTree;

TEST(CompoundFileTree, WritesStoragesAndStreamsThatReadBackAsTheyWere)
{
    // Office's data-space storages nest two deep; a stream above 4096 bytes leaves the mini stream.
    const QList<CompoundFileEntry> entries = {
        {u"\u0006DataSpaces"_s, true, {}},
        {u"\u0006DataSpaces/DataSpaceMap"_s, false, QByteArray("map")},
        {u"\u0006DataSpaces/TransformInfo"_s, true, {}},
        {u"\u0006DataSpaces/TransformInfo/StrongEncryptionTransform"_s, true, {}},
        {u"\u0006DataSpaces/TransformInfo/StrongEncryptionTransform/\u0006Primary"_s, false, QByteArray(300, 'p')},
        {u"EmptyStorage"_s, true, {}},
        {u"EncryptedPackage"_s, false, QByteArray(70000, '\x5A')},
        {u"EncryptionInfo"_s, false, QByteArray("info")},
        {u"Empty"_s, false, {}},
    };
    QByteArray file;
    QString error;
    ASSERT_TRUE(CompoundFileTree::write(entries, &file, &error)) << error.toStdString();

    QList<CompoundFileEntry> read;
    ASSERT_TRUE(CompoundFileTree::read(file, &read, &error)) << error.toStdString();
    QHash<QString, QPair<bool, QByteArray>> byPath;
    for (const CompoundFileEntry& entry : read)
        byPath.insert(entry.path, {entry.storage, entry.data});
    ASSERT_EQ(byPath.size(), entries.size());
    for (const CompoundFileEntry& entry : entries) {
        SCOPED_TRACE(entry.path.toStdString());
        ASSERT_TRUE(byPath.contains(entry.path));
        EXPECT_EQ(byPath[entry.path].first, entry.storage);
        EXPECT_EQ(byPath[entry.path].second, entry.data);
    }
    ASSERT_NE(CompoundFileTree::find(read, u"EncryptionInfo"_s), nullptr);
    EXPECT_EQ(CompoundFileTree::find(read, u"EmptyStorage"_s), nullptr); // a storage is no stream

    // Listing the names of the file on disk gives the same names.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"tree.bin"_s);
    varnel::test::writeFile(path, file);
    EXPECT_TRUE(varnel::office::hasCompoundFileSignature(file.left(8)));
    QStringList names = varnel::office::compoundFileEntryNames(path);
    names.removeAll(u"Root Entry"_s);
    QStringList expected;
    for (const CompoundFileEntry& entry : entries)
        expected.append(entry.path.mid(entry.path.lastIndexOf(u'/') + 1));
    names.sort();
    expected.sort();
    EXPECT_EQ(names, expected);
}

TEST(CompoundFileTree, RefusesWhatIsNoCompoundFile)
{
    QList<CompoundFileEntry> read;
    QString error;
    for (const QByteArray& bytes : {QByteArray(), QByteArray("PK\x03\x04 not a compound file"),
                                    QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(100, '\0')}) {
        EXPECT_FALSE(CompoundFileTree::read(bytes, &read, &error));
        EXPECT_FALSE(error.isEmpty());
    }
}
