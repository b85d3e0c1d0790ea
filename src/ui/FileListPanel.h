#pragma once
// The file list panel ("待处理文件"): ListView2 with its four buttons CmdFileOp(0) to CmdFileOp(3) (add
// files, add folder, remove, clear), drops from the file manager, the row tooltip, and the count and
// progress labels of the window. Adding a folder scans on a worker thread; scanningChanged tells the
// window to hold the start button meanwhile.

#include "core/SettingsStore.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListRules.h"
#include "office/OfficeEngines.h"

#include <QObject>

#include <array>
#include <functional>

class QLabel;
class QTreeView;
class QPushButton;
class QWidget;

namespace varnel::ui {

class FolderScanJob;

class FileListPanel : public QObject
{
    Q_OBJECT
public:
    // Builds ListView2 and the buttons inside frame. settings and caps belong to the window and are read
    // when a command runs.
    FileListPanel(QWidget* frame, QLabel* lblInput, QLabel* lblProcessing, MainSettings& settings,
                  const OfficeCapabilities& caps, QWidget* dialogParent);

    // A tool window's list differs from the main window's: its own add-files filter, drop rule and count
    // form after adding a folder, removing and clearing. Members left empty keep the main window's rules.
    struct Rules {
        QString addFilesFilter;
        std::function<bool(const QString&)> dropAdmits;
        bool itemsFormAlways = false; // "项" after every command
        bool dropKeepsDuplicates = false; // a drop appends every admitted file, even one already listed
        bool ownAddFilesFolder = false;   // the add-files dialog starts in its default folder, remembers none
        bool questionMarkSweepAlways = false; // every command, not only add files, refuses paths with "?"
        // The add-folder dialog in Word mode (FrmPath::setWordMode) with these extra patterns; its folder
        // is not preset and nothing of it is remembered.
        bool addFolderWordMode = false;
        QStringList addFolderWordPatterns{};
        // The add-folder dialog in Excel mode (FrmPath::setExcelMode); nothing of it is remembered.
        bool addFolderExcelMode = false;
    };
    void setRules(Rules rules) { m_rules = std::move(rules); }

    FileListModel& model() { return m_model; }

    void CmdFileOp_Click(int index);
    void ListView2_OLEDragDrop(const QStringList& paths);
    void ListView2_ItemClick(const QModelIndex& index);

    // While a run works through the list its rows must stay put: commands and drops are refused.
    void setLocked(bool locked);
    bool isScanning() const;
    // Ends a folder scan that is still running (the window is closing).
    void stopScan();
    // Width of Frame1 in twips: the list fills it but for the buttons' column on the right.
    void layoutWidth(int frameWidth);

signals:
    void scanningChanged(bool scanning);

private:
    void addFiles();
    void addFolder();
    void removeFiles();
    void clearAll();
    void setCountLabel(CountForm form);
    void sweepQuestionMarks();
    void updateButtons();

    FileListModel m_model;
    QTreeView* m_view;
    std::array<QPushButton*, 4> m_buttons{};
    QLabel* m_lblInput;
    QLabel* m_lblProcessing;
    MainSettings& m_settings;
    const OfficeCapabilities& m_caps;
    QWidget* m_dialogParent;
    FolderScanJob* m_scan;
    bool m_recursiveScan = false;
    bool m_locked = false;
    Rules m_rules;
};

} // namespace varnel::ui
