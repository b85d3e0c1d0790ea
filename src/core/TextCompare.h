#pragma once
// The two comparison modes of every find in the program, in one place.
// Binary: exact comparison of UTF-16 code units.
// Text: letter case and full/half width folded per code unit (U+FF01..U+FF5E fold to their ASCII forms,
// then to lower case), so a match always has the length of the find text and positions never shift.

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
