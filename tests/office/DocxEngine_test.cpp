#include "office/docx/DocxEngine.h"
#include "office/package/OoxmlPackage.h"

#include "support/RecordingUi.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

using namespace Qt::Literals::StringLiterals;
using varnel::EngineRequest;
using varnel::EngineResult;
using varnel::Option;
using varnel::office::OoxmlPackage;
using varnel::test::readFile;

namespace {

// The visible text of a part: w:t texts, tabs as \t, breaks as \n, "|" after each paragraph.
void collectText(pugi::xml_node node, QString* text)
{
    for (pugi::xml_node child : node.children()) {
        const std::string name = child.name();
        if (name == "w:t")
            *text += QString::fromUtf8(child.text().get());
        else if (name == "w:tab")
            *text += u'\t';
        else if (name == "w:br")
            *text += u'\n';
        else
            collectText(child, text);
        if (name == "w:p")
            *text += u'|';
    }
}

pugi::xml_document* partOf(OoxmlPackage& package, const QString& part)
{
    QString error;
    pugi::xml_document* doc = package.xml(part, &error);
    EXPECT_TRUE(doc) << error.toStdString();
    return doc;
}

// Opens the saved package and hands the root of one part to fn; fails the test when either is unreadable.
template<typename Fn>
void readPart(const QString& path, const QString& part, Fn fn)
{
    QString error;
    const auto package = OoxmlPackage::open(path, &error);
    EXPECT_TRUE(package) << error.toStdString();
    if (pugi::xml_document* doc = package ? partOf(*package, part) : nullptr)
        fn(*doc);
}

QString partText(const QString& path, const QString& part = u"word/document.xml"_s)
{
    QString text;
    readPart(path, part, [&](pugi::xml_document& doc) { collectText(doc.document_element(), &text); });
    return text;
}

QString partXml(const QString& path, const QString& part = u"word/document.xml"_s)
{
    std::ostringstream out;
    readPart(path, part, [&](pugi::xml_document& doc) { doc.print(out, "", pugi::format_raw); });
    return QString::fromStdString(out.str());
}

// The text of a part with its tracked changes accepted or rejected, as collectText writes it.
void collectRevisedText(pugi::xml_node node, bool accept, QString* text)
{
    for (pugi::xml_node child : node.children()) {
        const std::string name = child.name();
        if (name == (accept ? "w:del" : "w:ins") || name == "w:pPr")
            continue;
        if (name == "w:t" || (name == "w:delText" && !accept))
            *text += QString::fromUtf8(child.text().get());
        else if (name == "w:tab")
            *text += u'\t';
        else
            collectRevisedText(child, accept, text);
        // A paragraph whose mark is a deletion (accepted) or an insertion (rejected) runs on into the next.
        if (name == "w:p" && !child.select_node(accept ? "w:pPr/w:rPr/w:del" : "w:pPr/w:rPr/w:ins"))
            *text += u'|';
    }
}

QString revisedText(const QString& path, bool accept)
{
    QString text;
    readPart(path, u"word/document.xml"_s,
             [&](pugi::xml_document& doc) { collectRevisedText(doc.document_element(), accept, &text); });
    return text;
}

} // namespace

class DocxEngine : public ::testing::Test
{
protected:
    QString copyOf(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        varnel::test::writeFile(path, readFile(varnel::test::dataPath(u"office/docx/"_s + name)));
        return path;
    }

    EngineResult run(const QString& path, const QStringList& finds, const QStringList& replaces,
                     bool fromDictionary = false, bool dryRun = false)
    {
        EngineRequest request(finds, replaces, options, dryRun);
        request.fromDictionary = fromDictionary;
        request.ui = &ui;
        request.progressCaption = u"正在处理第 1 个文件"_s;
        return varnel::office::DocxEngine().replace(path, request);
    }

