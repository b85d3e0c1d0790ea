#pragma once
// Path helpers shared by the run driver, the renaming step and the file lists. Paths use "/".

#include <QString>
#include <QStringList>

namespace varnel {

// From the last "." to the end, dot included; the whole text when there is no ".".
QString GetFileExt(const QString& path);
// Up to and including the last "/"; empty when there is none.
QString GetParentPath(const QString& path);
// After the last "/"; the whole text when there is none.
QString GetFileName(const QString& path);
// True when a row of the list equals the text exactly.
bool ListContainsText(const QStringList& rows, const QString& text);
// True when the text holds one of \ " / : * ? < > |, the characters a Windows file name cannot hold.
bool HasInvalidNameChar(const QString& text);

} // namespace varnel
