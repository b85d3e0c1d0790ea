#pragma once
// Small .xlsx packages written part by part, for tests that need a workbook of a precise shape (a cell of
// one type, a sheet that starts below row 1, a broken part) without a fixture file for each.

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace varnel::test {

// Writes a zip archive of these (name, bytes) entries, in order; fails the test on error.
void writeZipEntries(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& entries);

struct MiniWorkbook {
    QList<QByteArray> sheets;  // the inner XML of each worksheet's <sheetData>, named Sheet1, Sheet2, ...
    QList<QString> names;      // the names of the first sheets, when not Sheet1, Sheet2, ...
    QList<QByteArray> tails;   // what follows <sheetData> in the first worksheets (headerFooter, sheetProtection)
    int activeTab = 0;
    QByteArray cellXfs;        // the <xf> elements of cellXfs; one General entry when empty
    QByteArray numFmts;        // the <numFmt> elements of numFmts
    QByteArray sharedStrings;  // the <si> elements of the shared string table; no table when empty

    // The package's entries; a test may change one before writing them.
    QList<std::pair<QByteArray, QByteArray>> entries() const;
    void write(const QString& path) const;
};

// A row of inline-string cells: row(3, {"旧", "新"}) is <row r="3"> with A3 and B3; an empty text leaves
// its cell out.
QByteArray inlineRow(int row, const QList<QString>& texts);
// One cell with the given inner XML and attributes: cell("A1", "<v>12</v>", "s=\"1\"").
QByteArray cell(const char* reference, const QByteArray& inner, const QByteArray& attributes = {});

} // namespace varnel::test
