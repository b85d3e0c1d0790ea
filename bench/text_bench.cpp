// Times the text engine against sed on a generated corpus.
//
// The corpus is 200 files of about 200 KB in a temporary folder: 100 in the Chinese code page (GB18030)
// and 100 in UTF-8, Chinese and ASCII words mixed, with ten definitions (five ASCII, five Chinese) that
// all occur in it. Three copies are processed:
//   A  by varnel-cli replace -R (argv[1], or ../src/cli/varnel-cli beside this program), as a user runs it;
//   B  by sed -i with the same ten s///g expressions (LC_ALL=C: sed works on bytes, so the GB18030 files
//      get the GB18030 form of each expression and the UTF-8 files the UTF-8 form). The expressions go
//      in a script file: an argument list only carries UTF-8;
//   C  by TextFileEngine in this process, which is A without the start-up and the folder scan.
// It prints files, MB, seconds and MB/s for each and the ratio of sed's time to Varnel's, then checks
// that B and C hold the same text (C's UTF-8 files carry the mark the engine adds).

#include "core/ReplaceOptions.h"
#include "core/TextCodec.h"
#include "core/TextFileEngine.h"

#include "BenchDefinitions.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

#include <unistd.h>

using namespace varnel;
using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kFilesPerEncoding = 100;
constexpr qsizetype kFileSize = 200 * 1024;


const QStringList kWords = {
    u"alpha"_s, u"value"_s, u"Delta"_s, u"hello"_s, u"world"_s, u"the"_s,    u"quick"_s, u"brown"_s,
    u"fox"_s,   u"jumps"_s, u"over"_s,  u"lazy"_s,  u"dog"_s,   u"2024"_s,   u"id=42"_s, u"x_y"_s,
    u"北京"_s,  u"数据"_s,  u"替换"_s,  u"文件"_s,  u"测试"_s,  u"我们"_s,   u"今天"_s,  u"天气"_s,
    u"很好"_s,  u"报告"_s,  u"系统"_s,  u"程序"_s,  u"中国"_s,  u"发展"_s,   u"。"_s,    u"，"_s,
};

struct Corpus {
    QStringList gbkFiles;
    QStringList utf8Files;
    qint64 bytes = 0;
    QStringList all() const { return gbkFiles + utf8Files; }
};

QByteArray randomText(QRandomGenerator& random, Charset charset)
{
    QByteArray bytes;
    while (bytes.size() < kFileSize) {
        QString line;
        while (line.size() < 60) {
            line += kWords[random.bounded(kWords.size())];
            if (random.bounded(3) != 0)
                line += u' ';
        }
        line += u'\n';
        bytes += encodeText(charset, line);
    }
    return bytes;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

Corpus makeCorpus(const QString& folder)
{
    QDir().mkpath(folder);
    QRandomGenerator random(20240601);
    Corpus corpus;
    for (int i = 0; i < kFilesPerEncoding; ++i) {
        for (Charset charset : {Charset::Gb18030, Charset::Utf8}) {
            const bool gbk = charset == Charset::Gb18030;
            const QString path = QStringLiteral("%1/%2_%3.txt").arg(folder, gbk ? u"gbk"_s : u"utf8"_s).arg(i, 3, 10, QChar(u'0'));
            const QByteArray bytes = randomText(random, charset);
            if (!writeBytes(path, bytes))
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            (gbk ? corpus.gbkFiles : corpus.utf8Files).append(path);
            corpus.bytes += bytes.size();
        }
    }
    return corpus;
}

Corpus copyCorpus(const Corpus& from, const QString& folder)
{
    QDir().mkpath(folder);
    Corpus copy;
    copy.bytes = from.bytes;
    auto copyList = [&folder](const QStringList& files, QStringList& into) {
        for (const QString& path : files) {
            const QString target = folder + u'/' + QFileInfo(path).fileName();
            QFile::copy(path, target);
            into.append(target);
        }
    };
    copyList(from.gbkFiles, copy.gbkFiles);
    copyList(from.utf8Files, copy.utf8Files);
    return copy;
}

// Writes the dirty pages of earlier steps to disk, so that no step pays for the one before: Varnel
// flushes every file it saves, and on a journalling file system that flush can wait for other files.
void settle()
{
    ::sync();
}

// A sed expression matching the bytes literally.
QByteArray sedExpression(const QByteArray& find, const QByteArray& replace)
{
    auto escape = [](const QByteArray& bytes, const char* special) {
        QByteArray out;
        for (char c : bytes) {
            if (std::strchr(special, c) && c != '\0')
                out += '\\';
            out += c;
        }
        return out;
    };
    return "s/" + escape(find, "\\/.*[]^$") + '/' + escape(replace, "\\/&") + "/g";
}

bool runProcess(const QString& program, const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, args);
    if (!process.waitForStarted() || !process.waitForFinished(-1)) {
        std::fprintf(stderr, "%s did not run: %s\n", qPrintable(program), qPrintable(process.errorString()));
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() > 1) {
        std::fprintf(stderr, "%s failed with status %d\n", qPrintable(program), process.exitCode());
        return false;
    }
    return true;
}

