#pragma once
// Finding the documents of a folder, for the "add folder" command of the window and the command line.

#include <QString>
#include <QStringList>

namespace varnel {

// The file types a folder scan takes by default: ".doc", ".docx", ".xls", ... ".php", lower case.
const QStringList& knownExtensions();

// The files of folder whose extension (see GetFileExt, compared ignoring case) is one of extensions, as
// absolute paths with "/". A folder's own files come before those of its subfolders; files and subfolders
// are each sorted by name ignoring case (ties ordinal), which is the order Windows shows. With recursive,
// subfolders are walked depth-first; symbolic links and junctions to folders are not followed, so a link
// loop cannot make the scan endless. Only regular files (and links to them) are taken, never a pipe, a
// socket or a device; Office lock files ("~$" names) are skipped; hidden files are taken like any other. Empty when the folder does not exist or cannot be listed.
QStringList scanFolder(const QString& folder, const QStringList& extensions, bool recursive);

// A type list as typed on the command line, ".txt, htm,.XLSX" -> {".txt", ".htm", ".xlsx"}: separated by
// commas, spaces trimmed, a missing leading dot added, a leading "*" dropped, lower case, empty entries
// and repeats dropped.
QStringList parseTypeList(const QString& text);

} // namespace varnel
