#include "definitions/DefinitionListModel.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace varnel;

namespace {

ReplacePairs rows(std::initializer_list<const char*> finds)
{
    ReplacePairs pairs;
    for (const char* find : finds)
        pairs.append({QString::fromUtf8(find), QString::fromUtf8(find).toUpper()});
    return pairs;
}

} // namespace

TEST(DefinitionListModel, ShowsFindAndReplaceUnderTheirHeaders)
{
    DefinitionListModel model;
    model.append({QStringLiteral(" a "), QString()});
    model.append({QStringLiteral(" a "), QStringLiteral("b")});
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("被替换字符串"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("替换字符串"));
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral(" a "));
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QStringLiteral("b"));
    EXPECT_EQ(model.count(), 2);
}

TEST(DefinitionListModel, MoveUpSwapsContentsWithTheRowAbove)
{
    DefinitionListModel model;
    model.setPairs(rows({"1", "2", "3", "4", "5"}));
    EXPECT_TRUE(model.moveUp(2));
    EXPECT_EQ(model.pairs(), rows({"1", "3", "2", "4", "5"}));
    EXPECT_FALSE(model.moveUp(0));
    EXPECT_TRUE(model.moveDown(3));
    EXPECT_EQ(model.pairs(), rows({"1", "3", "2", "5", "4"}));
    EXPECT_FALSE(model.moveDown(4));
    EXPECT_FALSE(model.moveDown(-1));
    EXPECT_EQ(model.pairs(), rows({"1", "3", "2", "5", "4"}));
}

TEST(DefinitionListModel, EditDeleteAndClearIgnoreMissingRows)
{
    DefinitionListModel model;
    model.setPairs(rows({"a", "b"}));
    model.setPair(5, {"x", "y"});
    model.removeAt(-1);
    EXPECT_EQ(model.pairs(), rows({"a", "b"}));
    model.setPair(1, {QStringLiteral("x"), QString()});
    model.removeAt(0);
    EXPECT_EQ(model.pairs(), ReplacePairs({{QStringLiteral("x"), QString()}}));
    model.clear();
    EXPECT_EQ(model.count(), 0);
}
