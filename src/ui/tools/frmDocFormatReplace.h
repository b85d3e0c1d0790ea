#pragma once
// The Word formatted-replacement tool window: its own file list (Word files only), the definition
// document, four options and the run. A help panel and the work panel share one place; the shown one sits
// at the left edge, the hidden one far off to the right. The run works on a worker thread (the window
// stays live and shows which file it is on) and ends with the summary and, when the log got failures, the
// offer to open it. Settings section "FormatReplace": ChkHideHellp (spelled so in stored settings),
// ChkMatchCase and ChkMatchWholeWord; the wildcard and first-match options always start unticked.

#include "core/SettingsStore.h"
#include "office/OfficeEngines.h"
#include "tools/formatreplace/FormatReplaceRun.h"
#include "ui/tools/ToolWindow.h"

#include <memory>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnel::ui {

class FileListPanel;

class frmDocFormatReplace : public ToolWindow
{
    Q_OBJECT
public:
    explicit frmDocFormatReplace(frmMain& main);
    ~frmDocFormatReplace() override;

    static ToolWindow* create(frmMain& main) { return new frmDocFormatReplace(main); }

    FileListPanel& fileList() { return *m_fileList; }

    void CmdHelp_Click() { showPanel(true); }
    void CmdNext_Click() { showPanel(false); }
    void Command1_Click();
    void txtDefine_OLEDragDrop(const QStringList& paths);
    void OKButton_Click();

protected:
    void saveSettings() override;

private:
    void buildControls();
    void Form_Load();
    void showPanel(bool help);
    bool openDefinitions(std::unique_ptr<formatreplace::FormatDefinitionTable>* table);
    void runFinished();

    SettingsStore& m_store;
    MainSettings m_settings; // the list's folders, for this window only: nothing is remembered
    OfficeCapabilities m_caps; // the main window's, narrowed to Word

    QFrame* m_frameHelp = nullptr;
    QFrame* m_frame1 = nullptr;
    QCheckBox* m_chkHideHelp = nullptr;
    QLineEdit* m_txtDefine = nullptr;
    QCheckBox* m_chkMatchWildcards = nullptr;
    QCheckBox* m_chkOnly1 = nullptr;
    QCheckBox* m_chkMatchCase = nullptr;
    QCheckBox* m_chkMatchWholeWord = nullptr;
    QLabel* m_lblInput = nullptr;
    QLabel* m_lblProcessing = nullptr;
    QPushButton* m_okButton = nullptr;
    FileListPanel* m_fileList = nullptr;

    std::unique_ptr<formatreplace::FormatDefinitionTable> m_table;
    std::unique_ptr<ProcessLog> m_log;
    formatreplace::FormatReplaceSummary m_summary;
};

} // namespace varnel::ui
