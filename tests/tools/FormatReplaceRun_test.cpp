// The formatted replacement on real documents: the definition table and a target made by
// tests/data/tools/make_formatreplace_fixtures.py, results read back from the saved package.

#include "office/legacy/LegacyConverter.h"
#include "office/package/OoxmlPackage.h"
#include "tools/formatreplace/FormatReplaceRun.h"

#include "support/LibreOffice.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using varnel::ProcessLog;
using varnel::formatreplace::FormatDefinitionTable;
using varnel::formatreplace::FormatReplaceOptions;
using varnel::formatreplace::FormatReplaceRun;
using varnel::formatreplace::FormatReplaceSummary;
using varnel::office::OoxmlPackage;
using varnel::test::dataPath;
using varnel::test::readFile;

namespace {

const FormatReplaceOptions kWholeWord{false, false, true, false};

// The definition table of the document; fails the test when it holds none.
std::unique_ptr<FormatDefinitionTable> openTable(const QString& path)
{
    FormatDefinitionTable::Status status = FormatDefinitionTable::Status::Ok;
    QString error;
    auto table = FormatDefinitionTable::open(path, &status, &error);
    EXPECT_TRUE(table) << error.toStdString();
    EXPECT_EQ(status, FormatDefinitionTable::Status::Ok);
    return table;
}

// A copy of the definition fixture in dir with edit applied to its main part; empty when it failed.
QString editedDefinitions(const QTemporaryDir& dir, const std::function<bool(pugi::xml_document&)>& edit)
{
    const QString path = dir.filePath(u"definitions.docx"_s);
    QFile::remove(path);
    if (!QFile::copy(dataPath(u"tools/FormatReplace_01_definitions.docx"_s), path))
        return {};
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    auto package = OoxmlPackage::open(path, &error);
    const QString main = package ? package->mainDocumentPart() : QString();
    pugi::xml_document* xml = package ? package->xml(main, &error) : nullptr;
    if (!xml || !edit(*xml))
        return {};
    package->markChanged(main);
    return package->save(&error) ? path : QString();
}

class FormatReplaceRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_target = m_dir.filePath(u"target.docx"_s);
        ASSERT_TRUE(QFile::copy(dataPath(u"tools/FormatReplace_02_target.docx"_s), m_target));
        QFile::setPermissions(m_target, QFile::ReadOwner | QFile::WriteOwner);
        m_log.setPath(m_dir.filePath(u"run.log"_s));
    }

    FormatReplaceSummary run(const FormatReplaceOptions& options, const QStringList& files = {})
    {
        const auto table = openTable(m_definitions);
        if (!table)
            return {};
        FormatReplaceRun run(*table, options, m_log);
        return run.run(files.isEmpty() ? QStringList{m_target} : files);
    }

    // The saved main part, and its package kept open for further reads.
    pugi::xml_node document(const QString& path = {})
    {
        QString error;
        m_package = OoxmlPackage::open(path.isEmpty() ? m_target : path, &error);
        EXPECT_TRUE(m_package) << error.toStdString();
        pugi::xml_document* xml = m_package ? m_package->xml(m_package->mainDocumentPart(), &error) : nullptr;
        return xml ? xml->document_element().child("w:body") : pugi::xml_node();
    }

    static QStringList paragraphTexts(pugi::xml_node body)
    {
        QStringList texts;
        for (pugi::xml_node p : body.children("w:p")) {
            QString text;
            for (pugi::xpath_node t : p.select_nodes(".//w:t"))
                text += QString::fromUtf8(t.node().child_value());
            texts << text;
        }
        return texts;
    }

    QTemporaryDir m_dir;
    QString m_definitions = dataPath(u"tools/FormatReplace_01_definitions.docx"_s);
    QString m_target;
    ProcessLog m_log;
    std::unique_ptr<OoxmlPackage> m_package;
};

} // namespace

TEST_F(FormatReplaceRunTest, ReplacesEveryMatchWithTheFormattedContentAndEnds)
{
    // Match case off: "acme" matches too, and the content "Acme Ltd" holds the find text again, which
    // must not be searched through a second time. Whole word trims the find text " word ".
    const FormatReplaceSummary summary = run(kWholeWord);
    EXPECT_EQ(summary.files, 1);
    EXPECT_EQ(summary.changed, 1);
    EXPECT_FALSE(summary.failures);
    const QStringList texts = paragraphTexts(document());
    EXPECT_EQ(texts, (QStringList{u"Welcome to Acme Ltd, the Acme Ltd company."_s, u"Our  logo is here."_s,
                                  u"Before First line"_s, u"Second line link after."_s, u"A WORD, and a password."_s,
                                  u"Acme Ltd in lower case."_s}));
}

