#pragma once
// The text of one DrawingML text body (a:txBody of a shape, a table cell or a notes placeholder) as
// PowerPoint's TextRange shows it, and its Replace.
//
// The text is every paragraph (a:p) in order, separated by "\r"; inside a paragraph the a:t of each run
// (a:r) and of each field (a:fld), and each line break (a:br) as the vertical tab U+000B. The last paragraph
// has no "\r" after it. Positions are 0-based code units of that text.
//
// replace() finds the first occurrence starting at or after a position and puts the replacement in its
// place. The replacement takes the formatting of the first character found: it goes into that run's own
// text, or into a new run carrying a copy of the a:rPr of the line break or field it starts at (the
// a:endParaRPr when it starts at a paragraph's end). A "\r" or "\n" in the replacement ("\r\n" counts once)
// starts a new paragraph with the same paragraph properties, U+000B a line break. Deleted paragraph ends
// join their paragraphs; runs and fields left without text are removed.

#include <QString>

#include <pugixml.hpp>

#include <optional>
#include <vector>

namespace varnel::office {

struct SlideFindOptions {
    bool matchCase = true;  // false: letter case and full/half width folded (CompareMode::Text)
    bool wholeWords = false; // only occurrences between word boundaries
};

// A piece of the range's text, 0-based.
struct TextSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};

class SlideTextRange
{
public:
    // txBody: the a:txBody (or p:txBody) element; it must outlive the range.
    explicit SlideTextRange(pugi::xml_node txBody);

    // The whole text, read once and again only after an edit.
    const QString& text() const;

    // PowerPoint's TextRange.Replace: the first occurrence of find that starts at position `after` or later
    // (After counts the characters before the search start) is replaced; the span of the inserted text, or
    // nothing when there is none. An empty find is never found.
    std::optional<TextSpan> replace(const QString& find, const QString& replacement, qsizetype after,
                                    const SlideFindOptions& options);

    // The first occurrence at or after `after`, without replacing it.
    std::optional<TextSpan> find(const QString& find, qsizetype after, const SlideFindOptions& options) const;

private:
    struct Segment {
        enum Kind : unsigned char { Text, Break, ParagraphEnd };
        Kind kind = Text;
        pugi::xml_node node;      // the a:t, the a:br, or the a:p this end belongs to
        qsizetype start = 0;
        qsizetype length = 0;
    };
    // Where new content goes: before `before` in `paragraph`, or at its end (before a:endParaRPr) when null.
    struct Point {
        pugi::xml_node paragraph;
        pugi::xml_node before;
    };

    void read() const;
    // The text and the segments after the span, which lies in the text segment at index, became inserted
    // (and the segment keeps some text): what reading the body again would give, without reading it.
    void replacedInSegment(size_t index, const TextSpan& span, const QString& inserted);
    size_t segmentAt(qsizetype position) const;
    pugi::xml_node formatOf(const Segment& segment) const;
    Point pointBefore(const Segment& segment, qsizetype offset);
    void insert(Point point, const QString& replacement, pugi::xml_node format);
    void remove(qsizetype start, qsizetype end);
    void joinWithNext(pugi::xml_node paragraph);

    pugi::xml_node m_body;
    mutable bool m_read = false;
    mutable QString m_text;
    mutable std::vector<Segment> m_segments;
};

} // namespace varnel::office
