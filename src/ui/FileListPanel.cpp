#include "ui/FileListPanel.h"

#include "ui/DropTargets.h"
#include "ui/FileDialog.h"
#include "ui/FolderScanJob.h"
#include "ui/FrmPath.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

namespace varnel::ui {

namespace {

constexpr int kListLeft = 120;
constexpr int kButtonsRoom = 1260; // the list is this much narrower than its frame
constexpr int kButtonWidth = 1005;

} // namespace

FileListPanel::FileListPanel(QWidget* frame, QLabel* lblInput, QLabel* lblProcessing, MainSettings& settings,
                             const OfficeCapabilities& caps, QWidget* dialogParent)
    : QObject(frame)
    , m_lblInput(lblInput)
    , m_lblProcessing(lblProcessing)
    , m_settings(settings)
    , m_caps(caps)
    , m_dialogParent(dialogParent)
    , m_scan(new FolderScanJob(this))
{
    m_view = new QTreeView(frame);
    m_view->setObjectName(QStringLiteral("ListView2"));
    m_view->setAccessibleName(QStringLiteral("待处理文件"));
    m_view->setModel(&m_model);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->header()->setStretchLastSection(false);
    m_view->setColumnWidth(0, px(2611));

    const QString captions[4] = {QStringLiteral("添加文件"), QStringLiteral("添加目录"), QStringLiteral("移除文件"),
                                 QStringLiteral("全部清空")};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(captions[i], frame);
        button->setObjectName(QStringLiteral("CmdFileOp(%1)").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { CmdFileOp_Click(i); });
        m_buttons[static_cast<std::size_t>(i)] = button;
    }
    layoutWidth(12435);

    connect(FileDropFilter::install(m_view->viewport()), &FileDropFilter::filesDropped, this,
            &FileListPanel::ListView2_OLEDragDrop);
    connect(m_view, &QTreeView::clicked, this, &FileListPanel::ListView2_ItemClick);
    connect(m_scan, &FolderScanJob::folderScanned, this, [this](const QString&, const QStringList& files) {
        m_model.appendAll(files);
        if (m_recursiveScan)
            setCountLabel(CountForm::Items);
    });
    connect(m_scan, &FolderScanJob::finished, this, [this] {
        QApplication::restoreOverrideCursor();
        sweepQuestionMarks();
        setCountLabel(CountForm::Files);
        m_lblProcessing->clear();
        updateButtons();
        emit scanningChanged(false);
    });
}

void FileListPanel::layoutWidth(int frameWidth)
{
    const int listWidth = frameWidth - kButtonsRoom;
    if (listWidth < 0)
        return;
    placeTwips(m_view, kListLeft, 270, listWidth, 1725);
    m_view->setColumnWidth(0, px(std::max(0, listWidth - 50)));
    const int buttonsLeft = kListLeft + listWidth + 60;
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        placeTwips(m_buttons[i], buttonsLeft, 270 + static_cast<int>(i) * 450, kButtonWidth, 375);
}

void FileListPanel::CmdFileOp_Click(int index)
{
    if (m_locked)
        return;
    switch (index) {
    case 0: addFiles(); break;
    case 1: addFolder(); break;
    case 2: removeFiles(); break;
    case 3: clearAll(); break;
    default: break;
    }
}

void FileListPanel::addFiles()
{
    const FileDialog::Choice choice =
        FileDialog::open(m_dialogParent, QStringLiteral("新增"), m_rules.ownAddFilesFolder ? QString() : m_settings.addFilePath,
                         m_rules.addFilesFilter.isEmpty() ? addFilesFilter(m_caps) : m_rules.addFilesFilter, true);
    if (choice.cancelled())
        return;
    if (!m_rules.ownAddFilesFolder)
        m_settings.addFilePath = QFileInfo(choice.file()).absolutePath();
    m_model.appendAll(choice.files);
    sweepQuestionMarks();
    setCountLabel(CountForm::Items);
    m_lblProcessing->clear();
}

