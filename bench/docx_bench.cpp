// Times the Word engine on generated .docx files beside a round trip of the same files through LibreOffice.
//
// The corpus is 200 copies of one generated document of about three pages: 60 paragraphs of mixed Chinese
// and English text in runs of varied formatting (some words split across runs), a table, a header and a
// footer. Ten definitions (five ASCII, five Chinese) occur in it. Measured:
//   A  DocxEngine over all 200 files in this process (open, replace, save), as a run does per file;
//   B  LibreOffice headless round trips, docx to odt and back (the floor of a batch through it): one file
//      (two starts), then ten files in the same two starts; the difference gives its time per file
//      without the starts, the figure most favourable to LibreOffice.
//   P  the package layer alone on the same files (open, parse the main part, save), the floor under A.
//   L  one large document (40,000 paragraphs, about a million words, 10,000 paragraphs for comparison) in
//      which the ten definitions occur a few hundred times, written and replaced in processes of their own:
//      seconds (elapsed and CPU) and the peak resident memory, to show both grow with the document's size.
//   S  one paragraph of 20,000 runs (5,000 for comparison), each ending in "#", split by replacing "#" with
//      "^p", in processes of their own as L: inserting paragraph marks must not cost the paragraph's length.
// It prints files/s of A and P, LibreOffice's seconds per file (with and without the starts) and the ratios
// of A's throughput to LibreOffice's. B is skipped when soffice is not installed or --engine-only is given.

#include "BenchDefinitions.h"
#include "BenchSupport.h"

#include "core/AllocatorTuning.h"
#include "office/docx/DocxEngine.h"
#include "office/package/OoxmlPackage.h"

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

using namespace varnel;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kFiles = 200;
constexpr int kParagraphs = 60;
constexpr int kLargeParagraphs = 40000;
constexpr int kSplits = 20000;


// How often find texts occur: one word in `wordRate`, one run in `splitRate` ends in a find text split
// over two runs; 0 never.
struct Density {
    int wordRate = 20;
    int splitRate = 8;
};

const QString& randomWord(QRandomGenerator& random, int findRate)
{
    if (findRate > 0 && random.bounded(findRate) == 0)
        return bench::kFinds.at(random.bounded(bench::kFinds.size()));
    return bench::kFillerWords.at(random.bounded(bench::kFillerWords.size()));
}

const char* kMain = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString run(const QString& text, const QString& props = {})
{
    return u"<w:r>"_s + (props.isEmpty() ? QString() : u"<w:rPr>"_s + props + u"</w:rPr>"_s)
        + u"<w:t xml:space=\"preserve\">"_s + escaped(text) + u"</w:t></w:r>"_s;
}

// One paragraph of about 25 words in three to five runs; now and then a find text split over two runs.
QString paragraph(QRandomGenerator& random, const Density& density)
{
    static const QStringList props = {QString(), u"<w:b/>"_s, u"<w:i/>"_s, u"<w:color w:val=\"C00000\"/>"_s};
    QString xml = u"<w:p>"_s;
    const int runs = 3 + random.bounded(3);
    for (int r = 0; r < runs; ++r) {
        QString text;
        for (int w = 0; w < 6; ++w) {
            const QString& word = randomWord(random, density.wordRate);
            text += word + (word.at(0).unicode() < 128 ? u" "_s : QString());
        }
        if (density.splitRate > 0 && random.bounded(density.splitRate) == 0) {
            const QString& find = bench::kFinds.at(random.bounded(bench::kFinds.size()));
            text += find.left(1);
            xml += run(text, props.at(random.bounded(props.size())));
            text = find.mid(1) + u" "_s;
        }
        xml += run(text, props.at(random.bounded(props.size())));
    }
    return xml + u"</w:p>"_s;
}

QByteArray documentXml(const QString& body)
{
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<w:document "_s + QLatin1StringView(kMain)
            + u"><w:body>"_s + body + u"</w:body></w:document>"_s)
        .toUtf8();
}

QByteArray documentXml(int paragraphs, const Density& density)
{
    QRandomGenerator random(42);
    const int rate = density.wordRate;
    QString body;
    for (int i = 0; i < paragraphs; ++i) {
        body += paragraph(random, density);
        if (i == paragraphs / 2) {
            body += u"<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid><w:gridCol w:w=\"3000\"/>"
                    "<w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>"_s;
            for (int row = 0; row < 8; ++row) {
                body += u"<w:tr>"_s;
                for (int col = 0; col < 3; ++col)
                    body += u"<w:tc><w:p>"_s + run(randomWord(random, rate) + u" "_s + randomWord(random, rate))
                        + u"</w:p></w:tc>"_s;
                body += u"</w:tr>"_s;
            }
            body += u"</w:tbl>"_s;
        }
    }
    body += u"<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rId1\"/><w:footerReference w:type=\"default\" "
            "r:id=\"rId2\"/><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" w:right=\"1800\" "
            "w:bottom=\"1440\" w:left=\"1800\" w:header=\"851\" w:footer=\"992\" w:gutter=\"0\"/></w:sectPr>"_s;
    return documentXml(body);
}

