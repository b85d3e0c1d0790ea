#include "core/FileRename.h"

#include "support/RecordingUi.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnel;
using varnel::test::RecordingUi;

namespace {

struct RenameFixture {
    QTemporaryDir dir;
    RecordingUi ui;
    ReplaceOptions options;
    QString path(const QString& name) const { return dir.filePath(name); }
    RenameOutcome rename(const QString& name, const QStringList& finds, const QStringList& replaces, bool dryRun = false)
    {
        return renameByDefinitions(path(name), finds, replaces, options, ui, dryRun);
    }
};

} // namespace

TEST(FileRename, CaseRuleIsTheOppositeOfTheContentEngines)
{
    ReplaceOptions options;
    options.setValue(Option::MatchCase, 1);
    EXPECT_EQ(replaceInFileName("ABC abc.txt", {"abc"}, {"x"}, options), "x x.txt");
    options.setValue(Option::MatchCase, 0);
    EXPECT_EQ(replaceInFileName("ABC abc.txt", {"abc"}, {"x"}, options), "ABC x.txt");
}

TEST(FileRename, AppliesDefinitionsInOrderAndChangesTheExtensionToo)
{
    RenameFixture f;
    test::writeFile(f.path("report.doc"), "x");
    const RenameOutcome outcome = f.rename("report.doc", {".doc", "report"}, {".txt", "memo"});
    EXPECT_TRUE(outcome.renamed);
    EXPECT_EQ(outcome.newPath, f.path("memo.txt"));
    EXPECT_TRUE(QFile::exists(f.path("memo.txt")));
    EXPECT_FALSE(QFile::exists(f.path("report.doc")));
}

TEST(FileRename, NameWithoutMatchIsLeftAloneSilently)
{
    RenameFixture f;
    test::writeFile(f.path("a.txt"), "x");
    EXPECT_FALSE(f.rename("a.txt", {"zzz"}, {"y"}).renamed);
    EXPECT_TRUE(f.ui.notices.isEmpty());
    EXPECT_TRUE(f.ui.questions.isEmpty());
}

TEST(FileRename, ExistingTargetIsKeptUnlessTheUserSaysYes)
{
    RenameFixture f;
    test::writeFile(f.path("old.txt"), "old");
    test::writeFile(f.path("new.txt"), "existing");
    EXPECT_FALSE(f.rename("old.txt", {"old"}, {"new"}).renamed);
    ASSERT_EQ(f.ui.questions.size(), 1);
    EXPECT_EQ(f.ui.questions[0].defaultAnswer, UserInterface::Answer::No);
    EXPECT_EQ(f.ui.questions[0].text, QStringLiteral("同名文件已经存在，是否覆盖？\r\n\r\n") + f.path("old.txt")
                                          + QStringLiteral("\r\n改名为新文件：\r\n") + f.path("new.txt"));
    EXPECT_EQ(test::readFile(f.path("new.txt")), "existing");

    f.ui.answers = {UserInterface::Answer::Yes};
    EXPECT_TRUE(f.rename("old.txt", {"old"}, {"new"}).renamed);
    EXPECT_EQ(test::readFile(f.path("new.txt")), "old");
    EXPECT_FALSE(QFile::exists(f.path("old.txt")));
}

TEST(FileRename, NameDifferingOnlyInLetterCaseRenamesTheFileWithoutAsking)
{
    RenameFixture f;
    test::writeFile(f.path("abc.txt"), "content");
    f.options.setValue(Option::MatchCase, 0);
    const RenameOutcome outcome = f.rename("abc.txt", {"abc"}, {"ABC"});
    EXPECT_TRUE(outcome.renamed);
    EXPECT_TRUE(f.ui.questions.isEmpty());
    EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"ABC.txt"});
    EXPECT_EQ(test::readFile(f.path("ABC.txt")), "content");
}

TEST(FileRename, FailedRenameIsReportedAndLeavesTheTargetAsItWas)
{
    // The file vanished after it was listed: the rename itself fails, also after the user agreed to
    // overwrite an existing target.
    for (const bool targetExists : {false, true}) {
        SCOPED_TRACE(targetExists);
        RenameFixture f;
        if (targetExists)
            test::writeFile(f.path("new.txt"), "existing");
        f.ui.answers = {UserInterface::Answer::Yes};
        const RenameOutcome outcome = f.rename("old.txt", {"old"}, {"new"});
        EXPECT_FALSE(outcome.renamed);
        EXPECT_FALSE(outcome.error.isEmpty());
        if (targetExists)
            EXPECT_EQ(test::readFile(f.path("new.txt")), "existing");
        else
            EXPECT_FALSE(QFile::exists(f.path("new.txt")));
    }
}

TEST(FileRename, DryRunReportsTheNewNameAndTouchesNothing)
{
    RenameFixture f;
    test::writeFile(f.path("a.txt"), "x");
    const RenameOutcome outcome = f.rename("a.txt", {"a"}, {"b"}, true);
    EXPECT_TRUE(outcome.renamed);
    EXPECT_EQ(outcome.newPath, f.path("b.txt"));
    EXPECT_TRUE(QFile::exists(f.path("a.txt")));
    EXPECT_FALSE(QFile::exists(f.path("b.txt")));
}

TEST(FileRename, InvalidEmptyDotAndFolderNamesAreRefusedWithTheMessageAndWithoutAskingToOverwrite)
{
    struct Case {
        QString find;
        QString replace;
        QString newName;
        QString reason;
    };
    const QString empty = QStringLiteral("文件名不能为空，也不能是“.”或“..”。");
    QList<Case> cases = {
        {"a.txt", "", "", empty},
        {"a.txt", ".", ".", empty},
        {"a.txt", "..", "..", empty},
        {".txt", "", "a", QStringLiteral("已经存在同名的文件夹。")},
    };
    for (const char* bad : {"\\", "/", ":", "*", "?", "\"", "<", ">", "|"})
        cases.append({".", QString::fromLatin1(bad), QStringLiteral("a%1txt").arg(QLatin1String(bad)),
                      QStringLiteral("文件名不能包括以下字符：\r\n\\ / :  * ? \" < > |")});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.replace.toStdString());
        RenameFixture f;
        test::writeFile(f.path("a.txt"), "content");
        QDir(f.dir.path()).mkdir("a");
        f.ui.answers = {UserInterface::Answer::Yes};
        const RenameOutcome outcome = f.rename("a.txt", {c.find}, {c.replace});
        EXPECT_FALSE(outcome.renamed);
        EXPECT_TRUE(outcome.error.isEmpty());
        EXPECT_TRUE(f.ui.questions.isEmpty());
        ASSERT_EQ(f.ui.notices.size(), 1);
        EXPECT_EQ(f.ui.notices[0], QStringLiteral("文档名：“") + f.path("a.txt") + QStringLiteral("”不能替换为：“")
                                       + f.dir.path() + "/" + c.newName + QStringLiteral("”。\r\n\r\n原因：") + c.reason);
        EXPECT_EQ(test::readFile(f.path("a.txt")), "content");
        EXPECT_TRUE(QFileInfo(f.path("a")).isDir());
    }
}
