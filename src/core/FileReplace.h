#pragma once
// Replacing the whole content of a file without losing what the file is besides its bytes.
//
// The new content is first written completely to a temporary file in the same folder and synced to disk.
// When the temporary file can take on everything the original has (owner, group, mode, ACLs and other
// extended attributes) and the original has no other names (hard links), it is renamed over the original:
// at every moment the path holds either the whole old or the whole new file. Otherwise the rename would
// cost something: a file owned by someone else would become the writer's, and another name of the file
// would keep the old text. Then the content is written over the original in place, keeping its inode
// and so everything else; the synced temporary copy is removed only once the original is synced, and is
// left (and named in the error) if writing the original fails half-way.

#include <QByteArray>
#include <QString>

namespace varnel {

// Replaces the content of the file at path (a symbolic link is followed: the link stays, its target gets
// the content), or creates the file. False with *error set when it could not; the original is then
// untouched, except when an in-place write failed half-way, which *error says.
bool replaceFileContents(const QString& path, const QByteArray& data, QString* error);

} // namespace varnel
