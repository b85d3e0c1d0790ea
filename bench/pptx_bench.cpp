// Times the PowerPoint engine on generated presentations beside a round trip of the same files through
// LibreOffice.
//
// The corpus is 50 copies of one presentation of 20 slides, each slide with a text box of two paragraphs in
// runs of varied formatting, a 4 x 3 table, a group holding a text box and a nested group of two, and a
// notes page; mixed Chinese and English words, among which the ten definitions' find texts occur. The
// presentation is written as flat OpenDocument and converted to .pptx by LibreOffice once (so the bench
// needs soffice to make its corpus). Measured:
//   B  LibreOffice headless round trips of the 50 files, pptx to odp and back, one start each way;
//   P  the package layer alone on the same files (open, parse what the engine parses, save the slides and
//      notes pages unchanged), the floor under A;
//   A  PptxEngine over all 50 files in this process (open, replace, save), as a run does per file.
// Each timed step starts after everything written before it is synced, since every save syncs its file.
// Afterwards every presentation is read again: no find text may be left in any text range, and the
// replacements must number the occurrences the template had, times 50. It prints files/s of A and B and
// the ratio of A's throughput to B's, and of the CPU time each needs. --engine-only skips B.

#include "BenchDefinitions.h"
#include "BenchSupport.h"

#include "core/AllocatorTuning.h"
#include "core/DocumentEngine.h"
#include "core/ReplaceOptions.h"
#include "office/pptx/PptxDocument.h"
#include "office/pptx/PptxEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>
#include <unistd.h>

using namespace varnel;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kFiles = 50;
constexpr int kSlides = 20;


// Filler words with a find text drawn instead one time in ten.
QString words(QRandomGenerator& random, int count)
{
    const QStringList& finds = bench::kFinds;
    const QStringList& fillers = bench::kFillerWords;
    QString text;
    for (int i = 0; i < count; ++i) {
        const QString& word = random.bounded(10) == 0 ? finds.at(random.bounded(finds.size()))
                                                      : fillers.at(random.bounded(fillers.size()));
        text += word + (word.at(0).unicode() < 128 ? u" "_s : QString());
    }
    return text.toHtmlEscaped();
}

// A paragraph of three runs: plain, bold or italic, plain.
QString paragraph(QRandomGenerator& random)
{
    const QString style = random.bounded(2) ? u"T1"_s : u"T2"_s;
    return u"<text:p>"_s + words(random, 8) + u"<text:span text:style-name=\""_s + style + u"\">"_s + words(random, 4)
        + u"</text:span>"_s + words(random, 8) + u"</text:p>"_s;
}

QString textBox(QRandomGenerator& random, int x, int y, int paragraphs)
{
    QString text;
    for (int i = 0; i < paragraphs; ++i)
        text += paragraph(random);
    return u"<draw:frame svg:x=\"%1cm\" svg:y=\"%2cm\" svg:width=\"8cm\" svg:height=\"2cm\"><draw:text-box>%3"
           "</draw:text-box></draw:frame>"_s.arg(x).arg(y).arg(text);
}

QString slide(QRandomGenerator& random, int number)
{
    QString table = u"<draw:frame svg:x=\"1cm\" svg:y=\"6cm\" svg:width=\"12cm\" svg:height=\"6cm\"><table:table>"
                    "<table:table-column/><table:table-column/><table:table-column/>"_s;
    for (int row = 0; row < 4; ++row) {
        table += u"<table:table-row>"_s;
        for (int col = 0; col < 3; ++col)
            table += u"<table:table-cell><text:p>"_s + words(random, 3) + u"</text:p></table:table-cell>"_s;
        table += u"</table:table-row>"_s;
    }
    table += u"</table:table></draw:frame>"_s;
    const QString group = u"<draw:g>"_s + textBox(random, 15, 6, 1) + u"<draw:g>"_s + textBox(random, 15, 9, 1)
        + textBox(random, 15, 12, 1) + u"</draw:g></draw:g>"_s;
    const QString notes = u"<presentation:notes><draw:frame presentation:class=\"notes\" svg:x=\"2cm\" svg:y=\"14cm\" "
                          "svg:width=\"17cm\" svg:height=\"10cm\"><draw:text-box>"_s
        + paragraph(random) + u"</draw:text-box></draw:frame></presentation:notes>"_s;
    return u"<draw:page draw:name=\"Slide%1\" draw:master-page-name=\"Default\">"_s.arg(number) + textBox(random, 1, 1, 2)
        + table + group + notes + u"</draw:page>"_s;
}

