// The Word formatted-replacement window, opened from the main window's function switch and driven
// headless through the message box, file dialog and desktop hooks.

#include "WindowFixture.h"

#include "ui/AppInfo.h"
#include "ui/FileListPanel.h"
#include "ui/main/OptionsPanel.h"
#include "ui/tools/frmDocFormatReplace.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>

using namespace varnel;
using namespace varnel::test;

namespace {

class FormatReplaceWindow : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        registerOfficeEngines(m_engines);
        m_target = path(QStringLiteral("target.docx"));
        ASSERT_TRUE(QFile::copy(dataPath(QStringLiteral("tools/FormatReplace_02_target.docx")), m_target));
        QFile::setPermissions(m_target, QFile::ReadOwner | QFile::WriteOwner);
    }

    void TearDown() override
    {
        if (m_tool && m_tool->isRunning())
            waitFor([this] { return !m_tool->isRunning(); });
        delete m_tool;
        WindowTest::TearDown();
    }

    // Opens the main window and the tool from CmbFunc entry 2.
    ui::frmDocFormatReplace& openTool()
    {
        openWindow();
        control<QLineEdit>("txtLog")->setText(path(QStringLiteral("run.log")));
        control<QComboBox>("CmbFunc")->setCurrentIndex(2);
        m_window->CmbFunc_Click(2);
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* tool = qobject_cast<ui::frmDocFormatReplace*>(widget))
                m_tool = tool;
        EXPECT_TRUE(m_tool);
        return *m_tool;
    }

    template<typename T = QWidget>
    T* toolControl(const QString& name)
    {
        return findIn<T>(*m_tool, name);
    }

    QString m_target;
    QPointer<ui::frmDocFormatReplace> m_tool;
};

// Notes the text of a label each time a queued call reaches the window: each progress report is seen
// when the next queued call (the next report, or the end of the run) arrives.
class LabelWatch : public QObject
{
public:
    explicit LabelWatch(QLabel* label)
        : m_label(label)
    {
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MetaCall)
            m_seen << m_label->text();
        return false;
    }

    QLabel* m_label;
    QStringList m_seen;
};

} // namespace

TEST_F(FormatReplaceWindow, OpensWithItsHelpAndStoredSettingsAndClosesBackToTheMainWindow)
{
    m_store->write(QStringLiteral("FormatReplace"), QStringLiteral("ChkMatchCase"), QStringLiteral("1"));
    ui::frmDocFormatReplace& tool = openTool();
    EXPECT_TRUE(tool.isVisible());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(tool.windowTitle(), QStringLiteral("Varnel - 5.45 -  Word文档带格式替换"));
    EXPECT_EQ(toolControl<QLabel>("lblInput")->text(), QStringLiteral("待处理文件：0项"));
    EXPECT_TRUE(toolControl("frameHelp")->isVisible());
    EXPECT_FALSE(toolControl("Frame1")->isVisible());
    EXPECT_TRUE(toolControl<QCheckBox>("ChkMatchCase")->isChecked());
    EXPECT_TRUE(toolControl<QCheckBox>("ChkMatchWholeWord")->isChecked());
    EXPECT_FALSE(toolControl<QCheckBox>("ChkMatchWildcards")->isChecked());
    EXPECT_FALSE(toolControl<QCheckBox>("ChkOnly1")->isChecked());

    click(toolControl<QPushButton>("CmdNext"));
    EXPECT_TRUE(toolControl("Frame1")->isVisible());
    // A screen reader names the definition path box by its label.
    EXPECT_EQ(toolControl("txtDefine")->accessibleName(), QStringLiteral("替换定义以表格形式存放在下面的文档中："));
    EXPECT_EQ(toolControl("Frame1")->x(), 0);
    EXPECT_GT(toolControl("frameHelp")->x(), 3000);
    click(toolControl<QPushButton>("CmdHelp"));
    EXPECT_TRUE(toolControl("frameHelp")->isVisible());
    EXPECT_EQ(toolControl("frameHelp")->x(), 0);
    EXPECT_GT(toolControl("Frame1")->x(), 3000);

    click(toolControl<QCheckBox>("ChkHideHelp"));
    click(toolControl<QCheckBox>("ChkMatchWholeWord"));
    click(toolControl<QPushButton>("CancelButton"));
    EXPECT_TRUE(waitFor([this] { return m_tool.isNull(); }));
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(control<QComboBox>("CmbFunc")->currentIndex(), 0);
    EXPECT_EQ(m_store->read(QStringLiteral("FormatReplace"), QStringLiteral("ChkHideHellp"), {}), QStringLiteral("1"));
    EXPECT_EQ(m_store->read(QStringLiteral("FormatReplace"), QStringLiteral("ChkMatchWholeWord"), {}),
              QStringLiteral("0"));

    // The next opening goes straight to the work panel.
    openTool();
    EXPECT_TRUE(toolControl("Frame1")->isVisible());
}

