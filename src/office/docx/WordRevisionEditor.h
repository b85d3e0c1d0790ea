#pragma once
// Replaces a stretch of a story segment as Word does while it tracks changes: nothing is taken out.
//
// - matched text moves into w:del (its w:t become w:delText, tabs and breaks stay as they are); a matched
//   paragraph mark is marked deleted in its paragraph's mark properties, so the paragraphs join only when
//   the change is accepted;
// - the replacement follows the first deleted piece in a w:ins run with the formatting of the first
//   matched character (of the paragraph mark's formatting when the stretch starts with a mark, at the end
//   of that paragraph);
// - paragraph marks of the replacement split the paragraph; the new paragraph's mark is marked inserted;
// - every change carries the author, the date and a w:id of its own.
//
// As with WordEditor, stretches of one story must be replaced from the last to the first; the segment no
// longer describes the story afterwards.

#include "office/docx/WordIds.h"
#include "office/docx/WordRevision.h"
#include "office/docx/WordStoryText.h"

#include <QString>

#include <optional>
#include <vector>

namespace varnel::office {

class WordRevisionEditor
{
public:
    WordRevisionEditor(const WordNames& names, WordRevision& revision);

    // Records the replacement of atoms [start, end) of segment (end > start) by replacement (wordtext code
    // units) as a deletion and an insertion.
    void replace(const WordSegment& segment, qsizetype start, qsizetype end, const QString& replacement);
    // Records the deletion of the complex field spanning the sibling runs first to last, whose result a
    // replacement deleted: its marks and its code (as w:delInstrText) join the deletion, so that accepting
    // the change leaves no field to show its result again. False, changing nothing, when the field cannot
    // be deleted so (a simple field; a field holding more than runs and range marks).
    bool deleteField(pugi::xml_node first, pugi::xml_node last);

private:
    // Moves the matched code units [from, to) of a piece into a w:del; the w:del, or null for a mark.
    pugi::xml_node deletePiece(const WordPiece& piece, qsizetype from, qsizetype to);
    // Puts a child of a run into a run of its own with the same properties; that run.
    pugi::xml_node isolate(pugi::xml_node child);
    // A new w:ins or w:del, stamped, in parent before `before` (appended when null).
    pugi::xml_node change(pugi::xml_node parent, pugi::xml_node before, const char* localName);
    void stamp(pugi::xml_node change);
    // Marks the paragraph's mark inserted or deleted.
    void markParagraph(pugi::xml_node p, const char* localName);
    void insert(pugi::xml_node parent, pugi::xml_node before, pugi::xml_node properties, const QString& text);
    pugi::xml_node element(pugi::xml_node parent, const char* localName);
    void split(pugi::xml_node marker);
    bool isEmpty(pugi::xml_node node) const;

    const WordNames& m_names;
    WordRevision& m_revision;
    std::vector<pugi::xml_node> m_markers;
    std::vector<pugi::xml_node> m_created; // inserted runs and changes, and the copies splitting made of them
    std::optional<WordIds> m_ids;          // read when a split first needs a fresh id
};

} // namespace varnel::office