    // A copy of a fixture with an element put first into its settings part.
    QString withSettings(const QString& name, const char* element)
    {
        const QString path = copyOf(name);
        QString error;
        const auto package = OoxmlPackage::open(path, &error);
        EXPECT_TRUE(package) << error.toStdString();
        if (!package)
            return path;
        pugi::xml_document* settings = partOf(*package, u"word/settings.xml"_s);
        pugi::xml_document fragment;
        EXPECT_TRUE(fragment.load_string(element)) << element;
        for (pugi::xml_node child = fragment.last_child(); child; child = child.previous_sibling())
            settings->document_element().prepend_copy(child);
        package->markChanged(u"word/settings.xml"_s);
        EXPECT_TRUE(package->save(&error)) << error.toStdString();
        return path;
    }

    varnel::ReplaceOptions options; // first-start values: match case, text boxes, headers and footers on
    varnel::test::RecordingUi ui;
    QTemporaryDir m_dir;
};

TEST_F(DocxEngine, ReplacesInTheMainTextAndCountsReplacements)
{
    const QString path = copyOf(u"01_minimal.docx"_s);
    const EngineResult result = run(path, {u"旧公司名"_s, u"旧地址"_s}, {u"新公司名"_s, u"新地址"_s});
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.replacements, 2);
    EXPECT_EQ(result.error, u""_s);
    EXPECT_EQ(partText(path), u"Hello world|新公司名有限公司，地址：新地址。|"_s);
    EXPECT_EQ(ui.progressTexts, (QStringList{u"正在处理第 1 个文件，替换第 1 项"_s, u"正在处理第 1 个文件，替换第 2 项"_s}));
}

TEST_F(DocxEngine, LeavesTheFileByteIdenticalWhenNothingChangesOrOnADryRun)
{
    const struct {
        const char* what;
        QString fixture;
        int matchCase;
        QString find, replace;
        bool dryRun;
        int count;
    } cases[] = {
        {"no occurrence", u"01_minimal.docx"_s, 2, u"不存在"_s, u"x"_s, false, 0},
        {"equal under the comparison mode", u"02_split_runs.docx"_s, 0, u"this"_s, u"THIS"_s, false, 0},
        {"WordArt text left equal", u"07_wordart_header_textbox.docx"_s, 2, u"ART"_s, u"art"_s, false, 0},
        {"a dry run reports the change", u"01_minimal.docx"_s, 2, u"Hello"_s, u"Bye"_s, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options.setValue(Option::MatchCase, c.matchCase);
        const QString path = copyOf(c.fixture);
        const QByteArray before = readFile(path);
        const QDateTime modified = QFileInfo(path).lastModified();
        const EngineResult result = run(path, {c.find}, {c.replace}, false, c.dryRun);
        EXPECT_EQ(result.changed, c.dryRun);
        EXPECT_EQ(result.replacements, c.count);
        EXPECT_EQ(readFile(path), before);
        EXPECT_EQ(QFileInfo(path).lastModified(), modified);
    }
}

TEST_F(DocxEngine, RefusesAnUnreadablePackageOrPartAndLeavesIt)
{
    const QString notAPackage = m_dir.filePath(u"broken.docx"_s);
    varnel::test::writeFile(notAPackage, "not a zip at all");
    for (const auto& [path, named] : {std::pair{notAPackage, QString()},
                                      std::pair{copyOf(u"08_broken_header.docx"_s), u"header1.xml"_s}}) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray before = readFile(path);
        const EngineResult result = run(path, {u"old"_s}, {u"new"_s});
        EXPECT_FALSE(result.changed);
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_TRUE(result.error.contains(named)) << result.error.toStdString();
        EXPECT_EQ(readFile(path), before);
    }
}
TEST_F(DocxEngine, ReplacesTextSplitAcrossRunsWithTheFirstCharactersFormatting)
{
    const QString path = copyOf(u"02_split_runs.docx"_s);
    EXPECT_TRUE(run(path, {u"Varnel"_s, u"旧公司名"_s}, {u"Word"_s, u"新名称"_s}).changed);
    EXPECT_TRUE(partText(path).startsWith(u"Word 新名称|"_s));
    const QString xml = partXml(path);
    EXPECT_TRUE(xml.contains(u"<w:r><w:rPr><w:b/></w:rPr><w:t>Word</w:t></w:r>"_s)) << xml.toStdString();
    EXPECT_FALSE(xml.contains(u"<w:i/>"_s));
}