double runSed(const Corpus& corpus, const QString& folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LC_ALL"_s, u"C"_s);
    QStringList scripts;
    for (Charset charset : {Charset::Gb18030, Charset::Utf8}) {
        QByteArray script;
        for (qsizetype i = 0; i < bench::kFinds.size(); ++i)
            script += sedExpression(encodeText(charset, bench::kFinds[i]), encodeText(charset, bench::kReplaces[i])) + '\n';
        scripts.append(folder + (charset == Charset::Gb18030 ? u"/gbk.sed"_s : u"/utf8.sed"_s));
        writeBytes(scripts.last(), script);
    }
    QElapsedTimer timer;
    settle();
    timer.start();
    if (!runProcess(u"sed"_s, QStringList{u"-i"_s, u"-f"_s, scripts[0]} + corpus.gbkFiles, env)
        || !runProcess(u"sed"_s, QStringList{u"-i"_s, u"-f"_s, scripts[1]} + corpus.utf8Files, env))
        return -1;
    return timer.nsecsElapsed() / 1e9;
}

double runEngine(const Corpus& corpus)
{
    const ReplaceOptions options;
    const EngineRequest request{bench::kFinds, bench::kReplaces, options};
    TextFileEngine engine;
    QElapsedTimer timer;
    settle();
    timer.start();
    for (const QString& path : corpus.all()) {
        const EngineResult result = engine.replace(path, request);
        if (!result.error.isEmpty())
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(result.error));
    }
    return timer.nsecsElapsed() / 1e9;
}

double runCli(const QString& cli, const QString& folder, const QString& logPath)
{
    QStringList args{u"replace"_s, u"-R"_s, u"--log"_s, logPath};
    for (qsizetype i = 0; i < bench::kFinds.size(); ++i)
        args << u"-f"_s << bench::kFinds[i] << u"-r"_s << bench::kReplaces[i];
    args << folder;
    QElapsedTimer timer;
    settle();
    timer.start();
    if (!runProcess(cli, args))
        return -1;
    return timer.nsecsElapsed() / 1e9;
}

void printRow(const char* name, const Corpus& corpus, double seconds)
{
    const double mb = corpus.bytes / (1024.0 * 1024.0);
    std::printf("%-12s %4lld files %7.1f MB %8.3f s %8.1f MB/s\n", name, static_cast<long long>(corpus.all().size()),
                mb, seconds, mb / seconds);
}

int sameText(const Corpus& sed, const Corpus& engine)
{
    int same = 0;
    const QStringList a = sed.all();
    const QStringList b = engine.all();
    for (qsizetype i = 0; i < a.size(); ++i) {
        QFile fa(a[i]);
        QFile fb(b[i]);
        if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
            continue;
        QByteArray bytesB = fb.readAll();
        if (bytesB.startsWith("\xEF\xBB\xBF"))
            bytesB.remove(0, 3);
        same += fa.readAll() == bytesB ? 1 : 0;
    }
    return same;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString cli = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                 : QCoreApplication::applicationDirPath() + u"/../src/cli/varnel-cli"_s;
    QTemporaryDir tmp;
    if (!tmp.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const Corpus original = makeCorpus(tmp.filePath(u"corpus"_s));
    const Corpus copyA = copyCorpus(original, tmp.filePath(u"a"_s));
    const Corpus copyB = copyCorpus(original, tmp.filePath(u"b"_s));
    const Corpus copyC = copyCorpus(original, tmp.filePath(u"c"_s));
    std::printf("corpus: %lld files (%d GB18030, %d UTF-8), %.1f MB, %lld definitions\n",
                static_cast<long long>(original.all().size()), kFilesPerEncoding, kFilesPerEncoding,
                original.bytes / (1024.0 * 1024.0), static_cast<long long>(bench::kFinds.size()));

    double cliSeconds = -1;
    if (QFileInfo(cli).isExecutable()) {
        cliSeconds = runCli(cli, tmp.filePath(u"a"_s), tmp.filePath(u"log.txt"_s));
        if (cliSeconds > 0)
            printRow("varnel-cli", copyA, cliSeconds);
    } else {
        std::printf("varnel-cli not found at %s: skipped\n", qPrintable(cli));
    }
    const double sedSeconds = runSed(copyB, tmp.path());
    if (sedSeconds > 0)
        printRow("sed", copyB, sedSeconds);
    const double engineSeconds = runEngine(copyC);
    printRow("engine", copyC, engineSeconds);

    if (sedSeconds > 0 && cliSeconds > 0)
        std::printf("ratio sed/varnel-cli: %.2f\n", sedSeconds / cliSeconds);
    if (sedSeconds > 0)
        std::printf("ratio sed/engine:     %.2f\n", sedSeconds / engineSeconds);
    if (sedSeconds > 0)
        std::printf("files where sed and the engine wrote the same text: %d of %lld\n", sameText(copyB, copyC),
                    static_cast<long long>(copyC.all().size()));
    return 0;
}
