#pragma once
// Reading back what an engine saved: the entries of a zip package, and what Excel's Find would see in a
// workbook. Header-only, for the test programs that link the office library.

#include "office/package/ZipArchive.h"
#include "office/xlsx/XlsxSheetCells.h"
#include "office/xlsx/XlsxWorkbook.h"

#include <QHash>

#include <gtest/gtest.h>

namespace varnel::test {

// Every entry of the zip archive in the file, inflated, by name; fails the test when it cannot be read.
inline QHash<QString, QByteArray> zipEntries(const QString& path)
{
    office::ZipArchive archive;
    QString error;
    QHash<QString, QByteArray> result;
    EXPECT_TRUE(archive.open(path, &error)) << error.toStdString();
    for (const office::ZipEntry& entry : archive.entries()) {
        QByteArray data;
        EXPECT_TRUE(archive.read(entry, 1 << 26, &data, &error)) << error.toStdString();
        result.insert(entry.name, data);
    }
    return result;
}

// One entry of a zip archive held in memory, inflated; empty when there is no such entry.
inline QByteArray zipEntry(const QByteArray& zip, const QString& name)
{
    office::ZipArchive archive;
    QString error;
    QByteArray data;
    if (!archive.openBytes(zip, &error) || archive.indexOf(name) < 0)
        return {};
    archive.read(archive.entries().at(archive.indexOf(name)), 1 << 26, &data, &error);
    return data;
}

// What Find sees in a cell of the workbook's sheet at index (in workbook order); empty when no such cell.
// An encrypted workbook is opened with the password.
inline QString xlsxCellText(const QString& path, int sheet, const QString& reference, const QString& password = {})
{
    QString error;
    const auto workbook = office::XlsxWorkbook::open(path, &error, password);
    EXPECT_TRUE(workbook) << error.toStdString();
    if (!workbook)
        return {};
    const pugi::xml_node root = workbook->root(workbook->sheets().at(size_t(sheet)).part, &error);
    return office::XlsxSheetCells(root, workbook->strings(), workbook->styles()).textAt(reference);
}

// The workbook's sheet names in order; empty when it does not open.
inline QStringList xlsxSheetNames(const QString& path)
{
    QString error;
    const auto workbook = office::XlsxWorkbook::open(path, &error);
    return workbook ? workbook->sheetNames() : QStringList();
}

} // namespace varnel::test
