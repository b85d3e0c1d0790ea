#include "ui/WindowUserInterface.h"

#include "ui/Desktop.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QThread>

namespace varnel::ui {

namespace {

// A busy pointer over a message box would say the program cannot be used; the box shows the normal one.
class NormalPointer
{
public:
    NormalPointer()
        : m_busy(QApplication::overrideCursor() != nullptr)
    {
        if (m_busy)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~NormalPointer()
    {
        if (m_busy)
            QApplication::restoreOverrideCursor();
    }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    bool m_busy;
};

} // namespace

WindowUserInterface::WindowUserInterface(QWidget* parent, QLabel* progressLabel, FixerFn openFixer)
    : m_parent(parent)
    , m_progressLabel(progressLabel)
    , m_openFixer(std::move(openFixer))
{
}

void WindowUserInterface::notice(const QString& text, Icon icon, const QString& title)
{
    NormalPointer pointer;
    MessageBox::notice(m_parent, text, icon, title);
}

void WindowUserInterface::skippableNotice(const QString& text)
{
    if (!m_skippable) {
        notice(text);
        return;
    }
    NormalPointer pointer;
    m_skippable(text);
}

UserInterface::Answer WindowUserInterface::ask(Question, const QString& text, Buttons buttons, Answer defaultAnswer)
{
    NormalPointer pointer;
    return MessageBox::show(m_parent, text, Icon::Question, buttons, defaultAnswer);
}

void WindowUserInterface::showSummary(const QString& text)
{
    NormalPointer pointer;
    MessageBox::notice(m_parent, text);
}

void WindowUserInterface::openFixer(Fixer fixer)
{
    if (m_openFixer)
        m_openFixer(fixer);
}

void WindowUserInterface::progress(const QString& status)
{
    m_progressLabel->setText(status);
    m_progressLabel->repaint();
}

void WindowUserInterface::openInTextEditor(const QString& path)
{
    Desktop::openFile(path);
}

ThreadedUserInterface::ThreadedUserInterface(UserInterface& target, QObject* context)
    : m_target(target)
    , m_context(context)
{
}

void ThreadedUserInterface::call(const std::function<void()>& fn)
{
    if (QThread::currentThread() == m_context->thread())
        fn();
    else
        QMetaObject::invokeMethod(m_context, fn, Qt::BlockingQueuedConnection);
}

void ThreadedUserInterface::notice(const QString& text, Icon icon, const QString& title)
{
    call([&] { m_target.notice(text, icon, title); });
}

void ThreadedUserInterface::skippableNotice(const QString& text)
{
    call([&] { m_target.skippableNotice(text); });
}

UserInterface::Answer ThreadedUserInterface::ask(Question question, const QString& text, Buttons buttons,
                                                 Answer defaultAnswer)
{
    Answer answer = defaultAnswer;
    call([&] { answer = m_target.ask(question, text, buttons, defaultAnswer); });
    return answer;
}

void ThreadedUserInterface::showSummary(const QString& text)
{
    call([&] { m_target.showSummary(text); });
}

void ThreadedUserInterface::openFixer(Fixer fixer)
{
    call([&] { m_target.openFixer(fixer); });
}

void ThreadedUserInterface::progress(const QString& status)
{
    if (QThread::currentThread() == m_context->thread())
        m_target.progress(status);
    else
        QMetaObject::invokeMethod(m_context, [this, status] { m_target.progress(status); }, Qt::QueuedConnection);
}

void ThreadedUserInterface::openInTextEditor(const QString& path)
{
    call([&] { m_target.openInTextEditor(path); });
}

} // namespace varnel::ui
