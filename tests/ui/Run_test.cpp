#include "WindowFixture.h"

#include "ui/FileListPanel.h"
#include "ui/main/DefinitionPanel.h"
#include "ui/main/RunController.h"

#include <QApplication>
#include <QGroupBox>
#include <QRadioButton>
#include <QSemaphore>

using namespace varnel;
using namespace varnel::test;

namespace {

// A Word engine that holds each file until the test lets it go, and may report a failure.
class GateEngine : public DocumentEngine
{
public:
    EngineResult replace(const QString&, const EngineRequest&) override
    {
        entered.release();
        if (hold)
            released.acquire();
        EngineResult result;
        result.error = error;
        return result;
    }

    bool hold = true;
    QString error;
    QSemaphore entered;
    QSemaphore released;
};

} // namespace

class Run : public WindowTest
{
protected:
    void prepare(const QStringList& files, const ReplacePairs& definitions)
    {
        if (!m_window)
            openWindow();
        m_window->fileList().model().appendAll(files);
        m_window->definitions().model().setPairs(definitions);
        control<QLineEdit>("txtLog")->setText(path("run.log"));
    }

    // Clicks the start button and waits until the run, questions included, is over.
    void runBatch()
    {
        click(button("CmdDo"));
        ASSERT_TRUE(waitFor([this] { return !m_window->runController().isRunning(); }));
    }
};

TEST_F(Run, BatchOverTextFilesReplacesAndShowsTheSummary)
{
    writeFile(path("a.txt"), "旧公司 old\r\n");
    writeFile(path("b.htm"), QByteArray::fromHex("BEC9B9ABCBBE")); // 旧公司 in GBK
    writeFile(path("c.txt"), "nothing here");
    prepare({path("a.txt"), path("b.htm"), path("c.txt")}, {{"旧公司", "新公司"}});
    runBatch();

    EXPECT_EQ(readFile(path("a.txt")), QByteArray("\xEF\xBB\xBF新公司 old\r\n"));
    EXPECT_EQ(readFile(path("b.htm")), QByteArray::fromHex("D0C2B9ABCBBE"));
    EXPECT_EQ(readFile(path("c.txt")), QByteArray("nothing here"));
    ASSERT_EQ(MessageBox::shown().size(), 1);
    const MessageBox::Shown& summary = MessageBox::shown().first();
    EXPECT_EQ(summary.text, QStringLiteral("替换完毕！\r\n共 3 个文件， 2 个（2个文本文件）发生了内容替换。"));
    EXPECT_EQ(summary.title, QStringLiteral("Varnel - 5.45"));
    EXPECT_EQ(summary.icon, MessageBox::Icon::Information);
    EXPECT_EQ(labelText("lblProcessing"), QStringLiteral("处理完毕！"));
    EXPECT_TRUE(button("CmdDo")->isEnabled());
    EXPECT_TRUE(control("txtLog")->isEnabled());
    EXPECT_FALSE(QFile::exists(path("run.log")));
}

TEST_F(Run, WindowStaysLiveWhileAFileIsProcessedAndOptionsApplyToTheRest)
{
    auto gate = std::make_shared<GateEngine>();
    m_engines.add({QStringLiteral(".docx")}, gate);
    writeFile(path("a.txt"), "ABC abc");
    writeFile(path("b.docx"), "not really a document");
    writeFile(path("c.txt"), "ABC abc");
    prepare({path("a.txt"), path("b.docx"), path("c.txt")}, {{"abc", "x"}});

    click(button("CmdDo"));
    ASSERT_TRUE(waitFor([&] { return gate->entered.tryAcquire(); }));
    EXPECT_TRUE(waitFor([&] { return labelText("lblProcessing") == QStringLiteral("正在处理第 2 个文件"); }));
    EXPECT_FALSE(button("CmdDo")->isEnabled());
    EXPECT_FALSE(control("OptTradition")->isEnabled());
    EXPECT_FALSE(control("txtLog")->isEnabled());
    EXPECT_FALSE(button("CmdFileOp(3)")->isEnabled());
    EXPECT_TRUE(control("ChkMatchCase")->isEnabled());
    // The window cannot close halfway through a run.
    EXPECT_FALSE(m_window->close());
    // Match case off from here on: the third file is compared ignoring case.
    click(control<QCheckBox>("ChkMatchCase"));
    click(control<QCheckBox>("ChkMatchCase"));
    gate->released.release();
    ASSERT_TRUE(waitFor([this] { return !m_window->runController().isRunning(); }));

    EXPECT_EQ(readFile(path("a.txt")), QByteArray("ABC x"));
    EXPECT_EQ(readFile(path("c.txt")), QByteArray("x x"));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("替换完毕！\r\n共 3 个文件， 2 个（2个文本文件）发生了内容替换。")});
    EXPECT_TRUE(button("CmdDo")->isEnabled());
    EXPECT_TRUE(control("OptTradition")->isEnabled());
    EXPECT_TRUE(button("CmdFileOp(3)")->isEnabled());
    EXPECT_TRUE(m_window->isVisible());
}

