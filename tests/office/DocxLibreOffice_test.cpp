// Documents the Word engine saved must still open in another word processor: LibreOffice converts each to
// plain text, which must show the replacements. Skipped where LibreOffice is not installed.

#include "office/docx/DocxEngine.h"
#include "office/package/OoxmlPackage.h"

#include "support/LibreOffice.h"
#include "support/TestFiles.h"
#include "support/TrackedChanges.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineRequest;
using varnel::Option;
using varnel::test::readFile;

namespace {

// A copy, named name in dir, of the fixture that records its changes.
QString trackingCopy(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    varnel::test::writeFile(path, readFile(varnel::test::dataPath(u"office/docx/10_track_changes.docx"_s)));
    return path;
}

} // namespace

TEST(DocxLibreOffice, OpensSavedDocumentsWithTheirReplacements)
{
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    struct Case {
        QString fixture;
        QStringList finds;
        QStringList replaces;
        QStringList expected; // lines of the converted text
    };
    const QList<Case> cases = {
        {u"02_split_runs.docx"_s, {u"Varnel"_s, u"a^tb^lc"_s, u"，"_s}, {u"Word^p公司"_s, u"x^ty"_s, u""_s},
         {u"Word"_s, u"公司 旧公司名"_s, u"x\ty"_s}},
        {u"03_structures.docx"_s, {u"old"_s, u"text.^pold"_s}, {u"new"_s, u"joined"_s},
         {u"new link"_s, u"new nested cell"_s, u"Body new text."_s}},
        {u"01_minimal.docx"_s, {u"world^p旧"_s}, {u"world 旧"_s}, {u"Hello world 旧公司名有限公司，地址：旧地址。"_s}},
        {u"06_textbox_notes.docx"_s, {u"old"_s}, {u"新的"_s}, {u"Body 新的 text with a split word."_s, u"Cell 新的 two"_s}},
        // LibreOffice, as Word, shows data-bound controls from their custom XML part.
        {u"11_data_binding.docx"_s, {u"旧公司名"_s, u"旧地址"_s}, {u"新公司名"_s, u"新地址"_s},
         {u"公司：新公司名有限公司"_s, u"新地址 1 号"_s}},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.fixture);
        varnel::test::writeFile(path, readFile(varnel::test::dataPath(u"office/docx/"_s + c.fixture)));
        varnel::ReplaceOptions options;
        options.setValue(Option::HyperLink, 1);
        EngineRequest request(c.finds, c.replaces, options);
        ASSERT_TRUE(varnel::office::DocxEngine().replace(path, request).changed) << c.fixture.toStdString();

        const QStringList lines = varnel::test::textByLibreOffice(path).split(u'\n');
        ASSERT_GT(lines.size(), 1) << c.fixture.toStdString() << " did not open in LibreOffice";
        for (const QString& line : c.expected) {
            EXPECT_TRUE(lines.contains(line) || lines.contains(line + u'\r'))
                << c.fixture.toStdString() << ": no line " << line.toStdString();
        }
    }
}

TEST(DocxLibreOffice, ShowsReplacementsInADocumentThatRecordsChangesAsTrackedChanges)
{
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QTemporaryDir dir;
    const QString path = trackingCopy(dir, u"10_track_changes.docx"_s);
    const QString original = varnel::test::fodtText(varnel::test::fodtByLibreOffice(path), true);
    ASSERT_EQ(original, u"旧公司名 records its changes: old words stay visible.|Second old paragraph.|Cell old text|"
                        u"Last old paragraph.|"_s);

    const QStringList finds = {u"old"_s, u"visible.^pSecond"_s, u"旧公司名"_s};
    const QStringList replaces = {u"new"_s, u"visible, second"_s, u"新公司名^p"_s};
    const varnel::ReplaceOptions options;
    EngineRequest request(finds, replaces, options);
    ASSERT_TRUE(varnel::office::DocxEngine().replace(path, request).changed);
    const QByteArray fodt = varnel::test::fodtByLibreOffice(path);
    QStringList authors;
    EXPECT_EQ(varnel::test::fodtText(fodt, true, &authors),
              u"新公司名| records its changes: new words stay visible, second new paragraph.|Cell new text|"
              u"Last new paragraph.|"_s);
    EXPECT_EQ(varnel::test::fodtText(fodt, false), original);
    EXPECT_GE(authors.size(), 8);
    EXPECT_EQ(authors.count(u"Varnel"_s), authors.size());
}

TEST(DocxLibreOffice, AcceptingARecordedReplacementOfAWholeFieldResultLeavesNoField)
{
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QTemporaryDir dir;
    const QString path = trackingCopy(dir, u"field.docx"_s);
    {
        // A paragraph with an AUTHOR field, first in the body of the fixture that records its changes.
        QString error;
        const auto package = varnel::office::OoxmlPackage::open(path, &error);
        ASSERT_TRUE(package) << error.toStdString();
        pugi::xml_document* document = package->xml(package->mainDocumentPart(), &error);
        ASSERT_TRUE(document) << error.toStdString();
        pugi::xml_document fragment;
        ASSERT_TRUE(fragment.load_string(
            "<w:p xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:r><w:t "
            "xml:space=\"preserve\">Written by </w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r>"
            "<w:instrText xml:space=\"preserve\"> AUTHOR </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/>"
            "</w:r><w:r><w:t>Xavier</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t xml:space=\"preserve\">"
            " today</w:t></w:r></w:p>"));
        pugi::xml_node body = document->document_element().first_child();
        pugi::xml_node p = body.prepend_copy(fragment.first_child());
        p.remove_attribute("xmlns:w");
        package->markChanged(package->mainDocumentPart());
        ASSERT_TRUE(package->save(&error)) << error.toStdString();
    }
    const QString original = varnel::test::fodtText(varnel::test::fodtByLibreOffice(path), true);
    ASSERT_TRUE(original.startsWith(u"Written by Xavier today|"_s)) << original.toStdString();

    const varnel::ReplaceOptions options;
    const QStringList finds = {u"by Xavier"_s};
    const QStringList replaces = {u"by Yves"_s};
    EngineRequest request(finds, replaces, options);
    ASSERT_TRUE(varnel::office::DocxEngine().replace(path, request).changed);
    const QByteArray fodt = varnel::test::fodtByLibreOffice(path);
    EXPECT_TRUE(varnel::test::fodtText(fodt, true).startsWith(u"Written by Yves today|"_s))
        << varnel::test::fodtText(fodt, true).toStdString();
    EXPECT_EQ(varnel::test::fodtText(fodt, false), original);
}
