#include "ui/frmMain.h"

#include "core/ProcessLog.h"
#include "definitions/DictionaryLoader.h"
#include "filelist/FileListRules.h"
#include "office/OfficeEngines.h"
#include "ui/AppInfo.h"
#include "ui/ClickableLabel.h"
#include "ui/DefinitionPanel.h"
#include "ui/Desktop.h"
#include "ui/FileListPanel.h"
#include "ui/MessageBox.h"
#include "ui/OptionsPanel.h"
#include "ui/RunController.h"
#include "ui/Twips.h"
#include "ui/WindowUserInterface.h"
#include "ui/frmMsgbox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>

// Resources of a static library are registered by hand (outside any namespace).
static void initUiResources()
{
    Q_INIT_RESOURCE(varnel_ui);
}

namespace varnel::ui {

namespace {

constexpr int kClientWidth = 15615; // puts the help panel at its designed left edge, 12600
constexpr int kClientHeight = 9600;
constexpr int kFrame6Width = 2955;

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, int l, int t, int w, int h)
{
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    placeTwips(frame, l, t, w, h);
    return frame;
}

void setLabelColor(QLabel* label, const QColor& color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

} // namespace

frmMain::frmMain(SettingsStore& store, const EngineRegistry& engines, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_engines(engines)
{
    initUiResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(applicationTitle());
    resize(px(kClientWidth), px(kClientHeight));
    buildControls();
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    auto* funcLabel = new QLabel(QStringLiteral("功能："), this);
    placeTwips(funcLabel, 120, 75, 720, 255);
    m_cmbFunc = new QComboBox(this);
    m_cmbFunc->setObjectName(QStringLiteral("CmbFunc"));
    m_cmbFunc->setAccessibleName(funcLabel->text());
    funcLabel->setBuddy(m_cmbFunc);
    m_cmbFunc->addItems({QStringLiteral(" 文档内容替换"), QStringLiteral(" Word、Txt文档全角/半角替换"),
                         QStringLiteral(" Word文档带格式替换"), QStringLiteral(" Excel工作簿限范围替换")});
    // The three tools are not part of this build yet.
    if (auto* model = qobject_cast<QStandardItemModel*>(m_cmbFunc->model()))
        for (int i = 1; i < 4; ++i)
            model->item(i)->setEnabled(false);
    placeTwips(m_cmbFunc, 840, 30, 3735, 300);
    connect(m_cmbFunc, &QComboBox::activated, this, &frmMain::CmbFunc_Click);

    m_frame1 = makeFrame(this, "Frame1", QStringLiteral("待处理文件"), 60, 480, 12435, 2115);
    m_frame2 = makeFrame(this, "Frame2", QStringLiteral("替换内容"), 60, 2655, 12435, 2955);
    m_frame5 = makeFrame(this, "Frame5", QStringLiteral("选  项"), 60, 5655, 12435, 2715);
    m_frame4 = makeFrame(this, "Frame4", QStringLiteral("进  度"), 60, 8385, 12435, 615);
    m_frame3 = makeFrame(this, "Frame3", QString(), 60, 8985, 15460, 555);
    m_frame6 = makeFrame(this, "Frame6", QStringLiteral("帮助"), 12600, 60, kFrame6Width, 8895);

    m_lblProcessing = new QLabel(m_frame4);
    m_lblProcessing->setObjectName(QStringLiteral("lblProcessing"));
    placeTwips(m_lblProcessing, 240, 285, 6000, 255);
    m_lblInput = new QLabel(m_frame4);
    m_lblInput->setObjectName(QStringLiteral("lblInput"));
    placeTwips(m_lblInput, 7440, 285, 4200, 255);

    const int tops[3] = {420, 1100, 1800};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(m_frame6);
        label->setObjectName(QStringLiteral("lblBaseMsg(%1)").arg(i));
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        placeTwips(label, 240, tops[i], 2535, 675);
        m_lblBaseMsg[static_cast<std::size_t>(i)] = label;
    }
    auto* help = new ClickableLabel(m_frame6);
    help->setObjectName(QStringLiteral("picHelpLink"));
    help->setPixmap(QPixmap(QStringLiteral(":/varnel/help-link.png")));
    help->setToolTip(QStringLiteral("使用帮助"));
    help->setAccessibleName(QStringLiteral("使用帮助"));
    placeTwips(help, 240, 2700, 2475, 720);
    connect(help, &ClickableLabel::clicked, this, &frmMain::picHelpLink_Click);

    m_fileList = new FileListPanel(m_frame1, m_lblInput, m_lblProcessing, m_settings, m_caps, this);
    m_definitions = new DefinitionPanel(m_frame2, m_settings, this);
    m_options = new OptionsPanel(m_frame5, this);

    // Created after the panels, so that the tab order runs from the lists through the options to them.
    m_cmdDo = new QPushButton(QStringLiteral("批量替换"), m_frame3);
    m_cmdDo->setObjectName(QStringLiteral("CmdDo"));
    placeTwips(m_cmdDo, 5500, 120, 1395, 375);
    auto* cmdExit = new QPushButton(QStringLiteral("退出"), m_frame3);
    cmdExit->setObjectName(QStringLiteral("CmdExit"));
    placeTwips(cmdExit, 8940, 120, 915, 375);
    connect(m_cmdDo, &QPushButton::clicked, this, &frmMain::CmdDo_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);

    m_ui = std::make_unique<WindowUserInterface>(this, m_lblProcessing,
                                                 [this](UserInterface::Fixer fixer) { openFixer(fixer); });
    m_ui->setSkippableNoticeWindow([this](const QString& text) { noticeWindow().showMessage(text); });
    m_run = new RunController(m_engines, *m_ui, m_options->shared(), this);
    // The workbook is read on the run's thread; its count reaches the label on the window's, before any
    // message the reading shows (which waits in the same queue).
    m_run->setDictionaryLoader([this](const QString& path, UserInterface& ui) {
        return LoadDictionaryWorkbook(path, ui, [this](int count) {
            QMetaObject::invokeMethod(m_definitions, [this, count] { m_definitions->showDefinitionCount(count); });
        });
    });
    connect(m_run, &RunController::busyChanged, this, &frmMain::runBusy);
    connect(m_run, &RunController::finished, this, &frmMain::runFinished);
    connect(m_run, &RunController::fileFinished, this, [this](const FileReport& report) {
        if (!report.renamedTo.isEmpty())
            m_fileList->model().setPath(report.row - 1, report.renamedTo);
    });
    connect(m_fileList, &FileListPanel::scanningChanged, this, &frmMain::updateStartButton);
}

void frmMain::load()
{
    setWindowTitle(applicationTitle());
    m_lblInput->setText(initialInputLabel());
    m_cmbFunc->setCurrentIndex(0);

    restoreSettings(m_store, m_options->interlock(), m_settings, ProcessLog::startupPath());
    m_options->refresh();
    m_options->txtLog()->setText(m_settings.logPath);
    m_definitions->selectSource(m_settings.excelDictionary);

    m_caps = capabilitiesOf(m_engines);
    showCapabilities();
}

void frmMain::showCapabilities()
{
    struct Status {
        bool supported;
        const char16_t* yes;
        const char16_t* no;
        const char16_t* advice;
    };
    const Status statuses[3] = {
        {m_caps.hasWord, u"Word文档处理：支持", u"Word文档处理：不支持，本机没有安装Word软件。", u"建议安装微软Office软件"},
        {m_caps.hasExcel, u"Excel文档处理：支持", u"Excel文档处理：不支持，本机没有安装Excel软件。",
         u"建议安装微软Office软件"},
        {m_caps.hasPowerPoint, u"PowerPoint文档处理：支持", u"PowerPoint文档处理：不支持，本机没有安装PowerPoint软件。",
         u"建议安装PowerPoint软件"},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const Status& s = statuses[i];
        QLabel* label = m_lblBaseMsg[i];
        label->setText(QString::fromUtf16(s.supported ? s.yes : s.no));
        setLabelColor(label, s.supported ? QColor(0, 128, 0) : QColor(255, 0, 0));
        label->setToolTip(s.supported ? QString() : QString::fromUtf16(s.advice));
    }
    // The Office 97-2003 formats go through LibreOffice; say so where they cannot be handled.
    if (m_caps.hasWord && !legacyFormatsAvailable())
        m_lblBaseMsg[0]->setToolTip(QStringLiteral("本机没有安装LibreOffice，.doc文档无法处理（.docx和.rtf文档不受影响）"));
    // Dictionary workbooks are read natively, whichever engines this build has.
    m_definitions->optExcel()->setEnabled(!m_runBusy);
}

frmMsgbox& frmMain::noticeWindow()
{
    if (!m_msgbox)
        m_msgbox = new frmMsgbox(this);
    return *m_msgbox;
}

void frmMain::CmdDo_Click()
{
    if (m_run->isRunning() || m_fileList->isScanning())
        return;
    RunSetup setup;
    setup.files = m_fileList->model().paths();
    setup.source = m_definitions->source();
    setup.definitions = m_definitions->model().pairs();
    setup.dictionaryPath = m_definitions->dictionaryPath();
    setup.logPath = m_options->txtLog()->text();
    setup.logMode = m_options->logMode();
    // The run writes renamed paths back to its rows, so the list must hold still until it ends.
    m_fileList->setLocked(true);
    m_run->start(std::move(setup));
}

void frmMain::openFixer(UserInterface::Fixer fixer)
{
    switch (fixer) {
    case UserInterface::Fixer::ChooseDictionary: m_definitions->Command2_Click(); break;
    case UserInterface::Fixer::AddDefinition: m_definitions->CmdRepListView_Click(0); break;
    case UserInterface::Fixer::ChooseLogFile: m_options->Command1_Click(); break;
    }
}

void frmMain::runBusy(bool busy)
{
    m_runBusy = busy;
    m_definitions->optTradition()->setEnabled(!busy);
    m_definitions->optExcel()->setEnabled(!busy);
    if (busy) {
        m_options->txtLog()->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
    updateStartButton();
}

void frmMain::runFinished()
{
    m_options->txtLog()->setEnabled(true);
    m_fileList->setLocked(false);
    updateStartButton();
}

void frmMain::updateStartButton()
{
    m_cmdDo->setEnabled(!m_runBusy && !m_fileList->isScanning());
}

void frmMain::CmbFunc_Click(int index)
{
    if ((index == 1 || index == 2) && !m_caps.hasWord)
        MessageBox::notice(this, QStringLiteral("没有检测到本机安装Microsoft Word软件，本功能无法使用！"));
    else if (index == 3 && !m_caps.hasExcel)
        MessageBox::notice(this, QStringLiteral("没有检测到本机安装Microsoft Excel软件，本功能无法使用！"));
    // No tool window is part of this build: the switch stays on this window.
    m_cmbFunc->setCurrentIndex(0);
}

QString frmMain::helpPagePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
}

void frmMain::picHelpLink_Click()
{
    const QString path = helpPagePath();
    if (!QFileInfo::exists(path)) {
        MessageBox::notice(this, QStringLiteral("找不到帮助文件：") + path, MessageBox::Icon::Error);
        return;
    }
    Desktop::openFile(path);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// Widths follow the window; heights and tops never change. A rule whose width would be negative is
// skipped, so a window narrower than the help panel keeps the last valid widths.
void frmMain::Form_Resize()
{
    const int sw = toTwips(width());
    m_frame6->move(px(sw - kFrame6Width - 60), m_frame6->y());
    const int frame1 = sw - kFrame6Width - 240;
    if (frame1 >= 0)
        m_frame1Width = frame1;
    for (QGroupBox* frame : {m_frame1, m_frame2, m_frame5, m_frame4})
        frame->resize(px(m_frame1Width), frame->height());
    m_fileList->layoutWidth(m_frame1Width);
    m_definitions->layoutWidth(m_frame1Width);
    const int frame3 = sw - 120;
    if (frame3 >= 0)
        m_frame3->resize(px(frame3), m_frame3->height());
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // A run cannot be interrupted halfway through a file; the window stays until it is over.
    if (m_run->isRunning()) {
        event->ignore();
        return;
    }
    m_fileList->stopScan();
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    MainSettings settings = m_settings;
    settings.logPath = m_options->txtLog()->text();
    settings.excelDictionary = m_definitions->optExcel()->isChecked();
    saveSettings(m_store, m_options->options(), settings);
    if (auto* qtStore = dynamic_cast<QtSettingsStore*>(&m_store))
        qtStore->sync();
}

} // namespace varnel::ui
