#include "office/docx/WordEditor.h"

#include "office/docx/WordText.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace varnel::office {

namespace {

// A temporary element where a paragraph mark of the replacement goes; gone when replace() returns.
constexpr const char* MarkerName = "varnel-split";

// A code unit that is not plain text in a w:t: a wordtext mark, or a character XML cannot hold.
bool isSpecialUnit(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF;
}

bool needsSpecialNodes(const QString& text)
{
    return std::any_of(text.begin(), text.end(), isSpecialUnit);
}

bool needsPreserve(const QString& text)
{
    if (text.isEmpty())
        return false;
    auto space = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
    return space(text.front()) || space(text.back()) || text.contains(QStringLiteral("  "));
}

// A paragraph's w:pPr, which the schema puts before all of its content (some writers put a bookmark or
// another range marker first). Looking no further keeps the cost of an edit independent of the length of
// its paragraph, which joins make long.
pugi::xml_node paragraphProperties(const WordNames& names, pugi::xml_node p)
{
    for (pugi::xml_node child = p.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* name = names.local(child);
        if (!name || !isRangeMarker(name))
            return name && !std::strcmp(name, "pPr") ? child : pugi::xml_node();
    }
    return {};
}

bool endsWith(const char* name, const char* suffix)
{
    const size_t n = std::strlen(name);
    const size_t s = std::strlen(suffix);
    return n >= s && std::strcmp(name + n - s, suffix) == 0;
}

} // namespace

WordEditor::WordEditor(const WordNames& names)
    : m_names(names)
{
}

void WordEditor::setText(pugi::xml_node t, const QString& text)
{
    t.text().set(text.toUtf8().constData());
    if (!needsPreserve(text))
        return;
    pugi::xml_attribute space = t.attribute("xml:space");
    if (!space)
        space = t.append_attribute("xml:space");
    space = "preserve";
}

void WordEditor::touch(pugi::xml_node node)
{
    for (pugi::xml_node n = node; n && !m_names.is(n, "p"); n = n.parent())
        m_touched.insert(n.internal_object());
}

bool WordEditor::touched(pugi::xml_node node) const
{
    return m_touched.count(node.internal_object()) > 0;
}

pugi::xml_node WordEditor::newElement(pugi::xml_node parent, pugi::xml_node before, const char* localName)
{
    const std::string name = m_names.qualified(localName);
    return before ? parent.insert_child_before(name.c_str(), before) : parent.append_child(name.c_str());
}

bool WordEditor::replace(const WordSegment& segment, qsizetype start, qsizetype end, const QString& replacement)
{
    m_markers.clear();
    m_touched.clear();

    std::vector<pugi::xml_node> joined; // paragraphs whose marks are replaced
    bool textOnly = true;
    const size_t firstPiece = segment.pieceAt(start);
    for (size_t k = firstPiece; k < segment.pieces.size() && segment.pieces[k].start < end; ++k) {
        if (segment.pieces[k].kind == WordAtom::Mark)
            joined.push_back(segment.pieces[k].node);
        textOnly = textOnly && segment.pieces[k].kind == WordAtom::Text;
    }
    const WordAtom first = segment.atom(start);
    const pugi::xml_node firstParagraph = WordStoryText::paragraphOf(m_names, first);
    pugi::xml_node target = joined.empty() ? firstParagraph : WordStoryText::nextParagraph(m_names, joined.back());
    if (!target)
        return false; // the atoms no longer describe the tree; leave it alone rather than guess

    const WordPiece& piece = segment.pieces[firstPiece];
    const qsizetype firstEnd = std::min<qsizetype>(end, piece.start + piece.length);
    removeAtoms(segment, firstEnd, end);
    insertFirst(first, segment.atom(firstEnd - 1), replacement);

    // Joined paragraphs pour their content into the paragraph whose mark survives.
    if (!joined.empty()) {
        const pugi::xml_node targetProps = paragraphProperties(m_names, target);
        const pugi::xml_node anchor = targetProps ? targetProps.next_sibling() : target.first_child();
        for (const pugi::xml_node& p : joined) {
            pugi::xml_node next;
            for (pugi::xml_node child = p.first_child(); child; child = next) {
                next = child.next_sibling();
                if (m_names.is(child, "pPr"))
                    continue;
                if (anchor)
                    target.insert_move_before(child, anchor);
                else
                    target.append_move(child);
            }
        }
    }
    const pugi::xml_node templateParagraph = joined.empty() ? target : joined.front();
    pugi::xml_node rest = target;
    for (const pugi::xml_node& marker : m_markers)
        rest = splitParagraph(rest, marker, templateParagraph);
    for (const pugi::xml_node& p : joined)
        p.parent().remove_child(p);

    // Only touched elements can have been emptied. The paragraphs' touched children come from the touched
    // set, gathered before anything is removed, rather than from a walk over all the children of target,
    // which grows with every paragraph a Replace All joins into it.
    std::vector<pugi::xml_node> touchedChildren;
    for (pugi::xml_node_struct* node : m_touched) {
        if (m_names.is(pugi::xml_node(node).parent(), "p"))
            touchedChildren.emplace_back(node);
    }
    for (const pugi::xml_node& child : touchedChildren)
        removeIfEmpty(child);

    // Text replaced by plain text changed only the text of w:t elements: the segment can follow suit, so
    // that the next definition can search it without reading the story again.
    return textOnly && !needsSpecialNodes(replacement);
}

