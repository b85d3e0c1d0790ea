// The scan every part passes before it is parsed, where it looks at several bytes at once: a character it
// must refuse, or one it must let through, is found wherever it falls in a block of bytes. And the check of
// a part as written, which must agree with parsing it.

#include "office/package/PartXml.h"
#include "office/package/XmlWellFormedness.h"
#include "office/package/ZipArchive.h"

#include "support/TestFiles.h"

#include <QDirIterator>

#include <gtest/gtest.h>

using varnel::office::xmlWellFormednessProblem;

namespace {

// A part whose text holds `bytes` after `offset` plain characters, followed by enough text that every
// position of a block is tried.
QByteArray partWith(const QByteArray& bytes, int offset)
{
    return "<a>" + QByteArray(offset, 'x') + bytes + QByteArray(20, 'y') + "</a>";
}

} // namespace

TEST(XmlWellFormedness, RefusesABadCharacterAtEveryPositionOfABlock)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"NUL", QByteArray(1, '\0'), "U+0000"},
        {"control character", "\x01", "U+0001"},
        {"last control character", "\x1F", "U+001F"},
        {"vertical tab", "\x0B", "U+000B"},
        {"form feed", "\x0C", "U+000C"},
        {"stray continuation byte", "\x80", "UTF-8"},
        {"lead byte without its continuation", "\xC3(", "UTF-8"},
        {"overlong slash", "\xC0\xAF", "UTF-8"},
        {"byte never in UTF-8", "\xFF", "UTF-8"},
        {"U+FFFE", "\xEF\xBF\xBE", "U+FFFE"},
    };
    for (const Case& c : cases) {
        for (int offset = 0; offset < 20; ++offset) {
            const QString problem = xmlWellFormednessProblem(partWith(c.bytes, offset));
            EXPECT_TRUE(problem.contains(QString::fromUtf8(c.reason)))
                << c.name << " after " << offset << " characters: " << problem.toStdString();
            EXPECT_TRUE(problem.contains(QStringLiteral("第%1字节").arg(3 + offset)))
                << c.name << " after " << offset << " characters: " << problem.toStdString();
        }
    }
}

TEST(XmlWellFormedness, AcceptsEveryAllowedCharacterAtEveryPositionOfABlock)
{
    const QByteArray allowed[] = {
        "\t", "\n", "\r", "\r\n", " ", "~", "\x7F", "\xC2\x80", "\xE4\xB8\xAD", "\xEF\xBF\xBD", "\xF0\x9F\x98\x80",
        "\xF4\x8F\xBF\xBF",
    };
    for (const QByteArray& bytes : allowed) {
        for (int offset = 0; offset < 20; ++offset) {
            EXPECT_EQ(xmlWellFormednessProblem(partWith(bytes, offset)), QString())
                << bytes.toHex().constData() << " after " << offset << " characters";
        }
    }
}

TEST(XmlWellFormedness, FindsMarkupAndDuplicateAttributesAmongManyAttributes)
{
    struct Case {
        const char* name;
        QByteArray xml;
        const char* reason; // empty: well-formed
    };
    QByteArray many;
    for (int i = 0; i < 20; ++i)
        many += " a" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + "\"";
    const Case cases[] = {
        {"two attributes", "<a x=\"1\" y=\"2\"/>", ""},
        {"first and second alike", "<a x=\"1\" x=\"2\"/>", "重复的属性“x”"},
        {"first and last alike", "<a x=\"1\" y=\"2\" z=\"3\" x=\"4\"/>", "重复的属性“x”"},
        {"prefixes tell attributes apart", "<a p:x=\"1\" q:x=\"2\" x=\"3\"/>", ""},
        {"twenty attributes", "<a" + many + "/>", ""},
        {"twenty attributes and one twice", "<a" + many + " a7=\"again\"/>", "重复的属性“a7”"},
        {"reference in text", "<a>&amp;&#x4E2D;</a>", ""},
        {"undefined entity after text", "<a>some text &nbsp;</a>", "未定义的实体"},
        {"bare ampersand", "<a>x & y</a>", "&"},
        {"doctype", "<!DOCTYPE a><a/>", "DTD"},
        {"unclosed comment", "<a><!-- x</a>", "标记没有结束"},
        {"unclosed end tag", "<a>x</a", "标记没有结束"},
        {"unclosed processing instruction", "<a><?pi x</a>", "标记没有结束"},
        {"markup of a lone bracket at the end", "<a/><", "标记格式错误"},
        {"comment, instruction and section", "<a><!-- <b> --><?pi <b>?><![CDATA[<b>&]]></a>", ""},
        {"unknown declaration", "<a><!ELEMENT a ANY></a>", "不是格式正确的XML"},
    };
    for (const Case& c : cases) {
        const QString problem = xmlWellFormednessProblem(c.xml);
        if (!*c.reason)
            EXPECT_EQ(problem, QString()) << c.name;
        else
            EXPECT_TRUE(problem.contains(QString::fromUtf8(c.reason))) << c.name << ": " << problem.toStdString();
    }
}

