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
// times the projector zoom, rounded to the nearest pixel. Every window dimension, and every
// border or margin that must grow with the windows, goes through it.
int toPixels(int twips, double zoom = 1.0);

QRect toPixels(const TwipsRect& rect, double zoom = 1.0);
QSize toPixels(int widthTwips, int heightTwips, double zoom = 1.0);

} // namespace thermo