void WordEditor::updateSegment(WordSegment& segment, const std::vector<WordTextEdit>& edits)
{
    // Each piece loses what the edits overlapping it removed and gains the replacements of the edits that
    // start in it (the replacement goes into the w:t of the first matched character); a w:t emptied this
    // way is gone from the tree. Pieces and edits are both in text order, so one cursor over the edits
    // serves the whole walk.
    std::vector<WordPiece> pieces;
    pieces.reserve(segment.pieces.size());
    size_t next = 0; // the first edit that may still overlap the current piece
    int start = 0;
    for (WordPiece piece : segment.pieces) {
        const qsizetype pieceEnd = piece.start + piece.length;
        qsizetype length = piece.length;
        for (size_t e = next; e < edits.size() && edits[e].start < pieceEnd; ++e) {
            const WordTextEdit& edit = edits[e];
            length -= std::min(edit.end, pieceEnd) - std::max<qsizetype>(edit.start, piece.start);
            if (edit.start >= piece.start)
                length += edit.replacement.size();
        }
        while (next < edits.size() && edits[next].end <= pieceEnd)
            ++next;
        if (length == 0)
            continue;
        piece.start = start;
        piece.length = int(length);
        start += piece.length;
        pieces.push_back(piece);
    }

    QString text;
    text.reserve(start);
    qsizetype copied = 0;
    for (const WordTextEdit& edit : edits) {
        text += QStringView(segment.text).mid(copied, edit.start - copied);
        text += edit.replacement;
        copied = edit.end;
    }
    text += QStringView(segment.text).mid(copied);
    segment.text = std::move(text);
    segment.pieces = std::move(pieces);
}

void WordEditor::removeAtoms(const WordSegment& segment, qsizetype from, qsizetype to)
{
    if (from >= to)
        return;
    for (size_t k = segment.pieceAt(from); k < segment.pieces.size() && segment.pieces[k].start < to; ++k) {
        const WordPiece& piece = segment.pieces[k];
        if (piece.kind == WordAtom::Mark)
            continue;
        pugi::xml_node run = piece.node.parent();
        touch(run);
        if (piece.kind == WordAtom::Special) {
            run.remove_child(piece.node);
            continue;
        }
        const qsizetype a = std::max<qsizetype>(from, piece.start) - piece.start;
        const qsizetype b = std::min<qsizetype>(to, piece.start + piece.length) - piece.start;
        QString text = WordStoryText::textOf(piece.node);
        text.remove(a, b - a);
        if (text.isEmpty())
            run.remove_child(piece.node);
        else
            setText(piece.node, text);
    }
}

