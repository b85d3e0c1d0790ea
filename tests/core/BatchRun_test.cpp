#include "core/BatchRun.h"

#include "support/RecordingUi.h"
#include "support/SpecialFiles.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace varnel;
using varnel::test::readFile;
using varnel::test::RecordingUi;
using varnel::test::writeFile;
using Answer = UserInterface::Answer;

namespace {

// Stands in for an office engine: records its calls and reports a change for every file.
class FakeEngine : public DocumentEngine
{
public:
    EngineResult replace(const QString& path, const EngineRequest& request) override
    {
        calls.append(path);
        finds = request.findTexts;
        EngineResult result;
        result.changed = true;
        result.replacements = 1;
        result.error = error;
        return result;
    }
    QStringList calls;
    QStringList finds;
    QString error;
};

struct RunFixture {
    QTemporaryDir dir;
    RecordingUi ui;
    ReplaceOptions options;
    EngineRegistry engines;
    std::shared_ptr<FakeEngine> word = std::make_shared<FakeEngine>();
    RunSetup setup;

    RunFixture()
    {
        engines.add({".docx", ".doc"}, word);
        setup.logPath = dir.filePath("log.txt");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString file(const QString& name, const QByteArray& bytes)
    {
        writeFile(path(name), bytes);
        setup.files.append(path(name));
        return path(name);
    }
    // Runs the batch; reports, when given, collects what it says about each file.
    RunOutcome run(QList<FileReport>* reports = nullptr)
    {
        BatchRun batch(engines, ui, [this] { return options; });
        if (reports)
            QObject::connect(&batch, &BatchRun::fileFinished, [reports](const FileReport& r) { reports->append(r); });
        return batch.run(setup);
    }
};

} // namespace

TEST(SummaryText, NamesOnlyTheTypesWithChangesInTheFixedOrder)
{
    EXPECT_EQ(summaryText(5, {2, 0, 0, 1}, false, 0),
              QStringLiteral("替换完毕！\r\n共 5 个文件， 3 个（2个Word文档、1个文本文件）发生了内容替换。"));
    EXPECT_EQ(summaryText(5, {0, 0, 0, 0}, false, 0), QStringLiteral("替换完毕！\r\n共 5 个文件， 0 个发生了内容替换。"));
    EXPECT_EQ(summaryText(9, {1, 2, 3, 0}, true, 4),
              QStringLiteral("替换完毕！\r\n共 9 个文件， 6 个（1个Word文档、2个Excel文档、3个PPT）发生了内容替换。\r\n"
                             "4 个文件修改了文件名。"));
}

TEST(SortLongestFirst, FollowsTheExchangeProcedureForEqualLengths)
{
    QStringList finds{"a", "bb", "cc"};
    QStringList replaces{"1", "2", "3"};
    sortLongestFirst(finds, replaces);
    EXPECT_EQ(finds, (QStringList{"cc", "bb", "a"}));
    EXPECT_EQ(replaces, (QStringList{"3", "2", "1"}));

    QStringList mixed{"x", "yyy", "zz", "wwww"};
    QStringList mixedReplaces{"1", "3", "2", "4"};
    sortLongestFirst(mixed, mixedReplaces);
    EXPECT_EQ(mixed, (QStringList{"wwww", "yyy", "zz", "x"}));
    EXPECT_EQ(mixedReplaces, (QStringList{"4", "3", "2", "1"}));
}

TEST(BatchRun, FailedInputChecksShowTheirMessageOpenTheFixerAndChangeNothing)
{
    using Fixer = UserInterface::Fixer;
    RunFixture f;
    const QString a = f.path("a.txt");
    // Each step mends the previous check, so the next one fails.
    const struct {
        std::function<void()> step;
        const char* notice;
        QList<Fixer> fixers;
    } steps[] = {
        {[] {}, "没有需要处理的文档！", {}},
        {[&] { f.file("a.txt", "abc"); }, "请设置要替换的字符串信息！", {Fixer::AddDefinition}},
        {[&] {
             f.setup.definitions = {{"abc", "x"}};
             f.setup.logPath = QStringLiteral("   ");
         },
         "请输入日志文件名！", {Fixer::ChooseLogFile}},
        {[&] { f.setup.source = DefinitionSource::Dictionary; }, "请输入替换定义Excel文件！", {Fixer::ChooseDictionary}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.notice);
        f.ui = {};
        step.step();
        EXPECT_EQ(f.run().status, RunOutcome::Status::CheckFailed);
        EXPECT_EQ(f.ui.notices, QStringList{QString::fromUtf8(step.notice)});
        EXPECT_EQ(f.ui.fixers, step.fixers);
    }
    EXPECT_EQ(readFile(a), "abc");
}

TEST(BatchRun, OnlyEmptyDefinitionRowsEndTheRunWithTheDefinitionMessage)
{
    RunFixture f;
    f.file("a.txt", "abc");
    f.setup.definitions = {{"", "x"}, {"", ""}};
    QList<bool> busy;
    BatchRun batch(f.engines, f.ui, [&f] { return f.options; });
    QObject::connect(&batch, &BatchRun::busyChanged, [&busy](bool b) { busy.append(b); });
    EXPECT_EQ(batch.run(f.setup).status, RunOutcome::Status::CheckFailed);
    EXPECT_EQ(f.ui.notices, QStringList{QStringLiteral("请设置要替换的字符串信息！")});
    EXPECT_EQ(busy, (QList<bool>{true, false}));
}

TEST(BatchRun, UnknownExtensionIsAskedOncePerExtensionInAnyLetterCase)
{
    RunFixture f;
    f.file("a.cfg", "abc");
    f.file("b.CFG", "abc");
    f.file("noext", "abc");
    f.setup.definitions = {{"abc", "x"}};
    f.ui.answers = {Answer::No, Answer::No};
    const RunOutcome outcome = f.run();
    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    ASSERT_EQ(f.ui.questions.size(), 2);
    EXPECT_TRUE(f.ui.questions[0].text.startsWith(QStringLiteral("文件：“") + f.path("a.cfg")
                                                  + QStringLiteral("”是格式未知的文件，本软件将会把它作为文本文件进行替处理。\r\n")));
    EXPECT_TRUE(f.ui.questions[0].text.endsWith(QStringLiteral("\r\n\r\n是否先停止替换操作？\r\n（选择“否”将把文件作为文本文件进行替换处理）")));
    EXPECT_EQ(f.ui.questions[1].question, UserInterface::Question::UnknownExtension);
    EXPECT_EQ(readFile(f.path("b.CFG")), "x");
    EXPECT_EQ(readFile(f.path("noext")), "x");
    EXPECT_EQ(outcome.changed[3], 3);
}

TEST(BatchRun, AnsweringYesToTheUnknownExtensionStopsBeforeAnythingChanges)
{
    RunFixture f;
    f.file("a.txt", "abc");
    f.file("b.cfg", "abc");
    f.setup.definitions = {{"abc", "x"}};
    f.ui.answers = {Answer::Yes};
    EXPECT_EQ(f.run().status, RunOutcome::Status::Stopped);
    EXPECT_EQ(readFile(f.path("a.txt")), "abc");
    EXPECT_TRUE(f.ui.summaries.isEmpty());
}

TEST(BatchRun, DispatchesByExtensionRefusesPdfAndSummarises)
{
    RunFixture f;
    f.options.setValue(Option::Name, 1);
    f.file("one.DOCX", "ignored by the fake");
    f.file("two.txt", "one two");
    f.file("one.pdf", "%PDF one");
    f.file("four.xlsx", "not a workbook");
    f.setup.definitions = {{"one", "1"}};
    f.ui.answers = {Answer::No}; // .pdf is not a known extension
    const RunOutcome outcome = f.run();

    ASSERT_EQ(outcome.status, RunOutcome::Status::Completed);
    EXPECT_EQ(f.word->calls, QStringList{f.path("one.DOCX")});
    EXPECT_EQ(readFile(f.path("two.txt")), "1 two");
    EXPECT_TRUE(f.ui.notices.contains(QStringLiteral("软件不能替换PDF文档！")));
    // A type whose engine this build lacks is logged and left alone.
    EXPECT_EQ(readFile(f.path("four.xlsx")), "not a workbook");
    EXPECT_TRUE(outcome.exceptionLogged);
    EXPECT_TRUE(QString::fromUtf8(readFile(f.setup.logPath)).contains(QStringLiteral("处理") + f.path("four.xlsx") + QStringLiteral("出错：")));
    // Renaming applies to every row, the PDF included.
    EXPECT_TRUE(QFile::exists(f.path("1.DOCX")));
    EXPECT_TRUE(QFile::exists(f.path("1.pdf")));
    EXPECT_EQ(f.setup.files[2], f.path("1.pdf"));
    EXPECT_EQ(outcome.renamed, 2);
    ASSERT_EQ(f.ui.summaries.size(), 1);
    EXPECT_EQ(f.ui.summaries[0], QStringLiteral("替换完毕！\r\n共 4 个文件， 2 个（1个Word文档、1个文本文件）发生了内容替换。\r\n"
                                                 "2 个文件修改了文件名。"));
    EXPECT_EQ(f.ui.progressTexts.first(), QStringLiteral("正在处理第 1 个文件"));
    EXPECT_EQ(f.ui.progressTexts.last(), QStringLiteral("处理完毕！"));
    ASSERT_EQ(f.ui.questions.size(), 2);
    EXPECT_EQ(f.ui.questions[1].question, UserInterface::Question::ViewLog);
    EXPECT_EQ(f.ui.questions[1].text, QStringLiteral("日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？"));
    EXPECT_EQ(f.ui.openedInEditor, QStringList{f.setup.logPath});
}

TEST(BatchRun, DefinitionsDropATrailingCrAndGoLongestFirstOnRequest)
{
    RunFixture f;
    f.file("a.docx", "x");
    f.setup.definitions = {{"\r", "cr"}, {"abc\r", "1"}, {"", "ignored"}, {"abcd", "2"}};
    f.options.setValue(Option::LongFirst, 1);
    BatchRun batch(f.engines, f.ui, [&f] { return f.options; });
    batch.run(f.setup);
    EXPECT_EQ(batch.findTexts(), (QStringList{"abcd", "abc", "\r", ""}));
    EXPECT_EQ(batch.replaceTexts(), (QStringList{"2", "1", "cr", ""}));
}

TEST(BatchRun, ProcessLogHasAHeaderAndOneLinePerFile)
{
    RunFixture f;
    f.file("a.txt", "abc");
    f.file("b.txt", "zzz");
    f.setup.definitions = {{"abc", "x"}};
    f.setup.logMode = LogMode::Process;
    f.run();
    const QStringList lines = QString::fromUtf8(readFile(f.setup.logPath)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("，开始替换：")));
    EXPECT_EQ(lines[1], f.path("a.txt") + QStringLiteral("\t内容替换完成"));
    EXPECT_EQ(lines[2], f.path("b.txt") + QStringLiteral("\t无替换"));
    EXPECT_TRUE(lines[3].isEmpty());
}