TEST_F(FormatReplaceWindow, StartChecksAndDefinitionWarningsStartNothing)
{
    ui::frmDocFormatReplace& tool = openTool();
    tool.CmdNext_Click();
    tool.OKButton_Click();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("没有需要处理的文档！")});

    // The list takes Word files only.
    tool.fileList().ListView2_OLEDragDrop({m_target, path(QStringLiteral("notes.txt"))});
    EXPECT_EQ(tool.fileList().model().paths(), QStringList{m_target});
    // Every drop is taken, also of a file the list holds already; the next command sweeps odd names.
    const QString odd = path(QStringLiteral("odd?.docx"));
    tool.fileList().ListView2_OLEDragDrop({m_target, odd});
    EXPECT_EQ(tool.fileList().model().paths(), (QStringList{m_target, m_target, odd}));
    tool.fileList().CmdFileOp_Click(0);
    ASSERT_FALSE(FileDialog::requests().isEmpty());
    EXPECT_EQ(FileDialog::requests().last().filter, QStringLiteral("WORD文件(*.doc;*.docx;*.rtf)|*.doc;*.docx;*.rtf"));
    EXPECT_TRUE(FileDialog::requests().last().folder.isEmpty());
    tool.fileList().CmdFileOp_Click(2); // nothing selected: removes nothing, sweeps
    EXPECT_EQ(messages().size(), 2);
    EXPECT_EQ(tool.fileList().model().paths(), (QStringList{m_target, m_target}));
    EXPECT_EQ(toolControl<QLabel>("lblInput")->text(), QStringLiteral("待处理文件2项"));
    tool.fileList().model().clear();
    tool.fileList().model().appendAll({m_target});
    const QByteArray before = readFile(m_target);

    // No definition document: the choose dialog opens, and cancelling it empties the box.
    MessageBox::clearShown();
    toolControl<QLineEdit>("txtDefine")->setText(path(QStringLiteral("missing.docx")));
    tool.OKButton_Click();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("请选择已设置好替换定义表格的Word文件！")});
    ASSERT_FALSE(FileDialog::requests().isEmpty());
    EXPECT_EQ(FileDialog::requests().last().title, QStringLiteral("选择替换定义Word文件"));
    EXPECT_EQ(FileDialog::requests().last().filter, QStringLiteral("WORD文件(*.doc;*.docx)|*.doc;*.docx"));
    EXPECT_TRUE(toolControl<QLineEdit>("txtDefine")->text().isEmpty());

    struct Case {
        QString fixture;
        QString title;
    };
    const Case cases[] = {
        {QStringLiteral("tools/FormatReplace_04_no_table.docx"), QStringLiteral("没有找到替换定义")},
        {QStringLiteral("tools/FormatReplace_03_one_column.docx"), QStringLiteral("替换定义格式不对")},
    };
    for (const Case& c : cases) {
        MessageBox::clearShown();
        toolControl<QLineEdit>("txtDefine")->setText(dataPath(c.fixture));
        tool.OKButton_Click();
        ASSERT_EQ(MessageBox::shown().size(), 1);
        EXPECT_EQ(MessageBox::shown().first().title, c.title);
        EXPECT_EQ(MessageBox::shown().first().icon, MessageBox::Icon::Warning);
        EXPECT_TRUE(MessageBox::shown().first().text.endsWith(QStringLiteral("\n请从新设置替换定义文档。")));
    }

    MessageBox::clearShown();
    toolControl<QLineEdit>("txtDefine")->setText(dataPath(QStringLiteral("tools/FormatReplace_01_definitions.docx")));
    m_window->options().txtLog()->setText(QStringLiteral("  "));
    tool.OKButton_Click();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("请输入日志文件名！")});
    EXPECT_EQ(FileDialog::requests().last().title, QStringLiteral("处理日志"));
    EXPECT_FALSE(tool.isRunning());
    EXPECT_EQ(readFile(m_target), before);
}

