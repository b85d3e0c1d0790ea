#pragma once
// The page header and footer texts of a worksheet (headerFooter's oddHeader and oddFooter). Each is one
// string in which &L, &C and &R start the left, centre and right sections; text before any of them
// belongs to the centre. "&&" is a literal ampersand and never starts a section. Every other code
// (&P, &D, &"Font,Bold", &12 ...) stays in the section text as it is.

#include <QString>

#include <array>

namespace varnel::office {

class SheetHeaderFooter
{
public:
    enum Section { Left, Center, Right };
    // LeftHeader, CenterHeader, RightHeader, LeftFooter, CenterFooter, RightFooter.
    using Texts = std::array<QString, 6>;

    // The three sections of one header or footer string.
    static std::array<QString, 3> split(const QString& text);
    // The string of three sections, each written only when it is not empty (&L..., &C..., &R...).
    static QString join(const std::array<QString, 3>& sections);
    // The six texts of a header string and a footer string.
    static Texts texts(const QString& oddHeader, const QString& oddFooter);
};

} // namespace varnel::office
