#include "office/rtf/RtfEditor.h"

#include "office/docx/WordText.h"
#include "office/rtf/RtfCodePage.h"

#include <algorithm>

namespace varnel {

namespace {

// A byte that would become part of a control word written right before it (its name, its parameter,
// or the space that delimits it).
bool continuesControlWord(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ' ';
}

void appendHex(QByteArray& out, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[byte >> 4];
    out += digits[byte & 0xF];
}

// \uN for one code unit, then the fallback: the character in the code page when it takes exactly the
// \uc count of bytes, otherwise that many question marks. A reader that knows \u skips the fallback.
void appendUnicode(QByteArray& out, QStringView character, char16_t unit, const RtfChar& context)
{
    out += "\\u";
    out += QByteArray::number(unit > 0x7FFF ? int(unit) - 0x10000 : int(unit));
    if (context.uc <= 0) {
        out += ' ';
        return;
    }
    const QByteArray bytes = character.size() == 1 ? RtfCodePage::get(context.codePage).encode(character) : QByteArray();
    if (bytes.size() == context.uc) {
        for (char b : bytes)
            appendHex(out, static_cast<unsigned char>(b));
        return;
    }
    out += QByteArray(context.uc, '?');
}

} // namespace

QByteArray RtfEditor::encode(QStringView text, const RtfChar& context)
{
    // A document may ask for any number of fallback characters; past a few, the inserted characters
    // get one fallback each under a \uc1 of their own, and the document's count is restored after them.
    constexpr int kLongestFallback = 4;
    if (context.uc > kLongestFallback) {
        RtfChar single = context;
        single.uc = 1;
        const QByteArray inner = encode(text, single);
        if (!inner.contains("\\u"))
            return inner;
        return "\\uc1 " + inner + "\\uc" + QByteArray::number(context.uc) + ' ';
    }
    using namespace office::wordtext;
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        switch (unit) {
        case ParagraphMark:
            out += "\\par ";
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            continue;
        case u'\n':
            out += "\\par ";
            continue;
        case Tab:
            out += "\\tab ";
            continue;
        case LineBreak:
            out += "\\line ";
            continue;
        case PageBreak:
            out += "\\page ";
            continue;
        case ColumnBreak:
            out += "\\column ";
            continue;
        case NoBreakSpace:
            out += "\\~";
            continue;
        case NoBreakHyphen:
            out += "\\_";
            continue;
        case SoftHyphen:
            out += "\\-";
            continue;
        case u'\\':
        case u'{':
        case u'}':
            out += '\\';
            out += static_cast<char>(unit);
            continue;
        default:
            break;
        }
        if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
            continue;
        }
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const QStringView pair = text.sliced(i, 2);
            appendUnicode(out, pair, unit, context);
            appendUnicode(out, pair, text[i + 1].unicode(), context);
            ++i;
            continue;
        }
        appendUnicode(out, text.sliced(i, 1), unit, context);
    }
    return out;
}

void RtfEditor::replace(const RtfSegment& segment, qsizetype first, qsizetype count, const QString& text)
{
    for (qsizetype k = first; k < first + count; ++k) {
        const RtfChar& character = segment.chars[static_cast<std::size_t>(k)];
        Edit edit;
        edit.begin = character.begin;
        edit.end = character.end;
        if (k == first)
            edit.bytes = encode(text, character);
        if (edit.begin == edit.end && edit.bytes.isEmpty())
            continue;
        m_edits.push_back(std::move(edit));
    }
}

void RtfEditor::replaceTracked(const RtfSegment& segment, qsizetype first, qsizetype count, const QString& text,
                               int author, qint32 dateTime)
{
    const QByteArray deleted = deletedGroup(author, dateTime);
    bool inserted = text.isEmpty();
    const auto at = [&segment](qsizetype k) -> const RtfChar& { return segment.chars[static_cast<std::size_t>(k)]; };
    for (qsizetype k = first; k < first + count; ++k) {
        const RtfChar& character = at(k);
        if (character.begin == character.end)
            continue;
        // Characters whose bytes follow one another share one deleted group.
        qsizetype last = k;
        while (last + 1 < first + count && at(last + 1).begin == at(last).end)
            ++last;
        Edit edit;
        edit.begin = character.begin;
        edit.end = at(last).end;
        edit.bytes = deleted;
        edit.keep = true;
        edit.after = "}";
        if (!inserted) {
            edit.after += "{\\revised\\revauth" + QByteArray::number(author) + "\\revdttm"
                + QByteArray::number(dateTime) + ' ' + encode(text, character) + '}';
            inserted = true;
        }
        m_edits.push_back(std::move(edit));
        k = last;
    }
}

void RtfEditor::removeTracked(qsizetype begin, qsizetype end, int author, qint32 dateTime)
{
    m_edits.push_back({begin, end, deletedGroup(author, dateTime), true, "}"});
}

QByteArray RtfEditor::deletedGroup(int author, qint32 dateTime)
{
    return "{\\deleted\\revauthdel" + QByteArray::number(author) + "\\revdttmdel" + QByteArray::number(dateTime) + ' ';
}

void RtfEditor::insert(qsizetype offset, QByteArray bytes)
{
    m_edits.push_back({offset, offset, std::move(bytes), false, {}});
}

QByteArray RtfEditor::apply(QByteArrayView original) const
{
    std::vector<const Edit*> edits;
    edits.reserve(m_edits.size());
    for (const Edit& edit : m_edits)
        edits.push_back(&edit);
    // An insertion goes before the edit of the bytes that follow it.
    std::stable_sort(edits.begin(), edits.end(), [](const Edit* a, const Edit* b) {
        return a->begin < b->begin || (a->begin == b->begin && a->end < b->end);
    });

    QByteArray out;
    out.reserve(original.size() + original.size() / 16);
    qsizetype copied = 0;
    // Whether the output ends with a control word that has no delimiter, so that what follows must not
    // continue it: a space is put in between, which the reader takes as the delimiter.
    bool openWord = false;
    auto copyUpTo = [&](qsizetype to) {
        if (to <= copied)
            return;
        if (openWord && continuesControlWord(original[copied]))
            out += ' ';
        out.append(original.sliced(copied, to - copied));
        copied = to;
        openWord = m_document.controlWordEndsAt(to);
    };
    for (const Edit* edit : edits) {
        if (edit->begin < copied)
            continue; // overlaps an earlier edit; the character ranges of one document never do
        copyUpTo(edit->begin);
        if (!edit->bytes.isEmpty()) {
            if (openWord && continuesControlWord(edit->bytes.front()))
                out += ' ';
            out += edit->bytes;
            openWord = false;
        }
        if (edit->keep) {
            copyUpTo(edit->end);
            out += edit->after;
            openWord = false;
        }
        copied = edit->end;
    }
    copyUpTo(original.size());
    return out;
}

} // namespace varnel
