#pragma once
// Replaces a stretch of a story segment in the XML, as Word's Replace does:
//
// - the replacement takes the run formatting of the first matched character (of the paragraph mark's
//   formatting when the stretch starts with a mark) and goes where that character was;
// - text, tabs, breaks and hyphens of the replacement become w:t, w:tab, w:br, w:noBreakHyphen and
//   w:softHyphen elements; xml:space="preserve" is set where text needs it;
// - matched paragraph marks join their paragraphs: the joined paragraph keeps the last paragraph's
//   properties (its mark survives); paragraph marks in the replacement split the paragraph, the new
//   paragraphs getting the properties of the paragraph the stretch started in;
// - runs left without content are removed, and so are emptied hyperlinks, revisions and smart tags.
//
// Stretches of one story must be replaced from the last to the first: an edit leaves the atoms before it
// valid, and it may move or remove the nodes after it. The segment itself is not touched by an edit, so
// that it goes on describing the atoms before it; once a segment's edits are all done, updateSegment
// brings it up to date with them in one pass.

#include "office/docx/WordIds.h"
#include "office/docx/WordStoryText.h"

#include <QString>

#include <optional>
#include <unordered_set>
#include <vector>

namespace varnel::office {

// One stretch of a segment replaced by plain text: atoms [start, end) by replacement.
struct WordTextEdit {
    qsizetype start = 0;
    qsizetype end = 0;
    QString replacement;
};

class WordEditor
{
public:
    explicit WordEditor(const WordNames& names);

    // Replaces atoms [start, end) of segment (end > start) with replacement (wordtext code units). True
    // when plain text was replaced by plain text, an edit updateSegment can follow; false when the
    // segment now describes the tree only before start.
    bool replace(const WordSegment& segment, qsizetype start, qsizetype end, const QString& replacement);
    // Brings segment up to date with edits replace() made and returned true for, given in text order
    // (ascending, not overlapping). One pass over the segment, however many edits.
    static void updateSegment(WordSegment& segment, const std::vector<WordTextEdit>& edits);

    // Sets the text Word reads from a w:t (WordStoryText::textOf), with xml:space="preserve" when the text
    // needs it; white space the element hid before is gone.
    static void setText(pugi::xml_node t, const QString& text);
    // Moves from and the siblings after it out of a simple field, to follow it: a paragraph mark splitting
    // a simple field leaves the field before it, once.
    static void leaveSimpleField(pugi::xml_node field, pugi::xml_node from);

private:
    void removeAtoms(const WordSegment& segment, qsizetype from, qsizetype to);
    void insertFirst(const WordAtom& first, const WordAtom& last, const QString& replacement);
    // Creates the elements of replacement in run, before `before` (appended when null).
    void insertNodes(pugi::xml_node run, pugi::xml_node before, const QString& replacement);
    pugi::xml_node newElement(pugi::xml_node parent, pugi::xml_node before, const char* localName);
    // Splits target at marker and returns the new paragraph after it, which holds what followed the marker.
    pugi::xml_node splitParagraph(pugi::xml_node target, pugi::xml_node marker, pugi::xml_node templateParagraph);
    // Moves from and the siblings after it to the end of to.
    static void moveFrom(pugi::xml_node from, pugi::xml_node to);
    // Gives the part of a split element before the split fresh ids where the element's must stay unique;
    // the part after keeps the element's own (and its data binding).
    void renumberCopy(pugi::xml_node copy);
    void touch(pugi::xml_node node);
    bool touched(pugi::xml_node node) const;
    // Removes the touched runs and wrappers under parent that hold nothing but properties any more.
    void removeEmpty(pugi::xml_node parent);
    void removeIfEmpty(pugi::xml_node node);

    const WordNames& m_names;
    std::vector<pugi::xml_node> m_markers;
    std::unordered_set<pugi::xml_node_struct*> m_touched;
    std::optional<WordIds> m_ids; // read when a split first needs a fresh id
};

} // namespace varnel::office
