#pragma once
// What every tool window shares. The main window's function switch CmbFunc opens a tool and hides
// itself; the tool's caption is the application title, " - " and its CmbFunc entry. Closing the tool
// stores its settings section, sets CmbFunc back to its first entry and shows the main window again. A
// tool that is running refuses to close until its run is over.

#include <QWidget>

namespace varnel::ui {

class frmMain;

class ToolWindow : public QWidget
{
    Q_OBJECT
public:
    // A top-level window for the tool of CmbFunc entry `entry`; deleted once closed.
    ToolWindow(frmMain& main, int entry);

    frmMain& mainWindow() const { return m_main; }

protected:
    // Stores the tool's settings section; called when the window closes. Nothing by default.
    virtual void saveSettings() {}
    // Whether the window may close now; false while its run goes on. True by default.
    virtual bool canClose() const { return true; }

    void closeEvent(QCloseEvent* event) override;

private:
    frmMain& m_main;
};

} // namespace varnel::ui
