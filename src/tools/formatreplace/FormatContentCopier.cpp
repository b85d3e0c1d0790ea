#include "tools/formatreplace/FormatContentCopier.h"

#include <cstring>

namespace varnel::formatreplace {

using office::OoxmlPackage;
using office::WordNames;

namespace {

const char* const kRelationshipsNamespace = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QString kContentTypesPart = QStringLiteral("[Content_Types].xml");
constexpr int kMaxStyleDepth = 16; // basedOn chains are short; a cycle must not loop

QString folderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash + 1);
}

pugi::xml_node findStyle(const WordNames& names, pugi::xml_node styles, const QString& id)
{
    const QByteArray key = id.toUtf8();
    for (pugi::xml_node style : styles.children())
        if (names.is(style, "style") && !strcmp(names.attribute(style, "styleId"), key.constData()))
            return style;
    return {};
}

} // namespace

FormatContentCopier::FormatContentCopier(OoxmlPackage& source, const QString& sourceMain, OoxmlPackage& target,
                                         const QString& targetMain)
    : m_source(source)
    , m_sourceMain(sourceMain)
    , m_target(target)
    , m_targetMain(targetMain)
{
}

bool FormatContentCopier::prepare(pugi::xml_node cell, std::vector<pugi::xml_node>* paragraphs, QString* error)
{
    const auto cached = m_prepared.find(cell.internal_object());
    if (cached != m_prepared.end()) {
        *paragraphs = cached->second;
        return true;
    }
    paragraphs->clear();
    // A row cut short by merged cells has no replacement to give; its matches are left as they are.
    if (!cell) {
        *error = QStringLiteral("该行没有第 2 列，匹配处未替换");
        return false;
    }
    pugi::xml_document* sourceDocument = m_source.xml(m_sourceMain, error);
    pugi::xml_document* targetDocument = sourceDocument ? m_target.xml(m_targetMain, error) : nullptr;
    if (!targetDocument)
        return false;
    const pugi::xml_node sourceRoot = sourceDocument->document_element();
    for (pugi::xml_attribute attribute : sourceRoot.attributes()) {
        if (!strcmp(attribute.value(), kRelationshipsNamespace) && !strncmp(attribute.name(), "xmlns:", 6))
            m_relPrefix = std::string(attribute.name() + 6) + ':';
    }
    const WordNames names(sourceRoot);
    pugi::xml_node holder = m_scratch.append_child("cell");
    for (pugi::xml_node p : cell.children())
        if (names.is(p, "p"))
            paragraphs->push_back(holder.append_copy(p));
    if (paragraphs->empty())
        paragraphs->push_back(holder.append_child(names.qualified("p").c_str()));
    if (!remapRelationships(holder, error) || !copyStyles(holder, error))
        return false;
    declareNamespaces(sourceRoot, targetDocument->document_element());
    m_prepared.emplace(cell.internal_object(), *paragraphs);
    return true;
}

bool FormatContentCopier::remapRelationships(pugi::xml_node node, QString* error)
{
    for (pugi::xml_attribute attribute : node.attributes()) {
        if (strncmp(attribute.name(), m_relPrefix.c_str(), m_relPrefix.size()) || !*attribute.value())
            continue;
        QString id;
        if (!copyRelationship(QString::fromUtf8(attribute.value()), &id, error))
            return false;
        attribute.set_value(id.toUtf8().constData());
    }
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && !remapRelationships(child, error))
            return false;
    return true;
}

bool FormatContentCopier::copyRelationship(const QString& sourceId, QString* newId, QString* error)
{
    const auto known = m_relationships.constFind(sourceId);
    if (known != m_relationships.constEnd()) {
        *newId = *known;
        return true;
    }
    const QList<office::Relationship> relationships = m_source.relationships(m_sourceMain, error);
    const office::Relationship* relationship = nullptr;
    for (const office::Relationship& candidate : relationships)
        if (candidate.id == sourceId)
            relationship = &candidate;
    if (!relationship) {
        *error = QStringLiteral("替换定义文档缺少关系“%1”").arg(sourceId);
        return false;
    }
    QString target = relationship->target;
    if (!relationship->external && !copyPart(relationship->targetPart, &target, error))
        return false;

    const QString relsPart = m_target.relationshipsPartOf(m_targetMain);
    pugi::xml_document* rels = m_target.xml(relsPart, error);
    if (!rels)
        return false;
    pugi::xml_node root = rels->document_element();
    QString id;
    do {
        id = QStringLiteral("rIdVarnel%1").arg(m_nextId++);
    } while (root.find_child_by_attribute("Id", id.toUtf8().constData()));
    pugi::xml_node added = root.append_child("Relationship");
    added.append_attribute("Id").set_value(id.toUtf8().constData());
    added.append_attribute("Type").set_value(relationship->type.toUtf8().constData());
    added.append_attribute("Target").set_value(target.toUtf8().constData());
    if (relationship->external)
        added.append_attribute("TargetMode").set_value("External");
    m_target.markChanged(relsPart);
    m_relationships.insert(sourceId, id);
    *newId = id;
    return true;
}

