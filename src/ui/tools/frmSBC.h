#pragma once
// The full-width/half-width converter window, entry 1 of the main window's function switch: three mode
// options, its own file list (Word documents and text files), and "批量替换", which converts every listed
// document on a worker thread while the window stays live. Failures go to the main window's log file.
// The mode is stored under SBCDBC/Cmd when the window closes and selected again when it opens.

#include "core/SettingsStore.h"
#include "office/OfficeEngines.h"
#include "tools/widthconvert/WidthText.h"
#include "ui/WindowUserInterface.h"
#include "ui/tools/ToolWindow.h"

#include <memory>

class QLabel;
class QPushButton;
class QRadioButton;

namespace varnel::ui {

class FileListPanel;

class frmSBC : public ToolWindow
{
    Q_OBJECT
public:
    explicit frmSBC(frmMain& main);
    ~frmSBC() override;

    FileListPanel& fileList() { return *m_fileList; }
    widthconvert::WidthMode mode() const;

    void OKButton_Click();

signals:
    // A run is over, its last question answered.
    void runFinished();

protected:
    void saveSettings() override;

private:
    void buildControls();
    void Form_Load();
    void setRunning(bool running);

    MainSettings m_settings;      // the list's dialogs start from a copy; nothing is remembered
    OfficeCapabilities m_caps;    // Word and text only
    QRadioButton* m_optSBC2DBC = nullptr;
    QRadioButton* m_optDBC2SBC = nullptr;
    QRadioButton* m_optPunctuation = nullptr;
    QLabel* m_lblInput = nullptr;
    QLabel* m_lblProcessing = nullptr;
    QPushButton* m_okButton = nullptr;
    FileListPanel* m_fileList = nullptr;
    std::unique_ptr<WindowUserInterface> m_ui;
    std::unique_ptr<ThreadedUserInterface> m_threadedUi;
};

// The factory toolFactory gives for entry 1.
ToolWindow* makeFrmSBC(frmMain& main);

} // namespace varnel::ui
