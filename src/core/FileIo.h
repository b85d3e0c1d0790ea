#pragma once
// All whole-file reads and writes of the engines go through FileIo, so tests can inject a failing write
// (a full disk, a locked file) without touching the real file system.

#include <QByteArray>
#include <QString>

#include <optional>

namespace varnel {

class FileIo
{
public:
    virtual ~FileIo() = default;

    // The whole file, or nullopt with *error set.
    virtual std::optional<QByteArray> readAll(const QString& path, QString* error) const;
    // Replaces the file at path with data: written to a temporary file in the same folder, flushed to
    // disk and renamed over the original, which keeps its permissions; then the folder is synced so the
    // rename is durable too. On failure the original stays untouched and *error says why.
    virtual bool writeAtomically(const QString& path, const QByteArray& data, QString* error) const;

    // The instance in use (the real file system unless a test installed another).
    static const FileIo& current();
};

// Installs another FileIo for the lifetime of the guard (tests only).
class ScopedFileIo
{
public:
    explicit ScopedFileIo(const FileIo& io);
    ~ScopedFileIo();
    ScopedFileIo(const ScopedFileIo&) = delete;
    ScopedFileIo& operator=(const ScopedFileIo&) = delete;

private:
    const FileIo* m_previous;
};

} // namespace varnel
