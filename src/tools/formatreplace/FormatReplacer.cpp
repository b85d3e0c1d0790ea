#include "tools/formatreplace/FormatReplacer.h"

#include "office/docx/WordEditor.h"
#include "office/docx/WordStoryText.h"
#include "office/docx/WordText.h"

#include <algorithm>
#include <cstring>

namespace varnel::formatreplace {

using office::WordNames;

namespace {

// A noncharacter: never in a real document, and still a legal XML character.
constexpr char16_t kPlaceholder = 0xFDD0;

const char* localOf(pugi::xml_node node)
{
    const char* colon = strchr(node.name(), ':');
    return colon ? colon + 1 : node.name();
}

bool inHyperlink(const WordNames& names, pugi::xml_node node)
{
    for (pugi::xml_node up = node; up; up = up.parent())
        if (names.is(up, "hyperlink"))
            return true;
    return false;
}

bool onlyProperties(const WordNames& names, pugi::xml_node run)
{
    for (pugi::xml_node child : run.children())
        if (!names.is(child, "rPr"))
            return false;
    return true;
}

void collectPlaceholders(const WordNames& names, pugi::xml_node node, std::vector<pugi::xml_node>* found)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (names.is(child, "t")) {
            if (QString::fromUtf8(child.child_value()).contains(QChar(kPlaceholder)))
                found->push_back(child);
        } else {
            collectPlaceholders(names, child, found);
        }
    }
}

} // namespace

FormatReplacer::FormatReplacer(const WordNames& names, pugi::xml_node root, pugi::xml_node container)
    : m_names(names)
    , m_root(root)
    , m_container(container)
{
}

int FormatReplacer::replace(const office::WordMatcher& matcher, bool onlyFirst, const ContentSource& source)
{
    office::WordStoryText story(m_names, m_container);
    std::vector<std::vector<office::WordMatch>> matches;
    int count = 0;
    for (const office::WordSegment& segment : story.segments()) {
        matches.push_back(onlyFirst && count > 0 ? std::vector<office::WordMatch>() : matcher.findAll(segment.text));
        if (onlyFirst && matches.back().size() > 1)
            matches.back().resize(1);
        count += int(matches.back().size());
    }
    std::vector<pugi::xml_node> content;
    if (count == 0)
        return 0;
    if (!source(&content))
        return -1;

    QString placeholders{QChar(kPlaceholder)};
    for (size_t i = 1; i < content.size(); ++i) {
        placeholders += QChar(office::wordtext::ParagraphMark);
        placeholders += QChar(kPlaceholder);
    }
    office::WordEditor editor(m_names);
    for (size_t s = matches.size(); s-- > 0;) {
        for (auto match = matches[s].rbegin(); match != matches[s].rend(); ++match)
            editor.replace(story.segments()[s], match->start, match->start + match->length, placeholders);
    }

    std::vector<pugi::xml_node> found;
    collectPlaceholders(m_names, m_container, &found);
    // The placeholders come in document order, content.size() of them per occurrence; the count moves on
    // only for a placeholder actually replaced, not for the text left behind the last one of a w:t.
    size_t index = 0;
    for (pugi::xml_node t : found) {
        while (t && QString::fromUtf8(t.child_value()).contains(QChar(kPlaceholder)))
            t = insertAt(t, content, index++ % content.size());
    }
    return count;
}

