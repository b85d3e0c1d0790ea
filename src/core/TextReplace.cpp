#include "core/TextReplace.h"

#include "core/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace varnel {

namespace {

char16_t* units(QString& text)
{
    return reinterpret_cast<char16_t*>(text.data());
}

void moveUnits(char16_t* to, const char16_t* from, qsizetype count)
{
    if (count > 0 && to != from)
        std::memmove(to, from, static_cast<std::size_t>(count) * sizeof(char16_t));
}

// Replaces the find-length stretch at each hit in place. A replacement no longer than the find text
// compacts the text left to right; a longer one grows the buffer first and fills it from the right.
// Either way each unit moves at most once and nothing is allocated unless the text grows or is shared.
void spliceInPlace(QString& text, const std::vector<qsizetype>& hits, qsizetype findLength, QStringView replace)
{
    const qsizetype replaceLength = replace.size();
    const qsizetype oldSize = text.size();
    const qsizetype newSize = oldSize + static_cast<qsizetype>(hits.size()) * (replaceLength - findLength);
    const char16_t* insert = replace.utf16();
    if (replaceLength == findLength) {
        char16_t* d = units(text);
        for (const qsizetype hit : hits)
            moveUnits(d + hit, insert, replaceLength);
    } else if (replaceLength < findLength) {
        char16_t* d = units(text);
        qsizetype read = hits.front();
        qsizetype write = read;
        for (const qsizetype hit : hits) {
            moveUnits(d + write, d + read, hit - read);
            write += hit - read;
            moveUnits(d + write, insert, replaceLength);
            write += replaceLength;
            read = hit + findLength;
        }
        moveUnits(d + write, d + read, oldSize - read);
        text.truncate(newSize);
    } else {
        text.resize(newSize);
        char16_t* d = units(text);
        qsizetype read = oldSize;
        qsizetype write = newSize;
        for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
            const qsizetype tail = read - (*it + findLength);
            write -= tail;
            moveUnits(d + write, d + *it + findLength, tail);
            write -= replaceLength;
            moveUnits(d + write, insert, replaceLength);
            read = *it;
        }
    }
}

} // namespace

const QString& wholeWordSeparators()
{
    static const QString separators = QStringLiteral("!,.:; <>()/\\+-=*|@#$~%^&*_?{}[]");
    return separators;
}

ReplaceBuffer::ReplaceBuffer(QString text, CompareMode mode)
    : m_text(std::move(text))
    , m_mode(mode)
{
}

const QString& ReplaceBuffer::searchText()
{
    if (m_mode == CompareMode::Binary)
        return m_text;
    if (!m_foldedValid) {
        m_folded = foldText(m_text);
        m_foldedValid = true;
    }
    return m_folded;
}

QString ReplaceBuffer::searchForm(const QString& find) const
{
    return m_mode == CompareMode::Text ? foldText(find) : find;
}

void ReplaceBuffer::splice(qsizetype findLength, const QString& replace)
{
    spliceInPlace(m_text, m_hits, findLength, replace);
    if (m_foldedValid)
        spliceInPlace(m_folded, m_hits, findLength, foldText(replace));
}

int ReplaceBuffer::replacePlain(const QString& find, const QString& replace)
{
    if (find.isEmpty())
        return 0;
    const QString needle = searchForm(find);
    const QString& hay = searchText();
    const qsizetype flen = find.size();
    m_hits.clear();
    for (qsizetype pos = findText(hay, needle, 0, CompareMode::Binary); pos >= 0;
         pos = findText(hay, needle, pos + flen, CompareMode::Binary))
        m_hits.push_back(pos);
    if (m_hits.empty())
        return 0;
    splice(flen, replace);
    return static_cast<int>(m_hits.size());
}

// The matches are collected against the old text and spliced in afterwards. Meanwhile the text the
// rule sees is res = (old text up to `copied`, with the accepted replacements) + (old text from
// `copied`), of which only its length and last unit before `copied` are tracked. Every search starts
// at or after `copied`, so it runs over the old text; only the unit just before a match may belong to
// res alone (the end of the previous replacement).
int ReplaceBuffer::replaceWholeWord(const QString& find, const QString& replace, qsizetype start, int count,
                                    bool wholeWord, const QString& separators)
{
    if (m_text == u" " || find == u" " || count == 0 || find.isEmpty())
        return 0;

    const QString boundaries = foldText(separators + QStringLiteral("\r\n"));
    auto isBoundary = [&boundaries](char16_t unit) {
        return boundaries.contains(QChar(foldUnit(unit))) || isDoubleByteInAnsi(unit);
    };

    const QString needle = searchForm(find);
    const QString& hay = searchText();
    const QString& src = m_text;
    const qsizetype flen = find.size();
    const qsizetype rlen = replace.size();

    m_hits.clear();
    qsizetype copied = 0;     // old-text index where the untouched rest of res begins
    qsizetype headLength = 0; // length of res before that point
    char16_t headLast = 0;    // last unit of res before that point, when headLength > 0
    auto toSrc = [&](qsizetype r) { return r - headLength + copied; };
    auto resLength = [&] { return headLength + src.size() - copied; };

    int done = 0;
    const qsizetype from = std::max<qsizetype>(start, 1) - 1;
    qsizetype match = from < resLength() ? findText(hay, needle, toSrc(from), CompareMode::Binary) : -1;
    while (match >= 0) {
        const qsizetype r = match - copied + headLength; // position of the match in res, 0-based
        bool accepted = true;
        if (wholeWord) {
            if (r > 0)
                accepted = isBoundary(r - 1 >= headLength ? src[match - 1].unicode() : headLast);
            if (accepted)
                accepted = match + flen >= src.size() || isBoundary(src[match + flen].unicode());
        }
        if (accepted) {
            if (rlen > 0)
                headLast = replace.back().unicode();
            else if (match > copied)
                headLast = src[match - 1].unicode();
            headLength += match - copied + rlen;
            copied = match + flen;
            m_hits.push_back(match);
            ++done;
        }
        if (count != -1 && done >= count)
            break;
        const qsizetype next = rlen == 0 ? r + 1 : r + rlen;
        if (next >= resLength())
            break;
        match = findText(hay, needle, toSrc(next), CompareMode::Binary);
    }
    if (done > 0)
        splice(flen, replace);
    return done;
}

QString plainReplace(const QString& text, const QString& find, const QString& replace, CompareMode mode, int* count)
{
    ReplaceBuffer buffer(text, mode);
    const int n = buffer.replacePlain(find, replace);
    if (count)
        *count = n;
    return buffer.text();
}

QString WholeWordReplace(const QString& text, const QString& find, const QString& replace, qsizetype start,
                         int count, CompareMode mode, bool wholeWord, const QString& separators, int* done)
{
    ReplaceBuffer buffer(text, mode);
    const int n = buffer.replaceWholeWord(find, replace, start, count, wholeWord, separators);
    if (done)
        *done = n;
    return buffer.text();
}

} // namespace varnel
