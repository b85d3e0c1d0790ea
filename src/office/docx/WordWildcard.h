#pragma once
// Word's wildcard dialect, translated to a PCRE pattern for QRegularExpression.
//
//   ?          any one character              [abc] [a-z]   one of the characters or ranges
//   *          any run of characters, shortest [!a-z]        one character not in the set
//   @          one or more of the previous    {n} {n,} {n,m} repeats of the previous (";" also separates)
//   < >        start and end of a word        ( )           a group, \1..\9 in the replacement
//   \x         the character x itself         ^t ^13 ...    the ^ codes of CaretContext::WildcardFind
//
// Everything else is literal. Matching is always case-sensitive, and ? and * also match paragraph marks,
// as in Word. A pattern Word would reject (unbalanced brackets or parentheses, a repeat with nothing to
// repeat, a descending range) is refused with a message.

#include <QString>

namespace varnel::office {

struct WildcardTranslation {
    QString pattern;   // for QRegularExpression with DotMatchesEverythingOption
    int groupCount = 0;
};

bool translateWordWildcards(const QString& find, WildcardTranslation* out, QString* error);

} // namespace varnel::office
