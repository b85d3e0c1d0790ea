#include "core/AllocatorTuning.h"
#include "core/SettingsStore.h"
#include "office/OfficeEngines.h"
#include "ui/main/SampleContent.h"
#include "ui/SingleInstance.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using namespace varnel;

// Usage: varnel
//        varnel --screenshot PATH   (shows sample content, saves a picture of the window to PATH and ends;
//                                    uses throw-away settings and no instance lock)
int main(int argc, char* argv[])
{
    varnel::tuneAllocatorForBatches();
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Varnel"));
    QCoreApplication::setApplicationName(QStringLiteral("Varnel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("5.45"));

    const QStringList args = QCoreApplication::arguments();
    const qsizetype shotAt = args.indexOf(QStringLiteral("--screenshot"));
    const QString screenshotPath = shotAt >= 0 ? args.value(shotAt + 1) : QString();
    if (shotAt >= 0 && screenshotPath.isEmpty())
        return 2;

    ui::SingleInstance instance;
    if (screenshotPath.isEmpty() && !instance.acquire())
        return 0;

    EngineRegistry engines;
    registerOfficeEngines(engines);
    QTemporaryDir scratch;
    std::unique_ptr<QtSettingsStore> store = screenshotPath.isEmpty()
                                                 ? std::make_unique<QtSettingsStore>()
                                                 : std::make_unique<QtSettingsStore>(scratch.filePath("settings.ini"));

    ui::frmMain window(*store, engines);
    window.load();
    window.show();
    if (!screenshotPath.isEmpty()) {
        ui::fillSampleContent(window);
        QTimer::singleShot(1000, &window, [&] {
            const bool saved = window.grab().save(screenshotPath);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
