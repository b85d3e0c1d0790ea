// Times the Excel engine on generated workbooks beside LibreOffice and openpyxl doing the same files.
//
// The corpus is 200 copies of one generated workbook: three sheets of 500 rows by 6 columns, text in
// columns A, C and F (shared strings, some holding a definition's find text) and numbers in B, D and E.
// Ten definitions (five ASCII, five Chinese). Measured:
//   A  XlsxEngine over all 200 files in this process (open, replace, save), as a run does per file;
//   B  LibreOffice headless round trips of the same workbook (xlsx loaded and saved as xlsx, which is less
//      than a replacement through it): one file, then ten files in one start; the difference gives its
//      time per file without the start, the figure most favourable to LibreOffice;
//   P  the package layer alone on the same files (open, parse the sheets and shared strings, save them), the
//      floor under A;
//   C  an openpyxl script doing the same replacement (load, replace in every text cell, save) on 20 files.
// It prints files/s of each, with the CPU time of A and P, and the ratios of A's throughput to B's and C's
// (goals: 20 and 10). B and C are skipped when soffice or python3 with openpyxl is not installed, or when
// --engine-only is given. --files N makes a corpus of N workbooks instead of 200, for runs under a profiler.

#include "BenchDefinitions.h"
#include "BenchSupport.h"

#include "core/AllocatorTuning.h"
#include "office/package/OoxmlPackage.h"
#include "office/xlsx/XlsxEngine.h"

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

#include <unistd.h>

using namespace varnel;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kDefaultFiles = 200;
constexpr int kSheets = 3;
constexpr int kRows = 500;
constexpr int kOpenpyxlFiles = 20;

const QStringList kWords = {u"report"_s, u"system"_s, u"program"_s, u"item"_s, u"order"_s, u"total"_s,
                            u"我们"_s,   u"报告"_s,   u"系统"_s,    u"公司"_s, u"项目"_s,  u"会议"_s};

// The openpyxl side: the same definitions applied to every text cell, in order, then saved.
const char* kOpenpyxlScript = R"(
import sys
from openpyxl import load_workbook
finds = sys.argv[1].split("\t")
replaces = sys.argv[2].split("\t")
for path in sys.argv[3:]:
    wb = load_workbook(path)
    changed = False
    for ws in wb.worksheets:
        for row in ws.iter_rows():
            for cell in row:
                v = cell.value
                if v is None:
                    continue
                text = v if isinstance(v, str) else str(v)
                new = text
                for f, r in zip(finds, replaces):
                    new = new.replace(f, r)
                if new != text:
                    cell.value = new
                    changed = True
    if changed:
        wb.save(path)
)";

QByteArray sheetXml(QRandomGenerator& random, QStringList& strings, QHash<QString, int>& index, int* references)
{
    auto shared = [&](const QString& text) {
        auto it = index.constFind(text);
        if (it == index.constEnd()) {
            it = index.insert(text, int(strings.size()));
            strings.append(text);
        }
        ++*references;
        return *it;
    };
    auto word = [&]() -> const QString& {
        if (random.bounded(10) == 0)
            return bench::kFinds.at(random.bounded(bench::kFinds.size()));
        return kWords.at(random.bounded(kWords.size()));
    };
    QString xml = u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<worksheet "
                  "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"_s;
    for (int row = 1; row <= kRows; ++row) {
        xml += u"<row r=\"%1\">"_s.arg(row);
        const char16_t columns[] = u"ABCDEF";
        for (int col = 0; col < 6; ++col) {
            const QString ref = QChar(columns[col]) + QString::number(row);
            if (col == 0 || col == 2 || col == 5) {
                const QString text = word() + u' ' + word() + (col == 5 ? u' ' + word() : QString());
                xml += u"<c r=\"%1\" t=\"s\"><v>%2</v></c>"_s.arg(ref).arg(shared(text));
            } else if (col == 1) {
                xml += u"<c r=\"%1\"><v>%2</v></c>"_s.arg(ref).arg(random.bounded(100000));
            } else {
                xml += u"<c r=\"%1\"><v>%2</v></c>"_s.arg(ref).arg(random.bounded(1000000) / 100.0);
            }
        }
        xml += u"</row>"_s;
    }
    return (xml + u"</sheetData></worksheet>"_s).toUtf8();
}

