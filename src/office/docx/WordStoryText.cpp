#include "office/docx/WordStoryText.h"

#include "office/docx/WordText.h"

#include <algorithm>
#include <cstring>

namespace varnel::office {

namespace {

bool equals(const char* a, const char* b)
{
    return a && std::strcmp(a, b) == 0;
}

bool isXmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// Whether xml:space="preserve" applies to node: the nearest xml:space declaration, on the node or an
// ancestor, decides.
bool preservesSpace(pugi::xml_node node)
{
    for (pugi::xml_node n = node; n; n = n.parent()) {
        if (const pugi::xml_attribute space = n.attribute("xml:space"))
            return equals(space.value(), "preserve");
    }
    return false;
}

bool oneOf(const char* name, std::initializer_list<const char*> names)
{
    for (const char* n : names) {
        if (std::strcmp(name, n) == 0)
            return true;
    }
    return false;
}

bool endsWith(const char* name, const char* suffix)
{
    const size_t n = std::strlen(name);
    const size_t k = std::strlen(suffix);
    return n >= k && std::strcmp(name + n - k, suffix) == 0;
}

// A w:drawing, w:pict or w:object that sits in the line like a character (Word's ^g): not a floating
// shape, and holding no text box or WordArt, which are stories of their own and must outlive any edit.
bool isInlineGraphic(pugi::xml_node node)
{
    for (pugi::xml_node child : node.children()) {
        if (endsWith(child.name(), ":anchor") || std::strstr(child.attribute("style").value(), "position:absolute"))
            return false;
    }
    if (holdsStory(node))
        return false;
    // DrawingML is inline in a wp:inline only; VML pictures and objects are unless positioned.
    return !endsWith(node.name(), "drawing")
        || node.find_child([](pugi::xml_node child) { return endsWith(child.name(), ":inline"); });
}

} // namespace

size_t WordSegment::pieceAt(qsizetype index) const
{
    const auto after = std::upper_bound(pieces.begin(), pieces.end(), index,
                                        [](qsizetype i, const WordPiece& piece) { return i < piece.start; });
    return size_t(after - pieces.begin()) - 1;
}

WordAtom WordSegment::atom(qsizetype index) const
{
    const WordPiece& piece = pieces[pieceAt(index)];
    return {piece.node, int(index - piece.start), piece.kind};
}

bool holdsStory(pugi::xml_node node)
{
    return bool(node.find_node([](pugi::xml_node n) {
        return endsWith(n.name(), "txbxContent") || endsWith(n.name(), ":textpath");
    }));
}

bool isRangeMarker(const char* localName)
{
    return oneOf(localName, {"bookmarkStart", "bookmarkEnd", "commentRangeStart", "commentRangeEnd", "permStart",
                             "permEnd", "proofErr", "moveFromRangeStart", "moveFromRangeEnd", "moveToRangeStart",
                             "moveToRangeEnd", "customXmlInsRangeStart", "customXmlInsRangeEnd",
                             "customXmlDelRangeStart", "customXmlDelRangeEnd", "customXmlMoveFromRangeStart",
                             "customXmlMoveFromRangeEnd", "customXmlMoveToRangeStart", "customXmlMoveToRangeEnd"});
}

QString WordStoryText::textOf(pugi::xml_node t)
{
    QString text = QString::fromUtf8(t.text().get());
    if (text.isEmpty() || preservesSpace(t))
        return text;
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isXmlSpace(text.at(begin)))
        ++begin;
    while (end > begin && isXmlSpace(text.at(end - 1)))
        --end;
    return begin == 0 && end == text.size() ? text : text.mid(begin, end - begin);
}

WordStoryText::WordStoryText(const WordNames& names, pugi::xml_node container)
    : m_names(names)
    , m_container(container)
{
    blocks(container);
    barrier();
}

pugi::xml_node WordStoryText::paragraphOf(const WordNames& names, const WordAtom& atom)
{
    pugi::xml_node node = atom.node;
    while (node && !names.is(node, "p"))
        node = node.parent();
    return node;
}