TEST(XmlWellFormedness, ChecksWithoutATreeWhatParsingAPartChecks)
{
    // The check of a part as written must refuse what parsing it refuses and accept what parsing accepts.
    const char* const decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    struct Case {
        const char* name;
        QByteArray xml;
        bool wellFormed;
    };
    const Case cases[] = {
        {"declaration, comment and instruction around the root", QByteArray(decl) + "<!-- c --><a x=\"1\"><b/><?pi x?></a>\r\n<?pi?>", true},
        {"prefixes, dots, dashes and non-ASCII names", "<w:a xmlns:w=\"u\"><w:b-c.d/><名字 属性=\"值\"/></w:a>", true},
        {"end tag with space before its bracket", "<a><b></b ></a>", true},
        {"text, references and sections inside", "<a>x &amp; &#x4E2D; <![CDATA[<b>]]> y</a>", true},
        {"white space only around the root", "\r\n <a/>\t\n", true},
        {"end tag of another element", "<a><b></a></b>", false},
        {"end tag with another name", "<a></ab>", false},
        {"end tag without a start", "<a/></a>", false},
        {"element left open", "<a><b></b>", false},
        {"two roots", "<a/><b/>", false},
        {"no root", "<!-- only a comment -->", false},
        {"text before the root", "x<a/>", false},
        {"text after the root", "<a/>x", false},
        {"reference outside the root", "<a/>&amp;", false},
        {"section outside the root", "<a/><![CDATA[x]]>", false},
        {"declaration after the start", "<a/><?xml version=\"1.0\"?>", false},
        {"element name starting with a digit", "<1a/>", false},
        {"element name with a quote", "<a\"b/>", false},
        {"attribute name with a bracket", "<a b[c=\"1\"/>", false},
        {"attribute name starting with a dash", "<a -b=\"1\"/>", false},
        {"attributes without white space between them", "<a b=\"1\"c=\"2\"/>", false},
        {"attributes parted by a line break", "<a b=\"1\"\r\nc='2'/>", true},
        {"instruction without a target", "<a><? x?></a>", false},
        {"name broken by a quote the way a bad edit writes it", "<w:document a=\" x=\"1\"></w:document a=\">", false},
    };
    for (const Case& c : cases) {
        varnel::office::PartXml parsed;
        QString error;
        EXPECT_EQ(varnel::office::parsePartXml(QStringLiteral("p.xml"), c.xml, &parsed, &error), c.wellFormed)
            << c.name << ": " << error.toStdString();
        const QString problem = varnel::office::partXmlProblem(QStringLiteral("p.xml"), c.xml);
        EXPECT_EQ(problem.isEmpty(), c.wellFormed) << c.name << ": " << problem.toStdString();
    }
}

TEST(XmlWellFormedness, EveryPartOfTheFixturesPassesTheCheckAsParsedAndAsWritten)
{
    int parts = 0;
    QDirIterator it(varnel::test::dataPath(QStringLiteral("office")), {QStringLiteral("*.docx"), QStringLiteral("*.xlsx"),
                    QStringLiteral("*.xlsm"), QStringLiteral("*.pptx")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        varnel::office::ZipArchive archive;
        QString error;
        if (!archive.open(path, &error))
            continue; // broken on purpose
        for (const varnel::office::ZipEntry& entry : archive.entries()) {
            QByteArray bytes;
            varnel::office::PartXml part;
            if (!(entry.name.endsWith(QStringLiteral(".xml")) || entry.name.endsWith(QStringLiteral(".rels")))
                || !archive.read(entry, 1 << 26, &bytes, &error)
                || !varnel::office::parsePartXml(entry.name, bytes, &part, &error))
                continue;
            ++parts;
            EXPECT_EQ(varnel::office::partXmlProblem(entry.name, bytes), QString()) << path.toStdString() << " " << entry.name.toStdString();
            const QByteArray written = varnel::office::serialisePartXml(part);
            EXPECT_EQ(varnel::office::partXmlProblem(entry.name, written), QString()) << path.toStdString() << " " << entry.name.toStdString();
        }
    }
    EXPECT_GT(parts, 100);
}
