#pragma once
// Converts documents with LibreOffice (`soffice --headless --convert-to`), so tests can check that what an
// engine saved still opens in another office program.

#include <QByteArray>
#include <QString>

namespace varnel::test {

// The document converted with the filter ("fodt", "html", "txt:Text (encoded):UTF8"): the bytes of the
// output file, whose name ends in extension. Empty when soffice is missing, does not finish, or writes
// nothing (it may exit with 0 all the same).
QByteArray convertByLibreOffice(const QString& path, const QString& filter, const QString& extension);

// The document as LibreOffice's plain-text export shows it, without a byte-order mark.
QString textByLibreOffice(const QString& path);

} // namespace varnel::test
