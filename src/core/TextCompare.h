#pragma once
// The two comparison modes of every find in the program, in one place.
// Binary: exact comparison of UTF-16 code units.
// Text: letter case and full/half width folded per code unit, so a match always has the length of the
// find text and positions never shift: the ideographic space U+3000 folds to the space, U+FF01..U+FF5E to
// their ASCII forms, U+FFE0..U+FFE6 to ¢ £ ¬ ¯ ¦ ¥ ₩, and the half-width katakana and Hangul letters
// U+FF61..U+FFDC to their full-width forms; then everything to lower case. This is the program's own
// comparison (text files, file names, the skip rule of the office engines); Word's own find, which keeps
// the widths apart, does not use it.

#include <QString>
#include <QStringView>

namespace varnel {

enum class CompareMode { Binary, Text };

// The folded form of one code unit under CompareMode::Text.
char16_t foldUnit(char16_t unit);
// The text with every code unit folded; same length, so positions carry over.
QString foldText(QStringView text);

// 0-based position of the first occurrence of needle in haystack at or after from, or -1.
// An empty needle is never found.
qsizetype findText(QStringView haystack, QStringView needle, qsizetype from, CompareMode mode);

// The two texts are equal under the mode.
bool textEquals(QStringView a, QStringView b, CompareMode mode);

} // namespace varnel
