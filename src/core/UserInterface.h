#pragma once
// How the GUI-free core talks to the person running it. The window answers with message boxes and
// dialogs, the command line with its flags, tests with scripted answers.

#include <QString>

namespace varnel {

class UserInterface
{
public:
    enum class Icon { Information, Question, Warning, Error };
    enum class Buttons { Ok, YesNo, OkCancel };
    enum class Answer { Ok, Cancel, Yes, No };
    // The dialog that fixes a failed input check of a run.
    enum class Fixer { ChooseDictionary, AddDefinition, ChooseLogFile };

    virtual ~UserInterface() = default;

    // A message box captioned with the application title (or `title` when given) and an OK button.
    virtual void notice(const QString& text, Icon icon = Icon::Information, const QString& title = {}) = 0;
    // A notice with a "不再提示此问题" box: once the person ticks it, this and later calls show nothing
    // until the program ends. Front ends without such a box show an ordinary notice.
    virtual void skippableNotice(const QString& text) { notice(text); }
    // Which question is asked, so that a front end without a person (the command line) can answer it
    // from its flags.
    enum class Question { UnknownExtension, OverwriteOnRename, ViewLog, Other };

    // A question with the question icon; `defaultAnswer` is the button Enter presses.
    virtual Answer ask(Question question, const QString& text, Buttons buttons, Answer defaultAnswer) = 0;
    // The summary at the end of a run (a notice in the window, the standard output on the command line).
    virtual void showSummary(const QString& text) = 0;
    // Opens the dialog that fixes a failed input check.
    virtual void openFixer(Fixer fixer) = 0;
    // The status line of a long operation ("正在处理第 3 个文件").
    virtual void progress(const QString& status) = 0;
    // Opens a file in the desktop's text editor.
    virtual void openInTextEditor(const QString& path) = 0;
};

} // namespace varnel
