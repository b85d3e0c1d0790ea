#pragma once
// Folder entries that are no regular files, for tests that check a path is never opened as a document.

#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

namespace varnel::test {

// A named pipe. A reader that opens it is let go at once (a writer opens and closes it, so the reader
// sees the end of the data): code that wrongly opens the pipe fails its test instead of hanging it.
class TestFifo
{
public:
    explicit TestFifo(const QString& path);
    ~TestFifo();
    TestFifo(const TestFifo&) = delete;
    TestFifo& operator=(const TestFifo&) = delete;

    // Someone opened the pipe for reading.
    bool wasOpened() const { return m_opened; }

private:
    QString m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_opened{false};
    std::thread m_watcher;
};

// Creates a bound Unix socket at path; fails the test on error.
void makeSocket(const QString& path);

// Fills folder with entries named "<x>" + ext: the documents a.ext (a regular file) and b.ext (a link to
// it), and beside them sock (a socket), zero (a link to /dev/zero) and broken (a link to nothing).
// Returns the two documents' absolute paths. A named pipe, which needs a TestFifo, is the caller's.
QStringList makeMixedEntries(const QString& folder, const QString& ext);

} // namespace varnel::test
