#pragma once
// The searchable text of an RTF document, with the bytes every character came from.
//
// The document is read once into stories (the main text, each header and footer, each text box and
// WordArt text, each footnote or endnote, and each field instruction). A story is a list of segments: runs of characters that a match may span. Control
// words that only format (\b, \f2, a group such as {\i ...}) do not break a segment, so a word whose
// letters carry different formatting is one run of characters; paragraph marks (\par) are characters
// ('\r') a find can name with ^p, except the mark before a table and the last mark of a story, which are
// not text at all (see RtfStoryBuilder); table cells and rows, section breaks, pictures, objects, shapes
// and notes break a segment. A field's instruction is hidden and its result reads on with the text around
// it, as Word's find reads it. Each character keeps the byte range of the token(s) it was read from (a
// \uN together with its fallback bytes, a double-byte character's two \'hh escapes), so replacing text
// means rewriting exactly those ranges and copying every other byte.

#include "office/rtf/RtfRevisionTable.h"

#include <QByteArrayView>
#include <QString>

#include <vector>

namespace varnel {

enum class RtfStoryKind {
    Main,         // the body, tables included
    HeaderFooter, // \header, \headerl ... \footerf
    TextBox,      // \shptxt of a shape, \dptxbxtext of an old drawing object
    WordArt,      // the text of a WordArt shape (its gtextUNICODE property)
    Note,         // \footnote (also endnotes, \footnote\ftnalt)
    FieldInstruction, // \fldinst: not document text, but where a hyperlink keeps its address
};

struct RtfChar {
    qsizetype begin = 0; // first byte this character was read from
    qsizetype end = 0;   // one past the last; empty for the second half of a pair read from one range
    int uc = 1;          // \ucN in effect: fallback characters an inserted \uN needs here
    int codePage = 1252; // code page in effect, for the fallback bytes of an inserted \uN
};

// A \field group whose result lies in one segment: its characters [start, end) there, and its bytes
// from its "{" to its "}", [begin, finish).
struct RtfFieldSpan {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype begin = 0;
    qsizetype finish = 0;
};

struct RtfSegment {
    QString text;               // the characters
    std::vector<RtfChar> chars; // one entry per code unit of text
    std::vector<RtfFieldSpan> fields; // fields with a result, in text order
};

struct RtfStory {
    RtfStoryKind kind = RtfStoryKind::Main;
    bool inHeaderFooter = false; // a text box anchored in a header or footer
    bool mirror = false;         // a second copy kept for older readers (\shprslt, LibreOffice's page styles)
    std::vector<RtfSegment> segments;

    QString text() const; // the segments' texts one after another
};

class RtfDocument
{
public:
    // Reads the document; false when the bytes are not a well-formed RTF document (see error()).
    bool parse(QByteArrayView data);

    const QString& error() const { return m_error; }
    const std::vector<RtfStory>& stories() const { return m_stories; }
    // True when enforced protection keeps Word's Replace All from changing the text: reading only
    // (\protlevel3, \readprot), comments only (\protlevel1) or form fields only (\protlevel2).
    bool editingRestricted() const { return m_readOnly; }
    // True when changes are to be recorded as tracked changes (\revisions, \revprot, or enforced
    // \protlevel0, which allows tracked changes only).
    bool tracksChanges() const { return m_tracksChanges; }
    const RtfRevisionTable& revisionTable() const { return m_revisionTable; }
    // True when a control word without a delimiting space ends right before this byte offset, so text
    // written there must not start with a letter, a digit, a hyphen or a space.
    bool controlWordEndsAt(qsizetype offset) const;

    // The text of every story of a kind (mirrors left out), stories separated by '\n'. For checks.
    QString text(RtfStoryKind kind) const;

private:
    QString m_error;
    bool m_readOnly = false;
    bool m_tracksChanges = false;
    RtfRevisionTable m_revisionTable;
    std::vector<RtfStory> m_stories;
    std::vector<qsizetype> m_bareWordEnds; // ascending
};

} // namespace varnel
