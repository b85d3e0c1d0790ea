#pragma once
// The converter's text file routines: read the whole file in the encoding the detector finds (ANSI as
// GB18030, UTF-8, UTF-16LE), convert its text and write it back in the same encoding, through the
// program's one write path, only when the text changed. A file left unchanged keeps its bytes and its
// time stamp. A failure at any step leaves the file as it was and comes back as false with *error set
// to a description for the log line.

#include "tools/widthconvert/WidthText.h"

#include <QString>

namespace varnel::widthconvert {

bool FileToFullWidth(const QString& path, QString* error);
bool FileToHalfWidth(const QString& path, QString* error);
bool FilePunctuationToFullWidth(const QString& path, QString* error);

// The routine of mode; *changed, when given, says whether the file was written.
bool convertTextFile(WidthMode mode, const QString& path, QString* error, bool* changed = nullptr);

} // namespace varnel::widthconvert
