#pragma once
// Replacement routines on text in memory: the plain left-to-right replacement and the whole-word
// replacement of the text engine. Positions in the arguments are 1-based, as everywhere in the engine.

#include "core/TextCompare.h"

#include <QString>

#include <vector>

namespace varnel {

// The separators of the whole-word rule, without CR and LF (WholeWordReplace adds those).
const QString& wholeWordSeparators();

// Replaces every occurrence of find from left to right, each search resuming after the inserted text.
// An empty find changes nothing. *count, when given, receives the number of replacements.
QString plainReplace(const QString& text, const QString& find, const QString& replace, CompareMode mode,
                     int* count = nullptr);

// Whole-word replacement. start is 1-based; count -1 means no limit. With wholeWord a match is accepted
// only between boundaries: the text's ends, a separator (or CR, LF), or a character the Chinese code page
// encodes in two bytes. The next search starts at pos + length of replace whether or not the match was
// accepted (pos + 1 for an empty replace). A text or find of exactly one space, a count of 0 and an empty
// find leave the text unchanged. *done, when given, receives the number of replacements.
QString WholeWordReplace(const QString& text, const QString& find, const QString& replace, qsizetype start,
                         int count, CompareMode mode, bool wholeWord, const QString& separators,
                         int* done = nullptr);

// A text that a run of definitions replaces in, one after another. Under CompareMode::Text it keeps the
// folded form of the text in step with the text, so the text is folded once rather than once per
// definition and every search is an exact search of the folded find text. Each call builds the new
// text in one pass, so a definition costs time linear in the length of the text.
class ReplaceBuffer
{
public:
    ReplaceBuffer(QString text, CompareMode mode);

    const QString& text() const { return m_text; }
    // plainReplace on the buffer; returns the number of replacements.
    int replacePlain(const QString& find, const QString& replace);
    // WholeWordReplace on the buffer; returns the number of replacements.
    int replaceWholeWord(const QString& find, const QString& replace, qsizetype start, int count, bool wholeWord,
                         const QString& separators);

private:
    // The text searches run over: the folded text under CompareMode::Text, else the text itself.
    const QString& searchText();
    QString searchForm(const QString& find) const;
    // Replaces find-length stretches at the positions in m_hits (ascending, not overlapping).
    void splice(qsizetype findLength, const QString& replace);

    QString m_text;
    QString m_folded; // valid when m_foldedValid
    bool m_foldedValid = false;
    CompareMode m_mode;
    std::vector<qsizetype> m_hits; // positions of the current definition's replacements
};

} // namespace varnel
