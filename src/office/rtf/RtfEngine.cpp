#include "office/rtf/RtfEngine.h"

#include "core/FileIo.h"
#include "core/TextCompare.h"
#include "office/docx/DocxEngine.h"
#include "office/docx/WordMatcher.h"
#include "office/docx/WordReplacement.h"
#include "office/docx/WordRevision.h"
#include "office/rtf/RtfDocument.h"
#include "office/rtf/RtfEditor.h"

#include <algorithm>
#include <functional>
#include <set>

namespace varnel {

namespace {

using office::WordFindOptions;
using office::WordMatch;
using office::WordMatcher;
using office::WordReplacement;

constexpr qsizetype kLongestText = 255; // Word's find and replace boxes hold at most 255 characters

// The part of a segment's text a pass may change, [first, second); the whole text unless narrowed.
using Span = std::pair<qsizetype, qsizetype>;

// The address of a HYPERLINK field instruction: its first argument, without the quotes. Empty for
// other fields and for links to a bookmark of the document (\l), which have no address.
Span hyperlinkAddress(const QString& instruction)
{
    static const QString keyword = QStringLiteral("HYPERLINK");
    qsizetype i = 0;
    while (i < instruction.size() && instruction[i].isSpace())
        ++i;
    if (!QStringView(instruction).sliced(i).startsWith(keyword, Qt::CaseInsensitive))
        return {0, 0};
    i += keyword.size();
    if (i < instruction.size() && !instruction[i].isSpace() && instruction[i] != u'"')
        return {0, 0};
    while (i < instruction.size() && instruction[i].isSpace())
        ++i;
    if (i >= instruction.size() || instruction[i] == u'\\')
        return {0, 0};
    if (instruction[i] == u'"') {
        const qsizetype close = instruction.indexOf(u'"', i + 1);
        return {i + 1, close < 0 ? instruction.size() : close};
    }
    qsizetype end = i;
    while (end < instruction.size() && !instruction[end].isSpace())
        ++end;
    return {i, end};
}

// The text a literal replacement leaves, for telling whether a note changes in the end.
QString replacedText(const QString& text, const WordMatcher& matcher, const WordReplacement& replacement)
{
    QString out;
    qsizetype copied = 0;
    for (const WordMatch& match : matcher.findAll(text)) {
        out += QStringView(text).sliced(copied, match.start - copied);
        out += replacement.expand(match, text, false);
        copied = match.start + match.length;
    }
    if (copied == 0)
        return text;
    out += QStringView(text).sliced(copied);
    return out;
}

// One document and the run of definitions over it. Each pass finds in the current bytes, rewrites
// them and reads the result again, so a later definition sees what an earlier one wrote.
class RtfRun
{
public:
    RtfRun(QByteArray bytes, const EngineRequest& request)
        : m_bytes(std::move(bytes))
        , m_request(request)
    {
    }

    bool parse() { return m_document.parse(m_bytes); }
    const RtfDocument& document() const { return m_document; }
    const QByteArray& bytes() const { return m_bytes; }
    int replacements() const { return m_replacements; }
    const QString& lastError() const { return m_lastError; }
    bool failed() const { return m_failed; }

    void definition(qsizetype index);
    void notes();

private:
    // Word's find in the main text, headers and footers and text boxes, as the options select them.
    void replaceStories(const WordMatcher& matcher, const WordReplacement& main, const WordReplacement& other);
    bool on(Option option) const { return m_request.options.isOn(option); }
    // The replacement to use in a story, or null when the pass leaves it alone.
    using Rule = std::function<const WordReplacement*(std::size_t index, const RtfStory& story)>;
    void replaceAll(const WordMatcher& matcher, const Rule& rule, Span (*span)(const QString&) = nullptr);

    // Whether replacements in a story are recorded as tracked changes: in a document that records its
    // changes, in the stories Word tracks (not in a hyperlink's instruction or WordArt's shape property).
    bool tracked(const RtfStory& story) const;

