#pragma once
// The run's user interface in the window: message boxes captioned with the application title, the
// dialogs that fix a failed input check (handed to the window), the progress label, and the desktop's
// text editor for the log. It lives on the window's thread; ThreadedUserInterface carries the calls of a
// run on a worker thread over to it.

#include "core/UserInterface.h"

#include <functional>

class QLabel;
class QObject;
class QWidget;

namespace varnel::ui {

class WindowUserInterface : public UserInterface
{
public:
    using FixerFn = std::function<void(Fixer)>;

    WindowUserInterface(QWidget* parent, QLabel* progressLabel, FixerFn openFixer);

    // Shows a skippable notice (the window's frmMsgbox, which keeps "不再提示此问题" for the program's life);
    // without one, skippable notices are ordinary notices.
    void setSkippableNoticeWindow(std::function<void(const QString&)> show) { m_skippable = std::move(show); }

    void notice(const QString& text, Icon icon = Icon::Information, const QString& title = {}) override;
    void skippableNotice(const QString& text) override;
    Answer ask(Question question, const QString& text, Buttons buttons, Answer defaultAnswer) override;
    void showSummary(const QString& text) override;
    void openFixer(Fixer fixer) override;
    void progress(const QString& status) override;
    void openInTextEditor(const QString& path) override;

private:
    QWidget* m_parent;
    QLabel* m_progressLabel;
    FixerFn m_openFixer;
    std::function<void(const QString&)> m_skippable;
};

// Forwards every call to a user interface that lives on the thread of `context`. From another thread the
// caller waits until the call has run there (a question needs its answer before the run goes on); the
// progress text alone is posted without waiting. Calls from the context's own thread go straight through.
class ThreadedUserInterface : public UserInterface
{
public:
    ThreadedUserInterface(UserInterface& target, QObject* context);

    void notice(const QString& text, Icon icon = Icon::Information, const QString& title = {}) override;
    void skippableNotice(const QString& text) override;
    Answer ask(Question question, const QString& text, Buttons buttons, Answer defaultAnswer) override;
    void showSummary(const QString& text) override;
    void openFixer(Fixer fixer) override;
    void progress(const QString& status) override;
    void openInTextEditor(const QString& path) override;

private:
    void call(const std::function<void()>& fn);

    UserInterface& m_target;
    QObject* m_context;
};

} // namespace varnel::ui
