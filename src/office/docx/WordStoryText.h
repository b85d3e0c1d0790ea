#pragma once
// The searchable text of one story (the body, a header, a text box, a note), read from its XML.
//
// The story is cut into segments at barriers, items a match can never cross: drawings, objects, note
// references, math, the end of a table cell, a section break, the last paragraph mark of a container.
// The edges of hyperlinks, simple fields and field results are no barriers: with field codes hidden, as
// Word's find works, a field's result and a hyperlink's text run on with the text around them, so a
// match may cross them and a word ends only where the visible text says so. Inside a segment,
// every code unit of the text has an atom saying where it lives: a character of a w:t, a special element
// (w:tab, w:br, w:sym, ...), or the mark of a w:p that can be joined with the next paragraph. Atoms are
// kept as pieces, one per node.
//
// Runs are read through hyperlinks, inserted and moved-to revisions, content controls, smart tags, custom
// XML and simple fields. Deleted and moved-from text and the codes of fields are not text; field results
// are. Text boxes anchored in the story are stories of their own and are barriers here.
//
// A w:t reads as Word reads it: without xml:space="preserve" (on itself or an ancestor) its leading and
// trailing white space is not text. Atom offsets count in that visible text (WordStoryText::textOf).

#include "office/docx/WordNames.h"

#include <QString>

#include <pugixml.hpp>

#include <vector>

namespace varnel::office {

// One code unit of a segment: where it lives in the XML.
struct WordAtom {
    enum Kind : unsigned char { Text, Special, Mark };
    pugi::xml_node node; // the w:t, the special element, or the w:p whose mark this is
    int offset = 0;      // code unit in the w:t's text
    Kind kind = Text;
};

// The code units a single node contributes to a segment: a whole w:t, or one special element or mark.
struct WordPiece {
    pugi::xml_node node;
    int start = 0;  // in the segment's text
    int length = 0; // 1 for a special element or a mark
    WordAtom::Kind kind = WordAtom::Text;
};

// An outermost field whose result lies in one segment: the text it shows, [start, end), and the sibling
// nodes it spans (a w:fldSimple, or the runs from a complex field's begin mark to its end mark).
struct WordFieldSpan {
    qsizetype start = 0;
    qsizetype end = 0;
    pugi::xml_node first;
    pugi::xml_node last;
};

struct WordSegment {
    QString text;
    std::vector<WordPiece> pieces; // in text order, covering text without gaps
    std::vector<WordFieldSpan> fields; // in text order

    // The piece holding code unit index.
    size_t pieceAt(qsizetype index) const;
    WordAtom atom(qsizetype index) const;
};

class WordStoryText
{
public:
    // Reads the block-level container: w:body, w:hdr, w:ftr, w:txbxContent, w:footnote, w:endnote.
    WordStoryText(const WordNames& names, pugi::xml_node container);

    // The block-level container read.
    pugi::xml_node container() const { return m_container; }
    const std::vector<WordSegment>& segments() const { return m_segments; }
    // For editors that keep the segments up to date with their edits.
    std::vector<WordSegment>& segments() { return m_segments; }

    // The text a w:t holds for Word: its content, less leading and trailing white space unless
    // xml:space="preserve" is in effect for it.
    static QString textOf(pugi::xml_node t);

    // The paragraph the atom belongs to.
    static pugi::xml_node paragraphOf(const WordNames& names, const WordAtom& atom);
    // The paragraph that follows p in its container, past range markers such as bookmarks; null when a
    // table, a content control or the end of the container comes first.
    static pugi::xml_node nextParagraph(const WordNames& names, pugi::xml_node p);

private:
    void blocks(pugi::xml_node container);
    void tableContent(pugi::xml_node node);
    void paragraph(pugi::xml_node p);
    void inlineContent(pugi::xml_node parent);
    void run(pugi::xml_node r);
    void text(pugi::xml_node t);
    void special(pugi::xml_node node, char16_t unit);
    void barrier();
    // Records the outermost field [first, last] whose result began at text position start of the
    // segment that was then the segments() size.
    void fieldEnded(pugi::xml_node first, pugi::xml_node last, qsizetype start, size_t segment);
    bool markJoinable(pugi::xml_node p) const;
    bool inFieldCode() const;

    const WordNames& m_names;
    pugi::xml_node m_container;
    std::vector<WordSegment> m_segments;
    WordSegment m_current;
    std::vector<bool> m_fields; // open fields, innermost last; true while in the field's code
    pugi::xml_node m_fieldBegin; // the run of the outermost open field's begin mark
    qsizetype m_fieldStart = 0;  // where its result begins
    size_t m_fieldSegment = 0;   // in the segment of this index
};

// A range marker (bookmark, comment range, permission, proofing mark): neither text nor a barrier.
bool isRangeMarker(const char* localName);

// The node holds a text box or WordArt: a story of its own, which an edit must never remove.
bool holdsStory(pugi::xml_node node);

} // namespace varnel::office
