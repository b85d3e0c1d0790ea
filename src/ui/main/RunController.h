#pragma once
// Runs the batch of the start button on a worker thread, so the window repaints and answers while files
// are processed. The run talks to the person through the window's user interface, each call carried over
// to the window's thread; it reads the options for every file from the shared copy the options panel keeps
// current. Signals arrive on the window's thread.

#include "core/BatchRun.h"
#include "ui/WindowUserInterface.h"

#include <QObject>

class QThread;

namespace varnel::ui {

class SharedOptions;

class RunController : public QObject
{
    Q_OBJECT
public:
    RunController(const EngineRegistry& engines, UserInterface& windowUi, const SharedOptions& options,
                  QObject* parent = nullptr);
    // Waits for a run still going (the window refuses to close during one, so this is only a safeguard).
    ~RunController() override;

    void setDictionaryLoader(BatchRun::DictionaryLoader loader) { m_dictionaryLoader = std::move(loader); }

    // Starts a run of setup; false while another is going (from its input checks to its last question).
    bool start(RunSetup setup);
    bool isRunning() const { return m_thread != nullptr; }
    // The outcome and the file list (with renamed rows) of the last finished run.
    const RunOutcome& lastOutcome() const { return m_outcome; }

signals:
    // The run's controls are locked (true) or free again (false).
    void busyChanged(bool busy);
    void fileFinished(const varnel::FileReport& report);
    // The run is over, its last question answered; emitted also when an input check stopped it.
    void finished(const varnel::RunOutcome& outcome);

private:
    const EngineRegistry& m_engines;
    ThreadedUserInterface m_ui;
    const SharedOptions& m_options;
    BatchRun::DictionaryLoader m_dictionaryLoader;
    QThread* m_thread = nullptr;
    RunSetup m_setup;
    RunOutcome m_outcome;
};

} // namespace varnel::ui
