#include "core/TextEncoding.h"

#include "core/FileCheck.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace varnel {

namespace {

// Only this many bytes from the start of a file decide between UTF-8 and the Chinese code page.
constexpr qint64 kSampleSize = 204701;

// Whether the sample reads as UTF-8. Lead bytes are judged only by their count of leading one-bits
// (F8..FF announce four to seven continuation bytes) and overlong or surrogate forms pass: the walk
// only tells UTF-8 from the Chinese code page, whose two-byte characters break the pattern quickly.
TextEncoding classifySample(QByteArrayView sample, bool cut)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(sample.data());
    const qsizetype size = sample.size();
    bool allAscii = true;
    qsizetype i = 0;
    while (i < size) {
        // Runs of ASCII are the common case: step over eight bytes at a time.
        while (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, sizeof word);
            if (word & 0x8080808080808080ull)
                break;
            i += 8;
        }
        while (i < size && bytes[i] < 0x80)
            ++i;
        if (i >= size)
            break;
        allAscii = false;
        const int continuation = std::countl_one(bytes[i]) - 1;
        if (continuation == 0)
            return TextEncoding::Ansi;
        const qsizetype end = i + 1 + continuation;
        if (end <= size && i + 8 <= size) {
            // All continuation bytes of the sequence at once: each must read 10xxxxxx.
            const quint64 word = qFromLittleEndian<quint64>(bytes + i);
            const quint64 mask = ((quint64(1) << (8 * continuation)) - 1) << 8;
            if ((word & mask & 0xC0C0C0C0C0C0C0C0ull) != (mask & 0x8080808080808080ull))
                return TextEncoding::Ansi;
            i = end;
            continue;
        }
        for (++i; i < end && i < size; ++i)
            if ((bytes[i] & 0xC0) != 0x80)
                return TextEncoding::Ansi;
        // A sequence cut by the end of the file is broken; one cut by the end of the sample may go on.
        if (end > size && !cut)
            return TextEncoding::Ansi;
    }
    return allAscii ? TextEncoding::Ansi : TextEncoding::Utf8;
}

} // namespace

TextEncoding DetectTextEncoding(const QString& path)
{
    QFile file(path);
    if (!file.exists() || !notRegularFileReason(path).isEmpty() || !file.open(QIODevice::ReadOnly))
        return TextEncoding::None;
    const qint64 size = file.size();
    const QByteArray head = file.read(kSampleSize);
    return detectTextEncoding(head, size);
}

TextEncoding detectTextEncoding(QByteArrayView head, qint64 fileSize)
{
    unsigned char mark[4] = {0, 0, 0, 0};
    for (qsizetype i = 0; i < 4 && i < head.size(); ++i)
        mark[i] = static_cast<unsigned char>(head[i]);
    if (mark[0] == 0xFF && mark[1] == 0xFE)
        return TextEncoding::Utf16Le;
    if (mark[0] == 0xFE && mark[1] == 0xFF)
        return TextEncoding::Utf16Be;
    if (mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF)
        return TextEncoding::Utf8;
    if (fileSize <= 0)
        return TextEncoding::None;
    const qsizetype sampleSize = static_cast<qsizetype>(std::min<qint64>({fileSize, kSampleSize, qint64(head.size())}));
    return classifySample(head.first(sampleSize), fileSize > kSampleSize);
}

} // namespace varnel