pugi::xml_node WordStoryText::nextParagraph(const WordNames& names, pugi::xml_node p)
{
    for (pugi::xml_node next = p.next_sibling(); next; next = next.next_sibling()) {
        if (next.type() != pugi::node_element)
            continue;
        const char* name = names.local(next);
        if (name && isRangeMarker(name))
            continue;
        return equals(name, "p") ? next : pugi::xml_node();
    }
    return {};
}

void WordStoryText::barrier()
{
    if (!m_current.text.isEmpty())
        m_segments.push_back(std::move(m_current));
    m_current = WordSegment();
}

void WordStoryText::fieldEnded(pugi::xml_node first, pugi::xml_node last, qsizetype start, size_t segment)
{
    // A barrier inside the field (a paragraph that does not join, a drawing) leaves it to no segment.
    if (segment == m_segments.size() && start <= m_current.text.size() && first.parent() == last.parent())
        m_current.fields.push_back({start, m_current.text.size(), first, last});
}

bool WordStoryText::inFieldCode() const
{
    for (bool code : m_fields) {
        if (code)
            return true;
    }
    return false;
}

void WordStoryText::blocks(pugi::xml_node container)
{
    for (pugi::xml_node child : container.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* name = m_names.local(child);
        if (equals(name, "p")) {
            paragraph(child);
        } else if (equals(name, "tbl")) {
            barrier();
            tableContent(child);
        } else if (equals(name, "sdt")) {
            blocks(m_names.child(child, "sdtContent"));
        } else if (equals(name, "customXml")) {
            blocks(child);
        } else if (name && (isRangeMarker(name) || oneOf(name, {"sdtPr", "sdtEndPr", "customXmlPr"}))) {
            continue;
        } else {
            barrier();
        }
    }
}

void WordStoryText::tableContent(pugi::xml_node node)
{
    for (pugi::xml_node child : node.children()) {
        const char* name = m_names.local(child);
        if (!name)
            continue;
        if (oneOf(name, {"tr", "customXml"})) {
            tableContent(child);
        } else if (equals(name, "sdt")) {
            tableContent(m_names.child(child, "sdtContent"));
        } else if (equals(name, "tc")) {
            barrier();
            blocks(child);
            barrier();
        }
    }
}

bool WordStoryText::markJoinable(pugi::xml_node p) const
{
    if (inFieldCode())
        return false;
    const pugi::xml_node pPr = m_names.child(p, "pPr");
    const pugi::xml_node markProps = m_names.child(pPr, "rPr");
    if (m_names.child(markProps, "del") || m_names.child(markProps, "moveFrom"))
        return false;
    return bool(nextParagraph(m_names, p));
}

void WordStoryText::paragraph(pugi::xml_node p)
{
    inlineContent(p);
    if (markJoinable(p)) {
        // The mark of a paragraph holding its section's properties is a section break: replacing it
        // joins the sections, and the joined text takes the following section's properties, as in Word.
        const bool sectionEnd = bool(m_names.child(m_names.child(p, "pPr"), "sectPr"));
        m_current.pieces.push_back({p, int(m_current.text.size()), 1, WordAtom::Mark});
        m_current.text += QChar(sectionEnd ? wordtext::SectionBreak : wordtext::ParagraphMark);
    } else {
        barrier();
    }
}

void WordStoryText::inlineContent(pugi::xml_node parent)
{
    for (pugi::xml_node child : parent.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* name = m_names.local(child);
        if (!name) {
            barrier(); // math, alternate content and other foreign inline objects
            continue;
        }
        if (equals(name, "r")) {
            run(child);
        } else if (equals(name, "fldSimple") && m_fields.empty()) {
            const qsizetype start = m_current.text.size();
            const size_t segment = m_segments.size();
            inlineContent(child);
            fieldEnded(child, child, start, segment);
        } else if (oneOf(name, {"hyperlink", "fldSimple", "ins", "moveTo", "smartTag", "customXml", "dir", "bdo"})) {
            inlineContent(child);
        } else if (equals(name, "sdt")) {
            inlineContent(m_names.child(child, "sdtContent"));
        } else if (oneOf(name, {"del", "moveFrom"}) || isRangeMarker(name)
                   || oneOf(name, {"pPr", "rPr", "smartTagPr", "customXmlPr", "sdtPr", "sdtEndPr"})) {
            continue;
        } else {
            barrier();
        }
    }
}

