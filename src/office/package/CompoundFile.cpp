#include "office/package/CompoundFile.h"

#include <QFile>
#include <QtEndian>

#include <vector>

namespace varnel::office {

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kMaxRegularSector = 0xFFFFFFFA;
constexpr int kHeaderDifatEntries = 109;
constexpr int kDirectoryEntrySize = 128;

class SectorReader
{
public:
    SectorReader(QFile* file, int sectorShift)
        : m_file(file)
        , m_sectorSize(qint64(1) << sectorShift)
        , m_sectorCount(file->size() > m_sectorSize ? quint32((file->size() - 1) / m_sectorSize) : 0)
    {
    }

    qint64 sectorSize() const { return m_sectorSize; }
    quint32 sectorCount() const { return m_sectorCount; }

    // Sector n starts after the 512-byte (or one-sector) header.
    QByteArray read(quint32 sector) const
    {
        if (sector >= m_sectorCount || !m_file->seek((qint64(sector) + 1) * m_sectorSize))
            return QByteArray();
        const QByteArray data = m_file->read(m_sectorSize);
        return data.size() == m_sectorSize ? data : QByteArray();
    }

private:
    QFile* m_file;
    qint64 m_sectorSize;
    quint32 m_sectorCount;
};

quint32 u32(const QByteArray& data, qint64 offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

// The sectors that hold the allocation table, from the header's list and the chain of extension sectors.
std::vector<quint32> allocationSectors(const QByteArray& header, const SectorReader& reader)
{
    std::vector<quint32> sectors;
    const quint32 count = u32(header, 0x2C);
    for (int i = 0; i < kHeaderDifatEntries && sectors.size() < count; ++i)
        sectors.push_back(u32(header, 0x4C + 4 * i));
    quint32 next = u32(header, 0x44);
    const qint64 perSector = reader.sectorSize() / 4 - 1;
    for (quint32 steps = 0; next <= kMaxRegularSector && sectors.size() < count && steps < reader.sectorCount(); ++steps) {
        const QByteArray data = reader.read(next);
        if (data.isEmpty())
            break;
        for (qint64 i = 0; i < perSector && sectors.size() < count; ++i)
            sectors.push_back(u32(data, 4 * i));
        next = u32(data, 4 * perSector);
    }
    return sectors;
}

} // namespace

bool hasCompoundFileSignature(QByteArrayView head)
{
    return head.startsWith(QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
}

QStringList compoundFileEntryNames(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray header = file.read(512);
    if (header.size() < 512 || !hasCompoundFileSignature(header))
        return {};
    const int sectorShift = qFromLittleEndian<quint16>(header.constData() + 0x1E);
    if (sectorShift != 9 && sectorShift != 12)
        return {};
    const SectorReader reader(&file, sectorShift);

    std::vector<quint32> table;
    for (const quint32 sector : allocationSectors(header, reader)) {
        const QByteArray data = reader.read(sector);
        if (data.isEmpty())
            return {};
        for (qint64 i = 0; i < reader.sectorSize() / 4; ++i)
            table.push_back(u32(data, 4 * i));
    }

    QStringList names;
    quint32 sector = u32(header, 0x30);
    // The step limit stops a chain that loops back on itself.
    for (quint32 steps = 0; sector != kEndOfChain && steps < reader.sectorCount(); ++steps) {
        const QByteArray data = reader.read(sector);
        if (data.isEmpty() || sector >= table.size())
            return {};
        for (qint64 offset = 0; offset + kDirectoryEntrySize <= data.size(); offset += kDirectoryEntrySize) {
            const quint8 type = quint8(data.at(offset + 0x42));
            const quint16 nameBytes = qFromLittleEndian<quint16>(data.constData() + offset + 0x40);
            if (type == 0 || nameBytes < 2 || nameBytes > 64)
                continue;
            QString name(nameBytes / 2 - 1, Qt::Uninitialized);
            qFromLittleEndian<char16_t>(data.constData() + offset, name.size(), name.data());
            names.append(name);
        }
        sector = table[sector];
    }
    return names;
}

} // namespace varnel::office
