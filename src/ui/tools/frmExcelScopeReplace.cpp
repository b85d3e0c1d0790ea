#include "ui/tools/frmExcelScopeReplace.h"

#include "core/PathUtil.h"
#include "definitions/DictionaryLoader.h"
#include "ui/DropTargets.h"
#include "ui/FileDialog.h"
#include "ui/FileListPanel.h"
#include "ui/MessageBox.h"
#include "ui/OptionCheckBox.h"
#include "ui/Twips.h"
#include "ui/WindowUserInterface.h"
#include "ui/frmMsgbox.h"
#include "ui/main/frmMain.h"
#include "ui/tools/DictionaryExample.h"
#include "ui/tools/ScopePanel.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <exception>

namespace varnel::ui {

using excelscope::ExcelScopeOptions;
using excelscope::ExcelScopeSummary;

namespace {

const QString kSection = QStringLiteral("ExcelScopeReplace");
constexpr int kWidth = 9600;

QLabel* makeLabel(QWidget* parent, const QString& text, int left, int top, int width)
{
    auto* label = new QLabel(text, parent);
    placeTwips(label, left, top, width, 255);
    return label;
}

// The list takes Excel workbooks only, whatever else the build can edit.
OfficeCapabilities excelOnly(const OfficeCapabilities& caps)
{
    OfficeCapabilities excel;
    excel.hasExcel = caps.hasExcel;
    excel.excelNewFormats = caps.excelNewFormats;
    return excel;
}

// A dropped workbook the list takes, by the end of its name in any letter case.
bool isWorkbookDrop(const QString& path, bool newFormats)
{
    const QString upper = path.toUpper();
    return upper.endsWith(QLatin1String(".XLS"))
        || (newFormats && (upper.endsWith(QLatin1String(".XLSX")) || upper.endsWith(QLatin1String(".XLSM"))));
}

ExcelScopeSummary runExcelScope(const ExcelScopeOptions& options, const QString& dictionary,
                                const QStringList& workbooks, UserInterface& ui,
                                const frmExcelScopeReplace::RunReports& reports)
{
    excelscope::ExcelScopeRun run(options, ui);
    run.setDefinitionCount(reports.definitionCount);
    run.setProgress(reports.progress);
    return run.run(dictionary, workbooks);
}

} // namespace

frmExcelScopeReplace::frmExcelScopeReplace(frmMain& main)
    : ToolWindow(main, 3)
    , m_store(main.store())
    , m_settings(main.settings())
    , m_caps(excelOnly(main.capabilities()))
    , m_runner(runExcelScope)
{
    setObjectName(QStringLiteral("frmExcelScopeReplace"));
    buildControls();
    Form_Load();
}

frmExcelScopeReplace::~frmExcelScopeReplace()
{
    waitForRun();
}

void frmExcelScopeReplace::buildControls()
{
    setFixedSize(px(kWidth), px(8040));

    auto* files = new QGroupBox(QStringLiteral("待处理文件"), this);
    files->setObjectName(QStringLiteral("Frame1"));
    placeTwips(files, 120, 60, kWidth - 240, 2565);
    m_lblInput = new QLabel(files);
    m_lblInput->setObjectName(QStringLiteral("lblInput"));
    placeTwips(m_lblInput, 240, 2100, 4200, 255);

    auto* progress = new QGroupBox(QStringLiteral("进  度"), this);
    progress->setObjectName(QStringLiteral("FrameProgress"));
    placeTwips(progress, 120, 6660, kWidth - 240, 615);
    m_lblProcessing = new QLabel(progress);
    m_lblProcessing->setObjectName(QStringLiteral("lblProcessing"));
    placeTwips(m_lblProcessing, 240, 270, kWidth - 720, 255);

    // Created in the order Tab follows: the list, the dictionary, the options, the scope, the buttons.
    buildFileList(files);
    buildDictionary();
    buildOptions();
    m_scope = new ScopePanel(this, 5190, kWidth - 240);

    m_cmdRun = new QPushButton(QStringLiteral("替 换"), this);
    m_cmdRun->setObjectName(QStringLiteral("CmdRun"));
    placeTwips(m_cmdRun, 5940, 7440, 1395, 375);
    connect(m_cmdRun, &QPushButton::clicked, this, &frmExcelScopeReplace::CmdRun_Click);
    auto* back = new QPushButton(QStringLiteral("返回"), this);
    back->setObjectName(QStringLiteral("CmdBack"));
    placeTwips(back, 7560, 7440, 1395, 375);
    connect(back, &QPushButton::clicked, this, &QWidget::close);

    m_ui = std::make_unique<WindowUserInterface>(this, m_lblProcessing, [this](UserInterface::Fixer fixer) {
        if (fixer == UserInterface::Fixer::ChooseDictionary)
            Command2_Click();
    });
    m_ui->setSkippableNoticeWindow([this](const QString& text) { mainWindow().noticeWindow().showMessage(text); });
    m_threadedUi = std::make_unique<ThreadedUserInterface>(*m_ui, this);
}

void frmExcelScopeReplace::buildDictionary()
{
    auto* label = makeLabel(this, QStringLiteral("替换定义Excel文件："), 120, 2745, 4000);
    m_txtDictExcel = new QLineEdit(this);
    m_txtDictExcel->setObjectName(QStringLiteral("txtDictExcel"));
    m_txtDictExcel->setAccessibleName(label->text());
    placeTwips(m_txtDictExcel, 120, 3030, 5520, 315);
    label->setBuddy(m_txtDictExcel);
    connect(FileDropFilter::install(m_txtDictExcel), &FileDropFilter::filesDropped, this,
            &frmExcelScopeReplace::txtDictExcel_OLEDragDrop);
    auto* command2 = new QPushButton(QStringLiteral("..."), this);
    command2->setObjectName(QStringLiteral("Command2"));
    command2->setAccessibleName(QStringLiteral("选择替换定义Excel文件"));
    placeTwips(command2, 5700, 3015, 600, 345);
    connect(command2, &QPushButton::clicked, this, &frmExcelScopeReplace::Command2_Click);
    m_lblIRepCount = makeLabel(this, QString(), 120, 3420, 4000);
    m_lblIRepCount->setObjectName(QStringLiteral("lbl_IRepCount"));

    const QString exampleCaption = QStringLiteral("定义文件示例：");
    makeLabel(this, exampleCaption, 6480, 2745, 3000);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setAccessibleName(exampleCaption);
    picture->setFrameShape(QFrame::Box);
    placeTwips(picture, 6480, 3030, 3000, 2040);
    picture->setPixmap(dictionaryExamplePixmap(picture->contentsRect().size()));
}

void frmExcelScopeReplace::buildOptions()
{
    auto* frame = new QGroupBox(QStringLiteral("选  项"), this);
    frame->setObjectName(QStringLiteral("FrameOptions"));
    placeTwips(frame, 120, 3720, 6240, 1350);
    m_chkMatchCase = makeOptionCheck(frame, "ChkMatchCase", QStringLiteral("区分大小写（全角半角）"), 180, 270, 2950);
    m_chkWholeCell = makeOptionCheck(frame, "ChkWholeCell", QStringLiteral("替换Excel文档时单元格匹配"), 3180, 270, 2950);
    m_chkXlsWildcard = makeOptionCheck(frame, "ChkXlsWildcard", QStringLiteral("使用通配符替换Excel文档"), 180, 630, 2950);
    m_chkXlsPageHeader = makeOptionCheck(frame, "ChkXlsPageHeader", QStringLiteral("替换Excel文档页眉页脚"), 3180, 630, 2950);
    m_chkXlsSheetName = makeOptionCheck(frame, "ChkXlsSheetName", QStringLiteral("替换Excel文档中工作表名称"), 180, 990, 2950);
}

void frmExcelScopeReplace::buildFileList(QWidget* frame)
{
    m_fileList = new FileListPanel(frame, m_lblInput, m_lblProcessing, m_settings, m_caps, this);
    m_fileList->layoutWidth(kWidth - 240);
    const bool newFormats = m_caps.excelNewFormats;
    FileListPanel::Rules rules;
    rules.addFilesFilter = newFormats ? QStringLiteral("Excel工作簿(*.xls;*.xlsx;*.xlsm)|*.xls;*.xlsx;*.xlsm")
                                      : QStringLiteral("Excel工作簿(*.xls)|*.xls");
    rules.dropAdmits = [newFormats](const QString& path) { return isWorkbookDrop(path, newFormats); };
    rules.itemsFormAlways = true;
    rules.dropKeepsDuplicates = true;
    rules.ownAddFilesFolder = true;
    rules.questionMarkSweepAlways = true;
    rules.addFolderExcelMode = true;
    m_fileList->setRules(std::move(rules));
    connect(m_fileList, &FileListPanel::scanningChanged, this,
            [this](bool scanning) { m_cmdRun->setEnabled(!scanning && !isRunning()); });
}

void frmExcelScopeReplace::Form_Load()
{
    m_lblIRepCount->clear();
    m_lblInput->clear();
    restoreCheck(m_chkXlsWildcard, m_store, kSection, 0);
    restoreCheck(m_chkWholeCell, m_store, kSection, 0);
    restoreCheck(m_chkXlsSheetName, m_store, kSection, 0);
    restoreCheck(m_chkXlsPageHeader, m_store, kSection, 0);
    restoreCheck(m_chkMatchCase, m_store, kSection, 2);
    m_scope->restore(m_store, kSection);
}

void frmExcelScopeReplace::saveSettings()
{
    m_fileList->stopScan();
    storeCheck(m_chkXlsWildcard, m_store, kSection);
    storeCheck(m_chkWholeCell, m_store, kSection);
    storeCheck(m_chkXlsSheetName, m_store, kSection);
    storeCheck(m_chkXlsPageHeader, m_store, kSection);
    storeCheck(m_chkMatchCase, m_store, kSection);
    m_scope->store(m_store, kSection);
}

void frmExcelScopeReplace::Command2_Click()
{
    const QString filter = m_caps.excelNewFormats ? QStringLiteral("(*.xls;*.xlsx)|*.xls;*.xlsx")
                                                  : QStringLiteral("(*.xls)|*.xls");
    const FileDialog::Choice choice = FileDialog::open(this, QStringLiteral("替换定义Excel文件："),
                                                       QCoreApplication::applicationDirPath(), filter);
    if (!choice.file().trimmed().isEmpty())
        m_txtDictExcel->setText(choice.file());
}

void frmExcelScopeReplace::txtDictExcel_OLEDragDrop(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const QString ext = GetFileExt(paths.first());
    if (ext.compare(QLatin1String(".xls"), Qt::CaseInsensitive) == 0
        || ext.compare(QLatin1String(".xlsx"), Qt::CaseInsensitive) == 0)
        m_txtDictExcel->setText(paths.first());
}

ExcelScopeOptions frmExcelScopeReplace::options() const
{
    ExcelScopeOptions options;
    options.matchCase = m_chkMatchCase->value() != 0;
    options.wholeCell = m_chkWholeCell->value() == 1;
    options.wildcards = m_chkXlsWildcard->value() != 0;
    options.sheetNames = m_chkXlsSheetName->value() != 0;
    options.pageHeaders = m_chkXlsPageHeader->value() != 0;
    m_scope->fill(options);
    return options;
}

bool frmExcelScopeReplace::inputsComplete()
{
    // The first missing input is named, and where it goes gets the focus.
    const auto refuse = [this](const QString& text, QWidget* focus) {
        MessageBox::notice(this, text);
        if (focus)
            focus->setFocus();
        return false;
    };
    if (m_fileList->model().count() == 0)
        return refuse(QStringLiteral("没有需要处理的文档！"), nullptr);
    if (m_txtDictExcel->text().trimmed().isEmpty()) {
        refuse(QStringLiteral("请输入替换定义Excel文件！"), nullptr);
        Command2_Click();
        return false;
    }
    if (const auto missing = m_scope->missing())
        return refuse(missing->message, missing->focus);
    return true;
}

void frmExcelScopeReplace::CmdRun_Click()
{
    if (isRunning() || m_fileList->isScanning() || !inputsComplete())
        return;
    const ExcelScopeOptions scope = options();
    const QString dictionary = m_txtDictExcel->text().trimmed();
    const QStringList workbooks = m_fileList->model().paths();

    setRunning(true);
    startRun([this, scope, dictionary, workbooks] {
        RunReports reports;
        reports.definitionCount = [this](int count) {
            QMetaObject::invokeMethod(this, [this, count] {
                m_lblIRepCount->setText(dictionaryCountText(count));
            }, Qt::QueuedConnection);
        };
        reports.progress = [this](int number) {
            m_threadedUi->progress(QStringLiteral("正在处理第 %1 个文件").arg(number));
        };
        // Whatever goes wrong, the window must get its start button and pointer back.
        try {
            m_runner(scope, dictionary, workbooks, *m_threadedUi, reports);
        } catch (const std::exception& error) {
            m_threadedUi->notice(QStringLiteral("替换过程中发生错误：") + QString::fromLocal8Bit(error.what()),
                                 UserInterface::Icon::Error);
        } catch (...) {
            m_threadedUi->notice(QStringLiteral("替换过程中发生错误。"), UserInterface::Icon::Error);
        }
    }, [this] {
        // The progress stays as the run left it: "处理完毕！" only after a run that went through.
        setRunning(false);
    });
}

void frmExcelScopeReplace::setRunning(bool running)
{
    // The rows must stay put while the run works through them; the run took its options when it started.
    m_fileList->setLocked(running);
    m_cmdRun->setEnabled(!running);
    if (running)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace varnel::ui
