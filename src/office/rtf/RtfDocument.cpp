#include "office/rtf/RtfDocument.h"

#include "office/rtf/RtfReader.h"

#include <QStringList>

#include <algorithm>

namespace varnel {

QString RtfStory::text() const
{
    QString all;
    for (const RtfSegment& segment : segments)
        all += segment.text;
    return all;
}

bool RtfDocument::parse(QByteArrayView data)
{
    m_error.clear();
    m_readOnly = false;
    m_tracksChanges = false;
    m_revisionTable = RtfRevisionTable();
    m_stories.clear();
    m_bareWordEnds.clear();
    RtfReader reader(data, m_stories, m_bareWordEnds, m_revisionTable);
    if (!reader.run(&m_error, &m_readOnly, &m_tracksChanges)) {
        m_stories.clear();
        return false;
    }
    return true;
}

bool RtfDocument::controlWordEndsAt(qsizetype offset) const
{
    return std::binary_search(m_bareWordEnds.begin(), m_bareWordEnds.end(), offset);
}

QString RtfDocument::text(RtfStoryKind kind) const
{
    QStringList parts;
    for (const RtfStory& story : m_stories)
        if (story.kind == kind && !story.mirror)
            parts.append(story.text());
    return parts.join(u'\n');
}

} // namespace varnel
