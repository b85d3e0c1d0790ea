#pragma once
// The admission rules of the full-width/half-width converter's file list, which takes Word documents and
// text files only (the main window's list takes every type the build can edit: FileListRules).

#include "office/OfficeEngines.h"

#include <QString>

namespace varnel {

// "WORD文件(*.doc;*.rtf)|*.doc;*.rtf|文本文件(*.txt)|*.txt", the Word entry with .docx when the build
// edits the new Word formats.
QString converterAddFilesFilter(const OfficeCapabilities& caps);
// A dropped file is taken when its name ends in .doc, .txt or (with the new Word formats) .docx, in any
// letter case. Whether Word documents can be edited at all is not asked: the converter's window only
// opens when they can.
bool converterDropAdmits(const QString& path, const OfficeCapabilities& caps);

} // namespace varnel
