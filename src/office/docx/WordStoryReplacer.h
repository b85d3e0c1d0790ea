#pragma once
// Replace All of one definition over one story: read the story's text, find every occurrence on that
// text, then edit the XML from the last occurrence to the first. The search runs on the text as it was
// before the definition, so a replacement is never searched again, as in Word.

#include "office/docx/WordMatcher.h"
#include "office/docx/WordNames.h"
#include "office/docx/WordReplacement.h"
#include "office/docx/WordRevision.h"
#include "office/docx/WordStoryText.h"

#include <QStringList>

#include <pugixml.hpp>

namespace varnel::office {

class WordRevisionEditor;

class WordStoryReplacer
{
public:
    explicit WordStoryReplacer(const WordNames& names);

    // Records every replacement as a tracked change stamped by revision (not owned; null, the default,
    // replaces outright).
    void setRevision(WordRevision* revision) { m_revision = revision; }

    // Replaces every occurrence in the story held by container; the number of replacements. An
    // occurrence whose replacement is the very same text is left as it is and not counted.
    int replaceAll(pugi::xml_node container, const WordMatcher& matcher, const WordReplacement& replacement) const;
    // The same on a text read before. *textValid tells whether the text still describes the story
    // afterwards (it is kept up to date through replacements of plain text by plain text).
    int replaceAll(WordStoryText& story, const WordMatcher& matcher, const WordReplacement& replacement,
                   bool* textValid) const;

    // Whether applying the plain replacements (finds[i] by replaces[i], case- and width-insensitive, in
    // order) would change the story's text at all.
    bool plainReplacementsChangeText(pugi::xml_node container, const QStringList& finds,
                                     const QStringList& replaces) const;

private:
    // After [start, end) of segment was replaced by length code units: removes the fields the
    // occurrence took whole and moves the others' positions along.
    void followFields(WordSegment& segment, qsizetype start, qsizetype end, qsizetype length) const;
    // Whether [start, end) of segment has text in a content control bound to custom XML that holds its
    // value. Such a control is not changed with its changes recorded: its bound node would take the new
    // text while the control keeps the old as a deletion, and rejecting the change would part them.
    bool touchesBoundControl(const WordSegment& segment, qsizetype start, qsizetype end) const;
    // After [start, end) of segment was replaced as a recorded change: records the deletion of the fields
    // the occurrence took whole.
    void recordFieldDeletions(WordRevisionEditor& revisions, const WordSegment& segment, qsizetype start,
                              qsizetype end) const;

    const WordNames& m_names;
    WordRevision* m_revision = nullptr;
};

} // namespace varnel::office
