#include "office/package/DeflatedPart.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <future>
#include <limits>

namespace varnel::office {

namespace {

// libzip deflates with zlib's largest memory level; so does this, for the same output.
constexpr int kMemoryLevel = 9;

struct SourceState {
    QByteArray data;
    zip_uint64_t size = 0;
    zip_uint32_t crc = 0;
    zip_uint64_t offset = 0;
    zip_error_t error;
};

// The source's answers to libzip: the data says it is deflated already, so libzip copies it unchanged.
zip_int64_t serve(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* state = static_cast<SourceState*>(userdata);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        state->offset = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const zip_uint64_t n = std::min(length, zip_uint64_t(state->data.size()) - state->offset);
        std::memcpy(data, state->data.constData() + state->offset, size_t(n));
        state->offset += n;
        return zip_int64_t(n);
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = state->size;
        st->comp_size = zip_uint64_t(state->data.size());
        st->comp_method = ZIP_CM_DEFLATE;
        st->crc = state->crc;
        st->encryption_method = ZIP_EM_NONE;
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_ENCRYPTION_METHOD;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&state->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&state->error);
        delete state;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_READABLE;
    default:
        zip_error_set(&state->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

} // namespace

std::optional<DeflatedPart> DeflatedPart::deflate(const QByteArray& bytes, int level)
{
    // zlib counts a call's input in 32 bits.
    if (quint64(bytes.size()) > std::numeric_limits<uInt>::max())
        return std::nullopt;
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    DeflatedPart part;
    part.m_data.resize(qsizetype(deflateBound(&stream, uLong(bytes.size()))));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(part.m_data.data());
    stream.avail_out = uInt(part.m_data.size());
    const bool finished = ::deflate(&stream, Z_FINISH) == Z_STREAM_END;
    part.m_data.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    if (!finished)
        return std::nullopt;
    part.m_size = quint64(bytes.size());
    part.m_crc = quint32(crc32_z(0, reinterpret_cast<const Bytef*>(bytes.constData()), size_t(bytes.size())));
    return part;
}

std::vector<std::optional<DeflatedPart>> DeflatedPart::deflateAll(const std::vector<const QByteArray*>& parts, int level)
{
    std::vector<std::optional<DeflatedPart>> deflated(parts.size());
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < parts.size(); i = next++)
            deflated[i] = deflate(*parts[i], level);
    };
    // A second thread takes parts as this one does; when none can be started, this one does them all.
    std::future<void> helper = parts.size() > 1 ? std::async(std::launch::async | std::launch::deferred, work)
                                                : std::future<void>();
    work();
    if (helper.valid())
        helper.get();
    return deflated;
}

zip_source* DeflatedPart::source(zip* archive)
{
    auto* state = new SourceState{std::move(m_data), m_size, m_crc, 0, {}};
    zip_error_init(&state->error);
    zip_source_t* source = zip_source_function(archive, serve, state);
    if (!source) {
        zip_error_fini(&state->error);
        delete state;
    }
    return source;
}

} // namespace varnel::office