TEST_F(DocxEngine, MatchCaseWholeWordAndWildcardsDecideWhatIsFound)
{
    // Match case off folds letter case, not width, and adapts the replacement; grey boxes count as off here.
    // Match case on finds exact case only, so a replacement equal under folding is not skipped.
    const struct {
        int matchCase, wholeWord;
        QString find, replace;
        int count;
        QString text;
        int wildcards = 0;
    } cases[] = {
        {0, 0, u"this"_s, u"that"_s, 4, u"Replace that, That and THAT; thattle stays."_s},
        {1, 0, u"this"_s, u"THIS"_s, 2, u"Replace THIS, This and THIS; THIStle stays."_s},
        {0, 1, u"this"_s, u"that"_s, 3, u"Replace that, That and THAT; thistle stays."_s},
        {2, 2, u"this"_s, u"that"_s, 2, {}},
        {0, 0, u"abc"_s, u"x"_s, 1, u"全角ＡＢＣ半角X"_s},
        {2, 0, u"a^tb^lc"_s, u"x^ty"_s, 1, u"|x\ty|"_s}, // tabs and breaks are found by their codes
        {2, 0, u"(Var)(nel)"_s, u"\\2-\\1"_s, 1, u"nel-Var 旧公司名|"_s, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "match case " << c.matchCase << ", whole word " << c.wholeWord);
        options.setValue(Option::MatchCase, c.matchCase);
        options.setValue(Option::WholeWord, c.wholeWord);
        options.setValue(Option::MatchWildcards, c.wildcards);
        const QString path = copyOf(u"02_split_runs.docx"_s);
        EXPECT_EQ(run(path, {c.find}, {c.replace}).replacements, c.count);
        EXPECT_TRUE(partText(path).contains(c.text)) << partText(path).toStdString();
    }
}

TEST_F(DocxEngine, SkipsDefinitionsOf256CharactersButStillReplacesInNotes)
{
    const QString path = copyOf(u"06_textbox_notes.docx"_s);
    const QString longText(256, u'x');
    const EngineResult result = run(path, {u"old"_s}, {longText});
    EXPECT_TRUE(result.changed);
    EXPECT_TRUE(partText(path).contains(u"Body old text"_s));
    EXPECT_TRUE(partText(path, u"word/footnotes.xml"_s).contains(longText));
    EXPECT_TRUE(partText(path, u"word/endnotes.xml"_s).contains(u"Endnote "_s + longText));
}

TEST_F(DocxEngine, ReplacesInHyperlinksRevisionsFieldResultsControlsSmartTagsAndNestedTables)
{
    const QString path = copyOf(u"03_structures.docx"_s);
    EXPECT_TRUE(run(path, {u"old"_s}, {u"new"_s}).changed);
    const QString text = partText(path);
    for (const QString& expected : {u"new link"_s, u"inserted new"_s, u"new result"_s, u"new simple"_s, u"new control"_s,
                                    u"new tagged"_s, u"new cell"_s, u"new nested cell"_s, u"Second section new text"_s})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    const QString xml = partXml(path);
    EXPECT_TRUE(xml.contains(u"<w:delText>old deleted</w:delText>"_s));
    EXPECT_TRUE(xml.contains(u"DOCPROPERTY old"_s));
    EXPECT_TRUE(xml.contains(u"w:instr=\" AUTHOR old \""_s));
    EXPECT_TRUE(xml.contains(u"<w:alias w:val=\"old\"/>"_s));
    // A picture between "ol" and "d" keeps them apart.
    EXPECT_TRUE(text.contains(u"old picture"_s));
    EXPECT_TRUE(xml.contains(u"<w:t>ol</w:t>"_s));
}

TEST_F(DocxEngine, ReplacesInEveryHeaderAndFooterOnlyWhenTheOptionIsExactlyOne)
{
    const QString path = copyOf(u"03_structures.docx"_s);
    options.setValue(Option::HeaderFooter, 2);
    run(path, {u"old"_s}, {u"new"_s});
    EXPECT_EQ(partText(path, u"word/header1.xml"_s), u"old header one|"_s);

    options.setValue(Option::HeaderFooter, 1);
    run(path, {u"old"_s}, {u"new"_s});
    EXPECT_EQ(partText(path, u"word/header1.xml"_s), u"new header one|"_s);
    EXPECT_EQ(partText(path, u"word/header2.xml"_s), u"new header two|"_s);
    EXPECT_EQ(partText(path, u"word/footer1.xml"_s), u"new footer one|"_s);
}

