#include "office/rtf/RtfEngine.h"

#include "core/FileIo.h"
#include "core/TextCompare.h"
#include "office/docx/DocxEngine.h"
#include "office/docx/WordMatcher.h"
#include "office/docx/WordReplacement.h"
#include "office/rtf/RtfDocument.h"
#include "office/rtf/RtfEditor.h"

#include <algorithm>

namespace varnel {

namespace {

using office::WordFindOptions;
using office::WordMatch;
using office::WordMatcher;
using office::WordReplacement;

constexpr qsizetype kLongestText = 255; // Word's find and replace boxes hold at most 255 characters

// A document being edited pass by pass: each pass finds in the current bytes and rewrites them.
class EditSession
{
public:
    explicit EditSession(QByteArray bytes)
        : m_bytes(std::move(bytes))
    {
    }

    bool parse() { return m_document.parse(m_bytes); }
    const RtfDocument& document() const { return m_document; }
    const QByteArray& bytes() const { return m_bytes; }

    // Replaces every match of the matcher in the stories the filter accepts; returns the replacements
    // made outside mirror copies, or -1 when the edited bytes no longer read as RTF.
    template<typename Filter, typename ReplacementFor>
    int replaceAll(const WordMatcher& matcher, Filter accepts, ReplacementFor replacementFor)
    {
        RtfEditor editor(m_document);
        int count = 0;
        for (const RtfStory& story : m_document.stories()) {
            if (!accepts(story))
                continue;
            const WordReplacement& replacement = replacementFor(story);
            for (const RtfSegment& segment : story.segments) {
                for (const WordMatch& match : matcher.findAll(segment.text)) {
                    const QString text = replacement.expand(match, segment.text, matcher.adaptsCase());
                    if (QStringView(segment.text).sliced(match.start, match.length) == text)
                        continue;
                    editor.replace(segment, match.start, match.length, text);
                    if (!story.mirror)
                        ++count;
                }
            }
        }
        if (editor.isEmpty())
            return 0;
        m_bytes = editor.apply(m_bytes);
        return parse() ? count : -1;
    }

private:
    QByteArray m_bytes;
    RtfDocument m_document;
};

QString unreadableAfterEdit()
{
    return QStringLiteral("替换后的文档无法重新读取，未作修改");
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
    EditSession session(*original);
    if (!session.parse()) {
        result.error = session.document().error() + QStringLiteral("，未作修改");
        return result;
    }
    if (session.document().readOnlyProtected()) {
        if (request.ui)
            request.ui->notice(office::DocxEngine::restrictedNotice(path));
        result.error = office::DocxEngine::restrictedError();
        return result;
    }

    const ReplaceOptions& options = request.options;
    const WordFindOptions find{options.isOn(Option::MatchCase), options.isOn(Option::WholeWord),
                               options.isOn(Option::MatchWildcards)};
    const CompareMode mode = find.matchCase ? CompareMode::Binary : CompareMode::Text;
    const qsizetype definitions = std::min(request.findTexts.size(), request.replaceTexts.size());
    int replacements = 0;
    QString lastError;

    for (qsizetype i = 0; i < definitions; ++i) {
        if (request.ui)
            request.ui->progress(request.progressCaption + QStringLiteral("，替换第 %1 项").arg(i + 1));
        const QString& findText = request.findTexts[i];
        const QString& replaceText = request.replaceTexts[i];
        if (findText.isEmpty() || findText.size() > kLongestText || replaceText.size() > kLongestText
            || textEquals(findText, replaceText, mode))
            continue;
        const QString mainText = office::DocxEngine::mainReplaceText(replaceText, request.fromDictionary);
        WordMatcher matcher;
        WordReplacement mainReplacement;
        WordReplacement replacement;
        if (!matcher.compile(findText, find, &error) || !mainReplacement.compile(mainText, find.wildcards, &error)
            || !replacement.compile(replaceText, find.wildcards, &error)) {
            lastError = error;
            continue;
        }
        // Read each time: the options may change while a run is under way.
        const bool headers = options.isOn(Option::HeaderFooter);
        const bool textBoxes = options.isOn(Option::WordTextBox);
        const int done = session.replaceAll(
            matcher,
            [headers, textBoxes](const RtfStory& story) {
                switch (story.kind) {
                case RtfStoryKind::Main:
                    return true;
                case RtfStoryKind::HeaderFooter:
                    return headers;
                case RtfStoryKind::TextBox:
                    return textBoxes && (headers || !story.inHeaderFooter);
                case RtfStoryKind::Note:
                    break;
                }
                return false;
            },
            [&](const RtfStory& story) -> const WordReplacement& {
                return story.kind == RtfStoryKind::Main ? mainReplacement : replacement;
            });
        if (done < 0) {
            result.error = unreadableAfterEdit();
            return result;
        }
        replacements += done;
    }

    // Notes get the program's own plain replacement, whatever the options say.
    for (qsizetype i = 0; i < definitions; ++i) {
        if (request.findTexts[i].isEmpty())
            continue;
        WordMatcher matcher;
        matcher.compilePlain(request.findTexts[i]);
        WordReplacement replacement;
        replacement.compileLiteral(request.replaceTexts[i]);
        const int done = session.replaceAll(
            matcher, [](const RtfStory& story) { return story.kind == RtfStoryKind::Note; },
            [&replacement](const RtfStory&) -> const WordReplacement& { return replacement; });
        if (done < 0) {
            result.error = unreadableAfterEdit();
            return result;
        }
        replacements += done;
    }

    result.error = lastError;
    if (session.bytes() == *original)
        return result;
    if (!request.dryRun && !io.writeAtomically(path, session.bytes(), &error)) {
        result.error = QStringLiteral("写入文件失败：") + error;
        return result;
    }
    result.changed = true;
    result.replacements = replacements;
    return result;
}

} // namespace varnel