TEST_F(FormatReplaceRunTest, KeepsTheRunPropertiesOfTheContent)
{
    run(kWholeWord);
    const pugi::xml_node body = document();
    int bold = 0;
    for (pugi::xpath_node t : body.select_nodes(".//w:t[text()='Acme']")) {
        const pugi::xml_node rPr = t.parent().child("w:rPr");
        EXPECT_TRUE(rPr.child("w:b")) << "Acme without bold";
        EXPECT_STREQ(rPr.child("w:color").attribute("w:val").value(), "FF0000");
        ++bold;
    }
    EXPECT_EQ(bold, 3);
    EXPECT_TRUE(body.select_node(".//w:r[w:rPr/w:i]/w:t[text()='WORD']"));
}

TEST_F(FormatReplaceRunTest, SplitsTheParagraphAndBringsTheStyleAndTheHyperlink)
{
    run({});
    const pugi::xml_node body = document();
    const pugi::xml_node first = body.select_node("w:p[.//w:t='First line']").node();
    ASSERT_TRUE(first);
    EXPECT_STREQ(first.child("w:pPr").child("w:jc").attribute("w:val").value(), "right");
    EXPECT_STREQ(first.select_node(".//w:rStyle").node().attribute("w:val").value(), "VarnelAccent");
    const pugi::xml_node second = first.next_sibling("w:p");
    EXPECT_FALSE(second.child("w:pPr").child("w:jc")) << "the last paragraph keeps the target's properties";

    QString error;
    pugi::xml_document* styles = m_package->xml(u"word/styles.xml"_s, &error);
    ASSERT_TRUE(styles);
    EXPECT_TRUE(styles->select_node("//w:style[@w:styleId='VarnelAccent']"));
    EXPECT_TRUE(styles->select_node("//w:style[@w:styleId='VarnelBase']")) << "the style it is based on";

    const QString id = QString::fromUtf8(second.child("w:hyperlink").attribute("r:id").value());
    ASSERT_FALSE(id.isEmpty());
    bool found = false;
    for (const auto& relationship : m_package->relationships(u"word/document.xml"_s, &error))
        found |= relationship.id == id && relationship.external && relationship.target == u"https://example.com/"_s;
    EXPECT_TRUE(found);
}

TEST_F(FormatReplaceRunTest, CopiesThePictureWithItsPartAndContentType)
{
    run({});
    const pugi::xml_node body = document();
    const pugi::xml_node blip = body.select_node(".//a:blip").node();
    ASSERT_TRUE(blip);
    const QString id = QString::fromUtf8(blip.attribute("r:embed").value());
    QString error;
    QString part;
    for (const auto& relationship : m_package->relationships(u"word/document.xml"_s, &error))
        if (relationship.id == id)
            part = relationship.targetPart;
    ASSERT_FALSE(part.isEmpty());
    QByteArray bytes;
    ASSERT_TRUE(m_package->data(part, &bytes, &error)) << error.toStdString();
    EXPECT_TRUE(bytes.startsWith("\x89PNG"));
    EXPECT_EQ(m_package->contentType(part), u"image/png"_s);
    EXPECT_TRUE(body.parent().attribute("xmlns:wp")) << "the drawing's namespaces are declared";
}

