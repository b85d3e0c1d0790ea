#include "office/legacy/LegacyConverter.h"
#include "office/legacy/LegacyEngine.h"
#include "office/package/OoxmlPackage.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace varnel;
using namespace varnel::office;
using varnel::test::dataPath;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

// Replaces in the w:t texts of the main document, as the Word engine would, and saves unless dry.
class FakeWordEngine : public DocumentEngine
{
public:
    EngineResult replace(const QString& path, const EngineRequest& request) override
    {
        ++calls;
        seenPath = path;
        EngineResult result;
        auto package = OoxmlPackage::open(path, &result.error);
        if (!package)
            return result;
        pugi::xml_document* document = package->xml(package->mainDocumentPart(), &result.error);
        if (!document)
            return result;
        for (const pugi::xpath_node& hit : document->select_nodes("//w:t")) {
            QString text = QString::fromUtf8(hit.node().text().get());
            for (qsizetype i = 0; i < request.findTexts.size(); ++i) {
                result.replacements += int(text.count(request.findTexts[i]));
                text.replace(request.findTexts[i], request.replaceTexts[i]);
            }
            hit.node().text().set(text.toUtf8().constData());
        }
        if (result.replacements == 0)
            return result;
        result.changed = true;
        package->markChanged(package->mainDocumentPart());
        if (!request.dryRun && !package->save(&result.error))
            result.changed = false;
        return result;
    }

    int calls = 0;
    QString seenPath;
};

// PATH pointed at one folder for the life of the guard.
class ScopedPath
{
public:
    explicit ScopedPath(const QString& folder)
        : m_saved(qgetenv("PATH"))
    {
        qputenv("PATH", QFile::encodeName(folder));
    }
    ~ScopedPath() { qputenv("PATH", m_saved); }

private:
    QByteArray m_saved;
};

// All text of a Word document, read back through LibreOffice and the package layer.
QString documentText(LegacyConverter& converter, const QString& doc, const QString& outDir)
{
    QString docx, error;
    EXPECT_TRUE(converter.convert(doc, outDir, QStringLiteral("docx:MS Word 2007 XML"), &docx, &error)) << error.toStdString();
    auto package = OoxmlPackage::open(docx, &error);
    if (!package)
        return QString();
    QString text;
    for (const pugi::xpath_node& hit : package->xml(package->mainDocumentPart(), &error)->select_nodes("//w:t"))
        text += QString::fromUtf8(hit.node().text().get());
    return text;
}

class LegacyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (LegacyConverter::sofficePath().isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }

    QString copyFixture(const QString& name)
    {
        const QString file = m_dir.filePath(name);
        EXPECT_TRUE(QFile::copy(dataPath(QStringLiteral("office/package/") + name), file));
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        return file;
    }

    EngineResult run(const QString& file, const QString& find, const QString& replace, bool dryRun = false)
    {
        m_finds = {find};
        m_replaces = {replace};
        return m_engine->replace(file, EngineRequest(m_finds, m_replaces, m_options, dryRun));
    }

    QTemporaryDir m_dir;
    std::shared_ptr<FakeWordEngine> m_inner = std::make_shared<FakeWordEngine>();
    std::unique_ptr<LegacyEngine> m_engine = std::make_unique<LegacyEngine>(
        m_inner, QStringLiteral(".docx"), QStringLiteral("docx:MS Word 2007 XML"), QStringLiteral("doc:MS Word 97"));
    QStringList m_finds, m_replaces;
    ReplaceOptions m_options;
};

