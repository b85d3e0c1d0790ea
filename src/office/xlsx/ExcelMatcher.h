#pragma once
// Excel's Find and Replace on the text of one cell: the search text in Excel's notation ("?" one
// character, "*" any run of characters, "~" before either or before itself for the literal character),
// matched against part of the cell or the whole cell, with letter case and full/half width folded when
// match case is off (the program's own comparison). "*" takes as much as it can, as in Excel, and the
// matches of a cell never overlap: each search resumes after the previous match. A match is never empty.
//
// The search text given here is the one Excel receives: a run that has wildcards off escapes the find
// text first (escapeFind), so that "?", "*" and "~" are taken literally.

#include "core/TextCompare.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

namespace varnel::office {

struct ExcelMatch {
    qsizetype start = 0;
    qsizetype length = 0;
};

class ExcelMatcher
{
public:
    ExcelMatcher(const QString& searchText, bool matchCase, bool wholeCell);

    // The cell would be found (Cells.Find).
    bool matches(QStringView text) const;
    // Every match Cells.Replace replaces, left to right.
    QList<ExcelMatch> matchesIn(QStringView text) const;
    // The text with every match replaced by the literal replacement; *count receives the number of matches.
    QString replaced(QStringView text, const QString& replacement, int* count = nullptr) const;

    // Whether some text made of these characters alone could hold a match: every literal character of the
    // search text is one of them (under the comparison mode). Lets whole kinds of cells be passed over.
    bool couldMatchWithin(QStringView alphabet) const;

    bool matchCase() const { return m_mode == CompareMode::Binary; }

    // A summary of the characters a text holds, folded when match case is off: one of 64 bits for each.
    // Worked out once for a text that many searches look at.
    using Signature = quint64;
    static Signature signatureOf(QStringView text, bool matchCase);
    // False when a text of this signature (made with this matcher's match case) cannot hold a match, because
    // the bit of some literal character of the search text is missing; true says nothing.
    bool couldMatchSignature(Signature signature) const { return (m_required & ~signature) == 0; }

    // The find text as a search text that matches it literally: every "~" doubled, then "~" put before
    // every "?" and then every "*".
    static QString escapeFind(const QString& find);
    // The definitions Excel's Replace is never given: find and replace equal under the comparison mode,
    // or either of them 256 characters or longer.
    static bool skipDefinition(const QString& find, const QString& replace, bool matchCase);

private:
    enum class Kind { Literal, AnyOne, AnyRun };
    struct Token {
        Kind kind;
        char16_t unit; // folded when match case is off
    };

    // The end of the longest match that starts at from, or -1 when none (or only an empty one) does.
    qsizetype longestMatch(QStringView text, qsizetype from) const;
    char16_t unitOf(QChar c) const { return m_mode == CompareMode::Text ? foldUnit(c.unicode()) : c.unicode(); }
    static Signature bitOf(char16_t unit) { return Signature(1) << ((unit ^ (unit >> 6)) & 63); }

    std::vector<Token> m_tokens;
    QString m_literal; // the search text when it holds no wildcard: then the fast search is used
    Signature m_required = 0; // the bits of the literal characters
    bool m_plain = true;
    bool m_wholeCell = false;
    CompareMode m_mode = CompareMode::Binary;
};

} // namespace varnel::office