TEST_F(DocxEngine, ReplacesInHyperlinkAddressesOnlyWhenAsked)
{
    const QString path = copyOf(u"03_structures.docx"_s);
    const QString rels = u"word/_rels/document.xml.rels"_s;
    run(path, {u"OLD"_s}, {u"new"_s});
    EXPECT_TRUE(partXml(path, rels).contains(u"http://example.com/old/page"_s));

    options.setValue(Option::HyperLink, 1);
    const EngineResult result = run(path, {u"OLD"_s}, {u"new"_s});
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.replacements, 1);
    EXPECT_TRUE(partXml(path, rels).contains(u"http://example.com/new/page"_s));
}

TEST_F(DocxEngine, ReplacesBothCopiesOfATextBoxAndCountsThemOnce)
{
    options.setValue(Option::HeaderFooter, 0);
    const QString path = copyOf(u"06_textbox_notes.docx"_s);
    const EngineResult result = run(path, {u"old"_s}, {u"new"_s});
    // Six in the main text, one text box, two in the footnote (plain replacement ignores case), one endnote.
    EXPECT_EQ(result.replacements, 10);
    const QString xml = partXml(path);
    EXPECT_EQ(xml.count(u"Text box new text"_s), 2);
    EXPECT_FALSE(xml.contains(u"old"_s));
    EXPECT_EQ(partText(path, u"word/header1.xml"_s), u"页眉 old header|"_s);
}

TEST_F(DocxEngine, LeavesTextBoxesAloneWhenTheOptionIsOff)
{
    options.setValue(Option::WordTextBox, 0);
    const QString path = copyOf(u"06_textbox_notes.docx"_s);
    run(path, {u"old"_s}, {u"new"_s});
    const QString xml = partXml(path);
    EXPECT_EQ(xml.count(u"Text box old text"_s), 2);
    EXPECT_TRUE(xml.contains(u"Anchor paragraph new."_s));
}

TEST_F(DocxEngine, NotesGetPlainCaseInsensitiveReplacementKeepingTheirFormatting)
{
    const QString path = copyOf(u"06_textbox_notes.docx"_s);
    run(path, {u"OLD"_s, u"footnote"_s}, {u"new"_s, u"Note"_s});
    EXPECT_TRUE(partText(path, u"word/footnotes.xml"_s).contains(u"Note new new text"_s));
    EXPECT_TRUE(partXml(path, u"word/footnotes.xml"_s).contains(u"<w:b/></w:rPr><w:t>new</w:t>"_s));
    EXPECT_TRUE(partText(path, u"word/endnotes.xml"_s).contains(u"Endnote new text"_s));
}

TEST_F(DocxEngine, ReadsTheWhiteSpaceWordHidesAsNoTextAndNeverShowsIt)
{
    // The endnote reads "<w:t> A tachyon walks into the old bar. </w:t>" without xml:space="preserve"; the
    // body has "Hidden", " space " (the same) and "old" in three runs.
    const QString path = copyOf(u"12_hidden_space.docx"_s);
    EXPECT_TRUE(run(path, {u"Hiddenspaceold"_s, u"old"_s}, {u"found"_s, u"new"_s}).changed);
    EXPECT_TRUE(partText(path).startsWith(u"found|"_s)) << partText(path).toStdString();
    const QString notes = partXml(path, u"word/endnotes.xml"_s);
    EXPECT_TRUE(notes.contains(u"<w:t>A tachyon walks into the new bar.</w:t>"_s)) << notes.toStdString();
}