    QByteArray m_bytes;
    const EngineRequest& m_request;
    RtfDocument m_document;
    office::WordRevision m_revision;
    int m_replacements = 0;
    QString m_lastError;
    bool m_failed = false;
};

bool RtfRun::tracked(const RtfStory& story) const
{
    return m_document.tracksChanges() && story.kind != RtfStoryKind::FieldInstruction
        && story.kind != RtfStoryKind::WordArt;
}

void RtfRun::replaceAll(const WordMatcher& matcher, const Rule& rule, Span (*span)(const QString&))
{
    if (m_failed)
        return;
    RtfEditor editor(m_document);
    // A tracked change names its author by an index of the revision table, which gets the author with the
    // first change.
    const RtfRevisionTable& table = m_document.revisionTable();
    int author = table.indexOf(office::WordRevision::author());
    qsizetype tableOffset = 0;
    const QByteArray tableAddition = author < 0 ? table.addition(office::WordRevision::author(), &tableOffset, &author)
                                                : QByteArray();
    bool trackedAny = false;
    int count = 0;
    const std::vector<RtfStory>& stories = m_document.stories();
    for (std::size_t index = 0; index < stories.size(); ++index) {
        const RtfStory& story = stories[index];
        const WordReplacement* replacement = rule(index, story);
        if (!replacement)
            continue;
        for (const RtfSegment& segment : story.segments) {
            const Span allowed = span ? span(segment.text) : Span{0, segment.text.size()};
            for (const WordMatch& match : matcher.findAll(segment.text)) {
                if (match.start < allowed.first || match.start + match.length > allowed.second)
                    continue;
                const QString text = replacement->expand(match, segment.text, matcher.adaptsCase());
                if (QStringView(segment.text).sliced(match.start, match.length) == text)
                    continue;
                const bool recorded = tracked(story);
                if (recorded) {
                    editor.replaceTracked(segment, match.start, match.length, text, author, m_revision.rtfDateTime());
                    trackedAny = true;
                } else {
                    editor.replace(segment, match.start, match.length, text);
                }
                // An occurrence that began before a field and took all its result takes the field, as in
                // Word, rather than leave one that shows its result again when next updated (or, recorded,
                // when the change is accepted).
                for (const RtfFieldSpan& field : segment.fields) {
                    if (match.start >= field.start || field.end > match.start + match.length)
                        continue;
                    if (recorded)
                        editor.removeTracked(field.begin, field.finish, author, m_revision.rtfDateTime());
                    else
                        editor.remove(field.begin, field.finish);
                }
                if (!story.mirror)
                    ++count;
            }
        }
    }
    if (editor.isEmpty())
        return;
    if (trackedAny && !tableAddition.isEmpty())
        editor.insert(tableOffset, tableAddition);
    m_bytes = editor.apply(m_bytes);
    if (!parse()) {
        m_failed = true;
        return;
    }
    m_replacements += count;
}

void RtfRun::replaceStories(const WordMatcher& matcher, const WordReplacement& main, const WordReplacement& other)
{
    replaceAll(matcher, [&](std::size_t, const RtfStory& story) -> const WordReplacement* {
        switch (story.kind) {
        case RtfStoryKind::Main:
            return &main;
        case RtfStoryKind::HeaderFooter:
            return on(Option::HeaderFooter) ? &other : nullptr;
        case RtfStoryKind::TextBox:
            return on(Option::WordTextBox) && (!story.inHeaderFooter || on(Option::HeaderFooter)) ? &other : nullptr;
        case RtfStoryKind::WordArt:
        case RtfStoryKind::Note:
        case RtfStoryKind::FieldInstruction:
            break;
        }
        return nullptr;
    });
}

void RtfRun::definition(qsizetype index)
{
    if (m_request.ui)
        m_request.ui->progress(m_request.progressCaption + QStringLiteral("，替换第 %1 项").arg(index + 1));
    const QString& find = m_request.findTexts[index];
    const QString& replace = m_request.replaceTexts[index];
    const WordFindOptions options{on(Option::MatchCase), on(Option::WholeWord), on(Option::MatchWildcards)};
    const CompareMode mode = options.matchCase ? CompareMode::Binary : CompareMode::Text;
    if (find.isEmpty() || find.size() > kLongestText || replace.size() > kLongestText || textEquals(find, replace, mode))
        return;

    const QString mainText = office::DocxEngine::mainReplaceText(replace, m_request.fromDictionary);
    WordMatcher matcher;
    WordReplacement main;
    WordReplacement other;
    QString error;
    if (!matcher.compile(find, options, &error) || !main.compile(mainText, options.wildcards, &error)
        || !other.compile(replace, options.wildcards, &error)) {
        // Word's find refuses the texts; the plain replacements below do not use it and go on.
        m_lastError = error;
    } else {
        replaceStories(matcher, main, other);
    }

    // WordArt and hyperlink addresses get a plain replacement that ignores letter case and width.
    WordMatcher plain;
    plain.compilePlain(find);
    WordReplacement literal;
    literal.compileLiteral(replace);
    if (on(Option::WordTextBox)) {
        replaceAll(plain, [&literal](std::size_t, const RtfStory& story) {
            return story.kind == RtfStoryKind::WordArt && !story.inHeaderFooter ? &literal : nullptr;
        });
    }
    if (on(Option::HyperLink)) {
        replaceAll(
            plain,
            [&literal](std::size_t, const RtfStory& story) {
                return story.kind == RtfStoryKind::FieldInstruction ? &literal : nullptr;
            },
            hyperlinkAddress);
    }
}

void RtfRun::notes()
{
    const qsizetype definitions = std::min(m_request.findTexts.size(), m_request.replaceTexts.size());
    std::vector<WordMatcher> matchers(static_cast<std::size_t>(definitions));
    std::vector<WordReplacement> replacements(static_cast<std::size_t>(definitions));
    for (qsizetype i = 0; i < definitions; ++i) {
        matchers[i].compilePlain(m_request.findTexts[i]);
        replacements[i].compileLiteral(m_request.replaceTexts[i]);
    }
    // A note is rewritten only when all the definitions together change its text.
    std::set<std::size_t> changing;
    const std::vector<RtfStory>& stories = m_document.stories();
    for (std::size_t index = 0; index < stories.size(); ++index) {
        if (stories[index].kind != RtfStoryKind::Note)
            continue;
        for (const RtfSegment& segment : stories[index].segments) {
            QString text = segment.text;
            for (qsizetype i = 0; i < definitions; ++i)
                text = replacedText(text, matchers[i], replacements[i]);
            if (text != segment.text) {
                changing.insert(index);
                break;
            }
        }
    }
    if (changing.empty())
        return;
    for (qsizetype i = 0; i < definitions; ++i) {
        const WordReplacement& replacement = replacements[i];
        replaceAll(matchers[i], [&](std::size_t index, const RtfStory&) {
            return changing.count(index) ? &replacement : nullptr;
        });
    }
}

} // namespace

EngineResult RtfEngine::replace(const QString& path, const EngineRequest& request)
{
    EngineResult result;
    const FileIo& io = FileIo::current();
    QString error;
    const std::optional<QByteArray> original = io.readAll(path, &error);
    if (!original) {
        result.error = QStringLiteral("读取文件失败：") + error;
        return result;
    }
    RtfRun run(*original, request);
    if (!run.parse()) {
        result.error = run.document().error() + QStringLiteral("，未作修改");
        return result;
    }
    if (run.document().editingRestricted()) {
        if (request.ui)
            request.ui->notice(office::DocxEngine::restrictedNotice(path));
        result.error = office::DocxEngine::restrictedError();
        return result;
    }

    const qsizetype definitions = std::min(request.findTexts.size(), request.replaceTexts.size());
    for (qsizetype i = 0; i < definitions; ++i)
        run.definition(i);
    // Notes get the program's own plain replacement, whatever the options say.
    run.notes();
    if (run.failed()) {
        result.error = QStringLiteral("替换后的文档无法重新读取，未作修改");
        return result;
    }

    result.error = run.lastError();
    if (run.bytes() == *original)
        return result;
    if (!request.dryRun && !io.writeAtomically(path, run.bytes(), &error)) {
        result.error = QStringLiteral("写入文件失败：") + error;
        return result;
    }
    result.changed = true;
    result.replacements = run.replacements();
    return result;
}

} // namespace varnel
