#pragma once
// Every message box of the program goes through here, captioned with the application title unless a
// title is given. Tests switch on test mode: no box is shown, each is recorded, and the answer is the next
// one queued with setNextAnswer, or the box's default button when none is queued.

#include "core/UserInterface.h"

#include <QList>
#include <QString>

class QWidget;

namespace varnel::ui {

class MessageBox
{
public:
    using Icon = UserInterface::Icon;
    using Buttons = UserInterface::Buttons;
    using Answer = UserInterface::Answer;

    struct Shown {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
        Answer answer;
    };

    // A modal box; `defaultAnswer` is the button Enter presses. Closing it by its frame answers Cancel
    // (OK/Cancel) or No (Yes/No).
    static Answer show(QWidget* parent, const QString& text, Icon icon, Buttons buttons, Answer defaultAnswer,
                       const QString& title = {});
    // A notice with an OK button.
    static void notice(QWidget* parent, const QString& text, Icon icon = Icon::Information, const QString& title = {});

    // Switches test mode on or off, forgetting queued answers and recorded boxes.
    static void setTestMode(bool on);
    static void setNextAnswer(Answer answer);
    // The boxes shown in test mode, oldest first.
    static const QList<Shown>& shown();
    static void clearShown();
};

} // namespace varnel::ui
