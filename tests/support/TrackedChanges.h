#pragma once
// Reads what LibreOffice makes of a document with tracked changes, from its flat OpenDocument export
// (`soffice --convert-to fodt`).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace varnel::test {

// The body text of a flat OpenDocument text with every tracked change accepted (or rejected): each
// paragraph ends in '|', and a paragraph whose end lies in a change that goes away runs on into the next.
// *authors, when given, receives the author of every change.
QString fodtText(const QByteArray& fodt, bool accept, QStringList* authors = nullptr);

// The document converted by LibreOffice to flat OpenDocument; empty when soffice is missing or fails.
QByteArray fodtByLibreOffice(const QString& path);

} // namespace varnel::test
