#pragma once
// Character width conversions over UTF-16 code units. Half width is the printable ASCII range "!" to "~"
// (U+0021 to U+007E, the space not included); full width is U+FF01 to U+FF5E, the same characters 0xFEE0
// higher. Each routine maps one code unit to one code unit, so a converted text has the length of the
// original and every position keeps its meaning: editors rely on that to convert a document's text in
// place, character by character, keeping each character's formatting. Spaces of either width, surrogate
// halves and everything outside the two ranges are never changed.

#include <QString>
#include <QStringView>

namespace varnel::widthconvert {

// The conversion chosen in the converter; the values are the ones stored in the settings.
enum class WidthMode {
    ToHalfWidth = 0,            // every full-width symbol to half width
    ToFullWidth = 1,            // every half-width character to full width
    PunctuationToFullWidth = 2, // the half-width punctuation marks only
};

// The mode a stored number stands for: 1 and 2 their modes, anything else ToHalfWidth.
WidthMode widthModeFromNumber(int number);

// Every half-width unit to its full-width form; other units unchanged.
QString StrToFullWidth(QStringView text);
// Every full-width unit to its half-width form; other units unchanged.
QString StrToHalfWidth(QStringView text);

// The 13 punctuation marks the punctuation mode converts, in the order it applies them:
// , ! ? ; : ' " [ ] ( ) { }. The full stop, the hyphen, "<", ">", "/" and other symbols are not among them.
QStringView punctuationMarks();
// The text with each of the 13 marks replaced by its full-width form.
QString punctuationToFullWidth(QStringView text);

// The text converted in mode.
QString convertWidth(WidthMode mode, QStringView text);
// One code unit converted in mode.
char16_t convertWidth(WidthMode mode, char16_t unit);

} // namespace varnel::widthconvert
