#pragma once
// Window geometry is written in twips, the unit the layout was designed in: 15 twips are one pixel at
// 96 dpi. Qt's device-independent pixels already stand for 96-dpi pixels, so the conversion is fixed.

#include <QRect>
#include <QWidget>

namespace varnel::ui {

inline constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips)
{
    return twips / kTwipsPerPixel;
}

constexpr int toTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

inline void placeTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

} // namespace varnel::ui
