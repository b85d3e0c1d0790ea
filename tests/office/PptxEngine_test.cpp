#include "office/OfficeEngines.h"
#include "office/pptx/PptxEngine.h"
#include "office/package/OoxmlPackage.h"
#include "office/package/ZipArchive.h"

#include "support/PackageReadBack.h"
#include "support/RecordingUi.h"
#include "support/TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineRequest;
using varnel::EngineResult;
using varnel::Option;
using varnel::office::OoxmlPackage;
using varnel::office::PptxEngine;
using varnel::office::ZipArchive;
using varnel::test::dataPath;
using varnel::test::readFile;
using varnel::test::writeFile;

namespace {

const QString kFixture = u"office/pptx/01_shapes.pptx"_s;
const QString kSlide1 = u"ppt/slides/slide1.xml"_s;
const QString kSlide2 = u"ppt/slides/slide2.xml"_s;
const QString kNotes = u"ppt/notesSlides/notesSlide1.xml"_s;
const QString kMaster = u"ppt/slideMasters/slideMaster1.xml"_s;
const QString kLayout = u"ppt/slideLayouts/slideLayout1.xml"_s;

// The a:t texts of a part, each paragraph followed by "|".
void collectText(pugi::xml_node node, QString* text)
{
    for (pugi::xml_node child : node.children()) {
        const std::string name = child.name();
        if (name == "a:t")
            *text += QString::fromUtf8(child.text().get());
        else if (name == "a:br")
            *text += u'/';
        else
            collectText(child, text);
        if (name == "a:p")
            *text += u'|';
    }
}

QString partText(const QString& path, const QString& part)
{
    QString error;
    const auto package = OoxmlPackage::open(path, &error);
    EXPECT_TRUE(package) << error.toStdString();
    pugi::xml_document* doc = package ? package->xml(part, &error) : nullptr;
    EXPECT_TRUE(doc) << error.toStdString();
    QString text;
    if (doc)
        collectText(doc->document_element(), &text);
    return text;
}

QString partXml(const QString& path, const QString& part)
{
    QString error;
    const auto package = OoxmlPackage::open(path, &error);
    pugi::xml_document* doc = package ? package->xml(part, &error) : nullptr;
    std::ostringstream out;
    if (doc)
        doc->print(out, "", pugi::format_raw);
    return QString::fromStdString(out.str());
}

class PptxEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        path = m_dir.filePath(u"deck.pptx"_s);
        writeFile(path, readFile(dataPath(kFixture)));
    }

    EngineResult run(const QStringList& finds, const QStringList& replaces)
    {
        EngineRequest request(finds, replaces, options);
        request.ui = &ui;
        request.progressCaption = u"正在处理第 1 个文件"_s;
        return PptxEngine().replace(path, request);
    }

    QString path;
    varnel::ReplaceOptions options;
    varnel::test::RecordingUi ui;

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PptxEngineTest, ReplacesInShapesTablesNestedGroupsLayoutsAndMastersButNotesOnlyWhenAsked)
{
    for (const int notes : {0, 1, 2}) {
        SetUp();
        options.setValue(Option::Notepage, notes);
        const EngineResult result = run({u"old"_s, u"Footer"_s, u"Click to edit"_s}, {u"new"_s, u"页脚"_s, u"单击编辑"_s});
        ASSERT_TRUE(result.changed) << result.error.toStdString();
        EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        EXPECT_EQ(partText(path, kSlide1),
                  u"Hello new world, 旧公司名 new.|Second new line/after a break|Cell new A|Cell B|Cell C|Cell new D|"
                  u"Group new one|Nested new two|Nested new three|"_s);
        EXPECT_EQ(partText(path, kSlide2), u"Slide two: OLD, Old and new; bnew is no whole word.|"_s);
        EXPECT_TRUE(partText(path, kLayout).startsWith(u"页脚|"_s)) << partText(path, kLayout).toStdString();
        EXPECT_TRUE(partText(path, kMaster).startsWith(u"单击编辑 the title text format|"_s));
        EXPECT_EQ(partText(path, kNotes).contains(u"Notes new text"_s), notes != 0) << notes;
        // 10 on the slides, one more on the notes page, 12 layouts, 2 in the master.
        EXPECT_EQ(result.replacements, 10 + (notes ? 1 : 0) + 12 + 2) << notes;
    }
}

