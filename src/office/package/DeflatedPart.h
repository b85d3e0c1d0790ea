#pragma once
// A part deflated before the archive is written: raw deflate data with the size and CRC of what it holds,
// which libzip then copies into the archive as it is, the way it copies an unchanged entry. Deflating
// ahead lets the parts of one save be deflated on two threads at once.

#include <QByteArray>

#include <optional>
#include <vector>

struct zip;
struct zip_source;

namespace varnel::office {

class DeflatedPart
{
public:
    // The bytes deflated at a zlib level, as libzip deflates them (the same window and memory level);
    // nullopt when zlib fails.
    static std::optional<DeflatedPart> deflate(const QByteArray& bytes, int level);
    // Every part deflated, on this thread and one more; the results in the same order.
    static std::vector<std::optional<DeflatedPart>> deflateAll(const std::vector<const QByteArray*>& parts, int level);

    // A libzip source of the archive that hands out the deflated data, which it takes over; null when it
    // cannot be made.
    zip_source* source(zip* archive);

private:
    QByteArray m_data;
    quint64 m_size = 0;
    quint32 m_crc = 0;
};

} // namespace varnel::office