TEST_F(DocxEngine, FindsNoteMarksPicturesAndSectionBreaksByTheirCodes)
{
    const QString notes = copyOf(u"06_textbox_notes.docx"_s);
    EXPECT_TRUE(run(notes, {u"here^f and"_s}, {u"here, and"_s}).changed);
    EXPECT_TRUE(partText(notes).contains(u"Note here, and there."_s)) << partText(notes).toStdString();
    QString xml = partXml(notes);
    EXPECT_FALSE(xml.contains(u"footnoteReference"_s));
    EXPECT_TRUE(xml.contains(u"endnoteReference"_s));

    const QString structures = copyOf(u"03_structures.docx"_s);
    EXPECT_EQ(partXml(structures).count(u"<w:sectPr"_s), 2);
    const EngineResult result = run(structures, {u"ol^gd"_s, u"^b"_s}, {u"old"_s, u""_s});
    EXPECT_EQ(result.replacements, 2);
    xml = partXml(structures);
    EXPECT_FALSE(xml.contains(u"<w:drawing>"_s));
    EXPECT_EQ(xml.count(u"<w:sectPr"_s), 1);
}

TEST_F(DocxEngine, ReplacesFieldsForTheFieldCode)
{
    // A complex DOCPROPERTY field and a simple AUTHOR field; the hyperlink is an element, not a field.
    const QString path = copyOf(u"03_structures.docx"_s);
    const EngineResult result = run(path, {u"^d"_s}, {u"[field]"_s});
    EXPECT_EQ(result.replacements, 2);
    const QString xml = partXml(path);
    EXPECT_FALSE(xml.contains(u"fldChar"_s));
    EXPECT_FALSE(xml.contains(u"fldSimple"_s));
    EXPECT_FALSE(xml.contains(u"instrText"_s));
    EXPECT_TRUE(xml.contains(u"<w:hyperlink"_s));
    EXPECT_EQ(partText(path).count(u"[field]"_s), 2);
}

TEST_F(DocxEngine, SavesADocumentWhoseOnlyChangeIsInANote)
{
    const QString path = copyOf(u"06_textbox_notes.docx"_s);
    const EngineResult result = run(path, {u"Endnote"_s}, {u"Schlussnote"_s});
    EXPECT_TRUE(result.changed);
    EXPECT_TRUE(partText(path, u"word/endnotes.xml"_s).contains(u"Schlussnote old text"_s));
}