// Case S: one paragraph of `runs` runs of alternating formatting, each ending in "#".
QByteArray longParagraphXml(int runs)
{
    QString body = u"<w:p><w:pPr><w:jc w:val=\"both\"/></w:pPr>"_s;
    for (int i = 0; i < runs; ++i)
        body += run(u"word %1 #"_s.arg(i), i % 2 ? u"<w:b/>"_s : QString());
    return documentXml(body + u"</w:p><w:sectPr/>"_s);
}

QByteArray headerFooter(const char* root, const QString& text)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<w:%1 %2><w:p>%3</w:p></w:%1>")
        .arg(QLatin1StringView(root), QLatin1StringView(kMain), run(text))
        .toUtf8();
}

bool writeDocx(const QString& path, const QByteArray& document)
{
    const QList<std::pair<const char*, QByteArray>> parts = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
         "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
         "<Override PartName=\"/word/header1.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/><Override "
         "PartName=\"/word/footer1.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/></Types>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
         "Target=\"word/document.xml\"/></Relationships>"},
        {"word/_rels/document.xml.rels",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" "
         "Target=\"header1.xml\"/><Relationship Id=\"rId2\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer\" "
         "Target=\"footer1.xml\"/></Relationships>"},
        {"word/document.xml", document},
        {"word/header1.xml", headerFooter("hdr", u"hello 北京 header"_s)},
        {"word/footer1.xml", headerFooter("ftr", u"world 测试 footer"_s)},
    };
    QList<std::pair<QByteArray, QByteArray>> named;
    for (const auto& [name, data] : parts)
        named.append({QByteArray(name), data});
    return bench::writeZip(path, named);
}

// A round trip of files through LibreOffice: docx to odt, then odt back to docx, one start for each way.
double libreOfficeRoundTrip(const QString& soffice, const QStringList& files, const QString& workDir)
{
    const QString odtDir = workDir + u"/odt"_s;
    const QString docxDir = workDir + u"/docx"_s;
    QDir().mkpath(odtDir);
    QDir().mkpath(docxDir);
    const double there = bench::libreOfficeSeconds(soffice, files, u"odt"_s, odtDir, workDir + u"/profile"_s);
    QStringList odts;
    for (const QString& file : files)
        odts.append(odtDir + u'/' + QFileInfo(file).completeBaseName() + u".odt"_s);
    const double back = there < 0 ? -1
                                  : bench::libreOfficeSeconds(soffice, odts, u"docx:MS Word 2007 XML"_s, docxDir,
                                                       workDir + u"/profile"_s);
    return there < 0 || back < 0 ? -1 : there + back;
}

struct Usage {
    double cpuSeconds = 0;
    double peakMegabytes = 0;
};

Usage usage()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const double cpu =
        double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    return {cpu, u.ru_maxrss / 1024.0}; // ru_maxrss is in kilobytes on Linux
}

// Replaces the ten definitions in one file and prints the replacements, the seconds (elapsed and CPU) and
// the peak memory of the process. Case L runs it in a process of its own, so the peak is the engine's.
int replaceOne(const QString& path, const QStringList& finds = bench::kFinds, const QStringList& replaces = bench::kReplaces)
{
    ReplaceOptions options;
    office::DocxEngine engine;
    EngineRequest request(finds, replaces, options);
    const double cpuBefore = usage().cpuSeconds;
    QElapsedTimer timer;
    timer.start();
    const EngineResult result = engine.replace(path, request);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!result.error.isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(result.error));
    const Usage after = usage();
    std::printf("%d replacements, %.3f s (%.3f s CPU), peak memory %.0f MB\n", result.replacements, seconds,
                after.cpuSeconds - cpuBefore, after.peakMegabytes);
    return result.changed ? 0 : 1;
}

// Runs this program with args; false when it failed. *output gets its standard output.
bool runSelf(const QStringList& args, QByteArray* output = nullptr)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), args);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(args.join(u' ')),
                     process.readAllStandardError().constData());
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

// Case L: one large document of `paragraphs` paragraphs with a few hundred occurrences; false on failure.
// The document is written by a process of its own too: a child inherits its parent's resident memory
// in ru_maxrss, and the generator's would hide the engine's.
bool largeDocument(const QTemporaryDir& dir, int paragraphs)
{
    const QString path = dir.filePath(u"large%1.docx"_s.arg(paragraphs));
    if (!runSelf({u"--write-large"_s, path, QString::number(paragraphs)}))
        return false;
    const qint64 packed = QFileInfo(path).size();
    QByteArray figures;
    if (!runSelf({u"--replace"_s, path}, &figures))
        return false;
    std::printf("large document, %d paragraphs (%.1f MB packed), %lld definitions: %s", paragraphs, packed / 1e6,
                bench::kFinds.size(), figures.constData());
    return true;
}

