#include "ui/tools/frmSBC.h"

#include "filelist/ConverterListRules.h"
#include "filelist/FileListRules.h"
#include "tools/widthconvert/WidthConvertRun.h"
#include "ui/FileListPanel.h"
#include "ui/Twips.h"
#include "ui/main/OptionsPanel.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <array>

namespace varnel::ui {

namespace {

const QString kSection = QStringLiteral("SBCDBC");
const QString kKey = QStringLiteral("Cmd");

// The list takes Word documents and text files only, whatever else the build can edit.
OfficeCapabilities wordAndTextOnly(const OfficeCapabilities& caps)
{
    OfficeCapabilities word;
    word.hasWord = caps.hasWord;
    word.wordNewFormats = caps.wordNewFormats;
    return word;
}

} // namespace

frmSBC::frmSBC(frmMain& main)
    : ToolWindow(main, 1)
    , m_settings(main.settings())
    , m_caps(wordAndTextOnly(main.capabilities()))
{
    setObjectName(QStringLiteral("frmSBC"));
    buildControls();
    Form_Load();
}

frmSBC::~frmSBC()
{
    waitForRun();
}

void frmSBC::buildControls()
{
    setFixedSize(px(9600), px(5700));

    auto* options = new QGroupBox(QStringLiteral("转换方式"), this);
    options->setObjectName(QStringLiteral("FrameMode"));
    placeTwips(options, 120, 60, 9360, 1335);
    m_optSBC2DBC = new QRadioButton(QStringLiteral("将文档中全部全角符号转为半角符号"), options);
    m_optSBC2DBC->setObjectName(QStringLiteral("OptSBC2DBC"));
    m_optDBC2SBC = new QRadioButton(QStringLiteral("将文档中全部半角字符转为全角字符"), options);
    m_optDBC2SBC->setObjectName(QStringLiteral("OptDBC2SBC"));
    m_optPunctuation = new QRadioButton(QStringLiteral("将文档中半角标点符号替换为全角标点符号"), options);
    m_optPunctuation->setObjectName(QStringLiteral("OptPunctuationSBC2DBC"));
    auto* group = new QButtonGroup(this);
    const std::array<QRadioButton*, 3> buttons{m_optSBC2DBC, m_optDBC2SBC, m_optPunctuation};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        group->addButton(buttons[i]);
        placeTwips(buttons[i], 240, 300 + static_cast<int>(i) * 330, 8800, 300);
    }

    auto* files = new QGroupBox(QStringLiteral("待处理文件"), this);
    files->setObjectName(QStringLiteral("Frame1"));
    placeTwips(files, 120, 1455, 9360, 2565);
    m_lblInput = new QLabel(files);
    m_lblInput->setObjectName(QStringLiteral("lblInput"));
    placeTwips(m_lblInput, 240, 2100, 4200, 255);

    auto* progress = new QGroupBox(QStringLiteral("进  度"), this);
    progress->setObjectName(QStringLiteral("FrameProgress"));
    placeTwips(progress, 120, 4080, 9360, 735);
    m_lblProcessing = new QLabel(progress);
    m_lblProcessing->setObjectName(QStringLiteral("lblProcessing"));
    placeTwips(m_lblProcessing, 240, 300, 8880, 300);

    m_fileList = new FileListPanel(files, m_lblInput, m_lblProcessing, m_settings, m_caps, this);
    m_fileList->layoutWidth(9360);
    FileListPanel::Rules rules;
    rules.addFilesFilter = converterAddFilesFilter(m_caps);
    rules.dropAdmits = [caps = m_caps](const QString& path) { return converterDropAdmits(path, caps); };
    rules.itemsFormAlways = true;
    rules.dropKeepsDuplicates = true;
    rules.ownAddFilesFolder = true;
    rules.questionMarkSweepAlways = true;
    rules.addFolderWordMode = true;
    rules.addFolderWordPatterns = {QStringLiteral("*.txt")};
    m_fileList->setRules(std::move(rules));
    connect(m_fileList, &FileListPanel::scanningChanged, this,
            [this](bool scanning) { m_okButton->setEnabled(!scanning && !isRunning()); });

    m_okButton = new QPushButton(QStringLiteral("批量替换"), this);
    m_okButton->setObjectName(QStringLiteral("OKButton"));
    placeTwips(m_okButton, 5700, 4980, 1395, 375);
    auto* cancel = new QPushButton(QStringLiteral("返回"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    placeTwips(cancel, 7440, 4980, 1395, 375);
    connect(m_okButton, &QPushButton::clicked, this, &frmSBC::OKButton_Click);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    m_ui = std::make_unique<WindowUserInterface>(this, m_lblProcessing, [this](UserInterface::Fixer fixer) {
        if (fixer == UserInterface::Fixer::ChooseLogFile)
            mainWindow().options().Command1_Click();
    });
    m_threadedUi = std::make_unique<ThreadedUserInterface>(*m_ui, this);
}

void frmSBC::Form_Load()
{
    m_lblInput->setText(initialInputLabel());
    bool isNumber = false;
    const int stored = mainWindow().store().read(kSection, kKey, QStringLiteral("0")).trimmed().toInt(&isNumber);
    switch (widthconvert::widthModeFromNumber(isNumber ? stored : 0)) {
    case widthconvert::WidthMode::ToFullWidth: m_optDBC2SBC->setChecked(true); break;
    case widthconvert::WidthMode::PunctuationToFullWidth: m_optPunctuation->setChecked(true); break;
    case widthconvert::WidthMode::ToHalfWidth: m_optSBC2DBC->setChecked(true); break;
    }
}

widthconvert::WidthMode frmSBC::mode() const
{
    if (m_optPunctuation->isChecked())
        return widthconvert::WidthMode::PunctuationToFullWidth;
    if (m_optDBC2SBC->isChecked())
        return widthconvert::WidthMode::ToFullWidth;
    return widthconvert::WidthMode::ToHalfWidth;
}

void frmSBC::saveSettings()
{
    mainWindow().store().write(kSection, kKey, QString::number(static_cast<int>(mode())));
}

void frmSBC::OKButton_Click()
{
    if (isRunning())
        return;
    widthconvert::WidthRunSetup setup;
    setup.files = m_fileList->model().paths();
    setup.mode = mode();
    setup.logPath = mainWindow().options().txtLog()->text();
    // The input checks ask and open their dialog here, on the window's thread; only a real run moves off it.
    if (setup.files.isEmpty() || setup.logPath.trimmed().isEmpty()) {
        widthconvert::WidthConvertRun(*m_ui).run(setup);
        return;
    }

    setRunning(true);
    startRun(
        [this, setup] {
            widthconvert::WidthConvertRun run(*m_threadedUi);
            run.run(setup);
        },
        [this] {
            setRunning(false);
            emit runFinished();
        });
}

void frmSBC::setRunning(bool running)
{
    // The rows must stay put while the run works through them; the options may change, the run took its
    // mode when it started.
    m_fileList->setLocked(running);
    m_okButton->setEnabled(!running);
    if (running)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

ToolWindow* makeFrmSBC(frmMain& main)
{
    return new frmSBC(main);
}

} // namespace varnel::ui
