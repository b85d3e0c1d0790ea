#include "office/docx/WordDataBindings.h"

#include <QHash>
#include <QRegularExpression>

#include <cstring>

namespace varnel::office {

namespace {

bool oneOf(const char* name, std::initializer_list<const char*> names)
{
    for (const char* n : names) {
        if (name && std::strcmp(name, n) == 0)
            return true;
    }
    return false;
}

// The namespace a prefix ("" for the default) is bound to where node is.
QString namespaceOf(pugi::xml_node node, const QString& prefix)
{
    const std::string attribute = prefix.isEmpty() ? std::string("xmlns") : "xmlns:" + prefix.toStdString();
    for (pugi::xml_node n = node; n; n = n.parent()) {
        if (const pugi::xml_attribute declaration = n.attribute(attribute.c_str()))
            return QString::fromUtf8(declaration.value());
    }
    return {};
}

// Splits "p:name" into its prefix and local name.
std::pair<QString, QString> splitName(const QString& name)
{
    const qsizetype colon = name.indexOf(u':');
    return colon < 0 ? std::pair{QString(), name} : std::pair{name.left(colon), name.mid(colon + 1)};
}

// The node an absolute path of element steps (with an attribute as the last step) leads to; both null
// when the path has another form or leads nowhere.
std::pair<pugi::xml_node, pugi::xml_attribute> follow(pugi::xml_document& document, const QString& xpath,
                                                       const QHash<QString, QString>& namespaces)
{
    static const QRegularExpression elementStep(QStringLiteral("^([\\w.-]+:)?([\\w.-]+)(?:\\[(\\d+)\\])?$"));
    static const QRegularExpression attributeStep(QStringLiteral("^@([\\w.-]+:)?([\\w.-]+)$"));
    if (!xpath.startsWith(u'/'))
        return {};
    const QStringList steps = xpath.mid(1).split(u'/');
    pugi::xml_node node = document;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QRegularExpressionMatch attribute = attributeStep.match(steps[i]);
        if (attribute.hasMatch() && i + 1 == steps.size()) {
            const QString prefix = attribute.captured(1).chopped(attribute.captured(1).isEmpty() ? 0 : 1);
            for (pugi::xml_attribute a : node.attributes()) {
                const auto [aPrefix, local] = splitName(QString::fromUtf8(a.name()));
                const QString uri = aPrefix.isEmpty() ? QString() : namespaceOf(node, aPrefix);
                if (local == attribute.captured(2) && uri == namespaces.value(prefix) && aPrefix != u"xmlns")
                    return {node, a};
            }
            return {};
        }
        const QRegularExpressionMatch step = elementStep.match(steps[i]);
        if (!step.hasMatch())
            return {};
        const QString prefix = step.captured(1).chopped(step.captured(1).isEmpty() ? 0 : 1);
        if (!prefix.isEmpty() && !namespaces.contains(prefix))
            return {};
        int position = step.captured(3).isEmpty() ? 1 : step.captured(3).toInt();
        pugi::xml_node found;
        for (pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            const auto [childPrefix, local] = splitName(QString::fromUtf8(child.name()));
            if (local == step.captured(2) && namespaceOf(child, childPrefix) == namespaces.value(prefix)
                && --position == 0) {
                found = child;
                break;
            }
        }
        if (!found)
            return {};
        node = found;
    }
    return {node, {}};
}

// The custom XML item whose properties part carries this item ID; empty when none does.
QString itemPart(OoxmlPackage& package, const QString& storeItemId)
{
    for (const QString& part : package.partNames()) {
        if (!part.startsWith(u"customXml/", Qt::CaseInsensitive) || part.contains(u"/_rels/"))
            continue;
        QString error;
        for (const Relationship& rel : package.relationships(part, &error)) {
            if (!rel.type.endsWith(u"/customXmlProps") || !package.hasPart(rel.targetPart))
                continue;
            pugi::xml_document* props = package.xml(rel.targetPart, &error);
            if (!props)
                continue;
            for (pugi::xml_attribute a : props->document_element().attributes()) {
                const auto [prefix, local] = splitName(QString::fromUtf8(a.name()));
                if (local == u"itemID" && QString::fromUtf8(a.value()).compare(storeItemId, Qt::CaseInsensitive) == 0)
                    return part;
            }
        }
    }
    return {};
}

} // namespace

void WordDataBindings::collect(const WordNames& names, pugi::xml_node root)
{
    for (const pugi::xpath_node& found : root.select_nodes("descendant::*")) {
        const pugi::xml_node sdt = found.node();
        if (!names.is(sdt, "sdt"))
            continue;
        const pugi::xml_node properties = names.child(sdt, "sdtPr");
        const pugi::xml_node binding = names.child(properties, "dataBinding");
        if (!binding || !names.child(properties, "text") || names.child(properties, "showingPlcHdr"))
            continue;
        Binding b;
        b.names = &names;
        b.properties = properties;
        b.xpath = QString::fromUtf8(names.attribute(binding, "xpath"));
        b.prefixMappings = QString::fromUtf8(names.attribute(binding, "prefixMappings"));
        b.storeItemId = QString::fromUtf8(names.attribute(binding, "storeItemID"));
        b.text = controlText(names, names.child(sdt, "sdtContent"));
        m_bindings.push_back(std::move(b));
    }
}

void WordDataBindings::update(OoxmlPackage& package) const
{
    static const QRegularExpression mapping(QStringLiteral("xmlns:([\\w.-]+)\\s*=\\s*['\"]([^'\"]*)['\"]"));
    for (const Binding& b : m_bindings) {
        const QString text = controlText(*b.names, b.names->child(b.properties.parent(), "sdtContent"));
        if (text == b.text)
            continue;
        const QString part = itemPart(package, b.storeItemId);
        QString error;
        pugi::xml_document* data = part.isEmpty() ? nullptr : package.xml(part, &error);
        if (!data)
            continue;
        QHash<QString, QString> namespaces;
        for (const QRegularExpressionMatch& m : mapping.globalMatch(b.prefixMappings))
            namespaces.insert(m.captured(1), m.captured(2));
        auto [node, attribute] = follow(*data, b.xpath, namespaces);
        const QByteArray value = text.toUtf8();
        if (attribute) {
            attribute.set_value(value.constData());
        } else if (node && node.type() == pugi::node_element) {
            while (node.first_child())
                node.remove_child(node.first_child());
            node.append_child(pugi::node_pcdata).set_value(value.constData());
        } else {
            continue;
        }
        package.markChanged(part);
    }
}

QString WordDataBindings::controlText(const WordNames& names, pugi::xml_node content)
{
    QString text;
    int paragraphs = 0;
    auto visit = [&](auto&& self, pugi::xml_node node) -> void {
        for (pugi::xml_node child : node.children()) {
            const char* name = names.local(child);
            if (!name || oneOf(name, {"del", "moveFrom", "instrText", "delText", "sdtPr", "rPr", "pPr"}))
                continue;
            if (!std::strcmp(name, "t")) {
                text += QString::fromUtf8(child.text().get());
            } else if (!std::strcmp(name, "tab")) {
                text += u'\t';
            } else if (oneOf(name, {"br", "cr"})) {
                text += u'\n';
            } else {
                if (!std::strcmp(name, "p") && paragraphs++ > 0)
                    text += u'\n';
                self(self, child);
            }
        }
    };
    visit(visit, content);
    return text;
}

} // namespace varnel::office