bool FormatContentCopier::copyPart(const QString& sourcePart, QString* newTarget, QString* error)
{
    QByteArray bytes;
    if (!m_source.data(sourcePart, &bytes, error))
        return false;
    const qsizetype dot = sourcePart.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot > sourcePart.lastIndexOf(QLatin1Char('/')) ? sourcePart.mid(dot) : QString();
    const QString folder = folderOf(m_targetMain);
    QString name;
    int n = 1;
    do {
        name = QStringLiteral("media/varnel%1%2").arg(n++).arg(extension);
    } while (m_target.hasPart(folder + name));
    if (!m_target.addPart(folder + name, bytes)
        || !addContentType(folder + name, m_source.contentType(sourcePart), error))
        return false;
    *newTarget = name;
    return true;
}

bool FormatContentCopier::addContentType(const QString& part, const QString& type, QString* error)
{
    pugi::xml_document* types = m_target.xml(kContentTypesPart, error);
    if (!types)
        return false;
    pugi::xml_node root = types->document_element();
    const QString extension = part.mid(part.lastIndexOf(QLatin1Char('.')) + 1);
    bool haveDefault = false;
    for (pugi::xml_node node : root.children("Default")) {
        if (QString::fromUtf8(node.attribute("Extension").value()).compare(extension, Qt::CaseInsensitive))
            continue;
        haveDefault = true;
        if (QString::fromUtf8(node.attribute("ContentType").value()) == type)
            return true;
    }
    pugi::xml_node added;
    if (haveDefault || extension.isEmpty() || extension.contains(QLatin1Char('/'))) {
        added = root.append_child("Override");
        added.append_attribute("PartName").set_value(('/' + part).toUtf8().constData());
    } else {
        added = root.prepend_child("Default");
        added.append_attribute("Extension").set_value(extension.toUtf8().constData());
    }
    added.append_attribute("ContentType").set_value(type.toUtf8().constData());
    m_target.markChanged(kContentTypesPart);
    return true;
}

QString FormatContentCopier::stylesPart(OoxmlPackage& package, const QString& main)
{
    QString ignored;
    for (const office::Relationship& relationship : package.relationships(main, &ignored))
        if (!relationship.external && relationship.type.endsWith(QLatin1String("/styles")))
            return relationship.targetPart;
    return {};
}

bool FormatContentCopier::copyStyles(pugi::xml_node node, QString* error)
{
    const QString sourcePart = stylesPart(m_source, m_sourceMain);
    const QString targetPart = stylesPart(m_target, m_targetMain);
    if (sourcePart.isEmpty() || targetPart.isEmpty() || !m_target.hasPart(targetPart))
        return true; // nothing to copy from, or a target that takes every style from the defaults
    pugi::xml_document* sourceStyles = m_source.xml(sourcePart, error);
    pugi::xml_document* targetStyles = sourceStyles ? m_target.xml(targetPart, error) : nullptr;
    if (!targetStyles)
        return false;
    const WordNames names(sourceStyles->document_element());
    bool changed = false;
    for (pugi::xpath_node found : node.select_nodes(".//*")) {
        const pugi::xml_node element = found.node();
        if (!names.is(element, "rStyle") && !names.is(element, "pStyle"))
            continue;
        changed |= copyStyle(QString::fromUtf8(names.attribute(element, "val")), sourceStyles->document_element(),
                             targetStyles->document_element(), 0);
    }
    if (changed)
        m_target.markChanged(targetPart);
    return true;
}

bool FormatContentCopier::copyStyle(const QString& id, pugi::xml_node sourceStyles, pugi::xml_node targetStyles,
                                    int depth)
{
    const WordNames sourceNames(sourceStyles);
    const WordNames targetNames(targetStyles);
    if (id.isEmpty() || depth > kMaxStyleDepth || findStyle(targetNames, targetStyles, id))
        return false;
    const pugi::xml_node style = findStyle(sourceNames, sourceStyles, id);
    if (!style)
        return false;
    targetStyles.append_copy(style);
    const pugi::xml_node basedOn = sourceNames.child(style, "basedOn");
    copyStyle(QString::fromUtf8(sourceNames.attribute(basedOn, "val")), sourceStyles, targetStyles, depth + 1);
    return true;
}

void FormatContentCopier::declareNamespaces(pugi::xml_node sourceRoot, pugi::xml_node targetRoot)
{
    bool changed = false;
    for (pugi::xml_attribute attribute : sourceRoot.attributes()) {
        if (strncmp(attribute.name(), "xmlns:", 6) || targetRoot.attribute(attribute.name()))
            continue;
        targetRoot.append_attribute(attribute.name()).set_value(attribute.value());
        changed = true;
    }
    if (changed)
        m_target.markChanged(m_targetMain);
}

} // namespace varnel::formatreplace
