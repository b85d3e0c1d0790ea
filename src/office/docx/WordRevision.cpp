#include "office/docx/WordRevision.h"

namespace varnel::office {

WordRevision::WordRevision(int firstId, QDateTime when)
    : m_when(when.toUTC())
    , m_nextId(firstId)
{
}

QString WordRevision::author()
{
    return QStringLiteral("Varnel");
}

QString WordRevision::date() const
{
    return m_when.toString(Qt::ISODate);
}

qint32 WordRevision::rtfDateTime() const
{
    const QDate day = m_when.date();
    const QTime time = m_when.time();
    const quint32 packed = quint32(time.minute()) | quint32(time.hour()) << 6 | quint32(day.day()) << 11
        | quint32(day.month()) << 16 | quint32(day.year() - 1900) << 20 | quint32(day.dayOfWeek() % 7) << 29;
    return static_cast<qint32>(packed); // RTF writes the 32 bits as a signed number
}

} // namespace varnel::office