TEST_F(PptxEngineTest, ReplacementTakesTheFormattingOfTheFirstCharacterFound)
{
    // "old" is "ol" in bold and "d" in italics.
    ASSERT_TRUE(run({u"old world"_s}, {u"new world"_s}).changed);
    const QString xml = partXml(path, kSlide1);
    const qsizetype text = xml.indexOf(u"<a:t>new world</a:t><"_s);
    ASSERT_GE(text, 0) << xml.toStdString();
    EXPECT_TRUE(xml.mid(xml.lastIndexOf(u"<a:rPr"_s, text)).startsWith(u"<a:rPr b=\"1\""_s));
    EXPECT_TRUE(xml.contains(u"<a:t>, </a:t>"_s));
    EXPECT_FALSE(xml.contains(u"i=\"1\""_s)) << "the italic run is left";
}

TEST_F(PptxEngineTest, MatchCaseAndWholeWordsAreTheOnlyOptionsThatApply)
{
    struct Case {
        int matchCase;
        int wholeWord;
        QString expected;
    };
    const QList<Case> cases = {
        {2, 0, u"Slide two: OLD, Old and new; bnew is no whole word.|"_s},
        {0, 0, u"Slide two: new, new and new; bnew is no whole word.|"_s},
        {0, 1, u"Slide two: new, new and new; bold is no whole word.|"_s},
        {1, 2, u"Slide two: OLD, Old and new; bnew is no whole word.|"_s}, // the grey state is off
    };
    for (const Case& c : cases) {
        SetUp();
        options.setValue(Option::MatchCase, c.matchCase);
        options.setValue(Option::PPTWholeWord, c.wholeWord);
        options.setValue(Option::WholeWord, 1);
        ASSERT_TRUE(run({u"old"_s}, {u"new"_s}).changed);
        EXPECT_EQ(partText(path, kSlide2), c.expected) << c.matchCase << c.wholeWord;
    }
}

TEST_F(PptxEngineTest, WritesOnceAndOnlyThePartsThatChanged)
{
    const QHash<QString, QByteArray> before = varnel::test::zipEntries(path);
    const EngineResult result = run({u"Cell"_s, u"Nested"_s, u"Hello"_s}, {u"Zelle"_s, u"Inner"_s, u"Hallo"_s});
    ASSERT_TRUE(result.changed);
    EXPECT_EQ(result.replacements, 7);
    EXPECT_EQ(ui.progressTexts, (QStringList{u"正在处理第 1 个文件，替换第 1 项"_s, u"正在处理第 1 个文件，替换第 2 项"_s,
                                            u"正在处理第 1 个文件，替换第 3 项"_s}));
    const QHash<QString, QByteArray> after = varnel::test::zipEntries(path);
    ASSERT_EQ(after.keys().size(), before.keys().size());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (it.key() == kSlide1)
            EXPECT_NE(after.value(it.key()), it.value());
        else
            EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString() << " was rewritten";
    }
}

TEST_F(PptxEngineTest, LeavesThePresentationUntouchedWhenNothingIsReplaced)
{
    const QByteArray original = readFile(path);
    const QDateTime modified = QFileInfo(path).lastModified();
    const QString long256(256, u'x');
    struct Case {
        const char* name;
        QString find;
        QString replacement;
    };
    const QList<Case> cases = {
        {"no match", u"absent"_s, u"x"_s},
        {"find of 256 characters", long256, u"x"_s},
        {"replacement of 256 characters", u"old"_s, long256},
        {"equal under the comparison", u"old"_s, u"OLD"_s},
        {"empty find", u""_s, u"x"_s},
    };
    options.setValue(Option::MatchCase, 0);
    for (const Case& c : cases) {
        const EngineResult result = run({c.find}, {c.replacement});
        EXPECT_FALSE(result.changed) << c.name;
        EXPECT_TRUE(result.error.isEmpty()) << c.name;
    }
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(QFileInfo(path).lastModified(), modified);
}

TEST_F(PptxEngineTest, ReplacementThatNeverEndsLeavesTheFileAsItWas)
{
    // "Cell B" becomes twenty b's and an a; every "ba" replaced by "aab" then doubles the a's behind each b.
    ASSERT_TRUE(run({u"Cell B"_s}, {QString(20, u'b') + u'a'}).changed);
    const QByteArray before = readFile(path);
    const EngineResult result = run({u"old"_s, u"ba"_s}, {u"new"_s, u"aab"_s});
    EXPECT_FALSE(result.changed);
    EXPECT_EQ(result.error, PptxEngine::runawayError(u"ba"_s, u"aab"_s));
    EXPECT_EQ(readFile(path), before);
}

