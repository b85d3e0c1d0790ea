#pragma once
// Replacing a whole file safely through the program's FileIo (a temporary file in the same folder, synced
// to disk and renamed over the original, whose permissions it keeps, then a sync of the folder; tests can
// make it fail), with the error worded for the log line.

#include <QByteArray>
#include <QString>

namespace varnel::office {

// False with a Chinese *error when the file could not be replaced; it is then untouched.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error);

} // namespace varnel::office
