#pragma once
// A whole OLE compound file in memory, over libgsf: read it into a flat list of its storages and streams,
// or write such a list as a new compound file. An encrypted OOXML package is saved by writing back every
// entry it had (the data-space storages Office adds among them) with only the encryption streams new.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace varnel::office {

struct CompoundFileEntry {
    QString path;      // "EncryptionInfo", "\u0006DataSpaces/DataSpaceMap": names joined by "/"
    bool storage = false;
    QByteArray data;   // a stream's content; empty for a storage
};

class CompoundFileTree
{
public:
    // Every entry below the root, each storage before what it holds; false with a Chinese *error when the
    // bytes are no readable compound file.
    static bool read(const QByteArray& file, QList<CompoundFileEntry>* entries, QString* error);
    // A compound file holding the entries (a storage listed before its content); false with *error.
    static bool write(const QList<CompoundFileEntry>& entries, QByteArray* file, QString* error);
    // The names of every storage and stream in the compound file at path (not the root), without reading
    // any stream; empty when the file cannot be read or is no compound file.
    static QStringList entryNames(const QString& path);
    // The stream at path, or nullptr.
    static const CompoundFileEntry* find(const QList<CompoundFileEntry>& entries, const QString& path);
};

} // namespace varnel::office