TEST_F(DocxEngine, RefusesWhatWordCouldNotSaveAndProcessesTheRest)
{
    const QString restricted = u"文档设置了“编辑限制”，无法修改！"_s;
    const QString writeProtected = u"文档设置了“修改文件时的密码”，无法修改！"_s;
    struct Case {
        const char* settings; // an element put first into word/settings.xml; or the name of a fixture
        QString error;        // the log line; empty when the document is processed
    };
    const Case cases[] = {
        {"04_protected_readonly.docx", restricted},
        {"05_protected_forms.docx", restricted},
        {R"(<w:documentProtection w:edit="comments" w:enforcement="1"/>)", restricted},
        {R"(<w:documentProtection w:edit="forms" w:enforcement="true"/>)", restricted},
        {R"(<w:documentProtection w:edit="readOnly" w:enforcement="on"/>)", restricted},
        {R"(<w:documentProtection w:edit="forms" w:enforcement="0"/>)", QString()},
        {R"(<w:documentProtection w:edit="comments"/>)", QString()},
        {R"(<w:writeProtection w:cryptProviderType="rsaAES" w:cryptAlgorithmClass="hash" w:cryptAlgorithmType="typeAny" )"
         R"(w:cryptAlgorithmSid="14" w:cryptSpinCount="100000" w:hashValue="3Zc1Yh0mSrs=" w:saltValue="AAAAAAAAAAA="/>)",
         writeProtected},
        {R"(<w:writeProtection w:hash="qm1ACw==" w:salt="AAAAAAAAAAAAAAAAAAAAAA==" w:cryptSpinCount="100000"/>)",
         writeProtected},
        {R"(<w:writeProtection w:recommended="1"/>)", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        ui.notices.clear();
        const QString path = c.settings[0] == '<' ? withSettings(u"01_minimal.docx"_s, c.settings)
                                                  : copyOf(QString::fromLatin1(c.settings));
        const QByteArray before = readFile(path);
        const EngineResult result = run(path, {u"Hello"_s, u"old"_s}, {u"Bye"_s, u"new"_s});
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(result.changed, c.error.isEmpty());
        if (c.error.isEmpty()) {
            EXPECT_TRUE(ui.notices.isEmpty());
            EXPECT_TRUE(partText(path).startsWith(u"Bye world|"_s));
        } else {
            EXPECT_EQ(ui.notices, QStringList{u"文档“"_s + path + u"”"_s + c.error.mid(2)});
            EXPECT_EQ(readFile(path), before);
        }
    }
}

TEST_F(DocxEngine, DictionaryLineFeedsBecomeManualLineBreaksInTheMainTextOnly)
{
    const QString path = copyOf(u"01_minimal.docx"_s);
    run(path, {u"Hello"_s}, {u"a\nb"_s}, true);
    EXPECT_EQ(partText(path).section(u'|', 0, 0), u"a\nb world"_s);

    const QString typed = copyOf(u"02_split_runs.docx"_s);
    run(typed, {u"Varnel"_s}, {u"a\nb"_s}, false);
    EXPECT_TRUE(partText(typed).startsWith(u"a|b 旧公司名|"_s));

    const QString crlf = copyOf(u"01_minimal.docx"_s);
    run(crlf, {u"Hello"_s}, {u"a\r\nb"_s}, true);
    EXPECT_TRUE(partText(crlf).startsWith(u"a|b world|"_s)) << "a carriage return and line feed is a paragraph mark";
}

TEST_F(DocxEngine, ParagraphMarksJoinAndSplitParagraphs)
{
    const QString path = copyOf(u"01_minimal.docx"_s);
    EXPECT_EQ(run(path, {u"world^p旧"_s}, {u"world, 旧"_s}).replacements, 1);
    EXPECT_EQ(partText(path), u"Hello world, 旧公司名有限公司，地址：旧地址。|"_s);
    EXPECT_EQ(run(path, {u"，"_s}, {u"^p"_s}).replacements, 1);
    EXPECT_EQ(partText(path), u"Hello world, 旧公司名有限公司|地址：旧地址。|"_s);
}

TEST_F(DocxEngine, AParagraphMarkInASimpleFieldLeavesTheFieldOnce)
{
    const QString path = copyOf(u"03_structures.docx"_s);
    EXPECT_TRUE(run(path, {u"old simple"_s, u"old control"_s}, {u"old^psimple"_s, u"old^pcontrol"_s}).changed);
    const QString text = partText(path);
    EXPECT_TRUE(text.contains(u"|old|simple|old|control|"_s)) << text.toStdString();
    const QString xml = partXml(path);
    EXPECT_EQ(xml.count(u"w:instr=\" AUTHOR old \""_s), 1);
    EXPECT_EQ(xml.count(u"<w:sdtPr>"_s), 2) << "the control's properties go with both halves";
}

TEST_F(DocxEngine, ReportsAnInvalidDefinitionAndStillAppliesTheOthers)
{
    const QString path = copyOf(u"01_minimal.docx"_s);
    const EngineResult result = run(path, {u"Hello^x"_s, u"world"_s}, {u"a"_s, u"Welt"_s});
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.replacements, 1);
    EXPECT_TRUE(result.error.contains(u"^x"_s)) << result.error.toStdString();
    EXPECT_TRUE(partText(path).startsWith(u"Hello Welt|"_s));
}

TEST_F(DocxEngine, ReplacesInWordArtAsPlainCaseInsensitiveText)
{
    const QString path = copyOf(u"07_wordart_header_textbox.docx"_s);
    const EngineResult result = run(path, {u"old"_s}, {u"new"_s});
    EXPECT_TRUE(partXml(path).contains(u"string=\"new art new\""_s));
    // The body once, the WordArt twice, the header and its text box once each.
    EXPECT_EQ(result.replacements, 5);

    const QString off = copyOf(u"07_wordart_header_textbox.docx"_s);
    options.setValue(Option::WordTextBox, 0);
    run(off, {u"old"_s}, {u"new"_s});
    EXPECT_TRUE(partXml(off).contains(u"string=\"Old art OLD\""_s));
}

