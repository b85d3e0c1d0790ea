#include "ui/tools/ToolWindow.h"

#include "ui/AppInfo.h"
#include "ui/main/frmMain.h"

#include <QCloseEvent>

namespace varnel::ui {

ToolWindow::ToolWindow(frmMain& main, int entry)
    : QWidget(nullptr)
    , m_main(main)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(applicationTitle() + QStringLiteral(" - ") + main.functionEntryText(entry));
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
