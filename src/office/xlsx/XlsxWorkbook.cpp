#include "office/xlsx/XlsxWorkbook.h"

#include "office/xlsx/ExcelSheetName.h"
#include "office/xlsx/ExcelXString.h"
#include "office/xlsx/XlsxSheetCells.h"
#include "office/xlsx/XlsxSheetReferences.h"
#include "office/xlsx/XlsxXml.h"

#include <cstring>

namespace varnel::office {

namespace {

bool relationshipIs(const Relationship& rel, const char* kind)
{
    return !rel.external && rel.type.endsWith(QLatin1StringView(kind));
}

bool isTrue(pugi::xml_attribute attribute)
{
    return !std::strcmp(attribute.value(), "1") || !std::strcmp(attribute.value(), "true");
}

} // namespace

QString XlsxSheet::name() const
{
    return ExcelXString::decode(QString::fromUtf8(entry.attribute("name").value()));
}

void XlsxSheet::setName(const QString& name)
{
    entry.attribute("name").set_value(ExcelXString::encode(name).toUtf8().constData());
}

std::unique_ptr<XlsxWorkbook> XlsxWorkbook::open(const QString& path, QString* error, const QString& password)
{
    std::unique_ptr<XlsxWorkbook> workbook(new XlsxWorkbook);
    workbook->m_package = OoxmlPackage::open(path, password, error);
    if (!workbook->m_package || !workbook->load(error))
        return nullptr;
    return workbook;
}

pugi::xml_node XlsxWorkbook::root(const QString& part, QString* error)
{
    pugi::xml_document* document = m_package->xml(part, error);
    return document ? document->document_element() : pugi::xml_node();
}

bool XlsxWorkbook::load(QString* error)
{
    m_workbookPart = m_package->mainDocumentPart();
    m_workbookRoot = m_workbookPart.isEmpty() ? pugi::xml_node() : root(m_workbookPart, error);
    if (!XlsxXml::is(m_workbookRoot, "workbook")) {
        if (error && (error->isEmpty() || m_workbookRoot))
            *error = QStringLiteral("文件不是有效的Excel工作簿：没有找到工作簿部件");
        return false;
    }
    QString relationshipsError;
    const QList<Relationship> relationships = m_package->relationships(m_workbookPart, &relationshipsError);
    if (!relationshipsError.isEmpty()) {
        if (error)
            *error = relationshipsError;
        return false;
    }
    QString stylesPart;
    for (const Relationship& rel : relationships) {
        if (!m_package->hasPart(rel.targetPart))
            continue;
        if (relationshipIs(rel, "/sharedStrings"))
            m_sharedStringsPart = rel.targetPart;
        else if (relationshipIs(rel, "/styles"))
            stylesPart = rel.targetPart;
        else if (relationshipIs(rel, "/calcChain"))
            m_calcChainPart = rel.targetPart;
    }
    for (pugi::xml_node entry : XlsxXml::children(XlsxXml::child(m_workbookRoot, "sheets"), "sheet")) {
        XlsxSheet sheet;
        sheet.entry = entry;
        // The relationship id is r:id whatever the prefix of the relationships namespace is.
        QString id;
        for (pugi::xml_attribute attribute : entry.attributes()) {
            const char* name = attribute.name();
            const char* colon = std::strchr(name, ':');
            if (colon && !std::strcmp(colon, ":id"))
                id = QString::fromUtf8(attribute.value());
        }
        for (const Relationship& rel : relationships) {
            if (rel.id == id && m_package->hasPart(rel.targetPart)) {
                sheet.part = rel.targetPart;
                sheet.worksheet = relationshipIs(rel, "/worksheet");
            }
        }
        m_sheets.push_back(sheet);
    }

    if (!m_styles.load(*m_package, stylesPart, isTrue(XlsxXml::child(m_workbookRoot, "workbookPr").attribute("date1904")),
                       error))
        return false;
    pugi::xml_node stringsRoot;
    if (!m_sharedStringsPart.isEmpty() && !(stringsRoot = root(m_sharedStringsPart, error)))
        return false;
    m_strings.load(stringsRoot);
    return true;
}

QStringList XlsxWorkbook::sheetNames() const
{
    QStringList names;
    for (const XlsxSheet& sheet : m_sheets)
        names.append(sheet.name());
    return names;
}

bool XlsxWorkbook::structureLocked() const
{
    return isTrue(XlsxXml::child(m_workbookRoot, "workbookProtection").attribute("lockStructure"));
}

XlsxWorkbook::Rename XlsxWorkbook::renameSheet(size_t index, const QString& newName, QString* reason)
{
    if (structureLocked())
        return Rename::StructureLocked;
    XlsxSheet& sheet = m_sheets[index];
    QStringList others = sheetNames();
    others.removeAt(qsizetype(index));
    if (const QString refusal = ExcelSheetName::refusal(newName, others); !refusal.isEmpty()) {
        *reason = refusal;
        return Rename::Refused;
    }
    if (!XlsxSheetReferences::rename(*this, sheet.name(), newName, reason))
        return Rename::Failed;
    sheet.setName(newName);
    markChanged(m_workbookPart);
    return Rename::Renamed;
}

void XlsxWorkbook::settleCells(const XlsxSheet& sheet, XlsxSheetCells& cells, bool sheetChanged, bool cellsChanged)
{
    if (sheetChanged)
        cells.dropCachedValues();
    if (cells.formulasChanged() || cellsChanged)
        requestFullCalculation();
    removeFromCalculationChain(sheet, cells.formulasRemoved());
}

void XlsxWorkbook::requestFullCalculation()
{
    pugi::xml_node calcPr = XlsxXml::ensureChild(
        m_workbookRoot, "calcPr",
        {"oleSize", "customWorkbookViews", "pivotCaches", "smartTagPr", "smartTagTypes", "webPublishing",
         "fileRecoveryPr", "webPublishObjects", "extLst"});
    if (isTrue(calcPr.attribute("fullCalcOnLoad")))
        return;
    if (!calcPr.attribute("fullCalcOnLoad"))
        calcPr.append_attribute("fullCalcOnLoad");
    calcPr.attribute("fullCalcOnLoad") = "1";
    markChanged(m_workbookPart);
}

void XlsxWorkbook::removeFromCalculationChain(const XlsxSheet& sheet, const QStringList& cells)
{
    if (m_calcChainPart.isEmpty() || cells.isEmpty())
        return;
    pugi::xml_node chain = root(m_calcChainPart, nullptr);
    const int sheetId = sheet.entry.attribute("sheetId").as_int();
    // Each entry names its sheet, or takes the sheet of the entry before it.
    int current = 0;
    bool changed = false;
    for (pugi::xml_node c : XlsxXml::children(chain, "c")) {
        const bool named = bool(c.attribute("i"));
        if (named)
            current = c.attribute("i").as_int();
        if (current != sheetId || !cells.contains(QString::fromUtf8(c.attribute("r").value())))
            continue;
        pugi::xml_node next = c.next_sibling();
        while (next && next.type() != pugi::node_element)
            next = next.next_sibling();
        if (named && next && XlsxXml::is(next, "c") && !next.attribute("i"))
            next.append_attribute("i") = current;
        chain.remove_child(c);
        changed = true;
    }
    if (!changed)
        return;
    // A chain without cells is invalid (Excel reports the file as damaged): the part goes instead, with its
    // relationship and content type.
    if (XlsxXml::children(chain, "c").empty() && m_package->removePart(m_calcChainPart, nullptr)) {
        m_calcChainPart.clear();
        return;
    }
    markChanged(m_calcChainPart);
}

bool XlsxWorkbook::save(QString* error)
{
    if (m_strings.finish())
        markChanged(m_sharedStringsPart);
    return m_package->save(error);
}

} // namespace varnel::office
