#include "office/docx/DocxEngine.h"

#include "core/TextCompare.h"
#include "core/TextReplace.h"
#include "office/docx/DocxDocument.h"
#include "office/docx/WordStoryReplacer.h"
#include "office/docx/WordStoryText.h"

#include <optional>
#include <vector>

namespace varnel::office {

namespace {

constexpr qsizetype kMaxFindLength = 255; // Word's find accepts at most 255 characters

// What one file's run has done so far.
struct Progress {
    bool changed = false;
    int replacements = 0;
    QString error; // the last failure
};

class DocxRun
{
public:
    DocxRun(DocxDocument& document, const EngineRequest& request)
        : m_document(document)
        , m_request(request)
        , m_options{request.options.isOn(Option::MatchCase), request.options.isOn(Option::WholeWord),
                    request.options.isOn(Option::MatchWildcards)}
        , m_texts(document.stories().size())
    {
        if (document.tracksChanges())
            m_revision.emplace(document.nextRevisionId());
    }

    void definition(qsizetype index);
    void notes();
    const Progress& progress() const { return m_progress; }

private:
    bool on(Option option) const { return m_request.options.isOn(option); }
    void stories(const WordMatcher& matcher, const WordReplacement& main, const WordReplacement& other);
    void count(const QString& part, int replacements, bool shadow);
    // Plain case-insensitive replacement in an attribute, as WordArt texts and addresses get it.
    int replaceAttribute(pugi::xml_attribute attribute, const QString& find, const QString& replace);
    void wordArt(const QString& find, const QString& replace);
    void hyperlinks(const QString& find, const QString& replace);

