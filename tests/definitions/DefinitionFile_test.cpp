#include "definitions/DefinitionFile.h"

#include "core/TextCodec.h"
#include "support/TestFiles.h"

#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace varnel {
void PrintTo(const ReplacePair& pair, std::ostream* os)
{
    *os << '{' << pair.find.toStdString() << " -> " << pair.replace.toStdString() << '}';
}
} // namespace varnel

using namespace varnel;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

const ReplacePairs kAwkwardPairs = {
    {QStringLiteral("中文"), QStringLiteral("汉字")},
    {QStringLiteral("gone"), QString()},
    {QStringLiteral(" "), QStringLiteral("  both ends  ")},
    {QStringLiteral("<&>\""), QStringLiteral("a\r\nb")},
};

std::optional<ReplacePairs> readTabBytes(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("defs.txt"));
    writeFile(path, bytes);
    return readTabDefinitions(path);
}

std::optional<ReplacePairs> readXmlText(const QTemporaryDir& dir, const QByteArray& bytes, QString* error = nullptr)
{
    const QString path = dir.filePath(QStringLiteral("defs.xml"));
    writeFile(path, bytes);
    return readXmlDefinitions(path, error);
}

} // namespace

TEST(DefinitionFile, TabFileIsCrLfLinesInLocaleEncodingAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("defs.txt"));
    const ReplacePairs pairs = kAwkwardPairs.first(3);
    ASSERT_TRUE(writeTabDefinitions(path, pairs));
    EXPECT_EQ(readFile(path), encodeLocalText(u"中文\t汉字\r\ngone\t\r\n \t  both ends  \r\n"));
    EXPECT_EQ(readTabDefinitions(path), pairs);
}

TEST(DefinitionFile, TabReadSkipsLinesWithoutTabAndDropsThirdField)
{
    QTemporaryDir dir;
    const ReplacePairs expected = {{"abc", ""}, {"", "xyz"}, {"a", "b"}};
    EXPECT_EQ(readTabBytes(dir, "abc\r\nabc\t\r\n\txyz\r\na\tb\tc\r\n"), expected);
}

TEST(DefinitionFile, TabReadStopsAtFirstEmptyLineWhateverTheLineEnds)
{
    QTemporaryDir dir;
    const ReplacePairs three = {{"a", "1"}, {"b", "2"}, {"c", "3"}};
    EXPECT_EQ(readTabBytes(dir, "a\t1\nb\t2\rc\t3"), three);
    EXPECT_EQ(readTabBytes(dir, "a\t1\r\nb\t2\r\n\r\nc\t3\r\n"), three.first(2));
    EXPECT_EQ(readTabBytes(dir, "a\t1\n\nb\t2\n"), three.first(1));
    EXPECT_EQ(readTabBytes(dir, "a\t1\r\r\nb\t2"), three.first(1)); // CR, then an empty CR LF line
    EXPECT_EQ(readTabBytes(dir, "\r\na\t1"), ReplacePairs());
}

TEST(DefinitionFile, TabReadDetectsUtf16AndGb18030)
{
    QTemporaryDir dir;
    const ReplacePairs expected = {{QStringLiteral("中"), QStringLiteral("文")}};
    EXPECT_EQ(readTabBytes(dir, QByteArray("\xFF\xFE\x2D\x4E\x09\x00\x87\x65\x0D\x00\x0A\x00", 12)), expected);
    EXPECT_EQ(readTabBytes(dir, "\xD6\xD0\t\xCE\xC4\r\n"), expected);
    EXPECT_EQ(readTabBytes(dir, "\xEF\xBB\xBF\xE4\xB8\xAD\t\xE6\x96\x87"), expected);
}

TEST(DefinitionFile, MissingFileIsAnErrorNamingThePath)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.xml"));
    QString error;
    EXPECT_FALSE(readDefinitionFile(path, &error));
    EXPECT_TRUE(error.contains(path));
    EXPECT_FALSE(readTabDefinitions(path));
}

