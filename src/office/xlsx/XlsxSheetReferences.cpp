#include "office/xlsx/XlsxSheetReferences.h"

#include "office/xlsx/ExcelSheetName.h"
#include "office/xlsx/ExcelXString.h"
#include "office/xlsx/XlsxXml.h"

#include <cstring>

namespace varnel::office {

namespace {

// Elements whose text is a formula.
bool holdsFormula(pugi::xml_node node)
{
    static const char* const names[] = {"f", "formula", "formula1", "formula2", "definedName",
                                        "calculatedColumnFormula", "totalsRowFormula"};
    for (const char* name : names) {
        if (XlsxXml::is(node, name))
            return true;
    }
    return false;
}

// Rewrites the references of one part; whether anything changed. escaped: its formula text carries the
// _xHHHH_ escapes of SpreadsheetML strings (every part but a chart's).
bool renameIn(pugi::xml_node root, const QString& oldName, const QString& newName, bool escaped)
{
    bool changed = false;
    auto visit = [&](auto&& self, pugi::xml_node node) -> void {
        for (pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            if (holdsFormula(child) && child.first_child().type() == pugi::node_pcdata) {
                bool rewritten = false;
                const QString stored = QString::fromUtf8(child.text().get());
                const QString text = ExcelSheetName::renameInFormula(escaped ? ExcelXString::decode(stored) : stored,
                                                                     oldName, newName, &rewritten);
                if (rewritten) {
                    child.text().set((escaped ? ExcelXString::encode(text) : text).toUtf8().constData());
                    changed = true;
                }
            }
            if (XlsxXml::is(child, "hyperlink") && child.attribute("location")) {
                bool rewritten = false;
                const QString text = ExcelSheetName::renameInFormula(
                    QString::fromUtf8(child.attribute("location").value()), oldName, newName, &rewritten);
                if (rewritten) {
                    child.attribute("location").set_value(text.toUtf8().constData());
                    changed = true;
                }
            }
            if (XlsxXml::is(child, "worksheetSource")
                && QString::fromUtf8(child.attribute("sheet").value()).compare(oldName, Qt::CaseInsensitive) == 0) {
                child.attribute("sheet").set_value(newName.toUtf8().constData());
                changed = true;
            }
            self(self, child);
        }
    };
    visit(visit, root);
    return changed;
}

bool mayReference(const QString& contentType)
{
    static const char* const kinds[] = {"worksheet+xml", "chart+xml", "pivotCacheDefinition+xml", "table+xml",
                                        "macroEnabled.main+xml", "sheet.main+xml", "template.main+xml"};
    for (const char* kind : kinds) {
        if (contentType.endsWith(QLatin1StringView(kind)))
            return true;
    }
    return false;
}

} // namespace

bool XlsxSheetReferences::rename(XlsxWorkbook& workbook, const QString& oldName, const QString& newName, QString* error)
{
    OoxmlPackage& package = workbook.package();
    QStringList parts;
    QList<pugi::xml_node> roots;
    for (const QString& part : package.partNames()) {
        if (part != workbook.workbookPart() && !mayReference(package.contentType(part)))
            continue;
        const pugi::xml_node root = workbook.root(part, error);
        if (!root)
            return false;
        parts.append(part);
        roots.append(root);
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (renameIn(roots[i], oldName, newName, !package.contentType(parts[i]).endsWith(u"chart+xml")))
            workbook.markChanged(parts[i]);
    }
    return true;
}

} // namespace varnel::office
