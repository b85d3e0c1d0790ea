#include "core/FileCheck.h"
#include "core/FileIo.h"
#include "core/TextCodec.h"
#include "core/TextFileEngine.h"

#include "support/SpecialFiles.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineResult;
using varnel::Option;
using varnel::test::readFile;

namespace {

QByteArray gb(const QString& text)
{
    return varnel::encodeText(varnel::Charset::Gb18030, text);
}

QByteArray utf16le(const QString& text)
{
    QByteArray bytes;
    for (QChar c : text)
        bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return bytes;
}

class FailingFileIo : public varnel::FileIo
{
public:
    bool failRead = false;
    std::optional<QByteArray> readAll(const QString& path, QString* error) const override
    {
        if (!failRead)
            return FileIo::readAll(path, error);
        *error = u"device not ready"_s;
        return std::nullopt;
    }
    bool writeAtomically(const QString&, const QByteArray&, QString* error) const override
    {
        *error = u"disk full"_s;
        return false;
    }
};

} // namespace

class TextFileEngine : public ::testing::Test
{
protected:
    QString copyOf(const QString& dataName)
    {
        const QString path = m_dir.filePath(QFileInfo(dataName).fileName());
        varnel::test::writeFile(path, readFile(varnel::test::dataPath(u"text/"_s + dataName)));
        return path;
    }
    QString fileWith(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(u"file%1.txt"_s.arg(++m_files));
        varnel::test::writeFile(path, bytes);
        return path;
    }
    EngineResult run(const QString& path, const QStringList& finds, const QStringList& replaces, bool dryRun = false)
    {
        return varnel::TextFileEngine().replace(path, {finds, replaces, options, dryRun});
    }

    varnel::ReplaceOptions options; // match case on, whole word off
    QTemporaryDir m_dir;
    int m_files = 0;
};

TEST_F(TextFileEngine, ReplacesInGbkFileAndChangesNothingElse)
{
    const QString path = copyOf(u"01_gbk.txt"_s);
    options.setValue(Option::MatchCase, 0);
    const EngineResult result = run(path, {u"替换"_s, u"HELLO"_s}, {u"更换"_s, u"Hi"_s});
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.replacements, 4);
    EXPECT_EQ(readFile(path), gb(u"第一行：Hi World，更换测试。\r\n第二行：Hi world 与 Hi。\r\n末行没有换行"_s));
}

TEST_F(TextFileEngine, MatchCaseMakesTheComparisonExact)
{
    const QString path = fileWith("A a \xEF\xBD\x81 \xEF\xBC\xA1"); // A a ａ Ａ
    EXPECT_EQ(run(path, {u"Ａ"_s}, {u"x"_s}).replacements, 1);
    options.setValue(Option::MatchCase, 0);
    EXPECT_EQ(run(path, {u"Ａ"_s}, {u"b"_s}).replacements, 3);
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBF" "b b b x");
}

TEST_F(TextFileEngine, RewritesUnicodeFilesInTheirEncodingWithOneMarkKeepingLineEndsAndAnOddByte)
{
    const struct {
        QString fixture;
        QByteArray from, to; // the only change to the bytes, besides a UTF-8 mark put first
    } cases[] = {
        {u"02_utf8.txt"_s, "替换", "更换了"},
        {u"03_utf8_mark.txt"_s, "替换", "更换了"},
        {u"04_utf16le.txt"_s, utf16le(u"替换"_s), utf16le(u"更换了"_s)},
        {u"05_utf16le_odd_byte.txt"_s, utf16le(u"替换"_s), utf16le(u"更换了"_s)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture.toStdString());
        const QString path = copyOf(c.fixture);
        QByteArray expected = readFile(path);
        ASSERT_EQ(expected.count(c.from), 1);
        expected.replace(c.from, c.to);
        if (!expected.startsWith("\xFF\xFE") && !expected.startsWith("\xEF\xBB\xBF"))
            expected.prepend("\xEF\xBB\xBF");
        EXPECT_TRUE(run(path, {u"替换"_s}, {u"更换了"_s}).changed);
        EXPECT_EQ(readFile(path), expected);
    }
    // Only the file's own mark is taken off; a second one is text and stays.
    const QString path = fileWith("\xEF\xBB\xBF\xEF\xBB\xBF" "abc");
    EXPECT_TRUE(run(path, {u"b"_s}, {u"x"_s}).changed);
    EXPECT_EQ(readFile(path), "\xEF\xBB\xBF\xEF\xBB\xBF" "axc");
}

