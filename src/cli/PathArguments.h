#pragma once
// The files named by a command's PATH arguments, in order and each once: a file as it is named (whatever
// its extension), a folder by its files of the given types (also those of its subfolders when recursive).

#include <QStringList>

#include <optional>

namespace varnel::cli {

// nullopt with *missing set to the first argument that names nothing.
std::optional<QStringList> filesOfPaths(const QStringList& paths, const QStringList& folderTypes, bool recursive,
                                        QString* missing);

} // namespace varnel::cli
