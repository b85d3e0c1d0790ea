#include "office/docx/WordStoryReplacer.h"

#include "office/docx/WordEditor.h"
#include "office/docx/WordFieldReplacer.h"
#include "office/docx/WordRevisionEditor.h"
#include "office/docx/WordText.h"

#include <algorithm>

namespace varnel::office {

namespace {

// A replacement that would carry a picture, a note, a comment or a section break (through ^& or a
// wildcard group) cannot be written: the occurrence is left as it is rather than lose the object.
bool holdsObjectMark(const QString& text)
{
    return std::any_of(text.begin(), text.end(), wordtext::isObjectMark);
}

} // namespace

WordStoryReplacer::WordStoryReplacer(const WordNames& names)
    : m_names(names)
{
}

int WordStoryReplacer::replaceAll(pugi::xml_node container, const WordMatcher& matcher,
                                  const WordReplacement& replacement) const
{
    WordStoryText story(m_names, container);
    bool textValid = true;
    return replaceAll(story, matcher, replacement, &textValid);
}

int WordStoryReplacer::replaceAll(WordStoryText& story, const WordMatcher& matcher, const WordReplacement& replacement,
                                  bool* textValid) const
{
    if (matcher.findsFields()) {
        *textValid = false;
        // A field replaced by text is not recorded as a change here: in a document that tracks its changes,
        // the fields stay as they are rather than change untracked.
        return m_revision ? 0 : WordFieldReplacer(m_names).replaceAll(story.container(), replacement);
    }
    WordEditor editor(m_names);
    int count = 0;
    bool valid = true;
    std::vector<WordSegment>& segments = story.segments();
    std::vector<WordTextEdit> edits;
    for (auto segment = segments.rbegin(); segment != segments.rend(); ++segment) {
        const std::vector<WordMatch> matches = matcher.findAll(segment->text);
        edits.clear();
        for (auto match = matches.rbegin(); match != matches.rend(); ++match) {
            QString text = replacement.expand(*match, segment->text, matcher.adaptsCase());
            if (text == QStringView(segment->text).mid(match->start, match->length) || holdsObjectMark(text))
                continue;
            const qsizetype end = match->start + match->length;
            if (m_revision) {
                if (touchesBoundControl(*segment, match->start, end))
                    continue;
                WordRevisionEditor revisions(m_names, *m_revision);
                revisions.replace(*segment, match->start, end, text);
                recordFieldDeletions(revisions, *segment, match->start, end);
                valid = false;
            } else {
                valid = editor.replace(*segment, match->start, end, text) && valid;
                followFields(*segment, match->start, end, text.size());
                if (valid)
                    edits.push_back({match->start, end, std::move(text)});
            }
            ++count;
        }
        // The segment still holds the text the matches were found in; it follows the edits only once
        // they are all done, which keeps a Replace All linear in the size of the segment.
        if (valid && !edits.empty()) {
            std::reverse(edits.begin(), edits.end());
            WordEditor::updateSegment(*segment, edits);
        }
    }
    *textValid = valid;
    return count;
}

void WordStoryReplacer::followFields(WordSegment& segment, qsizetype start, qsizetype end, qsizetype length) const
{
    const WordFieldReplacer fields(m_names);
    const auto moved = [&](qsizetype position) {
        return position <= start ? position : position >= end ? position + length - (end - start) : start + length;
    };
    for (auto span = segment.fields.begin(); span != segment.fields.end();) {
        // The occurrence began before the field and took all its result: it took the field, as in Word,
        // rather than leave a field that would show its result again when next updated.
        if (start < span->start && span->end <= end && fields.removeField(span->first, span->last)) {
            span = segment.fields.erase(span);
            continue;
        }
        span->start = moved(span->start);
        span->end = moved(span->end);
        ++span;
    }
}

bool WordStoryReplacer::touchesBoundControl(const WordSegment& segment, qsizetype start, qsizetype end) const
{
    for (size_t k = segment.pieceAt(start); k < segment.pieces.size() && segment.pieces[k].start < end; ++k) {
        for (pugi::xml_node node = segment.pieces[k].node; node; node = node.parent()) {
            const pugi::xml_node props = m_names.is(node, "sdt") ? m_names.child(node, "sdtPr") : pugi::xml_node();
            if (m_names.child(props, "dataBinding") && !m_names.child(props, "showingPlcHdr"))
                return true;
        }
    }
    return false;
}

void WordStoryReplacer::recordFieldDeletions(WordRevisionEditor& revisions, const WordSegment& segment,
                                             qsizetype start, qsizetype end) const
{
    // As followFields, recorded: an occurrence that began before a field and took all its result took the
    // field. The segment is not brought up to date (a recorded replacement leaves it out of date anyway).
    const WordFieldReplacer fields(m_names);
    for (const WordFieldSpan& span : segment.fields) {
        if (start < span.start && span.end <= end && fields.removable(span.first, span.last))
            revisions.deleteField(span.first, span.last);
    }
}

bool WordStoryReplacer::plainReplacementsChangeText(pugi::xml_node container, const QStringList& finds,
                                                    const QStringList& replaces) const
{
    const WordStoryText story(m_names, container);
    std::vector<std::pair<WordMatcher, WordReplacement>> definitions(finds.size());
    for (qsizetype i = 0; i < finds.size(); ++i) {
        definitions[i].first.compilePlain(finds[i]);
        definitions[i].second.compileLiteral(replaces.value(i));
    }
    for (const WordSegment& segment : story.segments()) {
        QString text = segment.text;
        for (const auto& [matcher, replacement] : definitions) {
            const std::vector<WordMatch> matches = matcher.findAll(text);
            if (matches.empty())
                continue;
            QString next;
            qsizetype from = 0;
            for (const WordMatch& match : matches) {
                next += QStringView(text).mid(from, match.start - from);
                next += replacement.expand(match, text, false);
                from = match.start + match.length;
            }
            next += QStringView(text).mid(from);
            text = std::move(next);
        }
        if (text != segment.text)
            return true;
    }
    return false;
}

} // namespace varnel::office
