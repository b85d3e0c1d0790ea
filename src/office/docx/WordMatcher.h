#pragma once
// Finds the occurrences of one find text in the text of a story segment, the way Word's Replace All
// finds them: left to right, never overlapping, never empty.
//
// Word's comparison with "match byte" on: match case off folds letter case only, so full-width and
// half-width forms stay different characters. Whole word accepts an occurrence only between word
// boundaries (wordtext::isWordBoundary); Word ignores it with wildcards. Wildcard patterns are always
// case-sensitive. The plain mode is the program's own case- and width-insensitive literal replacement,
// used where the documents' notes, hyperlink addresses and WordArt get plain text replacement.

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

namespace varnel::office {

struct WordFindOptions {
    bool matchCase = true;
    bool wholeWord = false;
    bool wildcards = false;
};

struct WordMatch {
    qsizetype start = 0;
    qsizetype length = 0;
    QStringList groups; // the texts of wildcard groups 1..n
};

class WordMatcher
{
public:
    // Word's find of `find` under the options; false with a message when Word would reject the text.
    bool compile(const QString& find, const WordFindOptions& options, QString* error);
    // A literal find folding letter case and width; no ^ codes.
    void compilePlain(const QString& find);

    // Every occurrence in text.
    std::vector<WordMatch> findAll(const QString& text) const;
    // The find is ^d: it names every field, which no text holds (findAll finds nothing) and a story's
    // structure shows (WordFieldReplacer).
    bool findsFields() const { return m_kind == Kind::Fields; }
    // Case adaptation of replacements applies: a case-insensitive Word find.
    bool adaptsCase() const { return m_adaptCase; }

private:
    enum class Kind { Nothing, Literal, Folded, Regex, Fields };

    bool accepted(const QString& text, qsizetype start, qsizetype length) const;

    Kind m_kind = Kind::Nothing;
    QString m_needle;
    Qt::CaseSensitivity m_caseSensitivity = Qt::CaseSensitive;
    QRegularExpression m_regex;
    bool m_wholeWord = false;
    bool m_adaptCase = false;
};

} // namespace varnel::office
