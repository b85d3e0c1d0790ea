#pragma once
// Small helpers for tests that work on real files in a temporary folder.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "support/QtPrinters.h"

namespace varnel::test {

// Writes bytes to a file, creating its folder; fails the test on error.
void writeFile(const QString& path, const QByteArray& bytes);
// The bytes of a file; fails the test when it cannot be read.
QByteArray readFile(const QString& path);
// Writes "x" into each named file under the folder; returns their absolute paths in the same order.
QStringList makeFiles(const QString& folder, const QStringList& names);
// A file of tests/data.
QString dataPath(const QString& name);

} // namespace varnel::test
