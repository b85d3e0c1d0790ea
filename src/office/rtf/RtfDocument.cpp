#include "office/rtf/RtfDocument.h"

#include "office/docx/WordText.h"
#include "office/rtf/RtfCodePage.h"
#include "office/rtf/RtfControlWords.h"
#include "office/rtf/RtfTokenizer.h"

#include <QStringList>

#include <algorithm>
#include <map>

namespace varnel {

namespace {

enum class Role {
    Text,      // characters belong to the group's story
    Container, // characters are not document text; child groups may open stories
    FontTable, // the fonts' numbers, charsets and code pages
};

struct Group {
    Role role = Role::Text;
    int story = -1;         // the story the group's text belongs to (kept by containers for their results)
    int uc = 1;
    int font = -1;          // -1: the default font
    int assocFont = -1;
    bool doubleByteRun = false; // \dbch: the run uses the associated font's code page
    bool deleted = false;   // \deleted: a deleted revision
    int tableLevel = 0;     // how deep in tables the paragraph is (\intbl, \itapN)
    bool atStart = true;    // no token of the group seen yet: a control word here may name a destination
    bool starred = false;   // \* seen at the start
    bool mirror = false;
    bool inHeaderFooter = false;
    qsizetype open = 0;       // the byte of the group's "{"
    int fieldSegment = -1;    // a \field group: the segment of its story its result begins in
    qsizetype fieldStart = 0; // and the character there
    bool inUnicodePair = false;
    bool inShapeProperty = false;
    bool propertyName = false; // the group's text is the name of the shape property
    int fontEntry = -1;     // FontTable: the font being described
};

struct Font {
    int charset = -1;
    int codePage = 0;
};

class Reader
{
public:
    Reader(QByteArrayView data, std::vector<RtfStory>& stories, std::vector<qsizetype>& bareWordEnds)
        : m_data(data)
        , m_tokens(data)
        , m_stories(stories)
        , m_bareWordEnds(bareWordEnds)
    {
    }

    bool run(QString* error, bool* readOnly);

private:
    Group& top() { return m_groups.back(); }
    void onControlWord(const RtfToken& token);
    void onControlSymbol(const RtfToken& token);
    void onTextByte(unsigned char byte, qsizetype begin, qsizetype end);
    void onDestination(const RtfToken& token);
    void append(QStringView text, qsizetype begin, qsizetype end);
    void openStory(RtfStoryKind kind, bool breakParent = true);
    void breakSegment(int story);
    void openField(Group& group);
    void closeField(const Group& group, qsizetype finish);
    void flushPending();
    int codePage();
    int currentCodePage() const;
    int fontCodePage(int font) const;

    QByteArrayView m_data;
    RtfTokenizer m_tokens;
    std::vector<RtfStory>& m_stories;
    std::vector<qsizetype>& m_bareWordEnds;
    std::vector<bool> m_breakPending;
    std::vector<int> m_tableLevels; // per story, the table level of its last character
    std::vector<Group> m_groups;
    int m_skipDepth = 0; // inside a skipped group: its nesting depth
    int m_codePage = 0;  // code page of the innermost group's state; 0 when it must be worked out again
    const RtfCodePage* m_page = nullptr;

    std::map<int, Font> m_fonts;
    int m_defaultFont = 0;
    int m_ansiCodePage = 0;
    int m_baseCodePage = 1252;
    int m_protectionLevel = -1;
    int m_enforceProtection = -1;
    bool m_readProtection = false;

    QByteArray m_propertyName; // name of the shape property being read

    // A double-byte character whose bytes are still arriving.
    char m_pending[4] = {};
    int m_pendingSize = 0;
    qsizetype m_pendingBegin = 0;
    qsizetype m_pendingEnd = 0;
    int m_pendingCodePage = 0;

