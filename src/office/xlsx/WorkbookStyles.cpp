#include "office/xlsx/WorkbookStyles.h"

#include "office/package/OoxmlPackage.h"
#include "office/xlsx/ExcelNumberFormat.h"
#include "office/xlsx/ExcelXString.h"
#include "office/xlsx/SpreadsheetXml.h"

namespace varnel::office {

using X = SpreadsheetXml;

bool WorkbookStyles::load(OoxmlPackage& package, const QString& partName, QString* error)
{
    m_cellFormatIds.clear();
    m_codes.clear();
    if (partName.isEmpty() || !package.hasPart(partName))
        return true;
    const pugi::xml_document* document = package.xml(partName, error);
    if (!document)
        return false;
    const pugi::xml_node styleSheet = X::child(*document, "styleSheet");
    const pugi::xml_node numFmts = X::child(styleSheet, "numFmts");
    for (pugi::xml_node f = X::child(numFmts, "numFmt"); f; f = X::next(f, "numFmt"))
        m_codes.insert(X::integer(f, "numFmtId", -1), ExcelXString::decode(X::text(f, "formatCode")));
    const pugi::xml_node cellXfs = X::child(styleSheet, "cellXfs");
    for (pugi::xml_node xf = X::child(cellXfs, "xf"); xf; xf = X::next(xf, "xf"))
        m_cellFormatIds.append(X::integer(xf, "numFmtId", 0));
    return true;
}

int WorkbookStyles::numberFormatId(int styleIndex) const
{
    return styleIndex >= 0 && styleIndex < m_cellFormatIds.size() ? m_cellFormatIds[styleIndex] : 0;
}

QString WorkbookStyles::formatCode(int styleIndex) const
{
    return codeOfId(numberFormatId(styleIndex));
}

QString WorkbookStyles::codeOfId(int numFmtId) const
{
    const auto own = m_codes.constFind(numFmtId);
    return own != m_codes.cend() ? *own : ExcelNumberFormat::builtInCode(numFmtId);
}

} // namespace varnel::office
