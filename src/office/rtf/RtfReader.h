#pragma once
// Reads an RTF document into the stories of RtfDocument: one pass over the tokens, keeping a stack of
// group states (what the group holds, its font, \uc count, table level, revision state), handing the
// characters to an RtfStoryBuilder, and noting the document's protection and revision table.

#include "office/rtf/RtfDocument.h"
#include "office/rtf/RtfDocumentSettings.h"
#include "office/rtf/RtfStoryBuilder.h"
#include "office/rtf/RtfTokenizer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace varnel {

class RtfCodePage;

class RtfReader
{
public:
    RtfReader(QByteArrayView data, std::vector<RtfStory>& stories, std::vector<qsizetype>& bareWordEnds,
              RtfRevisionTable& revisions)
        : m_data(data)
        , m_tokens(data)
        , m_stories(stories)
        , m_bareWordEnds(bareWordEnds)
        , m_revisions(revisions)
        , m_builder(stories)
    {
    }

    // Reads the whole document; false with a message when it is not well-formed RTF. *restricted tells
    // whether its protection keeps Replace All out, *tracksChanges whether it records its changes.
    bool run(QString* error, bool* restricted, bool* tracksChanges);

private:
    enum class Role {
        Text,      // characters belong to the group's story
        Container, // characters are not document text; child groups may open stories
        FontTable, // the fonts' numbers, charsets and code pages
    };

    struct Group {
        Role role = Role::Text;
        int story = -1;         // the story the group's text belongs to (kept by containers for their results)
        int uc = 1;
        int font = -1;          // -1: the default font
        int assocFont = -1;
        bool doubleByteRun = false; // \dbch: the run uses the associated font's code page
        bool deleted = false;   // \deleted: a deleted revision
        int tableLevel = 0;     // how deep in tables the paragraph is (\intbl, \itapN)
        bool atStart = true;    // no token of the group seen yet: a control word here may name a destination
        bool starred = false;   // \* seen at the start
        bool mirror = false;
        bool inHeaderFooter = false;
        bool inUnicodePair = false;
        bool inShapeProperty = false;
        bool propertyName = false; // the group's text is the name of the shape property
        qsizetype open = 0;       // the byte of the group's "{"
        int fieldSegment = -1;    // a \field group: the segment of its story its result begins in
        qsizetype fieldStart = 0; // and the character there
        int fontEntry = -1;     // FontTable: the font being described
        bool headerTable = false;   // a table of the document's header (fonts, colours, styles, lists)
        bool revisionTable = false; // \revtbl
    };

    Group& top() { return m_groups.back(); }
    void onControlWord(const RtfToken& token);
    void onControlSymbol(const RtfToken& token);
    void onTextByte(unsigned char byte, qsizetype begin, qsizetype end);
    void onDestination(const RtfToken& token);
    void append(QStringView text, qsizetype begin, qsizetype end);
    void openStory(RtfStoryKind kind, bool breakParent = true);
    void openField(Group& group);
    void closeField(const Group& group, qsizetype finish);
    void breakSegment(int story);
    // A group of the document's root closes at closeBrace (skipped or not).
    void onRootGroupClose(const Group& group, const RtfToken& closeBrace);
    // The text of the story reaches a paragraph at this table level: a change of level breaks the
    // segment, and the paragraph mark before it stops being text.
    void enterTableLevel(int story, int level);
    // Takes the paragraph mark that ends the story's last segment out of the text, if there is one.
    void dropTrailingMark(int story);
    void flushPending();
    int codePage();

    QByteArrayView m_data;
    RtfTokenizer m_tokens;
    std::vector<RtfStory>& m_stories;
    std::vector<qsizetype>& m_bareWordEnds;
    RtfRevisionTable& m_revisions;
    qsizetype m_revisionTableStart = 0;
    RtfStoryBuilder m_builder;
    std::vector<Group> m_groups;
    int m_skipDepth = 0; // inside a skipped group: its nesting depth
    int m_codePage = 0;  // code page of the innermost group's state; 0 when it must be worked out again
    const RtfCodePage* m_page = nullptr;

    RtfDocumentSettings m_settings;

    QByteArray m_propertyName; // name of the shape property being read

    // A double-byte character whose bytes are still arriving.
    char m_pending[4] = {};
    int m_pendingSize = 0;
    qsizetype m_pendingBegin = 0;
    qsizetype m_pendingEnd = 0;
    int m_pendingCodePage = 0;

    // Fallback characters of the last \uN still to skip, and the character they belong to (story,
    // segment, character; story -1 when the \uN was not text).
    int m_fallbackLeft = 0;
    int m_fallbackStory = -1;
    std::size_t m_fallbackSegment = 0;
    std::size_t m_fallbackChar = 0;
};

} // namespace varnel