TEST_F(FormatReplaceWindow, DefinitionBoxTakesTheLastDroppedWordDocument)
{
    ui::frmDocFormatReplace& tool = openTool();
    tool.txtDefine_OLEDragDrop({QStringLiteral("/a/first.doc"), QStringLiteral("/a/second.DOCX"),
                                QStringLiteral("/a/notes.txt")});
    EXPECT_EQ(toolControl<QLineEdit>("txtDefine")->text(), QStringLiteral("/a/second.DOCX"));
    FileDialog::setNextFileName(QStringLiteral("/a/chosen.docx"));
    click(toolControl<QPushButton>("Command1"));
    EXPECT_EQ(toolControl<QLineEdit>("txtDefine")->text(), QStringLiteral("/a/chosen.docx"));
}

TEST_F(FormatReplaceWindow, RunsOnAWorkerThreadAndOffersTheLogAfterFailures)
{
    ui::frmDocFormatReplace& tool = openTool();
    tool.CmdNext_Click();
    const QString broken = path(QStringLiteral("broken.docx"));
    writeFile(broken, "not a zip");
    tool.fileList().ListView2_OLEDragDrop({m_target, broken});
    toolControl<QLineEdit>("txtDefine")->setText(dataPath(QStringLiteral("tools/FormatReplace_01_definitions.docx")));
    LabelWatch watch(toolControl<QLabel>("lblProcessing"));
    tool.installEventFilter(&watch);
    click(toolControl<QPushButton>("OKButton"));
    EXPECT_TRUE(waitFor([&] { return !tool.isRunning() && MessageBox::shown().size() == 2; }));
    tool.removeEventFilter(&watch);
    EXPECT_TRUE(watch.m_seen.contains(QStringLiteral("正在处理第 1 个文件"))) << watch.m_seen.join(u'|').toStdString();
    EXPECT_TRUE(watch.m_seen.contains(QStringLiteral("正在处理第 2 个文件"))) << watch.m_seen.join(u'|').toStdString();
    EXPECT_EQ(MessageBox::shown().first().title, ui::applicationTitle());
    EXPECT_EQ(messages(), (QStringList{QStringLiteral("替换完毕！\n共 2 个文件，其中 1 个文件发生了替换。"),
                                       QStringLiteral("日志文件记录了处理过程中发生的异常，\n是否查看日志文件？")}));
    EXPECT_EQ(toolControl<QLabel>("lblProcessing")->text(), QStringLiteral("处理完毕！"));
    EXPECT_TRUE(toolControl<QPushButton>("OKButton")->isEnabled());
    ASSERT_EQ(ui::Desktop::opened().size(), 1);
    EXPECT_EQ(ui::Desktop::opened().first().toLocalFile(), path(QStringLiteral("run.log")));
    EXPECT_TRUE(readFile(m_target).contains("media/varnel1.png"));
}
