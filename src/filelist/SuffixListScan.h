#pragma once
// The folder scan of the add-folder dialog, which names the admitted types as a suffix list: one string
// with each entry followed by "|", e.g. ".doc|.docx|.xls|.xlsx|.xlsm|" or "*.txt|". A file is admitted
// when its extension followed by "|" occurs in the list (letter case ignored), so a pattern such as
// "*.txt" works by containing ".txt|"; a list holding "*.*|" admits every file.

#include <QString>
#include <QStringList>

#include <functional>

namespace varnel {

// Whether the list admits the file name. A name without "." has no extension: only "*.*|" admits it
// (its whole name is not taken for an extension, so a file named "doc" is not a Word document).
bool suffixListAdmits(const QString& suffixList, const QString& fileName);

// The suffix list of the dialog's choices: ".doc|.docx|" for Word, ".xls|.xlsx|.xlsm|" for Excel,
// ".ppt|.pptx|" for PowerPoint, then the custom pattern followed by "|" when one is given.
QString buildSuffixList(bool word, bool excel, bool powerPoint, const QString& customPattern = {});

// Called with each folder (absolute, "/") and its admitted files; returning false stops the scan.
using FolderFilesFn = std::function<bool(const QString& folder, const QStringList& files)>;

// Walks a folder: its own admitted files first (one call of onFolder, possibly with none), then, when
// recursive, each subfolder the same way, depth first. Files and subfolders are each taken in name order
// ignoring case. Only regular files (and links to them) are taken, never a pipe, a socket or a device;
// Office lock files ("~$" names) are skipped, hidden files taken; symbolic links to folders
// are not followed, so a link loop cannot make the scan endless. A folder that cannot be listed
// contributes nothing. Returns false when onFolder stopped the scan.
bool scanFolderBySuffix(const QString& folder, const QString& suffixList, bool recursive, const FolderFilesFn& onFolder);

// All admitted files of the walk above, in its order.
QStringList scanFolderBySuffix(const QString& folder, const QString& suffixList, bool recursive);

} // namespace varnel