    // Fallback characters of the last \uN still to skip, and the character they belong to (story,
    // segment, character; story -1 when the \uN was not text).
    int m_fallbackLeft = 0;
    int m_fallbackStory = -1;
    std::size_t m_fallbackSegment = 0;
    std::size_t m_fallbackChar = 0;
};

bool Reader::run(QString* error, bool* readOnly)
{
    if (!m_data.startsWith("{\\rtf")) {
        *error = QStringLiteral("文件不是 RTF 文档（内容不以“{\\rtf”开头）");
        return false;
    }
    m_stories.clear();
    m_stories.push_back({});
    m_breakPending.assign(1, false);
    m_tableLevels.assign(1, 0);
    bool closed = false;
    for (;;) {
        const RtfToken token = m_tokens.next();
        if (token.type == RtfTokenType::Error) {
            *error = m_tokens.error();
            return false;
        }
        if (token.type == RtfTokenType::End)
            break;
        if (closed) {
            // Readers stop at the closing brace of the document; what follows may only be padding.
            const bool padding = token.type == RtfTokenType::LineEnd
                || (token.type == RtfTokenType::Text
                    && std::all_of(token.text.begin(), token.text.end(),
                                   [](char c) { return c == ' ' || c == '\t' || c == '\0'; }));
            if (!padding) {
                *error = QStringLiteral("文档的组括号不配对：第 %1 字节处的内容位于文档结束的“}”之后").arg(token.begin);
                return false;
            }
            continue;
        }
        if (m_skipDepth > 0) {
            if (token.type == RtfTokenType::GroupOpen) {
                ++m_skipDepth;
            } else if (token.type == RtfTokenType::GroupClose && --m_skipDepth == 0) {
                m_groups.pop_back();
                m_codePage = 0;
                closed = m_groups.empty();
            }
            continue;
        }
        if (token.type == RtfTokenType::LineEnd)
            continue;
        if (token.type != RtfTokenType::Text && token.type != RtfTokenType::HexByte) {
            flushPending();
            m_fallbackLeft = 0;
        }
        if (token.type == RtfTokenType::GroupOpen || token.type == RtfTokenType::GroupClose)
            m_codePage = 0;
        switch (token.type) {
        case RtfTokenType::GroupOpen:
            if (m_groups.empty()) {
                m_groups.push_back({});
                top().story = 0;
            } else {
                Group child = top();
                child.atStart = true;
                child.starred = false;
                child.fieldSegment = -1;
                m_groups.push_back(child);
            }
            top().open = token.begin;
            break;
        case RtfTokenType::GroupClose: {
            const Group closing = top();
            m_groups.pop_back();
            if (closing.fieldSegment >= 0)
                closeField(closing, token.end);
            closed = m_groups.empty();
            break;
        }
        case RtfTokenType::ControlWord:
            if (m_groups.empty()) {
                *error = QStringLiteral("文件不是 RTF 文档（内容不以“{\\rtf”开头）");
                return false;
            }
            if (!token.delimited)
                m_bareWordEnds.push_back(token.end);
            if (top().atStart)
                onDestination(token);
            if (m_skipDepth == 0)
                onControlWord(token);
            break;
        case RtfTokenType::ControlSymbol:
            onControlSymbol(token);
            break;
        case RtfTokenType::HexByte:
            top().atStart = false;
            if (top().role == Role::Text || m_fallbackLeft > 0)
                onTextByte(token.byte, token.begin, token.end);
            break;
        case RtfTokenType::Text:
            top().atStart = false;
            if (top().propertyName)
                m_propertyName.append(token.text);
            for (qsizetype i = 0; i < token.text.size(); ++i) {
                if (top().role != Role::Text && m_fallbackLeft == 0)
                    break;
                onTextByte(static_cast<unsigned char>(token.text[i]), token.begin + i, token.begin + i + 1);
            }
            break;
        case RtfTokenType::LineEnd:
        case RtfTokenType::End:
        case RtfTokenType::Error:
            break;
        }
    }
    if (!closed) {
        *error = QStringLiteral("文档不完整：有 %1 个组没有闭合（缺少“}”，文件可能被截断）").arg(m_groups.size());
        return false;
    }
    flushPending();
    *readOnly = (m_protectionLevel == 3 || m_readProtection) && m_enforceProtection != 0;
    return true;
}

void Reader::onDestination(const RtfToken& token)
{
    Group& group = top();
    group.atStart = false;
    const RtfDestination destination = rtfDestination(token.word);
    if (destination == RtfDestination::None) {
        if (group.starred)
            m_skipDepth = 1;
        return;
    }
    switch (destination) {
    case RtfDestination::None:
        break;
    case RtfDestination::Skip:
        m_skipDepth = 1;
        break;
    case RtfDestination::SkipBarrier:
        breakSegment(group.story);
        m_skipDepth = 1;
        break;
    case RtfDestination::FontTable:
        group.role = Role::FontTable;
        break;
    case RtfDestination::HeaderFooter:
        openStory(RtfStoryKind::HeaderFooter);
        break;
    case RtfDestination::Note:
        if (group.mirror)
            m_skipDepth = 1;
        else
            openStory(RtfStoryKind::Note);
        break;
    case RtfDestination::TextBox:
        openStory(RtfStoryKind::TextBox);
        break;
    case RtfDestination::FieldInstruction:
        // The instruction is hidden, so the text before the field runs on into its result.
        openStory(RtfStoryKind::FieldInstruction, false);
        break;
    case RtfDestination::Container:
        breakSegment(group.story);
        group.role = Role::Container;
        break;
    case RtfDestination::MirrorContainer:
        breakSegment(group.story);
        group.role = Role::Container;
        group.mirror = true;
        break;
    case RtfDestination::Field:
        // A field's result reads on with the text around it, as Word's find reads it; where the field
        // lies is kept, so that an occurrence that takes all its result can take the field.
        openField(group);
        break;
    case RtfDestination::Transparent:
        if (token.word == QByteArrayView("ud") && group.inUnicodePair) {
            group.role = Role::Text;
            group.inUnicodePair = false;
        }
        break;
    case RtfDestination::ShapeProperty:
        group.role = Role::Container;
        group.inShapeProperty = true;
        m_propertyName.clear();
        break;
    case RtfDestination::PropertyName:
        if (!group.inShapeProperty) {
            m_skipDepth = 1;
            break;
        }
        group.role = Role::Container;
        group.propertyName = true;
        break;
    case RtfDestination::PropertyValue:
        // WordArt keeps its text in the shape property gtextUNICODE.
        if (group.inShapeProperty && !group.mirror && m_propertyName.trimmed() == "gtextUNICODE")
            openStory(RtfStoryKind::WordArt);
        else
            m_skipDepth = 1;
        break;
    case RtfDestination::UnicodePair:
        if (group.role == Role::Text) {
            group.role = Role::Container;
            group.inUnicodePair = true;
        }
        break;
    }
}

void Reader::openStory(RtfStoryKind kind, bool breakParent)
{
    Group& group = top();
    if (breakParent)
        breakSegment(group.story);
    RtfStory story;
    story.kind = kind;
    story.mirror = group.mirror;
    story.inHeaderFooter = group.inHeaderFooter || kind == RtfStoryKind::HeaderFooter;
    m_stories.push_back(std::move(story));
    m_breakPending.push_back(false);
    m_tableLevels.push_back(0);
    group.story = static_cast<int>(m_stories.size()) - 1;
    group.role = Role::Text;
    group.inHeaderFooter = m_stories.back().inHeaderFooter;
}

void Reader::onControlWord(const RtfToken& token)
{
    const RtfWordAction* action = rtfWordAction(token.word);
    if (!action)
        return;
    Group& group = top();
    if (group.role == Role::FontTable) {
        if (action->kind == RtfWordAction::Font)
            group.fontEntry = token.param;
        else if (action->kind == RtfWordAction::Charset && group.fontEntry >= 0)
            m_fonts[group.fontEntry].charset = token.param;
        else if (action->kind == RtfWordAction::FontCodePage && group.fontEntry >= 0)
            m_fonts[group.fontEntry].codePage = token.param;
        return;
    }
    switch (action->kind) {
    case RtfWordAction::Character:
        if (group.role == Role::Text) {
            const QChar unit(action->unit);
            append(QStringView(&unit, 1), token.begin, token.end);
        }
        break;
    case RtfWordAction::Barrier:
        if (group.role == Role::Text)
            breakSegment(group.story);
        break;
    case RtfWordAction::Unicode:
        if (group.role == Role::Text && group.story >= 0 && !group.deleted) {
            const QChar unit(static_cast<char16_t>(token.param & 0xFFFF));
            append(QStringView(&unit, 1), token.begin, token.end);
            const std::vector<RtfSegment>& segments = m_stories[group.story].segments;
            m_fallbackStory = group.story;
            m_fallbackSegment = segments.size() - 1;
            m_fallbackChar = segments.back().chars.size() - 1;
        } else {
            m_fallbackStory = -1;
        }
        m_fallbackLeft = std::max(group.uc, 0);
        break;
    case RtfWordAction::UnicodeSkip:
        group.uc = std::max(token.param, 0);
        break;
    case RtfWordAction::Font:
        group.font = token.param;
        break;
    case RtfWordAction::AssocFont:
        group.assocFont = token.param;
        break;
    case RtfWordAction::Plain:
        group.font = -1;
        group.doubleByteRun = false;
        group.deleted = false;
        break;
    case RtfWordAction::ParagraphReset:
        group.tableLevel = 0;
        break;
    case RtfWordAction::InTable:
        group.tableLevel = std::max(group.tableLevel, 1);
        break;
    case RtfWordAction::TableLevel:
        group.tableLevel = std::max(token.param, 0);
        break;
    case RtfWordAction::Deleted:
        group.deleted = !token.hasParam || token.param != 0;
        break;
    case RtfWordAction::DoubleByteRun:
        group.doubleByteRun = true;
        break;
    case RtfWordAction::SingleByteRun:
        group.doubleByteRun = false;
        break;
    case RtfWordAction::DefaultFont:
        m_defaultFont = token.param;
        break;
    case RtfWordAction::AnsiCodePage:
        m_ansiCodePage = token.param;
        break;
    case RtfWordAction::Ansi:
        m_baseCodePage = 1252;
        break;
    case RtfWordAction::Mac:
        m_baseCodePage = 10000;
        break;
    case RtfWordAction::Pc:
        m_baseCodePage = 437;
        break;
    case RtfWordAction::Pca:
        m_baseCodePage = 850;
        break;
    case RtfWordAction::ProtectionLevel:
        m_protectionLevel = token.param;
        break;
    case RtfWordAction::EnforceProtection:
        m_enforceProtection = token.hasParam ? token.param : 1;
        break;
    case RtfWordAction::ReadProtection:
        m_readProtection = true;
        break;
    case RtfWordAction::Charset:
    case RtfWordAction::FontCodePage:
        break;
    }
    m_codePage = 0;
}

void Reader::onControlSymbol(const RtfToken& token)
{
    Group& group = top();
    if (token.symbol == '*' && group.atStart) {
        group.starred = true;
        return;
    }
    group.atStart = false;
    if (group.role != Role::Text)
        return;
    char16_t unit = 0;
    switch (token.symbol) {
    case '~':
        unit = office::wordtext::NoBreakSpace;
        break;
    case '-':
        unit = office::wordtext::SoftHyphen;
        break;
    case '_':
        unit = office::wordtext::NoBreakHyphen;
        break;
    case '\\':
    case '{':
    case '}':
        unit = static_cast<char16_t>(token.symbol);
        break;
    case '\r':
    case '\n':
        unit = office::wordtext::ParagraphMark;
        break;
    default:
        return;
    }
    const QChar character(unit);
    append(QStringView(&character, 1), token.begin, token.end);
}

void Reader::onTextByte(unsigned char byte, qsizetype begin, qsizetype end)
{
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        if (m_fallbackStory >= 0)
            m_stories[m_fallbackStory].segments[m_fallbackSegment].chars[m_fallbackChar].end = end;
        return;
    }
    if (top().role != Role::Text)
        return;
    const int number = codePage();
    if (m_pendingSize > 0 && m_pendingCodePage != number)
        flushPending();
    if (!m_page || m_page->number() != number)
        m_page = &RtfCodePage::get(number);
    const RtfCodePage& page = *m_page;
    if (m_pendingSize == 0) {
        if (byte == '\t') {
            append(u"\t", begin, end); // a literal tab reads as \tab
            return;
        }
        m_pendingBegin = begin;
        m_pendingCodePage = number;
    }
    m_pending[m_pendingSize++] = static_cast<char>(byte);
    m_pendingEnd = end;
    const QByteArrayView bytes(m_pending, m_pendingSize);
    const int length = page.sequenceLength(bytes);
    if ((length == 0 || m_pendingSize < length) && m_pendingSize < 4)
        return;
    m_pendingSize = 0;
    char16_t unit = 0;
    if (page.decodeUnit(bytes, &unit))
        append(QStringView(&unit, 1), m_pendingBegin, m_pendingEnd);
    else
        append(page.decode(bytes), m_pendingBegin, m_pendingEnd);
}

void Reader::flushPending()
{
    if (m_pendingSize == 0)
        return;
    m_pendingSize = 0;
    if (top().role == Role::Text)
        append(u"\uFFFD", m_pendingBegin, m_pendingEnd);
}

void Reader::append(QStringView text, qsizetype begin, qsizetype end)
{
    const Group& group = top();
    if (group.story < 0 || text.isEmpty())
        return;
    if (group.deleted) {
        // Deleted text is passed over; a deleted paragraph mark joins nothing, so it ends the run.
        if (text.contains(QChar(office::wordtext::ParagraphMark)))
            breakSegment(group.story);
        return;
    }
    RtfStory& story = m_stories[group.story];
    // Text going into or out of a table does not run on: a paragraph mark before a table joins nothing.
    if (m_tableLevels[group.story] != group.tableLevel) {
        m_tableLevels[group.story] = group.tableLevel;
        m_breakPending[group.story] = true;
    }
    if (story.segments.empty() || m_breakPending[group.story]) {
        story.segments.emplace_back();
        m_breakPending[group.story] = false;
    }
    RtfSegment& segment = story.segments.back();
    RtfChar character;
    character.begin = begin;
    character.end = end;
    character.uc = group.uc;
    character.codePage = codePage();
    for (qsizetype i = 0; i < text.size(); ++i) {
        segment.text.append(text[i]);
        segment.chars.push_back(character);
        character.begin = end; // the rest of a character read from one range owns no bytes
    }
}

void Reader::openField(Group& group)
{
    if (group.story < 0 || m_skipDepth > 0)
        return;
    const RtfStory& story = m_stories[group.story];
    const bool fresh = story.segments.empty() || m_breakPending[group.story];
    group.fieldSegment = int(story.segments.size()) - (fresh ? 0 : 1);
    group.fieldStart = fresh ? 0 : story.segments.back().chars.size();
}

void Reader::closeField(const Group& group, qsizetype finish)
{
    RtfStory& story = m_stories[group.story];
    // A break inside the field (a cell, a note, a picture) leaves it to no segment.
    if (m_breakPending[group.story] || story.segments.size() != std::size_t(group.fieldSegment) + 1)
        return;
    RtfSegment& segment = story.segments.back();
    const qsizetype end = qsizetype(segment.chars.size());
    if (end > group.fieldStart)
        segment.fields.push_back({group.fieldStart, end, group.open, finish});
}

void Reader::breakSegment(int story)
{
    if (story >= 0)
        m_breakPending[story] = true;
}

int Reader::fontCodePage(int font) const
{
    const auto it = m_fonts.find(font);
    if (it == m_fonts.end())
        return 0;
    if (it->second.codePage > 0)
        return it->second.codePage;
    return RtfCodePage::fromCharset(it->second.charset);
}

int Reader::codePage()
{
    if (m_codePage == 0)
        m_codePage = currentCodePage();
    return m_codePage;
}

int Reader::currentCodePage() const
{
    const Group& group = m_groups.back();
    if (group.doubleByteRun && group.assocFont >= 0) {
        const int associated = fontCodePage(group.assocFont);
        if (associated > 0 && RtfCodePage::get(associated).isDoubleByte())
            return associated;
    }
    const int font = fontCodePage(group.font >= 0 ? group.font : m_defaultFont);
    if (font > 0)
        return font;
    return m_ansiCodePage > 0 ? m_ansiCodePage : m_baseCodePage;
}

} // namespace

QString RtfStory::text() const
{
    QString all;
    for (const RtfSegment& segment : segments)
        all += segment.text;
    return all;
}

bool RtfDocument::parse(QByteArrayView data)
{
    m_error.clear();
    m_readOnly = false;
    m_stories.clear();
    m_bareWordEnds.clear();
    Reader reader(data, m_stories, m_bareWordEnds);
    if (!reader.run(&m_error, &m_readOnly)) {
        m_stories.clear();
        return false;
    }
    return true;
}

bool RtfDocument::controlWordEndsAt(qsizetype offset) const
{
    return std::binary_search(m_bareWordEnds.begin(), m_bareWordEnds.end(), offset);
}

QString RtfDocument::text(RtfStoryKind kind) const
{
    QStringList parts;
    for (const RtfStory& story : m_stories)
        if (story.kind == kind && !story.mirror)
            parts.append(story.text());
    return parts.join(u'\n');
}

} // namespace varnel
