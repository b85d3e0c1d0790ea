#pragma once
// Replacing a whole file safely: through the program's FileIo (a temporary file in the same folder, synced
// to disk and renamed over the original, whose permissions it keeps; tests can make it fail), followed by a
// sync of the folder so the rename itself survives a power cut.

#include <QByteArray>
#include <QString>

namespace varnel::office {

// False with a Chinese *error when the file could not be replaced; it is then untouched.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error);

} // namespace varnel::office
