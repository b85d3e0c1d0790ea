#pragma once
// Replacing a whole file safely through the program's one write path, FileIo::writeAtomically (a synced
// temporary file in the same folder, renamed over the original or written over it in place so that its
// owner, group, mode, ACLs, extended attributes and hard links are kept; tests can make it fail), with
// the error worded for the log line.

#include <QByteArray>
#include <QString>

namespace varnel::office {

// False with a Chinese *error when the file could not be replaced; it is then untouched, unless the error
// says an in-place write failed half-way.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error);

} // namespace varnel::office
