#pragma once
// Opening files and pages with the desktop's default programs (the log in its text editor, the help page
// in the browser). The path goes to the desktop as a file URL, never through a shell. Tests switch on
// test mode, where nothing is opened and every URL is recorded.

#include <QList>
#include <QUrl>

namespace varnel::ui {

class Desktop
{
public:
    static bool openUrl(const QUrl& url);
    static bool openFile(const QString& path) { return openUrl(QUrl::fromLocalFile(path)); }

    static void setTestMode(bool on);
    static const QList<QUrl>& opened();
};

} // namespace varnel::ui
