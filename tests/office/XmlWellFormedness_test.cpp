// The scan every part passes before it is parsed, where it looks at several bytes at once: a character it
// must refuse, or one it must let through, is found wherever it falls in a block of bytes.

#include "office/package/XmlWellFormedness.h"

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
