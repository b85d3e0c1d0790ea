#include "office/docx/WordFieldReplacer.h"

#include "office/docx/WordEditor.h"
#include "office/docx/WordStoryText.h"

#include <cstring>
#include <unordered_set>

namespace varnel::office {

WordFieldReplacer::WordFieldReplacer(const WordNames& names)
    : m_names(names)
{
}

void WordFieldReplacer::collect(pugi::xml_node parent, Reading* reading) const
{
    for (pugi::xml_node child : parent.children()) {
        const char* name = m_names.local(child);
        // Foreign markup (alternate content, drawings, math) holds no field of this story.
        if (!name || !std::strcmp(name, "del") || !std::strcmp(name, "moveFrom"))
            continue;
        if (!std::strcmp(name, "fldSimple")) {
            if (reading->depth == 0 && removable({child, child}))
                reading->fields.push_back({child, child});
            continue;
        }
        if (!std::strcmp(name, "fldChar")) {
            const char* type = m_names.attribute(child, "fldCharType");
            if (!std::strcmp(type, "begin")) {
                if (reading->depth++ == 0)
                    reading->begin = child.parent();
            } else if (!std::strcmp(type, "end") && reading->depth > 0 && --reading->depth == 0) {
                const Field field{reading->begin, child.parent()};
                if (field.first.parent() == field.last.parent() && removable(field))
                    reading->fields.push_back(field);
            }
            continue;
        }
        collect(child, reading);
    }
}

bool WordFieldReplacer::removable(const Field& field) const
{
    // The document keeps its HYPERLINK fields to edit their addresses, and its text boxes and WordArt as
    // stories: a field holding any of them stays.
    const auto kept = [this](pugi::xml_node node) {
        const char* name = m_names.local(node);
        QString instruction;
        if (name && !std::strcmp(name, "instrText"))
            instruction = QString::fromUtf8(node.text().get());
        else if (name && !std::strcmp(name, "fldSimple"))
            instruction = QString::fromUtf8(m_names.attribute(node, "instr"));
        return instruction.contains(u"HYPERLINK", Qt::CaseInsensitive) || holdsStory(node);
    };
    for (pugi::xml_node node = field.first; node; node = node.next_sibling()) {
        if (kept(node) || node.find_node(kept))
            return false;
        if (node == field.last)
            break;
    }
    return true;
}

void WordFieldReplacer::removeNodes(const Field& field)
{
    pugi::xml_node parent = field.first.parent();
    pugi::xml_node next;
    for (pugi::xml_node node = field.first; node; node = next) {
        next = node == field.last ? pugi::xml_node() : node.next_sibling();
        parent.remove_child(node);
    }
}

bool WordFieldReplacer::removeField(pugi::xml_node first, pugi::xml_node last) const
{
    if (!removable({first, last}))
        return false;
    removeNodes({first, last});
    return true;
}

int WordFieldReplacer::replaceAll(pugi::xml_node container, const WordReplacement& replacement) const
{
    if (replacement.usesFoundText())
        return 0;
    Reading reading;
    collect(container, &reading);
    const QString text = replacement.expand(WordMatch(), QString(), false);
    const std::string run = m_names.qualified("r");

    // Each field gives way to a run of one character, with the formatting of the field's first run;
    // the editor then replaces that character by the replacement, paragraph marks and all.
    std::unordered_set<pugi::xml_node_struct*> placeholders;
    for (const Field& field : reading.fields) {
        pugi::xml_node parent = field.first.parent();
        if (!text.isEmpty()) {
            const pugi::xml_node firstRun = m_names.is(field.first, "r") ? field.first : m_names.child(field.first, "r");
            pugi::xml_node placeholder = parent.insert_child_before(run.c_str(), field.first);
            if (const pugi::xml_node props = m_names.child(firstRun, "rPr"))
                placeholder.append_copy(props);
            pugi::xml_node t = placeholder.append_child(m_names.qualified("t").c_str());
            t.text().set("x");
            placeholders.insert(t.internal_object());
        }
        removeNodes(field);
    }
    if (placeholders.empty())
        return int(reading.fields.size());

    WordStoryText story(m_names, container);
    WordEditor editor(m_names);
    std::vector<WordSegment>& segments = story.segments();
    for (auto segment = segments.rbegin(); segment != segments.rend(); ++segment) {
        for (size_t k = segment->pieces.size(); k-- > 0;) {
            const WordPiece piece = segment->pieces[k];
            if (placeholders.erase(piece.node.internal_object()))
                editor.replace(*segment, piece.start, piece.start + 1, text);
        }
    }
    // A placeholder the story does not read as text (none is expected) must not stay in the document.
    for (pugi::xml_node_struct* left : placeholders) {
        const pugi::xml_node t(left);
        t.parent().parent().remove_child(t.parent());
    }
    return int(reading.fields.size());
}

} // namespace varnel::office
