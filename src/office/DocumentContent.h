#pragma once
// What a document file holds, judged by its bytes and never by its name. Office opens a file by its
// content, so a .doc may well be a package, RTF or a web page saved under that name, and the engine that
// edits it must be the one of what it holds.

#include <QString>

namespace varnel {

enum class DocumentContent {
    Unknown,            // none of the below
    Package,            // a zip archive that is no readable OOXML package of a known kind
    WordPackage,        // .docx .docm .dotx
    ExcelPackage,       // .xlsx .xlsm
    PowerPointPackage,  // .pptx
    Rtf,
    CompoundFile,       // an OLE compound file of no known kind (an encrypted package, for one)
    WordBinary,         // Word 97-2003
    ExcelBinary,        // Excel 97-2003
    PowerPointBinary,   // PowerPoint 97-2003
    Html,
    Mht,                // a web archive (MIME, multipart/related)
};

// Reads the file's first bytes and, for a zip archive or a compound file, its directory.
DocumentContent documentContentOf(const QString& path);

// What the content is, for a log line: "HTML网页", "Excel工作簿（.xlsx）".
QString documentContentName(DocumentContent content);

} // namespace varnel
