#include "ui/Desktop.h"

#include <QDesktopServices>

namespace varnel::ui {

namespace {

struct TestState {
    bool on = false;
    QList<QUrl> opened;
};

TestState& testState()
{
    static TestState state;
    return state;
}

} // namespace

bool Desktop::openUrl(const QUrl& url)
{
    if (testState().on) {
        testState().opened.append(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}

void Desktop::setTestMode(bool on)
{
    testState() = {};
    testState().on = on;
}

const QList<QUrl>& Desktop::opened()
{
    return testState().opened;
}

} // namespace varnel::ui
