#include "WindowFixture.h"

#include "ui/AppInfo.h"
#include "ui/SingleInstance.h"
#include "ui/frmMsgbox.h"
#include "ui/tools/ToolWindow.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>

using namespace varnel;
using namespace varnel::test;

namespace {

class NullEngine : public DocumentEngine
{
public:
    EngineResult replace(const QString&, const EngineRequest&) override { return {}; }
};

} // namespace

using MainWindow = WindowTest;

TEST_F(MainWindow, StartsWithTitleEmptyListsAndFirstStartOptions)
{
    openWindow();
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Varnel - 5.45"));
    EXPECT_EQ(labelText("lblInput"), QStringLiteral("待处理文件：0项"));
    EXPECT_EQ(control<QComboBox>("CmbLog")->currentText(), QStringLiteral("替换异常记录到文件："));
    EXPECT_EQ(control<QComboBox>("CmbFunc")->currentText(), QStringLiteral(" 文档内容替换"));
    EXPECT_TRUE(control<QRadioButton>("OptTradition")->isChecked());
    EXPECT_EQ(control<QLineEdit>("txtLog")->text(), ProcessLog::startupPath());
    EXPECT_EQ(control<QCheckBox>("ChkMatchCase")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(control<QCheckBox>("ChkXlsSheetName")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(control<QCheckBox>("ChkNotepage")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(control<QCheckBox>("ChkWordTextBox")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>("ChkHeaderFooter")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>("ChkName")->checkState(), Qt::Unchecked);
    EXPECT_TRUE(control<QCheckBox>("Check1")->isChecked());
}

TEST_F(MainWindow, ControlsCarryTheirCaptions)
{
    openWindow();
    const std::pair<const char*, const char*> captions[] = {
        {"CmdDo", "批量替换"},          {"CmdExit", "退出"},         {"CmdFileOp(0)", "添加文件"},
        {"CmdFileOp(1)", "添加目录"},   {"CmdFileOp(2)", "移除文件"}, {"CmdFileOp(3)", "全部清空"},
        {"CmdRepListView(0)", "添加"},  {"CmdRepListView(1)", "删除"}, {"CmdRepListView(2)", "编辑"},
        {"CmdRepListView(3)", "导出"},  {"CmdRepListView(4)", "导入"}, {"CmdRepListView(5)", "清空"},
        {"OptTradition", "界面录入替换定义"}, {"OptExcel", "从Excel文件读取替换定义"},
        {"ChkLongFirst", "优先替换长的替换项目"}, {"ChkMatchCase", "区分大小写（全角半角）"},
        {"ChkTxtWholeWord", "替换文本文件时全字匹配（英文和数字）"}, {"ChkNotepage", "替换PPT幻灯片备注页"},
        {"ChkPPTWholeWord", "替换PowerPoint幻灯片文档时全字匹配"}, {"Command1", "..."}, {"Command2", "..."},
    };
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(control<QAbstractButton>(QString::fromLatin1(name))->text(), QString::fromUtf8(caption)) << name;
    const std::pair<const char*, const char*> frames[] = {{"Frame1", "待处理文件"}, {"Frame2", "替换内容"},
                                                          {"Frame5", "选  项"},     {"Frame4", "进  度"},
                                                          {"Frame3", ""},           {"Frame6", "帮助"}};
    for (const auto& [name, caption] : frames)
        EXPECT_EQ(control<QGroupBox>(QString::fromLatin1(name))->title(), QString::fromUtf8(caption)) << name;
    EXPECT_EQ(control<QCheckBox>("ChkMatchWildcards")->toolTip(), QStringLiteral("使用通配符替换必须区分大小写"));
    EXPECT_EQ(labelText("Label1"), QStringLiteral("替换定义Excel文件："));
    EXPECT_EQ(labelText("Label2"), QStringLiteral("定义文件示例："));
}

TEST_F(MainWindow, EveryTextBoxListAndComboHasAnAccessibleName)
{
    openWindow();
    for (QWidget* widget : m_window->findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(widget) && qobject_cast<QComboBox*>(widget->parentWidget()))
            continue; // the edit field inside an editable combo box
        if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) || qobject_cast<QTreeView*>(widget)) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
}

TEST_F(MainWindow, TypesWithoutAnEngineShowRedUnsupportedLabels)
{
    openWindow();
    EXPECT_EQ(labelText("lblBaseMsg(0)"), QStringLiteral("Word文档处理：不支持，本机没有安装Word软件。"));
    EXPECT_EQ(labelText("lblBaseMsg(1)"), QStringLiteral("Excel文档处理：不支持，本机没有安装Excel软件。"));
    EXPECT_EQ(labelText("lblBaseMsg(2)"), QStringLiteral("PowerPoint文档处理：不支持，本机没有安装PowerPoint软件。"));
    EXPECT_EQ(control<QLabel>("lblBaseMsg(0)")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(control<QLabel>("lblBaseMsg(1)")->toolTip(), QStringLiteral("建议安装微软Office软件"));
    EXPECT_EQ(control<QLabel>("lblBaseMsg(2)")->toolTip(), QStringLiteral("建议安装PowerPoint软件"));
}

TEST_F(MainWindow, RegisteredEngineTurnsItsLabelGreen)
{
    m_engines.add({QStringLiteral(".docx")}, std::make_shared<NullEngine>());
    openWindow();
    EXPECT_TRUE(m_window->capabilities().hasWord);
    EXPECT_TRUE(m_window->capabilities().wordNewFormats);
    EXPECT_EQ(labelText("lblBaseMsg(0)"), QStringLiteral("Word文档处理：支持"));
    EXPECT_EQ(control<QLabel>("lblBaseMsg(0)")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_TRUE(control<QLabel>("lblBaseMsg(0)")->toolTip().isEmpty());
    EXPECT_EQ(control<QLabel>("lblBaseMsg(1)")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(MainWindow, FunctionSwitchOffersTheToolsDisabled)
{
    openWindow();
    auto* combo = control<QComboBox>("CmbFunc");
    ASSERT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->itemText(1), QStringLiteral(" Word、Txt文档全角/半角替换"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral(" Word文档带格式替换"));
    EXPECT_EQ(combo->itemText(3), QStringLiteral(" Excel工作簿限范围替换"));
    auto* model = qobject_cast<QStandardItemModel*>(combo->model());
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->item(0)->isEnabled());
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(model->item(i)->isEnabled(), ui::toolFactory(i) != nullptr) << i;
    m_window->CmbFunc_Click(3);
    EXPECT_EQ(messages(), QStringList{QStringLiteral("没有检测到本机安装Microsoft Excel软件，本功能无法使用！")});
    EXPECT_EQ(combo->currentIndex(), 0);
}

TEST_F(MainWindow, ResizeStretchesThePanelsAndKeepsTheLastValidWidths)
{
    openWindow();
    m_window->resize(1200, m_window->height());
    QTest::qWait(0);
    const int sw = 1200 * 15;
    EXPECT_EQ(control("Frame6")->x(), (sw - 2955 - 60) / 15);
    EXPECT_EQ(control("Frame1")->width(), (sw - 2955 - 240) / 15);
    EXPECT_EQ(control("Frame2")->width(), control("Frame1")->width());
    EXPECT_EQ(control("Frame5")->width(), control("Frame1")->width());
    EXPECT_EQ(control("Frame4")->width(), control("Frame1")->width());
    EXPECT_EQ(control("Frame3")->width(), (sw - 120) / 15);
    EXPECT_EQ(control("ListView2")->width(), (sw - 2955 - 240 - 1260) / 15);
    const int topBefore = control("Frame5")->y();

    m_window->resize(150, m_window->height()); // narrower than the help panel
    QTest::qWait(0);
    EXPECT_EQ(control("Frame1")->width(), (sw - 2955 - 240) / 15);
    EXPECT_EQ(control("Frame5")->y(), topBefore);
}

TEST_F(MainWindow, HelpLinkOpensThePageShippedBesideTheProgram)
{
    openWindow();
    const QString page = ui::frmMain::helpPagePath();
    const bool shipped = QFile::exists(page);
    QTest::mouseClick(control<QLabel>("picHelpLink"), Qt::LeftButton);
    if (shipped) {
        ASSERT_EQ(ui::Desktop::opened().size(), 1);
        EXPECT_EQ(ui::Desktop::opened().first(), QUrl::fromLocalFile(page));
    } else {
        EXPECT_EQ(messages(), QStringList{QStringLiteral("找不到帮助文件：") + page});
        EXPECT_TRUE(ui::Desktop::opened().isEmpty());
    }
}

TEST_F(MainWindow, NoticeWindowRemembersDoNotShowAgainForItsLife)
{
    openWindow();
    ui::frmMsgbox& notice = m_window->noticeWindow();
    EXPECT_EQ(notice.windowTitle(), ui::applicationTitle());
    answerDialog([](QDialog& dialog) {
        EXPECT_EQ(findIn<QLabel>(dialog, "lblMsg")->text(), QStringLiteral("第 3 行替换定义超过255字长"));
        click(findIn<QCheckBox>(dialog, "ChkSkip"));
        click(findIn<QPushButton>(dialog, "Command1"));
    });
    EXPECT_TRUE(notice.showMessage(QStringLiteral("第 3 行替换定义超过255字长")));
    EXPECT_TRUE(notice.isHidden());
    EXPECT_EQ(&m_window->noticeWindow(), &notice);
    EXPECT_FALSE(m_window->noticeWindow().showMessage(QStringLiteral("第 4 行")));
}

TEST_F(MainWindow, ClosingStoresSettingsThatTheNextWindowRestores)
{
    openWindow();
    click(control<QCheckBox>("ChkMatchCase")); // grey -> ticked
    click(control<QCheckBox>("ChkName"));
    click(control<QCheckBox>("ChkXlsSheetName")); // grey -> ticked
    click(control<QCheckBox>("ChkXlsSheetName")); // ticked -> clear
    control<QLineEdit>("txtLog")->setText(path("run.log"));
    control<QComboBox>("CmbLog")->setCurrentIndex(1);
    closeWindow();

    QSettings stored(path("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Option/MatchCase").toString(), QStringLiteral("1"));
    EXPECT_EQ(stored.value("Option/XlsSheetName").toString(), QStringLiteral("0"));
    EXPECT_EQ(stored.value("Option/ChkNotepage").toString(), QStringLiteral("2"));
    EXPECT_EQ(stored.value("Option/ChkName").toString(), QStringLiteral("1"));
    EXPECT_EQ(stored.value("Option/txtLog").toString(), path("run.log"));
    EXPECT_EQ(stored.value("Page/PageIndex").toString(), QStringLiteral("1"));

    openWindow();
    EXPECT_EQ(control<QCheckBox>("ChkMatchCase")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>("ChkName")->checkState(), Qt::Checked);
    EXPECT_EQ(control<QCheckBox>("ChkXlsSheetName")->checkState(), Qt::Unchecked);
    EXPECT_EQ(control<QCheckBox>("ChkNotepage")->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(control<QLineEdit>("txtLog")->text(), path("run.log"));
    // The log mode is not stored: every start begins with failures only.
    EXPECT_EQ(control<QComboBox>("CmbLog")->currentIndex(), 0);
}

TEST_F(MainWindow, StoredWorkbookSourceShowsTheWorkbookPanel)
{
    m_store->write("Page", "PageIndex", "2");
    openWindow();
    EXPECT_TRUE(control<QRadioButton>("OptExcel")->isChecked());
    EXPECT_EQ(control("Frame8")->x(), 150 / 15);
    EXPECT_GE(control("Frame7")->x(), 600000 / 15);
    click(control<QRadioButton>("OptTradition"));
    EXPECT_EQ(control("Frame7")->x(), 100 / 15);
    EXPECT_GE(control("Frame8")->x(), 60000 / 15);
    closeWindow();
    EXPECT_EQ(m_store->read("Page", "PageIndex", {}), QStringLiteral("1"));
}

TEST(SingleInstance, SecondLockOnTheSamePathFails)
{
    QTemporaryDir dir;
    ui::SingleInstance first(dir.filePath("varnel.lock"));
    ui::SingleInstance second(dir.filePath("varnel.lock"));
    EXPECT_TRUE(first.acquire());
    EXPECT_FALSE(second.acquire());
}

// Starts the real program twice: the second start must end at once while the first keeps running.
TEST(SingleInstance, SecondStartOfTheProgramEndsAtOnce)
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath("../src/ui/varnel");
    if (!QFile::exists(program))
        GTEST_SKIP() << "varnel is not built beside the tests";
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("HOME", dir.path());

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(dir.filePath("varnel.lock")); }, 10000));

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {});
    EXPECT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    if (!first.waitForFinished(5000))
        first.kill();
    first.waitForFinished(5000);
}

