#pragma once
// The main window: the file list, the definitions, the options and the log, the start button that runs
// the batch, and the right-hand help panel with what this build can edit. load() is the start-up after the
// controls exist (title, log path, stored settings, capabilities); closing stores the settings. The
// window's work is split by panel: FileListPanel, DefinitionPanel, OptionsPanel and RunController.

#include "core/DocumentEngine.h"
#include "core/SettingsStore.h"
#include "office/OfficeEngines.h"
#include "ui/tools/ToolWindows.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace varnel::ui {

class DefinitionPanel;
class FileListPanel;
class OptionsPanel;
class RunController;
class WindowUserInterface;
class frmMsgbox;

class frmMain : public QWidget
{
    Q_OBJECT
public:
    frmMain(SettingsStore& store, const EngineRegistry& engines, QWidget* parent = nullptr);
    ~frmMain() override;

    // Form_Load: title, labels, log path, stored settings, capabilities and their status labels.
    void load();

    FileListPanel& fileList() { return *m_fileList; }
    DefinitionPanel& definitions() { return *m_definitions; }
    OptionsPanel& options() { return *m_options; }
    RunController& runController() { return *m_run; }
    const OfficeCapabilities& capabilities() const { return m_caps; }
    const MainSettings& settings() const { return m_settings; }
    // The notice with "不再提示此问题"; one for the life of the window, only ever hidden.
    frmMsgbox& noticeWindow();
    SettingsStore& store() { return m_store; }
    const EngineRegistry& engines() const { return m_engines; }

    // The text of a CmbFunc entry, as a tool window's caption shows it.
    QString functionEntryText(int entry) const;
    // A tool window closed: CmbFunc goes back to its first entry and this window shows again.
    void returnFromTool();
    // Where the tool windows come from (toolFactory by default); entries without a tool are disabled.
    void setToolFactories(std::function<ToolFactory(int)> factories);

    void CmdDo_Click();
    void CmbFunc_Click(int index);
    void picHelpLink_Click();
    // The help page shipped beside the program.
    static QString helpPagePath();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void Form_Resize();
    void Form_Unload();
    void showCapabilities();
    void openFixer(UserInterface::Fixer fixer);
    void runBusy(bool busy);
    void runFinished();
    void updateStartButton();
    void enableToolEntries();

    SettingsStore& m_store;
    const EngineRegistry& m_engines;
    OfficeCapabilities m_caps;
    MainSettings m_settings;

    QComboBox* m_cmbFunc = nullptr;
    QGroupBox* m_frame1 = nullptr;
    QGroupBox* m_frame2 = nullptr;
    QGroupBox* m_frame3 = nullptr;
    QGroupBox* m_frame4 = nullptr;
    QGroupBox* m_frame5 = nullptr;
    QGroupBox* m_frame6 = nullptr;
    QLabel* m_lblProcessing = nullptr;
    QLabel* m_lblInput = nullptr;
    QPushButton* m_cmdDo = nullptr;
    std::array<QLabel*, 3> m_lblBaseMsg{};

    FileListPanel* m_fileList = nullptr;
    DefinitionPanel* m_definitions = nullptr;
    OptionsPanel* m_options = nullptr;
    std::unique_ptr<WindowUserInterface> m_ui;
    RunController* m_run = nullptr;
    frmMsgbox* m_msgbox = nullptr;
    bool m_runBusy = false;
    std::function<ToolFactory(int)> m_toolFactories = toolFactory;
    // Widths in twips of the frames that follow the window's width, kept as the last valid values.
    int m_frame1Width = 12435;
};

} // namespace varnel::ui