TEST_F(FormatReplaceRunTest, OptionsNarrowTheMatches)
{
    struct Case {
        const char* name;
        FormatReplaceOptions options;
        QStringList first;
        QString last;
    };
    const Case cases[] = {
        {"match case", {false, true, false, false},
         {u"Welcome to Acme Ltd, the Acme Ltd company."_s}, u"acme in lower case."_s},
        {"only the first", {true, false, false, false},
         {u"Welcome to Acme Ltd, the ACME company."_s}, u"acme in lower case."_s},
        {"whole word off keeps the spaces", {false, false, false, false},
         {u"Welcome to Acme Ltd, the Acme Ltd company."_s}, u"Acme Ltd in lower case."_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(m_target);
        SetUp();
        run(c.options);
        const QStringList texts = paragraphTexts(document());
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_EQ(texts.first(), c.first.first());
        EXPECT_EQ(texts.last(), c.last);
        // Untrimmed, " word " needs a space after it, which "A word," lacks.
        EXPECT_TRUE(texts.contains(u"A word, and a password."_s));
    }
}

TEST_F(FormatReplaceRunTest, LeavesAFileWithoutMatchesUnwrittenButWritable)
{
    const QString other = m_dir.filePath(u"other.docx"_s);
    ASSERT_TRUE(QFile::copy(dataPath(u"tools/FormatReplace_04_no_table.docx"_s), other));
    const QByteArray before = readFile(other);
    ASSERT_TRUE(QFile::setPermissions(other, QFile::ReadOwner));
    const QDateTime modified = QFileInfo(other).lastModified();
    const FormatReplaceSummary summary = run({false, true, false, false}, {other});
    EXPECT_EQ(summary.changed, 0);
    EXPECT_TRUE(QFile::permissions(other) & QFile::WriteOwner) << "a read-only file is made writable all the same";
    EXPECT_EQ(readFile(other), before);
    EXPECT_EQ(QFileInfo(other).lastModified(), modified);
}

TEST_F(FormatReplaceRunTest, LogsAFileThatIsNoDocumentAndGoesOn)
{
    const QString broken = m_dir.filePath(u"broken.docx"_s);
    varnel::test::writeFile(broken, "not a zip");
    const FormatReplaceSummary summary = run({}, {broken, m_target});
    EXPECT_EQ(summary.files, 2);
    EXPECT_EQ(summary.changed, 1);
    EXPECT_TRUE(summary.failures);
    EXPECT_TRUE(QString::fromLocal8Bit(readFile(m_log.path())).contains(broken));
}

TEST(FormatDefinitionTable, TellsWhyADocumentHoldsNoDefinitions)
{
    struct Case {
        QString fixture;
        FormatDefinitionTable::Status status;
    };
    const Case cases[] = {
        {u"tools/FormatReplace_03_one_column.docx"_s, FormatDefinitionTable::Status::OneColumn},
        {u"tools/FormatReplace_04_no_table.docx"_s, FormatDefinitionTable::Status::NoTable},
        {u"tools/make_formatreplace_fixtures.py"_s, FormatDefinitionTable::Status::Unreadable},
    };
    for (const Case& c : cases) {
        FormatDefinitionTable::Status status = FormatDefinitionTable::Status::Ok;
        QString error;
        EXPECT_FALSE(FormatDefinitionTable::open(dataPath(c.fixture), &status, &error));
        EXPECT_EQ(status, c.status) << c.fixture.toStdString();
    }
}

TEST(FormatDefinitionTable, SkipsTheHeaderAndRowsWithoutFindText)
{
    const auto table = openTable(dataPath(u"tools/FormatReplace_01_definitions.docx"_s));
    ASSERT_TRUE(table);
    const auto finds = [&](bool wholeWord) {
        QStringList texts;
        for (const auto& definition : table->definitions(wholeWord))
            texts << definition.find;
        return texts;
    };
    EXPECT_EQ(finds(true), (QStringList{u"ACME"_s, u"LOGO"_s, u"TWO"_s, u"word"_s}));
    EXPECT_EQ(finds(false).last(), u" word "_s);
}

TEST(FormatDefinitionTable, WholeWordTrimsOnlyPlainSpaces)
{
    // A tab or an ideographic space around the find text is part of what is searched for.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = editedDefinitions(dir, [](pugi::xml_document& xml) {
        return xml.select_node("//w:t[text()=' word ']").node().text().set("  \tword\u3000 ");
    });
    ASSERT_FALSE(path.isEmpty());
    const auto table = openTable(path);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->definitions(true).back().find, u"\tword\u3000"_s);
}

TEST(FormatDefinitionTable, ATableInATextBoxIsNotTheDefinitionTable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = editedDefinitions(dir, [](pugi::xml_document& xml) {
        pugi::xml_node body = xml.document_element().child("w:body");
        pugi::xml_node frame = body.prepend_child("w:p").append_child("w:r").append_child("w:pict");
        pugi::xml_document boxed;
        return boxed.load_string("<w:txbxContent><w:tbl><w:tr><w:tc><w:p><w:r><w:t>box</w:t></w:r></w:p></w:tc>"
                                 "</w:tr></w:tbl></w:txbxContent>")
               && frame.append_copy(boxed.first_child());
    });
    ASSERT_FALSE(path.isEmpty());
    const auto table = openTable(path);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->definitions(false).front().find, u"ACME"_s);
}