TEST_F(LegacyTest, ReplacesInADocThroughLibreOffice)
{
    const QString file = copyFixture(QStringLiteral("02_hello.doc"));
    const QFile::Permissions permissions = QFile::permissions(file);
    QElapsedTimer timer;
    timer.start();
    const EngineResult result = run(file, QStringLiteral("Hello"), QStringLiteral("Goodbye"));
    std::printf("doc -> docx -> doc round trip: %lld ms\n", timer.elapsed());
    EXPECT_TRUE(result.changed) << result.error.toStdString();
    EXPECT_EQ(result.replacements, 2);
    EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(m_inner->seenPath.endsWith(u".docx"));
    EXPECT_FALSE(m_inner->seenPath.startsWith(m_dir.path())) << "the inner engine works on a private copy";

    EXPECT_TRUE(readFile(file).startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) << "still a Word 97 file";
    EXPECT_EQ(QFile::permissions(file), permissions);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("02_hello.doc")});
    const QString text = documentText(m_engine->converter(), file, m_dir.filePath(QStringLiteral("check")));
    EXPECT_TRUE(text.contains(QStringLiteral("Goodbye legacy world"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("旧公司名 appears here, and Goodbye again."))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Hello")));
}

TEST_F(LegacyTest, LeavesTheDocByteIdenticalWhenNothingIsWritten)
{
    const QString file = copyFixture(QStringLiteral("02_hello.doc"));
    const QByteArray before = readFile(file);

    EngineResult result = run(file, QStringLiteral("absent"), QStringLiteral("x"));
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_EQ(readFile(file), before);

    result = run(file, QStringLiteral("Hello"), QStringLiteral("Goodbye"), true);
    EXPECT_TRUE(result.changed) << "a dry run reports what it would change";
    EXPECT_EQ(result.replacements, 2);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(m_inner->calls, 2);
}

TEST_F(LegacyTest, FailedConversionLeavesTheDocByteIdentical)
{
    // Protected by a password: LibreOffice cannot load it (and still exits with status 0).
    const QString locked = copyFixture(QStringLiteral("03_locked.doc"));
    const QByteArray lockedBytes = readFile(locked);
    EngineResult result = run(locked, QStringLiteral("Hello"), QStringLiteral("Goodbye"));
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.error.startsWith(QStringLiteral("无法把.doc文档转换为.docx格式"))) << result.error.toStdString();
    EXPECT_EQ(readFile(locked), lockedBytes);

    const QString truncated = m_dir.filePath(QStringLiteral("truncated.doc"));
    writeFile(truncated, readFile(dataPath(QStringLiteral("office/package/02_hello.doc"))).left(2048));
    result = run(truncated, QStringLiteral("Hello"), QStringLiteral("Goodbye"));
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(readFile(truncated).size(), 2048);

    // LibreOffice would import these as plain text and write a new Word document over them.
    for (const QByteArray& bytes : {QByteArray("Hello, plain text with a .doc name"),
                                    QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 Hello, no compound file behind the signature")}) {
        const QString fake = m_dir.filePath(QStringLiteral("fake.doc"));
        writeFile(fake, bytes);
        result = run(fake, QStringLiteral("Hello"), QStringLiteral("Goodbye"));
        EXPECT_EQ(result.error, QStringLiteral("文件内容不是有效的.doc文档（Office 97-2003格式），无法处理"));
        EXPECT_EQ(readFile(fake), bytes);
    }
    EXPECT_EQ(m_inner->calls, 0);
}

// ---- Without LibreOffice: a stand-in soffice shows how the converter judges and stops it ----

class FakeSofficeTest : public ::testing::Test
{
protected:
    // A soffice that runs the given shell commands; $OUT is the --outdir folder, $IN the input.
    void installSoffice(const QByteArray& commands)
    {
        const QString script = m_bin.filePath(QStringLiteral("soffice"));
        writeFile(script, "#!/bin/sh\nPATH=/usr/bin:/bin\nOUT=\nfor a in \"$@\"; do [ \"$prev\" = --outdir ] && OUT=\"$a\"; prev=\"$a\"; IN=\"$a\"; done\n" + commands + "\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString input()
    {
        const QString file = m_dir.filePath(QStringLiteral("in.doc"));
        writeFile(file, "input");
        return file;
    }

    QTemporaryDir m_bin;
    QTemporaryDir m_dir;
};

TEST_F(FakeSofficeTest, ReportsAMissingLibreOffice)
{
    const ScopedPath path(m_bin.path());
    EXPECT_TRUE(LegacyConverter::sofficePath().isEmpty());
    LegacyEngine engine(std::make_shared<FakeWordEngine>(), QStringLiteral(".docx"), QStringLiteral("docx:MS Word 2007 XML"),
                        QStringLiteral("doc:MS Word 97"));
    const QStringList finds{QStringLiteral("a")}, replaces{QStringLiteral("b")};
    const ReplaceOptions options;
    const QString file = input();
    const EngineResult result = engine.replace(file, EngineRequest(finds, replaces, options));
    EXPECT_EQ(result.error, QStringLiteral("本机没有安装LibreOffice，无法处理.doc文档"));
    EXPECT_EQ(readFile(file), QByteArray("input"));
}

TEST_F(FakeSofficeTest, JudgesByTheOutputNotTheExitStatus)
{
    const ScopedPath path(m_bin.path());
    LegacyConverter converter;
    QString output, error;

    installSoffice("echo 'Error: source file could not be loaded'; exit 0");
    EXPECT_FALSE(converter.convert(input(), m_dir.filePath(QStringLiteral("out")), QStringLiteral("docx:MS Word 2007 XML"), &output, &error));
    EXPECT_EQ(error, QStringLiteral("LibreOffice转换失败：没有生成输出文件（Error: source file could not be loaded）"));

    installSoffice("echo not a zip > \"$OUT/in.docx\"; exit 0");
    EXPECT_FALSE(converter.convert(input(), m_dir.filePath(QStringLiteral("out")), QStringLiteral("docx:MS Word 2007 XML"), &output, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("输出文件无效"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("out/in.docx")))) << "a bad output is removed";

    installSoffice("echo not a compound file > \"$OUT/in.doc\"");
    EXPECT_FALSE(converter.convert(input(), m_dir.filePath(QStringLiteral("back")), QStringLiteral("doc:MS Word 97"), &output, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("不是有效的Office 97-2003文档"))) << error.toStdString();

    installSoffice("cp '" + QFile::encodeName(dataPath(QStringLiteral("office/package/01_links.docx"))) + "' \"$OUT/in.docx\"; exit 81");
    EXPECT_TRUE(converter.convert(input(), m_dir.filePath(QStringLiteral("out")), QStringLiteral("docx:MS Word 2007 XML"), &output, &error))
        << error.toStdString();
    EXPECT_EQ(output, m_dir.filePath(QStringLiteral("out/in.docx")));
}

TEST_F(FakeSofficeTest, KillsAConversionThatTakesTooLong)
{
    const ScopedPath path(m_bin.path());
    const QString pidFile = m_dir.filePath(QStringLiteral("child.pid"));
    // Like oosplash and soffice.bin: the launcher waits for a child that does the work.
    installSoffice("sleep 60 & echo $! > '" + QFile::encodeName(pidFile) + "'; wait");
    LegacyConverter converter;
    converter.setTimeout(500);
    QString output, error;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(converter.convert(input(), m_dir.filePath(QStringLiteral("out")), QStringLiteral("docx:MS Word 2007 XML"), &output, &error));
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(error, QStringLiteral("LibreOffice转换超时（超过0.5秒），已放弃"));
    const pid_t child = readFile(pidFile).trimmed().toInt();
    ASSERT_GT(child, 0);
    // Gone, or a zombie waiting for whoever adopted it.
    const auto isGone = [child] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
    };
    bool gone = false;
    for (int i = 0; i < 100 && !(gone = isGone()); ++i)
        QThread::msleep(20);
    EXPECT_TRUE(gone) << "the launcher's child was killed with it";
}

} // namespace
