#include "ui/tools/frmDocFormatReplace.h"

#include "filelist/FileListRules.h"
#include "ui/AppInfo.h"
#include "ui/Desktop.h"
#include "ui/DropTargets.h"
#include "ui/FileDialog.h"
#include "ui/FileListPanel.h"
#include "ui/MessageBox.h"
#include "ui/Twips.h"
#include "ui/main/OptionsPanel.h"
#include "ui/main/frmMain.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace varnel::ui {

using formatreplace::FormatDefinitionTable;

namespace {

const QString kSection = QStringLiteral("FormatReplace");
constexpr int kPanelWidth = 9000;
constexpr int kPanelHeight = 5400;
constexpr int kHiddenLeft = 60000; // where the panel not shown waits, off the window

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& text, int left, int top, int width)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    placeTwips(box, left, top, width, 255);
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, int left, int top, int width)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    placeTwips(button, left, top, width, 375);
    return button;
}

// A dropped file a Word list takes, by the end of its name in any letter case.
bool isWordDrop(const QString& path, bool newFormats)
{
    const QString upper = path.toUpper();
    return upper.endsWith(QLatin1String(".DOC")) || (newFormats && upper.endsWith(QLatin1String(".DOCX")));
}

bool stored(const SettingsStore& store, const char* key, const char* defaultValue)
{
    return store.read(kSection, QString::fromLatin1(key), QString::fromLatin1(defaultValue)).trimmed().toInt() != 0;
}

} // namespace

frmDocFormatReplace::frmDocFormatReplace(frmMain& main)
    : ToolWindow(main, 2)
    , m_store(main.store())
{
    setObjectName(QStringLiteral("frmDocFormatReplace"));
    m_caps.hasWord = main.capabilities().hasWord;
    m_caps.wordNewFormats = main.capabilities().wordNewFormats;
    buildControls();
    Form_Load();
}

frmDocFormatReplace::~frmDocFormatReplace()
{
    waitForRun();
}