QByteArray presentationFodp()
{
    QRandomGenerator random(42);
    QString slides;
    for (int i = 1; i <= kSlides; ++i)
        slides += slide(random, i);
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
            "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
            "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
            "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
            "xmlns:presentation=\"urn:oasis:names:tc:opendocument:xmlns:presentation:1.0\" office:version=\"1.3\" "
            "office:mimetype=\"application/vnd.oasis.opendocument.presentation\"><office:automatic-styles>"
            "<style:page-layout style:name=\"PM1\"><style:page-layout-properties fo:page-width=\"28cm\" "
            "fo:page-height=\"15.75cm\" style:print-orientation=\"landscape\"/></style:page-layout>"
            "<style:style style:name=\"T1\" style:family=\"text\"><style:text-properties fo:font-weight=\"bold\"/>"
            "</style:style><style:style style:name=\"T2\" style:family=\"text\"><style:text-properties "
            "fo:font-style=\"italic\"/></style:style></office:automatic-styles><office:master-styles>"
            "<style:master-page style:name=\"Default\" style:page-layout-name=\"PM1\"/></office:master-styles>"
            "<office:body><office:presentation>"_s
            + slides + u"</office:presentation></office:body></office:document>"_s)
        .toUtf8();
}

// Occurrences of the find texts in every text range of a presentation (notes pages included).
qint64 occurrences(const QString& path)
{
    QString error;
    const auto document = office::PptxDocument::open(path, true, &error);
    if (!document) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
        return -1;
    }
    qint64 count = 0;
    for (office::PresentationPart& part : document->parts())
        for (office::SlideTextBody& body : part.bodies)
            for (const QString& find : bench::kFinds)
                count += body.range.text().count(find);
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    varnel::tuneAllocatorForBatches();
    QCoreApplication app(argc, argv);
    // --engine-only: time the engine alone (for profiling); --dir PATH: make the corpus under PATH.
    const QStringList args = app.arguments();
    const bool engineOnly = args.contains(u"--engine-only"_s);
    const qsizetype dirArg = args.indexOf(u"--dir"_s);
    const QString base = dirArg > 0 && dirArg + 1 < args.size() ? args.at(dirArg + 1) : QDir::tempPath();
    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty()) {
        std::printf("LibreOffice: soffice not found; it makes the corpus, so the bench cannot run\n");
        return 1;
    }
    QTemporaryDir dir(base + u"/pptx_bench-XXXXXX"_s);
    const QString fodp = dir.filePath(u"template.fodp"_s);
    QFile source(fodp);
    if (!dir.isValid() || !source.open(QIODevice::WriteOnly) || source.write(presentationFodp()) < 0) {
        std::fprintf(stderr, "cannot write the corpus\n");
        return 1;
    }
    source.close();
    const QString profile = dir.filePath(u"profile"_s);
    const QString templatePath = dir.filePath(u"template.pptx"_s);
    if (bench::libreOfficeSeconds(soffice, {fodp}, u"pptx:Impress MS PowerPoint 2007 XML"_s, dir.path(), profile) < 0) {
        std::fprintf(stderr, "LibreOffice could not make the corpus\n");
        return 1;
    }
    const qint64 expected = occurrences(templatePath) * kFiles;
    const QString corpus = dir.filePath(u"corpus"_s);
    QDir().mkpath(corpus);
    QStringList files;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = corpus + u"/deck%1.pptx"_s.arg(i, 2, 10, QChar(u'0'));
        QFile::copy(templatePath, path);
        files.append(path);
    }
    std::printf("corpus: %d files of %lld bytes (%d slides with a text box, a table, nested groups and notes), "
                "%lld definitions, %lld occurrences in all\n",
                kFiles, QFileInfo(templatePath).size(), kSlides, bench::kFinds.size(), expected);

    // LibreOffice's round trip first, of the untouched files: pptx to odp, odp back to pptx.
    const QString odpDir = dir.filePath(u"odp"_s);
    const QString backDir = dir.filePath(u"back"_s);
    QStringList odps;
    for (const QString& file : files)
        odps.append(odpDir + u'/' + QFileInfo(file).completeBaseName() + u".odp"_s);
    const double libreOfficeCpuBefore = bench::cpuSeconds(RUSAGE_CHILDREN);
    const double there = engineOnly ? 0 : bench::libreOfficeSeconds(soffice, files, u"odp"_s, odpDir, profile);
    const double back = there < 0 ? -1 : engineOnly ? 0 : bench::libreOfficeSeconds(soffice, odps, u"pptx:Impress MS PowerPoint 2007 XML"_s, backDir, profile);
    if (there < 0 || back < 0) {
        std::printf("LibreOffice: conversion failed\n");
        return 1;
    }
    const double libreOfficeCpu = bench::cpuSeconds(RUSAGE_CHILDREN) - libreOfficeCpuBefore;

    std::vector<office::PresentationPart> noParts;
    ReplaceOptions options;
    office::PptxEngine engine;
    // The package layer alone on the same files: open, read every part the engine reads, write the slides
    // and notes pages back unchanged.
    ::sync(); // what LibreOffice wrote is on disk before anything is timed
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : files) {
        QString error;
        const auto document = office::PptxDocument::open(path, true, &error);
        for (office::PresentationPart& part : document ? document->parts() : noParts) {
            if (part.kind == office::PresentationPart::Kind::Slide || part.kind == office::PresentationPart::Kind::Notes)
                document->markChanged(part.name);
        }
        if (!document || !document->save(&error))
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
    }
    const double packageSeconds = timer.nsecsElapsed() / 1e9;

    int changed = 0;
    qint64 replacements = 0;
    ::sync();
    const double varnelCpuBefore = bench::cpuSeconds(RUSAGE_SELF);
    timer.restart();
    for (const QString& path : files) {
        EngineRequest request(bench::kFinds, bench::kReplaces, options);
        const EngineResult result = engine.replace(path, request);
        if (!result.error.isEmpty())
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(result.error));
        changed += result.changed ? 1 : 0;
        replacements += result.replacements;
    }
    const double varnelSeconds = timer.nsecsElapsed() / 1e9;
    const double varnelRate = kFiles / varnelSeconds;
    const double varnelCpu = bench::cpuSeconds(RUSAGE_SELF) - varnelCpuBefore;

    qint64 left = 0;
    for (const QString& path : files)
        left += occurrences(path);
    const bool complete = left == 0 && replacements == expected && changed == kFiles;
    std::printf("Varnel PptxEngine: %d files changed, %lld replacements, %.3f s (%.3f s of CPU), %.1f files/s\n", changed,
                replacements, varnelSeconds, varnelCpu, varnelRate);
    std::printf("package layer alone (open, parse, save the slides and notes): %.3f s, %.1f files/s\n", packageSeconds,
                kFiles / packageSeconds);
    std::printf("every match replaced: %s (%lld expected, %lld left)\n", complete ? "yes" : "NO", expected, left);
    if (engineOnly)
        return complete ? 0 : 1;
    const double libreOfficeRate = kFiles / (there + back);
    std::printf("LibreOffice round trip pptx->odp->pptx: %.2f s + %.2f s for %d files (one start each way, %.1f s of "
                "CPU), %.2f files/s\n",
                there, back, kFiles, libreOfficeCpu, libreOfficeRate);
    // On a busy machine the CPU time each side needs per file says more than the wall clock.
    std::printf("ratio: Varnel's throughput is %.0fx LibreOffice's (%.0fx in CPU time per file)\n",
                varnelRate / libreOfficeRate, libreOfficeCpu / std::max(varnelCpu, 1e-6));
    return complete ? 0 : 1;
}
