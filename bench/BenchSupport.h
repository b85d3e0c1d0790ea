#pragma once
// What the benchmarks share: writing a generated package, timing an engine over a corpus, and timing
// LibreOffice's conversions of the same files.

#include "core/DocumentEngine.h"
#include "core/ReplaceOptions.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <zip.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace varnel::bench {

// CPU seconds (user and system) this process, or its waited-for children, have used so far.
inline double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Seconds LibreOffice takes to convert files to `format` in one start, or -1 on failure. The converted
// files go to outDir under their base name with the new extension.
inline double libreOfficeSeconds(const QString& soffice, const QStringList& files, const QString& format,
                                 const QString& outDir, const QString& profileDir)
{
    QProcess process;
    process.setProgram(soffice);
    process.setArguments(QStringList{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                                     QStringLiteral("-env:UserInstallation=file://") + profileDir,
                                     QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), outDir}
                         + files);
    QElapsedTimer timer;
    timer.start();
    process.start();
    if (!process.waitForFinished(1800000) || process.exitCode() != 0)
        return -1;
    const double seconds = timer.nsecsElapsed() / 1e9;
    const QString extension = format.section(u':', 0, 0);
    for (const QString& file : files) {
        if (!QFile::exists(outDir + u'/' + QFileInfo(file).completeBaseName() + u'.' + extension))
            return -1;
    }
    return seconds;
}

// A zip archive of the parts (name, bytes) at path; false when it cannot be written.
inline bool writeZip(const QString& path, const QList<std::pair<QByteArray, QByteArray>>& parts)
{
    int errorCode = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &errorCode);
    if (!archive)
        return false;
    for (const auto& [name, data] : parts) {
        // The source frees its copy of the data when the archive is closed.
        void* copy = std::malloc(size_t(data.size()));
        std::memcpy(copy, data.constData(), size_t(data.size()));
        zip_source_t* source = zip_source_buffer(archive, copy, zip_uint64_t(data.size()), 1);
        if (!source || zip_file_add(archive, name.constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

// Where a benchmark makes its corpus, from its arguments: --engine-only (time the engine alone, for
// profiling) and --dir PATH (make the corpus under PATH instead of the temporary folder).
struct Corpus {
    bool engineOnly = false;
    std::unique_ptr<QTemporaryDir> dir;
    QString templatePath; // the generated file the corpus copies
};

// The corpus folder with its template written by write; nullopt (with a message) when either fails.
inline std::optional<Corpus> makeCorpus(const QStringList& args, const QString& name, const QString& templateName,
                                        const std::function<bool(const QString&)>& write)
{
    Corpus corpus;
    corpus.engineOnly = args.contains(QStringLiteral("--engine-only"));
    const qsizetype dirArg = args.indexOf(QStringLiteral("--dir"));
    const QString base = dirArg > 0 && dirArg + 1 < args.size() ? args.at(dirArg + 1) : QDir::tempPath();
    corpus.dir = std::make_unique<QTemporaryDir>(base + u'/' + name + QStringLiteral("-XXXXXX"));
    corpus.templatePath = corpus.dir->filePath(templateName);
    if (!corpus.dir->isValid() || !write(corpus.templatePath)) {
        std::fprintf(stderr, "cannot write the corpus\n");
        return std::nullopt;
    }
    return corpus;
}

struct EngineTiming {
    int changed = 0;
    qint64 replacements = 0;
    double seconds = 0;
    double cpuSeconds = 0; // of this process
};

// The engine over every file, one after another, as a run hands them to it; failures go to stderr.
inline EngineTiming timeEngine(DocumentEngine& engine, const QStringList& files, const QStringList& finds,
                               const QStringList& replaces, const ReplaceOptions& options = {})
{
    EngineTiming timing;
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : files) {
        EngineRequest request(finds, replaces, options);
        const EngineResult result = engine.replace(path, request);
        if (!result.error.isEmpty())
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(result.error));
        timing.changed += result.changed ? 1 : 0;
        timing.replacements += result.replacements;
    }
    timing.seconds = timer.nsecsElapsed() / 1e9;
    timing.cpuSeconds = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    return timing;
}

} // namespace varnel::bench