void frmDocFormatReplace::buildControls()
{
    resize(px(kPanelWidth + 120), px(kPanelHeight + 1380));

    m_frameHelp = new QFrame(this);
    m_frameHelp->setObjectName(QStringLiteral("frameHelp"));
    auto* image = new QLabel(m_frameHelp);
    image->setObjectName(QStringLiteral("Image1"));
    image->setWordWrap(true);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image->setText(QStringLiteral(
        "<p><b>Word文档带格式替换</b></p>"
        "<p>替换定义以表格形式存放在一个Word文档中：表格第一行为标题行，不参与替换；从第二行起，每行的第 1 列为要查找的文字，"
        "第 2 列为替换内容。替换内容可以带有字体、颜色等格式，可以是多个段落，也可以包含超链接和图片。</p>"
        "<p>替换时，待处理文档中每一处找到的文字都被第 2 列的内容连同格式一起替换；"
        "勾选“只替换文档中第一个匹配项”时，每个定义只替换文档中从头开始的第一处。</p>"));
    placeTwips(image, 120, 120, kPanelWidth - 240, kPanelHeight - 720);
    m_chkHideHelp = makeCheck(m_frameHelp, "ChkHideHelp", QStringLiteral("使用前不再显示此信息"), 120,
                              kPanelHeight - 480, 3600);
    auto* cmdNext = makeButton(m_frameHelp, "CmdNext", QStringLiteral("进入格式替换功能"), kPanelWidth - 2400,
                               kPanelHeight - 540, 2200);
    connect(cmdNext, &QPushButton::clicked, this, &frmDocFormatReplace::CmdNext_Click);

    m_frame1 = new QFrame(this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    auto* listFrame = new QGroupBox(QStringLiteral("待处理文件"), m_frame1);
    listFrame->setObjectName(QStringLiteral("FrameFiles"));
    placeTwips(listFrame, 60, 60, kPanelWidth - 120, 2700);
    m_lblInput = new QLabel(m_frame1);
    m_lblInput->setObjectName(QStringLiteral("lblInput"));
    placeTwips(m_lblInput, 120, 2820, 4200, 255);
    auto* defineLabel = new QLabel(QStringLiteral("替换定义以表格形式存放在下面的文档中："), m_frame1);
    placeTwips(defineLabel, 120, 3180, 6000, 255);
    m_txtDefine = new QLineEdit(m_frame1);
    m_txtDefine->setObjectName(QStringLiteral("txtDefine"));
    m_txtDefine->setAccessibleName(defineLabel->text());
    placeTwips(m_txtDefine, 120, 3480, kPanelWidth - 1500, 315);
    connect(FileDropFilter::install(m_txtDefine), &FileDropFilter::filesDropped, this,
            &frmDocFormatReplace::txtDefine_OLEDragDrop);
    auto* command1 = makeButton(m_frame1, "Command1", QStringLiteral("选择"), kPanelWidth - 1260, 3450, 1100);
    connect(command1, &QPushButton::clicked, this, &frmDocFormatReplace::Command1_Click);
    m_chkMatchWildcards = makeCheck(m_frame1, "ChkMatchWildcards", QStringLiteral("使用通配符"), 120, 4020, 4200);
    m_chkOnly1 = makeCheck(m_frame1, "ChkOnly1", QStringLiteral("只替换文档中第一个匹配项"), 4500, 4020, 4300);
    m_chkMatchCase = makeCheck(m_frame1, "ChkMatchCase", QStringLiteral("区分大小写"), 120, 4380, 4200);
    m_chkMatchWholeWord = makeCheck(m_frame1, "ChkMatchWholeWord", QStringLiteral("全字匹配（英文和数字）"), 4500,
                                    4380, 4300);

    auto* progress = new QGroupBox(QStringLiteral("进  度"), this);
    progress->setObjectName(QStringLiteral("FrameProgress"));
    placeTwips(progress, 60, kPanelHeight + 60, kPanelWidth, 600);
    m_lblProcessing = new QLabel(progress);
    m_lblProcessing->setObjectName(QStringLiteral("lblProcessing"));
    placeTwips(m_lblProcessing, 240, 285, kPanelWidth - 480, 255);

    const int buttonsTop = kPanelHeight + 780;
    auto* cmdHelp = makeButton(this, "CmdHelp", QStringLiteral("帮助"), 120, buttonsTop, 1095);
    connect(cmdHelp, &QPushButton::clicked, this, &frmDocFormatReplace::CmdHelp_Click);
    auto* cancel = makeButton(this, "CancelButton", QStringLiteral("返回"), kPanelWidth - 2520, buttonsTop, 1095);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    m_okButton = makeButton(this, "OKButton", QStringLiteral("替换"), kPanelWidth - 1320, buttonsTop, 1095);
    connect(m_okButton, &QPushButton::clicked, this, &frmDocFormatReplace::OKButton_Click);

    m_fileList = new FileListPanel(listFrame, m_lblInput, m_lblProcessing, m_settings, m_caps, this);
    m_fileList->layoutWidth(kPanelWidth - 120);
    // Word files only; the dialogs start where the system puts them and remember nothing, the add-folder
    // dialog offers Word documents only, every drop is taken, and every command sweeps unreadable names.
    const bool newFormats = m_caps.wordNewFormats;
    FileListPanel::Rules rules;
    rules.addFilesFilter = newFormats ? QStringLiteral("WORD文件(*.doc;*.docx;*.rtf)|*.doc;*.docx;*.rtf")
                                      : QStringLiteral("WORD文件(*.doc;*.rtf)|*.doc;*.rtf");
    rules.dropAdmits = [newFormats](const QString& path) { return isWordDrop(path, newFormats); };
    rules.itemsFormAlways = true;
    rules.dropKeepsDuplicates = true;
    rules.ownAddFilesFolder = true;
    rules.questionMarkSweepAlways = true;
    rules.addFolderWordMode = true;
    m_fileList->setRules(std::move(rules));
    connect(m_fileList, &FileListPanel::scanningChanged, this,
            [this](bool scanning) { m_okButton->setEnabled(!scanning && !isRunning()); });
}

void frmDocFormatReplace::Form_Load()
{
    m_lblInput->setText(initialInputLabel());
    m_chkHideHelp->setChecked(stored(m_store, "ChkHideHellp", "0"));
    m_chkMatchCase->setChecked(stored(m_store, "ChkMatchCase", "0"));
    m_chkMatchWholeWord->setChecked(stored(m_store, "ChkMatchWholeWord", "1"));
    showPanel(!m_chkHideHelp->isChecked());
}

void frmDocFormatReplace::saveSettings()
{
    m_fileList->stopScan();
    auto flag = [](QCheckBox* box) { return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); };
    m_store.write(kSection, QStringLiteral("ChkHideHellp"), flag(m_chkHideHelp));
    m_store.write(kSection, QStringLiteral("ChkMatchCase"), flag(m_chkMatchCase));
    m_store.write(kSection, QStringLiteral("ChkMatchWholeWord"), flag(m_chkMatchWholeWord));
}

