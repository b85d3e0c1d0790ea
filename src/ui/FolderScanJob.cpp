#include "ui/FolderScanJob.h"

#include "filelist/SuffixListScan.h"

#include <QThread>

namespace varnel::ui {

FolderScanJob::FolderScanJob(QObject* parent)
    : QObject(parent)
{
}

FolderScanJob::~FolderScanJob()
{
    if (m_thread) {
        m_stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

bool FolderScanJob::start(const QString& folder, const QString& suffixList, bool recursive)
{
    if (m_thread)
        return false;
    m_stop = false;
    m_thread = QThread::create([this, folder, suffixList, recursive] {
        scanFolderBySuffix(folder, suffixList, recursive, [this](const QString& scanned, const QStringList& files) {
            if (m_stop)
                return false;
            emit folderScanned(scanned, files);
            return !m_stop;
        });
    });
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
        emit finished();
    });
    m_thread->start();
    return true;
}

void FolderScanJob::stop()
{
    if (!m_thread)
        return;
    m_stop = true;
    m_thread->wait();
}

} // namespace varnel::ui