void FileListPanel::addFolder()
{
    if (m_scan->isRunning())
        return;
    FrmPath dialog(m_caps, m_dialogParent);
    const bool remember = !m_rules.addFolderWordMode && !m_rules.addFolderExcelMode;
    if (m_rules.addFolderWordMode)
        dialog.setWordMode(m_rules.addFolderWordPatterns);
    else if (m_rules.addFolderExcelMode)
        dialog.setExcelMode();
    if (remember && !m_settings.addDir.isEmpty() && QFileInfo(m_settings.addDir).isDir())
        dialog.setFolder(m_settings.addDir);
    if (remember && !m_settings.addExt.trimmed().isEmpty())
        dialog.setCustomPattern(m_settings.addExt);
    if (execModal(dialog) != QDialog::Accepted)
        return;

    const QString folder = dialog.folder();
    const bool recursive = dialog.includeSubfolders();
    const QString suffixList = dialog.suffixList();
    if (remember && dialog.customTicked())
        m_settings.addExt = dialog.customPattern();
    if (folder.trimmed().isEmpty() || suffixList.trimmed().isEmpty())
        return;
    if (remember)
        m_settings.addDir = folder;

    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_recursiveScan = recursive;
    m_scan->start(folder, suffixList, recursive);
    updateButtons();
    emit scanningChanged(true);
}

void FileListPanel::removeFiles()
{
    QList<int> rows;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows())
        rows.append(index.row());
    m_model.removeRowNumbers(rows);
    sweepQuestionMarks();
    setCountLabel(CountForm::Files);
    m_lblProcessing->clear();
}

void FileListPanel::clearAll()
{
    if (m_model.count() == 0)
        return;
    const auto answer = MessageBox::show(m_dialogParent, QStringLiteral("确定要清空处理列表吗？"),
                                         MessageBox::Icon::Question, MessageBox::Buttons::YesNo, MessageBox::Answer::Yes);
    if (answer == MessageBox::Answer::Yes)
        m_model.clear();
    sweepQuestionMarks();
    setCountLabel(CountForm::Files);
    m_lblProcessing->clear();
}

void FileListPanel::ListView2_OLEDragDrop(const QStringList& paths)
{
    if (m_locked)
        return;
    QStringList admitted;
    for (const QString& path : paths)
        if (m_rules.dropAdmits ? m_rules.dropAdmits(path) : dropAdmits(path, m_caps))
            admitted.append(path);
    m_model.appendAll(admitted, !m_rules.dropKeepsDuplicates);
    setCountLabel(CountForm::Items);
}

void FileListPanel::ListView2_ItemClick(const QModelIndex& index)
{
    if (index.isValid())
        m_view->setToolTip(m_model.paths().value(index.row()));
}

void FileListPanel::setLocked(bool locked)
{
    m_locked = locked;
    m_view->setAcceptDrops(!locked);
    updateButtons();
}

bool FileListPanel::isScanning() const
{
    return m_scan->isRunning();
}

void FileListPanel::stopScan()
{
    m_scan->stop();
}

void FileListPanel::setCountLabel(CountForm form)
{
    m_lblInput->setText(inputLabel(m_model.count(), m_rules.itemsFormAlways ? CountForm::Items : form));
}

void FileListPanel::sweepQuestionMarks()
{
    if (!m_rules.questionMarkSweepAlways)
        return;
    // Last row first, so removing a row leaves the rows still to look at where they were. A "?" in the
    // first place is left alone.
    for (int row = static_cast<int>(m_model.count()) - 1; row >= 0; --row) {
        const QString path = m_model.paths().at(row);
        if (path.indexOf(u'?', 1) < 0)
            continue;
        MessageBox::notice(m_dialogParent,
                           QStringLiteral("不能识别含有特殊字符的文件名：“%1”。\n建议改名后再添加该文件。").arg(path),
                           MessageBox::Icon::Error);
        m_model.removeRowNumbers({row});
    }
}

void FileListPanel::updateButtons()
{
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setEnabled(!m_locked && !(i == 1 && m_scan->isRunning()));
}

} // namespace varnel::ui