TEST(BatchRun, FailureOnlyLogIsNotCreatedWhenNothingFails)
{
    RunFixture f;
    f.file("a.txt", "abc");
    f.setup.definitions = {{"abc", "x"}};
    const RunOutcome outcome = f.run();
    EXPECT_FALSE(outcome.exceptionLogged);
    EXPECT_FALSE(QFile::exists(f.setup.logPath));
    EXPECT_TRUE(f.ui.questions.isEmpty());
}

TEST(BatchRun, ReadOnlyFileIsMadeWritableAndReplaced)
{
    RunFixture f;
    const QString a = f.file("a.txt", "abc");
    QFile::setPermissions(a, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    f.setup.definitions = {{"abc", "x"}};
    f.run();
    EXPECT_EQ(readFile(a), "x");
    EXPECT_TRUE(QFileInfo(a).permission(QFileDevice::WriteOwner));
}

TEST(BatchRun, DryRunReportsButWritesRenamesAndLogsNothing)
{
    RunFixture f;
    f.options.setValue(Option::Name, 1);
    const QString a = f.file("abc.txt", "abc abc");
    f.file("b.xlsx", "no engine for this type in the test");
    f.setup.definitions = {{"abc", "x"}};
    f.setup.logMode = LogMode::Process;
    f.setup.dryRun = true;
    QList<FileReport> reports;
    const RunOutcome outcome = f.run(&reports);
    EXPECT_EQ(readFile(a), "abc abc");
    EXPECT_EQ(f.setup.files[0], a);
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports[0].changed);
    EXPECT_EQ(reports[0].replacements, 2);
    EXPECT_EQ(reports[0].renamedTo, f.path("x.txt"));
    EXPECT_EQ(outcome.changed[3], 1);
    EXPECT_FALSE(reports[1].error.isEmpty());
    EXPECT_TRUE(outcome.exceptionLogged);
    EXPECT_FALSE(QFile::exists(f.setup.logPath));
    EXPECT_TRUE(f.ui.questions.isEmpty());
    EXPECT_TRUE(f.ui.openedInEditor.isEmpty());
}

