#include "tools/widthconvert/WidthTextFile.h"

#include "support/FullDiskIo.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace varnel::widthconvert;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

struct FileCase {
    const char* name;
    QByteArray before;
    WidthMode mode;
    QByteArray after;
};

class WidthTextFileCases : public testing::TestWithParam<FileCase>
{
};

// Each encoding is written back in itself, its mark included, and only the converted characters change.
TEST_P(WidthTextFileCases, WritesTheConvertedTextInTheFilesEncoding)
{
    const FileCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.txt"_s);
    writeFile(path, c.before);
    QString error;
    bool changed = false;
    EXPECT_TRUE(convertTextFile(c.mode, path, &error, &changed)) << error.toStdString();
    EXPECT_TRUE(changed);
    EXPECT_EQ(readFile(path), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    WidthTextFile, WidthTextFileCases,
    testing::Values(
        // "全角ＡＢ，ab,\r\n" in GBK: A3 C1 A3 C2 is ＡＢ, A3 AC the full-width comma.
        FileCase{"GbkToHalfWidth", "\xC8\xAB\xBD\xC7\xA3\xC1\xA3\xC2\xA3\xAC" "ab,\r\n", WidthMode::ToHalfWidth,
                 "\xC8\xAB\xBD\xC7" "AB,ab,\r\n"},
        FileCase{"GbkToFullWidth", "ab 1\r\n", WidthMode::ToFullWidth,
                 "\xA3\xE1\xA3\xE2 \xA3\xB1\r\n"},
        FileCase{"Utf8WithoutMarkGetsTheMark", "\xE4\xB8\xAD,b.\n", WidthMode::PunctuationToFullWidth,
                 "\xEF\xBB\xBF\xE4\xB8\xAD\xEF\xBC\x8C" "b.\n"},
        FileCase{"Utf8WithMarkKeepsIt", "\xEF\xBB\xBFx\xEF\xBD\x9E\n", WidthMode::ToHalfWidth, "\xEF\xBB\xBFx~\n"},
        FileCase{"Utf16LeKeepsMarkAndOddByte", QByteArray("\xFF\xFE" "a\0!\0z", 7), WidthMode::ToFullWidth,
                 QByteArray("\xFF\xFE" "\x41\xFF\x01\xFF" "z", 7)}),
    [](const testing::TestParamInfo<FileCase>& param) { return param.param.name; });

TEST(WidthTextFile, AFileWithNothingToConvertIsNotWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.txt"_s);
    writeFile(path, "no marks here.\r\n");
    const QDateTime stamp = QDateTime::currentDateTime().addDays(-3);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    const varnel::test::FullDiskIo failing;
    const varnel::ScopedFileIo guard(failing); // a write would fail the routine
    QString error;
    bool changed = true;
    EXPECT_TRUE(FilePunctuationToFullWidth(path, &error)) << error.toStdString();
    EXPECT_TRUE(convertTextFile(WidthMode::PunctuationToFullWidth, path, &error, &changed));
    EXPECT_FALSE(changed);
    EXPECT_EQ(QFileInfo(path).lastModified().toSecsSinceEpoch(), stamp.toSecsSinceEpoch());
}

TEST(WidthTextFile, UnusableFilesFailWithADescriptionAndStayAsTheyWere)
{
    QTemporaryDir dir;
    const QString bigEndian = dir.filePath(u"be.txt"_s);
    const QByteArray beBytes = readFile(varnel::test::dataPath(u"text/06_utf16be.txt"_s));
    writeFile(bigEndian, beBytes);
    const QString invalid = dir.filePath(u"invalid.txt"_s);
    const QByteArray invalidBytes = readFile(varnel::test::dataPath(u"text/07_gbk_invalid_bytes.txt"_s));
    writeFile(invalid, invalidBytes);
    const QString missing = dir.filePath(u"missing.txt"_s);

    QString error;
    EXPECT_FALSE(FileToFullWidth(bigEndian, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(bigEndian), beBytes);

    error.clear();
    EXPECT_FALSE(FileToFullWidth(invalid, &error));
    EXPECT_TRUE(error.contains(u"GB18030"_s)) << error.toStdString();
    EXPECT_EQ(readFile(invalid), invalidBytes);

    error.clear();
    EXPECT_FALSE(FileToHalfWidth(missing, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST(WidthTextFile, AFailedWriteLeavesTheFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.txt"_s);
    writeFile(path, "abc");
    const varnel::test::FullDiskIo failing;
    const varnel::ScopedFileIo guard(failing);
    QString error;
    EXPECT_FALSE(FileToFullWidth(path, &error));
    EXPECT_TRUE(error.contains(u"磁盘已满"_s)) << error.toStdString();
    EXPECT_EQ(readFile(path), "abc");
}

TEST(WidthTextFile, AnEmptyFileIsNothingToConvert)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"empty.txt"_s);
    writeFile(path, {});
    QString error;
    EXPECT_TRUE(FileToFullWidth(path, &error)) << error.toStdString();
    EXPECT_EQ(readFile(path), QByteArray());
}

TEST(WidthTextFile, ALongFileConvertsWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"long.txt"_s);
    writeFile(path, "\xE4\xB8\xAD" + QByteArray(40000, 'a') + "!");
    QString error;
    ASSERT_TRUE(FileToFullWidth(path, &error)) << error.toStdString();
    const QString text = QString::fromUtf8(readFile(path).sliced(3));
    EXPECT_TRUE(text == u"中"_s + QString(40000, QChar(0xFF41)) + QChar(0xFF01)) << text.size();
}

} // namespace