TEST_F(TextFileEngine, ProcessesAnyFileWithUtf16LeMark)
{
    const QString broken = fileWith(QByteArrayLiteral("\xFF\xFE" "a\x00\x00\xD8" "b\x00"));
    EXPECT_TRUE(run(broken, {u"b"_s}, {u"c"_s}).changed);
    EXPECT_EQ(readFile(broken), QByteArrayLiteral("\xFF\xFE" "a\x00\x00\xD8" "c\x00"));

    const QString markOnly = fileWith("\xFF\xFE");
    const EngineResult result = run(markOnly, {u"a"_s}, {u"b"_s});
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(readFile(markOnly), "\xFF\xFE");
}

TEST_F(TextFileEngine, SkipsUtf16BeMissingAndEmptyFilesSilently)
{
    const QString be = copyOf(u"06_utf16be.txt"_s);
    const QByteArray before = readFile(be);
    for (const QString& path : {be, fileWith({}), m_dir.filePath(u"absent.txt"_s)}) {
        const EngineResult result = run(path, {u"H"_s}, {u"J"_s});
        EXPECT_FALSE(result.changed);
        EXPECT_TRUE(result.error.isEmpty());
    }
    EXPECT_EQ(readFile(be), before);
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(u"absent.txt"_s)));
}

TEST_F(TextFileEngine, TextLeftEqualKeepsFileAndModificationTime)
{
    const QString path = fileWith("abc\r\n");
    const QDateTime old = QDateTime::fromSecsSinceEpoch(1'000'000'000);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    const EngineResult result = run(path, {u"zzz"_s, u"b"_s}, {u"y"_s, u"b"_s});
    EXPECT_FALSE(result.changed);
    EXPECT_EQ(result.replacements, 0);
    EXPECT_EQ(QFileInfo(path).lastModified(), old);
    EXPECT_EQ(readFile(path), "abc\r\n");
}

TEST_F(TextFileEngine, WritesCharactersOutsideGbkAsGb18030)
{
    const QString path = fileWith(gb(u"价格：EUR，表情：SMILE"_s));
    EXPECT_TRUE(run(path, {u"EUR"_s, u"SMILE"_s}, {u"€"_s, u"😀"_s}).changed);
    EXPECT_EQ(readFile(path), gb(u"价格："_s) + "\xA2\xE3" + gb(u"，表情："_s) + "\x94\x39\xFC\x36");
}

TEST_F(TextFileEngine, LeavesFileThatDoesNotRoundTripWithError)
{
    const QString gbk = copyOf(u"07_gbk_invalid_bytes.txt"_s);
    const QByteArray gbkBefore = readFile(gbk);
    EngineResult result = run(gbk, {u"Hello"_s}, {u"Hi"_s});
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.error.contains(u"GB18030"_s)) << result.error.toStdString();
    EXPECT_EQ(readFile(gbk), gbkBefore);

    // Valid UTF-8 in the sampled start, a bad byte after it.
    const QByteArray utf8Before = "Hello \xE4\xB8\xAD" + QByteArray(204701, 'a') + "\xFF";
    const QString utf8 = fileWith(utf8Before);
    result = run(utf8, {u"Hello"_s}, {u"Hi"_s});
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.error.contains(u"UTF-8"_s)) << result.error.toStdString();
    EXPECT_EQ(readFile(utf8), utf8Before);
}

TEST_F(TextFileEngine, KeepsPermissionsOfRewrittenFile)
{
    const QString path = fileWith("abc");
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, permissions));
    EXPECT_TRUE(run(path, {u"b"_s}, {u"x"_s}).changed);
    EXPECT_EQ(QFile::permissions(path) & 0x7077, permissions);
}

