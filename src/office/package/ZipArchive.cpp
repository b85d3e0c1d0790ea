#include "office/package/ZipArchive.h"

#include "office/package/DeflatedPart.h"

#include <QFile>

#include <zip.h>

namespace varnel::office {

namespace {

constexpr qint64 kReadStep = 64 * 1024;

QString libzipText(zip_error_t* error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

QString openErrorText(int code, bool* notAZip)
{
    if (notAZip)
        *notAZip = code == ZIP_ER_NOZIP;
    switch (code) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("文件不是有效的OOXML文档（不是zip压缩包）");
    case ZIP_ER_INCONS:
    case ZIP_ER_EOF:
        return QStringLiteral("文件已损坏（zip结构不完整或不一致）");
    case ZIP_ER_EXISTS:
        return QStringLiteral("压缩包中有重复的条目名称，已拒绝处理");
    case ZIP_ER_MEMORY:
        return QStringLiteral("内存不足，无法打开文件");
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
        return QStringLiteral("无法读取文件");
    default: {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = QStringLiteral("无法打开压缩包：%1").arg(libzipText(&error));
        zip_error_fini(&error);
        return text;
    }
    }
}

// Reads the whole content of a source libzip has finished writing.
bool readSource(zip_source_t* source, QByteArray* out)
{
    zip_stat_t st;
    if (zip_source_open(source) < 0)
        return false;
    bool ok = zip_source_stat(source, &st) == 0 && (st.valid & ZIP_STAT_SIZE);
    if (ok) {
        out->resize(qsizetype(st.size));
        ok = zip_source_read(source, out->data(), st.size) == zip_int64_t(st.size);
    }
    zip_source_close(source);
    return ok;
}

} // namespace

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipArchive::open(const QString& path, QString* error, bool* notAZip)
{
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive) {
        if (error)
            *error = openErrorText(code, notAZip);
        return false;
    }
    if (notAZip)
        *notAZip = false;
    return load(archive, error);
}

bool ZipArchive::openBytes(const QByteArray& bytes, QString* error)
{
    zip_error_t zerror;
    zip_error_init(&zerror);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &zerror);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zerror) : nullptr;
    if (!archive) {
        if (error)
            *error = openErrorText(zip_error_code_zip(&zerror), nullptr);
        if (source)
            zip_source_free(source);
        zip_error_fini(&zerror);
        return false;
    }
    zip_error_fini(&zerror);
    return load(archive, error);
}

bool ZipArchive::load(zip_t* archive, QString* error)
{
    m_zip = archive;
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    m_entries.reserve(qsizetype(std::min<zip_int64_t>(count, 100000)));
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(m_zip, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
            if (error)
                *error = QStringLiteral("文件已损坏（无法读取第%1个压缩包条目）").arg(i + 1);
            return false;
        }
        ZipEntry entry;
        entry.name = QString::fromUtf8(st.name);
        entry.index = zip_uint64_t(i);
        entry.size = (st.valid & ZIP_STAT_SIZE) ? qint64(std::min<zip_uint64_t>(st.size, INT64_MAX)) : 0;
        entry.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE) ? qint64(std::min<zip_uint64_t>(st.comp_size, INT64_MAX)) : 0;
        entry.method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : ZIP_CM_DEFLATE;
        entry.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
        entry.modified = (st.valid & ZIP_STAT_MTIME) ? st.mtime : 0;
        m_entries.append(entry);
    }
    return true;
}

qsizetype ZipArchive::indexOf(const QString& name) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).name == name)
            return i;
    }
    return -1;
}

bool ZipArchive::read(const ZipEntry& entry, qint64 limit, QByteArray* data, QString* error) const
{
    data->clear();
    if (entry.size > limit) {
        if (error)
            *error = QStringLiteral("压缩包条目“%1”解压后超过%2 MB，已拒绝处理").arg(entry.name).arg(limit >> 20);
        return false;
    }
    zip_file_t* file = zip_fopen_index(m_zip, entry.index, 0);
    if (!file) {
        if (error)
            *error = QStringLiteral("无法读取压缩包条目“%1”：%2").arg(entry.name, libzipText(zip_get_error(m_zip)));
        return false;
    }
    data->reserve(qsizetype(entry.size));
    QString problem;
    for (;;) {
        const qint64 offset = data->size();
        // One byte past the declared size is enough to tell that the header lied.
        const qint64 step = std::min(kReadStep, entry.size + 1 - offset);
        data->resize(qsizetype(offset + step));
        const zip_int64_t n = zip_fread(file, data->data() + offset, zip_uint64_t(step));
        if (n < 0) {
            problem = zip_error_code_zip(zip_file_get_error(file)) == ZIP_ER_CRC
                ? QStringLiteral("数据校验失败（CRC错误），文件已损坏")
                : libzipText(zip_file_get_error(file));
            data->resize(qsizetype(offset));
            break;
        }
        data->resize(qsizetype(offset + n));
        if (data->size() > entry.size) {
            problem = QStringLiteral("解压后的大小与声明不符，文件已损坏");
            break;
        }
        if (n == 0) {
            if (data->size() != entry.size)
                problem = QStringLiteral("解压后的大小与声明不符，文件已损坏");
            break;
        }
    }
    zip_fclose(file);
    if (problem.isEmpty())
        return true;
    data->clear();
    data->squeeze();
    if (error)
        *error = QStringLiteral("压缩包条目“%1”读取失败：%2").arg(entry.name, problem);
    return false;
}

