#pragma once
// The cell formats of a workbook (xl/styles.xml) as far as the displayed text needs them: a cell's style
// index selects an entry of cellXfs, whose numFmtId names a format code, either one of the workbook's own
// numFmts or a built-in format.

#include <QHash>
#include <QList>
#include <QString>

namespace varnel::office {

class OoxmlPackage;

class WorkbookStyles
{
public:
    WorkbookStyles() = default;
    // Reads the part; a missing part leaves every cell General. False with *error for a part that cannot be
    // read.
    bool load(OoxmlPackage& package, const QString& partName, QString* error);

    // The numFmtId of a cell style index; 0 (General) for an index outside cellXfs.
    int numberFormatId(int styleIndex) const;
    // The format code of a cell style index: the workbook's own code for its numFmtId, else the built-in one.
    QString formatCode(int styleIndex) const;
    // The format code of a numFmtId.
    QString codeOfId(int numFmtId) const;
    // Counts a cell format appended to cellXfs.
    void appendCellFormat(int numFmtId) { m_cellFormatIds.append(numFmtId); }

private:
    QList<int> m_cellFormatIds;    // numFmtId of each cellXfs entry
    QHash<int, QString> m_codes;   // numFmts of the workbook
};

} // namespace varnel::office