// Case S: one paragraph of `runs` runs split at the end of each; false on failure.
bool splitDocument(const QTemporaryDir& dir, int runs)
{
    const QString path = dir.filePath(u"split%1.docx"_s.arg(runs));
    QByteArray figures;
    if (!runSelf({u"--write-split"_s, path, QString::number(runs)}) || !runSelf({u"--split"_s, path}, &figures))
        return false;
    std::printf("one paragraph of %d runs split by ^p: %s", runs, figures.constData());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    varnel::tuneAllocatorForBatches();
    QCoreApplication app(argc, argv);
    // --engine-only: time the engine alone (for profiling); --dir PATH: make the corpus under PATH;
    // --write-large FILE N, --replace FILE: case L's child processes (write a document of N paragraphs;
    // replace the ten definitions in FILE and print the figures); --write-split FILE N, --split FILE: the same
    // for case S.
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == u"--replace"_s)
        return replaceOne(args.at(2));
    if (args.size() == 3 && args.at(1) == u"--split"_s)
        return replaceOne(args.at(2), {u"#"_s}, {u"^p"_s});
    if (args.size() == 4 && args.at(1) == u"--write-split"_s)
        return writeDocx(args.at(2), longParagraphXml(args.at(3).toInt())) ? 0 : 1;
    // One word in 2,000 is a find text, none split: about 500 occurrences in 40,000 paragraphs.
    if (args.size() == 4 && args.at(1) == u"--write-large"_s)
        return writeDocx(args.at(2), documentXml(args.at(3).toInt(), Density{2000, 0})) ? 0 : 1;
    const std::optional<bench::Corpus> corpus = bench::makeCorpus(
        args, u"docx_bench"_s, u"template.docx"_s,
        [](const QString& path) { return writeDocx(path, documentXml(kParagraphs, {})); });
    if (!corpus)
        return 1;
    const bool engineOnly = corpus->engineOnly;
    const QTemporaryDir& dir = *corpus->dir;
    const QString& templatePath = corpus->templatePath;
    if (!largeDocument(dir, kLargeParagraphs) || !largeDocument(dir, kLargeParagraphs / 4)
        || !splitDocument(dir, kSplits) || !splitDocument(dir, kSplits / 4))
        return 1;
    QStringList files;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = dir.filePath(u"doc%1.docx"_s.arg(i, 3, 10, QChar(u'0')));
        QFile::copy(templatePath, path);
        files.append(path);
    }
    std::printf("corpus: %d files of %lld bytes (%d paragraphs, a table, header and footer), %lld definitions\n",
                kFiles, QFileInfo(templatePath).size(), kParagraphs, bench::kFinds.size());

    office::DocxEngine engine;
    const bench::EngineTiming timing = bench::timeEngine(engine, files, bench::kFinds, bench::kReplaces);
    const int changed = timing.changed;
    const qint64 replacements = timing.replacements;
    const double varnelSeconds = timing.seconds;
    const double varnelRate = kFiles / varnelSeconds;
    std::printf("Varnel DocxEngine: %d files changed, %lld replacements, %.3f s, %.1f files/s\n", changed,
                replacements, varnelSeconds, varnelRate);

    // The package layer alone, for the same files: open, parse the main part, write it back unchanged.
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : files) {
        QString error;
        const auto package = office::OoxmlPackage::open(path, &error);
        if (!package || !package->xml(package->mainDocumentPart(), &error)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
            continue;
        }
        package->markChanged(package->mainDocumentPart());
        if (!package->save(&error))
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
    }
    const double packageSeconds = timer.nsecsElapsed() / 1e9;
    std::printf("package layer alone (open, parse, save): %.3f s, %.1f files/s; the engine's own share %.1f ms per file\n",
                packageSeconds, kFiles / packageSeconds, std::max(0.0, varnelSeconds - packageSeconds) * 1000 / kFiles);

    const QString soffice = engineOnly ? QString() : QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty()) {
        std::printf("LibreOffice: soffice not found, comparison skipped\n");
        return changed == kFiles ? 0 : 1;
    }
    QStringList fresh;
    for (int i = 0; i < 11; ++i) {
        const QString path = dir.filePath(u"lo%1.docx"_s.arg(i, 2, 10, QChar(u'0')));
        QFile::copy(templatePath, path);
        fresh.append(path);
    }
    // A first start creates the profile; it is not timed.
    libreOfficeRoundTrip(soffice, {fresh.first()}, dir.filePath(u"warm"_s));
    const double one = libreOfficeRoundTrip(soffice, {fresh.at(0)}, dir.filePath(u"warm"_s));
    const double ten = libreOfficeRoundTrip(soffice, fresh.mid(1, 10), dir.filePath(u"warm"_s));
    if (one < 0 || ten < 0) {
        std::printf("LibreOffice: conversion failed, comparison skipped\n");
        return 1;
    }
    const double perFile = std::max((ten - one) / 9.0, 1e-6);
    std::printf("LibreOffice round trip docx->odt->docx: %.2f s for 1 file (two starts), %.2f s for 10 files "
                "(two starts), %.3f s per file without the starts\n",
                one, ten, perFile);
    std::printf("ratio: Varnel's throughput is %.0fx LibreOffice's with its starts per file, %.0fx without them\n",
                varnelRate * one, varnelRate * perFile);
    return changed == kFiles ? 0 : 1;
}
