#pragma once
// The Excel scope tool window, entry 3 of the main window's function switch: its own file list (Excel
// workbooks only), the dictionary workbook, its own five Excel options and the three scope conditions
// (a range of rows, a range of columns, a condition on worksheet names), and "替 换", which runs
// ExcelScopeRun on a worker thread while the window stays live.
//
// Check boxes hold 0, 1 or 2 (grey). The scope conditions (ScopePanel) count only at 1; how each option
// counts grey is in options().
//
// Settings section "ExcelScopeReplace": the five options, ChkRows with the two row texts and ChkColumns
// with the two column texts, stored when the window closes; the texts are stored empty when their box
// is not ticked. The sheet condition and the dictionary path are not kept.

#include "core/SettingsStore.h"
#include "office/OfficeEngines.h"
#include "tools/excelscope/ExcelScopeOptions.h"
#include "tools/excelscope/ExcelScopeRun.h"
#include "ui/tools/ToolWindow.h"

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace varnel::ui {

class FileListPanel;
class OptionCheckBox;
class ScopePanel;
class ThreadedUserInterface;
class WindowUserInterface;

class frmExcelScopeReplace : public ToolWindow
{
    Q_OBJECT
public:
    // What a run reports to the window besides its messages: the count of definitions read, and the
    // 1-based number of each workbook as it starts.
    struct RunReports {
        std::function<void(int)> definitionCount;
        std::function<void(int)> progress;
    };
    // The run behind "替 换"; called on the worker thread. ExcelScopeRun by default.
    using Runner = std::function<excelscope::ExcelScopeSummary(
        const excelscope::ExcelScopeOptions& options, const QString& dictionary, const QStringList& workbooks,
        UserInterface& ui, const RunReports& reports)>;

    explicit frmExcelScopeReplace(frmMain& main);
    ~frmExcelScopeReplace() override;

    static ToolWindow* create(frmMain& main) { return new frmExcelScopeReplace(main); }

    FileListPanel& fileList() { return *m_fileList; }
    void setRunner(Runner runner) { m_runner = std::move(runner); }
    // The options and scope of a run, read from the controls.
    excelscope::ExcelScopeOptions options() const;

    void Command2_Click();
    void txtDictExcel_OLEDragDrop(const QStringList& paths);
    void CmdRun_Click();

protected:
    void saveSettings() override;

private:
    void buildControls();
    void buildDictionary();
    void buildOptions();
    void buildFileList(QWidget* frame);
    void Form_Load();
    bool inputsComplete();
    void setRunning(bool running);

    SettingsStore& m_store;
    MainSettings m_settings;   // the list's dialogs start from a copy; nothing is remembered
    OfficeCapabilities m_caps; // Excel only

    OptionCheckBox* m_chkMatchCase = nullptr;
    OptionCheckBox* m_chkXlsPageHeader = nullptr;
    OptionCheckBox* m_chkXlsSheetName = nullptr;
    OptionCheckBox* m_chkWholeCell = nullptr;
    OptionCheckBox* m_chkXlsWildcard = nullptr;
    QLineEdit* m_txtDictExcel = nullptr;
    QLabel* m_lblIRepCount = nullptr;
    QLabel* m_lblInput = nullptr;
    QLabel* m_lblProcessing = nullptr;
    QPushButton* m_cmdRun = nullptr;
    ScopePanel* m_scope = nullptr;
    FileListPanel* m_fileList = nullptr;

    std::unique_ptr<WindowUserInterface> m_ui;
    std::unique_ptr<ThreadedUserInterface> m_threadedUi;
    Runner m_runner;
};

} // namespace varnel::ui