void frmDocFormatReplace::showPanel(bool help)
{
    // The panel shown sits at the left edge of the window; the other waits off it.
    placeTwips(m_frameHelp, help ? 0 : kHiddenLeft, 60, kPanelWidth, kPanelHeight);
    placeTwips(m_frame1, help ? kHiddenLeft : 0, 60, kPanelWidth, kPanelHeight);
    m_frameHelp->setVisible(help);
    m_frame1->setVisible(!help);
}

void frmDocFormatReplace::Command1_Click()
{
    const FileDialog::Choice choice = FileDialog::open(this, QStringLiteral("选择替换定义Word文件"), QString(),
                                                       QStringLiteral("WORD文件(*.doc;*.docx)|*.doc;*.docx"));
    m_txtDefine->setText(choice.file());
}

void frmDocFormatReplace::txtDefine_OLEDragDrop(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (isWordDrop(path, m_caps.wordNewFormats))
            m_txtDefine->setText(path);
    }
}

bool frmDocFormatReplace::openDefinitions(std::unique_ptr<FormatDefinitionTable>* table)
{
    FormatDefinitionTable::Status status;
    QString error;
    *table = FormatDefinitionTable::open(m_txtDefine->text(), &status, &error);
    const QString again = QStringLiteral("\n请从新设置替换定义文档。");
    switch (status) {
    case FormatDefinitionTable::Status::Ok:
        return true;
    case FormatDefinitionTable::Status::Unreadable:
        MessageBox::notice(this, QStringLiteral("不能读取替换定义文档：") + error, MessageBox::Icon::Error);
        return false;
    case FormatDefinitionTable::Status::NoTable:
        MessageBox::notice(this, QStringLiteral("替换定义需要以表格形式放在Word文档中！") + again,
                           MessageBox::Icon::Warning, QStringLiteral("没有找到替换定义"));
        return false;
    case FormatDefinitionTable::Status::OneColumn:
        MessageBox::notice(this, QStringLiteral("替换定义需要以两列表格形式放在Word文档中！") + again,
                           MessageBox::Icon::Warning, QStringLiteral("替换定义格式不对"));
        return false;
    }
    return false;
}

void frmDocFormatReplace::OKButton_Click()
{
    if (isRunning())
        return;
    const QStringList files = m_fileList->model().paths();
    if (files.isEmpty()) {
        MessageBox::notice(this, QStringLiteral("没有需要处理的文档！"));
        return;
    }
    if (!QFileInfo(m_txtDefine->text()).isFile()) {
        MessageBox::notice(this, QStringLiteral("请选择已设置好替换定义表格的Word文件！"));
        Command1_Click();
        return;
    }
    OptionsPanel& mainOptions = mainWindow().options();
    if (mainOptions.txtLog()->text().trimmed().isEmpty()) {
        MessageBox::notice(this, QStringLiteral("请输入日志文件名！"));
        mainOptions.Command1_Click();
        return;
    }
    if (!openDefinitions(&m_table))
        return;

    formatreplace::FormatReplaceOptions options;
    options.onlyFirst = m_chkOnly1->isChecked();
    options.matchCase = m_chkMatchCase->isChecked();
    options.wholeWord = m_chkMatchWholeWord->isChecked();
    options.wildcards = m_chkMatchWildcards->isChecked();
    m_log = std::make_unique<ProcessLog>(mainOptions.txtLog()->text());
    m_okButton->setEnabled(false);
    m_fileList->setLocked(true);
    setCursor(Qt::BusyCursor);
    startRun(
        [this, options, files] {
            formatreplace::FormatReplaceRun run(*m_table, options, *m_log);
            run.setProgress([this](int number) {
                QMetaObject::invokeMethod(this, [this, number] {
                    m_lblProcessing->setText(QStringLiteral("正在处理第 %1 个文件").arg(number));
                }, Qt::QueuedConnection);
            });
            m_summary = run.run(files);
        },
        [this] { runFinished(); });
}

void frmDocFormatReplace::runFinished()
{
    m_table.reset();
    unsetCursor();
    m_okButton->setEnabled(true);
    m_fileList->setLocked(false);
    MessageBox::notice(this, formatreplace::FormatReplaceRun::summaryText(m_summary), MessageBox::Icon::Information,
                       applicationTitle());
    m_lblProcessing->setText(QStringLiteral("处理完毕！"));
    if (!m_summary.failures)
        return;
    const auto answer = MessageBox::show(this, QStringLiteral("日志文件记录了处理过程中发生的异常，\n是否查看日志文件？"),
                                         MessageBox::Icon::Question, MessageBox::Buttons::OkCancel,
                                         MessageBox::Answer::Ok);
    if (answer == MessageBox::Answer::Ok)
        Desktop::openFile(m_log->path());
}

} // namespace varnel::ui
