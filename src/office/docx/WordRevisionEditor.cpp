#include "office/docx/WordRevisionEditor.h"

#include "office/docx/WordEditor.h"
#include "office/docx/WordText.h"

#include <cstring>
#include <string>

namespace varnel::office {

namespace {

// A temporary element where a paragraph mark of the replacement goes; gone when replace() returns.
constexpr const char* MarkerName = "varnel-split";

bool oneOf(const char* name, std::initializer_list<const char*> names)
{
    for (const char* n : names) {
        if (name && std::strcmp(name, n) == 0)
            return true;
    }
    return false;
}

bool isRevision(const char* name)
{
    return oneOf(name, {"ins", "del", "moveFrom", "moveTo", "rPrChange"});
}

bool isProperties(const char* name)
{
    return oneOf(name, {"rPr", "pPr", "sdtPr", "sdtEndPr", "smartTagPr", "customXmlPr"});
}

} // namespace

WordRevisionEditor::WordRevisionEditor(const WordNames& names, WordRevision& revision)
    : m_names(names)
    , m_revision(revision)
{
}

void WordRevisionEditor::stamp(pugi::xml_node change)
{
    const std::string id = m_names.qualified("id");
    if (!change.attribute(id.c_str()))
        change.append_attribute(id.c_str());
    change.attribute(id.c_str()) = m_revision.nextId();
    const std::pair<const char*, QString> stamps[] = {{"author", WordRevision::author()}, {"date", m_revision.date()}};
    for (const auto& [name, value] : stamps) {
        const std::string qualified = m_names.qualified(name);
        if (!change.attribute(qualified.c_str()))
            change.append_attribute(qualified.c_str());
        change.attribute(qualified.c_str()) = value.toUtf8().constData();
    }
}

pugi::xml_node WordRevisionEditor::change(pugi::xml_node parent, pugi::xml_node before, const char* localName)
{
    const std::string name = m_names.qualified(localName);
    pugi::xml_node node = before ? parent.insert_child_before(name.c_str(), before) : parent.append_child(name.c_str());
    stamp(node);
    return node;
}

pugi::xml_node WordRevisionEditor::element(pugi::xml_node parent, const char* localName)
{
    return parent.append_child(m_names.qualified(localName).c_str());
}

void WordRevisionEditor::replace(const WordSegment& segment, qsizetype start, qsizetype end, const QString& replacement)
{
    m_markers.clear();
    m_created.clear();
    const WordAtom first = segment.atom(start);
    const size_t firstPiece = segment.pieceAt(start);
    pugi::xml_node firstDeletion;
    pugi::xml_node later; // the w:del of the piece after the one being deleted
    for (size_t k = segment.pieceAt(end - 1) + 1; k-- > firstPiece;) {
        const WordPiece& piece = segment.pieces[k];
        pugi::xml_node deletion = deletePiece(piece, std::max<qsizetype>(start, piece.start) - piece.start,
                                              std::min<qsizetype>(end, piece.start + piece.length) - piece.start);
        // Neighbouring deletions are one change, as Word records them.
        if (deletion && later && deletion.next_sibling() == later) {
            for (pugi::xml_node c = later.first_child(); c; c = later.first_child())
                deletion.append_move(c);
            later.parent().remove_child(later);
        }
        later = deletion;
        if (k == firstPiece)
            firstDeletion = deletion;
    }
    if (replacement.isEmpty())
        return;
    if (first.kind == WordAtom::Mark) {
        insert(first.node, {}, m_names.child(m_names.child(first.node, "pPr"), "rPr"), replacement);
    } else {
        insert(firstDeletion.parent(), firstDeletion.next_sibling(),
               m_names.child(m_names.child(firstDeletion, "r"), "rPr"), replacement);
    }
    for (const pugi::xml_node& marker : m_markers)
        split(marker);
    for (auto node = m_created.rbegin(); node != m_created.rend(); ++node) {
        if (isEmpty(*node))
            node->parent().remove_child(*node);
    }
}

pugi::xml_node WordRevisionEditor::deletePiece(const WordPiece& piece, qsizetype from, qsizetype to)
{
    pugi::xml_node deleted = piece.node;
    switch (piece.kind) {
    case WordAtom::Mark:
        markParagraph(piece.node, "del");
        return {};
    case WordAtom::Special:
        break;
    case WordAtom::Text: {
        const QString text = WordStoryText::textOf(piece.node);
        if (to < text.size())
            WordEditor::setText(piece.node.parent().insert_child_after(piece.node.name(), piece.node), text.mid(to));
        if (from > 0) {
            deleted = piece.node.parent().insert_child_after(piece.node.name(), piece.node);
            WordEditor::setText(piece.node, text.left(from));
        }
        WordEditor::setText(deleted, text.mid(from, to - from));
        deleted.set_name(m_names.qualified("delText").c_str());
        break;
    }
    }
    const pugi::xml_node run = isolate(deleted);
    pugi::xml_node deletion = change(run.parent(), run, "del");
    deletion.append_move(run);
    return deletion;
}

pugi::xml_node WordRevisionEditor::isolate(pugi::xml_node child)
{
    pugi::xml_node run = child.parent();
    const pugi::xml_node properties = m_names.child(run, "rPr");
    auto newRun = [&]() {
        pugi::xml_node r = run.parent().insert_child_after(run.name(), run);
        if (properties)
            r.append_copy(properties);
        return r;
    };
    if (child.next_sibling()) {
        pugi::xml_node tail = newRun();
        for (pugi::xml_node c = child.next_sibling(); c; c = child.next_sibling())
            tail.append_move(c);
    }
    for (pugi::xml_node c = child.previous_sibling(); c; c = c.previous_sibling()) {
        if (c.type() == pugi::node_element && c != properties) {
            pugi::xml_node own = newRun();
            own.append_move(child);
            return own;
        }
    }
    return run;
}

void WordRevisionEditor::markParagraph(pugi::xml_node p, const char* localName)
{
    pugi::xml_node pPr = m_names.child(p, "pPr");
    if (!pPr)
        pPr = p.prepend_child(m_names.qualified("pPr").c_str());
    pugi::xml_node rPr = m_names.child(pPr, "rPr");
    if (!rPr) {
        // The mark's properties come last but for the section and the record of property changes.
        pugi::xml_node before = m_names.child(pPr, "sectPr");
        if (!before)
            before = m_names.child(pPr, "pPrChange");
        const std::string name = m_names.qualified("rPr");
        rPr = before ? pPr.insert_child_before(name.c_str(), before) : pPr.append_child(name.c_str());
    }
    change(rPr, rPr.first_child(), localName);
}

void WordRevisionEditor::insert(pugi::xml_node parent, pugi::xml_node before, pugi::xml_node properties,
                                const QString& text)
{
    pugi::xml_node insertion = change(parent, before, "ins");
    pugi::xml_node run = element(insertion, "r");
    m_created.push_back(insertion);
    m_created.push_back(run);
    if (properties) {
        pugi::xml_node copy = run.append_copy(properties);
        copy.set_name(m_names.qualified("rPr").c_str());
        for (pugi::xml_node c = copy.first_child(), next; c; c = next) {
            next = c.next_sibling();
            if (isRevision(m_names.local(c)))
                copy.remove_child(c);
        }
    }
    QString buffer;
    auto flush = [&]() {
        if (!buffer.isEmpty())
            WordEditor::setText(element(run, "t"), buffer);
        buffer.clear();
    };
    for (const QChar c : text) {
        const char* name = nullptr;
        const char* breakType = nullptr;
        switch (c.unicode()) {
        case wordtext::ParagraphMark: flush(); m_markers.push_back(run.append_child(MarkerName)); continue;
        case wordtext::Tab: name = "tab"; break;
        case wordtext::LineBreak: name = "br"; break;
        case wordtext::PageBreak: name = "br"; breakType = "page"; break;
        case wordtext::ColumnBreak: name = "br"; breakType = "column"; break;
        case wordtext::NoBreakHyphen: name = "noBreakHyphen"; break;
        case wordtext::SoftHyphen: name = "softHyphen"; break;
        default:
            // Other control characters cannot be written in XML 1.0.
            if (c.unicode() >= 0x20 && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF)
                buffer += c;
            continue;
        }
        flush();
        pugi::xml_node special = element(run, name);
        if (breakType)
            special.append_attribute(m_names.qualified("type").c_str()) = breakType;
    }
    flush();
}

void WordRevisionEditor::split(pugi::xml_node marker)
{
    pugi::xml_node paragraph = marker.parent();
    while (paragraph && !m_names.is(paragraph, "p"))
        paragraph = paragraph.parent();
    // The new paragraph takes what precedes the marker; its mark is the inserted one.
    pugi::xml_node first = paragraph.parent().insert_child_before(paragraph.name(), paragraph);
    if (const pugi::xml_node props = m_names.child(paragraph, "pPr")) {
        pugi::xml_node copy = first.append_copy(props);
        copy.remove_child(m_names.child(copy, "sectPr"));
        pugi::xml_node markProps = m_names.child(copy, "rPr");
        for (pugi::xml_node c = markProps.first_child(), next; c; c = next) {
            next = c.next_sibling();
            if (isRevision(m_names.local(c)))
                markProps.remove_child(c);
        }
    }
    markParagraph(first, "ins");

    // Every element between the paragraph and the marker is cut in two: a copy of it (with its properties)
    // takes what precedes the marker; a copy of a change is a change of its own, a copy of anything else
    // gets fresh ids. A simple field is not copied (WordEditor::leaveSimpleField).
    pugi::xml_node cur = marker;
    while (cur.parent() != paragraph) {
        const pugi::xml_node parent = cur.parent();
        if (m_names.is(parent, "fldSimple")) {
            WordEditor::leaveSimpleField(parent, cur);
            continue;
        }
        pugi::xml_node left = parent.parent().insert_child_before(parent.name(), parent);
        for (const pugi::xml_attribute& attr : parent.attributes())
            left.append_attribute(attr.name()) = attr.value();
        for (pugi::xml_node child = parent.first_child(), next; child != cur; child = next) {
            next = child.next_sibling();
            if (isProperties(m_names.local(child)))
                left.append_copy(child);
            else
                left.append_move(child);
        }
        if (oneOf(m_names.local(parent), {"ins", "del"})) {
            stamp(left);
        } else {
            if (!m_ids)
                m_ids.emplace(m_names, left);
            m_ids->renumber(left);
        }
        m_created.push_back(left);
        cur = parent;
    }
    for (pugi::xml_node child = paragraph.first_child(), next; child != cur; child = next) {
        next = child.next_sibling();
        if (!m_names.is(child, "pPr"))
            first.append_move(child);
    }
    marker.parent().remove_child(marker);
}

bool WordRevisionEditor::deleteField(pugi::xml_node first, pugi::xml_node last)
{
    // Only runs, deletions and range marks can go into a w:del: a simple field, or a field holding a
    // hyperlink, a control or an insertion, stays.
    for (pugi::xml_node node = first;; node = node.next_sibling()) {
        if (!node || !oneOf(m_names.local(node), {"r", "del", "bookmarkStart", "bookmarkEnd", "proofErr",
                                                   "commentRangeStart", "commentRangeEnd", "permStart", "permEnd"}))
            return false;
        if (node == last)
            break;
    }
    pugi::xml_node deletion = change(first.parent(), first, "del");
    for (pugi::xml_node node = first, next; node; node = next) {
        next = node == last ? pugi::xml_node() : node.next_sibling();
        if (m_names.is(node, "del")) {
            for (pugi::xml_node c = node.first_child(); c; c = node.first_child())
                deletion.append_move(c);
            node.parent().remove_child(node);
            continue;
        }
        for (const pugi::xpath_node& code : node.select_nodes(".//*")) {
            if (m_names.is(code.node(), "instrText"))
                code.node().set_name(m_names.qualified("delInstrText").c_str());
        }
        deletion.append_move(node);
    }
    return true;
}

bool WordRevisionEditor::isEmpty(pugi::xml_node node) const
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && !isProperties(m_names.local(c)))
            return false;
    }
    return true;
}

} // namespace varnel::office