    DocxDocument& m_document;
    const EngineRequest& m_request;
    const WordFindOptions m_options;
    Progress m_progress;
    // The text of each story, read once and again only after a definition changed the story.
    std::vector<std::optional<WordStoryText>> m_texts;
    // Set when the document records its changes: every replacement is then a tracked change.
    std::optional<WordRevision> m_revision;
    WordRevision* revision() { return m_revision ? &*m_revision : nullptr; }
};

void DocxRun::count(const QString& part, int replacements, bool shadow)
{
    if (replacements == 0)
        return;
    m_document.markChanged(part);
    m_progress.changed = true;
    if (!shadow)
        m_progress.replacements += replacements;
}

void DocxRun::definition(qsizetype index)
{
    if (m_request.ui) {
        m_request.ui->progress(m_request.progressCaption + QStringLiteral("，替换第 ") + QString::number(index + 1)
                               + QStringLiteral(" 项"));
    }
    const QString find = m_request.findTexts.at(index);
    const QString replace = m_request.replaceTexts.value(index);
    const CompareMode mode = m_options.matchCase ? CompareMode::Binary : CompareMode::Text;
    if (textEquals(find, replace, mode) || find.size() > kMaxFindLength || replace.size() > kMaxFindLength)
        return;

    WordMatcher matcher;
    WordReplacement main;
    WordReplacement other;
    QString error;
    // WordArt texts and addresses get plain replacement, which a text Word's find rejects does not stop.
    if (matcher.compile(find, m_options, &error)
        && main.compile(DocxEngine::mainReplaceText(replace, m_request.fromDictionary), m_options.wildcards, &error)
        && other.compile(replace, m_options.wildcards, &error))
        stories(matcher, main, other);
    else
        m_progress.error = error;
    if (on(Option::WordTextBox))
        wordArt(find, replace);
    if (on(Option::HyperLink))
        hyperlinks(find, replace);
}

void DocxRun::stories(const WordMatcher& matcher, const WordReplacement& main, const WordReplacement& other)
{
    const std::vector<WordStory>& stories = m_document.stories();
    for (size_t index = 0; index < stories.size(); ++index) {
        const WordStory& story = stories[index];
        bool selected = false;
        switch (story.kind) {
        case WordStory::Kind::Main: selected = true; break;
        case WordStory::Kind::TextBox: selected = on(Option::WordTextBox); break;
        case WordStory::Kind::HeaderFooter: selected = on(Option::HeaderFooter); break;
        case WordStory::Kind::HeaderFooterTextBox:
            selected = on(Option::HeaderFooter) && on(Option::WordTextBox);
            break;
        case WordStory::Kind::Note: break;
        }
        if (!selected)
            continue;
        const WordNames& names = m_document.names(story.part);
        std::optional<WordStoryText>& text = m_texts[index];
        if (!text)
            text.emplace(names, story.container);
        const WordReplacement& replacement = story.kind == WordStory::Kind::Main ? main : other;
        bool textValid = true;
        WordStoryReplacer replacer(names);
        replacer.setRevision(revision());
        const int replacements = replacer.replaceAll(*text, matcher, replacement, &textValid);
        if (!textValid)
            text.reset();
        count(story.part, replacements, story.shadow);
    }
}

int DocxRun::replaceAttribute(pugi::xml_attribute attribute, const QString& find, const QString& replace)
{
    const QString before = QString::fromUtf8(attribute.value());
    int replacements = 0;
    const QString after = plainReplace(before, find, replace, CompareMode::Text, &replacements);
    if (after == before)
        return 0;
    attribute.set_value(after.toUtf8().constData());
    return replacements;
}

void DocxRun::wordArt(const QString& find, const QString& replace)
{
    const QString part = m_document.mainPart();
    for (const WordArtText& art : m_document.wordArt())
        count(part, replaceAttribute(art.text, find, replace), art.shadow);
}

void DocxRun::hyperlinks(const QString& find, const QString& replace)
{
    for (const pugi::xml_attribute& target : m_document.hyperlinkTargets())
        count(m_document.hyperlinkRelationshipsPart(), replaceAttribute(target, find, replace), false);
    for (WordHyperlinkField& field : m_document.hyperlinkFields())
        count(m_document.mainPart(), field.replaceInAddress(find, replace), false);
}

void DocxRun::notes()
{
    const QStringList& finds = m_request.findTexts;
    QStringList replaces;
    for (qsizetype i = 0; i < finds.size(); ++i)
        replaces.append(m_request.replaceTexts.value(i));
    for (const WordStory& story : m_document.stories()) {
        if (story.kind != WordStory::Kind::Note)
            continue;
        WordStoryReplacer replacer(m_document.names(story.part));
        replacer.setRevision(revision());
        // A note is only rewritten when its text changes in the end.
        if (!replacer.plainReplacementsChangeText(story.container, finds, replaces))
            continue;
        for (qsizetype i = 0; i < finds.size(); ++i) {
            WordMatcher matcher;
            WordReplacement replacement;
            matcher.compilePlain(finds[i]);
            replacement.compileLiteral(replaces[i]);
            count(story.part, replacer.replaceAll(story.container, matcher, replacement), false);
        }
    }
}

} // namespace

QString DocxEngine::restrictedNotice(const QString& path)
{
    return QStringLiteral("文档“") + path + QStringLiteral("”设置了“编辑限制”，无法修改！");
}

QString DocxEngine::restrictedError()
{
    return QStringLiteral("文档设置了“编辑限制”，无法修改！");
}

QString DocxEngine::writeProtectedNotice(const QString& path)
{
    return QStringLiteral("文档“") + path + QStringLiteral("”设置了“修改文件时的密码”，无法修改！");
}

QString DocxEngine::writeProtectedError()
{
    return QStringLiteral("文档设置了“修改文件时的密码”，无法修改！");
}

QString DocxEngine::mainReplaceText(const QString& replace, bool fromDictionary)
{
    if (!fromDictionary || !replace.contains(u'\n'))
        return replace;
    QString result;
    for (qsizetype i = 0; i < replace.size(); ++i) {
        if (replace.at(i) == u'\n' && (i == 0 || replace.at(i - 1) != u'\r'))
            result += QStringLiteral("^l");
        else
            result += replace.at(i);
    }
    return result;
}

EngineResult DocxEngine::replace(const QString& path, const EngineRequest& request)
{
    EngineResult result;
    QString error;
    const std::unique_ptr<DocxDocument> document = DocxDocument::open(path, &error, request.password);
    if (!document) {
        result.error = error;
        return result;
    }
    if (document->editingRestricted()) {
        if (request.ui)
            request.ui->notice(restrictedNotice(request.shownPath(path)));
        result.error = restrictedError();
        return result;
    }
    if (document->writeProtected()) {
        if (request.ui)
            request.ui->notice(writeProtectedNotice(request.shownPath(path)));
        result.error = writeProtectedError();
        return result;
    }

    DocxRun run(*document, request);
    for (qsizetype i = 0; i < request.findTexts.size(); ++i)
        run.definition(i);
    run.notes();

    const Progress& progress = run.progress();
    result.error = progress.error;
    if (progress.changed) {
        document->updateDataBindings();
        if (!request.dryRun && !document->save(&error)) {
            result.error = error;
            return result;
        }
        result.changed = true;
        result.replacements = progress.replacements;
    }
    return result;
}

} // namespace varnel::office