void WordEditor::insertFirst(const WordAtom& first, const WordAtom& last, const QString& replacement)
{
    switch (first.kind) {
    case WordAtom::Text: {
        const pugi::xml_node t = first.node;
        pugi::xml_node run = t.parent();
        touch(run);
        const QString text = WordStoryText::textOf(t);
        const QString prefix = text.left(first.offset);
        const QString suffix = text.mid(last.offset + 1);
        if (!needsSpecialNodes(replacement)) {
            const QString all = prefix + replacement + suffix;
            if (all.isEmpty())
                run.remove_child(t);
            else
                setText(t, all);
            return;
        }
        // Plain text at either end of the replacement joins the text around it in the same w:t.
        qsizetype head = 0;
        while (head < replacement.size() && !isSpecialUnit(replacement.at(head)))
            ++head;
        qsizetype tail = replacement.size();
        while (tail > head && !isSpecialUnit(replacement.at(tail - 1)))
            --tail;
        const QString before = prefix + replacement.left(head);
        const QString after = replacement.mid(tail) + suffix;
        pugi::xml_node next = t.next_sibling();
        if (!after.isEmpty()) {
            next = newElement(run, next, "t");
            setText(next, after);
        }
        insertNodes(run, next, replacement.mid(head, tail - head));
        if (before.isEmpty())
            run.remove_child(t);
        else
            setText(t, before);
        return;
    }
    case WordAtom::Special: {
        pugi::xml_node run = first.node.parent();
        touch(run);
        insertNodes(run, first.node, replacement);
        run.remove_child(first.node);
        return;
    }
    case WordAtom::Mark: {
        if (replacement.isEmpty())
            return;
        pugi::xml_node run = newElement(first.node, {}, "r");
        touch(run);
        const pugi::xml_node markProps = m_names.child(m_names.child(first.node, "pPr"), "rPr");
        if (markProps) {
            pugi::xml_node props = run.append_copy(markProps);
            pugi::xml_node next;
            for (pugi::xml_node c = props.first_child(); c; c = next) {
                next = c.next_sibling();
                const char* name = m_names.local(c);
                if (name && (!std::strcmp(name, "ins") || !std::strcmp(name, "del") || !std::strcmp(name, "moveFrom")
                             || !std::strcmp(name, "moveTo") || !std::strcmp(name, "rPrChange")))
                    props.remove_child(c);
            }
        }
        insertNodes(run, {}, replacement);
        return;
    }
    }
}

void WordEditor::insertNodes(pugi::xml_node run, pugi::xml_node before, const QString& replacement)
{
    QString buffer;
    auto flush = [&]() {
        if (buffer.isEmpty())
            return;
        setText(newElement(run, before, "t"), buffer);
        buffer.clear();
    };
    auto element = [&](const char* localName) {
        flush();
        return newElement(run, before, localName);
    };
    for (const QChar c : replacement) {
        switch (c.unicode()) {
        case wordtext::ParagraphMark:
            flush();
            m_markers.push_back(before ? run.insert_child_before(MarkerName, before) : run.append_child(MarkerName));
            break;
        case wordtext::Tab: element("tab"); break;
        case wordtext::LineBreak: element("br"); break;
        case wordtext::PageBreak:
            element("br").append_attribute(m_names.qualified("type").c_str()) = "page";
            break;
        case wordtext::ColumnBreak:
            element("br").append_attribute(m_names.qualified("type").c_str()) = "column";
            break;
        case wordtext::NoBreakHyphen: element("noBreakHyphen"); break;
        case wordtext::SoftHyphen: element("softHyphen"); break;
        default:
            // Other control characters cannot be written in XML 1.0.
            if (c.unicode() >= 0x20 && c.unicode() != 0xFFFE && c.unicode() != 0xFFFF)
                buffer += c;
            break;
        }
    }
    flush();
}

