#pragma once
// What every tool window shares. The main window's function switch CmbFunc opens a tool and hides
// itself; the tool's caption is the application title, " - " and its CmbFunc entry. Closing the tool
// stores its settings section, sets CmbFunc back to its first entry and shows the main window again. A
// tool that is running refuses to close until its run is over.

#include <QWidget>

#include <functional>

class QThread;

namespace varnel::ui {

class frmMain;

class ToolWindow : public QWidget
{
    Q_OBJECT
public:
    // A top-level window for the tool of CmbFunc entry `entry`; deleted once closed.
    ToolWindow(frmMain& main, int entry);

    frmMain& mainWindow() const { return m_main; }
    // A run started with startRun is going on.
    bool isRunning() const { return m_thread != nullptr; }

protected:
    // Stores the tool's settings section; called when the window closes. Nothing by default.
    virtual void saveSettings() {}
    // Whether the window may close now; false while its run goes on.
    virtual bool canClose() const { return !isRunning(); }

    // Runs work on a worker thread; finished is then called on the window's thread.
    void startRun(std::function<void()> work, std::function<void()> finished);
    // Waits for a run still going on: a tool's destructor calls it before its members go, since the run
    // uses them. The window refuses to close during a run, so this only guards a forced destruction.
    void waitForRun();

    void closeEvent(QCloseEvent* event) override;

private:
    frmMain& m_main;
    QThread* m_thread = nullptr;
};

} // namespace varnel::ui
