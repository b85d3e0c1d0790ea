#include "office/pptx/PptxDocument.h"

#include "office/pptx/DrawingNames.h"

#include <QHash>

#include <cstring>

namespace varnel::office {

using drawing::childNamed;
using drawing::isNamed;

namespace {

// The relationship id of a list entry: its r:id, whatever the prefix (the plain "id" is a number).
QString relationshipId(pugi::xml_node entry)
{
    for (pugi::xml_attribute attribute : entry.attributes()) {
        const char* colon = std::strrchr(attribute.name(), ':');
        if (colon && !std::strcmp(colon + 1, "id"))
            return QString::fromUtf8(attribute.value());
    }
    return {};
}

void addTable(pugi::xml_node frame, std::vector<SlideTextBody>& bodies)
{
    const pugi::xml_node table = childNamed(childNamed(childNamed(frame, "graphic"), "graphicData"), "tbl");
    for (pugi::xml_node row : table.children()) {
        if (!isNamed(row, "tr"))
            continue;
        for (pugi::xml_node cell : row.children())
            if (const pugi::xml_node body = isNamed(cell, "tc") ? childNamed(cell, "txBody") : pugi::xml_node())
                bodies.push_back({SlideTextRange(body), false});
    }
}

void addShapes(pugi::xml_node tree, bool groupItems, std::vector<SlideTextBody>& bodies)
{
    for (pugi::xml_node shape : tree.children()) {
        if (isNamed(shape, "sp")) {
            if (const pugi::xml_node body = childNamed(shape, "txBody"))
                bodies.push_back({SlideTextRange(body), groupItems});
        } else if (isNamed(shape, "graphicFrame")) {
            addTable(shape, bodies);
        } else if (isNamed(shape, "grpSp")) {
            addShapes(shape, true, bodies);
        } else if (isNamed(shape, "AlternateContent")) {
            addShapes(childNamed(shape, "Choice"), groupItems, bodies);
        }
    }
}

} // namespace

std::unique_ptr<PptxDocument> PptxDocument::open(const QString& path, bool withNotes, QString* error,
                                                 const QString& password)
{
    std::unique_ptr<PptxDocument> document(new PptxDocument);
    document->m_package = OoxmlPackage::open(path, password, error);
    if (!document->m_package || !document->load(withNotes, error))
        return nullptr;
    return document;
}

QStringList PptxDocument::targets(const QString& part, pugi::xml_node list, QString* error)
{
    QHash<QString, QString> byId;
    for (const Relationship& relationship : m_package->relationships(part, error))
        if (!relationship.external)
            byId.insert(relationship.id, relationship.targetPart);
    QStringList result;
    for (pugi::xml_node entry : list.children()) {
        const QString target = byId.value(relationshipId(entry));
        if (!target.isEmpty())
            result.append(target);
    }
    return result;
}

bool PptxDocument::load(bool withNotes, QString* error)
{
    const QString main = m_package->mainDocumentPart();
    pugi::xml_document* presentation = m_package->xml(main, error);
    if (!presentation)
        return false;
    const pugi::xml_node root = presentation->document_element();
    if (!isNamed(root, "presentation")) {
        if (error)
            *error = QStringLiteral("文件不是有效的PowerPoint演示文稿：没有找到演示文稿主体");
        return false;
    }
    QString relationshipsError;
    const QStringList masters = targets(main, childNamed(root, "sldMasterIdLst"), &relationshipsError);
    const QStringList slides = targets(main, childNamed(root, "sldIdLst"), &relationshipsError);
    for (const QString& master : masters) {
        const pugi::xml_document* masterXml = m_package->hasPart(master) ? m_package->xml(master, error) : nullptr;
        if (!masterXml && m_package->hasPart(master))
            return false;
        const pugi::xml_node layouts = masterXml ? childNamed(masterXml->document_element(), "sldLayoutIdLst") : pugi::xml_node();
        for (const QString& layout : targets(master, layouts, &relationshipsError))
            if (!addPart(PresentationPart::Kind::Layout, layout, error))
                return false;
        if (!addPart(PresentationPart::Kind::Master, master, error))
            return false;
    }
    for (const QString& slide : slides) {
        if (!addPart(PresentationPart::Kind::Slide, slide, error))
            return false;
        if (!withNotes || !m_package->hasPart(slide))
            continue;
        for (const Relationship& relationship : m_package->relationships(slide, &relationshipsError)) {
            if (!relationship.external && relationship.type.endsWith(QLatin1StringView("/notesSlide"))
                && !addPart(PresentationPart::Kind::Notes, relationship.targetPart, error))
                return false;
        }
    }
    if (!relationshipsError.isEmpty()) {
        if (error)
            *error = relationshipsError;
        return false;
    }
    return true;
}

bool PptxDocument::addPart(PresentationPart::Kind kind, const QString& name, QString* error)
{
    // A part that is missing has nothing to replace; one listed twice is visited once.
    if (m_seen.contains(name) || !m_package->hasPart(name))
        return true;
    m_seen.insert(name);
    pugi::xml_document* xml = m_package->xml(name, error);
    if (!xml)
        return false;
    PresentationPart part{kind, name, {}};
    addShapes(childNamed(childNamed(xml->document_element(), "cSld"), "spTree"), false, part.bodies);
    m_parts.push_back(std::move(part));
    return true;
}

} // namespace varnel::office
