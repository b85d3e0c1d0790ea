#pragma once
// How a Word story reads as text. Every visible item of a paragraph is one UTF-16 code unit: letters are
// themselves, and the marks Word's find can name stand for the XML elements that hold them. The same code
// units appear in find patterns and replacement texts once their ^ codes are expanded, so matching and
// editing never need to know about elements.

#include <QString>

namespace varnel::office::wordtext {

inline constexpr char16_t GraphicMark = 0x0001;    // an inline picture or object (^g)
inline constexpr char16_t FootnoteMark = 0x0002;   // w:footnoteReference, w:footnoteRef (^f)
inline constexpr char16_t EndnoteMark = 0x0003;    // w:endnoteReference, w:endnoteRef (^e)
inline constexpr char16_t SectionBreak = 0x0004;   // the mark of a paragraph that ends a section (^b)
inline constexpr char16_t CommentMark = 0x0005;    // w:commentReference (^a)
inline constexpr char16_t ParagraphMark = u'\r';   // end of a paragraph (^p, ^13)
inline constexpr char16_t Tab = u'\t';             // w:tab (^t)
inline constexpr char16_t LineBreak = 0x000B;      // w:br, w:cr (^l)
inline constexpr char16_t PageBreak = 0x000C;      // w:br w:type="page" (^m)
inline constexpr char16_t ColumnBreak = 0x000E;    // w:br w:type="column" (^n)
inline constexpr char16_t NoBreakHyphen = 0x001E;  // w:noBreakHyphen (^~)
inline constexpr char16_t SoftHyphen = 0x001F;     // w:softHyphen (^-)
inline constexpr char16_t NoBreakSpace = 0x00A0;   // plain text in w:t (^s)

// A mark of the five above: it stands for an element that only Word can create again (a picture, a
// note with its text, a comment, a section's properties), so a replacement text never holds one.
bool isObjectMark(QChar c);

// A character that belongs to a word for the whole-word rule and the < > wildcards: letters, digits and
// the underscore of alphabetic scripts. Chinese, Japanese and Korean characters are each a word of their
// own, so a Latin word right beside them still counts as whole.
bool isWordChar(char32_t c);

// A position between two characters of text (0..size) is a word boundary unless both neighbours are word
// characters. The ends of the text are boundaries.
bool isWordBoundary(const QString& text, qsizetype pos);

// The regular-expression class of isWordChar, for translated wildcard patterns.
QString wordCharPattern();

} // namespace varnel::office::wordtext
