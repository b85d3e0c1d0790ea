#include "filelist/FileListModel.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace varnel;

TEST(FileListModel, KeepsOrderAndRefusesAnExactDuplicate)
{
    FileListModel model;
    EXPECT_TRUE(model.append(QStringLiteral("/d/a.txt")));
    EXPECT_FALSE(model.append(QStringLiteral("/d/a.txt")));
    // Another writing of the same file is another row.
    EXPECT_TRUE(model.append(QStringLiteral("/d/A.txt")));
    EXPECT_EQ(model.appendAll({"/d/b.txt", "/d/a.txt", "/d/b.txt", "/d/c.txt"}), 2);
    EXPECT_EQ(model.paths(), QStringList({"/d/a.txt", "/d/A.txt", "/d/b.txt", "/d/c.txt"}));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("文件"));
}

TEST(FileListModel, RemovesRowsGivenInAnyOrder)
{
    FileListModel model;
    model.appendAll({"0", "1", "2", "3", "4"});
    model.removeRowNumbers({3, 0, 3, 9});
    EXPECT_EQ(model.paths(), QStringList({"1", "2", "4"}));
    // A removed path can be added again.
    EXPECT_TRUE(model.append("0"));
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_TRUE(model.append("1"));
}

TEST(FileListModel, RenamedRowKeepsTheDuplicateRuleRight)
{
    FileListModel model;
    model.appendAll({"/d/a.txt", "/d/b.txt"});
    model.setPath(0, QStringLiteral("/d/b.txt")); // renamed over an existing file
    model.removeRowNumbers({1});
    EXPECT_FALSE(model.append(QStringLiteral("/d/b.txt")));
    EXPECT_TRUE(model.append(QStringLiteral("/d/a.txt")));
}