TEST_F(DocxEngine, ReplacesOnceInAHeaderTwoSectionsShareAndInItsTextBoxesWhenBothOptionsAreOn)
{
    const struct {
        int textBoxes;
        QString find, replace;
        QString header; // the text of the header both sections use
    } cases[] = {
        {0, u"old header"_s, u"new header"_s, u"new headerold header box||"_s},
        {1, u"old header"_s, u"new header"_s, u"new headernew header box||"_s},
        {1, u"old"_s, u"old old"_s, u"old old headerold old header box||"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.replace.toStdString() << ", text boxes " << c.textBoxes);
        options.setValue(Option::WordTextBox, c.textBoxes);
        const QString path = copyOf(u"07_wordart_header_textbox.docx"_s);
        run(path, {c.find}, {c.replace});
        EXPECT_EQ(partText(path, u"word/header1.xml"_s), c.header);
    }
}

TEST_F(DocxEngine, ReplacesInTheAddressesOfHyperlinkFields)
{
    const QString path = copyOf(u"09_hyperlink_fields.docx"_s);
    options.setValue(Option::HyperLink, 1);
    const EngineResult result = run(path, {u"old"_s}, {u"new"_s});
    // Two link texts, and the addresses of the simple and the complex field.
    EXPECT_EQ(result.replacements, 4);
    const QString xml = partXml(path);
    EXPECT_TRUE(xml.contains(u"w:instr=\" HYPERLINK &quot;http://new.example.com/&quot; \\o &quot;old tip&quot; \""_s))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains(u"HYPERLINK \"http://new.example.com/page\" </w:instrText>"_s)) << xml.toStdString();
}

TEST_F(DocxEngine, RecordsEveryReplacementAsATrackedChangeWhenTheDocumentTracksChanges)
{
    struct Case {
        const char* settings;
        QString fixture;
        QString find;
        QString replace;
        QString accepted; // the text with the changes accepted; rejected, it is the original
    };
    const char* const tracking = "<w:trackRevisions/>";
    const Case cases[] = {
        {tracking, u"01_minimal.docx"_s, u"Hello"_s, u"Bye"_s, u"Bye world|旧公司名有限公司，地址：旧地址。|"_s},
        {tracking, u"01_minimal.docx"_s, u"world^p旧公司"_s, u"Earth^t^pNew"_s, u"Hello Earth\t|New名有限公司，地址：旧地址。|"_s},
        {tracking, u"01_minimal.docx"_s, u"地址"_s, QString(), u"Hello world|旧公司名有限公司，：旧。|"_s},
        {tracking, u"01_minimal.docx"_s, u"^p旧"_s, u"!"_s, u"Hello world!公司名有限公司，地址：旧地址。|"_s},
        {tracking, u"02_split_runs.docx"_s, u"Varnel 旧公"_s, u"Product^p"_s, u"Product|司名|"_s},
        {R"(<w:documentProtection w:edit="trackedChanges" w:enforcement="1"/>)", u"01_minimal.docx"_s, u"Hello"_s,
         u"Bye"_s, u"Bye world|旧公司名有限公司，地址：旧地址。|"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.find + u" in "_s + c.fixture).toStdString());
        const QString path = withSettings(c.fixture, c.settings);
        const QString original = revisedText(path, true);
        const EngineResult result = run(path, {c.find}, {c.replace});
        EXPECT_TRUE(result.changed);
        EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        EXPECT_TRUE(revisedText(path, true).startsWith(c.accepted)) << revisedText(path, true).toStdString();
        EXPECT_EQ(revisedText(path, false), original);

        const QString xml = partXml(path);
        pugi::xml_document document;
        ASSERT_TRUE(document.load_string(xml.toStdString().c_str()));
        QSet<QString> ids;
        const pugi::xpath_node_set changes = document.select_nodes("//w:ins | //w:del");
        EXPECT_GE(changes.size(), c.replace.isEmpty() ? 1u : 2u);
        for (const pugi::xpath_node& change : changes) {
            EXPECT_STREQ(change.node().attribute("w:author").value(), "Varnel");
            EXPECT_TRUE(QDateTime::fromString(QString::fromUtf8(change.node().attribute("w:date").value()), Qt::ISODate)
                            .isValid());
            EXPECT_FALSE(ids.contains(QString::fromUtf8(change.node().attribute("w:id").value()))) << "ids are unique";
            ids.insert(QString::fromUtf8(change.node().attribute("w:id").value()));
        }
        EXPECT_TRUE(document.select_node("//w:del//w:delText")) << "deleted text is kept as w:delText";
    }

    // Notes, headers and text boxes record their changes too.
    const QString notes = withSettings(u"06_textbox_notes.docx"_s, tracking);
    EXPECT_TRUE(run(notes, {u"old"_s}, {u"new"_s}).changed);
    for (const QString& part : {u"word/footnotes.xml"_s, u"word/endnotes.xml"_s, u"word/header1.xml"_s}) {
        const QString xml = partXml(notes, part);
        EXPECT_TRUE(xml.contains(u"<w:delText>old</w:delText>"_s) && xml.contains(u"w:author=\"Varnel\""_s))
            << part.toStdString() << ": " << xml.toStdString();
    }

    const QString path = withSettings(u"01_minimal.docx"_s, R"(<w:trackRevisions w:val="false"/>)");
    EXPECT_TRUE(run(path, {u"Hello"_s}, {u"Bye"_s}).changed);
    EXPECT_FALSE(partXml(path).contains(u"w:del"_s)) << "a document that does not track changes is changed outright";
}

