#include "filelist/FolderScan.h"

#include "support/SpecialFiles.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnel;
using varnel::test::makeFiles;

TEST(FolderScan, FolderFilesComeBeforeSubfoldersDepthFirst)
{
    QTemporaryDir dir;
    const QStringList files = makeFiles(dir.path(), {"b/z/1.txt", "b/2.txt", "a/3.txt", "B.txt", "a.txt", "C/4.txt"});
    const QStringList top = {files[4], files[3]}; // a.txt, B.txt: case ignored
    EXPECT_EQ(scanFolder(dir.path(), {".txt"}, false), top);
    EXPECT_EQ(scanFolder(dir.path(), {".txt"}, true), top + QStringList({files[2], files[1], files[0], files[5]}));
    EXPECT_EQ(scanFolder(dir.path() + "/a/", {".txt"}, true), QStringList{files[2]});
}

TEST(FolderScan, FiltersByExtensionIgnoringCaseAndSkipsLockFiles)
{
    QTemporaryDir dir;
    const QStringList files = makeFiles(dir.path(), {"a.DOCX", "b.docx.bak", "~$a.docx", "c.xlsx", ".hidden.docx", "docx"});
    EXPECT_EQ(scanFolder(dir.path(), {".docx"}, true), (QStringList{files[4], files[0]}));
    EXPECT_EQ(scanFolder(dir.path(), {".XLSX", ".bak"}, true), (QStringList{files[1], files[3]}));
    EXPECT_TRUE(scanFolder(dir.filePath("none"), knownExtensions(), true).isEmpty());
}

TEST(FolderScan, TakesOnlyRegularFilesAndLinksToThem)
{
    QTemporaryDir dir;
    const QStringList documents = varnel::test::makeMixedEntries(dir.path(), ".txt");
    const varnel::test::TestFifo fifo(dir.filePath("pipe.txt"));
    EXPECT_EQ(scanFolder(dir.path(), {".txt"}, false), documents);
    EXPECT_FALSE(fifo.wasOpened());
}

TEST(FolderScan, SymlinkLoopDoesNotRecurseForever)
{
    QTemporaryDir dir;
    const QStringList files = makeFiles(dir.path(), {"sub/a.txt"});
    ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("sub/loop")));
    EXPECT_EQ(scanFolder(dir.path(), {".txt"}, true), files);
}

TEST(FolderScan, KnownExtensionsAndTypeLists)
{
    EXPECT_EQ(knownExtensions().size(), 21);
    EXPECT_TRUE(knownExtensions().contains(".xlsm"));
    EXPECT_EQ(parseTypeList(" .TXT, htm ,*.Xlsx,,txt, . "), (QStringList{".txt", ".htm", ".xlsx"}));
    EXPECT_TRUE(parseTypeList("").isEmpty());
}