pugi::xml_node FormatReplacer::insertAt(pugi::xml_node t, const std::vector<pugi::xml_node>& content, size_t index)
{
    const QString text = QString::fromUtf8(t.child_value());
    const qsizetype at = text.indexOf(QChar(kPlaceholder));
    if (at < 0)
        return {};
    pugi::xml_node run = t.parent();
    pugi::xml_node parent = run.parent();
    int position = 0;
    for (pugi::xml_node child = run.first_child(); child != t; child = child.next_sibling())
        ++position;

    pugi::xml_node after = parent.insert_copy_after(run, run);
    while (t.next_sibling())
        run.remove_child(t.next_sibling());
    pugi::xml_node rest = after.first_child();
    for (int i = 0; i < position; ++i) {
        pugi::xml_node next = rest.next_sibling();
        if (!m_names.is(rest, "rPr"))
            after.remove_child(rest);
        rest = next;
    }
    if (at == 0)
        run.remove_child(t);
    else
        office::WordEditor::setText(t, text.left(at));
    if (onlyProperties(m_names, run))
        parent.remove_child(run);

    insertInline(content[index], parent, after, inHyperlink(m_names, parent));
    if (index + 1 < content.size()) {
        pugi::xml_node paragraph = parent;
        while (paragraph && !m_names.is(paragraph, "p"))
            paragraph = paragraph.parent();
        setParagraphProperties(paragraph, content[index]);
    }

    if (at + 1 == text.size()) {
        after.remove_child(rest);
        rest = pugi::xml_node();
    } else {
        office::WordEditor::setText(rest, text.mid(at + 1));
    }
    if (onlyProperties(m_names, after)) {
        parent.remove_child(after);
        return {};
    }
    return rest;
}

void FormatReplacer::insertInline(pugi::xml_node source, pugi::xml_node parent, pugi::xml_node before,
                                  bool hyperlinkAround)
{
    for (pugi::xml_node child : source.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* local = localOf(child);
        // Bookmarks and comment ranges of the definition document have no meaning here, and their names and
        // ids would clash when the content goes in more than once.
        if (!strcmp(local, "pPr") || office::isRangeMarker(local))
            continue;
        if (hyperlinkAround && !strcmp(local, "hyperlink")) {
            insertInline(child, parent, before, true);
            continue;
        }
        const pugi::xml_node copy = parent.insert_copy_before(child, before);
        dropNoteReferences(copy);
        if (m_names.is(copy, "r") && onlyProperties(m_names, copy))
            parent.remove_child(copy);
        else
            renumberDrawings(copy);
    }
}

void FormatReplacer::dropNoteReferences(pugi::xml_node node)
{
    // The footnotes, endnotes and comments these point to live in the definition document's own parts; an
    // id the target does not have makes Word refuse the whole document.
    for (pugi::xml_node child = node.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (child.type() == pugi::node_element) {
            const char* local = localOf(child);
            if (!strcmp(local, "footnoteReference") || !strcmp(local, "endnoteReference")
                || !strcmp(local, "commentReference")) {
                node.remove_child(child);
            } else {
                dropNoteReferences(child);
                if (m_names.is(child, "r") && onlyProperties(m_names, child))
                    node.remove_child(child);
            }
        }
        child = next;
    }
}

void FormatReplacer::setParagraphProperties(pugi::xml_node paragraph, pugi::xml_node source)
{
    if (!paragraph)
        return;
    pugi::xml_node old = m_names.child(paragraph, "pPr");
    const pugi::xml_node section = m_names.child(old, "sectPr");
    const pugi::xml_node properties = m_names.child(source, "pPr");
    pugi::xml_node added;
    if (properties)
        added = paragraph.prepend_copy(properties);
    if (section) {
        if (!added)
            added = paragraph.prepend_child(m_names.qualified("pPr").c_str());
        added.append_copy(section);
    }
    if (old)
        paragraph.remove_child(old);
}

void FormatReplacer::renumberDrawings(pugi::xml_node node)
{
    if (!strcmp(localOf(node), "docPr")) {
        if (m_nextDrawingId == 0)
            m_nextDrawingId = maxDrawingId(m_root) + 1;
        pugi::xml_attribute id = node.attribute("id");
        if (id)
            id.set_value(m_nextDrawingId++);
    }
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element)
            renumberDrawings(child);
}

int FormatReplacer::maxDrawingId(pugi::xml_node node) const
{
    int result = 0;
    if (!strcmp(localOf(node), "docPr"))
        result = node.attribute("id").as_int();
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element)
            result = std::max(result, maxDrawingId(child));
    return result;
}

} // namespace varnel::formatreplace
