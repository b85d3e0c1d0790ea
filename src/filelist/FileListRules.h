#pragma once
// The admission rules of the window's file list: which types the add-files dialog offers and which
// dropped files are taken, both from what this build can edit (OfficeCapabilities), and the count label.

#include "office/OfficeEngines.h"

#include <QString>

namespace varnel {

// The count label has two forms: "项" after adding files, a drop and while a folder is scanned, "个"
// after adding a folder, removing and clearing.
enum class CountForm { Items, Files };

// "待处理文件：0项", the label of a window that has just opened.
QString initialInputLabel();
// "待处理文件" N "项" or "待处理文件" N "个" (no colon).
QString inputLabel(qsizetype count, CountForm form);

// The filter of the add-files dialog as "description|patterns|description|patterns...", patterns
// separated by ";": the Word, Excel and PowerPoint entries only for types this build can edit, with
// their new formats when it edits those, then text, HTML, XML and all files.
QString addFilesFilter(const OfficeCapabilities& caps);

// Whether a file dropped on the list is taken, by the ending of its name (any letter case): .doc .rtf
// when Word is supported, .docx also needs the new Word formats, likewise .xls/.xlsx and .ppt/.pptx;
// .htm .html .txt always. Every other ending (.xlsm and .xml among them) is refused.
bool dropAdmits(const QString& path, const OfficeCapabilities& caps);

} // namespace varnel
