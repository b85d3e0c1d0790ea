#pragma once
// Just enough of the OLE compound file format (read through libgsf) to tell what a file that is not a zip archive is: an Office
// 97-2003 binary document, or an OOXML package encrypted with a password (which Office stores as the
// stream "EncryptedPackage" inside a compound file).

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace varnel::office {

// The first bytes of a compound file: D0 CF 11 E0 A1 B1 1A E1.
bool hasCompoundFileSignature(QByteArrayView head);

// The names of every stream and storage in the compound file at path; empty when the file cannot be read
// or its structure is broken.
QStringList compoundFileEntryNames(const QString& path);

} // namespace varnel::office
