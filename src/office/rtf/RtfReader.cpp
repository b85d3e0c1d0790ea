#include "office/rtf/RtfReader.h"

#include "office/docx/WordText.h"
#include "office/rtf/RtfCodePage.h"
#include "office/rtf/RtfControlWords.h"

#include <algorithm>

namespace varnel {

bool RtfReader::run(QString* error, bool* restricted, bool* tracksChanges)
{
    if (!m_data.startsWith("{\\rtf")) {
        *error = QStringLiteral("文件不是 RTF 文档（内容不以“{\\rtf”开头）");
        return false;
    }
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
                if (m_groups.size() == 2)
                    onRootGroupClose(m_groups.back(), token);
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
            if (m_groups.size() == 2)
                onRootGroupClose(closing, token);
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
            if (m_groups.size() == 1 && token.word == QByteArrayView("rtf"))
                m_revisions.setPlace(token.end); // until a table of the header is found

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
    m_builder.finish();
    *restricted = m_settings.editingRestricted();
    *tracksChanges = m_settings.tracksChanges();
    return true;
}

void RtfReader::onDestination(const RtfToken& token)
{
    Group& group = top();
    group.atStart = false;
    const RtfDestination destination = rtfDestination(token.word);
    if (m_groups.size() == 2) {
        for (const char* table :
             {"fonttbl", "filetbl", "colortbl", "stylesheet", "listtable", "listoverridetable", "revtbl"})
            group.headerTable = group.headerTable || token.word == QByteArrayView(table);
    }
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
        m_builder.breakSegment(group.story);
        m_skipDepth = 1;
        break;
    case RtfDestination::FontTable:
        group.role = Role::FontTable;
        break;
    case RtfDestination::RevisionTable:
        group.revisionTable = true;
        m_revisionTableStart = token.end;
        m_skipDepth = 1;
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
        m_builder.breakSegment(group.story);
        group.role = Role::Container;
        break;
    case RtfDestination::MirrorContainer:
        m_builder.breakSegment(group.story);
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

void RtfReader::openStory(RtfStoryKind kind, bool breakParent)
{
    Group& group = top();
    if (breakParent)
        m_builder.breakSegment(group.story);
    group.inHeaderFooter = group.inHeaderFooter || kind == RtfStoryKind::HeaderFooter;
    group.story = m_builder.open(kind, group.mirror, group.inHeaderFooter);
    group.role = Role::Text;
}

void RtfReader::openField(Group& group)
{
    if (group.story < 0 || m_skipDepth > 0)
        return;
    const RtfStoryBuilder::Position at = m_builder.position(group.story);
    group.fieldSegment = at.segment;
    group.fieldStart = at.character;
}

void RtfReader::closeField(const Group& group, qsizetype finish)
{
    m_builder.addField(group.story, group.fieldSegment, group.fieldStart, group.open, finish);
}

void RtfReader::onControlWord(const RtfToken& token)
{
    const RtfWordAction* action = rtfWordAction(token.word);
    if (!action)
        return;
    Group& group = top();
    if (group.role == Role::FontTable) {
        if (action->kind == RtfWordAction::Font)
            group.fontEntry = token.param;
        else if (group.fontEntry >= 0)
            m_settings.describeFont(group.fontEntry, action->kind, token.param);
        return;
    }
    m_codePage = 0;
    if (m_settings.apply(action->kind, token))
        return;
    switch (action->kind) {
    case RtfWordAction::Character:
        if (group.role == Role::Text) {
            const QChar unit(action->unit);
            append(QStringView(&unit, 1), token.begin, token.end);
        }
        break;
    case RtfWordAction::Barrier:
        if (group.role == Role::Text) {
            // A cell or row end tells the table level even of a table without text.
            if (group.story >= 0)
                m_builder.enterTableLevel(group.story, group.tableLevel);
            m_builder.breakSegment(group.story);
        }
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
    default:
        break;
    }
}

void RtfReader::onControlSymbol(const RtfToken& token)
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

void RtfReader::onTextByte(unsigned char byte, qsizetype begin, qsizetype end)
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

void RtfReader::flushPending()
{
    if (m_pendingSize == 0)
        return;
    m_pendingSize = 0;
    if (top().role == Role::Text)
        append(u"\uFFFD", m_pendingBegin, m_pendingEnd);
}

void RtfReader::append(QStringView text, qsizetype begin, qsizetype end)
{
    const Group& group = top();
    if (group.story < 0 || text.isEmpty())
        return;
    if (group.deleted) {
        // Deleted text is passed over; a deleted paragraph mark joins nothing, so it ends the run.
        if (text.contains(QChar(office::wordtext::ParagraphMark)))
            m_builder.breakSegment(group.story);
        return;
    }
    RtfChar character;
    character.begin = begin;
    character.end = end;
    character.uc = group.uc;
    character.codePage = codePage();
    m_builder.append(group.story, text, character, group.tableLevel);
}

void RtfReader::onRootGroupClose(const Group& group, const RtfToken& closeBrace)
{
    if (group.revisionTable)
        m_revisions.read(m_data.sliced(m_revisionTableStart, closeBrace.begin - m_revisionTableStart),
                         closeBrace.begin);
    if (group.headerTable)
        m_revisions.setPlace(closeBrace.end); // a new revision table follows the tables of the header
}

int RtfReader::codePage()
{
    if (m_codePage == 0)
        m_codePage = m_settings.codePage(top().font, top().assocFont, top().doubleByteRun);
    return m_codePage;
}

} // namespace varnel
