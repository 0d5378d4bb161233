#pragma once

#include <QRect>
#include <QSize>

namespace thermo {

// A control's rectangle as the window tables give it, in twips from the client area's corner.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

// The one conversion from the tables' twips to pixels: 15 twips per pixel at 100 % scale,
// rounded to the nearest pixel. Every window dimension goes through it.
int toPixels(int twips);

QRect toPixels(const TwipsRect& rect);
QSize toPixels(int widthTwips, int heightTwips);

} // namespace thermo
