#pragma once
// Puts the characters the RTF reader meets into stories and segments (see RtfDocument): a segment ends
// where a barrier stands and where text goes into or out of a table.
//
// Paragraph marks are text a find can name (^p), except where removing one would change the document's
// structure rather than join two paragraphs: the mark right before a table (or before a nested table)
// pulls the paragraph into the table's first row, where readers lose it, and the last mark of a story
// leaves it without its final paragraph. Those are taken out of the text, as Word's find never removes
// them.

#include "office/rtf/RtfDocument.h"

#include <QStringView>

#include <vector>

namespace varnel {

class RtfStoryBuilder
{
public:
    // Starts with the main story (index 0) alone.
    explicit RtfStoryBuilder(std::vector<RtfStory>& stories);

    // A new story; its index.
    int open(RtfStoryKind kind, bool mirror, bool inHeaderFooter);
    // Appends characters of text read from the bytes of `character` (the first owns them, the others
    // none), in a paragraph at this table level.
    void append(int story, QStringView text, RtfChar character, int tableLevel);
    // What follows in the story does not run on from what came before. Nothing for story -1.
    void breakSegment(int story);
    // Where the next character of the story will go: its segment and its index there.
    struct Position {
        int segment = 0;
        qsizetype character = 0;
    };
    Position position(int story) const;
    // A \field group of the story, its bytes [begin, finish), whose result began at segment and character:
    // kept on the segment when the result lies wholly in it (a break inside, such as a cell or a note,
    // leaves the field to no segment).
    void addField(int story, int segment, qsizetype character, qsizetype begin, qsizetype finish);
    // The story reaches a cell or row end of this table level.
    void enterTableLevel(int story, int level);
    // Ends every story: the last paragraph mark of each leaves its text.
    void finish();

private:
    void dropTrailingMark(int story);

    std::vector<RtfStory>& m_stories;
    std::vector<bool> m_breakPending;
    std::vector<int> m_tableLevels; // per story, the table level of its last character or cell end
};

} // namespace varnel