bool ZipArchive::rewrite(const QHash<QString, QByteArray>& replacements, QByteArray* out, QString* error) const
{
    return rewrite(replacements, {}, out, error);
}

bool ZipArchive::rewrite(const QHash<QString, QByteArray>& replacements,
                         const QList<QPair<QString, QByteArray>>& additions, QByteArray* out, QString* error) const
{
    zip_error_t zerror;
    zip_error_init(&zerror);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zerror);
    zip_t* target = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &zerror) : nullptr;
    if (!target) {
        if (error)
            *error = QStringLiteral("无法创建压缩包：%1").arg(libzipText(&zerror));
        if (buffer)
            zip_source_free(buffer);
        zip_error_fini(&zerror);
        return false;
    }
    zip_error_fini(&zerror);

    // A rewritten entry is deflated at zlib's level 4, the fastest with lazy matching: on document, slide and
    // sheet XML its output is 1 to 6 per cent larger than level 6's and takes a third less time (libzip's
    // default, 9, takes two to three times level 6's time for output a few per cent smaller still). The
    // entries are deflated before the archive is written, two at a time.
    constexpr int kDeflateLevel = 4;
    std::vector<const QByteArray*> rewritten;
    for (const ZipEntry& entry : m_entries) {
        if (m_leftOut.contains(entry.name))
            continue;
        if (const auto replacement = replacements.constFind(entry.name); replacement != replacements.constEnd())
            rewritten.push_back(&*replacement);
    }
    std::vector<std::optional<DeflatedPart>> deflated = DeflatedPart::deflateAll(rewritten, kDeflateLevel);

    QString problem;
    size_t next = 0; // the next of the deflated entries
    for (const ZipEntry& entry : m_entries) {
        if (m_leftOut.contains(entry.name))
            continue;
        const bool replaced = replacements.contains(entry.name);
        std::optional<DeflatedPart>* part = replaced ? &deflated[next++] : nullptr;
        if (part && !part->has_value()) {
            problem = QStringLiteral("压缩失败");
            break;
        }
        zip_source_t* source = replaced ? (*part)->source(target)
                                        : zip_source_zip(target, m_zip, entry.index, ZIP_FL_COMPRESSED, 0, -1);
        const QByteArray name = entry.name.toUtf8();
        const zip_int64_t index = source ? zip_file_add(target, name.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            problem = libzipText(zip_get_error(target));
            break;
        }
        // Every entry keeps the method of its data, so libzip copies the data without inflating it.
        const zip_int32_t method = replaced ? ZIP_CM_DEFLATE : zip_int32_t(entry.method);
        if (zip_set_file_compression(target, zip_uint64_t(index), method, replaced ? zip_uint32_t(kDeflateLevel) : 0) != 0
            || (!replaced && entry.modified && zip_file_set_mtime(target, zip_uint64_t(index), entry.modified, 0) != 0)) {
            problem = libzipText(zip_get_error(target));
            break;
        }
    }
    for (qsizetype i = 0; problem.isEmpty() && i < additions.size(); ++i) {
        const QByteArray& data = additions.at(i).second;
        zip_source_t* source = zip_source_buffer(target, data.constData(), zip_uint64_t(data.size()), 0);
        const QByteArray name = additions.at(i).first.toUtf8();
        const zip_int64_t index = source ? zip_file_add(target, name.constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            problem = libzipText(zip_get_error(target));
        }
    }

    zip_source_keep(buffer);
    if (problem.isEmpty() && zip_close(target) != 0)
        problem = libzipText(zip_get_error(target));
    if (!problem.isEmpty()) {
        zip_discard(target);
        zip_source_free(buffer);
        if (error)
            *error = QStringLiteral("无法写出压缩包：%1").arg(problem);
        return false;
    }
    const bool ok = readSource(buffer, out);
    zip_source_free(buffer);
    if (!ok && error)
        *error = QStringLiteral("无法写出压缩包");
    return ok;
}

} // namespace varnel::office
