#include "office/docx/DocxDocument.h"

#include <algorithm>
#include <cstring>

namespace varnel::office {

namespace {

bool relationshipIs(const Relationship& rel, const char* kind)
{
    return !rel.external && rel.type.endsWith(QLatin1StringView(kind));
}

const char* localName(pugi::xml_node node)
{
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

// An on/off value of WordprocessingML that is set ("1", "true" or "on").
bool isOn(const char* value)
{
    return !std::strcmp(value, "1") || !std::strcmp(value, "true") || !std::strcmp(value, "on");
}

} // namespace

std::unique_ptr<DocxDocument> DocxDocument::open(const QString& path, QString* error, const QString& password)
{
    std::unique_ptr<DocxDocument> document(new DocxDocument);
    document->m_package = OoxmlPackage::open(path, password, error);
    if (!document->m_package || !document->load(error))
        return nullptr;
    return document;
}

QString DocxDocument::hyperlinkRelationshipsPart() const
{
    return m_package->relationshipsPartOf(m_main);
}

pugi::xml_node DocxDocument::root(const QString& part, QString* error)
{
    pugi::xml_document* document = m_package->xml(part, error);
    if (!document)
        return {};
    const pugi::xml_node root = document->document_element();
    m_names.emplace(part, WordNames(root));
    return root;
}

bool DocxDocument::load(QString* error)
{
    m_main = m_package->mainDocumentPart();
    const pugi::xml_node mainRoot = m_main.isEmpty() ? pugi::xml_node() : root(m_main, error);
    const pugi::xml_node body = mainRoot ? names(m_main).child(mainRoot, "body") : pugi::xml_node();
    if (!body) {
        if (error && (error->isEmpty() || mainRoot))
            *error = QStringLiteral("文件不是有效的Word文档：没有找到文档正文");
        return false;
    }
    m_stories.push_back({WordStory::Kind::Main, m_main, body, false});
    addTextBoxes(m_main, mainRoot, WordStory::Kind::TextBox, true);

    QString relationshipsError;
    const QList<Relationship> relationships = m_package->relationships(m_main, &relationshipsError);
    if (!relationshipsError.isEmpty()) {
        if (error)
            *error = relationshipsError;
        return false;
    }
    for (const Relationship& rel : relationships) {
        if (!m_package->hasPart(rel.targetPart))
            continue;
        // A part can be the target of several relationships (the default and the even-page header, say);
        // it is one story all the same.
        if ((relationshipIs(rel, "/header") || relationshipIs(rel, "/footer")) && !m_names.count(rel.targetPart)) {
            const pugi::xml_node partRoot = root(rel.targetPart, error);
            if (!partRoot)
                return false;
            m_stories.push_back({WordStory::Kind::HeaderFooter, rel.targetPart, partRoot, false});
            addTextBoxes(rel.targetPart, partRoot, WordStory::Kind::HeaderFooterTextBox, false);
        }
    }
    for (const Relationship& rel : relationships) {
        if (!m_package->hasPart(rel.targetPart))
            continue;
        if ((relationshipIs(rel, "/footnotes") || relationshipIs(rel, "/endnotes")) && !m_names.count(rel.targetPart)) {
            const pugi::xml_node partRoot = root(rel.targetPart, error);
            if (!partRoot)
                return false;
            const WordNames& partNames = names(rel.targetPart);
            for (const pugi::xml_node note : partRoot.children()) {
                const char* name = partNames.local(note);
                if (!name || (std::strcmp(name, "footnote") != 0 && std::strcmp(name, "endnote") != 0))
                    continue;
                const char* type = partNames.attribute(note, "type");
                if (*type == '\0' || std::strcmp(type, "normal") == 0)
                    m_stories.push_back({WordStory::Kind::Note, rel.targetPart, note, false});
            }
        } else if (relationshipIs(rel, "/settings")) {
            if (!readProtection(rel.targetPart, error))
                return false;
        }
    }
    for (const auto& [part, partNames] : m_names) {
        if (pugi::xml_document* document = m_package->xml(part, nullptr))
            m_dataBindings.collect(partNames, document->document_element());
    }
    readHyperlinks();
    m_hyperlinkFields = WordHyperlinkField::collect(names(m_main), mainRoot);
    return true;
}

void DocxDocument::addTextBoxes(const QString& part, pugi::xml_node root, WordStory::Kind kind, bool wordArt)
{
    const WordNames& partNames = names(part);
    const std::string fallback = partNames.mcPrefix() + "Fallback";
    const std::string choice = partNames.mcPrefix() + "Choice";
    const std::string textPath = partNames.vmlPrefix() + "textpath";

    // In the fallback of an alternate content whose choice holds a text box: the choice is the copy counted.
    auto shadow = [&](pugi::xml_node node) {
        for (pugi::xml_node a = node.parent(); a; a = a.parent()) {
            if (fallback != a.name())
                continue;
            for (const pugi::xml_node c : a.parent().children(choice.c_str())) {
                if (c.find_node([&](pugi::xml_node n) { return partNames.is(n, "txbxContent"); }))
                    return true;
            }
        }
        return false;
    };
    auto visit = [&](auto&& self, pugi::xml_node node) -> void {
        for (const pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            if (partNames.is(child, "txbxContent"))
                m_stories.push_back({kind, part, child, shadow(child)});
            else if (wordArt && textPath == child.name() && child.attribute("string"))
                m_wordArt.push_back({child.attribute("string"), shadow(child)});
            self(self, child);
        }
    };
    visit(visit, root);
}

bool DocxDocument::readProtection(const QString& settingsPart, QString* error)
{
    const pugi::xml_node settings = root(settingsPart, error);
    if (!settings)
        return false;
    const WordNames& partNames = names(settingsPart);
    const pugi::xml_node protection = partNames.child(settings, "documentProtection");
    const char* edit = partNames.attribute(protection, "edit");
    m_readOnly = isOn(partNames.attribute(protection, "enforcement"))
        && (!std::strcmp(edit, "readOnly") || !std::strcmp(edit, "comments") || !std::strcmp(edit, "forms"));
    const pugi::xml_node track = partNames.child(settings, "trackRevisions");
    const bool trackOn = track && (!*partNames.attribute(track, "val") || isOn(partNames.attribute(track, "val")));
    const bool trackedOnly = isOn(partNames.attribute(protection, "enforcement")) && !std::strcmp(edit, "trackedChanges");
    m_tracksChanges = trackOn || trackedOnly;
    const pugi::xml_node write = partNames.child(settings, "writeProtection");
    m_writeProtected = *partNames.attribute(write, "hashValue") || *partNames.attribute(write, "hash");
    return true;
}

void DocxDocument::readHyperlinks()
{
    // Already parsed when the relationships were read.
    const QString relsPart = hyperlinkRelationshipsPart();
    pugi::xml_document* rels = m_package->hasPart(relsPart) ? m_package->xml(relsPart, nullptr) : nullptr;
    if (!rels)
        return;
    for (const pugi::xml_node rel : rels->document_element().children()) {
        if (rel.type() != pugi::node_element || std::strcmp(localName(rel), "Relationship") != 0)
            continue;
        const QString type = QString::fromUtf8(rel.attribute("Type").value());
        const QString mode = QString::fromUtf8(rel.attribute("TargetMode").value());
        if (type.endsWith(u"/hyperlink") && mode.compare(u"External", Qt::CaseInsensitive) == 0
            && rel.attribute("Target"))
            m_hyperlinkTargets.push_back(rel.attribute("Target"));
    }
}

int DocxDocument::nextRevisionId() const
{
    int largest = 0;
    for (const auto& [part, partNames] : m_names) {
        pugi::xml_document* document = m_package->xml(part, nullptr);
        if (!document)
            continue;
        const std::string id = partNames.qualified("id");
        for (const pugi::xpath_node& node : document->select_nodes("//*[@*]")) {
            const int value = node.node().attribute(id.c_str()).as_int(0);
            largest = std::max(largest, value);
        }
    }
    return largest + 1;
}

} // namespace varnel::office
