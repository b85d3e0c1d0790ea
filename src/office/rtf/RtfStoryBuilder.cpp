#include "office/rtf/RtfStoryBuilder.h"

#include "office/docx/WordText.h"

#include <algorithm>

namespace varnel {

RtfStoryBuilder::RtfStoryBuilder(std::vector<RtfStory>& stories)
    : m_stories(stories)
{
    m_stories.clear();
    m_stories.push_back({});
    m_breakPending.assign(1, false);
    m_tableLevels.assign(1, 0);
}

int RtfStoryBuilder::open(RtfStoryKind kind, bool mirror, bool inHeaderFooter)
{
    RtfStory story;
    story.kind = kind;
    story.mirror = mirror;
    story.inHeaderFooter = inHeaderFooter;
    m_stories.push_back(std::move(story));
    m_breakPending.push_back(false);
    m_tableLevels.push_back(0);
    return static_cast<int>(m_stories.size()) - 1;
}

void RtfStoryBuilder::append(int story, QStringView text, RtfChar character, int tableLevel)
{
    enterTableLevel(story, tableLevel);
    std::vector<RtfSegment>& segments = m_stories[story].segments;
    if (segments.empty() || m_breakPending[story]) {
        segments.emplace_back();
        m_breakPending[story] = false;
    }
    RtfSegment& segment = segments.back();
    const qsizetype end = character.end;
    for (qsizetype i = 0; i < text.size(); ++i) {
        segment.text.append(text[i]);
        segment.chars.push_back(character);
        character.begin = end; // the rest of a character read from one range owns no bytes
    }
}

void RtfStoryBuilder::breakSegment(int story)
{
    if (story >= 0)
        m_breakPending[story] = true;
}

RtfStoryBuilder::Position RtfStoryBuilder::position(int story) const
{
    const std::vector<RtfSegment>& segments = m_stories[story].segments;
    const bool fresh = segments.empty() || m_breakPending[story];
    if (fresh)
        return {static_cast<int>(segments.size()), 0};
    return {static_cast<int>(segments.size()) - 1, qsizetype(segments.back().chars.size())};
}

void RtfStoryBuilder::addField(int story, int segment, qsizetype character, qsizetype begin, qsizetype finish)
{
    std::vector<RtfSegment>& segments = m_stories[story].segments;
    if (m_breakPending[story] || segments.size() != std::size_t(segment) + 1)
        return;
    RtfSegment& last = segments.back();
    const qsizetype end = qsizetype(last.chars.size());
    if (end > character)
        last.fields.push_back({character, end, begin, finish});
}

void RtfStoryBuilder::enterTableLevel(int story, int level)
{
    if (m_tableLevels[story] == level)
        return;
    m_tableLevels[story] = level;
    m_breakPending[story] = true;
    dropTrailingMark(story);
}

void RtfStoryBuilder::finish()
{
    for (std::size_t story = 0; story < m_stories.size(); ++story)
        dropTrailingMark(static_cast<int>(story));
}

void RtfStoryBuilder::dropTrailingMark(int story)
{
    std::vector<RtfSegment>& segments = m_stories[story].segments;
    if (segments.empty() || !segments.back().text.endsWith(QChar(office::wordtext::ParagraphMark)))
        return;
    RtfSegment& last = segments.back();
    last.text.chop(1);
    last.chars.pop_back();
    // A field whose result held the mark can no longer be taken whole: taking the field would take the
    // mark, which must stay.
    const qsizetype size = last.text.size();
    last.fields.erase(std::remove_if(last.fields.begin(), last.fields.end(),
                                     [size](const RtfFieldSpan& field) { return field.end > size; }),
                      last.fields.end());
    if (last.text.isEmpty())
        segments.pop_back();
}

} // namespace varnel
