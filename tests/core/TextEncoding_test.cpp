#include "core/TextEncoding.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varnel;
using varnel::test::dataPath;

namespace {

constexpr qsizetype kSample = 204701;

TextEncoding detectFile(const QByteArray& bytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.txt"));
    test::writeFile(path, bytes);
    return DetectTextEncoding(path);
}

// ASCII padding that ends `bytes` exactly at `end`, followed by `after`.
QByteArray placedAt(qsizetype end, const QByteArray& bytes, const QByteArray& after = {})
{
    return QByteArray(end - bytes.size(), 'a') + bytes + after;
}

} // namespace

TEST(TextEncoding, MissingAndEmptyFilesAreNone)
{
    QTemporaryDir dir;
    EXPECT_EQ(DetectTextEncoding(dir.filePath(QStringLiteral("absent.txt"))), TextEncoding::None);
    EXPECT_EQ(detectFile({}), TextEncoding::None);
}

TEST(TextEncoding, MarksDecideWhateverFollows)
{
    EXPECT_EQ(detectFile("\xFF\xFE"), TextEncoding::Utf16Le);
    EXPECT_EQ(detectFile(QByteArrayLiteral("\xFF\xFE\x00\xD8\x80\xFF\x80")), TextEncoding::Utf16Le);
    EXPECT_EQ(detectFile(QByteArrayLiteral("\xFE\xFF\x00" "a")), TextEncoding::Utf16Be);
    EXPECT_EQ(detectFile("\xEF\xBB\xBF\xD6\xD0"), TextEncoding::Utf8);
    EXPECT_EQ(detectFile("\xEF\xBB\xBF"), TextEncoding::Utf8);
    // A file shorter than a mark is padded with zero bytes, never read past its end.
    EXPECT_EQ(detectFile("\xFF"), TextEncoding::Ansi);
    EXPECT_EQ(detectFile("\xEF\xBB"), TextEncoding::Ansi);
}

TEST(TextEncoding, TellsUtf8FromChineseCodePageByTheSample)
{
    EXPECT_EQ(DetectTextEncoding(dataPath(QStringLiteral("text/01_gbk.txt"))), TextEncoding::Ansi);
    EXPECT_EQ(DetectTextEncoding(dataPath(QStringLiteral("text/02_utf8.txt"))), TextEncoding::Utf8);
    EXPECT_EQ(DetectTextEncoding(dataPath(QStringLiteral("text/04_utf16le.txt"))), TextEncoding::Utf16Le);
    EXPECT_EQ(DetectTextEncoding(dataPath(QStringLiteral("text/06_utf16be.txt"))), TextEncoding::Utf16Be);
    EXPECT_EQ(detectFile("plain ascii\r\n"), TextEncoding::Ansi);
    EXPECT_EQ(detectFile("a\x80" "b"), TextEncoding::Ansi); // continuation byte without a lead
    EXPECT_EQ(detectFile("\xE4\xB8" "a"), TextEncoding::Ansi);
}

TEST(TextEncoding, AcceptsUnboundedLeadBytesAndOverlongForms)
{
    EXPECT_EQ(detectFile("\xF8\x80\x80\x80\x80"), TextEncoding::Utf8);
    EXPECT_EQ(detectFile("\xFF\x80\x80\x80\x80\x80\x80\x80" "x"), TextEncoding::Utf8);
    EXPECT_EQ(detectFile("\xC0\x80\xED\xA0\x80"), TextEncoding::Utf8);
    EXPECT_EQ(detectFile("\xFF\x80\x80\x80\x80\x80\x80"), TextEncoding::Ansi); // one continuation short
}

TEST(TextEncoding, SequenceBrokenAtEndOfFileIsAnsiButAtEndOfSampleIsUtf8)
{
    EXPECT_EQ(detectFile(placedAt(1000, "\xE4\xB8\xAD\xE4\xB8")), TextEncoding::Ansi);
    EXPECT_EQ(detectFile(placedAt(kSample, "\xE4\xB8\xAD\xE4\xB8")), TextEncoding::Ansi);
    EXPECT_EQ(detectFile(placedAt(kSample, "\xE4\xB8\xAD\xE4\xB8", "\xAD")), TextEncoding::Utf8);
}

TEST(TextEncoding, IgnoresBytesAfterTheSample)
{
    EXPECT_EQ(detectFile(placedAt(kSample, "\xE4\xB8\xAD", "\xD6\xD0")), TextEncoding::Utf8);
    EXPECT_EQ(detectFile(placedAt(kSample, "abc", "\xE4\xB8\xAD")), TextEncoding::Ansi);
    EXPECT_EQ(detectFile(placedAt(kSample + 1, "\x80")), TextEncoding::Ansi); // all of the sample ASCII
}
