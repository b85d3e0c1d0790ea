#include "ui/MessageBox.h"

#include "ui/AppInfo.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace varnel::ui {

namespace {

struct TestState {
    bool on = false;
    QList<MessageBox::Answer> answers;
    QList<MessageBox::Shown> shown;
};

TestState& testState()
{
    static TestState state;
    return state;
}

QMessageBox::StandardButton standardButton(MessageBox::Answer answer)
{
    switch (answer) {
    case MessageBox::Answer::Ok: return QMessageBox::Ok;
    case MessageBox::Answer::Cancel: return QMessageBox::Cancel;
    case MessageBox::Answer::Yes: return QMessageBox::Yes;
    case MessageBox::Answer::No: break;
    }
    return QMessageBox::No;
}

QMessageBox::Icon messageIcon(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Icon::Question: return QMessageBox::Question;
    case MessageBox::Icon::Warning: return QMessageBox::Warning;
    case MessageBox::Icon::Error: return QMessageBox::Critical;
    case MessageBox::Icon::Information: break;
    }
    return QMessageBox::Information;
}

} // namespace

MessageBox::Answer MessageBox::show(QWidget* parent, const QString& text, Icon icon, Buttons buttons,
                                    Answer defaultAnswer, const QString& title)
{
    const QString caption = title.isEmpty() ? applicationTitle() : title;
    TestState& state = testState();
    if (state.on) {
        const Answer answer = state.answers.isEmpty() ? defaultAnswer : state.answers.takeFirst();
        state.shown.append({caption, text, icon, buttons, answer});
        return answer;
    }

    QMessageBox box(messageIcon(icon), caption, text, QMessageBox::NoButton, parent);
    Answer escape = Answer::Ok;
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
        box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
        escape = Answer::No;
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
        escape = Answer::Cancel;
        break;
    }
    if (QAbstractButton* ok = box.button(QMessageBox::Ok))
        ok->setText(QStringLiteral("确定"));
    box.setDefaultButton(standardButton(defaultAnswer));
    box.setEscapeButton(standardButton(escape));
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: break;
    }
    return escape;
}

void MessageBox::notice(QWidget* parent, const QString& text, Icon icon, const QString& title)
{
    show(parent, text, icon, Buttons::Ok, Answer::Ok, title);
}

void MessageBox::setTestMode(bool on)
{
    testState() = {};
    testState().on = on;
}

void MessageBox::setNextAnswer(Answer answer)
{
    testState().answers.append(answer);
}

const QList<MessageBox::Shown>& MessageBox::shown()
{
    return testState().shown;
}

void MessageBox::clearShown()
{
    testState().shown.clear();
    testState().answers.clear();
}

} // namespace varnel::ui
