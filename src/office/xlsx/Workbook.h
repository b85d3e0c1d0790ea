#pragma once
// A workbook (.xlsx .xlsm) opened for reading: its sheets in workbook order, the active sheet, the date
// system, the shared strings and the cell formats, and the cells of any worksheet on request.
//
// How the pieces fit: OoxmlPackage validates the archive and parses parts; Workbook reads xl/workbook.xml
// and its relationships; SharedStrings and WorkbookStyles hold the two workbook-wide tables;
// WorksheetCells reads one sheet part; ExcelCellText turns a cell into its displayed and formula-bar text.
//
//   QString error;
//   auto book = Workbook::open(path, &error);          // nullptr with a Chinese reason
//   WorksheetCells cells;
//   book->loadCells(book->activeSheet(), &cells, &error);
//   book->displayedText(*cells.cell(1, 1));

#include "office/xlsx/ExcelCellText.h"
#include "office/xlsx/SharedStrings.h"
#include "office/xlsx/WorkbookStyles.h"

#include <QList>
#include <QString>

#include <memory>

namespace varnel::office {

class OoxmlPackage;
class WorksheetCells;

struct SheetInfo {
    enum class Kind { Worksheet, ChartSheet, DialogSheet, MacroSheet };

    QString name;           // as the tab shows it (escapes decoded)
    QString partName;       // "xl/worksheets/sheet1.xml"
    QString relationshipId; // r:id of its <sheet> element
    Kind kind = Kind::Worksheet;
    bool hidden = false;    // state hidden or veryHidden
    pugi::xml_node node;    // the <sheet> element in the workbook part
};

class Workbook
{
public:
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Opens the file and reads its workbook part; nullptr with *error (a Chinese reason fit for a message
    // or the log line) when it is no readable workbook: missing, not a zip, encrypted, no workbook part,
    // malformed XML. Nothing is written.
    // With a password, a workbook encrypted with that open password is decrypted in memory.
    static std::unique_ptr<Workbook> open(const QString& path, QString* error, const QString& password = QString());
    // Reads the workbook of a package already open (which must outlive the result); nullptr with *error.
    static std::unique_ptr<Workbook> read(OoxmlPackage& package, QString* error);

    OoxmlPackage& package() const { return *m_package; }
    // "xl/workbook.xml", the package's main part.
    const QString& workbookPart() const { return m_workbookPart; }
    // Every sheet, chart and dialog sheets included, in workbook (tab) order.
    const QList<SheetInfo>& sheets() const { return m_sheets; }
    // Index into sheets() of the sheet that was active when the workbook was saved (workbookView
    // activeTab, which counts every sheet); 0 when the file names none or one out of range.
    int activeSheet() const { return m_activeSheet; }
    // The workbook counts dates from 1904-01-01 (workbookPr date1904).
    bool date1904() const { return m_date1904; }
    const SharedStrings& sharedStrings() const { return m_strings; }
    const WorkbookStyles& styles() const { return m_styles; }

    // Reads the cells of sheets()[index]; a sheet that is not a worksheet has no cells. False with *error
    // when the part cannot be read.
    bool loadCells(int index, WorksheetCells* cells, QString* error) const;

    // The cell's text as its cell shows it, and as the formula bar shows it (see ExcelCellText).
    QString displayedText(const ExcelCell& cell) const { return m_text.displayed(cell); }
    QString formulaBarText(const ExcelCell& cell) const { return m_text.formulaBar(cell); }

private:
    Workbook();
    bool readParts(OoxmlPackage& package, QString* error);

    std::unique_ptr<OoxmlPackage> m_ownPackage;
    OoxmlPackage* m_package = nullptr;
    QString m_workbookPart;
    QList<SheetInfo> m_sheets;
    int m_activeSheet = 0;
    bool m_date1904 = false;
    SharedStrings m_strings;
    WorkbookStyles m_styles;
    ExcelCellText m_text;
};

} // namespace varnel::office