TEST_F(DocxEngine, ReplacesInTheCustomXmlNodeADataBoundControlShows)
{
    const QString item = u"customXml/item2.xml"_s;
    const QString original = partXml(copyOf(u"11_data_binding.docx"_s), item);
    struct Case {
        QStringList finds;
        QStringList replaces;
        QString data; // the item's XML afterwards
    };
    const Case cases[] = {
        {{u"旧公司名"_s, u"旧地址"_s}, {u"新公司名"_s, u"新地址^t"_s},
         QString(original).replace(u"旧公司名"_s, u"新公司名"_s).replace(u"旧地址"_s, u"新地址\t"_s)},
        {{u"有限公司"_s}, {u"^l(有限)"_s}, QString(original).replace(u"有限公司<"_s, u"\n(有限)<"_s)},
        {{u"公司："_s, u"输入旧公司名"_s}, {u"Company: "_s, u"输入"_s}, original},
        // Split by a paragraph mark, the control keeps its binding in the part after the mark.
        {{u"公司名"_s}, {u"公司名^p"_s}, QString(original).replace(u"旧公司名有限公司<"_s, u"有限公司<"_s)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.finds.join(u' ').toStdString());
        const QString path = copyOf(u"11_data_binding.docx"_s);
        const EngineResult result = run(path, c.finds, c.replaces);
        EXPECT_TRUE(result.changed);
        EXPECT_EQ(partXml(path, item), c.data);
    }
    EXPECT_TRUE(original.contains(u"<name>旧公司名有限公司</name>"_s)) << original.toStdString();
}

TEST_F(DocxEngine, LeavesDataBoundControlsAloneWhenChangesAreTracked)
{
    // The bound node would hold the new text while the control records the change: rejecting it would
    // bring back text the data no longer has. The occurrences in such controls stay as they are.
    const QString item = u"customXml/item2.xml"_s;
    const QString path = withSettings(u"11_data_binding.docx"_s, "<w:trackRevisions/>");
    const QString original = partXml(path, item);
    const EngineResult result = run(path, {u"旧公司名"_s, u"旧地址"_s}, {u"新公司名"_s, u"新地址"_s});
    EXPECT_TRUE(result.changed) << "the placeholder of a control without a value is text like any other";
    EXPECT_EQ(partXml(path, item), original);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(partXml(path).toStdString().c_str()));
    EXPECT_TRUE(document.select_nodes("//w:sdt[w:sdtPr/w:dataBinding and not(w:sdtPr/w:showingPlcHdr)]//w:del").empty());
    EXPECT_FALSE(document.select_nodes("//w:sdt[w:sdtPr/w:showingPlcHdr]//w:del").empty());
}
