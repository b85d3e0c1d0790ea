#pragma once
// Compares a story text that edits kept up to date with a fresh reading of the edited body.

#include "office/docx/WordStoryText.h"

#include <string>
#include <vector>

namespace varnel::test {

// Empty when both have the same segments: the same text, the same pieces (node, offsets, kind) and the
// same fields; else where they first differ. With skipEmptied, segments the edits emptied do not count:
// a fresh reading has none.
inline std::string storyTextDiff(const office::WordStoryText& kept, const office::WordStoryText& fresh,
                                 bool skipEmptied)
{
    std::vector<const office::WordSegment*> segments;
    for (const office::WordSegment& segment : kept.segments()) {
        if (!skipEmptied || !segment.text.isEmpty())
            segments.push_back(&segment);
    }
    if (segments.size() != fresh.segments().size())
        return std::to_string(segments.size()) + " segments instead of " + std::to_string(fresh.segments().size());
    for (size_t i = 0; i < segments.size(); ++i) {
        const office::WordSegment& a = *segments[i];
        const office::WordSegment& b = fresh.segments()[i];
        const std::string at = "segment " + std::to_string(i);
        if (a.text != b.text)
            return at + ": \"" + a.text.toStdString() + "\" instead of \"" + b.text.toStdString() + '"';
        if (a.pieces.size() != b.pieces.size() || a.fields.size() != b.fields.size())
            return at + ": " + std::to_string(a.pieces.size()) + " pieces and " + std::to_string(a.fields.size())
                + " fields instead of " + std::to_string(b.pieces.size()) + " and " + std::to_string(b.fields.size());
        for (size_t k = 0; k < b.pieces.size(); ++k) {
            const office::WordPiece& p = a.pieces[k];
            const office::WordPiece& q = b.pieces[k];
            if (p.node != q.node || p.start != q.start || p.length != q.length || p.kind != q.kind)
                return at + " piece " + std::to_string(k) + " differs";
        }
        for (size_t k = 0; k < b.fields.size(); ++k) {
            const office::WordFieldSpan& f = a.fields[k];
            const office::WordFieldSpan& g = b.fields[k];
            if (f.first != g.first || f.last != g.last || f.start != g.start || f.end != g.end)
                return at + " field " + std::to_string(k) + " differs";
        }
    }
    return {};
}

} // namespace varnel::test
