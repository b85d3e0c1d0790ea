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

    // The whole file, or nullopt with *error set. Only a regular file (or a link to one) is read: anything
    // else is refused with a reason, unopened.
    virtual std::optional<QByteArray> readAll(const QString& path, QString* error) const;
    // Replaces the content of the file at path with data, keeping its owner, group, mode, ACLs, extended
    // attributes and hard links (see replaceFileContents): a synced temporary file in the same folder is
    // renamed over the original when that loses nothing, else written over it in place. On failure the
    // original stays untouched (unless an in-place write failed half-way, which *error says).
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
