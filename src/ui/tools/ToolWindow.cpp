#include "ui/tools/ToolWindow.h"

#include "ui/AppInfo.h"
#include "ui/main/frmMain.h"

#include <QCloseEvent>
#include <QThread>

namespace varnel::ui {

ToolWindow::ToolWindow(frmMain& main, int entry)
    : QWidget(nullptr)
    , m_main(main)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(applicationTitle() + QStringLiteral(" - ") + main.functionEntryText(entry));
}

void ToolWindow::startRun(std::function<void()> work, std::function<void()> finished)
{
    m_thread = QThread::create(std::move(work));
    connect(m_thread, &QThread::finished, this, [this, finished = std::move(finished)] {
        waitForRun();
        finished();
    });
    m_thread->start();
}

void ToolWindow::waitForRun()
{
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

void ToolWindow::closeEvent(QCloseEvent* event)
{
    if (!canClose()) {
        event->ignore();
        return;
    }
    saveSettings();
    event->accept();
    m_main.returnFromTool();
}

} // namespace varnel::ui
