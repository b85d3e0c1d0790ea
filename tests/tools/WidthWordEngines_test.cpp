#include "office/rtf/RtfDocument.h"
#include "tools/widthconvert/WidthConvertRun.h"
#include "tools/widthconvert/WidthDocxEngine.h"
#include "tools/widthconvert/WidthRtfEngine.h"

#include "support/DocxStories.h"
#include "support/RecordingUi.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace varnel::widthconvert;
using varnel::office::WordStory;
using varnel::test::DocxTexts;
using varnel::test::readDocx;
using varnel::test::dataPath;
using varnel::test::readFile;

namespace {

QString copyFixture(const QTemporaryDir& dir, const QString& fixture, const QString& name)
{
    const QString path = dir.filePath(name);
    varnel::test::writeFile(path, readFile(dataPath(fixture)));
    return path;
}

varnel::EngineResult convert(varnel::DocumentEngine&& engine, const QString& path, varnel::UserInterface* ui = nullptr,
                             const QString& caption = {})
{
    const QStringList none;
    const varnel::ReplaceOptions options;
    varnel::EngineRequest request(none, none, options);
    request.ui = ui;
    request.progressCaption = caption;
    return engine.replace(path, request);
}

TEST(WidthDocxEngine, ConvertsTheMainTextOnlyAndKeepsEveryRunsFormatting)
{
    QTemporaryDir dir;
    const QString path = copyFixture(dir, u"office/docx/06_textbox_notes.docx"_s, u"a.docx"_s);
    const DocxTexts before = readDocx(path);

    const varnel::EngineResult result = convert(WidthDocxEngine(WidthMode::ToFullWidth), path);
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(result.changed);

    const DocxTexts after = readDocx(path);
    const QString main = before.stories.at(WordStory::Kind::Main);
    EXPECT_EQ(after.stories.at(WordStory::Kind::Main), StrToFullWidth(main).replace(u'｜', u'|'));
    EXPECT_EQ(after.stories.at(WordStory::Kind::Main).size(), main.size());
    for (const auto kind : {WordStory::Kind::HeaderFooter, WordStory::Kind::TextBox, WordStory::Kind::Note})
        EXPECT_EQ(after.stories.at(kind), before.stories.at(kind)) << int(kind);
    // The bold "or" of "split word" is still its own bold run.
    EXPECT_TRUE(before.boldTexts.contains(u"or"_s)) << before.boldTexts.join(u',').toStdString();
    EXPECT_TRUE(after.boldTexts.contains(u"ｏｒ"_s)) << after.boldTexts.join(u',').toStdString();
}

TEST(WidthDocxEngine, HalfWidthOfAMixedParagraphAndNothingToDoLeavesTheFile)
{
    QTemporaryDir dir;
    const QString path = copyFixture(dir, u"office/docx/02_split_runs.docx"_s, u"a.docx"_s);
    varnel::EngineResult result = convert(WidthDocxEngine(WidthMode::ToHalfWidth), path);
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(readDocx(path).stories.at(WordStory::Kind::Main).contains(u"全角ABC半角ABC"_s));

    const QByteArray converted = readFile(path);
    result = convert(WidthDocxEngine(WidthMode::ToHalfWidth), path);
    EXPECT_FALSE(result.changed);
    EXPECT_EQ(readFile(path), converted);
}

TEST(WidthDocxEngine, PunctuationShowsEachPercentageOnceInOrder)
{
    QTemporaryDir dir;
    const QString path = copyFixture(dir, u"office/docx/02_split_runs.docx"_s, u"a.docx"_s);
    varnel::test::RecordingUi ui;
    const varnel::EngineResult result = convert(WidthDocxEngine(WidthMode::PunctuationToFullWidth), path, &ui,
                                                u"正在处理第 2 个文件"_s);
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    ASSERT_FALSE(ui.progressTexts.isEmpty());
    int last = 0;
    for (const QString& text : ui.progressTexts) {
        ASSERT_TRUE(text.startsWith(u"正在处理第 2 个文件，进度 "_s)) << text.toStdString();
        const int percent = text.section(u' ', -1).chopped(1).toInt();
        EXPECT_GT(percent, last) << text.toStdString();
        last = percent;
    }
    EXPECT_EQ(last, 100);
    EXPECT_TRUE(readDocx(path).stories.at(WordStory::Kind::Main).contains(u"Replace this， This and THIS； thistle stays."_s));
}

TEST(WidthDocxEngine, ARestrictedDocumentIsLeftWithAnError)
{
    QTemporaryDir dir;
    const QString path = copyFixture(dir, u"office/docx/04_protected_readonly.docx"_s, u"a.docx"_s);
    const QByteArray original = readFile(path);
    const varnel::EngineResult result = convert(WidthDocxEngine(WidthMode::ToFullWidth), path);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(readFile(path), original);
}

TEST(WidthRtfEngine, ConvertsTheMainTextOnly)
{
    QTemporaryDir dir;
    const QString path = copyFixture(dir, u"office/rtf/01_stories.rtf"_s, u"a.rtf"_s);
    varnel::RtfDocument before;
    ASSERT_TRUE(before.parse(readFile(path)));

    const varnel::EngineResult result = convert(WidthRtfEngine(WidthMode::ToFullWidth), path);
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(result.changed);

    varnel::RtfDocument after;
    ASSERT_TRUE(after.parse(readFile(path))) << after.error().toStdString();
    const QString main = before.text(varnel::RtfStoryKind::Main);
    EXPECT_EQ(after.text(varnel::RtfStoryKind::Main), StrToFullWidth(main));
    for (const auto kind : {varnel::RtfStoryKind::HeaderFooter, varnel::RtfStoryKind::TextBox, varnel::RtfStoryKind::Note})
        EXPECT_EQ(after.text(kind), before.text(kind)) << int(kind);

    // And back: every character of the main text where it was.
    ASSERT_TRUE(convert(WidthRtfEngine(WidthMode::ToHalfWidth), path).error.isEmpty());
    varnel::RtfDocument back;
    ASSERT_TRUE(back.parse(readFile(path)));
    EXPECT_EQ(back.text(varnel::RtfStoryKind::Main), StrToHalfWidth(main));
}

TEST(WidthConvertRun, ConvertsALegacyDocumentThroughLibreOffice)
{
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    const QString path = copyFixture(dir, u"office/package/02_hello.doc"_s, u"a.doc"_s);
    varnel::test::RecordingUi ui;
    WidthConvertRun run(ui);
    const WidthRunOutcome outcome = run.run({{path}, WidthMode::ToFullWidth, dir.filePath(u"log.txt"_s)});
    EXPECT_EQ(outcome.failed, 0) << QString::fromLocal8Bit(readFile(dir.filePath(u"log.txt"_s))).toStdString();
    EXPECT_EQ(outcome.converted, 1);
    EXPECT_TRUE(readFile(path).startsWith("\xD0\xCF\x11\xE0")); // still a Word 97-2003 document
}

} // namespace