TEST(BatchRun, PathsThatAreNoRegularFilesAreLoggedAndNeverOpened)
{
    RunFixture f;
    const test::TestFifo textPipe(f.path("pipe.txt"));
    const test::TestFifo wordPipe(f.path("pipe.docx"));
    ASSERT_TRUE(QFile::link("/dev/null", f.path("null.txt")));
    ASSERT_TRUE(QDir(f.dir.path()).mkdir("folder.txt"));
    f.setup.files = QStringList{f.path("pipe.txt"), f.path("pipe.docx"), f.path("null.txt"), f.path("folder.txt")};
    f.setup.definitions = {{"abc", "x"}};
    QList<FileReport> reports;
    EXPECT_EQ(f.run(&reports).status, RunOutcome::Status::Completed);
    EXPECT_FALSE(textPipe.wasOpened());
    EXPECT_FALSE(wordPipe.wasOpened());
    EXPECT_TRUE(f.word->calls.isEmpty());
    ASSERT_EQ(reports.size(), 4);
    for (const FileReport& report : reports)
        EXPECT_TRUE(report.error.startsWith(QStringLiteral("不是普通文件"))) << report.error.toStdString();
    const QString log = QString::fromUtf8(readFile(f.setup.logPath));
    EXPECT_EQ(log.count(QStringLiteral("出错：不是普通文件（命名管道），未打开，未作修改\r\n")), 2);
    EXPECT_EQ(log.count(QStringLiteral("出错：不是普通文件（设备），未打开，未作修改\r\n")), 1);
    EXPECT_EQ(log.count(QStringLiteral("出错：不是普通文件（文件夹），未打开，未作修改\r\n")), 1);
}
