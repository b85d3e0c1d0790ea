#pragma once
// The zip archive under a package, over libzip: the list of entries, bounded reads, and a rewrite that
// copies unchanged entries in their compressed form.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <ctime>

struct zip;
struct zip_source;

namespace varnel::office {

struct ZipEntry {
    QString name;
    quint64 index = 0;          // libzip's index
    qint64 size = 0;            // inflated size, as the archive declares it
    qint64 compressedSize = 0;
    quint16 method = 0;         // compression method
    bool encrypted = false;
    std::time_t modified = 0;
};

class ZipArchive
{
public:
    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Opens read-only with libzip's strict consistency checks; false with a Chinese *error, and *notAZip
    // set when the file is no zip archive at all (so the caller can look for what else it is).
    bool open(const QString& path, QString* error, bool* notAZip = nullptr);
    // The same over bytes in memory, which must outlive the archive.
    bool openBytes(const QByteArray& bytes, QString* error);

    const QList<ZipEntry>& entries() const { return m_entries; }
    // Index into entries() of the entry with exactly this name, or -1.
    qsizetype indexOf(const QString& name) const;

    // Inflates an entry into *data. Reads in small steps and stops as soon as the data runs past the size
    // the archive declares or past limit, so a lying header cannot exhaust memory. CRC errors fail.
    bool read(const ZipEntry& entry, qint64 limit, QByteArray* data, QString* error) const;

    // Leaves the entry of that name out of every rewrite.
    void leaveOut(const QString& name) { m_leftOut.insert(name); }

    // A new archive, in memory, with the entries in the same order: those named in replacements get the
    // new content (deflated), those left out are dropped, every other one is copied compressed as it is.
    bool rewrite(const QHash<QString, QByteArray>& replacements, QByteArray* out, QString* error) const;
    // The same, with additions (new entries, deflated) appended after the existing ones.
    bool rewrite(const QHash<QString, QByteArray>& replacements, const QList<QPair<QString, QByteArray>>& additions,
                 QByteArray* out, QString* error) const;

private:
    bool load(zip* archive, QString* error);

    zip* m_zip = nullptr;
    QList<ZipEntry> m_entries;
    QSet<QString> m_leftOut;
};

} // namespace varnel::office