pugi::xml_node WordEditor::splitParagraph(pugi::xml_node target, pugi::xml_node marker,
                                         pugi::xml_node templateParagraph)
{
    // The paragraph keeps what precedes the marker and a new paragraph after it takes the rest, so that a
    // split costs what follows the marker: a Replace All works from the last occurrence to the first, and
    // what follows has already been split off. The paragraph's identity goes with the rest, whose mark is
    // the paragraph's own: its attributes (the unique w14:paraId among them) and its properties (with any
    // section break, which belongs to the last paragraph of a section). The part before becomes a paragraph
    // like the template: its attributes but for the unique ids, its properties but for the section break.
    pugi::xml_node rest = target.parent().insert_child_after(target.name(), target);
    for (const pugi::xml_attribute& attr : target.attributes())
        rest.append_attribute(attr.name()) = attr.value();
    std::vector<std::pair<std::string, std::string>> attributes;
    for (const pugi::xml_attribute& attr : templateParagraph.attributes()) {
        if (!endsWith(attr.name(), ":paraId") && !endsWith(attr.name(), ":textId"))
            attributes.emplace_back(attr.name(), attr.value());
    }
    while (target.first_attribute())
        target.remove_attribute(target.first_attribute());
    for (const auto& [name, value] : attributes)
        target.append_attribute(name.c_str()) = value.c_str();
    const pugi::xml_node ownProps = paragraphProperties(m_names, target);
    if (const pugi::xml_node props = paragraphProperties(m_names, templateParagraph)) {
        pugi::xml_node copy = target.prepend_copy(props);
        if (const pugi::xml_node section = m_names.child(copy, "sectPr"))
            copy.remove_child(section);
    }
    if (ownProps)
        rest.append_move(ownProps);

    // Every element between the paragraph and the marker is cut in two: a new element after it, with its
    // attributes and property elements, takes the marker and what follows, and the original, keeping what
    // precedes, takes fresh ids where they must stay unique. A simple field is not cut.
    pugi::xml_node cur = marker;
    while (cur.parent() != target) {
        pugi::xml_node parent = cur.parent();
        if (m_names.is(parent, "fldSimple")) {
            leaveSimpleField(parent, cur);
            continue;
        }
        pugi::xml_node right = parent.parent().insert_child_after(parent.name(), parent);
        for (const pugi::xml_attribute& attr : parent.attributes())
            right.append_attribute(attr.name()) = attr.value();
        // The part after takes the property elements themselves (what remembers a control's binding
        // keeps following it) and the part before copies of them.
        pugi::xml_node next;
        for (pugi::xml_node child = parent.first_child(); child != cur; child = next) {
            next = child.next_sibling();
            const char* name = m_names.local(child);
            const bool properties = name && (!std::strcmp(name, "rPr") || !std::strcmp(name, "sdtPr")
                                             || !std::strcmp(name, "sdtEndPr") || !std::strcmp(name, "smartTagPr")
                                             || !std::strcmp(name, "customXmlPr"));
            if (properties) {
                parent.insert_copy_before(child, child);
                right.append_move(child);
            }
        }
        moveFrom(cur, right);
        renumberCopy(parent);
        m_touched.insert(parent.internal_object());
        m_touched.insert(right.internal_object());
        cur = right;
    }
    moveFrom(cur, rest);
    marker.parent().remove_child(marker);
    return rest;
}

void WordEditor::moveFrom(pugi::xml_node from, pugi::xml_node to)
{
    pugi::xml_node next;
    for (pugi::xml_node child = from; child; child = next) {
        next = child.next_sibling();
        to.append_move(child);
    }
}

void WordEditor::leaveSimpleField(pugi::xml_node field, pugi::xml_node from)
{
    // A simple field cannot span paragraphs and must not be copied (its instruction would exist twice):
    // it keeps what precedes the new paragraph mark, and the rest of its result becomes plain text.
    pugi::xml_node after = field;
    pugi::xml_node next;
    for (pugi::xml_node child = from; child; child = next) {
        next = child.next_sibling();
        after = field.parent().insert_move_after(child, after);
    }
}

void WordEditor::renumberCopy(pugi::xml_node copy)
{
    if (!m_ids)
        m_ids.emplace(m_names, copy);
    m_ids->renumber(copy);
}

void WordEditor::removeEmpty(pugi::xml_node parent)
{
    pugi::xml_node next;
    for (pugi::xml_node child = parent.first_child(); child; child = next) {
        next = child.next_sibling();
        if (child.type() == pugi::node_element && touched(child))
            removeIfEmpty(child);
    }
}

void WordEditor::removeIfEmpty(pugi::xml_node node)
{
    removeEmpty(node);
    const char* name = m_names.local(node);
    if (!name)
        return;
    const bool run = !std::strcmp(name, "r");
    const bool wrapper = !std::strcmp(name, "ins") || !std::strcmp(name, "moveTo") || !std::strcmp(name, "smartTag")
        || !std::strcmp(name, "customXml") || !std::strcmp(name, "hyperlink") || !std::strcmp(name, "dir")
        || !std::strcmp(name, "bdo");
    if (!run && !wrapper)
        return;
    bool empty = true;
    for (pugi::xml_node c = node.first_child(); c && empty; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const char* cname = m_names.local(c);
        const bool properties = cname && (!std::strcmp(cname, "rPr") || !std::strcmp(cname, "smartTagPr")
                                          || !std::strcmp(cname, "customXmlPr"));
        empty = properties;
    }
    if (empty) {
        node.parent().remove_child(node);
    }
}

} // namespace varnel::office
