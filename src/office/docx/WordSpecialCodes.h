#pragma once
// Word's ^ codes in find and replace texts, resolved to the code units of wordtext.
//
// Find texts know ^p ^t ^l ^m ^n ^s ^~ ^- ^^ ^+ ^= ^% (§) ^v (¶) ^? ^# ^$ ^w ^unnnn (decimal Unicode) and
// ^nnn / ^0nnn (character codes), and the marks of objects: ^g (graphic), ^f (footnote mark), ^e (endnote
// mark), ^a (comment mark), ^b (section break). With wildcards ^p ^? ^# ^$ ^w ^f ^e ^a ^b are not
// available (^13 finds a paragraph mark there). Replace texts know the characters plus ^& (the found
// text); the classes and the marks of objects are find-only, and ^c (the clipboard) is refused, there
// being no clipboard here. ^d (any field) is a plain find's too; a field's result reads as text of its
// story, so ^d has no character and is found by the story's structure (WordFieldReplacer). Letters after
// ^ may be of either case. Any other ^ sequence makes the text invalid, as it makes Word refuse the
// search. A carriage return, line feed or CR LF typed into either text stands for one paragraph mark.

#include <QList>
#include <QString>

namespace varnel::office {

enum class CaretContext { Find, WildcardFind, Replace };

struct CaretCode {
    enum Kind { Text, AnyChar, AnyDigit, AnyLetter, WhiteSpace, WholeMatch, Field };
    Kind kind = Text;
    QString text; // the character(s) of a Text code
};

// Reads the code at (*pos), which holds '^', and moves *pos past it. False with a message fit for the log
// when the code is not valid in the context.
bool readCaretCode(const QString& text, qsizetype* pos, CaretContext context, CaretCode* code, QString* error);

// A literal CR LF, CR or LF at *pos: true, *pos moved past it.
bool readLineEnd(const QString& text, qsizetype* pos);

// One element of a plain (non-wildcard) find text.
struct WordFindToken {
    CaretCode::Kind kind = CaretCode::Text; // Text, AnyChar, AnyDigit, AnyLetter, WhiteSpace or Field
    QString text;                           // for Text
};

// The tokens of a plain find text, adjacent Text tokens merged.
bool parseFindText(const QString& find, QList<WordFindToken>* tokens, QString* error);

// One element of a replace text.
struct WordReplacePiece {
    enum Kind { Text, WholeMatch, Group };
    Kind kind = Text;
    QString text; // for Text
    int group = 0; // 1..9 for Group
};

// The pieces of a replace text. With wildcards, \1..\9 name the groups of the find pattern and \ makes
// the next character literal.
bool parseReplaceText(const QString& replace, bool wildcards, QList<WordReplacePiece>* pieces, QString* error);

} // namespace varnel::office