TEST_F(TextFileEngine, FailedReadOrWriteLeavesOriginalAndReportsIt)
{
    const QString path = fileWith("abc");
    FailingFileIo io;
    varnel::ScopedFileIo guard(io);
    EngineResult result = run(path, {u"b"_s}, {u"x"_s});
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.error.contains(u"disk full"_s));
    io.failRead = true;
    result = run(path, {u"b"_s}, {u"x"_s});
    EXPECT_FALSE(result.changed);
    EXPECT_TRUE(result.error.contains(u"device not ready"_s));
    EXPECT_EQ(readFile(path), "abc");
}

TEST_F(TextFileEngine, DryRunCountsButWritesNothing)
{
    const QString path = fileWith("a-a-a");
    const EngineResult result = run(path, {u"a"_s}, {u"b"_s}, true);
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.replacements, 3);
    EXPECT_EQ(readFile(path), "a-a-a");
}

TEST_F(TextFileEngine, WholeWordRuleOnlyWhenOptionIsExactlyOne)
{
    const QString path = fileWith("foo food foo_bar");
    options.setValue(Option::TxtWholeWord, 1);
    EXPECT_EQ(run(path, {u"foo"_s, u" "_s}, {u"X"_s, u"_"_s}).replacements, 2);
    EXPECT_EQ(readFile(path), "X food X_bar");
    options.setValue(Option::TxtWholeWord, 2);
    EXPECT_EQ(run(path, {u"X"_s}, {u"foo"_s}).replacements, 2);
    EXPECT_EQ(run(path, {u"foo"_s}, {u"X"_s}).replacements, 3);
    EXPECT_EQ(readFile(path), "X Xd X_bar");
}

TEST_F(TextFileEngine, AppliesDefinitionsInOrderAndSkipsEmptyFinds)
{
    const QString path = fileWith("a b");
    options.setValue(Option::MatchCase, 0);
    const EngineResult result = run(path, {u"a"_s, u""_s, u"B"_s}, {u"b"_s, u"z"_s, u"c"_s});
    EXPECT_EQ(result.replacements, 3);
    EXPECT_EQ(readFile(path), "c c");
}

TEST_F(TextFileEngine, RefusesWhatIsNoRegularFileWithoutOpeningIt)
{
    const varnel::test::TestFifo fifo(m_dir.filePath(u"pipe.txt"_s));
    varnel::test::makeSocket(m_dir.filePath(u"sock.txt"_s));
    ASSERT_TRUE(QFile::link(u"/dev/null"_s, m_dir.filePath(u"null.txt"_s)));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"folder.txt"_s));
    for (const char* name : {"pipe.txt", "sock.txt", "null.txt", "folder.txt"}) {
        const EngineResult result = run(m_dir.filePath(QString::fromLatin1(name)), {u"a"_s}, {u"b"_s});
        EXPECT_FALSE(result.changed) << name;
        EXPECT_TRUE(result.error.startsWith(u"不是普通文件"_s)) << name << " " << result.error.toStdString();
    }
    EXPECT_FALSE(fifo.wasOpened());
}

TEST_F(TextFileEngine, RefusesAFileTooLargeForTheMemoryUnread)
{
    const QString path = fileWith(QByteArray(2000, 'a'));
    {
        const varnel::ScopedTextFileSizeLimit limit(1000);
        const EngineResult result = run(path, {u"a"_s}, {u"b"_s});
        EXPECT_FALSE(result.changed);
        EXPECT_TRUE(result.error.startsWith(u"文件太大"_s)) << result.error.toStdString();
        EXPECT_EQ(readFile(path), QByteArray(2000, 'a'));
        EXPECT_TRUE(run(fileWith(QByteArray(1000, 'a')), {u"a"_s}, {u"b"_s}).changed);
    }
    // With the real limit: a sparse file four times the size of the machine's memory takes no room on
    // disk, and reading it would fail; it is refused before.
    const qint64 memory = qint64(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGESIZE);
    QFile sparse(path);
    if (!sparse.resize(4 * memory))
        GTEST_SKIP() << "no sparse file of " << 4 * memory << " bytes here";
    const EngineResult result = run(path, {u"a"_s}, {u"b"_s});
    EXPECT_TRUE(result.error.startsWith(u"文件太大"_s)) << result.error.toStdString();
    sparse.resize(0);
}
