#include "office/package/CompoundFileTree.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>

#include <QFile>
#include <QHash>

#include <memory>

namespace varnel::office {

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template <typename T>
using GsfPointer = std::unique_ptr<T, GObjectUnref>;

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

QString gerrorText(GError* error)
{
    const QString text = error ? QString::fromUtf8(error->message) : QString();
    if (error)
        g_error_free(error);
    return text;
}

bool readStorage(GsfInfile* storage, const QString& prefix, QList<CompoundFileEntry>* entries)
{
    const int count = gsf_infile_num_children(storage);
    for (int i = 0; i < count; ++i) {
        GsfPointer<GsfInput> child(gsf_infile_child_by_index(storage, i));
        const char* name = gsf_infile_name_by_index(storage, i);
        if (!child || !name)
            return false;
        CompoundFileEntry entry;
        entry.path = prefix + QString::fromUtf8(name);
        // A storage is an infile with children (possibly none); a stream answers -1.
        entry.storage = GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0;
        if (!entry.storage) {
            const gsf_off_t size = gsf_input_size(child.get());
            entry.data.resize(qsizetype(size));
            if (size > 0
                && !gsf_input_read(child.get(), size_t(size), reinterpret_cast<guint8*>(entry.data.data())))
                return false;
        }
        const QString childPrefix = entry.path + u'/';
        const bool isStorage = entry.storage;
        entries->append(std::move(entry));
        if (isStorage && !readStorage(GSF_INFILE(child.get()), childPrefix, entries))
            return false;
    }
    return true;
}

void appendNames(GsfInfile* storage, QStringList* names)
{
    const int count = gsf_infile_num_children(storage);
    for (int i = 0; i < count; ++i) {
        const char* name = gsf_infile_name_by_index(storage, i);
        if (!name)
            continue;
        names->append(QString::fromUtf8(name));
        GsfPointer<GsfInput> child(gsf_infile_child_by_index(storage, i));
        if (child && GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) > 0)
            appendNames(GSF_INFILE(child.get()), names);
    }
}

} // namespace

QStringList CompoundFileTree::entryNames(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    GsfPointer<GsfInput> input(gsf_input_stdio_new(name.constData(), nullptr));
    GsfPointer<GsfInfile> root(input ? gsf_infile_msole_new(input.get(), nullptr) : nullptr);
    QStringList names;
    if (root)
        appendNames(root.get(), &names);
    return names;
}

bool CompoundFileTree::read(const QByteArray& file, QList<CompoundFileEntry>* entries, QString* error)
{
    entries->clear();
    GsfPointer<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8*>(file.constData()),
                                                    gsf_off_t(file.size()), FALSE));
    GError* gerror = nullptr;
    GsfPointer<GsfInfile> root(input ? gsf_infile_msole_new(input.get(), &gerror) : nullptr);
    if (!root) {
        setError(error, QStringLiteral("OLE复合文档结构已损坏：%1").arg(gerrorText(gerror)));
        return false;
    }
    if (!readStorage(root.get(), QString(), entries)) {
        setError(error, QStringLiteral("OLE复合文档结构已损坏，无法读取其中的数据流"));
        return false;
    }
    return true;
}

bool CompoundFileTree::write(const QList<CompoundFileEntry>& entries, QByteArray* file, QString* error)
{
    GsfPointer<GsfOutput> sink(gsf_output_memory_new());
    GsfPointer<GsfOutfile> root(sink ? gsf_outfile_msole_new(sink.get()) : nullptr);
    bool ok = root != nullptr;
    // Storages stay open until the root closes: libgsf writes a storage's directory entry when it does.
    QHash<QString, GsfOutfile*> storages;
    std::vector<GsfPointer<GsfOutput>> open;
    for (const CompoundFileEntry& entry : entries) {
        if (!ok)
            break;
        const qsizetype slash = entry.path.lastIndexOf(u'/');
        GsfOutfile* parent = slash < 0 ? root.get() : storages.value(entry.path.left(slash));
        const QByteArray name = entry.path.mid(slash + 1).toUtf8();
        GsfOutput* child = parent ? gsf_outfile_new_child(parent, name.constData(), entry.storage) : nullptr;
        if (!child) {
            ok = false;
            break;
        }
        open.emplace_back(child);
        if (entry.storage) {
            storages.insert(entry.path, GSF_OUTFILE(child));
            continue;
        }
        ok = (entry.data.isEmpty()
              || gsf_output_write(child, size_t(entry.data.size()),
                                  reinterpret_cast<const guint8*>(entry.data.constData())))
            && gsf_output_close(child);
    }
    // Children close before their storages: in reverse order of creation.
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (!gsf_output_is_closed(it->get()))
            ok = gsf_output_close(it->get()) && ok;
    if (root)
        ok = gsf_output_close(GSF_OUTPUT(root.get())) && ok;
    if (!ok || !sink) {
        setError(error, QStringLiteral("无法生成OLE复合文档"));
        return false;
    }
    GsfOutputMemory* memory = GSF_OUTPUT_MEMORY(sink.get());
    *file = QByteArray(reinterpret_cast<const char*>(gsf_output_memory_get_bytes(memory)),
                       qsizetype(gsf_output_size(sink.get())));
    return true;
}

const CompoundFileEntry* CompoundFileTree::find(const QList<CompoundFileEntry>& entries, const QString& path)
{
    for (const CompoundFileEntry& entry : entries)
        if (!entry.storage && entry.path == path)
            return &entry;
    return nullptr;
}

} // namespace varnel::office