void WordStoryText::run(pugi::xml_node r)
{
    for (pugi::xml_node child : r.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* name = m_names.local(child);
        if (!name) {
            barrier();
            continue;
        }
        if (equals(name, "fldChar")) {
            const char* type = m_names.attribute(child, "fldCharType");
            if (equals(type, "begin")) {
                if (m_fields.empty()) {
                    m_fieldBegin = r;
                    m_fieldStart = m_current.text.size();
                    m_fieldSegment = m_segments.size();
                }
                m_fields.push_back(true);
            } else if (equals(type, "separate") && !m_fields.empty()) {
                m_fields.back() = false;
            } else if (equals(type, "end") && !m_fields.empty()) {
                m_fields.pop_back();
                if (m_fields.empty())
                    fieldEnded(m_fieldBegin, r, m_fieldStart, m_fieldSegment);
            }
            continue;
        }
        if (equals(name, "rPr") || inFieldCode())
            continue;
        if (equals(name, "t")) {
            text(child);
        } else if (equals(name, "tab")) {
            special(child, wordtext::Tab);
        } else if (equals(name, "br")) {
            const char* type = m_names.attribute(child, "type");
            special(child, equals(type, "page")     ? wordtext::PageBreak
                           : equals(type, "column") ? wordtext::ColumnBreak
                                                    : wordtext::LineBreak);
        } else if (equals(name, "cr")) {
            special(child, wordtext::LineBreak);
        } else if (equals(name, "noBreakHyphen")) {
            special(child, wordtext::NoBreakHyphen);
        } else if (equals(name, "softHyphen")) {
            special(child, wordtext::SoftHyphen);
        } else if (equals(name, "sym")) {
            bool ok = false;
            const uint code = QString::fromUtf8(m_names.attribute(child, "char")).toUInt(&ok, 16);
            if (ok && code >= 0x20 && code <= 0xFFFD && !QChar::isSurrogate(code))
                special(child, char16_t(code));
            else
                barrier();
        } else if (oneOf(name, {"footnoteReference", "footnoteRef"})) {
            special(child, wordtext::FootnoteMark);
        } else if (oneOf(name, {"endnoteReference", "endnoteRef"})) {
            special(child, wordtext::EndnoteMark);
        } else if (equals(name, "commentReference")) {
            special(child, wordtext::CommentMark);
        } else if (oneOf(name, {"drawing", "pict", "object"}) && isInlineGraphic(child)) {
            special(child, wordtext::GraphicMark);
        } else if (oneOf(name, {"instrText", "delInstrText", "delText", "lastRenderedPageBreak"})) {
            continue;
        } else {
            barrier();
        }
    }
}

void WordStoryText::text(pugi::xml_node t)
{
    const pugi::xml_node content = t.first_child();
    if (!content)
        return;
    // A w:t holding anything but one piece of text (a comment, say) is left alone.
    if (content.type() != pugi::node_pcdata || content.next_sibling()) {
        barrier();
        return;
    }
    const qsizetype start = m_current.text.size();
    m_current.text += textOf(t);
    if (m_current.text.size() > start)
        m_current.pieces.push_back({t, int(start), int(m_current.text.size() - start), WordAtom::Text});
}

void WordStoryText::special(pugi::xml_node node, char16_t unit)
{
    m_current.pieces.push_back({node, int(m_current.text.size()), 1, WordAtom::Special});
    m_current.text += QChar(unit);
}

} // namespace varnel::office
