#pragma once
// A folder scan on a worker thread, so a large tree keeps the window responsive. The files of each folder
// arrive on the window's thread as one folderScanned signal, in the scan's order; finished follows the
// last of them.

#include <QObject>
#include <QStringList>

#include <atomic>

class QThread;

namespace varnel::ui {

class FolderScanJob : public QObject
{
    Q_OBJECT
public:
    explicit FolderScanJob(QObject* parent = nullptr);
    // Stops a scan still running and waits for its thread.
    ~FolderScanJob() override;

    // Starts a scan (see scanFolderBySuffix); false when one is running.
    bool start(const QString& folder, const QString& suffixList, bool recursive);
    bool isRunning() const { return m_thread != nullptr; }
    // Asks a running scan to stop after the folder it is listing and waits for it; finished still follows.
    void stop();

signals:
    void folderScanned(const QString& folder, const QStringList& files);
    void finished();

private:
    QThread* m_thread = nullptr;
    std::atomic_bool m_stop{false};
};

} // namespace varnel::ui
