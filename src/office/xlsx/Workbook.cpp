#include "office/xlsx/Workbook.h"

#include "office/package/EncryptedPackage.h"
#include "office/package/OoxmlPackage.h"
#include "office/xlsx/ExcelXString.h"
#include "office/xlsx/SpreadsheetXml.h"
#include "office/xlsx/WorksheetCells.h"

namespace varnel::office {

using X = SpreadsheetXml;

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The last segment of a relationship type ("worksheet" for .../relationships/worksheet).
QString typeName(const QString& type)
{
    return type.mid(type.lastIndexOf(u'/') + 1);
}

} // namespace

Workbook::Workbook()
    : m_text(m_styles, false)
{
}

Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::open(const QString& path, QString* error, const QString& password)
{
    QString why;
    std::unique_ptr<OoxmlPackage> package = OoxmlPackage::open(path, password, &why);
    if (!package) {
        setError(error, password.isEmpty() && EncryptedPackage::isEncrypted(path) ? QStringLiteral("文档已加密（设置了打开密码），无法读取") : why);
        return nullptr;
    }
    std::unique_ptr<Workbook> book(new Workbook);
    book->m_ownPackage = std::move(package);
    if (!book->readParts(*book->m_ownPackage, error))
        return nullptr;
    return book;
}

std::unique_ptr<Workbook> Workbook::read(OoxmlPackage& package, QString* error)
{
    std::unique_ptr<Workbook> book(new Workbook);
    if (!book->readParts(package, error))
        return nullptr;
    return book;
}

bool Workbook::readParts(OoxmlPackage& package, QString* error)
{
    m_package = &package;
    m_workbookPart = package.mainDocumentPart();
    const pugi::xml_document* document = package.xml(m_workbookPart, error);
    if (!document)
        return false;
    const pugi::xml_node workbook = X::child(*document, "workbook");
    if (!workbook) {
        setError(error, QStringLiteral("不是Excel工作簿（文档主体部件“%1”不是workbook）").arg(m_workbookPart));
        return false;
    }
    const QList<Relationship> relationships = package.relationships(m_workbookPart, error);
    QString stylesPart;
    QString stringsPart;
    for (const Relationship& r : relationships) {
        const QString type = typeName(r.type);
        if (type == u"styles" && !r.external)
            stylesPart = r.targetPart;
        else if (type == u"sharedStrings" && !r.external)
            stringsPart = r.targetPart;
    }
    if (!m_styles.load(package, stylesPart, error) || !m_strings.load(package, stringsPart, error))
        return false;

    m_date1904 = X::flag(X::child(workbook, "workbookPr"), "date1904");
    m_text = ExcelCellText(m_styles, m_date1904);

    m_sheets.clear();
    for (pugi::xml_node s = X::child(X::child(workbook, "sheets"), "sheet"); s; s = X::next(s, "sheet")) {
        SheetInfo sheet;
        sheet.node = s;
        sheet.name = ExcelXString::decode(X::text(s, "name"));
        sheet.relationshipId = X::text(s, "id");
        const QString state = X::text(s, "state");
        sheet.hidden = state == u"hidden" || state == u"veryHidden";
        const Relationship* relation = nullptr;
        for (const Relationship& r : relationships) {
            if (r.id == sheet.relationshipId && !r.external)
                relation = &r;
        }
        if (!relation) {
            setError(error, QStringLiteral("工作表“%1”找不到它的部件（关系“%2”不存在），工作簿已损坏")
                                .arg(sheet.name, sheet.relationshipId));
            return false;
        }
        sheet.partName = relation->targetPart;
        const QString type = typeName(relation->type);
        sheet.kind = type == u"chartsheet"      ? SheetInfo::Kind::ChartSheet
                   : type == u"dialogsheet"     ? SheetInfo::Kind::DialogSheet
                   : type.contains(u"Macrosheet") ? SheetInfo::Kind::MacroSheet
                                                  : SheetInfo::Kind::Worksheet;
        m_sheets.append(sheet);
    }
    const int active = X::integer(X::child(X::child(workbook, "bookViews"), "workbookView"), "activeTab", 0);
    m_activeSheet = active >= 0 && active < m_sheets.size() ? active : 0;
    return true;
}

bool Workbook::loadCells(int index, WorksheetCells* cells, QString* error) const
{
    *cells = WorksheetCells();
    if (index < 0 || index >= m_sheets.size() || m_sheets[index].kind != SheetInfo::Kind::Worksheet)
        return true;
    return cells->load(*m_package, m_sheets[index].partName, m_strings, error);
}

} // namespace varnel::office
