#include "ui/main/RunController.h"

#include "ui/main/OptionsPanel.h"

#include <QThread>

namespace varnel::ui {

RunController::RunController(const EngineRegistry& engines, UserInterface& windowUi, const SharedOptions& options,
                             QObject* parent)
    : QObject(parent)
    , m_engines(engines)
    , m_ui(windowUi, this)
    , m_options(options)
{
    qRegisterMetaType<varnel::FileReport>();
    qRegisterMetaType<varnel::RunOutcome>();
}

RunController::~RunController()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

bool RunController::start(RunSetup setup)
{
    if (m_thread)
        return false;
    m_setup = std::move(setup);
    m_outcome = {};
    m_thread = QThread::create([this] {
        BatchRun run(m_engines, m_ui, [this] { return m_options.get(); });
        if (m_dictionaryLoader)
            run.setDictionaryLoader(m_dictionaryLoader);
        connect(&run, &BatchRun::busyChanged, this, &RunController::busyChanged, Qt::QueuedConnection);
        connect(&run, &BatchRun::fileFinished, this, &RunController::fileFinished, Qt::QueuedConnection);
        m_outcome = run.run(m_setup);
    });
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
        emit finished(m_outcome);
    });
    m_thread->start();
    return true;
}

} // namespace varnel::ui