TEST_F(Run, EmptyFileListStopsWithItsMessageOnly)
{
    prepare({}, {{"a", "b"}});
    runBatch();
    ASSERT_EQ(MessageBox::shown().size(), 1);
    EXPECT_EQ(MessageBox::shown().first().text, QStringLiteral("没有需要处理的文档！"));
    EXPECT_EQ(MessageBox::shown().first().icon, MessageBox::Icon::Information);
    EXPECT_TRUE(FileDialog::requests().isEmpty());
}

TEST_F(Run, MissingDefinitionsOpenTheEditDialogAndNothingRuns)
{
    writeFile(path("a.txt"), "a");
    prepare({path("a.txt")}, {});
    answerDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), QStringLiteral("frmReplace"));
        QTest::keyClicks(findIn<QLineEdit>(dialog, "txtFind"), "a");
        QTest::keyClicks(findIn<QLineEdit>(dialog, "txtReplaceWith"), "b");
        click(findIn<QPushButton>(dialog, "CmdOK"));
    });
    runBatch();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("请设置要替换的字符串信息！")});
    EXPECT_EQ(m_window->definitions().model().pairs(), ReplacePairs({{"a", "b"}}));
    EXPECT_EQ(readFile(path("a.txt")), QByteArray("a"));
}

TEST_F(Run, OnlyEmptyDefinitionRowsAskForADefinitionAndFreeTheControls)
{
    writeFile(path("a.txt"), "a");
    prepare({path("a.txt")}, {{"", "x"}, {"", ""}});
    bool busyPointerOverEditor = true;
    answerDialog([&](QDialog&) { busyPointerOverEditor = QApplication::overrideCursor() != nullptr; });
    runBatch();
    EXPECT_FALSE(busyPointerOverEditor);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("请设置要替换的字符串信息！")});
    EXPECT_TRUE(button("CmdDo")->isEnabled());
    EXPECT_TRUE(control("OptTradition")->isEnabled());
    EXPECT_TRUE(control("txtLog")->isEnabled());
}