namespace {

// A tool window that counts how often it stored its settings.
class FakeTool : public ui::ToolWindow
{
public:
    explicit FakeTool(ui::frmMain& main)
        : ToolWindow(main, 2)
    {
        setObjectName(QStringLiteral("FakeTool"));
    }
    static inline int saved = 0;
    static inline bool busy = false;

protected:
    void saveSettings() override { ++saved; }
    bool canClose() const override { return !busy; }
};

ui::ToolWindow* makeFakeTool(ui::frmMain& main)
{
    return new FakeTool(main);
}

} // namespace

TEST_F(MainWindow, FunctionSwitchOpensAToolInPlaceOfTheWindowAndGetsItBackWhenTheToolCloses)
{
    m_engines.add({QStringLiteral(".docx")}, std::make_shared<NullEngine>()); // Word is there
    openWindow();
    m_window->setToolFactories([](int entry) { return entry == 2 ? &makeFakeTool : nullptr; });
    auto* combo = control<QComboBox>("CmbFunc");
    auto* model = qobject_cast<QStandardItemModel*>(combo->model());
    EXPECT_FALSE(model->item(1)->isEnabled());
    EXPECT_TRUE(model->item(2)->isEnabled());

    FakeTool::saved = 0;
    combo->setCurrentIndex(2);
    m_window->CmbFunc_Click(2);
    QPointer<QWidget> tool;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("FakeTool"))
            tool = widget;
    ASSERT_TRUE(tool);
    EXPECT_TRUE(tool->isVisible());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(tool->windowTitle(), QStringLiteral("Varnel - 5.45 -  Word文档带格式替换"));

    FakeTool::busy = true;
    tool->close();
    EXPECT_TRUE(tool->isVisible());
    EXPECT_EQ(FakeTool::saved, 0);

    FakeTool::busy = false;
    tool->close();
    EXPECT_TRUE(waitFor([&] { return tool.isNull(); }));
    EXPECT_EQ(FakeTool::saved, 1);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_TRUE(messages().isEmpty());
}