TEST(DefinitionFile, XmlRoundTripKeepsSpacesMarkupAndLineBreaks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("defs.xml"));
    ASSERT_TRUE(writeXmlDefinitions(path, kAwkwardPairs.first(1)));
    EXPECT_EQ(readFile(path), "<Replace><Item><Old>中文</Old><New>汉字</New></Item></Replace>");
    ASSERT_TRUE(writeXmlDefinitions(path, kAwkwardPairs));
    EXPECT_EQ(readXmlDefinitions(path), kAwkwardPairs);
    ASSERT_TRUE(writeXmlDefinitions(path, {}));
    EXPECT_EQ(readXmlDefinitions(path), ReplacePairs());
}

TEST(DefinitionFile, XmlIsReadByPositionNotByName)
{
    QTemporaryDir dir;
    QByteArray xml = "<List>\n";
    ReplacePairs expected;
    for (int i = 0; i < 60; ++i) {
        xml += QStringLiteral("  <E%1>\n    <F%1>f%1</F%1>\n    <R%1>r%1</R%1>\n  </E%1>\n").arg(i).toUtf8();
        expected.append({QStringLiteral("f%1").arg(i), QStringLiteral("r%1").arg(i)});
    }
    EXPECT_EQ(readXmlText(dir, xml + "</List>"), expected);
}

TEST(DefinitionFile, XmlChildShapes)
{
    QTemporaryDir dir;
    const QByteArray xml = "<Replace>"
                           "<Item><Old>only</Old></Item>"       // no second node: empty replace
                           "<Item/>loose text<!-- note -->"     // no child nodes: skipped
                           "<Item>bare<New> x </New><Extra>ignored</Extra></Item>"
                           "<Item><Old>a<b>c</b><![CDATA[<d>]]></Old><New/></Item>"
                           "</Replace>";
    const ReplacePairs expected = {{"only", ""}, {"bare", " x "}, {"ac<d>", ""}};
    EXPECT_EQ(readXmlText(dir, xml), expected);
}

TEST(DefinitionFile, XmlEncodingsAndEntitiesFromOutside)
{
    QTemporaryDir dir;
    const ReplacePairs chinese = {{QStringLiteral("中"), QStringLiteral("文")}};
    const QByteArray gb = "<?xml version=\"1.0\" encoding=\"GB2312\"?><R><I><O>\xD6\xD0</O><N>\xCE\xC4</N></I></R>";
    EXPECT_EQ(readXmlText(dir, gb), chinese);
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray utf16Bytes = utf16.encode(u"<R><I><O>中</O><N>文</N></I></R>");
    EXPECT_EQ(readXmlText(dir, utf16Bytes), chinese);
    const ReplacePairs unexpanded = {{"&e;", "x"}};
    EXPECT_EQ(readXmlText(dir, "<!DOCTYPE R [<!ENTITY e \"boom\">]><R><I><O>&e;</O><N>x</N></I></R>"), unexpanded);
}

TEST(DefinitionFile, UnparsableXmlIsAnError)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(readXmlText(dir, "<Replace><Item><Old>a</Item></Replace>", &error));
    EXPECT_TRUE(error.contains(dir.filePath(QStringLiteral("defs.xml"))));
    EXPECT_FALSE(readXmlText(dir, ""));
}

TEST(DefinitionFile, ReadDefinitionFileChoosesFormatByName)
{
    QTemporaryDir dir;
    const ReplacePairs pairs = {{"a", "b"}};
    const QString xmlPath = dir.filePath(QStringLiteral("list.XML"));
    const QString tabPath = dir.filePath(QStringLiteral("list.xml.txt"));
    ASSERT_TRUE(writeXmlDefinitions(xmlPath, pairs));
    ASSERT_TRUE(writeTabDefinitions(tabPath, pairs));
    EXPECT_EQ(readDefinitionFile(xmlPath), pairs);
    EXPECT_EQ(readDefinitionFile(tabPath), pairs);
    EXPECT_FALSE(readDefinitionFile(dir.filePath(QStringLiteral("list.xml")))); // missing, not misread
}
