#pragma once
// Scoped Excel runs on small workbooks written in the test (MiniWorkbook), with a dictionary workbook of
// the same making; each result is read back from the saved file.

#include "office/xlsx/XlsxHeaderFooter.h"
#include "office/xlsx/XlsxWorkbook.h"
#include "tools/excelscope/ExcelScopeRun.h"

#include "support/MiniWorkbook.h"
#include "support/PackageReadBack.h"
#include "support/RecordingUi.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>

namespace varnel::test {

class ExcelScopeFixture : public ::testing::Test
{
protected:
    // A dictionary workbook of these (find, replace) rows, from row 1.
    QString dictionary(const QList<std::pair<QString, QString>>& rows)
    {
        MiniWorkbook book;
        QByteArray data;
        for (qsizetype i = 0; i < rows.size(); ++i)
            data += inlineRow(int(i) + 1, {rows[i].first, rows[i].second});
        book.sheets = {data};
        const QString path = m_dir.filePath(QStringLiteral("dictionary.xlsx"));
        book.write(path);
        return path;
    }

    QString workbook(const MiniWorkbook& book, const QString& name = QStringLiteral("target.xlsx"))
    {
        const QString path = m_dir.filePath(name);
        book.write(path);
        return path;
    }

    excelscope::ExcelScopeSummary run(const QList<std::pair<QString, QString>>& rows, const QStringList& files)
    {
        excelscope::ExcelScopeRun scoped(m_options, m_ui);
        scoped.setDefinitionCount([this](int count) { m_counts.append(count); });
        scoped.setProgress([this](int number) { m_progress.append(number); });
        return scoped.run(dictionary(rows), files);
    }

    static QString cell(const QString& path, int sheet, const QString& reference)
    {
        return xlsxCellText(path, sheet, reference);
    }
    static QStringList sheetNames(const QString& path) { return xlsxSheetNames(path); }

    // The six header and footer texts of the sheet at index.
    static QStringList headers(const QString& path, int sheet)
    {
        QString error;
        const auto book = office::XlsxWorkbook::open(path, &error);
        if (!book)
            return {};
        return office::XlsxHeaderFooter(book->root(book->sheets().at(size_t(sheet)).part, &error)).texts();
    }

    QTemporaryDir m_dir;
    excelscope::ExcelScopeOptions m_options;
    RecordingUi m_ui;
    QList<int> m_counts;
    QList<int> m_progress;
};

} // namespace varnel::test
