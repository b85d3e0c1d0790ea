#pragma once
// A workbook (.xlsx .xlsm) opened for replacement: its package, its sheets in workbook order, its shared
// strings and its styles. Parts are parsed when first asked for; saving rewrites only the parts marked
// changed, so macros, signatures and everything else keep their bytes.

#include "office/package/OoxmlPackage.h"
#include "office/xlsx/XlsxSharedStrings.h"
#include "office/xlsx/XlsxStyles.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace varnel::office {

class XlsxSheetCells;

struct XlsxSheet {
    pugi::xml_node entry;   // the <sheet> element of the workbook part, which holds the name
    QString part;           // the sheet's part; empty when the relationship leads nowhere
    bool worksheet = false; // a worksheet (not a chart, dialog or macro sheet)
    // The name as it reads (its _xHHHH_ escapes decoded), and as it is set.
    QString name() const;
    void setName(const QString& name);
};

class XlsxWorkbook
{
public:
    // Opens the package and reads the workbook part, the shared strings and the styles; nullptr with a
    // message for the log when the file is no usable workbook. A password opens a workbook encrypted with
    // it (see OoxmlPackage::open), which save() then encrypts again.
    static std::unique_ptr<XlsxWorkbook> open(const QString& path, QString* error, const QString& password = QString());

    OoxmlPackage& package() { return *m_package; }
    const QString& workbookPart() const { return m_workbookPart; }
    pugi::xml_node workbookRoot() const { return m_workbookRoot; }
    std::vector<XlsxSheet>& sheets() { return m_sheets; }
    QStringList sheetNames() const;
    // The workbook's structure is protected (workbookProtection lockStructure): sheets keep their names.
    bool structureLocked() const;
    // Gives the sheet at index a new name, rewriting every reference to it (XlsxSheetReferences), as Excel
    // renames a sheet. Anything but Renamed changes nothing; *reason says why Excel refuses the name
    // (Refused) or which part could not be read (Failed).
    enum class Rename { Renamed, StructureLocked, Refused, Failed };
    Rename renameSheet(size_t index, const QString& newName, QString* reason);
    XlsxSharedStrings& strings() { return m_strings; }
    XlsxStyles& styles() { return m_styles; }

    // The root element of a part, parsed on first use; null with *error when it cannot be read.
    pugi::xml_node root(const QString& part, QString* error);
    void markChanged(const QString& part) { m_package->markChanged(part); }

    // Excel recalculates every formula on opening (calcPr fullCalcOnLoad).
    void requestFullCalculation();
    // Drops the cells (sheet, A1 references) from the calculation chain: they hold no formula any more. A
    // chain left without cells is removed from the package.
    void removeFromCalculationChain(const XlsxSheet& sheet, const QStringList& cells);
    // What replacing in a sheet's cells leaves to the workbook: the sheet's cached formula values dropped
    // when its cells changed (sheetChanged), a full recalculation asked for when a formula changed or
    // cells changed anywhere in the workbook (cellsChanged), and the cells that lost their formula taken
    // out of the calculation chain.
    void settleCells(const XlsxSheet& sheet, XlsxSheetCells& cells, bool sheetChanged, bool cellsChanged);

    // Brings the shared strings' counts up to date and writes the changed parts back over the file.
    bool save(QString* error);

private:
    XlsxWorkbook() = default;
    bool load(QString* error);

    std::unique_ptr<OoxmlPackage> m_package;
    QString m_workbookPart;
    pugi::xml_node m_workbookRoot;
    QString m_sharedStringsPart;
    QString m_calcChainPart;
    std::vector<XlsxSheet> m_sheets;
    XlsxSharedStrings m_strings;
    XlsxStyles m_styles;
};

} // namespace varnel::office