TEST_F(PptxEngineTest, RefusesBrokenPresentationsAndLeavesThemByteIdentical)
{
    const QByteArray good = readFile(path);
    ZipArchive archive;
    QString error;
    ASSERT_TRUE(archive.open(path, &error));
    QByteArray brokenSlide;
    ASSERT_TRUE(archive.rewrite({{kSlide2, "<p:sld xmlns:p=\"x\"><p:cSld>"}}, &brokenSlide, &error));
    QByteArray notAPresentation;
    ASSERT_TRUE(archive.rewrite({{u"ppt/presentation.xml"_s, "<other/>"}}, &notAPresentation, &error));
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const QList<Case> cases = {
        {"truncated", good.left(good.size() / 2)},
        {"not a zip", "old text, not a presentation"},
        {"a slide that is not well-formed", brokenSlide},
        {"no presentation part", notAPresentation},
    };
    for (const Case& c : cases) {
        writeFile(path, c.bytes);
        const EngineResult result = run({u"old"_s}, {u"new"_s});
        EXPECT_FALSE(result.changed) << c.name;
        EXPECT_FALSE(result.error.isEmpty()) << c.name;
        EXPECT_TRUE(readFile(path) == c.bytes) << c.name << " was changed";
    }
}

TEST(PptxRegistration, PresentationsAreRegisteredAndGoToTheEngineOfWhatTheyHold)
{
    varnel::EngineRegistry registry;
    varnel::registerOfficeEngines(registry);
    const varnel::OfficeCapabilities caps = varnel::capabilitiesOf(registry);
    EXPECT_TRUE(caps.hasPowerPoint);
    EXPECT_TRUE(caps.powerPointNewFormats);

    // A .ppt that holds a package is edited as one and stays one under its name.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"deck.ppt"_s);
    writeFile(path, readFile(dataPath(kFixture)));
    const varnel::ReplaceOptions options;
    const QStringList finds{u"Cell B"_s};
    const QStringList replaces{u"Zelle B"_s};
    const EngineResult result = registry.engineFor(u".ppt"_s)->replace(path, EngineRequest(finds, replaces, options));
    EXPECT_TRUE(result.changed) << result.error.toStdString();
    EXPECT_TRUE(partText(path, kSlide1).contains(u"|Zelle B|"_s));

    // An RTF document named .pptx is said to be one.
    const QString sheet = dir.filePath(u"sheet.pptx"_s);
    writeFile(sheet, "{\\rtf1 old}");
    const EngineResult refused = registry.engineFor(u".pptx"_s)->replace(sheet, EngineRequest(finds, replaces, options));
    EXPECT_FALSE(refused.changed);
    EXPECT_TRUE(refused.error.contains(u"不是PowerPoint演示文稿"_s)) << refused.error.toStdString();
}

TEST_F(PptxEngineTest, GroupItemsTablesInGroupsAndTheChosenAlternativeAreVisited)
{
    const QByteArray slide =
        R"(<p:sld xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" )"
        R"(xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main" )"
        R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006"><p:cSld><p:spTree>)"
        R"(<p:nvGrpSpPr/><p:grpSpPr/><p:grpSp><p:nvGrpSpPr/><p:grpSpPr/>)"
        R"(<p:graphicFrame><a:graphic><a:graphicData><a:tbl><a:tr><a:tc><a:txBody><a:bodyPr/>)"
        R"(<a:p><a:r><a:t>aab in a grouped cell</a:t></a:r></a:p></a:txBody></a:tc></a:tr></a:tbl></a:graphicData>)"
        R"(</a:graphic></p:graphicFrame><p:sp><p:txBody><a:bodyPr/><a:p><a:r><a:t>aab in a group item</a:t></a:r></a:p>)"
        R"(</p:txBody></p:sp></p:grpSp><mc:AlternateContent><mc:Choice Requires="p14"><p:sp><p:txBody><a:bodyPr/>)"
        R"(<a:p><a:r><a:t>aab chosen</a:t></a:r></a:p></p:txBody></p:sp></mc:Choice><mc:Fallback><p:sp><p:txBody>)"
        R"(<a:bodyPr/><a:p><a:r><a:t>aab fallback</a:t></a:r></a:p></p:txBody></p:sp></mc:Fallback></mc:AlternateContent>)"
        R"(</p:spTree></p:cSld></p:sld>)";
    ZipArchive archive;
    QString error;
    ASSERT_TRUE(archive.open(path, &error));
    QByteArray bytes;
    ASSERT_TRUE(archive.rewrite({{kSlide2, slide}}, &bytes, &error)) << error.toStdString();
    writeFile(path, bytes);

    // "ab" by "b" repeats from the start, and so "aab" ends as "b"; in a group item the repeated search
    // starts behind the first character and leaves "ab".
    ASSERT_TRUE(run({u"ab"_s}, {u"b"_s}).changed);
    EXPECT_EQ(partText(path, kSlide2), u"b in a grouped cell|ab in a group item|b chosen|aab fallback|"_s);
}
