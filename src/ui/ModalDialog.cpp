#include "ui/ModalDialog.h"

#include <QDialog>
#include <QList>

namespace varnel::ui {

namespace {

struct TestState {
    bool on = false;
    QList<ModalHook> hooks;
};

TestState& testState()
{
    static TestState state;
    return state;
}

} // namespace

int execModal(QDialog& dialog)
{
    TestState& state = testState();
    if (!state.hooks.isEmpty()) {
        const ModalHook hook = state.hooks.takeFirst();
        return hook(dialog);
    }
    if (state.on)
        return QDialog::Rejected;
    return dialog.exec();
}

void queueModalHook(ModalHook hook)
{
    testState().hooks.append(std::move(hook));
}

void setModalTestMode(bool on)
{
    testState() = {};
    testState().on = on;
}

} // namespace varnel::ui