TEST_F(FormatReplaceRunTest, ARowWithoutASecondCellIsLoggedAndLeavesItsMatchesAlone)
{
    // The row of ACME keeps its find cell only.
    m_definitions = editedDefinitions(m_dir, [](pugi::xml_document& xml) {
        pugi::xml_node row = xml.select_node("//w:tr[w:tc/w:p/w:r/w:t='ACME']").node();
        return row.remove_child(row.child("w:tc").next_sibling("w:tc"))
               && row.remove_child(row.child("w:tc").next_sibling("w:tc"));
    });
    ASSERT_FALSE(m_definitions.isEmpty());
    const FormatReplaceSummary summary = run({});
    EXPECT_EQ(summary.changed, 1) << "the other rows still apply";
    EXPECT_TRUE(summary.failures);
    EXPECT_TRUE(paragraphTexts(document()).first().contains(u"ACME"_s)) << paragraphTexts(document()).join(u'|').toStdString();
    EXPECT_TRUE(QString::fromLocal8Bit(readFile(m_log.path())).contains(u"第 2 行"_s));
}

TEST_F(FormatReplaceRunTest, ResultOpensInLibreOfficeWithPictureAndBothParagraphs)
{
    if (varnel::office::LegacyConverter::sofficePath().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    run({});
    const QStringList lines = varnel::test::textByLibreOffice(m_target).split(u'\n');
    EXPECT_TRUE(lines.contains(u"Before First line"_s)) << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines.contains(u"Second line link after."_s));
    EXPECT_TRUE(varnel::test::convertByLibreOffice(m_target, u"odt"_s, u"odt"_s).contains("Pictures/")) << "the picture is lost";
}

TEST_F(FormatReplaceRunTest, WordNinetySevenFilesGoThroughLibreOfficeBothWays)
{
    if (varnel::office::LegacyConverter::sofficePath().isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    // A .doc target and a .doc definition document, both made from the .docx fixtures.
    varnel::office::LegacyConverter converter;
    QString target;
    QString definitions;
    QString error;
    ASSERT_TRUE(converter.convert(m_target, m_dir.filePath(u"doc"_s), u"doc:MS Word 97"_s, &target, &error))
        << error.toStdString();
    ASSERT_TRUE(converter.convert(dataPath(u"tools/FormatReplace_01_definitions.docx"_s), m_dir.filePath(u"defs"_s),
                                  u"doc:MS Word 97"_s, &definitions, &error))
        << error.toStdString();

    const auto table = openTable(definitions);
    ASSERT_TRUE(table);
    FormatReplaceRun run(*table, kWholeWord, m_log);
    const FormatReplaceSummary summary = run.run({target});
    EXPECT_EQ(summary.changed, 1);
    EXPECT_FALSE(summary.failures) << QString::fromLocal8Bit(readFile(m_log.path())).toStdString();
    EXPECT_TRUE(readFile(target).startsWith("\xD0\xCF\x11\xE0")) << "written back as Word 97";

    const QStringList lines = varnel::test::textByLibreOffice(target).split(u'\n');
    EXPECT_TRUE(lines.contains(u"Welcome to Acme Ltd, the Acme Ltd company."_s)) << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines.contains(u"Second line link after."_s));
}

TEST_F(FormatReplaceRunTest, RefusesADocumentRestrictedToReadingWithALogLine)
{
    const QString restricted = m_dir.filePath(u"restricted.docx"_s);
    ASSERT_TRUE(QFile::copy(dataPath(u"office/docx/04_protected_readonly.docx"_s), restricted));
    QFile::setPermissions(restricted, QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray before = readFile(restricted);
    const FormatReplaceSummary summary = run(kWholeWord, {restricted});
    EXPECT_EQ(summary.changed, 0);
    EXPECT_TRUE(summary.failures);
    EXPECT_EQ(readFile(restricted), before);
    EXPECT_TRUE(QString::fromLocal8Bit(readFile(m_log.path())).contains(restricted));
}
