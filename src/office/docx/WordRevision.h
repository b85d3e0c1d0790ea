#pragma once
// Who and when a replacement is recorded as, in a document that tracks its changes. Both engines record
// every replacement of a run under the program's name and the time the file was opened.

#include <QDateTime>
#include <QString>

namespace varnel::office {

class WordRevision
{
public:
    // Stamps with the given time (UTC) and revision numbers from firstId up.
    explicit WordRevision(int firstId = 0, QDateTime when = QDateTime::currentDateTimeUtc());

    // The author of every recorded change: the program's name.
    static QString author();
    // The time as WordprocessingML writes it, e.g. "2026-12-06T23:40:00Z".
    QString date() const;
    // The time as RTF packs it for \revdttm (minute, hour, day, month, year since 1900, weekday).
    qint32 rtfDateTime() const;
    // A w:id not used before in the document.
    int nextId() { return m_nextId++; }

private:
    QDateTime m_when;
    int m_nextId = 0;
};

} // namespace varnel::office
