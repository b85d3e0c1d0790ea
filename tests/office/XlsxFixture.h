#pragma once
// Workbooks of tests/data/office/xlsx copied to a temporary folder, replaced in, and read back: the text
// Excel's Find would see in a cell, and the raw bytes of a part.

#include "office/package/OoxmlPackage.h"
#include "office/xlsx/XlsxEngine.h"

#include "support/PackageReadBack.h"
#include "support/TestFiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace varnel::test {

class XlsxFixture : public ::testing::Test
{
protected:
    // A copy of the fixture in the temporary folder.
    QString copy(const QString& fixture, const QString& name = {})
    {
        const QString path = m_dir.filePath(name.isEmpty() ? fixture : name);
        writeFile(path, readFile(dataPath(QStringLiteral("office/xlsx/") + fixture)));
        return path;
    }

    EngineResult replace(const QString& path, const QStringList& finds, const QStringList& replaces)
    {
        const EngineRequest request(finds, replaces, m_options);
        return office::XlsxEngine().replace(path, request);
    }

    static QString cell(const QString& path, int sheet, const QString& reference)
    {
        return xlsxCellText(path, sheet, reference);
    }

    // Changes parts of the workbook (their roots, in order) and saves it: a case no fixture holds.
    static void edit(const QString& path, const QStringList& parts,
                     const std::function<void(const std::vector<pugi::xml_node>&)>& change)
    {
        QString error;
        const auto package = office::OoxmlPackage::open(path, &error);
        ASSERT_TRUE(package) << error.toStdString();
        std::vector<pugi::xml_node> roots;
        for (const QString& name : parts) {
            pugi::xml_document* document = package->xml(name, &error);
            ASSERT_TRUE(document) << error.toStdString();
            roots.push_back(document->document_element());
            package->markChanged(name);
        }
        change(roots);
        ASSERT_TRUE(package->save(&error)) << error.toStdString();
    }

    // Adds a cell with a formula at the end of its row, which must exist in the sheet part.
    static void addFormula(const QString& path, const QString& sheetPart, const QString& reference, const QString& formula)
    {
        edit(path, {sheetPart}, [&](const std::vector<pugi::xml_node>& roots) {
            const QString row = QString(reference).remove(QRegularExpression(QStringLiteral("^[A-Z]+")));
            pugi::xml_node c = roots[0].child("sheetData").find_child_by_attribute("row", "r", row.toUtf8().constData()).append_child("c");
            c.append_attribute("r") = reference.toUtf8().constData();
            c.append_child("f").text() = formula.toUtf8().constData();
        });
    }

    static QStringList sheetNames(const QString& path) { return xlsxSheetNames(path); }
    static QHash<QString, QByteArray> entries(const QString& path) { return zipEntries(path); }

    static QString part(const QString& path, const QString& name)
    {
        return QString::fromUtf8(entries(path).value(name));
    }

    QTemporaryDir m_dir;
    ReplaceOptions m_options;
};

} // namespace varnel::test
