#include "tools/widthconvert/WidthText.h"

namespace varnel::widthconvert {

namespace {

constexpr char16_t kOffset = 0xFEE0;

char16_t toFull(char16_t unit)
{
    return unit >= 0x0021 && unit <= 0x007E ? char16_t(unit + kOffset) : unit;
}

char16_t toHalf(char16_t unit)
{
    return unit >= 0xFF01 && unit <= 0xFF5E ? char16_t(unit - kOffset) : unit;
}

char16_t punctuationToFull(char16_t unit)
{
    return punctuationMarks().contains(QChar(unit)) ? toFull(unit) : unit;
}

template <char16_t (*Convert)(char16_t)>
QString convertEach(QStringView text)
{
    QString result(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(result.data());
    for (const QChar c : text)
        *out++ = Convert(c.unicode());
    return result;
}

} // namespace

WidthMode widthModeFromNumber(int number)
{
    switch (number) {
    case 1:
        return WidthMode::ToFullWidth;
    case 2:
        return WidthMode::PunctuationToFullWidth;
    default:
        return WidthMode::ToHalfWidth;
    }
}

QString StrToFullWidth(QStringView text)
{
    return convertEach<toFull>(text);
}

QString StrToHalfWidth(QStringView text)
{
    return convertEach<toHalf>(text);
}

QStringView punctuationMarks()
{
    return u",!?;:'\"[](){}";
}

QString punctuationToFullWidth(QStringView text)
{
    // The marks are distinct single units and none is the full-width form of another, so replacing
    // them one mark after the other, as the table orders them, gives the same text as this single pass.
    return convertEach<punctuationToFull>(text);
}

QString convertWidth(WidthMode mode, QStringView text)
{
    switch (mode) {
    case WidthMode::ToFullWidth:
        return StrToFullWidth(text);
    case WidthMode::PunctuationToFullWidth:
        return punctuationToFullWidth(text);
    case WidthMode::ToHalfWidth:
        break;
    }
    return StrToHalfWidth(text);
}

char16_t convertWidth(WidthMode mode, char16_t unit)
{
    switch (mode) {
    case WidthMode::ToFullWidth:
        return toFull(unit);
    case WidthMode::PunctuationToFullWidth:
        return punctuationToFull(unit);
    case WidthMode::ToHalfWidth:
        break;
    }
    return toHalf(unit);
}

} // namespace varnel::widthconvert
