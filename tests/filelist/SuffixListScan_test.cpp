#include "filelist/SuffixListScan.h"

#include "support/SpecialFiles.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnel;
using varnel::test::makeFiles;

TEST(SuffixListScan, AdmitsAnExtensionFollowedByABarIgnoringCase)
{
    const QString word = buildSuffixList(true, false, false);
    EXPECT_EQ(word, QStringLiteral(".doc|.docx|"));
    EXPECT_TRUE(suffixListAdmits(word, QStringLiteral("x.doc")));
    EXPECT_TRUE(suffixListAdmits(word, QStringLiteral("y.DOCX")));
    EXPECT_FALSE(suffixListAdmits(word, QStringLiteral("z.do")));
    EXPECT_FALSE(suffixListAdmits(word, QStringLiteral("z.docm")));
}

TEST(SuffixListScan, CustomPatternWorksByContainingItsExtension)
{
    const QString list = buildSuffixList(false, false, false, QStringLiteral("*.txt"));
    EXPECT_EQ(list, QStringLiteral("*.txt|"));
    EXPECT_TRUE(suffixListAdmits(list, QStringLiteral("a.TXT")));
    EXPECT_FALSE(suffixListAdmits(list, QStringLiteral("a.htm")));
    EXPECT_EQ(buildSuffixList(true, true, true, QStringLiteral("*.css")),
              QStringLiteral(".doc|.docx|.xls|.xlsx|.xlsm|.ppt|.pptx|*.css|"));
}

TEST(SuffixListScan, StarDotStarAdmitsEveryFileButANameWithoutDotNeedsIt)
{
    EXPECT_TRUE(suffixListAdmits(QStringLiteral("*.*|"), QStringLiteral("README")));
    EXPECT_TRUE(suffixListAdmits(QStringLiteral(".doc|*.*|"), QStringLiteral("a.bin")));
    // A file named "doc" has no extension; it is not a Word document.
    EXPECT_FALSE(suffixListAdmits(QStringLiteral(".doc|.docx|"), QStringLiteral("doc")));
    EXPECT_FALSE(suffixListAdmits(QStringLiteral("*.txt|"), QStringLiteral("/x.y/txt")));
}

TEST(SuffixListScan, FlatScanTakesMatchingFilesAndSkipsLockFiles)
{
    QTemporaryDir dir;
    const QStringList files = makeFiles(dir.path(), {"x.doc", "y.DOCX", "~$x.doc", "n.txt", "s/z.doc"});
    EXPECT_EQ(scanFolderBySuffix(dir.path(), QStringLiteral(".doc|.docx|"), false), QStringList({files[0], files[1]}));
}

TEST(SuffixListScan, TakesOnlyRegularFilesAndLinksToThem)
{
    QTemporaryDir dir;
    const QStringList documents = varnel::test::makeMixedEntries(dir.path(), ".txt");
    const varnel::test::TestFifo fifo(dir.filePath("pipe.txt"));
    for (const bool recursive : {false, true})
        EXPECT_EQ(scanFolderBySuffix(dir.path(), QStringLiteral("*.*|"), recursive), documents);
    EXPECT_FALSE(fifo.wasOpened());
}

TEST(SuffixListScan, RecursiveScanListsAFolderBeforeItsSubfoldersDepthFirst)
{
    QTemporaryDir dir;
    const QStringList files = makeFiles(dir.path(), {"a/1.txt", "a/t/3.txt", "a/s/2.txt", "a/s/deep/4.txt", "a/0.bin"});
    const QString root = dir.filePath("a");
    EXPECT_EQ(scanFolderBySuffix(root, QStringLiteral("*.txt|"), true),
              QStringList({files[0], files[2], files[3], files[1]}));
    EXPECT_EQ(scanFolderBySuffix(root + "/", QStringLiteral("*.*|"), true),
              QStringList({files[4], files[0], files[2], files[3], files[1]}));
}

TEST(SuffixListScan, ReportsEachFolderAndStopsWhenAsked)
{
    QTemporaryDir dir;
    makeFiles(dir.path(), {"1.txt", "s/2.txt", "t/3.txt"});
    QStringList folders;
    const bool completed = scanFolderBySuffix(dir.path(), QStringLiteral("*.txt|"), true,
                                              [&](const QString& folder, const QStringList&) {
                                                  folders.append(QDir(dir.path()).relativeFilePath(folder));
                                                  return folders.size() < 2;
                                              });
    EXPECT_FALSE(completed);
    EXPECT_EQ(folders, QStringList({".", "s"}));
}

TEST(SuffixListScan, MissingFolderGivesNothing)
{
    EXPECT_TRUE(scanFolderBySuffix(QStringLiteral("/no/such/folder"), QStringLiteral("*.*|"), true).isEmpty());
}

TEST(SuffixListScan, DoesNotFollowALinkLoop)
{
    QTemporaryDir dir;
    const QStringList files = makeFiles(dir.path(), {"a/1.txt"});
    ASSERT_TRUE(QFile::link(dir.filePath("a"), dir.filePath("a/loop")));
    EXPECT_EQ(scanFolderBySuffix(dir.filePath("a"), QStringLiteral("*.txt|"), true), files);
}
