#include "tools/widthconvert/WidthConvertRun.h"

#include "support/RecordingUi.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace varnel::widthconvert;
using varnel::UserInterface;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

TEST(WidthConvertRun, AnEmptyListOnlySaysSo)
{
    varnel::test::RecordingUi ui;
    WidthConvertRun run(ui);
    EXPECT_EQ(run.run({{}, WidthMode::ToFullWidth, u"/tmp/log"_s}).status, WidthRunOutcome::Status::NoFiles);
    EXPECT_EQ(ui.notices, QStringList{u"没有需要处理的文档！"_s});
    EXPECT_TRUE(ui.summaries.isEmpty());
}

TEST(WidthConvertRun, WithoutALogPathItOpensTheLogDialogAndConvertsNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.txt"_s);
    writeFile(path, "abc");
    varnel::test::RecordingUi ui;
    WidthConvertRun run(ui);
    EXPECT_EQ(run.run({{path}, WidthMode::ToFullWidth, u"  "_s}).status, WidthRunOutcome::Status::NoLogPath);
    EXPECT_EQ(ui.notices, QStringList{u"请输入日志文件名！"_s});
    EXPECT_EQ(ui.fixers, QList<UserInterface::Fixer>{UserInterface::Fixer::ChooseLogFile});
    EXPECT_EQ(readFile(path), "abc");
}

TEST(WidthConvertRun, LogsAFailedDocumentGoesOnAndOffersTheLog)
{
    QTemporaryDir dir;
    const QString readOnly = dir.filePath(u"NOTES.TXT"_s);
    writeFile(readOnly, "ab");
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner));
    const QString broken = dir.filePath(u"broken.docx"_s);
    writeFile(broken, "not a package");
    const QString text = dir.filePath(u"b.txt"_s);
    writeFile(text, "c");
    const QString log = dir.filePath(u"run.log"_s);

    varnel::test::RecordingUi ui;
    ui.answers = {UserInterface::Answer::Ok};
    WidthConvertRun run(ui);
    QList<int> rows;
    QObject::connect(&run, &WidthConvertRun::fileStarted, [&rows](int row, const QString&) { rows.append(row); });
    const WidthRunOutcome outcome = run.run({{readOnly, broken, text}, WidthMode::ToFullWidth, log});

    EXPECT_EQ(rows, (QList<int>{1, 2, 3}));
    EXPECT_EQ(outcome.converted, 2);
    EXPECT_EQ(outcome.failed, 1);
    EXPECT_EQ(readFile(readOnly), "\xA3\xE1\xA3\xE2");
    EXPECT_TRUE(QFileInfo(readOnly).permission(QFileDevice::WriteOwner)); // also when run as root
    EXPECT_EQ(readFile(text), "\xA3\xE3");
    EXPECT_EQ(readFile(broken), "not a package");

    const QString logText = QString::fromLocal8Bit(readFile(log));
    const QStringList lines = logText.split(u"\r\n"_s, Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << logText.toStdString();
    EXPECT_TRUE(lines[0].section(u'\t', 1).startsWith(u"处理["_s + broken + u"]异常错误："_s)) << logText.toStdString();
    EXPECT_GT(lines[0].section(u'\t', 1).size(), WidthConvertRun::logLine(broken, {}).size());

    EXPECT_TRUE(ui.progressTexts.contains(u"正在处理第 3 个文件"_s));
    EXPECT_EQ(ui.progressTexts.last(), u"处理完毕！"_s);
    EXPECT_EQ(ui.summaries, QStringList{u"替换完毕！"_s});
    ASSERT_EQ(ui.questions.size(), 1);
    EXPECT_EQ(ui.questions[0].question, UserInterface::Question::ViewLog);
    EXPECT_EQ(ui.openedInEditor, QStringList{log});
}

TEST(WidthConvertRun, ARunWithoutFailuresAsksNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.txt"_s);
    writeFile(path, "no marks");
    varnel::test::RecordingUi ui;
    WidthConvertRun run(ui);
    const WidthRunOutcome outcome = run.run({{path}, WidthMode::PunctuationToFullWidth, dir.filePath(u"log"_s)});
    EXPECT_EQ(outcome.status, WidthRunOutcome::Status::Completed);
    EXPECT_EQ(outcome.converted, 0);
    EXPECT_EQ(ui.summaries, QStringList{u"替换完毕！"_s});
    EXPECT_TRUE(ui.questions.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"log"_s)));
}

} // namespace