bool writeXlsx(const QString& path)
{
    QRandomGenerator random(42);
    QStringList strings;
    QHash<QString, int> index;
    int references = 0;
    QList<std::pair<QByteArray, QByteArray>> parts;
    QByteArray overrides;
    QByteArray sheets;
    QByteArray rels;
    for (int s = 1; s <= kSheets; ++s) {
        parts.append({"xl/worksheets/sheet" + QByteArray::number(s) + ".xml", sheetXml(random, strings, index, &references)});
        overrides += "<Override PartName=\"/xl/worksheets/sheet" + QByteArray::number(s)
            + ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        sheets += "<sheet name=\"Sheet" + QByteArray::number(s) + "\" sheetId=\"" + QByteArray::number(s) + "\" r:id=\"rId"
            + QByteArray::number(s) + "\"/>";
        rels += "<Relationship Id=\"rId" + QByteArray::number(s)
            + "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
              "Target=\"worksheets/sheet" + QByteArray::number(s) + ".xml\"/>";
    }
    QString sst = u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<sst "
                  "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"%1\" uniqueCount=\"%2\">"_s
                      .arg(references)
                      .arg(strings.size());
    for (const QString& text : strings)
        sst += u"<si><t>"_s + text.toHtmlEscaped() + u"</t></si>"_s;
    parts.append({QByteArray("xl/sharedStrings.xml"), (sst + u"</sst>"_s).toUtf8()});
    parts.append({QByteArray("[Content_Types].xml"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Types "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
                  "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
                  "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" "
                  "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                      + overrides
                      + "<Override PartName=\"/xl/sharedStrings.xml\" "
                        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
                        "</Types>"});
    parts.append({QByteArray("_rels/.rels"),
                  QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Relationships "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                  "Target=\"xl/workbook.xml\"/></Relationships>")});
    parts.append({QByteArray("xl/workbook.xml"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<workbook "
                  "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                  "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
                      + sheets + "</sheets></workbook>"});
    parts.append({QByteArray("xl/_rels/workbook.xml.rels"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Relationships "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      + rels
                      + "<Relationship Id=\"rIdS\" "
                        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
                        "Target=\"sharedStrings.xml\"/></Relationships>"});
    return bench::writeZip(path, parts);
}

// Seconds a process takes, or -1 when it fails.
double secondsOf(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    QElapsedTimer timer;
    timer.start();
    process.start();
    if (!process.waitForFinished(1200000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(program), process.readAllStandardError().constData());
        return -1;
    }
    return timer.nsecsElapsed() / 1e9;
}

// LibreOffice loading the files and saving them as xlsx again, in one start.
double libreOfficeSeconds(const QString& soffice, const QStringList& files, const QString& workDir)
{
    QStringList arguments{u"--headless"_s, u"--norestore"_s, u"-env:UserInstallation=file://"_s + workDir + u"/profile"_s,
                          u"--convert-to"_s, u"xlsx:Calc MS Excel 2007 XML"_s, u"--outdir"_s, workDir + u"/out"_s};
    return secondsOf(soffice, arguments + files);
}

QStringList copies(const QString& templatePath, const QDir& dir, const QString& prefix, int count)
{
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString path = dir.filePath(prefix + u"%1.xlsx"_s.arg(i, 3, 10, QChar(u'0')));
        QFile::copy(templatePath, path);
        files.append(path);
    }
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    varnel::tuneAllocatorForBatches();
    QCoreApplication app(argc, argv);
    const std::optional<bench::Corpus> corpus = bench::makeCorpus(app.arguments(), u"xlsx_bench"_s, u"template.xlsx"_s, writeXlsx);
    if (!corpus)
        return 1;
    const bool engineOnly = corpus->engineOnly;
    // --files N: a smaller corpus, for runs under a profiler.
    const qsizetype filesArg = app.arguments().indexOf(u"--files"_s);
    const int fileCount = filesArg > 0 ? std::max(1, app.arguments().value(filesArg + 1).toInt()) : kDefaultFiles;
    const QTemporaryDir& dir = *corpus->dir;
    const QString& templatePath = corpus->templatePath;
    const QDir folder(dir.path());
    const QStringList files = copies(templatePath, folder, u"book"_s, fileCount);
    std::printf("corpus: %d workbooks of %lld bytes (%d sheets of %d rows by 6 columns), %lld definitions\n", fileCount,
                QFileInfo(templatePath).size(), kSheets, kRows, bench::kFinds.size());

    office::XlsxEngine engine;
    // Every save syncs its file, and with it whatever else is waiting to be written: the copies are written
    // out before the timing starts, so that the engine does not pay for them.
    ::sync();
    const bench::EngineTiming timing = bench::timeEngine(engine, files, bench::kFinds, bench::kReplaces);
    const int changed = timing.changed;
    const double varnelSeconds = timing.seconds;
    const double varnelRate = fileCount / varnelSeconds;
    std::printf("Varnel XlsxEngine: %d files changed, %lld cells replaced, %.3f s (%.3f s of CPU, %.1f ms per file), "
                "%.1f files/s\n",
                changed, timing.replacements, varnelSeconds, timing.cpuSeconds, timing.cpuSeconds * 1000 / fileCount,
                varnelRate);
    std::printf("a replaced workbook is %lld bytes\n", QFileInfo(files.first()).size());

    // The package layer alone, for fresh copies: open, parse the sheets and shared strings, write them back.
    const QStringList plain = copies(templatePath, folder, u"pkg"_s, fileCount);
    ::sync();
    const double packageCpuBefore = bench::cpuSeconds(RUSAGE_SELF);
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : plain) {
        QString error;
        const auto package = office::OoxmlPackage::open(path, &error);
        for (const QString& part : package ? package->partNames() : QStringList()) {
            if (!part.startsWith(u"xl/worksheets/"_s) && part != u"xl/sharedStrings.xml"_s)
                continue;
            if (package->xml(part, &error))
                package->markChanged(part);
        }
        if (!package || !package->save(&error))
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
    }
    const double packageSeconds = timer.nsecsElapsed() / 1e9;
    const double packageCpu = bench::cpuSeconds(RUSAGE_SELF) - packageCpuBefore;
    std::printf("package layer alone (open, parse, save the same parts): %.3f s (%.3f s of CPU, %.1f ms per file), "
                "%.1f files/s; the engine's own share %.1f ms per file (%.1f ms of CPU)\n",
                packageSeconds, packageCpu, packageCpu * 1000 / fileCount, fileCount / packageSeconds,
                std::max(0.0, varnelSeconds - packageSeconds) * 1000 / fileCount,
                std::max(0.0, timing.cpuSeconds - packageCpu) * 1000 / fileCount);
    if (engineOnly)
        return changed == fileCount ? 0 : 1;

    const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
    if (soffice.isEmpty()) {
        std::printf("LibreOffice: soffice not found, comparison skipped\n");
    } else {
        const QStringList fresh = copies(templatePath, folder, u"lo"_s, 11);
        const QString work = dir.filePath(u"lo"_s);
        libreOfficeSeconds(soffice, {fresh.first()}, work); // creates the profile; not timed
        const double one = libreOfficeSeconds(soffice, {fresh.first()}, work);
        const double ten = libreOfficeSeconds(soffice, fresh.mid(1, 10), work);
        if (one < 0 || ten < 0) {
            std::printf("LibreOffice: conversion failed, comparison skipped\n");
        } else {
            const double perFile = std::max(1e-6, (ten - one) / 9);
            std::printf("LibreOffice round trip: %.2f s for one file with its start, %.3f s per file without it\n", one,
                        perFile);
            std::printf("ratio to LibreOffice: %.0fx with a start per file, %.1fx without the start (goal 20x)\n",
                        varnelRate * one, varnelRate * perFile);
        }
    }

    const QString python = QFile::exists(u"/usr/bin/python3"_s) ? u"/usr/bin/python3"_s
                                                                 : QStandardPaths::findExecutable(u"python3"_s);
    const QString script = dir.filePath(u"openpyxl_replace.py"_s);
    QFile scriptFile(script);
    if (python.isEmpty() || !scriptFile.open(QIODevice::WriteOnly) || scriptFile.write(kOpenpyxlScript) < 0) {
        std::printf("openpyxl: python3 not found, comparison skipped\n");
        return changed == fileCount ? 0 : 1;
    }
    scriptFile.close();
    if (secondsOf(python, {u"-c"_s, u"import openpyxl"_s}) < 0) {
        std::printf("openpyxl: not installed, comparison skipped\n");
        return changed == fileCount ? 0 : 1;
    }
    const QStringList py = copies(templatePath, folder, u"py"_s, kOpenpyxlFiles);
    const double pySeconds = secondsOf(python, QStringList{script, bench::kFinds.join(u'\t'), bench::kReplaces.join(u'\t')} + py);
    if (pySeconds < 0) {
        std::printf("openpyxl: the script failed, comparison skipped\n");
        return 1;
    }
    const double pyRate = kOpenpyxlFiles / pySeconds;
    std::printf("openpyxl: %d files, %.2f s, %.2f files/s\n", kOpenpyxlFiles, pySeconds, pyRate);
    std::printf("ratio to openpyxl: %.1fx (goal 10x)\n", varnelRate / pyRate);
    return changed == fileCount ? 0 : 1;
}