TEST_F(Run, BlankLogPathOrMissingWorkbookOpensItsChooserAndNothingRuns)
{
    const struct {
        const char* message;
        const char* title; // of the file dialog that opens
        bool workbook;
    } cases[] = {{"请输入日志文件名！", "处理日志", false}, {"请输入替换定义Excel文件！", "替换定义Excel文件：", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        MessageBox::clearShown();
        FileDialog::setTestMode(true);
        writeFile(path("a.txt"), "a");
        prepare({path("a.txt")}, {{"a", "b"}});
        m_window->definitions().selectSource(c.workbook);
        if (!c.workbook)
            control<QLineEdit>("txtLog")->setText(QStringLiteral("   "));
        FileDialog::setNextFileName(path("chosen"));
        runBatch();
        EXPECT_EQ(messages(), QStringList{QString::fromUtf8(c.message)});
        ASSERT_EQ(FileDialog::requests().size(), 1);
        EXPECT_EQ(FileDialog::requests().first().title, QString::fromUtf8(c.title));
        EXPECT_EQ(control<QLineEdit>(c.workbook ? "txtDictExcel" : "txtLog")->text(), path("chosen"));
        EXPECT_EQ(readFile(path("a.txt")), QByteArray("a"));
    }
}

TEST_F(Run, UnknownExtensionAnsweredYesStopsBeforeAnythingChanges)
{
    writeFile(path("a.cfg"), "key=old");
    writeFile(path("b.txt"), "old");
    prepare({path("b.txt"), path("a.cfg")}, {{"old", "new"}});
    MessageBox::setNextAnswer(Answer::Yes);
    runBatch();
    ASSERT_EQ(MessageBox::shown().size(), 1);
    const MessageBox::Shown& question = MessageBox::shown().first();
    EXPECT_TRUE(question.text.startsWith(QStringLiteral("文件：“") + path("a.cfg") + QStringLiteral("”是格式未知的文件")));
    EXPECT_TRUE(question.text.endsWith(QStringLiteral("（选择“否”将把文件作为文本文件进行替换处理）")));
    EXPECT_EQ(question.icon, MessageBox::Icon::Question);
    EXPECT_EQ(question.buttons, MessageBox::Buttons::YesNo);
    EXPECT_EQ(readFile(path("b.txt")), QByteArray("old"));
    EXPECT_EQ(readFile(path("a.cfg")), QByteArray("key=old"));
}

TEST_F(Run, UnknownExtensionAnsweredNoIsAskedOnceAndTreatedAsText)
{
    writeFile(path("a.cfg"), "key=old");
    writeFile(path("b.CFG"), "old");
    prepare({path("a.cfg"), path("b.CFG")}, {{"old", "new"}});
    MessageBox::setNextAnswer(Answer::No);
    runBatch();
    EXPECT_EQ(MessageBox::shown().size(), 2);
    EXPECT_EQ(MessageBox::shown().last().text, QStringLiteral("替换完毕！\r\n共 2 个文件， 2 个（2个文本文件）发生了内容替换。"));
    EXPECT_EQ(readFile(path("a.cfg")), QByteArray("key=new"));
    EXPECT_EQ(readFile(path("b.CFG")), QByteArray("new"));
}

TEST_F(Run, LoggedFailureOffersTheLogInTheTextEditor)
{
    auto gate = std::make_shared<GateEngine>();
    gate->hold = false;
    gate->error = QStringLiteral("文档已损坏");
    m_engines.add({QStringLiteral(".docx")}, gate);
    writeFile(path("bad.docx"), "x");
    prepare({path("bad.docx")}, {{"a", "b"}});
    control<QLineEdit>("txtLog")->setText(path("logs dir/run.log"));
    QDir().mkpath(path("logs dir"));
    runBatch();

    ASSERT_EQ(MessageBox::shown().size(), 2);
    const MessageBox::Shown& offer = MessageBox::shown()[1];
    EXPECT_EQ(offer.text, QStringLiteral("日志文件记录了处理过程中发生的异常，\r\n是否查看日志文件？"));
    EXPECT_EQ(offer.buttons, MessageBox::Buttons::OkCancel);
    EXPECT_EQ(ui::Desktop::opened(), QList<QUrl>{QUrl::fromLocalFile(path("logs dir/run.log"))});
    const QString log = QString::fromUtf8(readFile(path("logs dir/run.log")));
    EXPECT_TRUE(log.contains(QStringLiteral("\t处理") + path("bad.docx") + QStringLiteral("出错：文档已损坏\r\n"))) << log.toStdString();
}

TEST_F(Run, ProcessLogModeWritesTheHeaderAndALinePerFile)
{
    writeFile(path("a.txt"), "old");
    writeFile(path("b.txt"), "same");
    prepare({path("a.txt"), path("b.txt")}, {{"old", "new"}});
    control<QComboBox>("CmbLog")->setCurrentIndex(1);
    runBatch();
    // The line format itself is the run's business, checked with the batch run.
    const QString log = QString::fromUtf8(readFile(path("run.log")));
    EXPECT_EQ(log.count(QStringLiteral("\r\n")), 3) << log.toStdString();
    EXPECT_TRUE(log.endsWith(path("b.txt") + QStringLiteral("\t无替换\r\n"))) << log.toStdString();
}

TEST_F(Run, RenamedFileTakesItsNewPathInTheList)
{
    writeFile(path("old-report.txt"), "text");
    prepare({path("old-report.txt")}, {{"old", "new"}});
    click(control<QCheckBox>("ChkName"));
    runBatch();
    EXPECT_EQ(m_window->fileList().model().paths(), QStringList{path("new-report.txt")});
    EXPECT_TRUE(QFile::exists(path("new-report.txt")));
    EXPECT_EQ(messages().last(),
              QStringLiteral("替换完毕！\r\n共 1 个文件， 0 个发生了内容替换。\r\n1 个文件修改了文件名。"));
}
