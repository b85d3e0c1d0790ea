#pragma once
// The text that replaces one occurrence: the replace text with its ^ codes (and, with wildcards, its group
// references) resolved, and, when the find ignored letter case, Word's adaptation to the found text: an
// all-capital occurrence of two or more letters gets an all-capital replacement, an occurrence that
// starts with a capital gets a replacement that starts with one, anything else gets the replacement as
// typed.

#include "office/docx/WordMatcher.h"
#include "office/docx/WordSpecialCodes.h"

#include <QList>
#include <QString>

namespace varnel::office {

class WordReplacement
{
public:
    // Word's replace text; false with a message when Word would reject it.
    bool compile(const QString& replace, bool wildcards, QString* error);
    // A literal replace text (no ^ codes); line ends still become paragraph marks.
    void compileLiteral(const QString& replace);

    // The text names what was found (^&, or a group with wildcards).
    bool usesFoundText() const;

    // The replacement of `match`, found in text.
    QString expand(const WordMatch& match, const QString& text, bool adaptCase) const;

    // The case adaptation alone.
    static QString adaptCase(const QString& replacement, QStringView found);

private:
    QList<WordReplacePiece> m_pieces;
};

} // namespace varnel::office
